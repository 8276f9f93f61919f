#include "player/library/TFT_Snapshot.h"

#include <algorithm>

Snapshot_Item::Snapshot_Item(QWidget* parent) : TImage(parent) {
  SetTransparent(true);
  SetAutoSize(false);
}

TFT_Snapshot::TFT_Snapshot(QWidget* parent) : TFT_ScrollList(parent) {}

TFT_Snapshot::~TFT_Snapshot() { Items.clear(); }

void TFT_Snapshot::SetRowHeight(int h) { StoreRowHeight(i_RowHeight, h); }

void TFT_Snapshot::AppendItem(Snapshot_Item* item) { AppendRow(Items, item); }

void TFT_Snapshot::RemoveItem(int index) { RemoveRow(Items, index, {&SelectedItem}); }

void TFT_Snapshot::ClearItems() { ClearRows(Items, {&SelectedItem}); }

void TFT_Snapshot::LayoutRows() {
  PlaceRows(Items, 1, i_RowHeight, [](const Snapshot_Item*) { return true; });
}

#include "player/library/TFT_Snapshot.h"

#include <algorithm>

Snapshot_Item::Snapshot_Item(QWidget* parent) : TImage(parent) {
  SetTransparent(true);
  SetAutoSize(false);
}

TFT_Snapshot::TFT_Snapshot(QWidget* parent) : TFT_ScrollList(parent) {}

TFT_Snapshot::~TFT_Snapshot() { Items.clear(); }

void TFT_Snapshot::SetRowHeight(int h) {
  i_RowHeight = std::clamp(h, 1, 100);
  ContentChanged();
}

void TFT_Snapshot::AppendItem(Snapshot_Item* item) {
  if (!item) return;
  item->setParent(ClientPanel());
  item->hide();
  item->raise();
  Items.push_back(item);
  ContentChanged();
}

void TFT_Snapshot::RemoveItem(int index) {
  if (index < 0 || index >= RowCount()) return;
  Snapshot_Item* item = Items[index];
  if (SelectedItem == item) SelectedItem = nullptr;
  Items.erase(Items.begin() + index);
  delete item;
  ContentChanged();
}

void TFT_Snapshot::ClearItems() {
  SelectedItem = nullptr;
  std::vector<Snapshot_Item*> old;
  old.swap(Items);
  for (Snapshot_Item* item : old) delete item;
  ContentChanged();
}

void TFT_Snapshot::LayoutRows() {
  const int first = std::max(0, i_FirstRow);
  const int count = RowCount();
  for (int i = 0; i < count; ++i) {
    Snapshot_Item* item = Items[i];
    if (i < first || i >= first + i_VisibleRows) {
      item->hide();
      continue;
    }
    item->move(item->x(), 1 + i_RowHeight * (i - first));
    item->show();
  }
}

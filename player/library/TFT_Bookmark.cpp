#include "player/library/TFT_Bookmark.h"

#include <algorithm>

Bookmark_Item::Bookmark_Item(QWidget* parent) : TImage(parent) {
  SetTransparent(true);
  SetAutoSize(false);
  QFont f = font();
  f.setFamily("Tahoma");
  setFont(f);
}

TFT_Bookmark::TFT_Bookmark(QWidget* parent) : TFT_ScrollList(parent) {}

TFT_Bookmark::~TFT_Bookmark() { Items.clear(); }

void TFT_Bookmark::SetRowHeight(int h) { StoreRowHeight(i_RowHeight, h); }

void TFT_Bookmark::AppendItem(Bookmark_Item* item) { AppendRow(Items, item); }

void TFT_Bookmark::RemoveItem(int index) { RemoveRow(Items, index, {&PlayingItem, &SelectedItem}); }

void TFT_Bookmark::ClearItems() { ClearRows(Items, {&PlayingItem, &SelectedItem}); }

void TFT_Bookmark::LayoutRows() {
  PlaceRows(Items, 1, i_RowHeight, [this](const Bookmark_Item* item) {
    return i_Filter == 0 || (i_Filter == 1 && item->i_Kind == 1) ||
           (i_Filter == 2 && item->i_Kind == 2 && item->Path.contains(s_DiscLabel));
  });
}

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

void TFT_Bookmark::SetRowHeight(int h) {
  i_RowHeight = std::clamp(h, 1, 100);
  ContentChanged();
}

void TFT_Bookmark::AppendItem(Bookmark_Item* item) {
  if (!item) return;
  item->setParent(ClientPanel());
  item->hide();
  item->raise();
  Items.push_back(item);
  ContentChanged();
}

void TFT_Bookmark::RemoveItem(int index) {
  if (index < 0 || index >= RowCount()) return;
  Bookmark_Item* item = Items[index];
  if (PlayingItem == item) PlayingItem = nullptr;
  if (SelectedItem == item) SelectedItem = nullptr;
  Items.erase(Items.begin() + index);
  delete item;
  ContentChanged();
}

void TFT_Bookmark::ClearItems() {
  PlayingItem = nullptr;
  SelectedItem = nullptr;
  std::vector<Bookmark_Item*> old;
  old.swap(Items);
  for (Bookmark_Item* item : old) delete item;
  ContentChanged();
}

void TFT_Bookmark::LayoutRows() {
  const int first = std::max(0, i_FirstRow);
  int passed = 0, placed = 0;
  for (Bookmark_Item* item : Items) {
    bool pass = i_Filter == 0 || (i_Filter == 1 && item->i_Kind == 1) ||
                (i_Filter == 2 && item->i_Kind == 2 && item->Path.contains(s_DiscLabel));
    if (!pass) {
      item->hide();
      continue;
    }
    const int row = passed++;
    if (row < first || placed >= i_VisibleRows) {
      item->hide();
      continue;
    }
    item->move(item->x(), 1 + i_RowHeight * placed);
    item->show();
    ++placed;
  }
}

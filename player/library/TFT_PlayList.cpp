#include "player/library/TFT_PlayList.h"

#include <algorithm>

PlayList_Item::PlayList_Item(QWidget* parent) : TLabel(parent) {
  SetAutoSize(false);
  // The framework's default 8-point Tahoma: 11 pixels, so a line fits a 13-pixel row.
  QFont f = font();
  f.setFamily("Tahoma");
  f.setPixelSize(11);
  setFont(f);
  SetShowHint(true);
  resize(width(), TFT_PlayList::kRowHeight);
  SetStyle(Normal);
}

void PlayList_Item::SetStyle(Style s) {
  style_ = s;
  switch (s) {
    case Normal:
      SetFontColor(Qt::black);
      SetTransparent(true);
      break;
    case Playing:
      SetFontColor(QColor(0, 255, 0));
      SetColor(QColor(60, 60, 60));
      SetTransparent(false);
      break;
    case Selected:
      SetFontColor(Qt::white);
      SetColor(QColor(160, 160, 164));
      SetTransparent(false);
      break;
  }
}

TFT_PlayList::TFT_PlayList(QWidget* parent) : TFT_ScrollList(parent) {}

TFT_PlayList::~TFT_PlayList() {
  // Rows are children of the client panel and go with it; only the references are dropped.
  Items.clear();
}

void TFT_PlayList::AppendItem(PlayList_Item* item) {
  if (!item) return;
  item->setParent(ClientPanel());
  item->hide();
  item->raise();
  Items.push_back(item);
  ContentChanged();
}

void TFT_PlayList::RemoveItem(int index) {
  if (index < 0 || index >= RowCount()) return;
  PlayList_Item* item = Items[index];
  if (PlayingItem == item) PlayingItem = nullptr;
  if (SelectedItem == item) SelectedItem = nullptr;
  Items.erase(Items.begin() + index);
  delete item;
  ContentChanged();
}

void TFT_PlayList::ClearItems() {
  PlayingItem = nullptr;
  SelectedItem = nullptr;
  std::vector<PlayList_Item*> old;
  old.swap(Items);
  for (PlayList_Item* item : old) delete item;
  ContentChanged();
}

void TFT_PlayList::LayoutRows() {
  const int first = std::max(0, i_FirstRow);
  int passed = 0, placed = 0;
  for (PlayList_Item* item : Items) {
    // The TV list may show its favourites only.
    if (b_FavoriteOnly && !item->b_Favorite) {
      item->hide();
      continue;
    }
    const int row = passed++;
    if (row < first || placed >= i_VisibleRows) {
      item->hide();
      continue;
    }
    item->move(item->x(), 2 + kRowHeight * placed);
    item->show();
    ++placed;
  }
}

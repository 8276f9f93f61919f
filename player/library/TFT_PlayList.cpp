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

void TFT_PlayList::AppendItem(PlayList_Item* item) { AppendRow(Items, item); }

void TFT_PlayList::RemoveItem(int index) { RemoveRow(Items, index, {&PlayingItem, &SelectedItem}); }

void TFT_PlayList::ClearItems() { ClearRows(Items, {&PlayingItem, &SelectedItem}); }

void TFT_PlayList::LayoutRows() {
  // The TV list may show its favourites only.
  PlaceRows(Items, 2, kRowHeight,
            [this](const PlayList_Item* item) { return !b_FavoriteOnly || item->b_Favorite; });
}

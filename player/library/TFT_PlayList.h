// The play list (and the TV channel list): one 13-pixel text row per entry.
#pragma once

#include <QString>
#include <vector>

#include "player/library/TFT_ScrollList.h"
#include "player/widgets/TLabel.h"

class PlayList_Item : public TLabel {
  Q_OBJECT
 public:
  explicit PlayList_Item(QWidget* parent = nullptr);

  enum Style { Normal, Playing, Selected };
  void SetStyle(Style s);
  Style CurrentStyle() const { return style_; }

  QString Path;
  bool b_Favorite = false;

 private:
  Style style_ = Normal;
};

class TFT_PlayList : public TFT_ScrollList {
  Q_OBJECT
 public:
  static constexpr int kRowHeight = 13;

  explicit TFT_PlayList(QWidget* parent = nullptr);
  ~TFT_PlayList() override;

  int RowHeight() const override { return kRowHeight; }
  int RowCount() const override { return static_cast<int>(Items.size()); }

  // Takes ownership of a new entry and appends it (hidden until laid out).
  void AppendItem(PlayList_Item* item);
  // Removes and deletes the entry at index.
  void RemoveItem(int index);
  void ClearItems();

  std::vector<PlayList_Item*> Items;  // owned, display order
  PlayList_Item* PlayingItem = nullptr;
  PlayList_Item* SelectedItem = nullptr;
  bool b_FavoriteOnly = false;

 protected:
  void LayoutRows() override;
};

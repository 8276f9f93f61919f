// The bookmark list: rows with a thumbnail, chapter and time.
#pragma once

#include <QImage>
#include <QString>
#include <vector>

#include "player/library/TFT_ScrollList.h"
#include "player/widgets/TImage.h"

class Bookmark_Item : public TImage {
  Q_OBJECT
 public:
  explicit Bookmark_Item(QWidget* parent = nullptr);

  QString Path;
  int i_Chapter = 0;
  int i_Seconds = 0;
  int i_Kind = 1;
  QImage Thumbnail;
  int i_ThumbWidth = 0;
  int i_ThumbHeight = 0;
};

class TFT_Bookmark : public TFT_ScrollList {
  Q_OBJECT
 public:
  explicit TFT_Bookmark(QWidget* parent = nullptr);
  ~TFT_Bookmark() override;

  int RowHeight() const override { return i_RowHeight; }
  int RowCount() const override { return static_cast<int>(Items.size()); }
  // Limited to 1..100.
  void SetRowHeight(int h);

  void AppendItem(Bookmark_Item* item);
  void RemoveItem(int index);
  void ClearItems();

  std::vector<Bookmark_Item*> Items;  // owned, oldest first
  Bookmark_Item* PlayingItem = nullptr;
  Bookmark_Item* SelectedItem = nullptr;
  int i_RowHeight = 50;
  int i_Filter = 0;
  // Rows of kind 2 pass filter 2 only when their Path contains this label.
  QString s_DiscLabel;

 protected:
  void LayoutRows() override;
};

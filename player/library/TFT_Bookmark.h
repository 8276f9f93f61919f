// The bookmark list: rows with a thumbnail, chapter and time, of files and of discs.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "player/library/TFT_ScrollList.h"
#include "player/widgets/TImage.h"

class Bookmark_Item : public TFramedRow {
  Q_OBJECT
 public:
  explicit Bookmark_Item(QWidget* parent = nullptr);

  // SetFace takes the row's picture: grey, the thumbnail, the chapter and time.
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

  Bookmark_Item* AddBookmark(const QString& path, int chapter, int seconds, const QImage& picture);
  void SetBookmarkFilter(int filter);
  Bookmark_Item* BookmarkToPlay();
  void MarkStopped();
  void Clear();
  void DeleteSelected();
  void CropSelected();
  // Thumbnails go to the "Bookmark" folder beside the list file. False when anything could
  // not be written; `problem` then says what, for the user.
  bool SaveToFile(const std::string& fileName, QString* problem = nullptr) const;
  bool LoadFromFile(const std::string& fileName, QString* problem = nullptr);

  void ItemClick(Bookmark_Item* item);
  void ItemDblClick(Bookmark_Item* item);
  std::function<void(Bookmark_Item*)> OnPlayRequest;  // after a double click
  std::function<void(QPoint)> OnItemMenu;             // right button released over a row

  void AppendItem(Bookmark_Item* item);
  void RemoveItem(int index);
  void ClearItems();
  int IndexOf(const Bookmark_Item* item) const;

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

// "00:00:00" beyond a day, negative times as 0.
QString BookmarkTimeText(int seconds);
// The decimal number with a leading 0 up to 9.
QString TwoDigits(int n);
// picture stretched (no smoothing) into w x h keeping its proportions, centred on black.
QImage ScaleKeepingAspect(const QImage& picture, int w, int h);
// The volume label of the disc a path names. False for a plain folder on disk, which has
// no label of its own.
bool ReadDiscLabel(const std::string& root, std::string& label);

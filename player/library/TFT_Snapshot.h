// The snapshot list: rows of thumbnails of the pictures taken.
#pragma once

#include <QImage>
#include <QString>
#include <vector>

#include "player/library/TFT_ScrollList.h"
#include "player/widgets/TImage.h"

class Snapshot_Item : public TImage {
  Q_OBJECT
 public:
  explicit Snapshot_Item(QWidget* parent = nullptr);

  // The full-size picture that saving writes (the row itself shows the thumbnail).
  QImage Picture;
  QString FileName;
  int i_ThumbWidth = 0;
  int i_ThumbHeight = 0;
};

class TFT_Snapshot : public TFT_ScrollList {
  Q_OBJECT
 public:
  explicit TFT_Snapshot(QWidget* parent = nullptr);
  ~TFT_Snapshot() override;

  int RowHeight() const override { return i_RowHeight; }
  int RowCount() const override { return static_cast<int>(Items.size()); }
  void SetRowHeight(int h);

  void AppendItem(Snapshot_Item* item);
  void RemoveItem(int index);
  void ClearItems();

  std::vector<Snapshot_Item*> Items;  // owned, oldest first
  Snapshot_Item* SelectedItem = nullptr;
  int i_RowHeight = 50;

 protected:
  void LayoutRows() override;
};

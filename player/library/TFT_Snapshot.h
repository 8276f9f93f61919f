// The snapshot list: thumbnails of the pictures taken, kept in memory until saved.
#pragma once

#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QPoint>
#include <QString>
#include <functional>
#include <vector>

#include "player/library/TFT_ScrollList.h"
#include "player/widgets/TImage.h"

class Snapshot_Item : public TFramedRow {
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

  static QString SnapshotFileName(const QDateTime& when);
  // `videoSize` is what the controller reports, or invalid when it cannot tell.
  Snapshot_Item* AddSnapshot(const QString& fileName, const QImage& grabbed,
                             const QSize& videoSize);
  // Writes one snapshot into folder (ending with '/'); false, with the reason, when it
  // could not be written.
  static bool SaveSnapshot(const Snapshot_Item* item, const QString& folder, QString* problem);
  // Saved snapshots leave the list; any that could not be written stay.
  bool SaveSelected(const QString& folder, QString* problem);
  bool SaveAll(const QString& folder, QString* problem,
               const std::function<void()>& afterEach = {});
  void DeleteSelected();
  void Clear();
  void CropSelected();

  void ItemClick(Snapshot_Item* item);
  std::function<void(QPoint)> OnItemMenu;

  void AppendItem(Snapshot_Item* item);
  void RemoveItem(int index);
  void ClearItems();
  int IndexOf(const Snapshot_Item* item) const;

  std::vector<Snapshot_Item*> Items;  // owned, oldest first
  Snapshot_Item* SelectedItem = nullptr;
  int i_RowHeight = 50;

 protected:
  void LayoutRows() override;
};

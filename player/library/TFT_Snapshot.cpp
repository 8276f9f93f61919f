#include "player/library/TFT_Snapshot.h"

#include <QCursor>
#include <QFile>
#include <QPainter>
#include <QPointer>
#include <algorithm>

#include "platform/Bitmap.h"
#include "player/library/ListFile.h"
#include "player/library/TFT_Bookmark.h"

namespace {
const QColor kGrey(128, 128, 128);
const QColor kGreen(0, 255, 0);
}  // namespace

Snapshot_Item::Snapshot_Item(QWidget* parent) : TFramedRow(parent) {}

TFT_Snapshot::TFT_Snapshot(QWidget* parent) : TFT_ScrollList(parent) {}

TFT_Snapshot::~TFT_Snapshot() { Items.clear(); }

void TFT_Snapshot::SetRowHeight(int h) { StoreRowHeight(i_RowHeight, h); }

void TFT_Snapshot::AppendItem(Snapshot_Item* item) { AppendRow(Items, item); }

void TFT_Snapshot::RemoveItem(int index) { RemoveRow(Items, index, {&SelectedItem}); }

void TFT_Snapshot::ClearItems() { ClearRows(Items, {&SelectedItem}); }

int TFT_Snapshot::IndexOf(const Snapshot_Item* item) const {
  for (size_t i = 0; i < Items.size(); ++i)
    if (Items[i] == item) return static_cast<int>(i);
  return -1;
}

QString TFT_Snapshot::SnapshotFileName(const QDateTime& when) {
  const QDate d = when.date();
  const QTime t = when.time();
  return QStringLiteral("Snapshot-%1-%2-%3-%4-%5-%6.bmp")
      .arg(d.year())
      .arg(d.month())
      .arg(d.day())
      .arg(t.hour())
      .arg(t.minute())
      .arg(t.second());
}

Snapshot_Item* TFT_Snapshot::AddSnapshot(const QString& fileName, const QImage& grabbed,
                                         const QSize& videoSize) {
  if (grabbed.isNull()) return nullptr;
  const int h = i_RowHeight;
  const int w = h * 4 / 3;
  auto* item = new Snapshot_Item(ClientPanel());
  item->setGeometry(6, 0, w, h);
  item->FileName = fileName;
  item->setToolTip(fileName);
  item->OnClick = [this, item](QObject*) { ItemClick(item); };
  item->OnMouseUp = [this](QObject*, TMouseButton b, TShiftState, int, int) {
    if (b == mbRight && OnItemMenu) OnItemMenu(QCursor::pos());
  };
  // A DVD picture is grabbed at its stored size; it is kept at the size it is shown at.
  if (videoSize.isValid() && !videoSize.isEmpty() && videoSize != grabbed.size())
    item->Picture = grabbed.scaled(videoSize, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  else
    item->Picture = grabbed.copy();
  item->i_ThumbWidth = w - 2;
  item->i_ThumbHeight = h - 2;
  QImage face(w, h, QImage::Format_RGB32);
  face.fill(kGrey);
  QPainter p(&face);
  p.drawImage(1, 1, ScaleKeepingAspect(grabbed, item->i_ThumbWidth, item->i_ThumbHeight));
  p.end();
  item->SetFace(face);
  AppendItem(item);
  if (Items.size() == 1) {
    SelectedItem = item;
    item->SetFrameColour(kGreen);
  }
  return item;
}

bool TFT_Snapshot::SaveSnapshot(const Snapshot_Item* item, const QString& folder,
                                QString* problem) {
  if (!item || item->Picture.isNull()) return true;
  const QString target = folder + item->FileName;
  if (QFile::exists(target)) QFile::remove(target);
  if (plat::SaveBitmap(item->Picture, target.toStdString())) return true;
  if (problem)
    *problem = "The snapshot " + item->FileName + " could not be saved in " + folder + ": " +
               listfile::WriteFailureReason(folder) + ".";
  return false;
}

bool TFT_Snapshot::SaveSelected(const QString& folder, QString* problem) {
  if (!SelectedItem) return true;
  if (!SaveSnapshot(SelectedItem, folder, problem)) return false;
  DeleteSelected();
  return true;
}

bool TFT_Snapshot::SaveAll(const QString& folder, QString* problem,
                           const std::function<void()>& afterEach) {
  // The user interface runs between saves, so a row may go meanwhile.
  std::vector<QPointer<Snapshot_Item>> rows(Items.begin(), Items.end());
  std::vector<Snapshot_Item*> failed;
  for (const QPointer<Snapshot_Item>& item : rows) {
    if (!item) continue;
    if (!SaveSnapshot(item, folder, problem)) failed.push_back(item);
    if (afterEach) afterEach();
  }
  BeginUpdate();
  for (int i = static_cast<int>(Items.size()) - 1; i >= 0; --i)
    if (std::find(failed.begin(), failed.end(), Items[i]) == failed.end()) RemoveItem(i);
  EndUpdate();
  return failed.empty();
}

void TFT_Snapshot::ItemClick(Snapshot_Item* item) {
  if (!item || item == SelectedItem) return;
  if (SelectedItem) SelectedItem->SetFrameColour(kGrey);
  SelectedItem = item;
  item->SetFrameColour(kGreen);
}

void TFT_Snapshot::DeleteSelected() {
  if (SelectedItem) RemoveItem(IndexOf(SelectedItem));
}

void TFT_Snapshot::Clear() { ClearItems(); }

void TFT_Snapshot::CropSelected() {
  BeginUpdate();
  for (int i = static_cast<int>(Items.size()) - 1; i >= 0; --i)
    if (Items[i] != SelectedItem) RemoveItem(i);
  EndUpdate();
}

void TFT_Snapshot::LayoutRows() {
  PlaceRows(Items, 1, i_RowHeight, [](const Snapshot_Item*) { return true; });
}

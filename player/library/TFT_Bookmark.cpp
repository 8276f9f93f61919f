#include "player/library/TFT_Bookmark.h"

#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QStorageInfo>
#include <algorithm>

#include "platform/Bitmap.h"
#include "platform/Drives.h"
#include "platform/ProgramFolder.h"
#include "player/library/ListFile.h"

namespace {

const QColor kGrey(128, 128, 128);
const QColor kGreen(0, 255, 0);
const QColor kWhite(255, 255, 255);

}  // namespace

QString TwoDigits(int n) { return (n <= 9 ? "0" : "") + QString::number(n); }

QString BookmarkTimeText(int s) {
  if (s > 86400) return "00:00:00";
  if (s < 0) s = 0;
  return TwoDigits(s / 3600) + ":" + TwoDigits((s % 3600) / 60) + ":" + TwoDigits(s % 60);
}

QImage ScaleKeepingAspect(const QImage& picture, int w, int h) {
  QImage out(std::max(1, w), std::max(1, h), QImage::Format_RGB32);
  out.fill(Qt::black);
  if (picture.isNull() || w < 1 || h < 1) return out;
  const double r = static_cast<double>(picture.width()) / picture.height();
  const double t = static_cast<double>(w) / h;
  int dw = w, dh = h;
  if (t > r)
    dw = static_cast<int>(h * r);
  else
    dh = static_cast<int>(w / r);
  const int x0 = (w - dw) / 2, y0 = (h - dh) / 2;
  const QRect area(x0, y0, (w + dw) / 2 - x0, (h + dh) / 2 - y0);
  if (area.width() < 1 || area.height() < 1) return out;
  QPainter p(&out);
  p.drawImage(area.topLeft(),
              picture.convertToFormat(QImage::Format_RGB32)
                  .scaled(area.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation));
  return out;
}

bool ReadDiscLabel(const std::string& root, std::string& label) {
  if (!plat::GetVolumeLabel(root, label)) return false;
  const QFileInfo info(QString::fromStdString(root));
  if (info.isDir()) {
    // Only the folder a disc is mounted on carries the disc's label.
    const QStorageInfo storage(info.absoluteFilePath());
    if (!storage.isValid() ||
        QDir(storage.rootPath()).canonicalPath() != QDir(info.absoluteFilePath()).canonicalPath())
      return false;
  }
  return true;
}

Bookmark_Item::Bookmark_Item(QWidget* parent) : TFramedRow(parent) {
  QFont f = font();
  f.setFamily("Tahoma");
  f.setPixelSize(11);
  setFont(f);
}

TFT_Bookmark::TFT_Bookmark(QWidget* parent) : TFT_ScrollList(parent) {}

TFT_Bookmark::~TFT_Bookmark() { Items.clear(); }

void TFT_Bookmark::SetRowHeight(int h) { StoreRowHeight(i_RowHeight, h); }

void TFT_Bookmark::AppendItem(Bookmark_Item* item) { AppendRow(Items, item); }

void TFT_Bookmark::RemoveItem(int index) { RemoveRow(Items, index, {&PlayingItem, &SelectedItem}); }

void TFT_Bookmark::ClearItems() { ClearRows(Items, {&PlayingItem, &SelectedItem}); }

int TFT_Bookmark::IndexOf(const Bookmark_Item* item) const {
  for (size_t i = 0; i < Items.size(); ++i)
    if (Items[i] == item) return static_cast<int>(i);
  return -1;
}

Bookmark_Item* TFT_Bookmark::AddBookmark(const QString& path, int chapter, int seconds,
                                         const QImage& picture) {
  const int h = i_RowHeight;
  const int w = std::max(1, width());
  auto* item = new Bookmark_Item(ClientPanel());
  item->setGeometry(1, 1, w, h);
  item->Path = path;
  item->OnClick = [this, item](QObject*) { ItemClick(item); };
  item->OnDblClick = [this, item](QObject*) { ItemDblClick(item); };
  item->OnMouseUp = [this](QObject*, TMouseButton b, TShiftState, int, int) {
    if (b == mbRight && OnItemMenu) OnItemMenu(QCursor::pos());
  };
  const QString time = BookmarkTimeText(seconds);
  const QString hint = chapter > 0 ? path + ", Ch : " + TwoDigits(chapter) + ", Time : " + time
                                   : path + ", Time : " + time;
  item->setToolTip(hint);
  item->i_ThumbWidth = ((h - 2) * 4) / 3 - 2;
  item->i_ThumbHeight = h - 2;
  item->Thumbnail = ScaleKeepingAspect(picture, item->i_ThumbWidth, item->i_ThumbHeight);

  QImage face(w, h, QImage::Format_RGB32);
  face.fill(kGrey);
  QPainter p(&face);
  p.drawImage(1, 1, item->Thumbnail);
  p.setFont(item->font());
  p.setPen(Qt::black);
  const int x = item->i_ThumbWidth + 3;
  const int ascent = p.fontMetrics().ascent();
  if (chapter > 0) p.drawText(x, h - 42 + ascent, "Ch : " + TwoDigits(chapter));
  p.drawText(x, h - 28 + ascent, "Time :");
  p.drawText(x, h - 16 + ascent, time);
  p.end();
  item->SetFace(face);
  item->i_Kind = path.contains("BOOKMARK") && path.contains("@") ? 2 : 1;
  item->i_Chapter = chapter;
  item->i_Seconds = seconds;
  AppendItem(item);
  if (Items.size() == 1) {
    SelectedItem = item;
    item->SetFrameColour(kWhite);
  }
  return item;
}

void TFT_Bookmark::SetBookmarkFilter(int filter) {
  i_Filter = filter;
  SetThumbTop(0);
}

void TFT_Bookmark::ItemClick(Bookmark_Item* item) {
  if (!item || item == SelectedItem) return;
  if (SelectedItem && SelectedItem != PlayingItem) SelectedItem->SetFrameColour(kGrey);
  if (item == PlayingItem) {
    SelectedItem = nullptr;
    return;
  }
  SelectedItem = item;
  item->SetFrameColour(kWhite);
}

void TFT_Bookmark::ItemDblClick(Bookmark_Item* item) {
  if (!item) return;
  if (PlayingItem) PlayingItem->SetFrameColour(kGrey);
  if (SelectedItem) SelectedItem->SetFrameColour(kGrey);
  SelectedItem = nullptr;
  PlayingItem = item;
  item->SetFrameColour(kGreen);
  if (OnPlayRequest) OnPlayRequest(item);
}

Bookmark_Item* TFT_Bookmark::BookmarkToPlay() {
  if (SelectedItem) {
    if (PlayingItem && PlayingItem != SelectedItem) PlayingItem->SetFrameColour(kGrey);
    SelectedItem->SetFrameColour(kGreen);
    PlayingItem = SelectedItem;
    return SelectedItem;
  }
  return PlayingItem;
}

void TFT_Bookmark::MarkStopped() {
  if (SelectedItem) {
    if (PlayingItem) PlayingItem->SetFrameColour(kGrey);
    SelectedItem->SetFrameColour(kWhite);
  } else if (PlayingItem) {
    PlayingItem->SetFrameColour(kWhite);
    SelectedItem = PlayingItem;
  }
  PlayingItem = nullptr;
}

void TFT_Bookmark::Clear() { ClearItems(); }

void TFT_Bookmark::DeleteSelected() {
  Bookmark_Item* target = SelectedItem ? SelectedItem : PlayingItem;
  if (target) RemoveItem(IndexOf(target));
}

void TFT_Bookmark::CropSelected() {
  BeginUpdate();
  for (int i = static_cast<int>(Items.size()) - 1; i >= 0; --i)
    if (Items[i] != SelectedItem && Items[i] != PlayingItem) RemoveItem(i);
  EndUpdate();
}

bool TFT_Bookmark::SaveToFile(const std::string& fileName, QString* problem) const {
  const QString folder = QFileInfo(QString::fromStdString(fileName)).absolutePath() + "/Bookmark/";
  // The folder is made at start; one removed since is made again.
  QDir().mkpath(folder);
  std::vector<QString> lines;
  lines.reserve(Items.size() * 4);
  bool thumbsOk = true;
  for (size_t i = 0; i < Items.size(); ++i) {
    const Bookmark_Item* item = Items[i];
    const QString thumb = folder + "bmbmp-" + QString::number(i + 1) + ".bmp";
    lines.push_back(item->Path);
    lines.push_back(QString::number(item->i_Chapter));
    lines.push_back(QString::number(item->i_Seconds));
    lines.push_back(thumb);
    if (!plat::SaveBitmap(item->Thumbnail, thumb.toStdString())) thumbsOk = false;
  }
  if (!thumbsOk && problem)
    *problem = "The bookmark pictures could not be saved in " + folder + ": " +
               listfile::WriteFailureReason(folder) + ".";
  if (!listfile::WriteLines(fileName, lines)) {
    const QString dir = QFileInfo(QString::fromStdString(fileName)).absolutePath();
    if (problem)
      *problem = "The bookmarks could not be saved to " + QString::fromStdString(fileName) + ": " +
                 listfile::WriteFailureReason(dir) + ". The file saved before is kept.";
    return false;
  }
  // Pictures of bookmarks deleted since the last save.
  for (int n = static_cast<int>(Items.size()) + 1;; ++n) {
    const QString stale = folder + "bmbmp-" + QString::number(n) + ".bmp";
    if (!QFile::exists(stale)) break;
    QFile::remove(stale);
  }
  return thumbsOk;
}

bool TFT_Bookmark::LoadFromFile(const std::string& fileName, QString* problem) {
  listfile::ReadResult r = listfile::ReadLines(fileName);
  if (!r.exists) return true;
  if (!r.damaged && r.lines.size() % 4 != 0) {
    // Blank lines at the end are harmless; anything else is a cut-off entry.
    size_t n = r.lines.size();
    while (n > 0 && listfile::Trimmed(r.lines[n - 1]).isEmpty()) --n;
    if (n % 4 != 0) {
      r.damaged = true;
      r.problem = QStringLiteral("its last bookmark is incomplete");
    }
  }
  const QString defbmk = plat::FindFileNoCase("defbmk.bmp").empty()
                             ? QString::fromStdString(plat::ProgramFolder()) + "defbmk.bmp"
                             : QStringLiteral("defbmk.bmp");
  BeginUpdate();
  for (size_t i = 0; i + 3 < r.lines.size(); i += 4) {
    const QString path = listfile::Trimmed(r.lines[i]);
    bool ok = false;
    int chapter = listfile::Trimmed(r.lines[i + 1]).toInt(&ok);
    if (!ok) chapter = 0;
    int seconds = listfile::Trimmed(r.lines[i + 2]).toInt(&ok);
    if (!ok) seconds = 0;
    QString thumb = listfile::Trimmed(r.lines[i + 3]);
    if (thumb.isEmpty() || !QFileInfo(thumb).isFile()) thumb = defbmk;
    // With neither picture the bookmark still loads, on black.
    const QImage picture = plat::LoadBitmap(thumb.toStdString());
    AddBookmark(path, chapter, seconds, picture);
  }
  EndUpdate();
  if (r.damaged) {
    listfile::KeepDamaged(fileName);
    if (problem) *problem = r.problem;
  }
  return !r.damaged;
}

void TFT_Bookmark::LayoutRows() {
  PlaceRows(Items, 1, i_RowHeight, [this](const Bookmark_Item* item) {
    return i_Filter == 0 || (i_Filter == 1 && item->i_Kind == 1) ||
           (i_Filter == 2 && item->i_Kind == 2 && !s_DiscLabel.isEmpty() &&
            item->Path.contains(s_DiscLabel));
  });
}

#include "platform/Cursor.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPixmap>

#include "platform/Bitmap.h"

namespace plat {
namespace {

uint16_t U16(const QByteArray& d, int at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(d[at]) |
                               (static_cast<uint8_t>(d[at + 1]) << 8));
}

}  // namespace

bool CursorFromData(const QByteArray& data, QCursor& out) {
  // Directory: reserved 0, type (1 icon, 2 cursor), count; then 16-byte entries.
  if (data.size() < 6 + 16) return false;
  const uint16_t type = U16(data, 2);
  const int count = U16(data, 4);
  if (U16(data, 0) != 0 || (type != 1 && type != 2) || count == 0) return false;
  if (data.size() < 6 + 16 * count) return false;

  // The largest picture wins, as a cursor shows at its native size.
  int best = 0, bestArea = -1;
  for (int i = 0; i < count; ++i) {
    const int e = 6 + 16 * i;
    int w = static_cast<uint8_t>(data[e]), h = static_cast<uint8_t>(data[e + 1]);
    if (w == 0) w = 256;
    if (h == 0) h = 256;
    if (w * h > bestArea) {
      bestArea = w * h;
      best = i;
    }
  }
  const int entry = 6 + 16 * best;
  int hotX = type == 2 ? U16(data, entry + 4) : -1;
  int hotY = type == 2 ? U16(data, entry + 6) : -1;

  // Qt's ico reader reads the pictures; cursors carry the same pictures as icons.
  // Where a cursor keeps its hot spot, an icon keeps planes and bit depth; restore those.
  QByteArray asIcon = data;
  asIcon[2] = 1;
  asIcon[3] = 0;
  for (int i = 0; i < count && type == 2; ++i) {
    const int e = 6 + 16 * i;
    const uint32_t offset =
        static_cast<uint32_t>(U16(data, e + 12)) | static_cast<uint32_t>(U16(data, e + 14)) << 16;
    uint16_t bits = 0;
    if (offset <= static_cast<uint32_t>(data.size()) - 16)
      bits = U16(data, static_cast<int>(offset) + 14);
    asIcon[e + 4] = 1;
    asIcon[e + 5] = 0;
    asIcon[e + 6] = static_cast<char>(bits & 0xFF);
    asIcon[e + 7] = static_cast<char>(bits >> 8);
  }
  QBuffer buf(&asIcon);
  buf.open(QIODevice::ReadOnly);
  QImageReader reader(&buf, "ico");
  if (!reader.canRead()) return false;
  if (best > 0 && !reader.jumpToImage(best)) return false;
  QImage img;
  if (!reader.read(&img) || img.isNull()) return false;

  if (hotX < 0 || hotY < 0) {
    hotX = img.width() / 2;
    hotY = img.height() / 2;
  }
  hotX = std::clamp(hotX, 0, img.width() - 1);
  hotY = std::clamp(hotY, 0, img.height() - 1);
  out = QCursor(QPixmap::fromImage(img), hotX, hotY);
  return true;
}

bool LoadCursorFile(const std::string& path, QCursor& out) {
  const std::string found = FindFileNoCase(path);
  if (found.empty()) return false;
  QFile f(QString::fromStdString(found));
  // Cursor files are small; anything huge is not one.
  if (!f.open(QIODevice::ReadOnly) || f.size() > 16 * 1024 * 1024) return false;
  return CursorFromData(f.readAll(), out);
}

}  // namespace plat

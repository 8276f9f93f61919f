#include "platform/Bitmap.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>

#include "platform/Profile.h"

namespace plat {

std::string FindFileNoCase(const std::string& input) {
  if (input.empty()) return {};
  std::string path = input;
  for (char& c : path)
    if (c == '\\') c = '/';
  const QString qpath = QString::fromStdString(path);
  if (QFileInfo::exists(qpath)) return path;

  const bool absolute = path.front() == '/';
  const bool trailing = path.back() == '/';
  const QStringList parts = qpath.split('/', Qt::SkipEmptyParts);
  QString current = absolute ? QStringLiteral("/") : QString();
  for (int i = 0; i < parts.size(); ++i) {
    const QString& part = parts[i];
    const QString dir = current.isEmpty() ? QStringLiteral(".") : current;
    QString next = current + part;
    if (part == "." || part == ".." || QFileInfo::exists(next)) {
      current = next;
    } else {
      const QStringList entries = QDir(dir).entryList(
          QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
      QString match;
      for (const QString& e : entries) {
        if (e.compare(part, Qt::CaseInsensitive) == 0) {
          match = e;
          break;
        }
      }
      if (match.isEmpty()) return {};
      current += match;
    }
    if (i + 1 < parts.size()) current += '/';
  }
  if (trailing && !current.endsWith('/')) current += '/';
  return current.toStdString();
}

QImage BitmapFromData(const QByteArray& data) {
  QByteArray bytes = data;
  QBuffer buf(&bytes);
  buf.open(QIODevice::ReadOnly);
  // The contents decide, not the name: skins carry bitmaps with odd extensions.
  QImageReader reader(&buf);
  reader.setDecideFormatFromContent(true);
  QImage img;
  if (!reader.read(&img)) return {};
  return img;
}

QImage LoadBitmap(const std::string& path) {
  const std::string found = FindFileNoCase(path);
  if (found.empty()) return {};
  QFile f(QString::fromStdString(found));
  // Far beyond any picture the player shows; not read into memory.
  if (!f.open(QIODevice::ReadOnly) || f.size() > (qint64(256) << 20)) return {};
  return BitmapFromData(f.readAll());
}

bool SaveBitmap(const QImage& img, const std::string& path) {
  if (img.isNull() || path.empty()) return false;
  // RGB32 makes Qt's writer emit 24 bits per pixel whatever the source depth.
  const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
  QByteArray bytes;
  QBuffer buf(&bytes);
  buf.open(QIODevice::WriteOnly);
  QImageWriter writer(&buf, "BMP");
  if (!writer.write(rgb)) return false;
  std::string target = path;
  for (char& c : target)
    if (c == '\\') c = '/';
  return WriteFileAtomically(target, bytes.toStdString());
}

}  // namespace plat

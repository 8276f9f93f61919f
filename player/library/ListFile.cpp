#include "player/library/ListFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QStringDecoder>

#include "platform/Profile.h"

namespace listfile {

ReadResult ReadLines(const std::string& path) {
  ReadResult r;
  QFile f(QString::fromStdString(path));
  if (!f.exists()) return r;
  r.exists = true;
  if (!f.open(QIODevice::ReadOnly)) {
    r.damaged = true;
    r.problem = QStringLiteral("it cannot be read");
    return r;
  }
  if (f.size() > kMaxListBytes) {
    r.damaged = true;
    r.problem = QStringLiteral("it is too large (%1 MB)").arg(f.size() / (1024 * 1024));
    return r;
  }
  const QByteArray data = f.readAll();
  qsizetype start = 0;
  while (start < data.size()) {
    qsizetype end = data.indexOf('\n', start);
    const bool last = end < 0;
    if (last) end = data.size();
    QByteArray raw = data.mid(start, end - start);
    if (raw.endsWith('\r')) raw.chop(1);
    if (raw.contains('\0')) {
      r.damaged = true;
      r.problem = QStringLiteral("it holds binary data");
      break;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString line = utf8.decode(raw);
    if (utf8.hasError()) {
      r.damaged = true;
      r.problem = QStringLiteral("it holds text that is not UTF-8");
      break;
    }
    r.lines.push_back(line);
    start = end + 1;
  }
  return r;
}

QString Trimmed(const QString& s) {
  qsizetype b = 0, e = s.size();
  while (b < e && s[b].unicode() <= 0x20) ++b;
  while (e > b && s[e - 1].unicode() <= 0x20) --e;
  return s.mid(b, e - b);
}

bool KeepDamaged(const std::string& path) {
  QFile f(QString::fromStdString(path));
  if (!f.open(QIODevice::ReadOnly)) return false;
  const QByteArray data = f.readAll();
  return plat::WriteFileAtomically(path + ".damaged", data.toStdString());
}

bool WriteLines(const std::string& path, const std::vector<QString>& lines) {
  QByteArray text;
  for (const QString& line : lines) {
    text += line.toUtf8();
    text += "\r\n";
  }
  return plat::WriteFileAtomically(path, text.toStdString());
}

QString WriteFailureReason(const QString& folder) {
  const QFileInfo info(folder);
  if (!info.exists() || !info.isDir()) return QStringLiteral("the folder no longer exists");
  if (!info.isWritable()) return QStringLiteral("the folder is read-only");
  const QStorageInfo storage(folder);
  if (storage.isValid() && storage.isReadOnly()) return QStringLiteral("the disk is read-only");
  if (storage.isValid() && storage.bytesAvailable() < 1024 * 1024)
    return QStringLiteral("the disk is full");
  return QStringLiteral("the file could not be written");
}

}  // namespace listfile

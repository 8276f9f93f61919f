#include "core/HandOffFile.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include "platform/Profile.h"

namespace {
// A hand-off holds a few paths; anything far larger is not one of ours.
constexpr qint64 kHandOffMaxBytes = 1 << 20;
}  // namespace

std::string ApplyDVDFolderRule(const std::string& path) {
  std::string upper = path;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  const size_t slash = upper.find_last_of('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = upper.find_last_of('.');
  if (dot == std::string::npos || dot < nameStart) return path;
  if (upper.compare(dot, std::string::npos, ".IFO") != 0) return path;
  const size_t p = upper.find("VIDEO_TS");
  if (p == std::string::npos) return path;
  return path.substr(0, p);
}

bool WriteHandOffFile(const std::string& file, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  return plat::WriteFileAtomically(file, text);
}

bool ParseHandOffText(const std::string& text, std::vector<std::string>& lines) {
  lines.clear();
  size_t start = 0;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    const bool last = end == std::string::npos;
    if (last) end = text.size();
    size_t stop = end;
    if (stop > start && text[stop - 1] == '\r') --stop;
    lines.emplace_back(text, start, stop - start);
    if (last) break;
    start = end + 1;
  }
  return true;
}

bool ReadHandOffFile(const std::string& file, std::vector<std::string>& lines) {
  lines.clear();
  QFile f(QString::fromStdString(file));
  if (!f.open(QIODevice::ReadOnly)) return false;
  if (f.size() > kHandOffMaxBytes) return false;
  const QByteArray data = f.read(kHandOffMaxBytes + 1);
  if (data.size() > kHandOffMaxBytes) return false;
  return ParseHandOffText(data.toStdString(), lines);
}

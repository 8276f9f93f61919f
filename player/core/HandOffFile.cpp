#include "player/core/HandOffFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Profile.h"

namespace {
// A hand-off holds a few paths; anything far larger is not one of ours.
constexpr off_t kHandOffMaxBytes = 1 << 20;
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
  // Always a fresh file: a link planted at the name is replaced, never written through.
  return plat::WriteFileAtomically(file, text, false);
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
  // Only a regular file of this user counts: a link is not followed, and a
  // FIFO or device must not block the player in open() or read().
  const int fd = open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return false;
  struct stat st;
  std::string data;
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() &&
            st.st_size <= kHandOffMaxBytes;
  while (ok) {
    char buffer[16384];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    data.append(buffer, static_cast<size_t>(n));
    // It may have grown since fstat.
    if (data.size() > static_cast<size_t>(kHandOffMaxBytes)) ok = false;
  }
  close(fd);
  return ok && ParseHandOffText(data, lines);
}

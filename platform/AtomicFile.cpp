#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "platform/Profile.h"

namespace plat {

namespace {

constexpr char kTempMark[] = ".tmp";
constexpr size_t kTempDigits = 8;

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

// "<name>.tmp" followed by exactly the eight hex digits the writer uses;
// a name starting with '*' matches any file name ending with the rest.
bool IsTemporaryOf(const std::string& entry, const std::string& name) {
  const size_t tail = sizeof kTempMark - 1 + kTempDigits;
  if (entry.size() <= tail) return false;
  const std::string base = entry.substr(0, entry.size() - tail);
  if (entry.compare(base.size(), sizeof kTempMark - 1, kTempMark) != 0) return false;
  for (size_t i = entry.size() - kTempDigits; i < entry.size(); ++i)
    if (!IsHex(entry[i])) return false;
  if (!name.empty() && name[0] == '*') {
    const std::string end = name.substr(1);
    return base.size() > end.size() && base.compare(base.size() - end.size(), end.size(), end) == 0;
  }
  return base == name;
}

}  // namespace

int RemoveStaleTemporaries(const std::string& folder, const std::vector<std::string>& names) {
  if (folder.empty()) return 0;
  const std::string dir = folder.back() == '/' ? folder : folder + '/';
  DIR* d = opendir(dir.c_str());
  if (!d) return 0;
  int removed = 0;
  while (const dirent* e = readdir(d)) {
    const std::string entry = e->d_name;
    bool ours = false;
    for (const std::string& name : names) ours = ours || IsTemporaryOf(entry, name);
    if (!ours) continue;
    struct stat st;
    const std::string path = dir + entry;
    if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) continue;
    if (unlink(path.c_str()) == 0) ++removed;
  }
  closedir(d);
  return removed;
}

bool WriteFileAtomically(const std::string& given, const std::string& data, bool followLink) {
  if (given.empty() || given.back() == '/') return false;
  // A symbolic link keeps pointing at the file: the new contents replace its target.
  std::string path = given;
  struct stat lst;
  const bool isLink = lstat(given.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode);
  if (isLink && followLink) {
    char* real = realpath(given.c_str(), nullptr);
    if (real) {
      path = real;
      free(real);
    }
  }
  // The temporary file sits in the same folder so the rename cannot cross file systems.
  std::random_device rd;
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, "%s%08x", kTempMark, static_cast<unsigned>(rd()));
  const std::string tmp = path + suffix;

  // Keep the old file's permissions; new files get the usual 0666 & ~umask.
  mode_t mode = 0666;
  struct stat st;
  bool existed = !(isLink && !followLink) && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  if (existed) mode = st.st_mode & 07777;

  int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) return false;
  if (existed) fchmod(fd, mode);
  size_t done = 0;
  bool ok = true;
  while (done < data.size()) {
    ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (ok && fsync(fd) != 0) ok = false;
  if (close(fd) != 0) ok = false;
  if (ok && rename(tmp.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) {
    unlink(tmp.c_str());
    return false;
  }
  // Make the rename itself durable.
  const size_t slash = path.find_last_of('/');
  const std::string dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
  int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    fsync(dfd);
    close(dfd);
  }
  return true;
}

}  // namespace plat

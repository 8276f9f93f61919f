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

bool WriteFileAtomically(const std::string& given, const std::string& data) {
  if (given.empty() || given.back() == '/') return false;
  // A symbolic link keeps pointing at the file: the new contents replace its target.
  std::string path = given;
  struct stat lst;
  if (lstat(given.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
    char* real = realpath(given.c_str(), nullptr);
    if (real) {
      path = real;
      free(real);
    }
  }
  // The temporary file sits in the same folder so the rename cannot cross file systems.
  std::random_device rd;
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".tmp%08x", static_cast<unsigned>(rd()));
  const std::string tmp = path + suffix;

  // Keep the old file's permissions; new files get the usual 0666 & ~umask.
  mode_t mode = 0666;
  struct stat st;
  bool existed = stat(path.c_str(), &st) == 0;
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

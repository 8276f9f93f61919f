// The disc check that runs in a child process, and the dry run through libdvdnav it ends with.
#include <dvdnav/dvdnav.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdarg>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "navdisc/DiscValidator.h"
#include "navdisc/graph/FirstPlayBypass.h"

namespace navdisc {
namespace {

// Dry run budgets: the start-up path to its first menu, and the opening of each title.
constexpr int kDryRunStartBlocks = 4000;
constexpr int kDryRunTitles = 16;
constexpr int kDryRunTitleBlocks = 64;
constexpr std::chrono::seconds kCheckTimeout{30};

void QuietNavLog(void*, dvdnav_logger_level_t, const char*, va_list) {}

}  // namespace

// The start-up path and the start of every title, played through libdvdnav itself: what the
// static checks cannot foresee fails here, inside the checking process.
bool DryRunDisc(const std::string& path, std::string& why, const DiscLimits* limits) {
  static const dvdnav_logger_cb kLogger = {QuietNavLog};
  // A damaged first-play program is run by libdvdnav before any jump: the disc is tried as the
  // engine will play it, seen without that program, or refused when it cannot be seen so.
  std::unique_ptr<graph::FirstPlayBypass> view;
  if (limits && !limits->firstPlay) {
    std::string viewWhy;
    view = graph::FirstPlayBypass::Create(path, viewWhy);
    if (!view) {
      why = "the first-play chain is damaged, and " + viewWhy;
      return false;
    }
  }
  dvdnav_t* nav = nullptr;
  auto open = [&] {
    const std::string& target = view ? view->Folder() : path;
    if (dvdnav_open2(&nav, nullptr, &kLogger, target.c_str()) == DVDNAV_STATUS_OK) return true;
    why = "libdvdnav cannot open the disc";
    return false;
  };
  if (!open()) return false;
  std::vector<uint8_t> buf(DVD_VIDEO_LB_LEN);
  // False when not even the first block could be read.
  auto readSome = [&](int budget) {
    for (int i = 0; i < budget; ++i) {
      int event = 0, len = 0;
      if (dvdnav_get_next_block(nav, buf.data(), &event, &len) != DVDNAV_STATUS_OK) return i > 0;
      if (event == DVDNAV_STOP) break;
      if (event == DVDNAV_STILL_FRAME) break;
      // The engine stops where a menu it does not show begins.
      if ((event == DVDNAV_VTS_CHANGE || event == DVDNAV_CELL_CHANGE) && limits && !limits->menus &&
          (dvdnav_is_domain_vmgm(nav) || dvdnav_is_domain_vtsm(nav)))
        break;
      if (event == DVDNAV_WAIT) dvdnav_wait_skip(nav);
    }
    return true;
  };
  if (!readSome(kDryRunStartBlocks) && !view) {
    // A first-play program that leads nowhere: libdvdnav's machine never starts, and the engine
    // plays the disc through a view without that program. A disc that offers no such view (an
    // image or device not mounted) would show the engine's box and then fail on every jump.
    dvdnav_close(nav);
    nav = nullptr;
    std::string viewWhy;
    view = graph::FirstPlayBypass::Create(path, viewWhy);
    if (!view) {
      why = "the first-play program leads nowhere, and " + viewWhy;
      return false;
    }
    if (!open()) return false;
    readSome(kDryRunStartBlocks);
  }
  int32_t titles = 0;
  dvdnav_get_number_of_titles(nav, &titles);
  for (int32_t t = 1; t <= std::min(titles, kDryRunTitles); ++t) {
    if (limits && !limits->TitleAllowed(t)) continue;
    dvdnav_reset(nav);
    if (dvdnav_title_play(nav, t) == DVDNAV_STATUS_OK) readSome(kDryRunTitleBlocks);
  }
  dvdnav_close(nav);
  return true;
}

bool ValidateDisc(const std::string& path, std::string* why, DiscLimits* limits) {
  auto result = [&](bool ok, const std::string& reason) {
    if (why) *why = ok && (!limits || limits->Whole()) ? std::string() : reason;
    return ok;
  };
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return result(false, "not found");

  // libdvdread and libdvdnav crash or abort on some damaged data; the checks run in a child
  // process so that only the child goes down.
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return result(false, "cannot start the disc check");
  const pid_t pid = ::fork();
  if (pid < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    return result(false, "cannot start the disc check");
  }
  if (pid == 0) {
    ::close(fds[0]);
    std::string reason;
    DiscLimits found;
    DiscLimits* const l = limits ? &found : nullptr;
    const bool ok = CheckDiscStructure(path, &reason, l) && DryRunDisc(path, reason, l);
    // The verdict, the limits found on its own line, then the reason.
    const std::string msg = (ok ? "1" : "0") + found.Encode() + "\n" + reason.substr(0, 400);
    ssize_t n = ::write(fds[1], msg.data(), msg.size());
    (void)n;
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string msg;
  char buf[512];
  const auto deadline = std::chrono::steady_clock::now() + kCheckTimeout;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      ::kill(pid, SIGKILL);
      msg = "0" + DiscLimits().Encode() + "\nthe disc check did not finish";
      break;
    }
    pollfd p{fds[0], POLLIN, 0};
    const int r = ::poll(&p, 1, static_cast<int>(left.count()));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) continue;
    const ssize_t n = ::read(fds[0], buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    msg.append(buf, static_cast<size_t>(n));
  }
  ::close(fds[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFSIGNALED(status) && msg.empty())
    return result(false, "the disc's navigation data is damaged");
  const size_t eol = msg.find('\n');
  if (msg.empty() || eol == std::string::npos) return result(false, "the disc check failed");
  DiscLimits found;
  if (!DiscLimits::Decode(msg.substr(1, eol - 1), found))
    return result(false, "the disc check failed");
  if (limits) *limits = found;
  return result(msg[0] == '1', msg.substr(eol + 1));
}

}  // namespace navdisc

// Feeds damaged IFO files to the disc checks, in this process, so that a crash in the checks
// (or in libdvdread beneath them) is seen by the fuzzer; what the checks pass is then started
// in libdvdnav, where a crash shows a gap in the checks. The first input byte picks the file
// that receives the rest; the other files come from the sample disc (LUMORA_FIXTURE_DIR, or the
// build's own), so the damage meets an otherwise whole disc.
//
// libdvdread itself has faults on some damaged tables (a double free in its first-play read).
// The engine checks discs in a child process, so such a disc is refused and the player lives
// on; here it would end the run and hide everything after it. Each input is therefore first
// opened by libdvdread alone in a child, and one it cannot open without crashing is passed over.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "navdisc/DiscValidator.h"

namespace fs = std::filesystem;

struct Scratch {
  fs::path root;
  std::map<std::string, std::string> pristine;  // IFO files of the sample disc, by base name
};

static const Scratch& GetScratch() {
  static Scratch scratch = [] {
    Scratch s;
    std::string tmpl = (fs::temp_directory_path() / "lumora-fuzz-ifo-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) std::abort();
    s.root = tmpl;
    fs::create_directories(s.root / "VIDEO_TS");
    const char* fixtures = std::getenv("LUMORA_FIXTURE_DIR");
#ifdef LUMORA_FUZZ_FIXTURE_DIR
    if (!fixtures) fixtures = LUMORA_FUZZ_FIXTURE_DIR;
#endif
    // Damage to a lone file mostly stops at "not a DVD"; without the disc the run proves little.
    const fs::path sample = fs::path(fixtures ? fixtures : "") / "sample-dvd" / "VIDEO_TS";
    std::error_code ec;
    if (!fixtures || !fs::is_regular_file(sample / "VIDEO_TS.IFO", ec)) {
      std::fprintf(stderr, "fuzz_navdisc_ifo: no sample disc at %s (set LUMORA_FIXTURE_DIR)\n",
                   sample.c_str());
      std::exit(1);
    }
    fs::copy(sample, s.root / "VIDEO_TS", fs::copy_options::overwrite_existing, ec);
    for (const char* base : {"VIDEO_TS", "VTS_01_0", "VTS_02_0"}) {
      std::ifstream in(sample / (std::string(base) + ".IFO"), std::ios::binary);
      s.pristine[base].assign(std::istreambuf_iterator<char>(in), {});
    }
    return s;
  }();
  return scratch;
}

static void WritePair(const fs::path& dir, const std::string& base, const char* data, size_t n) {
  for (const char* ext : {".IFO", ".BUP"}) {
    std::ofstream out(dir / (base + ext), std::ios::binary | std::ios::trunc);
    out.write(data, static_cast<std::streamsize>(n));
  }
}

static bool LibdvdreadSurvives(const fs::path& root) {
  // A separate small program: forking this process per input would cost more than the run.
  const char* argv[] = {LUMORA_IFO_PROBE, root.c_str(), nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // Its reports would only repeat what the skip says.
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, LUMORA_IFO_PROBE, &actions, nullptr,
                             const_cast<char* const*>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) std::abort();
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) std::abort();
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const char* kTargets[] = {"VIDEO_TS", "VTS_01_0", "VTS_02_0"};
  const Scratch& s = GetScratch();
  const fs::path dir = s.root / "VIDEO_TS";
  // Every run starts from the whole disc, so a finding reproduces from its input alone.
  for (const auto& [base, bytes] : s.pristine) WritePair(dir, base, bytes.data(), bytes.size());
  WritePair(dir, kTargets[data[0] % 3], reinterpret_cast<const char*>(data + 1), size - 1);
  if (!LibdvdreadSurvives(s.root)) return 0;
  // As the engine checks: damaged parts are barred, and the dry run keeps away from them.
  std::string why;
  navdisc::DiscLimits limits;
  if (navdisc::CheckDiscStructure(s.root.string(), &why, &limits))
    navdisc::DryRunDisc(s.root.string(), why, &limits);
  return 0;
}

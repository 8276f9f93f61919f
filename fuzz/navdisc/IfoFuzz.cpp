// Feeds damaged IFO files to the disc checks, in this process, so that a crash in the checks
// (or in libdvdread beneath them) is seen by the fuzzer. The first input byte picks the file
// that receives the rest; the other files come from the sample disc when LUMORA_FIXTURE_DIR
// names one, so the damage meets an otherwise whole disc.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "navdisc/DiscValidator.h"

namespace fs = std::filesystem;

static fs::path Scratch() {
  static fs::path dir = [] {
    std::string tmpl = (fs::temp_directory_path() / "lumora-fuzz-ifo-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) std::abort();
    const fs::path root = tmpl;
    fs::create_directories(root / "VIDEO_TS");
    if (const char* fixtures = std::getenv("LUMORA_FIXTURE_DIR")) {
      const fs::path sample = fs::path(fixtures) / "sample-dvd" / "VIDEO_TS";
      std::error_code ec;
      fs::copy(sample, root / "VIDEO_TS", fs::copy_options::overwrite_existing, ec);
    }
    return root;
  }();
  return dir;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const char* kTargets[] = {"VIDEO_TS", "VTS_01_0", "VTS_02_0"};
  const fs::path root = Scratch();
  const std::string base = kTargets[data[0] % 3];
  for (const char* ext : {".IFO", ".BUP"}) {
    std::ofstream out(root / "VIDEO_TS" / (base + ext), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
  }
  std::string why;
  navdisc::CheckDiscStructure(root.string(), &why);
  return 0;
}

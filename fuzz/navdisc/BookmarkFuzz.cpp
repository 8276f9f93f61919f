// Reads arbitrary bytes as a bookmark file: listing, loading streams and decoding the engine's
// record must fail cleanly. Saving into it then must keep working.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "navdisc/BookmarkStore.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fs::path file = [] {
    std::string tmpl = (fs::temp_directory_path() / "lumora-fuzz-bmk-XXXXXX").string();
    if (!::mkdtemp(tmpl.data())) std::abort();
    return fs::path(tmpl) / "DISC.bmk";
  }();
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  for (const std::string& name : navdisc::ListBookmarkStreams(file.string())) {
    std::vector<uint8_t> bytes;
    if (navdisc::LoadBookmarkStream(file.string(), name, bytes) &&
        bytes.size() > navdisc::kMaxBookmarkStreamSize)
      std::abort();
    navdisc::NavdiscStateRecord state;
    navdisc::LoadBookmarkState(file.string(), name, state);
  }
  navdisc::NavdiscStateRecord state;
  state.title = 1;
  if (!navdisc::SaveBookmarkState(file.string(), "BOOKMARK-CH1-T1", state)) std::abort();
  fs::remove(file.string() + ".damaged");
  return 0;
}

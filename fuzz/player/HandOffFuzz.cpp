// The hand-off file reader: any bytes a second start (or anyone else) left
// in the program folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/HandOffFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> lines;
  if (!ParseHandOffText(text, lines)) return 0;
  size_t total = 0;
  for (const std::string& line : lines) {
    // A line never carries its line end, and the lines come from the text.
    if (line.find('\n') != std::string::npos) std::abort();
    if (!line.empty() && line.back() == '\r') std::abort();
    total += line.size();
    // The folder rule only ever shortens a path to a prefix of itself.
    const std::string folder = ApplyDVDFolderRule(line);
    if (folder.size() > line.size() || line.compare(0, folder.size(), folder) != 0) std::abort();
  }
  if (total > size) std::abort();
  return 0;
}

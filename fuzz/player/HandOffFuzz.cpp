// The hand-off file reader: any bytes a second start (or anyone else) left
// in the program folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "player/core/HandOffFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> lines;
  if (!ParseHandOffText(text, lines)) return 0;
  size_t total = 0;
  for (const std::string& line : lines) {
    // A line never carries its line end, and the lines come from the text.
    if (line.find('\n') != std::string::npos) std::abort();
    total += line.size();
    // The folder rule only ever shortens a path to a prefix of itself.
    const std::string folder = ApplyDVDFolderRule(line);
    if (folder.size() > line.size() || line.compare(0, folder.size(), folder) != 0) std::abort();
  }
  if (total > size) std::abort();
  // Written back the way a second start writes them, the lines read the same
  // (unless the first one itself starts with a byte-order mark).
  if (lines.empty() || lines.front().compare(0, 3, "\xEF\xBB\xBF") != 0) {
    std::string again;
    for (const std::string& line : lines) again += line + "\r\n";
    std::vector<std::string> back;
    if (!ParseHandOffText(again, back) || back != lines) std::abort();
  }
  return 0;
}

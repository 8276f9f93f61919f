#include "platform/Diagnostics.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace plat {

bool DiagnosticsEnabled() {
  const char* v = std::getenv("LUMORA_LOG");
  return v && std::strcmp(v, "1") == 0;
}

void Diagnose(const std::string& who, const std::string& what) {
  if (!DiagnosticsEnabled()) return;
  // One write per line, so lines from engine threads do not interleave.
  const std::string line = "LumoraDVD: " + who + ": " + what + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace plat

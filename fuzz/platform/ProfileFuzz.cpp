// Profile reader: any text parses, lookups stay within the cap, and writing back an untouched
// model gives the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/Profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  plat::ProfileFile p;
  p.parse(text);
  if (p.text() != text) {
    // Only a missing final line end may be added on output, nothing else.
    plat::ProfileFile again;
    again.parse(p.text());
    if (again.text() != p.text()) abort();
  }
  for (const std::string& s : p.sectionNames()) {
    for (const auto& [k, v] : p.section(s)) {
      if (v.size() > 4 * plat::kProfileValueMax) abort();
      (void)p.get(s, k);
      (void)p.getInt(s, k, 0);
    }
  }
  const size_t half = size / 2;
  const std::string a = text.substr(0, half % 16), b = text.substr(half, 16);
  p.set(a, b, "v");
  p.remove(b, a);
  p.removeSection(a);
  (void)plat::ProfileTextToInt(text, 7);
  return 0;
}

// Feeds arbitrary text through the profile parser and every record reading a skin does.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/Profile.h"
#include "player/skin/SkinRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  plat::ProfileFile ini;
  ini.parse(std::string(reinterpret_cast<const char*>(data), size));
  const skin::ControlKind kinds[] = {
      skin::ControlKind::ImageButton,  skin::ControlKind::Image,
      skin::ControlKind::ProgressBar,  skin::ControlKind::DynamicImageButton,
      skin::ControlKind::DigitalImage, skin::ControlKind::PlayList};
  long sink = 0;
  for (const std::string& section : ini.sectionNames()) {
    for (const auto& [key, value] : ini.section(section)) {
      for (skin::ControlKind kind : kinds)
        sink += static_cast<int>(skin::ClassifyValue(value, kind));
      for (int n = 0; n <= 16; ++n) {
        std::string field = skin::RecordField(value, n);
        if (field.size() > value.size()) __builtin_trap();
        sink += skin::RecordNumber(field) & 1;
        sink += skin::RecordInt(value, n) & 1;
        sink += skin::RecordFlag(value, n);
      }
      sink += skin::ReadIniInteger(ini, section, key, -1) & 1;
      sink += static_cast<long>(skin::KindOfClass(key));
    }
  }
  return static_cast<int>(sink & 0);
}

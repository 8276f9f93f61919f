// The engine's own record of where playback stands: what a DVD bookmark saves and restores.
// libdvdnav has no state save, so the engine keeps these fields itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace navdisc {

struct NavdiscStateRecord {
  uint32_t title = 0;         // 1-based title number; 0 = not in a title
  uint32_t chapter = 0;       // 1-based chapter (part of title)
  uint32_t seconds = 0;       // whole seconds from the start of the title
  int32_t audio = -1;         // logical audio stream (0-based), -1 = the disc's choice
  int32_t subpicture = -1;    // logical sub-picture stream (0-based), -1 = the disc's choice
  uint32_t subpictureOn = 0;  // 1 when sub-pictures are shown
  uint32_t angle = 1;         // 1-based camera angle
};

// A bookmark stream holds a 16-byte class identifier followed by the record's persistent data:
// a format version and the seven fields, each a little-endian 32-bit value.
inline constexpr uint8_t kStateClassId[16] = {0x4e, 0x61, 0x76, 0x64, 0x69, 0x73, 0x63, 0x53,
                                              0x74, 0x61, 0x74, 0x65, 0x00, 0x00, 0x00, 0x01};
inline constexpr uint32_t kStateFormatVersion = 1;
inline constexpr size_t kStateStreamSize = 16 + 4 * 8;

inline std::vector<uint8_t> SerializeState(const NavdiscStateRecord& r) {
  std::vector<uint8_t> out(kStateClassId, kStateClassId + 16);
  const uint32_t v[8] = {kStateFormatVersion,
                         r.title,
                         r.chapter,
                         r.seconds,
                         static_cast<uint32_t>(r.audio),
                         static_cast<uint32_t>(r.subpicture),
                         r.subpictureOn,
                         r.angle};
  for (uint32_t x : v)
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(x >> (8 * i)));
  return out;
}

// False for a stream of another class, another version, or too short; r is then untouched.
inline bool DeserializeState(const uint8_t* data, size_t size, NavdiscStateRecord& r) {
  if (!data || size < kStateStreamSize || std::memcmp(data, kStateClassId, 16) != 0) return false;
  uint32_t v[8];
  for (int k = 0; k < 8; ++k) {
    const uint8_t* p = data + 16 + 4 * k;
    v[k] = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
  }
  if (v[0] != kStateFormatVersion || v[1] == 0) return false;
  r.title = v[1];
  r.chapter = v[2];
  r.seconds = v[3];
  r.audio = static_cast<int32_t>(v[4]);
  r.subpicture = static_cast<int32_t>(v[5]);
  r.subpictureOn = v[6] ? 1 : 0;
  r.angle = v[7] ? v[7] : 1;
  return true;
}

}  // namespace navdisc

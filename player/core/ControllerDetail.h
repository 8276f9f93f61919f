// Small pieces the controller shares with the windows' event handling.
#pragma once

#include <cstddef>
#include <cstdint>

class TFT_ProgressBar;

// GetDVDCurrentAttributes fills this many bytes.
constexpr size_t kDVDAttributesSize = 108;

inline uint32_t ReadLE32(const uint8_t* bytes, size_t offset) {
  return static_cast<uint32_t>(bytes[offset]) | (static_cast<uint32_t>(bytes[offset + 1]) << 8) |
         (static_cast<uint32_t>(bytes[offset + 2]) << 16) |
         (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

enum class BarKind { Position, Volume };

// Copies a bar's value onto its twin (control panel <-> control bar) without
// the twin reporting it back.
void MirrorBar(TFT_ProgressBar* bar, int32_t value, BarKind kind);

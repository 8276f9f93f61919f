#include "clipcore/ChannelTable.h"

#include <algorithm>

namespace clipcore {
namespace {

// Adds channels first..last with carriers spaced step kHz apart from base.
void AddRun(std::vector<Channel>& out, int first, int last, uint32_t baseKHz, uint32_t stepKHz) {
  for (int n = first; n <= last; ++n)
    out.push_back({n, baseKHz + static_cast<uint32_t>(n - first) * stepKHz});
}

}  // namespace

ChannelTable ChannelTable::PalBG() {
  ChannelTable t;
  t.name_ = "pal-bg";
  AddRun(t.channels_, 2, 4, 48250, 7000);     // E2..E4 (Band I)
  AddRun(t.channels_, 5, 12, 175250, 7000);   // E5..E12 (Band III)
  AddRun(t.channels_, 21, 69, 471250, 8000);  // 21..69 (UHF)
  return t;
}

ChannelTable ChannelTable::NtscCable() {
  ChannelTable t;
  t.name_ = "ntsc-cable";
  auto& c = t.channels_;
  c.push_back({1, 73250});
  AddRun(c, 2, 4, 55250, 6000);
  AddRun(c, 5, 6, 77250, 6000);
  AddRun(c, 7, 13, 175250, 6000);
  AddRun(c, 14, 22, 121250, 6000);
  AddRun(c, 23, 94, 217250, 6000);
  AddRun(c, 95, 99, 91250, 6000);
  AddRun(c, 100, 125, 649250, 6000);
  return t;
}

ChannelTable ChannelTable::Numbered(int first, int last) {
  ChannelTable t;
  t.name_ = "numbered";
  for (int n = first; n <= last; ++n) t.channels_.push_back({n, 0});
  return t;
}

std::optional<ChannelTable> ChannelTable::ByName(const std::string& name) {
  if (name == "pal-bg") return PalBG();
  if (name == "ntsc-cable") return NtscCable();
  return std::nullopt;
}

std::optional<uint32_t> ChannelTable::FrequencyKHz(int number) const {
  auto it = std::find_if(channels_.begin(), channels_.end(),
                         [number](const Channel& c) { return c.number == number; });
  if (it == channels_.end()) return std::nullopt;
  return it->kHz;
}

}  // namespace clipcore

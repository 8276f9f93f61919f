// Analogue TV channel plans: channel number to picture carrier frequency.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace clipcore {

struct Channel {
  int number = 0;
  uint32_t kHz = 0;  // picture carrier
};

class ChannelTable {
 public:
  // Western Europe, PAL B/G: E2..E12 in VHF, 21..69 in UHF.
  static ChannelTable PalBG();
  // North American cable: 1..125 (channel 1 is the 73.25 MHz slot).
  static ChannelTable NtscCable();
  // Numbers first..last without frequencies, for the simulated tuner.
  static ChannelTable Numbered(int first, int last);
  // "pal-bg", "ntsc-cable"; nullopt for an unknown name.
  static std::optional<ChannelTable> ByName(const std::string& name);

  const std::string& name() const { return name_; }
  const std::vector<Channel>& channels() const { return channels_; }
  std::optional<uint32_t> FrequencyKHz(int number) const;
  bool Contains(int number) const { return FrequencyKHz(number).has_value(); }

 private:
  std::string name_;
  std::vector<Channel> channels_;
};

}  // namespace clipcore

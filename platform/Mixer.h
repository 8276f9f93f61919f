// The sound card's line input level, which carries the TV tuner's sound.
#pragma once

#include <functional>

namespace plat {

// Sets the line-in volume of the first sound card, 0..65535 (clamped) over the element's range.
// Having no card or no line element is not an error: true, nothing set.
bool SetLineInVolume(int level0to65535);
// 0..65535, or -1 when there is no line-in element.
int GetLineInVolume();

// Tests: route both calls to these functions instead of ALSA; empty functions restore ALSA.
void SetMixerDouble(std::function<bool(int level)> set, std::function<int()> get);

}  // namespace plat

// Conversions from the player's sound and picture units to what libmpv and FFmpeg filters take.
#pragma once

#include <string>

namespace clipcore {

// Volume in hundredths of a decibel (-10000..0, 0 = full) to mpv's volume property, whose
// gain is (volume / 100)^3.
double VolumeToMpv(int centibels);
// Linear gain of one channel for a balance in hundredths of a decibel (-10000 left only ..
// 10000 right only): the opposite side is attenuated.
double BalanceGain(int balance, bool rightChannel);
// mpv audio filter chain for the balance; empty when both channels play at full level.
std::string BalanceFilter(int balance);

struct Picture {
  double brightness = 0.0;  // -255..255
  double contrast = 1.0;    // 0..10, 1 neutral
  double hue = 0.0;         // degrees, -180..180
  double saturation = 1.0;  // 0..10, 1 neutral
};
// Limits each value to its range; NaN counts as the neutral value.
Picture ClampPicture(const Picture& p);
// mpv video filter chain (FFmpeg eq and hue through lavfi); empty when the picture is neutral.
std::string PictureFilter(const Picture& p);

}  // namespace clipcore

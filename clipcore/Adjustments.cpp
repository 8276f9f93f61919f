#include "clipcore/Adjustments.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace clipcore {
namespace {

double Clamp(double v, double lo, double hi, double neutral) {
  if (std::isnan(v)) return neutral;
  return std::clamp(v, lo, hi);
}

std::string Number(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

}  // namespace

double VolumeToMpv(int centibels) {
  const int cb = std::clamp(centibels, -10000, 0);
  const double gain = std::pow(10.0, cb / 2000.0);
  return 100.0 * std::cbrt(gain);
}

double BalanceGain(int balance, bool rightChannel) {
  const int b = std::clamp(balance, -10000, 10000);
  // A positive balance favours the right channel, so the left one is attenuated, and vice versa.
  if (rightChannel ? b < 0 : b > 0) return std::pow(10.0, -std::abs(b) / 2000.0);
  return 1.0;
}

std::string BalanceFilter(int balance) {
  const double left = BalanceGain(balance, false);
  const double right = BalanceGain(balance, true);
  if (left == 1.0 && right == 1.0) return {};
  // aformat first so mono and multichannel sources reach pan as plain stereo.
  return "lavfi=[aformat=channel_layouts=stereo,pan=stereo|c0=" + Number(left) +
         "*c0|c1=" + Number(right) + "*c1]";
}

Picture ClampPicture(const Picture& p) {
  Picture r;
  r.brightness = Clamp(p.brightness, -255.0, 255.0, 0.0);
  r.contrast = Clamp(p.contrast, 0.0, 10.0, 1.0);
  r.hue = Clamp(p.hue, -180.0, 180.0, 0.0);
  r.saturation = Clamp(p.saturation, 0.0, 10.0, 1.0);
  return r;
}

std::string PictureFilter(const Picture& in) {
  const Picture p = ClampPicture(in);
  std::string chain;
  if (p.brightness != 0.0 || p.contrast != 1.0) {
    // eq takes brightness as -1..1 of the full range.
    chain = "eq=brightness=" + Number(p.brightness / 255.0) + ":contrast=" + Number(p.contrast);
  }
  if (p.hue != 0.0 || p.saturation != 1.0) {
    // hue's saturation goes to 10, eq's only to 3.
    if (!chain.empty()) chain += ",";
    chain += "hue=h=" + Number(p.hue) + ":s=" + Number(p.saturation);
  }
  if (chain.empty()) return {};
  return "lavfi=[" + chain + "]";
}

}  // namespace clipcore

// The test program defines the engines' picture, channel and placement exports itself, so the
// player's calls land here first; each is recorded and forwarded to the engine's own function.
#include "EngineSpy.h"

#include <dlfcn.h>

#include "player/core/EngineApi.h"

namespace spy {
namespace {
std::vector<Call>& CallLog() {
  static std::vector<Call> calls;
  return calls;
}
std::vector<Placement>& PlacementLog() {
  static std::vector<Placement> placements;
  return placements;
}
template <typename F>
F Next(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
}  // namespace

void Clear() {
  CallLog().clear();
  PlacementLog().clear();
}

std::vector<double> Values(const std::string& name) {
  std::vector<double> out;
  for (const Call& c : CallLog())
    if (c.name == name) out.push_back(c.value);
  return out;
}

const std::vector<Placement>& Placements() { return PlacementLog(); }

}  // namespace spy

#define LUMORA_SPY_DOUBLE(fn)                            \
  extern "C" bool fn(double value) {                     \
    spy::CallLog().push_back({#fn, value});              \
    static auto real = spy::Next<bool (*)(double)>(#fn); \
    return real && real(value);                          \
  }

LUMORA_SPY_DOUBLE(SetFileVideoBrightness)
LUMORA_SPY_DOUBLE(SetFileVideoContrast)
LUMORA_SPY_DOUBLE(SetFileVideoHue)
LUMORA_SPY_DOUBLE(SetFileVideoSaturation)
LUMORA_SPY_DOUBLE(SetDVDVideoBrightness)
LUMORA_SPY_DOUBLE(SetDVDVideoContrast)
LUMORA_SPY_DOUBLE(SetDVDVideoHue)
LUMORA_SPY_DOUBLE(SetDVDVideoSaturation)

extern "C" bool SetTVChannel(int32_t channel) {
  spy::CallLog().push_back({"SetTVChannel", static_cast<double>(channel)});
  static auto real = spy::Next<bool (*)(int32_t)>("SetTVChannel");
  return real && real(channel);
}

extern "C" bool PutOwner(HWND window, const LumoraRect* rect, bool keep) {
  spy::Placement p;
  if (rect) p.rect = *rect;
  p.keep = keep;
  spy::PlacementLog().push_back(p);
  static auto real = spy::Next<bool (*)(HWND, const LumoraRect*, bool)>("PutOwner");
  return real && real(window, rect, keep);
}

// Records what the player hands the two engines, then passes every call on to the real engine.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace spy {

struct Call {
  std::string name;
  double value = 0;
};
struct Placement {
  std::optional<LumoraRect> rect;
  bool keep = false;
};

void Clear();
// Values given to one exported function, oldest first.
std::vector<double> Values(const std::string& name);
// The media engine's picture placements, oldest first.
const std::vector<Placement>& Placements();

}  // namespace spy

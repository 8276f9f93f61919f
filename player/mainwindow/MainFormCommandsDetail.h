// Pieces of the main window's commands that tests reach directly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/DropFiles.h"

namespace commands {

// The key code the shortcut handlers take for a Qt key (13, 27, 32, 37-40), 0 for the rest.
int KeyCode(int qtKey);
// Arrow keys move DVD highlights again while held; the others act once per press.
bool RepeatsWhenHeld(int code);
// A dropped VIDEO_TS.IFO stands for the folder or disc that holds VIDEO_TS.
std::string DroppedPlayPath(const std::string& path);
// Keeps the dropped paths that can be opened; returns the message telling what was left out
// ("" when nothing was).
std::string CheckDroppedPaths(const plat::DroppedItems& items, std::vector<std::string>& out);

}  // namespace commands

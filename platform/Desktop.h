// What the desktop around the player offers.
#pragma once

namespace plat {

// True when a window manager runs on the X display (it iconifies, stacks and decorates
// windows); false on other platforms and on a bare X server.
bool HasWindowManager();
// Tests: pretend the answer; -1 asks the display again.
void SetWindowManagerDouble(int present);

}  // namespace plat

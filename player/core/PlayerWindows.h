// The player's windows as one set: made and freed by the program and by the tests alike.
#pragma once

class TFT_LumoraDVD_MainForm;

// Creates the windows in their fixed order: the main window with its control bar, the control
// panel, the shadow window, the side panel and the full-screen window. Each one sets its own
// global (FT_LumoraDVD_MainForm and its siblings). Returns the main window.
TFT_LumoraDVD_MainForm* CreatePlayerWindows();

// Frees them again, last made first; the globals are cleared by the windows themselves.
// Playback should be closed before.
void DestroyPlayerWindows();

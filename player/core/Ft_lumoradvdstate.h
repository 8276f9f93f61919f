// Playback state shared by every window of the player. One process-wide
// instance; only the user-interface thread reads or writes it.
#pragma once

#include <cstdint>
#include <string>

// The messages the main window handles are the engines' and the platform's own
// (WM_DVD_GRAPH_EVENT, WM_MEDIA_GRAPH_EVENT, WM_TV_SCAN_PROGRESS, WM_OPEN_OTHER_FILE,
// WM_DROPFILES); they are defined once, in these headers.
#include "clipcore/Clipcore.h"
#include "navdisc/Navdisc.h"
#include "platform/Types.h"

// Active source.
enum : int32_t { ptNone = 0, ptDVD = 1, ptFile = 3, ptPlayList = 4, ptTV = 5 };
// Transport state.
enum : int32_t { psIdle = 0, psPlaying = 1, psStopped = 2, psPaused = 4 };

constexpr int kPlaybackRateCount = 9;
constexpr int kNormalRateIndex = 2;

extern int32_t PlayType;
extern int32_t PlayState;
extern int32_t LastPlayState;

extern const std::string s_PlaybackRate[kPlaybackRateCount];
extern const double d_PlaybackRate[kPlaybackRateCount];
extern int32_t i_CurrentPlaybackRateIndex;

extern int32_t l_CurrentVolume;   // 0..100
extern int32_t l_CurrentBalance;  // -50..50

// Picture adjustments in tenths of the engines' unit. The spelling of the
// brightness name is the established exported name.
extern int32_t l_Bringhtness;
extern int32_t l_Contrast;
extern int32_t l_Hue;
extern int32_t l_Saturation;

extern int32_t MyAspectRatioState;  // 0 keep, 1 fill, 2 native, 3 custom
extern double d_AspectRatio;
extern double AspectW;
extern double AspectH;

extern bool b_CurrentPlaySupportSeek;
extern bool b_NoVideo;

extern HWND h_CurrentPreviewWindow;

extern std::string CurrentSkinPath;
extern std::string CurrentPlayPath;
extern std::string CurrentSnapshotPath;

class TFT_LumoraDVD_MainForm;
class TFT_LumoraDVD_OperationForm;
class TFT_LumoraDVD_ShadowForm;
class TFT_LumoraDVD_SubForm;
class TFT_LumoraDVD_FullScreenForm;
class TFT_LumoraDVD_ControlFrame;
class TFT_LumoraDVD_SetupForm;

extern TFT_LumoraDVD_MainForm* FT_LumoraDVD_MainForm;
extern TFT_LumoraDVD_OperationForm* FT_LumoraDVD_OperationForm;
extern TFT_LumoraDVD_ShadowForm* FT_LumoraDVD_ShadowForm;
extern TFT_LumoraDVD_SubForm* FT_LumoraDVD_SubForm;
extern TFT_LumoraDVD_FullScreenForm* FT_LumoraDVD_FullScreenForm;
extern TFT_LumoraDVD_ControlFrame* FT_LumoraDVD_ControlFrame;
extern TFT_LumoraDVD_SetupForm* FT_LumoraDVD_SetupForm;

// clamp(v, lo, hi): lo when hi < lo, otherwise v limited to lo..hi.
template <typename T>
constexpr T ClampValue(T v, T lo, T hi) {
  if (hi < lo) return lo;
  return v < lo ? lo : (v > hi ? hi : v);
}

// The two engines' exported functions, as the player calls them by name.
#pragma once

#include "platform/Types.h"

#if __has_include("navdisc/Navdisc.h")
#include "navdisc/Navdisc.h"
#else
// The DVD engine's header arrives with the engine; these are its exports.
#include <stdint.h>

#include "navdisc/DvdInterfaces.h"
extern "C" {
typedef void (*NavdiscEventCallback)(int32_t code, int32_t p1, int32_t p2);
bool InitialDVDGraph(HWND notifyWindow);
void DestroyDVDGraph(void);
bool RenderDVDPath(const char* path);
bool PlayDVD(void);
bool PauseDVD(void);
bool StepDVD(bool forward);
bool StopDVD(void);
bool PutDVDPlaybackRatio(double rate);
bool PutDVDOwner(HWND window, const LumoraRect* rect, bool keepProportions);
bool SetDVDPositions(double seconds);
bool SetDVDProgress(int32_t percent);
bool GetDVDEvent(NavdiscEventCallback callback);
bool JumpDVDChapter(uint32_t chapter);
bool GetDVDCurrentAttributes(uint8_t* buffer);
navdisc::IDvdInfo2* GetIDvdInfo2(void);
navdisc::IDvdControl2* GetIDvdControl2(void);
bool JumpDVDMenu(int32_t menu);
bool JumpDVDTitle(uint32_t title);
bool SelectDVDAngle(uint32_t angle);
bool SnapshootDVDToFile(const char* path);
bool SetDVDVolumeAndBalance(int32_t volume, int32_t balance);
bool SetDVDVideoBrightness(double value);
bool SetDVDVideoContrast(double value);
bool SetDVDVideoHue(double value);
bool SetDVDVideoSaturation(double value);
}
#endif

#include "clipcore/Clipcore.h"

#if __has_include("platform/Mixer.h")
#include "platform/Mixer.h"
#else
namespace plat {
bool SetLineInVolume(int level0to65535);
int GetLineInVolume();
}  // namespace plat
#endif

// The two engines' exported functions, as the player calls them by name.
#pragma once

#include <type_traits>

#include "clipcore/Clipcore.h"
#include "navdisc/Navdisc.h"
#include "platform/Mixer.h"
#include "platform/Types.h"

// The signatures the player is written against. The engines' headers are the only declarations;
// these checks make a change on the engine's side fail to compile here instead of misbehaving.
#define LUMORA_ENGINE_EXPORT(name, ...)                        \
  static_assert(std::is_same_v<decltype(::name), __VA_ARGS__>, \
                #name ": the engine's export no longer has the signature the player calls")

LUMORA_ENGINE_EXPORT(InitialDVDGraph, bool(HWND));
LUMORA_ENGINE_EXPORT(DestroyDVDGraph, void());
LUMORA_ENGINE_EXPORT(RenderDVDPath, bool(const char*));
LUMORA_ENGINE_EXPORT(PlayDVD, bool());
LUMORA_ENGINE_EXPORT(PauseDVD, bool());
LUMORA_ENGINE_EXPORT(StepDVD, bool(bool));
LUMORA_ENGINE_EXPORT(StopDVD, bool());
LUMORA_ENGINE_EXPORT(PutDVDPlaybackRatio, bool(double));
LUMORA_ENGINE_EXPORT(PutDVDOwner, bool(HWND, const LumoraRect*, bool));
LUMORA_ENGINE_EXPORT(SetDVDPositions, bool(double));
LUMORA_ENGINE_EXPORT(SetDVDProgress, bool(int32_t));
LUMORA_ENGINE_EXPORT(HandleMouseEvent, bool(int32_t, int32_t, bool));
LUMORA_ENGINE_EXPORT(GetDVDEvent, bool(void (*)(int32_t, int32_t, int32_t)));
LUMORA_ENGINE_EXPORT(JumpDVDMenu, bool(int32_t));
LUMORA_ENGINE_EXPORT(JumpDVDChapter, bool(uint32_t));
LUMORA_ENGINE_EXPORT(JumpDVDTitle, bool(uint32_t));
LUMORA_ENGINE_EXPORT(SelectDVDAngle, bool(uint32_t));
LUMORA_ENGINE_EXPORT(DVDBookmark, bool(const char*, const char*, bool));
LUMORA_ENGINE_EXPORT(GetDVDCurrentAttributes, bool(void*));
LUMORA_ENGINE_EXPORT(GetIDvdInfo2, navdisc::IDvdInfo2*());
LUMORA_ENGINE_EXPORT(GetIDvdControl2, navdisc::IDvdControl2*());
LUMORA_ENGINE_EXPORT(SelectRelativeButton, bool(int32_t));
LUMORA_ENGINE_EXPORT(SnapshootDVDToFile, bool(const char*));
LUMORA_ENGINE_EXPORT(SetDVDVolumeAndBalance, bool(int32_t, int32_t));
LUMORA_ENGINE_EXPORT(SetDVDVideoBrightness, bool(double));
LUMORA_ENGINE_EXPORT(SetDVDVideoContrast, bool(double));
LUMORA_ENGINE_EXPORT(SetDVDVideoHue, bool(double));
LUMORA_ENGINE_EXPORT(SetDVDVideoSaturation, bool(double));

LUMORA_ENGINE_EXPORT(InitialGraph, bool(HWND));
LUMORA_ENGINE_EXPORT(RenderFile, bool(const char*));
LUMORA_ENGINE_EXPORT(RenderTV, bool());
LUMORA_ENGINE_EXPORT(PlayFile, bool(double));
LUMORA_ENGINE_EXPORT(PauseFile, bool());
LUMORA_ENGINE_EXPORT(StopFile, void());
LUMORA_ENGINE_EXPORT(StepFile, bool(int32_t));
LUMORA_ENGINE_EXPORT(SetPositions, bool(double));
LUMORA_ENGINE_EXPORT(GetPlayInfo, bool(double*, double*, int32_t*));
LUMORA_ENGINE_EXPORT(GetFileInfo, bool(int32_t*, int32_t*, bool*));
LUMORA_ENGINE_EXPORT(PutFilePlaybackRatio, double(double));
LUMORA_ENGINE_EXPORT(PutOwner, bool(HWND, const LumoraRect*, bool));
LUMORA_ENGINE_EXPORT(SetFileVolumeAndBalance, bool(int32_t, int32_t));
LUMORA_ENGINE_EXPORT(SetFileVideoBrightness, bool(double));
LUMORA_ENGINE_EXPORT(SetFileVideoContrast, bool(double));
LUMORA_ENGINE_EXPORT(SetFileVideoHue, bool(double));
LUMORA_ENGINE_EXPORT(SetFileVideoSaturation, bool(double));
LUMORA_ENGINE_EXPORT(SnapshootToFile, bool(const char*));
LUMORA_ENGINE_EXPORT(GetGraphEvent, bool(void (*)(int32_t, int32_t, int32_t)));
LUMORA_ENGINE_EXPORT(ScanChannel, bool(bool));
LUMORA_ENGINE_EXPORT(SetTVChannel, bool(int32_t));
LUMORA_ENGINE_EXPORT(DestroyGraph, void());

#undef LUMORA_ENGINE_EXPORT

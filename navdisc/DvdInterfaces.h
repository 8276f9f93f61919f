// The engine's DVD and graph interfaces: plain abstract classes with HRESULT-like results
// (negative fails, 0 success, positive success with a warning). Objects are owned by the
// engine; callers never delete what they are lent.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "navdisc/DvdTypes.h"
#include "navdisc/EngineState.h"
#include "platform/Types.h"

namespace navdisc {

// A navigation command in flight; the menu commands wait for theirs to end.
class IDvdCmd {
 public:
  virtual ~IDvdCmd() = default;
  virtual HRESULT WaitForEnd() = 0;
};

// The navigator's saved state (what a bookmark stores).
class IDvdState {
 public:
  virtual ~IDvdState() = default;
  virtual const NavdiscStateRecord& Record() const = 0;
  // Persistent form: class identifier then data.
  virtual std::vector<uint8_t> Save() const = 0;
};

class IDvdInfo2 {
 public:
  virtual ~IDvdInfo2() = default;
  virtual HRESULT GetCurrentDomain(DVD_DOMAIN* domain) = 0;
  virtual HRESULT GetCurrentLocation(DVD_PLAYBACK_LOCATION2* loc) = 0;
  virtual HRESULT GetTotalTitleTime(DVD_HMSF_TIMECODE* time, uint32_t* flags) = 0;
  virtual HRESULT GetCurrentButton(uint32_t* available, uint32_t* current) = 0;
  virtual HRESULT GetCurrentAudio(uint32_t* available, uint32_t* current) = 0;
  virtual HRESULT GetCurrentSubpicture(uint32_t* available, uint32_t* current,
                                       int32_t* isDisabled) = 0;
  virtual HRESULT GetCurrentAngle(uint32_t* available, uint32_t* current) = 0;
  virtual HRESULT GetAudioLanguage(uint32_t stream, uint32_t* lcid) = 0;
  virtual HRESULT GetSubpictureLanguage(uint32_t stream, uint32_t* lcid) = 0;
  virtual HRESULT GetDVDVolumeInfo(uint32_t* numVolumes, uint32_t* volume, DVD_DISC_SIDE* side,
                                   uint32_t* numTitles) = 0;
  virtual HRESULT GetNumberOfChapters(uint32_t title, uint32_t* chapters) = 0;
  virtual HRESULT GetCurrentVideoAttributes(DVD_VideoAttributes* attr) = 0;
  virtual HRESULT GetAudioAttributes(uint32_t stream, DVD_AudioAttributes* attr) = 0;
  virtual HRESULT GetSubpictureAttributes(uint32_t stream, DVD_SubpictureAttributes* attr) = 0;
  // pt in picture coordinates of the current video (720 x 576 or 480).
  virtual HRESULT GetButtonAtPosition(POINT pt, uint32_t* button) = 0;
  virtual HRESULT GetState(std::shared_ptr<IDvdState>* state) = 0;
};

class IDvdControl2 {
 public:
  virtual ~IDvdControl2() = default;
  virtual HRESULT SetOption(DVD_OPTION_FLAG flag, bool value) = 0;
  virtual HRESULT PlayForwards(double speed, uint32_t flags, IDvdCmd** cmd) = 0;
  virtual HRESULT PlayBackwards(double speed, uint32_t flags, IDvdCmd** cmd) = 0;
  virtual HRESULT PlayAtTime(const DVD_HMSF_TIMECODE* time, uint32_t flags, IDvdCmd** cmd) = 0;
  virtual HRESULT PlayTitle(uint32_t title, uint32_t flags, IDvdCmd** cmd) = 0;
  virtual HRESULT PlayChapter(uint32_t chapter, uint32_t flags, IDvdCmd** cmd) = 0;
  virtual HRESULT PlayChapterInTitle(uint32_t title, uint32_t chapter, uint32_t flags,
                                     IDvdCmd** cmd) = 0;
  virtual HRESULT ShowMenu(DVD_MENU_ID menu, uint32_t flags, IDvdCmd** cmd) = 0;
  virtual HRESULT Resume(uint32_t flags, IDvdCmd** cmd) = 0;
  virtual HRESULT SelectRelativeButton(DVD_RELATIVE_BUTTON dir) = 0;
  virtual HRESULT ActivateButton() = 0;
  virtual HRESULT SelectAtPosition(POINT pt) = 0;
  virtual HRESULT ActivateAtPosition(POINT pt) = 0;
  virtual HRESULT SelectAngle(uint32_t angle, uint32_t flags, IDvdCmd** cmd) = 0;
  virtual HRESULT SelectAudioStream(uint32_t stream, uint32_t flags, IDvdCmd** cmd) = 0;
  virtual HRESULT SelectSubpictureStream(uint32_t stream, uint32_t flags, IDvdCmd** cmd) = 0;
  virtual HRESULT SetSubpictureState(bool on, uint32_t flags, IDvdCmd** cmd) = 0;
  virtual HRESULT SetState(IDvdState* state, uint32_t flags, IDvdCmd** cmd) = 0;
};

class IMediaControl {
 public:
  virtual ~IMediaControl() = default;
  virtual HRESULT Run() = 0;
  virtual HRESULT Pause() = 0;
  virtual HRESULT Stop() = 0;
};

class IMediaEventEx {
 public:
  virtual ~IMediaEventEx() = default;
  virtual HRESULT GetEvent(int32_t* code, intptr_t* p1, intptr_t* p2, int32_t timeoutMs) = 0;
  virtual HRESULT FreeEventParams(int32_t code, intptr_t p1, intptr_t p2) = 0;
  virtual HRESULT SetNotifyWindow(HWND window, unsigned msg, intptr_t instance) = 0;
};

class IVideoWindow {
 public:
  virtual ~IVideoWindow() = default;
  virtual HRESULT put_Visible(bool visible) = 0;
  virtual HRESULT put_Owner(HWND owner) = 0;
  virtual HRESULT put_WindowStyle(long style) = 0;
  virtual HRESULT put_MessageDrain(HWND drain) = 0;
  virtual HRESULT SetWindowPosition(int32_t left, int32_t top, int32_t width, int32_t height) = 0;
};
inline constexpr long WS_CHILD = 0x40000000L;
inline constexpr long WS_CLIPSIBLINGS = 0x04000000L;

class IBasicAudio {
 public:
  virtual ~IBasicAudio() = default;
  virtual HRESULT put_Volume(long volume) = 0;    // hundredths of a decibel, -10000..0
  virtual HRESULT put_Balance(long balance) = 0;  // -10000 (left only) .. 10000 (right only)
  virtual HRESULT get_Volume(long* volume) = 0;
  virtual HRESULT get_Balance(long* balance) = 0;
};

class IVideoFrameStep {
 public:
  virtual ~IVideoFrameStep() = default;
  virtual HRESULT CanStep(long multiple, void* filter) = 0;
  virtual HRESULT Step(uint32_t frames, void* filter) = 0;
};

class IAMLine21Decoder {
 public:
  virtual ~IAMLine21Decoder() = default;
  virtual HRESULT GetServiceState(AM_LINE21_CCSTATE* state) = 0;
  virtual HRESULT SetServiceState(AM_LINE21_CCSTATE state) = 0;
};

}  // namespace navdisc

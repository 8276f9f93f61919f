// DVDGraphGroup: one DVD graph with its interfaces and the engine's own state. One exists at
// a time, held by the exported functions.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "navdisc/DiscValidator.h"
#include "navdisc/DvdInterfaces.h"
#include "navdisc/Navdisc.h"

namespace navdisc {

namespace graph {
class DvdGraphBuilder;
class FilterGraph;
class Filter;
class VideoRenderer;
class IVideoDecoderControl;
class IAudioDecoderControl;
}  // namespace graph

enum GraphState : int32_t {
  gsUnusable = 3,
  gsStopPaused = 4,
  gsStopped = 5,
  gsPlaying = 7,
  gsPaused = 9,
  gsScanning = 10,
};

// Texts of the box shown when the audio decoder cannot be created.
inline constexpr const char* kAudioDecErrorText = "Create AudioDecFilter error";
inline constexpr const char* kAudioDecErrorCaption =
    "hr = CoCreateInstance(  Guid_IAudioDecFilter,NULL,CLSCTX_INPROC_SERVER,IID_IBaseFilter,"
    "reinterpret_cast<void**>(&AudioDecFilter))";
// Texts of the box shown when a disc has no first-play program.
inline constexpr const char* kNoFirstPlayText = "EC_DVD_NO_FP_PGC->hr = m_pIDvdC2->PlayTitle";
inline constexpr const char* kNoFirstPlayCaption = "Tips";

class DVDGraphGroup {
 public:
  DVDGraphGroup();
  virtual ~DVDGraphGroup();
  DVDGraphGroup(const DVDGraphGroup&) = delete;
  DVDGraphGroup& operator=(const DVDGraphGroup&) = delete;

  virtual bool Stop();
  virtual bool Pause();
  virtual bool Play();

  bool Initial(HWND notify);
  bool Render(const char* path);
  bool PutOwner(HWND window, const LumoraRect* rect, bool keepProportions);
  bool Step(bool forward);
  bool PutRate(double rate);
  bool SetPositions(double seconds);
  bool SetProgress(int32_t percent);
  bool MouseEvent(int32_t x, int32_t y, bool click);
  // Drains the event queue; false without a graph. Survives the group being destroyed from
  // inside the callback.
  static bool PumpEvents(NavdiscEventCallback callback);
  bool JumpMenu(int32_t menu);
  bool JumpChapter(uint32_t chapter);
  bool JumpTitle(uint32_t title);
  bool SelectAngle(uint32_t angle);
  bool Bookmark(const char* file, const char* stream, bool save);
  bool CurrentAttributes(void* buffer108);
  bool RelativeButton(int32_t direction);
  bool Snapshot(const char* path);
  bool VolumeAndBalance(int32_t volume, int32_t balance);
  bool Picture(int which, double value);  // 0 brightness, 1 contrast, 2 hue, 3 saturation

  graph::FilterGraph* Graph() const { return graph; }
  graph::VideoRenderer* Renderer() const;
  // Rendered and not being torn down.
  bool Usable() const { return state >= gsStopPaused; }
  // From here on every call refuses; the group is being torn down.
  void MarkUnusable() { state = gsUnusable; }

  int32_t State() const { return state; }
  int32_t TitleLength() const { return titleLength; }
  bool InMenu() const { return inMenu; }
  HWND OwnerWindow() const { return ownerWindow; }
  IDvdInfo2* DvdInfo() const { return dvdInfo; }
  IDvdControl2* DvdControl() const { return dvdControl; }
  IMediaEventEx* Events() const { return events; }
  IAMLine21Decoder* Line21Decoder() const { return line21Decoder; }
  graph::IAudioDecoderControl* AudioDecoderControl() const { return audioDecoderControl; }
  graph::IVideoDecoderControl* VideoDecoderControl() const { return videoDecoderControl; }

 private:
  HRESULT ReplaceDecoders();
  uint32_t TitleSeconds();

  // Fields, in the order the engine has always kept them.
  int32_t state = 0;  // no state until a render succeeds
  int32_t titleLength = 0;
  IDvdInfo2* dvdInfo = nullptr;
  IDvdControl2* dvdControl = nullptr;
  HWND ownerWindow = 0;
  NavdiscEventCallback eventCallback = nullptr;
  bool inMenu = false;
  std::unique_ptr<graph::DvdGraphBuilder> graphBuilder;
  graph::FilterGraph* graph = nullptr;
  IMediaEventEx* events = nullptr;
  IMediaControl* mediaControl = nullptr;
  IVideoWindow* videoWindow = nullptr;
  IAMLine21Decoder* line21Decoder = nullptr;
  IVideoFrameStep* frameStep = nullptr;
  std::shared_ptr<graph::Filter> videoDecoder;
  std::shared_ptr<graph::Filter> audioDecoder;
  IBasicAudio* basicAudio = nullptr;
  graph::IAudioDecoderControl* audioDecoderControl = nullptr;
  graph::IVideoDecoderControl* videoDecoderControl = nullptr;
  HWND notifyWindow = 0;
  DiscLimits limits;  // what of the disc may be played
};

// The module's one graph (null when none); the exported functions check it first.
DVDGraphGroup* CurrentGroup();
// Bumped whenever the group is destroyed; lets a running pump notice.
uint64_t GroupGeneration();

}  // namespace navdisc

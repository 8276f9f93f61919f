// Video surfaces: a child widget of a registered window that shows the engines' frames.
#pragma once

#include <QImage>
#include <memory>

#include "platform/Types.h"

namespace plat {

class VideoSurface;

// Thread-safe; engines present frames from any thread.
class VideoSink {
 public:
  virtual ~VideoSink() = default;
  // displayAspect: width/height of the picture as displayed; <= 0 uses the frame's size.
  virtual void Present(const QImage& frame, double displayAspect) = 0;
  virtual QImage LastFrame() const = 0;
  virtual uint64_t FrameCount() const = 0;
};

// UI thread; creates the surface child widget if missing; null if the handle is unknown.
std::shared_ptr<VideoSink> AcquireVideoSink(HWND window);
// UI thread; rect null = whole window.
bool SetVideoPlacement(HWND window, const LumoraRect* rect, bool keepProportions);
// UI thread; the placement last set (hasRect false: the whole window); false if unknown.
bool GetVideoPlacement(HWND window, bool& hasRect, LumoraRect& rect, bool& keepProportions);
// UI thread; the surface shows black.
void ReleaseVideoSink(HWND window);
// Paints so far that showed a frame, and that picture at the size it was painted
// (for tests and benchmarks).
uint64_t PresentedFrameCount(HWND window);
QImage PresentedFrame(HWND window);

// Where a picture of the given aspect lands inside rect when kept in proportion.
LumoraRect LetterboxRect(const LumoraRect& rect, double aspect);

}  // namespace plat

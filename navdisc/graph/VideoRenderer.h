// Video renderer: paces composed pictures by the graph clock into the owner window's
// video surface, and reports the playing time of what it shows.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "navdisc/DvdInterfaces.h"
#include "navdisc/graph/Filter.h"
#include "navdisc/graph/QueuedWorker.h"
#include "navdisc/graph/Samples.h"
#include "platform/VideoSurface.h"

namespace navdisc::graph {

inline const ClassId kVideoRendererClsid = "{6BC1CFFA-8FC1-4261-AC22-CFB4CC38DB50}";

class VideoRenderer final : public Filter,
                            public IVideoWindow,
                            public IVideoFrameStep,
                            QueuedWorker<VideoFrame> {
 public:
  VideoRenderer();
  ~VideoRenderer() override;

  void Receive(Pin* in, Sample&& s) override;
  void BeginFlush() override;
  HRESULT Run() override;
  HRESULT Pause() override;
  HRESULT Stop() override;
  void* QueryInterface(const std::string& iid) override;
  void Removed() override;

  // IVideoWindow (UI thread)
  HRESULT put_Visible(bool visible) override;
  HRESULT put_Owner(HWND owner) override;
  HRESULT put_WindowStyle(long style) override;
  HRESULT put_MessageDrain(HWND drain) override;
  HRESULT SetWindowPosition(int32_t left, int32_t top, int32_t width, int32_t height) override;
  void SetKeepProportions(bool keep) { keep_ = keep; }

  // IVideoFrameStep
  HRESULT CanStep(long multiple, void* filter) override;
  HRESULT Step(uint32_t frames, void* filter) override;

  // Owner-window point -> picture coordinates of the last shown frame; false outside it.
  bool MapToPicture(int32_t x, int32_t y, int32_t& px, int32_t& py) const;
  VideoFrame LastShown() const;
  uint64_t ShownCount() const;
  size_t Queued() const;
  // True once everything delivered has been shown (or dropped).
  using QueuedWorker::Drained;
  uint64_t Dropped() const { return dropped_; }

 private:
  bool Due(Lock& lock, const Item& f) override;
  bool Emptied(Lock& lock) override;
  void Present(const VideoFrame& f) override;

  bool prerolled_ = false;
  uint32_t stepsPending_ = 0;
  bool releaseWhenDrained_ = false;  // an end of stream came: post what waits once empty

  std::shared_ptr<plat::VideoSink> sink_;
  HWND owner_ = 0;
  bool visible_ = false;
  LumoraRect rect_{0, 0, 0, 0};
  bool haveRect_ = false;
  bool keep_ = true;

  mutable std::mutex shownMu_;
  VideoFrame last_;
  uint64_t shown_ = 0;
  std::atomic<int64_t> lastSecond_{-1};
  std::atomic<uint64_t> dropped_{0};
};

}  // namespace navdisc::graph

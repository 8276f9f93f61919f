// Renders libmpv's picture into QImages on its own thread and hands them to a video sink.
#pragma once

#include <QImage>
#include <QSize>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/VideoSurface.h"

struct mpv_render_context;

namespace clipcore {

class FrameRenderer {
 public:
  // Takes over the context's update callback; the context must outlive this object.
  explicit FrameRenderer(mpv_render_context* context);
  ~FrameRenderer();

  // Any thread. A null sink or an empty size stops presenting; a change redraws at once.
  void SetTarget(std::shared_ptr<plat::VideoSink> sink, QSize size);
  uint64_t FramesRendered() const { return rendered_; }

 private:
  static void OnUpdate(void* self);
  void Run();
  QImage* NextBuffer(QSize size);
  static constexpr size_t kPoolSize = 4;

  mpv_render_context* context_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool update_ = false;
  bool redraw_ = false;
  bool stop_ = false;
  std::shared_ptr<plat::VideoSink> sink_;
  QSize size_;
  std::vector<QImage> pool_;  // render thread only
  QImage spare_;
  std::atomic<uint64_t> rendered_{0};
  std::thread thread_;
};

}  // namespace clipcore

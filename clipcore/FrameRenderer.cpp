#include "clipcore/FrameRenderer.h"

#include <mpv/render.h>

#include <algorithm>
#include <cstdlib>

namespace clipcore {
namespace {

void FreeAligned(void* p) { std::free(p); }

// mpv's software renderer is fastest with 64-byte aligned rows.
QImage AlignedImage(QSize size) {
  const size_t stride = (size_t(size.width()) * 4 + 63) & ~size_t(63);
  void* data = std::aligned_alloc(64, stride * size_t(size.height()));
  if (!data) return {};
  return QImage(static_cast<uchar*>(data), size.width(), size.height(), qsizetype(stride),
                QImage::Format_RGB32, FreeAligned, data);
}

}  // namespace

FrameRenderer::FrameRenderer(mpv_render_context* context) : context_(context) {
  thread_ = std::thread([this] { Run(); });
  mpv_render_context_set_update_callback(context_, &FrameRenderer::OnUpdate, this);
}

FrameRenderer::~FrameRenderer() {
  mpv_render_context_set_update_callback(context_, nullptr, nullptr);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void FrameRenderer::SetTarget(std::shared_ptr<plat::VideoSink> sink, QSize size) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (sink_ == sink && size_ == size) return;
    sink_ = std::move(sink);
    size_ = size;
    redraw_ = true;
  }
  wake_.notify_all();
}

void FrameRenderer::OnUpdate(void* self) {
  // Called on an mpv thread: only wake the render thread.
  auto* r = static_cast<FrameRenderer*>(self);
  {
    std::lock_guard<std::mutex> lock(r->mutex_);
    r->update_ = true;
  }
  r->wake_.notify_all();
}

QImage* FrameRenderer::NextBuffer(QSize size) {
  // Reuse a buffer the sink has let go of (only the pool still refers to it), so frames do not
  // cost an allocation each and bits() does not detach.
  for (QImage& img : pool_) {
    if (img.size() == size && img.isDetached()) return &img;
  }
  pool_.erase(std::remove_if(pool_.begin(), pool_.end(),
                             [size](const QImage& i) { return i.size() != size; }),
              pool_.end());
  QImage img = AlignedImage(size);
  if (img.isNull()) return nullptr;
  if (pool_.size() < kPoolSize) {
    pool_.push_back(std::move(img));
    return &pool_.back();
  }
  spare_ = std::move(img);
  return &spare_;
}

void FrameRenderer::Run() {
  for (;;) {
    std::shared_ptr<plat::VideoSink> sink;
    QSize size;
    bool redraw = false;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return stop_ || update_ || redraw_; });
      if (stop_) return;
      update_ = false;
      redraw = redraw_;
      redraw_ = false;
      sink = sink_;
      size = size_;
    }
    const uint64_t flags = mpv_render_context_update(context_);
    if (!(flags & MPV_RENDER_UPDATE_FRAME) && !redraw) continue;
    if (!sink || size.width() < 1 || size.height() < 1) {
      // Nothing to show it on; mpv still expects the frame to be consumed.
      if (flags & MPV_RENDER_UPDATE_FRAME) {
        QImage* scratch = NextBuffer(QSize(16, 16));
        if (!scratch) continue;
        int sz[2] = {16, 16};
        size_t stride = size_t(scratch->bytesPerLine());
        char format[] = "bgr0";
        mpv_render_param params[] = {{MPV_RENDER_PARAM_SW_SIZE, sz},
                                     {MPV_RENDER_PARAM_SW_FORMAT, format},
                                     {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                                     {MPV_RENDER_PARAM_SW_POINTER, scratch->bits()},
                                     {MPV_RENDER_PARAM_INVALID, nullptr}};
        mpv_render_context_render(context_, params);
      }
      continue;
    }
    QImage* frame = NextBuffer(size);
    if (!frame) continue;
    int sz[2] = {size.width(), size.height()};
    size_t stride = size_t(frame->bytesPerLine());
    char format[] = "bgr0";
    mpv_render_param params[] = {{MPV_RENDER_PARAM_SW_SIZE, sz},
                                 {MPV_RENDER_PARAM_SW_FORMAT, format},
                                 {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                                 {MPV_RENDER_PARAM_SW_POINTER, frame->bits()},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    if (mpv_render_context_render(context_, params) < 0) continue;
    mpv_render_context_report_swap(context_);
    ++rendered_;
    sink->Present(*frame, 0.0);
  }
}

}  // namespace clipcore

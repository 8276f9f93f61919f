#include "navdisc/graph/VideoRenderer.h"

#include <QWidget>

#include "navdisc/graph/FilterGraph.h"
#include "platform/Window.h"

namespace navdisc::graph {
namespace {
// About a second of pictures. A disc carries its video well ahead of the sub-pictures and
// sound of the same moment; with a shorter queue the reader would not yet have reached a
// sub-picture when the first picture of its time is due.
constexpr size_t kMaxQueued = 32;
}  // namespace

VideoRenderer::VideoRenderer() : Filter(kVideoRendererClsid) {
  AddPin("VMR Input0", PinDir::Input, {{Major::Video, Subtype::RGB32}});
  StartWorker();
}

VideoRenderer::~VideoRenderer() { StopWorker(); }

void VideoRenderer::Removed() {
  std::lock_guard lock(mu_);
  stopped_ = true;
  ClearQueue();
}

void VideoRenderer::Receive(Pin*, Sample&& s) {
  std::unique_lock lock(mu_);
  switch (s.kind) {
    case Sample::Kind::Flush:
      flushing_ = false;
      prerolled_ = false;
      lastSecond_ = -1;  // the player hears the new place with its first picture
      ClearQueue();
      return;
    case Sample::Kind::EndOfStream:
      // Events of pictures that never come are posted once the last one has been shown.
      releaseWhenDrained_ = true;
      cv_.notify_all();
      return;
    case Sample::Kind::Control:
      return;
    case Sample::Kind::Data:
      break;
  }
  if (s.controlType != kCtlVideoFrame || !s.control) return;
  auto f = std::static_pointer_cast<const VideoFrame>(s.control);
  if (f->immediate) {
    // A redraw goes after what waits: those pictures were composed with the old highlight, and
    // a still menu sends nothing after them. An older redraw still waiting is replaced.
    if (flushing_) return;
    if (!q_.empty() && q_.back()->immediate)
      q_.back() = std::move(f);
    else
      q_.push_back(std::move(f));
    cv_.notify_all();
    return;
  }
  Enqueue(lock, std::move(f), [&] { return q_.size() < kMaxQueued; });
}

void VideoRenderer::BeginFlush() {
  std::lock_guard lock(mu_);
  flushing_ = true;
  ClearQueue();
  if (FilterGraph* g = Graph()) g->Clock().Kick();
}

HRESULT VideoRenderer::Run() {
  std::lock_guard lock(mu_);
  stopped_ = false;
  cv_.notify_all();
  return S_OK;
}

HRESULT VideoRenderer::Pause() {
  std::lock_guard lock(mu_);
  stopped_ = false;
  cv_.notify_all();
  return S_OK;
}

HRESULT VideoRenderer::Stop() {
  if (FilterGraph* g = Graph()) g->ReleasePictureEvents();
  std::lock_guard lock(mu_);
  stopped_ = true;
  prerolled_ = false;
  stepsPending_ = 0;
  ClearQueue();
  return S_OK;
}

void* VideoRenderer::QueryInterface(const std::string& iid) {
  if (iid == "IVideoWindow") return static_cast<IVideoWindow*>(this);
  if (iid == "IVideoFrameStep") return static_cast<IVideoFrameStep*>(this);
  return nullptr;
}

void VideoRenderer::Present(const VideoFrame& frame) {
  VideoFrame f = frame;
  if (f.overlay) {
    f.image = f.overlay->Compose(f.image, f.time);
    f.overlay.reset();
  }
  std::shared_ptr<plat::VideoSink> sink;
  {
    std::lock_guard lock(shownMu_);
    last_ = f;
    ++shown_;
    sink = visible_ ? sink_ : nullptr;
  }
  if (sink) sink->Present(f.image, f.displayAspect);
  FilterGraph* g = Graph();
  if (!f.immediate && g) g->PicturePresented(f.time + f.duration / 2);
  if (f.immediate || f.titleTime < 0 || !g || !g->timeCodeEvents) return;
  int64_t sec = f.titleTime / 1000000;
  if (sec == lastSecond_) return;
  lastSecond_ = sec;
  DVD_HMSF_TIMECODE tc;
  tc.bHours = static_cast<uint8_t>(sec / 3600);
  tc.bMinutes = static_cast<uint8_t>((sec / 60) % 60);
  tc.bSeconds = static_cast<uint8_t>(sec % 60);
  // The disc's own rate: NTSC (29.97 frames a second) counts in 30-frame time codes.
  const bool ntsc = f.frameRate > 27.0;
  const int perSecond = ntsc ? 30 : 25;
  tc.bFrames = static_cast<uint8_t>(
      std::min<int64_t>(perSecond - 1, (f.titleTime % 1000000) * perSecond / 1000000));
  g->Notify(EC_DVD_CURRENT_HMSF_TIME, static_cast<intptr_t>(PackTimecode(tc)),
            ntsc ? DVD_TC_FLAG_30fps : DVD_TC_FLAG_25fps);
}

bool VideoRenderer::Emptied(Lock& lock) {
  if (!releaseWhenDrained_) return false;
  releaseWhenDrained_ = false;
  FilterGraph* g = Graph();
  if (!g) return false;
  lock.unlock();
  g->ReleasePictureEvents();
  lock.lock();
  return true;
}

bool VideoRenderer::Due(Lock& lock, const Item& f) {
  FilterGraph* g = Graph();
  MediaClock* clock = g ? &g->Clock() : nullptr;
  const bool now = f->immediate || !clock || !prerolled_ || stepsPending_ > 0;
  if (!now) {
    clock->AnchorIfUnset(f->time);
    if (!WaitOnClock(lock, *clock, f, f->time)) return false;  // not yet, or flushed meanwhile
    const int64_t late = clock->Now() - f->time;
    if (late > 3 * f->duration && q_.size() > 1) {
      q_.pop_front();
      ++dropped_;
      cv_.notify_all();
      return false;
    }
  } else if (!f->immediate && clock) {
    // The first picture after a flush (or a stepped one) is shown at once, and the clock
    // starts from it.
    if (!prerolled_ || stepsPending_ > 0) clock->Anchor(f->time);
    if (stepsPending_ > 0) --stepsPending_;
    prerolled_ = true;
  }
  return true;
}

HRESULT VideoRenderer::put_Visible(bool visible) {
  std::shared_ptr<plat::VideoSink> sink;
  VideoFrame last;
  {
    std::lock_guard lock(shownMu_);
    visible_ = visible;
    if (!visible) {
      if (owner_ && sink_) plat::ReleaseVideoSink(owner_);
      sink_.reset();
      return S_OK;
    }
    if (!owner_) return E_FAIL;
    if (!sink_) sink_ = plat::AcquireVideoSink(owner_);
    if (!sink_) return E_FAIL;
    sink = sink_;
    last = last_;
  }
  if (!last.image.isNull()) sink->Present(last.image, last.displayAspect);
  return S_OK;
}

HRESULT VideoRenderer::put_Owner(HWND owner) {
  std::lock_guard lock(shownMu_);
  if (owner && !plat::IsWindow(owner)) return E_INVALIDARG;
  owner_ = owner;
  sink_.reset();
  haveRect_ = false;
  return S_OK;
}

HRESULT VideoRenderer::put_WindowStyle(long) { return owner_ ? S_OK : E_FAIL; }
HRESULT VideoRenderer::put_MessageDrain(HWND) { return owner_ ? S_OK : E_FAIL; }

HRESULT VideoRenderer::SetWindowPosition(int32_t left, int32_t top, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return E_INVALIDARG;
  HWND owner;
  {
    std::lock_guard lock(shownMu_);
    owner = owner_;
    rect_ = {left, top, width, height};
    haveRect_ = true;
  }
  if (!owner) return E_FAIL;
  if (!plat::AcquireVideoSink(owner)) return E_FAIL;
  return plat::SetVideoPlacement(owner, &rect_, keep_) ? S_OK : E_FAIL;
}

HRESULT VideoRenderer::CanStep(long, void*) { return owner_ || Graph() ? S_OK : S_FALSE; }

HRESULT VideoRenderer::Step(uint32_t frames, void*) {
  if (frames == 0) return E_INVALIDARG;
  std::lock_guard lock(mu_);
  stepsPending_ += frames;
  cv_.notify_all();
  return S_OK;
}

bool VideoRenderer::MapToPicture(int32_t x, int32_t y, int32_t& px, int32_t& py) const {
  LumoraRect r;
  double aspect;
  int w, h;
  {
    std::lock_guard lock(shownMu_);
    if (last_.image.isNull() || !owner_) return false;
    w = last_.image.width();
    h = last_.image.height();
    aspect = last_.displayAspect > 0 ? last_.displayAspect : double(w) / h;
    r = rect_;
    if (!haveRect_) {
      QWidget* widget = plat::WidgetFromHandle(owner_);
      if (!widget) return false;
      r = {0, 0, widget->width(), widget->height()};
    }
  }
  if (keep_) r = plat::LetterboxRect(r, aspect);
  if (r.width <= 0 || r.height <= 0) return false;
  if (x < r.left || y < r.top || x >= r.left + r.width || y >= r.top + r.height) return false;
  px = static_cast<int32_t>(int64_t(x - r.left) * w / r.width);
  py = static_cast<int32_t>(int64_t(y - r.top) * h / r.height);
  return true;
}

VideoFrame VideoRenderer::LastShown() const {
  std::lock_guard lock(shownMu_);
  return last_;
}

uint64_t VideoRenderer::ShownCount() const {
  std::lock_guard lock(shownMu_);
  return shown_;
}

size_t VideoRenderer::Queued() const {
  std::lock_guard lock(mu_);
  return q_.size();
}

}  // namespace navdisc::graph

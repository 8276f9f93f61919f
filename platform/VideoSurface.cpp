#include "platform/VideoSurface.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <cmath>
#include <map>
#include <mutex>

#include "platform/Window.h"

namespace plat {

namespace {

struct SurfaceState;
QRect ToQRect(const LumoraRect& r) { return QRect(r.left, r.top, r.width, r.height); }

}  // namespace

// Child widget covering its window; paints the ready frame and black around it.
class VideoSurface : public QWidget {
 public:
  VideoSurface(QWidget* parent, std::shared_ptr<SurfaceState> state);
  ~VideoSurface() override;

 protected:
  void paintEvent(QPaintEvent*) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  std::shared_ptr<SurfaceState> state_;
};

namespace {

// Shared between the UI thread (widget) and the presenting threads (sinks).
struct SurfaceState {
  std::mutex m;
  VideoSurface* widget = nullptr;  // cleared by the widget's destructor under m
  uint64_t generation = 1;         // bumped on release; sinks of older generations go quiet
  bool active = false;
  // Geometry, set on the UI thread.
  QSize surfaceSize;
  bool hasPlacement = false;
  LumoraRect placement{0, 0, 0, 0};
  bool keepProportions = true;
  // Device pixels per logical pixel of the surface's screen: frames are prepared at device
  // resolution so a scaled desktop does not halve the picture's detail.
  qreal dpr = 1.0;
  // Latest frame and its display aspect; ready is the frame scaled to readyRect.
  QImage frame;
  double aspect = 0;
  QImage ready;
  QRect readyRect;
  bool updateQueued = false;
  // What was painted last.
  QImage painted;
  uint64_t paintedCount = 0;

  // Where the picture goes for the current geometry; call with m held.
  QRect PictureRect() const {
    LumoraRect r =
        hasPlacement ? placement : LumoraRect{0, 0, surfaceSize.width(), surfaceSize.height()};
    if (r.width <= 0 || r.height <= 0 || frame.isNull()) return {};
    if (keepProportions) r = LetterboxRect(r, aspect);
    return ToQRect(r);
  }
};

double AspectOf(const QImage& frame, double displayAspect) {
  if (displayAspect > 0 && std::isfinite(displayAspect)) return displayAspect;
  return frame.height() > 0 ? static_cast<double>(frame.width()) / frame.height() : 1.0;
}

// The rectangle's size in device pixels.
QSize DeviceSize(const QRect& rect, qreal dpr) {
  return QSize(static_cast<int>(std::lround(rect.width() * dpr)),
               static_cast<int>(std::lround(rect.height() * dpr)));
}

// Scales once per frame; a frame that already has the target size passes untouched.
QImage Prepare(const QImage& frame, const QSize& target) {
  if (frame.isNull() || target.isEmpty()) return {};
  QImage src = frame;
  if (src.format() != QImage::Format_RGB32 && src.format() != QImage::Format_ARGB32_Premultiplied)
    src = src.convertToFormat(QImage::Format_RGB32);
  if (src.size() == target) return src;
  // Smooth filtering costs most on big upscales, where it also gains least.
  const bool bigUpscale =
      static_cast<qint64>(target.width()) * target.height() > 4LL * src.width() * src.height();
  return src.scaled(target, Qt::IgnoreAspectRatio,
                    bigUpscale ? Qt::FastTransformation : Qt::SmoothTransformation);
}

void QueueUpdate(SurfaceState& st) {
  // m held. One queued update at a time; later frames ride on it.
  if (!st.widget || st.updateQueued) return;
  st.updateQueued = true;
  VideoSurface* w = st.widget;
  QMetaObject::invokeMethod(
      w, [w]() { w->update(); }, Qt::QueuedConnection);
}

class SinkImpl : public VideoSink {
 public:
  SinkImpl(std::shared_ptr<SurfaceState> st, uint64_t gen) : st_(std::move(st)), gen_(gen) {}

  void Present(const QImage& frame, double displayAspect) override {
    if (frame.isNull()) return;
    {
      std::lock_guard lk(own_);
      last_ = frame;
      ++count_;
    }
    const double aspect = AspectOf(frame, displayAspect);
    QRect target;
    qreal dpr = 1.0;
    {
      std::lock_guard lk(st_->m);
      if (st_->generation != gen_ || !st_->active) return;
      st_->frame = frame;
      st_->aspect = aspect;
      target = st_->PictureRect();
      dpr = st_->dpr;
    }
    // Scaled outside the lock, on the presenting thread, so painting only blits.
    QImage ready = Prepare(frame, DeviceSize(target, dpr));
    ready.setDevicePixelRatio(dpr);
    std::lock_guard lk(st_->m);
    if (st_->generation != gen_ || !st_->active) return;
    if (st_->frame.cacheKey() == frame.cacheKey() && st_->PictureRect() == target &&
        st_->dpr == dpr) {
      st_->ready = std::move(ready);
      st_->readyRect = target;
    }
    QueueUpdate(*st_);
  }
  QImage LastFrame() const override {
    std::lock_guard lk(own_);
    return last_;
  }
  uint64_t FrameCount() const override {
    std::lock_guard lk(own_);
    return count_;
  }

 private:
  std::shared_ptr<SurfaceState> st_;
  uint64_t gen_;
  mutable std::mutex own_;
  QImage last_;
  uint64_t count_ = 0;
};

std::mutex g_registryMutex;
std::map<HWND, std::shared_ptr<SurfaceState>>& Surfaces() {
  static auto* m = new std::map<HWND, std::shared_ptr<SurfaceState>>;
  return *m;
}

std::shared_ptr<SurfaceState> StateFor(HWND h) {
  std::lock_guard lk(g_registryMutex);
  auto it = Surfaces().find(h);
  return it == Surfaces().end() ? nullptr : it->second;
}

}  // namespace

VideoSurface::VideoSurface(QWidget* parent, std::shared_ptr<SurfaceState> state)
    : QWidget(parent), state_(std::move(state)) {
  setObjectName("VideoSurface");
  // Clicks go to the window underneath (menu buttons, dragging).
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setGeometry(parent->rect());
  parent->installEventFilter(this);
  lower();
  {
    std::lock_guard lk(state_->m);
    state_->widget = this;
    state_->surfaceSize = size();
    state_->dpr = devicePixelRatioF();
  }
  show();
}

VideoSurface::~VideoSurface() {
  std::lock_guard lk(state_->m);
  state_->widget = nullptr;
}

bool VideoSurface::eventFilter(QObject* o, QEvent* e) {
  if (o == parent() && e->type() == QEvent::Resize) {
    setGeometry(parentWidget()->rect());
    std::lock_guard lk(state_->m);
    state_->surfaceSize = size();
  }
  return false;
}

void VideoSurface::paintEvent(QPaintEvent* ev) {
  QImage image;
  QRect rect;
  {
    std::lock_guard lk(state_->m);
    state_->updateQueued = false;
    state_->surfaceSize = size();
    state_->dpr = devicePixelRatioF();
    if (state_->active) {
      rect = state_->PictureRect();
      if (!rect.isEmpty() && state_->readyRect == rect &&
          state_->ready.size() == DeviceSize(rect, state_->dpr))
        image = state_->ready;
      else
        image = state_->frame;  // geometry changed since the frame was prepared
    }
  }
  QPainter p(this);
  if (image.isNull() || rect.isEmpty()) {
    p.fillRect(ev->rect(), Qt::black);
    return;
  }
  QRegion black = QRegion(ev->rect()) - QRegion(rect);
  for (const QRect& r : black) p.fillRect(r, Qt::black);
  if (image.size() == DeviceSize(rect, image.devicePixelRatio())) {
    p.drawImage(rect.topLeft(), image);
  } else {
    const bool big =
        static_cast<qint64>(rect.width()) * rect.height() > 4LL * image.width() * image.height();
    p.setRenderHint(QPainter::SmoothPixmapTransform, !big);
    p.drawImage(rect, image);
  }
  std::lock_guard lk(state_->m);
  state_->painted = image;
  ++state_->paintedCount;
}

LumoraRect LetterboxRect(const LumoraRect& rect, double aspect) {
  if (rect.width <= 0 || rect.height <= 0 || !(aspect > 0) || !std::isfinite(aspect)) return rect;
  LumoraRect r = rect;
  const double boxAspect = static_cast<double>(rect.width) / rect.height;
  if (boxAspect > aspect) {
    r.width = std::max(1, static_cast<int32_t>(std::lround(rect.height * aspect)));
    r.left = rect.left + (rect.width - r.width) / 2;
  } else {
    r.height = std::max(1, static_cast<int32_t>(std::lround(rect.width / aspect)));
    r.top = rect.top + (rect.height - r.height) / 2;
  }
  return r;
}

namespace {

// The window's surface state, with its child widget made when missing. UI thread.
std::shared_ptr<SurfaceState> EnsureSurface(HWND window) {
  QWidget* w = WidgetFromHandle(window);
  if (!w) return nullptr;
  std::shared_ptr<SurfaceState> st = StateFor(window);
  if (!st) {
    st = std::make_shared<SurfaceState>();
    {
      std::lock_guard lk(g_registryMutex);
      Surfaces()[window] = st;
    }
    QObject::connect(w, &QObject::destroyed, [window]() {
      std::lock_guard lk(g_registryMutex);
      Surfaces().erase(window);
    });
  }
  bool needWidget;
  {
    std::lock_guard lk(st->m);
    needWidget = st->widget == nullptr;
  }
  if (needWidget) new VideoSurface(w, st);
  return st;
}

}  // namespace

std::shared_ptr<VideoSink> AcquireVideoSink(HWND window) {
  std::shared_ptr<SurfaceState> st = EnsureSurface(window);
  if (!st) return nullptr;
  // Every sink handed out since the last release shows; a release silences them all.
  std::lock_guard lk(st->m);
  st->active = true;
  if (st->widget) st->widget->show();
  return std::make_shared<SinkImpl>(st, st->generation);
}

bool SetVideoPlacement(HWND window, const LumoraRect* rect, bool keepProportions) {
  // Placement may come before the first frame: the surface is made now, showing black.
  std::shared_ptr<SurfaceState> st = EnsureSurface(window);
  if (!st) return false;
  std::lock_guard lk(st->m);
  st->hasPlacement = rect != nullptr;
  if (rect) st->placement = *rect;
  st->keepProportions = keepProportions;
  if (st->widget) st->widget->update();
  return true;
}

bool GetVideoPlacement(HWND window, bool& hasRect, LumoraRect& rect, bool& keepProportions) {
  std::shared_ptr<SurfaceState> st = StateFor(window);
  if (!st) return false;
  std::lock_guard lk(st->m);
  hasRect = st->hasPlacement;
  rect = st->placement;
  keepProportions = st->keepProportions;
  return true;
}

void ReleaseVideoSink(HWND window) {
  std::shared_ptr<SurfaceState> st = StateFor(window);
  if (!st) return;
  std::lock_guard lk(st->m);
  ++st->generation;
  st->active = false;
  st->frame = QImage();
  st->ready = QImage();
  if (st->widget) st->widget->update();
}

uint64_t PresentedFrameCount(HWND window) {
  std::shared_ptr<SurfaceState> st = StateFor(window);
  if (!st) return 0;
  std::lock_guard lk(st->m);
  return st->paintedCount;
}

QImage PresentedFrame(HWND window) {
  std::shared_ptr<SurfaceState> st = StateFor(window);
  if (!st) return {};
  std::lock_guard lk(st->m);
  return st->painted;
}

}  // namespace plat

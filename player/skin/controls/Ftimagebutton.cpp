#include "player/skin/controls/Ftimagebutton.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPointer>

namespace {

// lo when hi < lo, else v limited to lo..hi.
int Clamp(int v, int lo, int hi) {
  if (hi < lo) return lo;
  return v < lo ? lo : (v > hi ? hi : v);
}

// Window timers with an interval of 0 or less never fire.
void StartTimer(QTimer* t, int ms) {
  if (ms > 0) {
    t->start(ms);
  } else {
    t->stop();
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TFT_DynamicImageButton

TFT_DynamicImageButton::TFT_DynamicImageButton(QWidget* parent) : TPanel(parent) {
  // The picture inside is the button's own part, not one of the window's components.
  components::SetOwner(this);
  SetBevelOuter(bvNone);
  SetParentBackground(true);
  picture_ = new TImage(this);
  picture_->SetAlign(alClient);
  // The mouse goes to the button, not to the picture on it.
  picture_->setAttribute(Qt::WA_TransparentForMouseEvents);
  hide();
}

TFT_DynamicImageButton::~TFT_DynamicImageButton() = default;

bool TFT_DynamicImageButton::LoadFrames(const QImage& strip, int frameWidth) {
  loaded_ = false;
  if (strip.isNull() || frameWidth <= 0) return false;
  const int m = hasMaskFrame ? 1 : 0, d = hasDisabledFrame ? 1 : 0;
  if (static_cast<qint64>(strip.width()) < static_cast<qint64>(frameWidth) * (3 + m + d))
    return false;

  const int h = strip.height();
  resize(frameWidth, h);
  frames_.clear();
  for (int x = 0; x < strip.width(); x += frameWidth) {
    // The last frame may hang over the strip's end; copy() fills that part with black.
    frames_.push_back(strip.copy(x, 0, frameWidth, h));
  }
  normalFrame_ = m;
  pressedFrame_ = m + 1;
  disabledFrame_ = d ? m + 2 : normalFrame_;
  firstAnimationFrame_ = 2 + m + d;
  restFrame_ = firstAnimationFrame_;

  shownFrame_ = -1;
  ShowFrame(normalFrame_);
  loaded_ = true;
  frameIndex_ = firstAnimationFrame_;
  ApplyShape();
  show();
  return true;
}

void TFT_DynamicImageButton::ApplyShape() {
  if (hasMaskFrame && loaded_ && !frames_.empty())
    setMask(components::KeyedRegion(frames_[0]));
  else
    clearMask();
  update();
}

void TFT_DynamicImageButton::SetButtonEnabled(bool on) {
  // The button's own state, whatever its parent's is.
  const bool current = parentWidget() ? isEnabledTo(parentWidget()) : isEnabled();
  if (current == on) return;
  setEnabled(on);
  if (!loaded_) return;
  if (on) {
    ShowFrame(normalFrame_);
  } else {
    if (timer_) timer_->stop();
    ShowFrame(disabledFrame_);
  }
}

void TFT_DynamicImageButton::ShowFrame(int index) {
  if (index < 0 || index >= FrameCount()) return;
  if (index == shownFrame_) return;
  shownFrame_ = index;
  picture_->SetPicture(frames_[index]);
}

void TFT_DynamicImageButton::EnsureTimer() {
  if (timer_) return;
  timer_ = std::make_unique<QTimer>();
  timer_->setSingleShot(false);
  QObject::connect(timer_.get(), &QTimer::timeout, this, [this] { Tick(); });
}

void TFT_DynamicImageButton::Tick() {
  if (!loaded_) {
    timer_->stop();
    return;
  }
  timer_->setInterval(std::max(frameInterval, 0));
  if (frameIndex_ < FrameCount()) {
    ShowFrame(frameIndex_);
    ++frameIndex_;
    if (frameInterval <= 0) timer_->stop();
  } else {
    ShowFrame(restFrame_);
    timer_->stop();
    if (loop) {
      frameIndex_ = firstAnimationFrame_;
      StartTimer(timer_.get(), loopPause);
    }
  }
}

bool TFT_DynamicImageButton::event(QEvent* e) {
  if (loaded_ && (isEnabled() || !dynamic_cast<QMouseEvent*>(e))) {
    switch (e->type()) {
      case QEvent::Enter:
        // A disabled button keeps its disabled frame.
        if (!isEnabled()) break;
        EnsureTimer();
        ShowFrame(restFrame_);
        StartTimer(timer_.get(), frameInterval);
        mouseInside_ = true;
        break;
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
          if (timer_) timer_->stop();
          ShowFrame(pressedFrame_);
          frameIndex_ = firstAnimationFrame_;
        }
        break;
      case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
          EnsureTimer();
          ShowFrame(restFrame_);
          if (loop && mouseInside_)
            StartTimer(timer_.get(), timer_->interval());
          else
            timer_->stop();
        }
        break;
      case QEvent::Leave:
        if (timer_) timer_->stop();
        mouseInside_ = false;
        frameIndex_ = firstAnimationFrame_;
        ShowFrame(isEnabled() ? normalFrame_ : disabledFrame_);
        break;
      default:
        break;
    }
  }
  return TPanel::event(e);
}

// ---------------------------------------------------------------------------------------------
// TFT_ProgressBar

TFT_ProgressBar::TFT_ProgressBar(QWidget* parent) : QWidget(parent) {
  components::Register(this);
  // Thumb, track, fill and head are the bar's own parts, not the window's components.
  components::SetOwner(this);
}

TFT_ProgressBar::~TFT_ProgressBar() = default;

int TFT_ProgressBar::AxisLength(const QWidget* w) const {
  if (!w) return 0;
  return vertical ? w->height() : w->width();
}

int TFT_ProgressBar::AxisLength(const QImage& img) const {
  return vertical ? img.height() : img.width();
}

void TFT_ProgressBar::UpdateThumbOffset() {
  if (head_ && thumb_) thumbOffset_ = AxisLength(head_) - AxisLength(thumb_);
}

void TFT_ProgressBar::SetThumbStart(int start) {
  if (!thumb_) return;
  if (vertical)
    thumb_->move(thumb_->x(), start);
  else
    thumb_->move(start, thumb_->y());
}

void TFT_ProgressBar::ShowThumbPicture(const QImage& img) {
  if (thumb_) thumb_->SetPicture(img);
}

bool TFT_ProgressBar::SetThumbImages(const QImage& normal, const QImage& hover,
                                     const QImage& pressed) {
  if (normal.isNull()) return false;
  // A cursor given to the old thumb carries over to the new one.
  const bool hadCursor = thumb_ && thumb_->testAttribute(Qt::WA_SetCursor);
  const QCursor cursor = hadCursor ? thumb_->cursor() : QCursor();
  delete thumb_;
  thumb_ = nullptr;
  mouseOverThumb_ = false;
  dragging_ = false;
  thumbNormal_ = normal;
  thumbHover_ = hover.isNull() ? normal : hover;
  thumbPressed_ = pressed.isNull() ? normal : pressed;

  thumb_ = new TImage(this);
  thumb_->setObjectName("Thumb");
  thumb_->SetTransparent(true);
  thumb_->SetAutoSize(true);
  thumb_->move(0, 0);
  thumb_->installEventFilter(this);
  if (hadCursor) thumb_->setCursor(cursor);
  ShowThumbPicture(thumbNormal_);
  thumb_->setVisible(thumbAlways);
  if (thumbAlways) thumb_->raise();
  if (head_) UpdateThumbOffset();
  ready_ = SetPixelPosition(-1);
  return true;
}

bool TFT_ProgressBar::SetTrackImages(const QImage& track, const QImage& fill, const QImage& head,
                                     int insetX, int insetY, int extentX, int extentY) {
  if (track.isNull() || fill.isNull() || head.isNull()) return false;
  delete track_;
  delete fill_;
  delete head_;
  dragging_ = false;

  track_ = new TImage(this);
  track_->setObjectName("Track");
  track_->SetAutoSize(true);
  track_->SetPicture(track);
  track_->move(0, 0);
  track_->installEventFilter(this);
  track_->lower();

  // Fill and head lie on the track: a press on them is a press on the track.
  fill_ = new TImage(this);
  fill_->setObjectName("Fill");
  fill_->SetPicture(fill);
  fill_->resize(fill.size());
  fill_->SetStretch(true);
  fill_->setAttribute(Qt::WA_TransparentForMouseEvents);
  head_ = new TImage(this);
  head_->setObjectName("Head");
  head_->SetAutoSize(true);
  head_->SetPicture(head);
  head_->setAttribute(Qt::WA_TransparentForMouseEvents);

  resize(track.size());
  fill_->move(insetX, insetY);
  head_->move(insetX, insetY);
  fill_->hide();
  head_->hide();
  if (vertical) {
    minPixel_ = insetY;
    extentPixel_ = extentY;
    fill_->resize(fill_->width(), 0);
    maxPixel_ = extentPixel_ - head_->height();
  } else {
    minPixel_ = insetX;
    extentPixel_ = extentX;
    fill_->resize(0, fill_->height());
    maxPixel_ = extentPixel_ - head_->width();
  }
  if (thumb_) {
    UpdateThumbOffset();
    // The thumb sits on the head, above the parts just made.
    thumb_->raise();
  }
  ready_ = SetPixelPosition(-1);
  return true;
}

bool TFT_ProgressBar::SetPixelPosition(int p) {
  if (!thumb_ || !track_ || !fill_ || !head_) return false;
  if (p == pixelPosition_) return true;

  if (p < 0) {
    if (p != -1) return false;
    head_->hide();
    fill_->hide();
    if (vertical) {
      fill_->resize(fill_->width(), 0);
      head_->move(head_->x(), maxPixel_);
      SetThumbStart(head_->y() + thumbOffset_);
    } else {
      head_->move(minPixel_, head_->y());
      SetThumbStart(head_->x() + thumbOffset_);
    }
    value_ = minValue_;
    floatValue_ = static_cast<float>(minValue_);
    pixelPosition_ = minPixel_;
    notify = false;
  } else {
    if (p < minPixel_ || p > extentPixel_) return false;
    const int v = Clamp(p, minPixel_, maxPixel_);
    const qint64 range = static_cast<qint64>(maxPixel_) - minPixel_;
    // A track too short to move on shows the bottom of the range.
    const qint64 step = range > 0 ? (static_cast<qint64>(v) - minPixel_) * maxValue_ / range : 0;
    if (vertical) {
      head_->move(head_->x(), v);
      SetThumbStart(v + thumbOffset_);
      const int fillTop = v + head_->height();
      fill_->setGeometry(fill_->x(), fillTop, fill_->width(), std::max(0, maxPixel_ - v));
      floatValue_ = range > 0 ? static_cast<float>(maxValue_ - step) : minValue_;
      head_->setVisible(v + head_->height() < extentPixel_);
      fill_->setVisible(fillTop < extentPixel_ && fill_->height() > 0);
    } else {
      head_->move(v, head_->y());
      SetThumbStart(v + thumbOffset_);
      fill_->resize(v - minPixel_, fill_->height());
      floatValue_ = static_cast<float>(step);
      head_->setVisible(v != minPixel_);
      fill_->setVisible(fill_->width() > 0);
    }
    value_ = static_cast<int>(floatValue_);
    pixelPosition_ = p;
  }

  thumb_->setVisible(mouseOverBar_ || thumbAlways);
  if (onPositionChange_ && notify) onPositionChange_(pixelPosition_, value_, dragging_, this);
  return true;
}

int TFT_ProgressBar::PixelForRatio(float ratio) const {
  const float span = static_cast<float>(maxPixel_ - minPixel_) * ratio;
  return vertical ? maxPixel_ - static_cast<int>(span) : minPixel_ + static_cast<int>(span);
}

bool TFT_ProgressBar::SetPosition(int value, bool notifyChange) {
  if (value < minValue_ || value > maxValue_) return false;
  if (value == value_) return true;
  const float ratio =
      static_cast<float>(value - minValue_) / static_cast<float>(maxValue_ - minValue_);
  const int pixel = PixelForRatio(ratio);
  // A vertical bar always re-places itself.
  if (vertical) pixelPosition_ = pixel + 1;
  notify = notifyChange;
  return SetPixelPosition(pixel);
}

bool TFT_ProgressBar::SetPositionF(float value) {
  // Written as a positive test so that NaN fails too.
  if (!(value >= static_cast<float>(minValue_) && value <= static_cast<float>(maxValue_)))
    return false;
  const float ratio =
      (value - static_cast<float>(minValue_)) / static_cast<float>(maxValue_ - minValue_);
  return SetPixelPosition(PixelForRatio(ratio));
}

void TFT_ProgressBar::Notify(bool draggingFlag) {
  if (onPositionChange_) onPositionChange_(pixelPosition_, value_, draggingFlag, this);
}

bool TFT_ProgressBar::event(QEvent* e) {
  if (e->type() == QEvent::Enter || e->type() == QEvent::Leave) {
    const bool enter = e->type() == QEvent::Enter;
    if (ready_) {
      mouseOverBar_ = enter;
      if (enter && thumb_) thumb_->raise();
    }
    if (thumb_)
      thumb_->setVisible(thumbAlways || ((mouseOverBar_ || dragging_) && pixelPosition_ >= 0));
  }
  return QWidget::event(e);
}

bool TFT_ProgressBar::eventFilter(QObject* watched, QEvent* e) {
  // A disabled bar receives no mouse input.
  if (!isEnabled() && dynamic_cast<QMouseEvent*>(e)) return false;
  if (thumb_ && watched == thumb_)
    ThumbMouse(e);
  else if (track_ && watched == track_)
    TrackMouse(e);
  return false;
}

void TFT_ProgressBar::ThumbMouse(QEvent* e) {
  switch (e->type()) {
    case QEvent::Enter:
      if (ready_) {
        mouseOverThumb_ = true;
        ShowThumbPicture(thumbHover_);
      }
      break;
    case QEvent::Leave:
      if (ready_) {
        mouseOverThumb_ = false;
        ShowThumbPicture(thumbNormal_);
      }
      break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      auto* me = static_cast<QMouseEvent*>(e);
      if (ready_ && me->button() == Qt::LeftButton) ShowThumbPicture(thumbPressed_);
      dragging_ = true;
      pressPoint_ = me->globalPosition().toPoint();
      dragStartPixel_ = pixelPosition_;
      Notify(true);
      break;
    }
    case QEvent::MouseMove:
      DragMove(static_cast<QMouseEvent*>(e)->globalPosition());
      break;
    case QEvent::MouseButtonRelease:
      ButtonUp();
      break;
    default:
      break;
  }
}

void TFT_ProgressBar::TrackMouse(QEvent* e) {
  switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      auto* me = static_cast<QMouseEvent*>(e);
      if (!ready_ || me->button() != Qt::LeftButton) break;
      const QPoint at = me->position().toPoint();
      const int along = vertical ? at.y() : at.x();
      const int p = Clamp(along - AxisLength(thumb_) / 2, minPixel_, maxPixel_);
      dragging_ = true;
      if (SetPixelPosition(p)) {
        pressPoint_ = me->globalPosition().toPoint();
        dragStartPixel_ = pixelPosition_;
        ShowThumbPicture(thumbPressed_);
      }
      Notify(true);
      break;
    }
    case QEvent::MouseMove:
      DragMove(static_cast<QMouseEvent*>(e)->globalPosition());
      break;
    case QEvent::MouseButtonRelease:
      ButtonUp();
      break;
    default:
      break;
  }
}

void TFT_ProgressBar::DragMove(const QPointF& global) {
  if (!dragging_ || !ready_) return;
  cursorPoint_ = global.toPoint();
  const int delta =
      vertical ? cursorPoint_.y() - pressPoint_.y() : cursorPoint_.x() - pressPoint_.x();
  const int p = Clamp(dragStartPixel_ + delta, minPixel_, maxPixel_);
  notify = true;
  SetPixelPosition(p);
}

void TFT_ProgressBar::ButtonUp() {
  dragging_ = false;
  if (ready_) {
    thumb_->setVisible(mouseOverBar_ || thumbAlways);
    ShowThumbPicture(mouseOverThumb_ ? thumbHover_ : thumbNormal_);
  }
  notify = true;
  Notify(false);
}

// ---------------------------------------------------------------------------------------------
// TFT_DigitalImage

TFT_DigitalImage::TFT_DigitalImage(QWidget* parent) : TImage(parent) {
  SetTransparent(true);
  SetAutoSize(true);
}

bool TFT_DigitalImage::SetDigitBitmap(int digit, const QImage& bitmap) {
  if (digit < 0 || digit > 9 || bitmap.isNull()) return false;
  digitBitmaps_[digit] = bitmap;
  return true;
}

bool TFT_DigitalImage::HasDigitBitmap(int digit) const {
  return digit >= 0 && digit <= 9 && !digitBitmaps_[digit].isNull();
}

bool TFT_DigitalImage::ShowDigit(int digit) {
  if (!HasDigitBitmap(digit)) return false;
  if (digit != shownDigit_) {
    shownDigit_ = digit;
    SetPicture(digitBitmaps_[digit]);
  }
  return true;
}

#include "player/widgets/TImage.h"

#include <QPaintEvent>
#include <QPainter>

TImage::TImage(QWidget* parent) : QWidget(parent) { components::Register(this); }

void TImage::SetPicture(const QImage& image) {
  picture_ = image;
  Rebuild();
  if (autoSize_ && !picture_.isNull()) resize(picture_.size());
  update();
  emit PictureChanged();
}

void TImage::SetAutoSize(bool on) {
  autoSize_ = on;
  if (autoSize_ && !picture_.isNull()) resize(picture_.size());
}

void TImage::SetStretch(bool on) {
  stretch_ = on;
  update();
}

void TImage::SetCenter(bool on) {
  center_ = on;
  update();
}

void TImage::SetTransparent(bool on) {
  if (transparent_ == on) return;
  transparent_ = on;
  Rebuild();
  update();
}

void TImage::Rebuild() {
  if (picture_.isNull()) {
    drawn_ = QPixmap();
    return;
  }
  if (transparent_) {
    // The framework keys transparent bitmaps on their bottom-left pixel.
    QRgb key = picture_.pixel(0, picture_.height() - 1);
    drawn_ = QPixmap::fromImage(components::KeyedImage(picture_, key));
  } else {
    drawn_ = QPixmap::fromImage(picture_);
  }
}

QRect TImage::DestRect() const {
  if (picture_.isNull()) return QRect();
  if (stretch_) return rect();
  QSize s = picture_.size();
  if (center_) return QRect(QPoint((width() - s.width()) / 2, (height() - s.height()) / 2), s);
  return QRect(QPoint(0, 0), s);
}

bool TImage::event(QEvent* e) {
  if (!DispatchControlEvent(this, e)) return true;
  bool handled = QWidget::event(e);
  return AcceptMouse(this, e, handled);
}

void TImage::paintEvent(QPaintEvent*) {
  if (drawn_.isNull()) return;
  QPainter p(this);
  p.drawPixmap(DestRect(), drawn_);
}

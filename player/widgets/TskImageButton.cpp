#include "player/widgets/TskImageButton.h"

#include <QPainter>

TskImageButton::TskImageButton(QWidget* parent) : TskCustomButton(parent) {}

void TskImageButton::SetPic(int index, const QImage& img) {
  pics_[index] = img;
  drawnValid_[index] = false;
  ApplyAutoSize();
  update();
}

void TskImageButton::SetAutoSize(bool on) {
  autoSize_ = on;
  ApplyAutoSize();
}

void TskImageButton::SetStretch(bool on) {
  stretch_ = on;
  update();
}

void TskImageButton::SetPicTransparent(bool on) {
  if (picTransparent_ == on) return;
  picTransparent_ = on;
  for (bool& v : drawnValid_) v = false;
  update();
}

void TskImageButton::ApplyAutoSize() {
  if (autoSize_ && parentWidget() && !pics_[0].isNull()) resize(pics_[0].size());
}

const QImage& TskImageButton::CurrentPicture() const {
  int i = 0;
  if (!isEnabled())
    i = 3;
  else if (Pressed())
    i = 2;
  else if (MouseOn())
    i = 1;
  return pics_[i].isNull() ? pics_[0] : pics_[i];
}

const QPixmap& TskImageButton::Drawn(int index) const {
  if (!drawnValid_[index]) {
    const QImage& pic = pics_[index];
    if (pic.isNull())
      drawn_[index] = QPixmap();
    else if (picTransparent_)
      drawn_[index] = QPixmap::fromImage(components::KeyedImage(pic, pic.pixel(0, 0)));
    else
      drawn_[index] = QPixmap::fromImage(pic);
    drawnValid_[index] = true;
  }
  return drawn_[index];
}

void TskImageButton::PaintContent(QPainter& p) {
  const QImage& cur = CurrentPicture();
  if (cur.isNull()) return;
  int index = 0;
  for (int i = 0; i < 4; ++i)
    if (&pics_[i] == &cur) index = i;
  const QPixmap& pm = Drawn(index);
  if (stretch_)
    p.drawPixmap(rect(), pm);
  else
    p.drawPixmap(0, 0, pm);
}

bool TskImageButton::ApplyShape(QRgb key) {
  if (pics_[0].isNull()) return false;
  resize(pics_[0].size());
  setMask(components::KeyedRegion(pics_[0], key));
  update();
  return true;
}

void TskImageButton::ClearShape() {
  clearMask();
  update();
}

#include "player/widgets/TPanel.h"

#include <QPaintEvent>
#include <QPainter>

TPanel::TPanel(QWidget* parent) : QWidget(parent) {
  components::Register(this);
  color_ = palette().color(QPalette::Window);
}

void TPanel::SetCaption(const QString& c) {
  if (caption_ == c) return;
  caption_ = c;
  update();
}

void TPanel::SetColor(const QColor& c) {
  color_ = c;
  update();
}

void TPanel::SetBevelOuter(TBevelCut b) {
  bevelOuter_ = b;
  // The bevel takes one pixel of the client area on each side.
  int m = b == bvNone ? 0 : 1;
  setContentsMargins(m, m, m, m);
  components::AlignControls(this);
  update();
}

void TPanel::SetParentBackground(bool on) {
  parentBackground_ = on;
  update();
}

bool TPanel::event(QEvent* e) {
  if (!DispatchControlEvent(this, e)) return true;
  bool handled = QWidget::event(e);
  return AcceptMouse(this, e, handled);
}

void TPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (!parentBackground_) p.fillRect(rect(), color_);
  if (bevelOuter_ != bvNone) {
    QColor light = palette().color(QPalette::Light), dark = palette().color(QPalette::Dark);
    if (bevelOuter_ == bvLowered) std::swap(light, dark);
    QRect r = rect().adjusted(0, 0, -1, -1);
    p.setPen(light);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(dark);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
  }
  if (!caption_.trimmed().isEmpty()) {
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(contentsRect(), Qt::AlignCenter, caption_);
  }
}

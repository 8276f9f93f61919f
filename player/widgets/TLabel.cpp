#include "player/widgets/TLabel.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

TLabel::TLabel(QWidget* parent) : QWidget(parent) {
  components::Register(this);
  color_ = palette().color(QPalette::Window);
  AdjustBounds();
}

void TLabel::SetCaption(const QString& c) {
  if (caption_ == c) return;
  caption_ = c;
  AdjustBounds();
  update();
}

void TLabel::SetAutoSize(bool on) {
  autoSize_ = on;
  AdjustBounds();
}

void TLabel::SetTransparent(bool on) {
  transparent_ = on;
  update();
}

void TLabel::SetColor(const QColor& c) {
  color_ = c;
  update();
}

void TLabel::SetFontColor(const QColor& c) {
  fontColor_ = c;
  update();
}

void TLabel::SetFontName(const QString& family) {
  QFont f = font();
  f.setFamily(family);
  setFont(f);
  AdjustBounds();
}

void TLabel::SetAlignment(TAlignment a) {
  alignment_ = a;
  update();
}

void TLabel::SetHint(const QString& h) {
  hint_ = h;
  setToolTip(showHint_ ? hint_ : QString());
}

void TLabel::SetShowHint(bool on) {
  showHint_ = on;
  setToolTip(showHint_ ? hint_ : QString());
}

void TLabel::AdjustBounds() {
  if (!autoSize_) return;
  QFontMetrics fm(font());
  // An empty caption still keeps one line's height, as the framework's labels do.
  resize(fm.horizontalAdvance(caption_), fm.height());
}

bool TLabel::event(QEvent* e) {
  if (e->type() == QEvent::FontChange) AdjustBounds();
  if (!DispatchControlEvent(this, e)) return true;
  bool handled = QWidget::event(e);
  return AcceptMouse(this, e, handled);
}

void TLabel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (!transparent_) p.fillRect(rect(), color_);
  p.setPen(fontColor_);
  Qt::Alignment a = Qt::AlignTop;
  a |= alignment_ == taCenter         ? Qt::AlignHCenter
       : alignment_ == taRightJustify ? Qt::AlignRight
                                      : Qt::AlignLeft;
  p.drawText(rect(), a | Qt::TextSingleLine, caption_);
}

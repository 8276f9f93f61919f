#include "player/widgets/TskCustomButton.h"

#include <QDialog>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

TskCustomButton::TskCustomButton(QWidget* parent) : QWidget(parent) {
  components::Register(this);
  color_ = palette().color(QPalette::Button);
  setFocusPolicy(Qt::StrongFocus);
  // Moves are reported whether or not a button is held.
  setMouseTracking(true);
}

TskCustomButton::~TskCustomButton() = default;

void TskCustomButton::SetEnabled(bool on) { setEnabled(on); }

void TskCustomButton::SetTransparent(bool on) {
  transparent_ = on;
  update();
}

void TskCustomButton::SetDrawFocused(bool on) {
  drawFocused_ = on;
  update();
}

void TskCustomButton::SetFocusedRectMargin(int px) {
  focusedRectMargin_ = px;
  update();
}

void TskCustomButton::SetMouseContinuouslyDownInterval(int ms) {
  repeatInterval_ = ms;
  if (repeat_) repeat_->setInterval(ms);
}

void TskCustomButton::SetTabStop(bool on) {
  tabStop_ = on;
  setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
}

void TskCustomButton::SetCaption(const QString& c) {
  caption_ = c;
  update();
}

void TskCustomButton::SetColor(const QColor& c) {
  color_ = c;
  update();
}

void TskCustomButton::SetHint(const QString& h) {
  hint_ = h;
  setToolTip(showHint_ ? hint_ : QString());
}

void TskCustomButton::SetShowHint(bool on) {
  showHint_ = on;
  setToolTip(showHint_ ? hint_ : QString());
}

void TskCustomButton::StartRepeat() {
  if (repeat_) return;
  repeat_ = std::make_unique<QTimer>();
  repeat_->setInterval(repeatInterval_);
  QObject::connect(repeat_.get(), &QTimer::timeout, this, [this] {
    TNotifyEvent handler = OnMouseContinuouslyDown;
    if (handler) handler(this);
  });
  repeat_->start();
}

void TskCustomButton::StopRepeat() {
  // The timer may be the sender of the running slot: let Qt delete it afterwards.
  if (repeat_) {
    repeat_->stop();
    repeat_.release()->deleteLater();
  }
}

void TskCustomButton::Click() {
  QPointer<TskCustomButton> alive(this);
  if (QWidget* form = window(); form && form != this) {
    form->setProperty("ModalResult", modalResult_);
    auto* dialog = qobject_cast<QDialog*>(form);
    if (dialog && modalResult_ != 0 && dialog->isModal()) dialog->done(modalResult_);
  }
  if (!alive) return;
  TNotifyEvent handler = OnClick;
  if (handler) handler(this);
}

void TskCustomButton::MouseEntered() {
  mouseOn_ = true;
  update();
  if (OnMouseEnter) OnMouseEnter(this);
}

void TskCustomButton::MouseLeft() {
  mouseOn_ = false;
  pressed_ = false;
  StopRepeat();
  update();
  if (OnMouseExit) OnMouseExit(this);
}

bool TskCustomButton::event(QEvent* e) {
  switch (e->type()) {
    case QEvent::Enter:
      MouseEntered();
      break;
    case QEvent::Leave:
      MouseLeft();
      break;
    default:
      break;
  }
  return QWidget::event(e);
}

void TskCustomButton::mousePressEvent(QMouseEvent* e) {
  e->accept();
  QPoint pos = e->position().toPoint();
  if (e->button() == Qt::LeftButton) {
    pressed_ = true;
    leftDown_ = true;
    StartRepeat();
    if (tabStop_ && focusPolicy() != Qt::NoFocus) setFocus(Qt::MouseFocusReason);
    update();
  }
  if (OnMouseDown)
    OnMouseDown(this, components::ToMouseButton(e->button()),
                components::ToShiftState(e->modifiers(), e->buttons()), pos.x(), pos.y());
}

void TskCustomButton::mouseMoveEvent(QMouseEvent* e) {
  e->accept();
  QPoint pos = e->position().toPoint();
  if (leftDown_ && !rect().contains(pos) && (mouseOn_ || pressed_)) {
    // Dragged off while held: the press is off, the repeat timer runs on until the
    // mouse leaves or the button is released.
    mouseOn_ = false;
    pressed_ = false;
    update();
  }
  if (OnMouseMove)
    OnMouseMove(this, components::ToShiftState(e->modifiers(), e->buttons()), pos.x(), pos.y());
}

void TskCustomButton::mouseReleaseEvent(QMouseEvent* e) {
  e->accept();
  QPointer<TskCustomButton> alive(this);
  QPoint pos = e->position().toPoint();
  if (e->button() == Qt::LeftButton) {
    bool click = leftDown_ && rect().contains(pos) && isEnabled();
    leftDown_ = false;
    // The press is over wherever the button is released; repeats must stop with it.
    StopRepeat();
    if (pressed_) {
      pressed_ = false;
      update();
    }
    if (click) Click();
    if (!alive) return;
  }
  if (OnMouseUp)
    OnMouseUp(this, components::ToMouseButton(e->button()),
              components::ToShiftState(e->modifiers(), e->buttons()), pos.x(), pos.y());
}

void TskCustomButton::mouseDoubleClickEvent(QMouseEvent* e) {
  // The second press of a double click counts as a press of its own.
  QPointer<TskCustomButton> alive(this);
  if (e->button() == Qt::LeftButton && OnDblClick) OnDblClick(this);
  if (alive) mousePressEvent(e);
}

void TskCustomButton::keyPressEvent(QKeyEvent* e) {
  int k = e->key();
  if ((k == Qt::Key_Space || k == Qt::Key_Return || k == Qt::Key_Enter) && isEnabled()) {
    e->accept();
    if (e->isAutoRepeat()) return;
    keyDown_ = true;
    pressed_ = true;
    update();
    return;
  }
  QWidget::keyPressEvent(e);
}

void TskCustomButton::keyReleaseEvent(QKeyEvent* e) {
  int k = e->key();
  if (k == Qt::Key_Space || k == Qt::Key_Return || k == Qt::Key_Enter) {
    e->accept();
    if (e->isAutoRepeat() || !keyDown_) return;
    keyDown_ = false;
    if (pressed_) {
      pressed_ = false;
      update();
      if (isEnabled()) Click();
    }
    return;
  }
  QWidget::keyReleaseEvent(e);
}

void TskCustomButton::focusInEvent(QFocusEvent* e) {
  update();
  QWidget::focusInEvent(e);
}

void TskCustomButton::focusOutEvent(QFocusEvent* e) {
  // A key held while the focus goes elsewhere does not click later.
  keyDown_ = false;
  if (pressed_ && !leftDown_) pressed_ = false;
  update();
  QWidget::focusOutEvent(e);
}

void TskCustomButton::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange && !isEnabled()) {
    pressed_ = false;
    leftDown_ = false;
    keyDown_ = false;
    StopRepeat();
  }
  if (e->type() == QEvent::EnabledChange) update();
  QWidget::changeEvent(e);
}

void TskCustomButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (!transparent_) p.fillRect(rect(), color_);
  PaintContent(p);
  if (hasFocus() && tabStop_ && drawFocused_) {
    QPen pen(palette().color(QPalette::WindowText));
    pen.setStyle(Qt::DotLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    int m = focusedRectMargin_;
    p.drawRect(QRect(m, m, width() - 2 * m - 1, height() - 2 * m - 1));
  }
  if (!caption_.trimmed().isEmpty()) {
    p.setPen(palette().color(QPalette::ButtonText));
    p.drawText(rect(), Qt::AlignCenter, caption_);
  }
}

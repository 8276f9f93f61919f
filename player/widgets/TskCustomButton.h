// State logic and drawing frame of the skinned buttons: hover, press, repeat, keyboard, focus.
#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "player/widgets/Components.h"

class TskCustomButton : public QWidget {
  Q_OBJECT
 public:
  explicit TskCustomButton(QWidget* parent = nullptr);
  ~TskCustomButton() override;

  TAlign Align() const { return components::Align(this); }
  void SetAlign(TAlign a) { components::SetAlign(this, a); }

  bool Enabled() const { return isEnabled(); }
  void SetEnabled(bool on);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool on);
  bool DrawFocused() const { return drawFocused_; }
  void SetDrawFocused(bool on);
  int FocusedRectMargin() const { return focusedRectMargin_; }
  void SetFocusedRectMargin(int px);
  int MouseContinuouslyDownInterval() const { return repeatInterval_; }
  void SetMouseContinuouslyDownInterval(int ms);
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int r) { modalResult_ = r; }
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool on);
  QString Caption() const { return caption_; }
  void SetCaption(const QString& c);
  // Filled behind the picture when Transparent is off.
  QColor Color() const { return color_; }
  void SetColor(const QColor& c);

  QString Hint() const { return hint_; }
  void SetHint(const QString& h);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool on);

  bool MouseOn() const { return mouseOn_; }
  bool Pressed() const { return pressed_; }
  // The repeat timer exists only while a left press lasts.
  bool RepeatTimerActive() const { return repeat_ != nullptr; }

  // Runs the click: ModalResult to the owning window, then OnClick.
  virtual void Click();

  TNotifyEvent OnClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseExit;
  TNotifyEvent OnMouseContinuouslyDown;
  TNotifyEvent OnDblClick;

 protected:
  // Draws the state picture over the background; the frame draws focus and caption.
  virtual void PaintContent(QPainter& p) = 0;

  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  void StartRepeat();
  void StopRepeat();
  void MouseEntered();
  void MouseLeft();

  std::unique_ptr<QTimer> repeat_;
  QString caption_;
  QString hint_;
  QColor color_;
  int focusedRectMargin_ = 2;
  int repeatInterval_ = 100;
  int modalResult_ = 0;
  bool transparent_ = false;
  bool drawFocused_ = false;
  bool tabStop_ = true;
  bool showHint_ = false;
  bool mouseOn_ = false;
  bool pressed_ = false;
  bool leftDown_ = false;  // a left press on the button is in progress (mouse captured)
  bool keyDown_ = false;   // Space or Enter is held
};

// Shared vocabulary of the framework components: alignment, event types, ownership order.
#pragma once

#include <QColor>
#include <QObject>
#include <QRegion>
#include <QWidget>
#include <functional>
#include <vector>

enum TAlign { alNone = 0, alTop, alBottom, alLeft, alRight, alClient };
enum TMouseButton { mbLeft = 0, mbRight, mbMiddle };
enum TBevelCut { bvNone = 0, bvLowered, bvRaised };
enum TAlignment { taLeftJustify = 0, taRightJustify, taCenter };

// Keyboard modifiers plus the mouse buttons held, as the framework's shift state carries both.
struct TShiftState {
  Qt::KeyboardModifiers keys;
  Qt::MouseButtons buttons;
  bool Shift() const { return keys & Qt::ShiftModifier; }
  bool Ctrl() const { return keys & Qt::ControlModifier; }
  bool Alt() const { return keys & Qt::AltModifier; }
  bool Left() const { return buttons & Qt::LeftButton; }
  bool Right() const { return buttons & Qt::RightButton; }
};

using TNotifyEvent = std::function<void(QObject* Sender)>;
using TMouseEvent =
    std::function<void(QObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(QObject* Sender, TShiftState Shift, int X, int Y)>;

// The transparent colour of every skin shape.
constexpr QRgb kKeyColour = 0xFFFF00FF;

namespace components {

// Stamps obj with the next creation serial so ownership order survives reparenting.
// Every framework component calls it from its constructor; other classes may too.
void Register(QObject* obj);
// Creation serial, 0 for objects that never registered.
quint64 Serial(const QObject* obj);

// Marks w as an owner of components (a form or a frame): walking an enclosing window stops
// at w, and walking w itself collects what it holds. Top-level windows are owners anyway.
void SetOwner(QWidget* w, bool owner = true);
bool IsOwner(const QObject* obj);

// The components owned by root, in creation order (designed ones first, then the run-time
// ones): every registered descendant, not descending into nested owners (which are listed
// themselves). root itself is not listed.
std::vector<QObject*> Components(QObject* root);

// Alignment of a widget within its parent, stored on the widget so any QWidget can take part.
void SetAlign(QWidget* w, TAlign align);
TAlign Align(const QWidget* w);
// Lays out the aligned children of parent in creation order, the framework's way: top,
// bottom, left, right, then client, each consuming its share of the client area.
void AlignControls(QWidget* parent);

TMouseButton ToMouseButton(Qt::MouseButton b);
TShiftState ToShiftState(Qt::KeyboardModifiers keys, Qt::MouseButtons buttons);

// Shape of a picture: its rectangle minus every pixel of exactly the key colour.
QRegion KeyedRegion(const QImage& image, QRgb key = kKeyColour);
// The picture with every pixel of exactly the key colour made fully transparent.
QImage KeyedImage(const QImage& image, QRgb key);

}  // namespace components

// Mouse events every visual component reports, and the click rule (left press then left
// release inside the control).
class TControlEvents {
 public:
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

 protected:
  // Called first from the owning widget's event(); false when a handler deleted the widget.
  bool DispatchControlEvent(QWidget* self, QEvent* e);
  // Mouse presses stop at an enabled control, as in the framework; a disabled one lets them
  // through to its parent. Returns the event's result.
  static bool AcceptMouse(const QWidget* self, QEvent* e, bool handled);

 private:
  bool clickArmed_ = false;
};

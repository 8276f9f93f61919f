#include "player/widgets/Components.h"

#include <QEnterEvent>
#include <QEvent>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QSet>
#include <algorithm>
#include <atomic>

namespace components {
namespace {

constexpr char kSerialProperty[] = "_lumora_serial";
constexpr char kOwnerProperty[] = "_lumora_owner";
constexpr char kAlignProperty[] = "_lumora_align";

std::atomic<quint64> g_nextSerial{1};

// Realigns a parent when it resizes or gains/loses children, and when an aligned child
// changes size or visibility.
class AlignWatcher : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* e) override {
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w) return false;
    switch (e->type()) {
      case QEvent::Resize:
      case QEvent::Show:
      case QEvent::ChildRemoved:
        if (HasAlignedChild(w)) AlignControls(w);
        if (Align(w) != alNone && e->type() != QEvent::ChildRemoved && w->parentWidget())
          AlignControls(w->parentWidget());
        break;
      case QEvent::Hide:
        if (Align(w) != alNone && w->parentWidget()) AlignControls(w->parentWidget());
        break;
      case QEvent::ParentChange:
        if (Align(w) != alNone && w->parentWidget()) {
          w->parentWidget()->installEventFilter(this);
          AlignControls(w->parentWidget());
        }
        break;
      default:
        break;
    }
    return false;
  }

  static bool HasAlignedChild(QWidget* w) {
    for (QObject* c : w->children()) {
      auto* cw = qobject_cast<QWidget*>(c);
      if (cw && Align(cw) != alNone) return true;
    }
    return false;
  }
};

AlignWatcher& Watcher() {
  static AlignWatcher watcher;
  return watcher;
}

QSet<QWidget*>& Aligning() {
  static QSet<QWidget*> set;
  return set;
}

void Collect(QObject* parent, std::vector<QObject*>& out) {
  for (QObject* c : parent->children()) {
    if (Serial(c) > 0) out.push_back(c);
    if (!IsOwner(c)) Collect(c, out);
  }
}

}  // namespace

void Register(QObject* obj) {
  if (obj && Serial(obj) == 0)
    obj->setProperty(kSerialProperty, QVariant::fromValue<quint64>(g_nextSerial++));
}

quint64 Serial(const QObject* obj) {
  if (!obj) return 0;
  QVariant v = obj->property(kSerialProperty);
  return v.isValid() ? v.value<quint64>() : 0;
}

void SetOwner(QWidget* w, bool owner) {
  if (w) w->setProperty(kOwnerProperty, owner);
}

bool IsOwner(const QObject* obj) {
  if (!obj) return false;
  QVariant v = obj->property(kOwnerProperty);
  if (v.isValid()) return v.toBool();
  // A separate window owns what it holds; popup menus keep their items with the form.
  auto* w = qobject_cast<const QWidget*>(obj);
  return w && w->isWindow() && !qobject_cast<const QMenu*>(obj);
}

std::vector<QObject*> Components(QObject* root) {
  std::vector<QObject*> out;
  if (!root) return out;
  Collect(root, out);
  std::stable_sort(out.begin(), out.end(),
                   [](QObject* a, QObject* b) { return Serial(a) < Serial(b); });
  return out;
}

void SetAlign(QWidget* w, TAlign align) {
  if (!w) return;
  if (Align(w) == align && w->property(kAlignProperty).isValid()) return;
  w->setProperty(kAlignProperty, static_cast<int>(align));
  w->installEventFilter(&Watcher());
  if (QWidget* p = w->parentWidget()) {
    p->installEventFilter(&Watcher());
    AlignControls(p);
  }
}

TAlign Align(const QWidget* w) {
  if (!w) return alNone;
  QVariant v = w->property(kAlignProperty);
  return v.isValid() ? static_cast<TAlign>(v.toInt()) : alNone;
}

void AlignControls(QWidget* parent) {
  if (!parent || Aligning().contains(parent)) return;
  Aligning().insert(parent);
  QRect rect = parent->contentsRect();
  int left = rect.left(), top = rect.top();
  int right = rect.left() + rect.width(), bottom = rect.top() + rect.height();
  std::vector<QWidget*> kids;
  for (QObject* c : parent->children()) {
    auto* w = qobject_cast<QWidget*>(c);
    // Hidden controls take no room, as in the framework. The flag is tested before the
    // alignment, a property look-up, because a long list keeps thousands of hidden rows.
    if (w && !w->isWindow() && !w->isHidden() && Align(w) != alNone) kids.push_back(w);
  }
  for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (QWidget* w : kids) {
      if (Align(w) != pass) continue;
      int width = std::max(0, right - left), height = std::max(0, bottom - top);
      switch (pass) {
        case alTop:
          w->setGeometry(left, top, width, w->height());
          top += w->height();
          break;
        case alBottom:
          w->setGeometry(left, bottom - w->height(), width, w->height());
          bottom -= w->height();
          break;
        case alLeft:
          w->setGeometry(left, top, w->width(), height);
          left += w->width();
          break;
        case alRight:
          w->setGeometry(right - w->width(), top, w->width(), height);
          right -= w->width();
          break;
        case alClient:
          w->setGeometry(left, top, width, height);
          break;
        default:
          break;
      }
    }
  }
  Aligning().remove(parent);
}

TMouseButton ToMouseButton(Qt::MouseButton b) {
  switch (b) {
    case Qt::RightButton:
      return mbRight;
    case Qt::MiddleButton:
      return mbMiddle;
    default:
      return mbLeft;
  }
}

TShiftState ToShiftState(Qt::KeyboardModifiers keys, Qt::MouseButtons buttons) {
  return TShiftState{keys, buttons};
}

QRegion KeyedRegion(const QImage& image, QRgb key) {
  if (image.isNull()) return QRegion();
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  const QRgb k = key & 0x00FFFFFFu;
  // Runs of kept pixels, row by row and left to right: already in the banded order that
  // QRegion::setRects expects.
  std::vector<QRect> runs;
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    int x = 0;
    while (x < rgb.width()) {
      while (x < rgb.width() && (line[x] & 0x00FFFFFFu) == k) ++x;
      const int start = x;
      while (x < rgb.width() && (line[x] & 0x00FFFFFFu) != k) ++x;
      if (x > start) runs.emplace_back(start, y, x - start, 1);
    }
  }
  QRegion region;
  if (!runs.empty()) region.setRects(runs.data(), static_cast<int>(runs.size()));
  return region;
}

QImage KeyedImage(const QImage& image, QRgb key) {
  if (image.isNull()) return image;
  QImage out = image.convertToFormat(QImage::Format_ARGB32);
  const QRgb k = key & 0x00FFFFFFu;
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x)
      if ((line[x] & 0x00FFFFFFu) == k) line[x] = 0;
  }
  return out;
}

}  // namespace components

bool TControlEvents::DispatchControlEvent(QWidget* self, QEvent* e) {
  // A handler may delete the control; nothing of it is touched afterwards.
  QPointer<QWidget> alive(self);
  // A disabled control takes no mouse input (the framework passes it to the parent).
  if (!self->isEnabled() && dynamic_cast<QMouseEvent*>(e)) return true;
  switch (e->type()) {
    case QEvent::MouseButtonPress: {
      auto* me = static_cast<QMouseEvent*>(e);
      if (me->button() == Qt::LeftButton) clickArmed_ = true;
      if (OnMouseDown) {
        QPoint p = me->position().toPoint();
        OnMouseDown(self, components::ToMouseButton(me->button()),
                    components::ToShiftState(me->modifiers(), me->buttons()), p.x(), p.y());
      }
      break;
    }
    case QEvent::MouseButtonDblClick: {
      auto* me = static_cast<QMouseEvent*>(e);
      clickArmed_ = false;
      if (OnDblClick && me->button() == Qt::LeftButton) OnDblClick(self);
      if (!alive) return false;
      if (OnMouseDown) {
        QPoint p = me->position().toPoint();
        OnMouseDown(self, components::ToMouseButton(me->button()),
                    components::ToShiftState(me->modifiers(), me->buttons()), p.x(), p.y());
      }
      break;
    }
    case QEvent::MouseButtonRelease: {
      auto* me = static_cast<QMouseEvent*>(e);
      QPoint p = me->position().toPoint();
      bool click = me->button() == Qt::LeftButton && clickArmed_ && self->rect().contains(p);
      if (me->button() == Qt::LeftButton) clickArmed_ = false;
      if (OnMouseUp)
        OnMouseUp(self, components::ToMouseButton(me->button()),
                  components::ToShiftState(me->modifiers(), me->buttons()), p.x(), p.y());
      if (!alive) return false;
      if (click && OnClick) OnClick(self);
      break;
    }
    case QEvent::MouseMove: {
      auto* me = static_cast<QMouseEvent*>(e);
      if (OnMouseMove) {
        QPoint p = me->position().toPoint();
        OnMouseMove(self, components::ToShiftState(me->modifiers(), me->buttons()), p.x(), p.y());
      }
      break;
    }
    case QEvent::Enter:
      if (OnMouseEnter) OnMouseEnter(self);
      break;
    case QEvent::Leave:
      if (OnMouseLeave) OnMouseLeave(self);
      break;
    default:
      break;
  }
  return !alive.isNull();
}

bool TControlEvents::AcceptMouse(const QWidget* self, QEvent* e, bool handled) {
  // A disabled picture or panel (a window's background) must not swallow the press that
  // drags the window.
  if (!self->isEnabled()) return handled;
  switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
      e->accept();
      return true;
    default:
      return handled;
  }
}

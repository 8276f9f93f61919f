#include "platform/Window.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace plat {
namespace {

struct Entry {
  QPointer<QWidget> widget;
  const QWidget* key = nullptr;
  std::shared_ptr<MessageHandler> handler;
};

// Handles are never reused, so a message posted to a dead window cannot reach a newer one.
std::atomic<HWND> g_nextHandle{0x10010};
std::mutex g_mutex;
std::unordered_map<HWND, Entry>& Registry() {
  static auto* r = new std::unordered_map<HWND, Entry>;
  return *r;
}
std::unordered_map<const QWidget*, HWND>& ByWidget() {
  static auto* r = new std::unordered_map<const QWidget*, HWND>;
  return *r;
}
std::atomic<size_t> g_pending{0};

// Completion of a cross-thread SendMessage. The event's destructor signals it, so the
// sender wakes up even when the event is dropped (window gone, application shutting down).
struct SendState {
  std::mutex m;
  std::condition_variable cv;
  bool done = false;
  LRESULT result = 0;
};

const QEvent::Type kMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class MessageEvent : public QEvent {
 public:
  MessageEvent(HWND h, unsigned msg, WPARAM w, LPARAM l, std::shared_ptr<SendState> s)
      : QEvent(kMessageEvent), hwnd(h), msg(msg), w(w), l(l), send(std::move(s)) {
    ++g_pending;
  }
  ~MessageEvent() override {
    --g_pending;
    if (send) {
      std::lock_guard lk(send->m);
      send->done = true;
      send->cv.notify_all();
    }
  }
  HWND hwnd;
  unsigned msg;
  WPARAM w;
  LPARAM l;
  std::shared_ptr<SendState> send;
};

bool Deliver(HWND h, unsigned msg, WPARAM w, LPARAM l, LRESULT& result) {
  std::shared_ptr<MessageHandler> handler;
  {
    std::lock_guard lk(g_mutex);
    auto it = Registry().find(h);
    if (it == Registry().end() || it->second.widget.isNull()) return false;
    handler = it->second.handler;
  }
  if (!handler || !*handler) return false;
  // Called outside the lock: handlers register, unregister and post freely.
  return (*handler)(msg, w, l, result);
}

// Lives on the application's thread and hands every posted message to its window.
class Dispatcher : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() != kMessageEvent) return QObject::event(e);
    auto* m = static_cast<MessageEvent*>(e);
    LRESULT result = 0;
    Deliver(m->hwnd, m->msg, m->w, m->l, result);
    if (m->send) {
      std::lock_guard lk(m->send->m);
      m->send->result = result;
    }
    return true;
  }
};

std::mutex g_dispatcherMutex;
QPointer<Dispatcher> g_dispatcher;

Dispatcher* TheDispatcher() {
  std::lock_guard lk(g_dispatcherMutex);
  auto* app = QCoreApplication::instance();
  if (!app) return nullptr;
  if (!g_dispatcher) {
    auto* d = new Dispatcher;
    if (d->thread() != app->thread()) d->moveToThread(app->thread());
    // Parented to the application so it goes away with it (dropping pending messages).
    d->setParent(app);
    g_dispatcher = d;
  }
  return g_dispatcher.data();
}

bool OnUiThread() {
  auto* app = QCoreApplication::instance();
  return app && QThread::currentThread() == app->thread();
}

}  // namespace

HWND RegisterWindow(QWidget* w, MessageHandler handler) {
  if (!w) return 0;
  TheDispatcher();
  HWND h = 0;
  {
    std::lock_guard lk(g_mutex);
    auto found = ByWidget().find(w);
    if (found != ByWidget().end()) {
      h = found->second;
      if (handler) Registry()[h].handler = std::make_shared<MessageHandler>(std::move(handler));
      return h;
    }
    h = g_nextHandle.fetch_add(0x10);
    Entry e;
    e.widget = w;
    e.key = w;
    e.handler = std::make_shared<MessageHandler>(std::move(handler));
    Registry()[h] = std::move(e);
    ByWidget()[w] = h;
  }
  QObject::connect(w, &QObject::destroyed, [h]() { UnregisterWindow(h); });
  return h;
}

void SetMessageHandler(HWND h, MessageHandler handler) {
  std::lock_guard lk(g_mutex);
  auto it = Registry().find(h);
  if (it != Registry().end())
    it->second.handler = std::make_shared<MessageHandler>(std::move(handler));
}

void UnregisterWindow(HWND h) {
  std::lock_guard lk(g_mutex);
  auto it = Registry().find(h);
  if (it == Registry().end()) return;
  auto byw = ByWidget().find(it->second.key);
  if (byw != ByWidget().end() && byw->second == h) ByWidget().erase(byw);
  Registry().erase(it);
}

QWidget* WidgetFromHandle(HWND h) {
  std::lock_guard lk(g_mutex);
  auto it = Registry().find(h);
  return it == Registry().end() ? nullptr : it->second.widget.data();
}

HWND HandleFromWidget(const QWidget* w) {
  if (!w) return 0;
  std::lock_guard lk(g_mutex);
  auto it = ByWidget().find(w);
  return it == ByWidget().end() ? 0 : it->second;
}

bool IsWindow(HWND h) {
  if (!h) return false;
  std::lock_guard lk(g_mutex);
  auto it = Registry().find(h);
  // QPointer may only be read on the UI thread; a dying widget unregisters itself first.
  return it != Registry().end();
}

bool PostMessage(HWND h, unsigned msg, WPARAM w, LPARAM l) {
  if (!IsWindow(h)) return false;
  Dispatcher* d = TheDispatcher();
  if (!d) return false;
  QCoreApplication::postEvent(d, new MessageEvent(h, msg, w, l, nullptr));
  return true;
}

LRESULT SendMessage(HWND h, unsigned msg, WPARAM w, LPARAM l) {
  if (!IsWindow(h)) return 0;
  if (OnUiThread()) {
    LRESULT result = 0;
    Deliver(h, msg, w, l, result);
    return result;
  }
  Dispatcher* d = TheDispatcher();
  if (!d) return 0;
  auto state = std::make_shared<SendState>();
  // Sent messages go ahead of posted ones, as on the desktop this mimics.
  QCoreApplication::postEvent(d, new MessageEvent(h, msg, w, l, state), Qt::HighEventPriority);
  std::unique_lock lk(state->m);
  state->cv.wait(lk, [&] { return state->done; });
  return state->result;
}

void PumpMessages(int maxMs) {
  if (!QCoreApplication::instance()) return;
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  if (maxMs <= 0) return;
  // A local loop keeps timers, sockets and posted messages running for the whole span.
  QEventLoop loop;
  QTimer::singleShot(maxMs, &loop, &QEventLoop::quit);
  loop.exec();
  QCoreApplication::sendPostedEvents();
}

size_t PendingMessageCount() { return g_pending.load(); }

}  // namespace plat

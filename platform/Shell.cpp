#include "platform/Shell.h"

#include <QCursor>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <mutex>
#include <optional>

namespace plat {
namespace {

std::mutex g_mutex;
std::function<bool(const std::string&)> g_openDouble;

std::optional<QRect> g_clip;
QPointer<QTimer> g_clipTimer;

uint32_t g_inhibitCookie = 0;
bool g_inhibited = false;

}  // namespace

bool OpenUrl(const std::string& url) {
  std::function<bool(const std::string&)> dbl;
  {
    std::lock_guard lk(g_mutex);
    dbl = g_openDouble;
  }
  if (dbl) return dbl(url);
  const QUrl u = QUrl::fromUserInput(QString::fromStdString(url));
  return u.isValid() && QDesktopServices::openUrl(u);
}

void SetOpenUrlDouble(std::function<bool(const std::string&)> open) {
  std::lock_guard lk(g_mutex);
  g_openDouble = std::move(open);
}

QPoint ClampIntoRect(const QPoint& p, const QRect& r) {
  if (r.isEmpty()) return p;
  return QPoint(std::clamp(p.x(), r.left(), r.right()), std::clamp(p.y(), r.top(), r.bottom()));
}

void ClipCursor(const QRect* screenRect) {
  if (!screenRect || screenRect->isEmpty()) {
    g_clip.reset();
    if (g_clipTimer) g_clipTimer->stop();
    return;
  }
  g_clip = *screenRect;
  if (!QCoreApplication::instance()) return;
  if (!g_clipTimer) {
    g_clipTimer = new QTimer(QCoreApplication::instance());
    g_clipTimer->setInterval(15);
    QObject::connect(g_clipTimer, &QTimer::timeout, []() {
      if (!g_clip) return;
      const QPoint p = QCursor::pos();
      const QPoint q = ClampIntoRect(p, *g_clip);
      if (p != q) QCursor::setPos(q);
    });
  }
  g_clipTimer->start();
  const QPoint p = QCursor::pos();
  if (ClampIntoRect(p, *g_clip) != p) QCursor::setPos(ClampIntoRect(p, *g_clip));
}

bool CursorClip(QRect& out) {
  if (!g_clip) return false;
  out = *g_clip;
  return true;
}

bool InhibitScreenSaver(bool inhibit) {
  if (inhibit == g_inhibited) return true;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  QDBusInterface saver("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                       "org.freedesktop.ScreenSaver", bus);
  if (!saver.isValid()) return false;
  if (inhibit) {
    QDBusReply<uint32_t> reply =
        saver.call("Inhibit", QCoreApplication::applicationName(), QStringLiteral("Playing video"));
    if (!reply.isValid()) return false;
    g_inhibitCookie = reply.value();
    g_inhibited = true;
    return true;
  }
  saver.call("UnInhibit", g_inhibitCookie);
  g_inhibited = false;
  return true;
}

}  // namespace plat

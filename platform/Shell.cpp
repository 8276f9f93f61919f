#include "platform/Shell.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
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

const char kSaverService[] = "org.freedesktop.ScreenSaver";
const char kSaverPath[] = "/org/freedesktop/ScreenSaver";
const char kPortalService[] = "org.freedesktop.portal.Desktop";
const char kPortalPath[] = "/org/freedesktop/portal/desktop";
uint32_t g_inhibitCookie = 0;
QString g_portalHandle;
unsigned g_inhibitGeneration = 0;
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
  g_inhibited = inhibit;
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  // Every call is asynchronous: a session bus that does not answer must never hold up
  // the player. The answers arrive on the UI thread.
  const unsigned generation = ++g_inhibitGeneration;
  if (!inhibit) {
    if (g_inhibitCookie) {
      bus.asyncCall(
          QDBusMessage::createMethodCall(kSaverService, kSaverPath, kSaverService, "UnInhibit")
          << g_inhibitCookie);
      g_inhibitCookie = 0;
    }
    if (!g_portalHandle.isEmpty()) {
      bus.asyncCall(QDBusMessage::createMethodCall(kPortalService, g_portalHandle,
                                                   "org.freedesktop.portal.Request", "Close"));
      g_portalHandle.clear();
    }
    return true;
  }
  QDBusMessage call =
      QDBusMessage::createMethodCall(kSaverService, kSaverPath, kSaverService, "Inhibit")
      << QCoreApplication::applicationName() << QStringLiteral("Playing video");
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 2000));
  QObject::connect(
      watcher, &QDBusPendingCallWatcher::finished, [generation, bus](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        QDBusPendingReply<uint32_t> reply = *w;
        if (!reply.isError()) {
          // Released again while the answer was on its way: give it straight back.
          if (generation != g_inhibitGeneration || !g_inhibited)
            QDBusConnection(bus).asyncCall(QDBusMessage::createMethodCall(kSaverService, kSaverPath,
                                                                          kSaverService,
                                                                          "UnInhibit")
                                           << reply.value());
          else
            g_inhibitCookie = reply.value();
          return;
        }
        if (generation != g_inhibitGeneration || !g_inhibited) return;
        // No screen-saver service: the desktop portal holds off idling instead (flag 8: idle).
        QVariantMap options;
        options.insert("reason", QStringLiteral("Playing video"));
        QDBusMessage portal =
            QDBusMessage::createMethodCall(kPortalService, kPortalPath,
                                           "org.freedesktop.portal.Inhibit", "Inhibit")
            << QString() << uint(8) << options;
        auto* second = new QDBusPendingCallWatcher(QDBusConnection(bus).asyncCall(portal, 2000));
        QObject::connect(second, &QDBusPendingCallWatcher::finished,
                         [generation, bus](QDBusPendingCallWatcher* w2) {
                           w2->deleteLater();
                           QDBusPendingReply<QDBusObjectPath> handle = *w2;
                           if (handle.isError()) return;
                           if (generation != g_inhibitGeneration || !g_inhibited)
                             QDBusConnection(bus).asyncCall(QDBusMessage::createMethodCall(
                                 kPortalService, handle.value().path(),
                                 "org.freedesktop.portal.Request", "Close"));
                           else
                             g_portalHandle = handle.value().path();
                         });
      });
  return true;
}

bool ScreenSaverInhibited() { return g_inhibited; }

}  // namespace plat

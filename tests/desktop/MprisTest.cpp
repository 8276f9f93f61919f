// The media-player interface and the screen-saver hold, on a private session bus: a real
// dbus-daemon, the real windows and engines, and a client connection that talks to the
// player the way a desktop's media widget does.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QProcess>
#include <QTest>

#include "platform/Shell.h"
#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/desktop/Mpris.h"
#include "player_core/PlayerTestSupport.h"

namespace {

const char kService[] = "org.mpris.MediaPlayer2.LumoraDVD";
const char kPath[] = "/org/mpris/MediaPlayer2";
const char kPlayer[] = "org.mpris.MediaPlayer2.Player";

// One private bus for the whole program, set up before anything asks for the session bus.
QString PrivateBus() {
  static QProcess* daemon = nullptr;
  static QString address;
  if (daemon) return address;
  daemon = new QProcess;
  daemon->start(LUMORA_DBUS_DAEMON, {"--session", "--nofork", "--nopidfile", "--print-address"});
  if (!daemon->waitForReadyRead(10000)) return {};
  address = QString::fromUtf8(daemon->readLine()).trimmed();
  qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
  std::atexit([] {
    daemon->kill();
    daemon->waitForFinished(2000);
  });
  return address;
}

// Everything runs on one thread, so the client never blocks: it waits while the event loop
// lets the player answer.
QDBusMessage Ask(QDBusConnection& bus, const QDBusMessage& call) {
  QDBusPendingCallWatcher watcher(bus.asyncCall(call, 5000));
  if (!QTest::qWaitFor([&] { return watcher.isFinished(); }, 6000)) return {};
  return watcher.reply();
}

QVariant Property(QDBusConnection& bus, const char* iface, const char* name) {
  QDBusMessage get =
      QDBusMessage::createMethodCall(kService, kPath, "org.freedesktop.DBus.Properties", "Get");
  get << QString(iface) << QString(name);
  const QDBusMessage reply = Ask(bus, get);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
  return reply.arguments().first().value<QDBusVariant>().variant();
}

QDBusMessage Call(QDBusConnection& bus, const char* method, const QVariantList& args = {}) {
  QDBusMessage m = QDBusMessage::createMethodCall(kService, kPath, kPlayer, method);
  m.setArguments(args);
  return Ask(bus, m);
}

// A stand-in for the desktop's screen saver that counts what it is asked.
class FakeScreenSaver : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

 public:
  int inhibits = 0, releases = 0;
  uint lastCookie = 0, releasedCookie = 0;

 public slots:
  uint Inhibit(const QString&, const QString&) {
    ++inhibits;
    return lastCookie = 40 + inhibits;
  }
  void UnInhibit(uint cookie) {
    ++releases;
    releasedCookie = cookie;
  }
};

// Receives the player's PropertiesChanged signals.
class ChangeListener : public QObject {
  Q_OBJECT

 public:
  QList<QVariantMap> changes;

 public slots:
  void Changed(const QString& iface, const QVariantMap& changed, const QStringList&) {
    if (iface == kPlayer) changes << changed;
  }
};

class MprisTest : public player_test::PlayerFixture {
 protected:
  void SetUp() override {
    ASSERT_FALSE(PrivateBus().isEmpty()) << "no private dbus-daemon";
    player_test::PlayerFixture::SetUp();
    FT_LumoraDVD_MainForm->resize(640, 480);
    FT_LumoraDVD_MainForm->show();
    plat::PumpMessages();
    client_ = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(PrivateBus(), QString("client%1").arg(++serial_)));
    ASSERT_TRUE(client_->isConnected());
    service_ = new MprisService(FT_LumoraDVD_MainForm);
    ASSERT_TRUE(service_->Register(QDBusConnection::sessionBus()));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
          return Property(*client_, "org.mpris.MediaPlayer2", "Identity").toString() == "LumoraDVD";
        },
        5000));
  }
  // Opens a clip the way the control panel's play command does.
  static void OpenClip(const std::string& clip) {
    ASSERT_FALSE(clip.empty()) << "ffmpeg could not make the sample clip";
    CurrentPlayPath = clip;
    FT_LumoraDVD_OperationForm->PlayFromControl(nullptr);
    ASSERT_EQ(PlayState, psPlaying);
  }
  void TearDown() override {
    delete service_;
    service_ = nullptr;
    QDBusConnection::disconnectFromBus(client_->name());
    client_.reset();
    player_test::PlayerFixture::TearDown();
  }
  std::unique_ptr<QDBusConnection> client_;
  MprisService* service_ = nullptr;
  static inline int serial_ = 0;
};

TEST_F(MprisTest, IntrospectionShowsBothInterfaces) {
  const QDBusMessage reply =
      Ask(*client_, QDBusMessage::createMethodCall(
                        kService, kPath, "org.freedesktop.DBus.Introspectable", "Introspect"));
  ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage);
  const QString xml = reply.arguments().value(0).toString();
  EXPECT_TRUE(xml.contains("org.mpris.MediaPlayer2\""));
  EXPECT_TRUE(xml.contains("org.mpris.MediaPlayer2.Player\""));
  EXPECT_TRUE(xml.contains("PlayPause"));
  EXPECT_TRUE(xml.contains("Seeked"));
  EXPECT_EQ(Property(*client_, kPlayer, "PlaybackStatus").toString(), "Stopped");
}

TEST_F(MprisTest, PlayPauseTogglesTheControllerAndAnnouncesIt) {
  const std::string clip = player_test::SmallClip();
  ASSERT_FALSE(clip.empty());
  ChangeListener listener;
  ASSERT_TRUE(client_->connect(kService, kPath, "org.freedesktop.DBus.Properties",
                               "PropertiesChanged", &listener,
                               SLOT(Changed(QString, QVariantMap, QStringList))));
  OpenClip(clip);
  service_->Poll();
  EXPECT_EQ(Property(*client_, kPlayer, "PlaybackStatus").toString(), "Playing");

  Call(*client_, "PlayPause");
  EXPECT_EQ(PlayState, psPaused);
  EXPECT_EQ(Property(*client_, kPlayer, "PlaybackStatus").toString(), "Paused");
  Call(*client_, "PlayPause");
  EXPECT_EQ(PlayState, psPlaying);

  // The desktop heard of both changes, in order.
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        QStringList seen;
        for (const QVariantMap& c : listener.changes)
          if (c.contains("PlaybackStatus")) seen << c.value("PlaybackStatus").toString();
        return seen.size() >= 2 && seen.mid(seen.size() - 2) == QStringList{"Paused", "Playing"};
      },
      5000));
  const QVariantMap metadata =
      qdbus_cast<QVariantMap>(Property(*client_, kPlayer, "Metadata").value<QDBusArgument>());
  EXPECT_EQ(metadata.value("xesam:title").toString(), "clip.mp4");
  EXPECT_GT(metadata.value("mpris:length").toLongLong(), 3000000);
}

TEST_F(MprisTest, SeekMovesThePositionAndAbsurdValuesAreHeld) {
  const std::string clip = player_test::SmallClip();
  OpenClip(clip);
  ASSERT_TRUE(QTest::qWaitFor([] { return ReadMprisSnapshot().canSeek; }, 5000));
  Call(*client_, "Seek", {qlonglong(2000000)});
  ASSERT_TRUE(QTest::qWaitFor([] { return ReadMprisSnapshot().positionUs >= 1900000; }, 5000));
  // Far past the end is held inside the clip; the player keeps playing.
  Call(*client_, "Seek", {qlonglong(1) << 62});
  QTest::qWait(300);
  EXPECT_EQ(PlayState, psPlaying);
  EXPECT_LT(ReadMprisSnapshot().positionUs, ReadMprisSnapshot().lengthUs);
  // A position for another track is ignored.
  const qint64 before = ReadMprisSnapshot().positionUs;
  Call(*client_, "SetPosition",
       {QVariant::fromValue(QDBusObjectPath("/other/track")), qlonglong(0)});
  QTest::qWait(200);
  EXPECT_GE(ReadMprisSnapshot().positionUs, before);
}

TEST_F(MprisTest, OpenUriRefusesRemoteAddressesAndOpensLocalFiles) {
  Call(*client_, "OpenUri", {QString("http://example.invalid/clip.mp4")});
  EXPECT_EQ(PlayType, ptNone);
  const std::string clip = player_test::SmallClip();
  Call(*client_, "OpenUri", {QUrl::fromLocalFile(QString::fromStdString(clip)).toString()});
  EXPECT_EQ(PlayState, psPlaying);
  EXPECT_EQ(CurrentPlayPath, clip);
}

TEST_F(MprisTest, DvdMetadataNamesTheDisc) {
  const char* fixtures = std::getenv("LUMORA_FIXTURE_DIR");
  ASSERT_NE(fixtures, nullptr);
  const std::string disc = std::string(fixtures) + "/sample-dvd/";
  CurrentPlayPath = disc;
  ASSERT_TRUE(StartDVD(disc));
  service_->Poll();
  const QVariantMap metadata =
      qdbus_cast<QVariantMap>(Property(*client_, kPlayer, "Metadata").value<QDBusArgument>());
  EXPECT_EQ(metadata.value("xesam:album").toString(), "sample-dvd");
  EXPECT_TRUE(metadata.value("mpris:trackid")
                  .value<QDBusObjectPath>()
                  .path()
                  .startsWith("/org/lumoradvd/LumoraDVD/track/dvd_"));
}

TEST_F(MprisTest, ScreenSaverIsHeldWhilePlayingAndReleasedOnPause) {
  FakeScreenSaver saver;
  QDBusConnection fake =
      QDBusConnection::connectToBus(PrivateBus(), QString("saver%1").arg(serial_));
  ASSERT_TRUE(
      fake.registerObject("/org/freedesktop/ScreenSaver", &saver, QDBusConnection::ExportAllSlots));
  ASSERT_TRUE(fake.registerService("org.freedesktop.ScreenSaver"));
  const std::string clip = player_test::SmallClip();
  OpenClip(clip);
  service_->Poll();
  ASSERT_TRUE(QTest::qWaitFor([&] { return saver.inhibits == 1; }, 5000));
  EXPECT_TRUE(plat::ScreenSaverInhibited());
  Call(*client_, "Pause");
  ASSERT_TRUE(QTest::qWaitFor([&] { return saver.releases == 1; }, 5000));
  EXPECT_EQ(saver.releasedCookie, saver.lastCookie);
  // Polling while paused asks nothing more.
  service_->Poll();
  QTest::qWait(200);
  EXPECT_EQ(saver.inhibits, 1);
  fake.unregisterService("org.freedesktop.ScreenSaver");
  QDBusConnection::disconnectFromBus(fake.name());
}

}  // namespace

#include "MprisTest.moc"

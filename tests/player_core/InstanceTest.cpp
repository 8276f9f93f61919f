// Two real player processes: the second start hands its paths to the first.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>

#include "platform/Profile.h"

namespace {

QString PlayerProgram() {
  const QByteArray bin = qgetenv("LUMORA_BIN_DIR");
  return QString::fromLocal8Bit(bin) + "/LumoraDVD";
}

class InstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home_.isValid());
    ASSERT_TRUE(runtime_.isValid());
    QFile::setPermissions(runtime_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The installed skins sit beside the program; the player finds them there.
    report_ = home_.path() + "/report.jsonl";
  }

  void TearDown() override {
    if (first_.state() != QProcess::NotRunning) {
      first_.kill();
      first_.waitForFinished(5000);
    }
  }

  QProcessEnvironment Env() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("LUMORA_AUDIO", "null");
    env.insert("LUMORA_HOME", home_.path());
    env.insert("LUMORA_RUNTIME_DIR", runtime_.path());
    env.insert("LUMORA_TEST_REPORT", report_);
    // A path that cannot be played opens the open dialog; no answers means it is cancelled.
    env.insert("LUMORA_DIALOG_ANSWERS", home_.path() + "/no-dialog-answers");
    return env;
  }

  std::vector<QJsonObject> Events() const {
    std::vector<QJsonObject> out;
    QFile f(report_);
    if (!f.open(QIODevice::ReadOnly)) return out;
    for (const QByteArray& line : f.readAll().split('\n'))
      if (!line.trimmed().isEmpty()) out.push_back(QJsonDocument::fromJson(line).object());
    return out;
  }

  bool WaitForEvents(size_t count, int ms = 20000) {
    QElapsedTimer t;
    t.start();
    while (Events().size() < count && t.elapsed() < ms) {
      if (first_.state() == QProcess::NotRunning) break;
      QThread::msleep(25);
    }
    return Events().size() >= count;
  }

  // The first player, up once it has handled its own command line.
  void StartFirst(const QStringList& args = {}) {
    first_.setProcessEnvironment(Env());
    first_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    first_.start(PlayerProgram(), args);
    ASSERT_TRUE(first_.waitForStarted(10000));
    ASSERT_TRUE(WaitForEvents(1)) << "the first player did not come up";
    EXPECT_EQ(Events().front()["event"].toString(), "commandline");
  }

  int RunSecond(const QStringList& args) {
    QProcess second;
    second.setProcessEnvironment(Env());
    second.start(PlayerProgram(), args);
    EXPECT_TRUE(second.waitForFinished(20000));
    return second.exitCode();
  }

  QString HandOff() const { return home_.path() + "/OpenOtherFile.tmp"; }

  QTemporaryDir home_;
  QTemporaryDir runtime_;
  QString report_;
  QProcess first_;
};

constexpr int kSecondStartExit = 255;  // -1 as the shell sees it

TEST_F(InstanceTest, SecondStartHandsOverOnePathAndTheFirstPlayerTakesIt) {
  StartFirst();
  const QString disc = home_.path() + "/Film";
  QDir().mkpath(disc + "/video_ts");
  EXPECT_EQ(RunSecond({disc + "/video_ts/vts_01_0.ifo"}), kSecondStartExit);
  ASSERT_TRUE(WaitForEvents(2));
  const QJsonObject handoff = Events()[1];
  EXPECT_EQ(handoff["event"].toString(), "handoff");
  EXPECT_EQ(handoff["CurrentPlayPath"].toString(), disc + "/");
  EXPECT_FALSE(handoff["handOffExists"].toBool());
  EXPECT_FALSE(QFile::exists(HandOff()));
  EXPECT_EQ(first_.state(), QProcess::Running);
}

TEST_F(InstanceTest, TwoPathsOpenNothingAndNoArgumentsPostNothing) {
  StartFirst({"-pd", "x"});
  EXPECT_EQ(RunSecond({"/a/one.mp4", "/b/two.mp4"}), kSecondStartExit);
  ASSERT_TRUE(WaitForEvents(2));
  EXPECT_EQ(Events()[1]["event"].toString(), "handoff");
  EXPECT_EQ(Events()[1]["CurrentPlayPath"].toString(), "");
  EXPECT_EQ(Events()[1]["PlayState"].toInt(), 0);
  EXPECT_FALSE(QFile::exists(HandOff()));

  // Without arguments nothing is written or posted: the next event is the
  // one of the following start, not a second one from this.
  EXPECT_EQ(RunSecond({}), kSecondStartExit);
  EXPECT_FALSE(QFile::exists(HandOff()));
  EXPECT_EQ(RunSecond({"/c/three.mp4"}), kSecondStartExit);
  ASSERT_TRUE(WaitForEvents(3));
  const std::vector<QJsonObject> events = Events();
  ASSERT_EQ(events.size(), 3u);
  // One path: the player stopped and tried it; not being a file, it was dropped
  // rather than taken for a disc folder.
  EXPECT_EQ(events[2]["event"].toString(), "handoff");
  EXPECT_EQ(events[2]["PlayState"].toInt(), 2);
  EXPECT_EQ(events[2]["CurrentPlayPath"].toString(), "");
}

TEST_F(InstanceTest, TerminationSavesDefaultsAndKeepsForeignContent) {
  QFile ini(home_.path() + "/Option.ini");
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write("[Mine]\r\nkeep=yes\r\n[GenOption]\r\nMyOwn=1\r\n");
  ini.close();
  StartFirst();
  first_.terminate();  // SIGTERM
  ASSERT_TRUE(first_.waitForFinished(20000));
  EXPECT_EQ(first_.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(first_.exitCode(), 0);
  const std::string file = ini.fileName().toStdString();
  EXPECT_EQ(plat::GetPrivateProfileString("GenOption", "l_CurrentVolume", "", file), "70");
  EXPECT_EQ(plat::GetPrivateProfileString("GenOption", "l_Contrast", "", file), "10");
  EXPECT_EQ(plat::GetPrivateProfileString("GenOption", "AspectW", "", file), "640");
  EXPECT_EQ(plat::GetPrivateProfileString("GenOption", "MyOwn", "", file), "1");
  EXPECT_EQ(plat::GetPrivateProfileString("Mine", "keep", "", file), "yes");
  EXPECT_TRUE(QDir(home_.path() + "/Bookmark").exists());
  EXPECT_TRUE(QDir(home_.path() + "/Snapshot").exists());
}

TEST_F(InstanceTest, InterruptWithoutOptionFileWritesTheDefaults) {
  StartFirst();
  ::kill(static_cast<pid_t>(first_.processId()), SIGINT);
  ASSERT_TRUE(first_.waitForFinished(20000));
  EXPECT_EQ(first_.exitCode(), 0);
  const std::string file = (home_.path() + "/Option.ini").toStdString();
  EXPECT_EQ(plat::GetPrivateProfileString("GenOption", "l_CurrentVolume", "", file), "70");
  EXPECT_EQ(plat::GetPrivateProfileString("GenOption", "b_DisplayControlPanel", "", file), "0");
  EXPECT_EQ(plat::GetPrivateProfileString("GenOption", "d_AspectRatio", "", file), "1");
}

}  // namespace

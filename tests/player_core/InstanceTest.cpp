// Two real player processes: the second start hands its paths to the first.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <csignal>
#include <map>
#include <memory>
#include <set>

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

  // Posts message 1158 the way a second start does, without writing a file.
  int PostOpenOtherFile() {
    QProcess helper;
    helper.setProcessEnvironment(Env());
    helper.start(QString::fromLocal8Bit(qgetenv("LUMORA_BIN_DIR")) + "/platform_instance_helper",
                 {"post", "Lumora DVD Player Main Window", "1158", "0", "0"});
    EXPECT_TRUE(helper.waitForFinished(20000));
    return helper.exitCode();
  }

  void WriteOptions(const QByteArray& text) {
    QFile ini(home_.path() + "/Option.ini");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(text);
  }

  std::string Option(const char* key) const {
    return plat::GetPrivateProfileString("GenOption", key, "",
                                         (home_.path() + "/Option.ini").toStdString());
  }

  // Socket files left in the runtime folder (and a private folder inside it).
  int SocketsLeft(const QString& folder) const {
    int n = 0;
    QDirIterator it(folder, QDir::System | QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
      if (it.next().endsWith(".sock")) ++n;
    return n;
  }

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

// Many starts at once, as a file manager opening several selected files does:
// exactly one becomes the player, every other one hands its path to it and
// ends with -1, and the player acts on every one of those paths.
TEST_F(InstanceTest, SimultaneousStartsLeaveOnePlayerThatTakesEveryHandOff) {
  int round = 0;
  for (const int count : {8, 32, 8, 32}) {
    ++round;
    QFile::remove(report_);
    std::vector<std::unique_ptr<QProcess>> starts;
    std::map<QProcess*, QString> pathOf;
    for (int i = 0; i < count; ++i) {
      auto p = std::make_unique<QProcess>();
      p->setProcessEnvironment(Env());
      p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
      // No dot: a missing path keeps its name in CurrentPlayPath, so the report shows it.
      const QString path = QString("/nonexistent/round%1/clip%2").arg(round).arg(i);
      pathOf[p.get()] = path;
      starts.push_back(std::move(p));
    }
    for (auto& p : starts) p->start(PlayerProgram(), {pathOf[p.get()]});

    std::set<QString> handedOver;
    QProcess* survivor = nullptr;
    QElapsedTimer t;
    t.start();
    std::set<QProcess*> running;
    for (auto& p : starts) running.insert(p.get());
    while (running.size() > 1 && t.elapsed() < 90000) {
      for (auto it = running.begin(); it != running.end();) {
        if ((*it)->waitForFinished(5) || (*it)->state() == QProcess::NotRunning) {
          EXPECT_EQ((*it)->exitStatus(), QProcess::NormalExit);
          EXPECT_EQ((*it)->exitCode(), kSecondStartExit) << "round " << round;
          handedOver.insert(pathOf[*it]);
          it = running.erase(it);
        } else {
          ++it;
        }
      }
    }
    ASSERT_EQ(running.size(), 1u) << "round " << round << ": starts still running";
    survivor = *running.begin();
    // It stays: it is the player.
    EXPECT_FALSE(survivor->waitForFinished(300));

    // Every hand-off was taken before its start ended; the events are all there.
    std::vector<QJsonObject> events = Events();
    ASSERT_EQ(events.size(), static_cast<size_t>(count)) << "round " << round;
    EXPECT_EQ(events[0]["event"].toString(), "commandline");
    EXPECT_EQ(events[0]["CurrentPlayPath"].toString(), pathOf[survivor]);
    std::set<QString> taken;
    for (size_t i = 1; i < events.size(); ++i) {
      EXPECT_EQ(events[i]["event"].toString(), "handoff");
      taken.insert(events[i]["CurrentPlayPath"].toString());
    }
    EXPECT_EQ(taken, handedOver) << "round " << round;
    EXPECT_FALSE(QFile::exists(HandOff()));

    survivor->terminate();
    ASSERT_TRUE(survivor->waitForFinished(20000));
    EXPECT_EQ(survivor->exitCode(), 0);
    EXPECT_EQ(SocketsLeft(runtime_.path()), 0);
  }
}

// A link or a FIFO planted at the hand-off name: a second start replaces it
// with its own file, and the player reads neither through the link nor
// blocks on the FIFO.
TEST_F(InstanceTest, LinksAndFifosAtTheHandOffNameAreNeverFollowed) {
  const QString decoy = home_.path() + "/decoy.txt";
  {
    QFile f(decoy);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("/nonexistent/decoy-path\r\n");
  }
  ASSERT_EQ(::symlink(decoy.toLocal8Bit().constData(), HandOff().toLocal8Bit().constData()), 0);
  StartFirst({"-pd", "x"});

  // Written by a second start: the link is replaced, the decoy keeps its text.
  EXPECT_EQ(RunSecond({"/nonexistent/second"}), kSecondStartExit);
  ASSERT_TRUE(WaitForEvents(2));
  EXPECT_EQ(Events()[1]["event"].toString(), "handoff");
  EXPECT_EQ(Events()[1]["CurrentPlayPath"].toString(), "/nonexistent/second");
  auto decoyText = [&] {
    QFile f(decoy);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  };
  EXPECT_EQ(decoyText(), QByteArray("/nonexistent/decoy-path\r\n"));

  // Read by the player: a link to the decoy is unreadable, and is removed.
  ASSERT_EQ(::symlink(decoy.toLocal8Bit().constData(), HandOff().toLocal8Bit().constData()), 0);
  EXPECT_EQ(PostOpenOtherFile(), 0);
  ASSERT_TRUE(WaitForEvents(3));
  EXPECT_EQ(Events()[2]["event"].toString(), "handoff-unreadable");
  EXPECT_EQ(Events()[2]["CurrentPlayPath"].toString(), "/nonexistent/second");
  EXPECT_FALSE(QFileInfo(HandOff()).isSymLink());
  EXPECT_EQ(decoyText(), QByteArray("/nonexistent/decoy-path\r\n"));

  // A FIFO nobody writes to does not hold the player up.
  ASSERT_EQ(::mkfifo(HandOff().toLocal8Bit().constData(), 0600), 0);
  EXPECT_EQ(PostOpenOtherFile(), 0);
  ASSERT_TRUE(WaitForEvents(4));
  EXPECT_EQ(Events()[3]["event"].toString(), "handoff-unreadable");
  ASSERT_EQ(::mkfifo(HandOff().toLocal8Bit().constData(), 0600), 0);
  EXPECT_EQ(RunSecond({"/nonexistent/after-fifo"}), kSecondStartExit);
  ASSERT_TRUE(WaitForEvents(5));
  EXPECT_EQ(Events()[4]["CurrentPlayPath"].toString(), "/nonexistent/after-fifo");

  ASSERT_EQ(::mkfifo(HandOff().toLocal8Bit().constData(), 0600), 0);
  EXPECT_EQ(PostOpenOtherFile(), 0);
  first_.terminate();
  ASSERT_TRUE(first_.waitForFinished(20000));
  EXPECT_EQ(first_.exitCode(), 0);
}

// Every terminating signal during a start-up box ends the player at once, the
// ordinary way: the start sequence goes no further, and Option.ini names the
// skin the player fell back to, not the broken one.
TEST_F(InstanceTest, EachSignalDuringAStartUpBoxEndsThePlayerOnce) {
  const QString broken = home_.path() + "/Broken/";
  for (const int sig : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
    QFile::remove(report_);
    WriteOptions(
        ("[GenOption]\r\nl_CurrentVolume=33\r\nCurrentSkinPath=" + broken + "\r\n").toLocal8Bit());
    first_.setProcessEnvironment(Env());
    first_.start(PlayerProgram(), {"-pd", "x"});
    ASSERT_TRUE(first_.waitForStarted(10000));
    ASSERT_TRUE(WaitForEvents(1)) << "no start-up box for signal " << sig;
    EXPECT_EQ(Events()[0]["event"].toString(), "startup-box");
    ::kill(static_cast<pid_t>(first_.processId()), sig);
    ASSERT_TRUE(first_.waitForFinished(20000)) << "signal " << sig;
    EXPECT_EQ(first_.exitStatus(), QProcess::NormalExit) << "signal " << sig;
    EXPECT_EQ(first_.exitCode(), 0);
    // The command line was never acted on.
    EXPECT_EQ(Events().size(), 1u) << "signal " << sig;
    const std::string skin = Option("CurrentSkinPath");
    EXPECT_NE(skin, broken.toStdString());
    EXPECT_TRUE(QString::fromStdString(skin).endsWith("/Default/")) << skin;
    EXPECT_EQ(Option("l_CurrentVolume"), "33");
    EXPECT_EQ(SocketsLeft(runtime_.path()), 0) << "signal " << sig;
  }
}

// The same signals while a DVD plays from a folder whose path has dots above
// it: the disc opened, and each signal ends the player with the options saved.
TEST_F(InstanceTest, DvdUnderADottedFolderPlaysAndEachSignalEndsItCleanly) {
  const QString fixture = QString::fromLocal8Bit(qgetenv("LUMORA_FIXTURE_DIR")) + "/sample-dvd";
  if (!QFileInfo(fixture + "/VIDEO_TS").isDir()) GTEST_SKIP() << "sample DVD not built";
  const QString disc = home_.path() + "/j.smith/Films.2024/Disc";
  ASSERT_TRUE(QDir().mkpath(disc));
  ASSERT_TRUE(QFile::link(fixture + "/VIDEO_TS", disc + "/VIDEO_TS"));
  for (const int sig : {SIGTERM, SIGHUP, SIGQUIT, SIGINT}) {
    QFile::remove(report_);
    QFile::remove(home_.path() + "/Option.ini");
    first_.setProcessEnvironment(Env());
    first_.start(PlayerProgram(), {disc});
    ASSERT_TRUE(first_.waitForStarted(10000));
    ASSERT_TRUE(WaitForEvents(1));
    EXPECT_EQ(Events()[0]["PlayType"].toInt(), 1) << "not opened as a DVD";
    EXPECT_EQ(Events()[0]["PlayState"].toInt(), 1);
    EXPECT_EQ(Events()[0]["CurrentPlayPath"].toString(), disc);
    if (sig == SIGINT) {
      // A later start hands the same disc over; it is opened there too.
      EXPECT_EQ(RunSecond({disc + "/VIDEO_TS/VIDEO_TS.IFO"}), kSecondStartExit);
      ASSERT_TRUE(WaitForEvents(2));
      EXPECT_EQ(Events()[1]["PlayType"].toInt(), 1);
      EXPECT_EQ(Events()[1]["CurrentPlayPath"].toString(), disc + "/");
    }
    ::kill(static_cast<pid_t>(first_.processId()), sig);
    ASSERT_TRUE(first_.waitForFinished(20000)) << "signal " << sig;
    EXPECT_EQ(first_.exitStatus(), QProcess::NormalExit) << "signal " << sig;
    EXPECT_EQ(first_.exitCode(), 0);
    EXPECT_EQ(Option("l_CurrentVolume"), "70") << "signal " << sig;
    EXPECT_TRUE(QString::fromStdString(Option("CurrentSkinPath")).endsWith("/Default/"));
    EXPECT_EQ(SocketsLeft(runtime_.path()), 0) << "signal " << sig;
  }
}

// Qt's own switches are paths to the player like any other argument.
TEST_F(InstanceTest, QtSwitchesOnTheCommandLineAreTakenAsPaths) {
  StartFirst({"-platform", "x"});
  EXPECT_EQ(first_.state(), QProcess::Running);
  EXPECT_EQ(RunSecond({"-style"}), kSecondStartExit);
  ASSERT_TRUE(WaitForEvents(2));
  EXPECT_EQ(Events()[1]["event"].toString(), "handoff");
  EXPECT_EQ(Events()[1]["CurrentPlayPath"].toString(), "-style");
  EXPECT_EQ(RunSecond({"-style", "x"}), kSecondStartExit);
  ASSERT_TRUE(WaitForEvents(3));
  first_.terminate();
  ASSERT_TRUE(first_.waitForFinished(20000));

  QFile::remove(report_);
  StartFirst({"-style", "x"});
  EXPECT_EQ(first_.state(), QProcess::Running);
}

// A shared, sticky runtime folder keeps its mode; the player works in a
// private folder of its own inside it.
TEST_F(InstanceTest, SharedRuntimeFolderIsLeftAsItIs) {
  ASSERT_EQ(::chmod(runtime_.path().toLocal8Bit().constData(), 01777), 0);
  StartFirst();
  EXPECT_EQ(RunSecond({"/nonexistent/shared"}), kSecondStartExit);
  ASSERT_TRUE(WaitForEvents(2));
  EXPECT_EQ(Events()[1]["CurrentPlayPath"].toString(), "/nonexistent/shared");
  struct stat st;
  ASSERT_EQ(::stat(runtime_.path().toLocal8Bit().constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 01777u);
  const QString own = runtime_.path() + "/lumora-" + QString::number(::getuid());
  ASSERT_EQ(::stat(own.toLocal8Bit().constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0700u);
  EXPECT_EQ(SocketsLeft(own), 1);
}

// What a kill during an atomic save leaves is cleared at the next start;
// anything that is not such a temporary of the player's own files stays.
TEST_F(InstanceTest, StaleTemporariesOfOwnFilesAreRemovedAtStart) {
  const QStringList stale{"Option.ini.tmp0badf00d", "Option.ini.tmp12345678",
                          "OpenOtherFile.tmp.tmpabcdef01", "Bookmark/Disc.bmk.tmp00000000"};
  const QStringList kept{"Option.ini.tmp", "Option.ini.tmpXYZ45678", "Notes.txt.tmp12345678",
                         "Bookmark/Notes.txt.tmp12345678"};
  ASSERT_TRUE(QDir().mkpath(home_.path() + "/Bookmark"));
  for (const QString& name : stale + kept) {
    QFile f(home_.path() + "/" + name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    if (name.contains("0badf00d")) f.write("[GenOption]\r\n");
  }
  StartFirst();
  for (const QString& name : stale)
    EXPECT_FALSE(QFile::exists(home_.path() + "/" + name)) << name.toStdString();
  for (const QString& name : kept)
    EXPECT_TRUE(QFile::exists(home_.path() + "/" + name)) << name.toStdString();
}

struct Finished {
  int code;
  QString out;
  QString err;
};

// A start that is expected to end by itself, with what it printed.
Finished RunToEnd(const QProcessEnvironment& env, const QStringList& args) {
  QProcess p;
  p.setProcessEnvironment(env);
  p.start(PlayerProgram(), args);
  if (!p.waitForFinished(20000)) {
    p.kill();
    p.waitForFinished(5000);
    return {-1000, {}, {}};
  }
  return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
          QString::fromLocal8Bit(p.readAllStandardError())};
}

// --help, --version and unknown options are answered before any display or
// running player is looked for, and never reach a running player as paths.
TEST_F(InstanceTest, LongOptionsAreAnsweredAloneAndUnknownOnesRefused) {
  QProcessEnvironment bare = Env();
  bare.remove("QT_QPA_PLATFORM");
  bare.remove("DISPLAY");
  bare.remove("WAYLAND_DISPLAY");
  const Finished help = RunToEnd(bare, {"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_TRUE(help.out.startsWith("Usage: LumoraDVD")) << help.out.toStdString();
  EXPECT_TRUE(help.out.contains("dvd://"));
  EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();
  const Finished version = RunToEnd(bare, {"--version"});
  EXPECT_EQ(version.code, 0);
  EXPECT_TRUE(
      QRegularExpression("^LumoraDVD \\d+\\.\\d+(\\.\\d+)*\\n$").match(version.out).hasMatch())
      << version.out.toStdString();
  // The first of them decides, wherever it stands.
  EXPECT_TRUE(RunToEnd(bare, {"/a.mp4", "--version", "--help"}).out.startsWith("LumoraDVD "));
  const Finished unknown = RunToEnd(bare, {"/a.mp4", "--bogus"});
  EXPECT_EQ(unknown.code, 2);
  EXPECT_TRUE(unknown.out.isEmpty());
  EXPECT_TRUE(unknown.err.contains("'--bogus'")) << unknown.err.toStdString();
  EXPECT_TRUE(unknown.err.contains("--help"));
  EXPECT_EQ(RunToEnd(bare, {"--HELP"}).code, 2);  // exact, like the switches
  EXPECT_FALSE(QFile::exists(home_.path() + "/Option.ini")) << "a player was started";

  StartFirst();
  EXPECT_EQ(RunToEnd(Env(), {"--help"}).code, 0);
  EXPECT_EQ(RunToEnd(Env(), {"--nope"}).code, 2);
  EXPECT_EQ(RunToEnd(Env(), {"--version"}).code, 0);
  // After "--" an argument is a path even if it looks like an option.
  EXPECT_EQ(RunSecond({"--", "--not-an-option"}), kSecondStartExit);
  ASSERT_TRUE(WaitForEvents(2));
  const std::vector<QJsonObject> events = Events();
  ASSERT_EQ(events.size(), 2u) << "an option reached the running player";
  EXPECT_EQ(events[1]["event"].toString(), "handoff");
  EXPECT_EQ(events[1]["CurrentPlayPath"].toString(), "--not-an-option");
}

// The switches take their second argument as it stands, option-like or not.
TEST_F(InstanceTest, SwitchesKeepTheirSecondArgumentEvenWhenItLooksLikeAnOption) {
  StartFirst({"-pd", "--help"});
  EXPECT_EQ(Events()[0]["PlayState"].toInt(), 0);
  EXPECT_EQ(first_.state(), QProcess::Running);
  first_.terminate();
  ASSERT_TRUE(first_.waitForFinished(20000));
  QFile::remove(report_);
  StartFirst({"-pf", "--version"});
  EXPECT_EQ(Events()[0]["CurrentPlayPath"].toString(), "--version");
  EXPECT_EQ(first_.state(), QProcess::Running);
}

// An ISO image and dvd:// addresses open as a DVD, at a first start and
// handed over to a running player.
TEST_F(InstanceTest, IsoImagesAndDiscAddressesOpenAsDvds) {
  const QString fixtures = QString::fromLocal8Bit(qgetenv("LUMORA_FIXTURE_DIR"));
  if (!QFileInfo(fixtures + "/sample.iso").isFile() ||
      !QFileInfo(fixtures + "/sample-dvd/VIDEO_TS").isDir())
    GTEST_SKIP() << "sample DVD not built";
  const QString folder = home_.path() + "/My Films";
  ASSERT_TRUE(QDir().mkpath(folder + "/Disc"));
  ASSERT_TRUE(QFile::link(fixtures + "/sample-dvd/VIDEO_TS", folder + "/Disc/VIDEO_TS"));
  // The upper-case extension is an image all the same.
  const QString iso = folder + "/Sample.ISO";
  ASSERT_TRUE(QFile::copy(fixtures + "/sample.iso", iso));

  StartFirst({iso});
  EXPECT_EQ(Events()[0]["PlayType"].toInt(), 1) << "not opened as a DVD";
  EXPECT_EQ(Events()[0]["PlayState"].toInt(), 1);
  EXPECT_EQ(Events()[0]["CurrentPlayPath"].toString(), iso);

  const QString encoded = QString::fromLatin1(QUrl::toPercentEncoding(folder + "/Disc", "/"));
  ASSERT_TRUE(encoded.contains("%20"));
  EXPECT_EQ(RunSecond({"dvd://" + encoded + "/VIDEO_TS/"}), kSecondStartExit);
  ASSERT_TRUE(WaitForEvents(2));
  EXPECT_EQ(Events()[1]["event"].toString(), "handoff");
  EXPECT_EQ(Events()[1]["PlayType"].toInt(), 1);
  EXPECT_EQ(Events()[1]["PlayState"].toInt(), 1);
  EXPECT_EQ(Events()[1]["CurrentPlayPath"].toString().toStdString(),
            (folder + "/Disc").toStdString());

  EXPECT_EQ(RunSecond({"DVD://" + iso}), kSecondStartExit);
  ASSERT_TRUE(WaitForEvents(3));
  EXPECT_EQ(Events()[2]["PlayType"].toInt(), 1);
  EXPECT_EQ(Events()[2]["CurrentPlayPath"].toString(), iso);

  // An image that is no disc fails cleanly: the player stays up, stopped.
  const QString junk = home_.path() + "/junk.iso";
  QFile f(junk);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(QByteArray(70000, 'x'));
  f.close();
  EXPECT_EQ(RunSecond({junk}), kSecondStartExit);
  ASSERT_TRUE(WaitForEvents(4));
  EXPECT_EQ(Events()[3]["PlayState"].toInt(), 2);
  EXPECT_EQ(Events()[3]["PlayType"].toInt(), 0);
  EXPECT_EQ(first_.state(), QProcess::Running);
}

}  // namespace

// Going on where the user left off: the list file, and the round trip through the real engines
// for a file and for the sample DVD.
#include <QElapsedTimer>
#include <QFileInfo>

#include "PlayerTestSupport.h"
#include "navdisc/DvdInterfaces.h"
#include "platform/Profile.h"
#include "player/core/EngineApi.h"
#include "player/core/Resume.h"
#include "player/core/ResumeList.h"

namespace {

// A minute-long clip with sound, so a stop in its middle is worth remembering.
std::string LongClip() {
  return player_test::FixtureClip(
      "long-clip.mp4",
      "-f lavfi -i testsrc2=s=160x120:r=10:d=60 -f lavfi -i sine=f=440:d=60 -c:v libx264 "
      "-preset ultrafast -pix_fmt yuv420p -g 10 -c:a aac -shortest");
}

std::string ReadAll(const std::string& path) {
  QFile f(QString::fromStdString(path));
  return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

class ResumeTest : public player_test::PlayerFixture {
 protected:
  template <typename F>
  bool WaitFor(F done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) plat::PumpMessages(20);
    return done();
  }
  static double FilePosition() {
    double length = 0, position = 0;
    int32_t percent = 0;
    return GetPlayInfo(&length, &position, &percent) ? position : -1;
  }
  // Opens the clip the way the control panel does and waits until it can seek.
  void Open(const std::string& clip) {
    CurrentPlayPath = clip;
    PlayType = ptFile;
    ASSERT_TRUE(StartFile(clip));
  }
  void DisableResume() {
    plat::ProfileFile ini;
    ini.setPath(Home() + "Option.ini");
    ini.set("Resume", "Enabled", "0");
    ASSERT_TRUE(ini.save());
  }
  static double DvdSeconds() {
    navdisc::IDvdInfo2* info = DvdInfo();
    navdisc::DVD_DOMAIN domain{};
    navdisc::DVD_PLAYBACK_LOCATION2 at{};
    if (!info || info->GetCurrentDomain(&domain) < 0 || domain != navdisc::DVD_DOMAIN_Title ||
        info->GetCurrentLocation(&at) < 0)
      return -1;
    return at.TimeCode.bMinutes * 60.0 + at.TimeCode.bSeconds;
  }
  static uint32_t DvdTitle() {
    navdisc::DVD_PLAYBACK_LOCATION2 at{};
    navdisc::IDvdInfo2* info = DvdInfo();
    return info && info->GetCurrentLocation(&at) >= 0 ? at.TitleNum : 0;
  }
};

TEST(ResumeListTest, KeepsTheMostRecentFirstAndDropsTheOldest) {
  ResumeList list;
  for (int i = 0; i < 205; ++i) {
    const std::vector<std::string> dropped = list.Put("/films/" + std::to_string(i), 10 + i);
    if (i < 200) {
      EXPECT_TRUE(dropped.empty());
    } else {
      EXPECT_EQ(dropped, std::vector<std::string>{"/films/" + std::to_string(i - 200)});
    }
  }
  ASSERT_EQ(list.Entries().size(), ResumeList::kMaxEntries);
  EXPECT_EQ(list.Entries().front().key, "/films/204");
  // Putting an old entry again moves it to the front instead of repeating it.
  list.Put("/films/100", 42.5);
  EXPECT_EQ(list.Entries().size(), ResumeList::kMaxEntries);
  EXPECT_EQ(list.Entries().front().key, "/films/100");
  EXPECT_DOUBLE_EQ(list.Find("/films/100")->seconds, 42.5);
  // What a line-based file cannot hold is refused, not stored broken.
  EXPECT_TRUE(list.Put("/films/a\nb", 10).empty());
  EXPECT_EQ(list.Find("/films/a\nb"), nullptr);
  list.Put("/films/nan", std::nan(""));
  list.Put("/films/negative", -3);
  EXPECT_EQ(list.Find("/films/nan"), nullptr);
  EXPECT_EQ(list.Find("/films/negative"), nullptr);

  QTemporaryDir dir;
  const std::string path = dir.path().toStdString() + "/Resume.lst";
  ASSERT_TRUE(list.Save(path));
  ResumeList back;
  back.Load(path);
  ASSERT_EQ(back.Entries().size(), list.Entries().size());
  EXPECT_EQ(back.Entries().front().key, "/films/100");
  EXPECT_DOUBLE_EQ(back.Entries().front().seconds, 42.5);
  EXPECT_EQ(back.Entries().back().key, list.Entries().back().key);
}

TEST(ResumeListTest, DamagedFilesKeepOnlyWhatStillMakesSense) {
  QTemporaryDir dir;
  const std::string path = dir.path().toStdString() + "/Resume.lst";
  auto write = [&](const QByteArray& bytes) {
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
  };
  ResumeList list;
  write(QByteArray("\x00\xff\x13garbage\r\n12\t/a\r\n", 18));
  list.Load(path);
  EXPECT_TRUE(list.Entries().empty()) << "not one of ours";

  // A truncated last line, a bad number, an absurd position and a duplicate are dropped.
  write(
      "LumoraDVD resume 1\r\n12.5\t/a.mkv\r\nxx\t/b.mkv\r\n1e300\t/c.mkv\r\n9\t/a.mkv\r\n"
      "\t/d.mkv\r\n30\t/e.mkv\r\n4");
  list.Load(path);
  ASSERT_EQ(list.Entries().size(), 2u);
  EXPECT_DOUBLE_EQ(list.Find("/a.mkv")->seconds, 12.5);
  EXPECT_DOUBLE_EQ(list.Find("/e.mkv")->seconds, 30);

  write("");
  list.Load(path);
  EXPECT_TRUE(list.Entries().empty());
  list.Load(path + ".missing");
  EXPECT_TRUE(list.Entries().empty());
}

TEST(ResumeListTest, OnlyTheMiddleIsWorthComingBackTo) {
  EXPECT_FALSE(WorthResuming(2, 3600));  // just begun
  EXPECT_TRUE(WorthResuming(5, 3600));
  EXPECT_TRUE(WorthResuming(3590, 3600));
  EXPECT_FALSE(WorthResuming(3595, 3600));  // in the last seconds
  EXPECT_TRUE(WorthResuming(6, 12));        // short pieces shrink the margins
  EXPECT_FALSE(WorthResuming(11.5, 12));
  EXPECT_FALSE(WorthResuming(0, 12));
  EXPECT_FALSE(WorthResuming(10, 0));  // a stream of unknown length
  EXPECT_FALSE(WorthResuming(std::nan(""), 100));
}

TEST_F(ResumeTest, AFileGoesOnWhereItWasClosedAndForgetsOnceFinished) {
  const std::string clip = LongClip();
  ASSERT_FALSE(clip.empty()) << "ffmpeg could not make the long clip";
  Open(clip);
  ASSERT_TRUE(WaitFor([] { return b_CurrentPlaySupportSeek; }, 10000));
  ASSERT_TRUE(SeekSeconds(30));
  ASSERT_TRUE(WaitFor([] { return FilePosition() >= 30; }, 10000));
  ClosePlayback();
  ResumeList saved;
  saved.Load(ResumeFilePath());
  ASSERT_NE(saved.Find(clip), nullptr) << ReadAll(ResumeFilePath());
  EXPECT_NEAR(saved.Find(clip)->seconds, 30, 2);

  // The next opening starts there and says so.
  Open(clip);
  EXPECT_GE(FilePosition(), 29);
  EXPECT_TRUE(WaitFor(
      [] { return FT_LumoraDVD_MainForm->s_LastStatus.rfind("Resume 0:00:3", 0) == 0; }, 5000))
      << FT_LumoraDVD_MainForm->s_LastStatus;
  EXPECT_TRUE(WaitFor([] { return FilePosition() >= 31; }, 10000)) << "plays on from there";

  // Closed in its last seconds: the film was seen, the next opening starts afresh.
  ASSERT_TRUE(SeekSeconds(58));
  ASSERT_TRUE(WaitFor([] { return FilePosition() >= 58 || PlayState == psStopped; }, 10000));
  ClosePlayback();
  saved.Load(ResumeFilePath());
  EXPECT_EQ(saved.Find(clip), nullptr);
  Open(clip);
  EXPECT_LT(FilePosition(), 5);
}

TEST_F(ResumeTest, ADamagedListIsRebuiltAndTheSwitchTurnsItOff) {
  const std::string clip = LongClip();
  ASSERT_FALSE(clip.empty());
  {
    QFile f(QString::fromStdString(ResumeFilePath()));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(300, '\xee'));
  }
  Open(clip);
  EXPECT_LT(FilePosition(), 5);
  ASSERT_TRUE(WaitFor([] { return b_CurrentPlaySupportSeek; }, 10000));
  ASSERT_TRUE(SeekSeconds(20));
  ASSERT_TRUE(WaitFor([] { return FilePosition() >= 20; }, 10000));
  ClosePlayback();
  EXPECT_EQ(ReadAll(ResumeFilePath()).rfind("LumoraDVD resume 1\r\n", 0), 0u);
  ResumeList saved;
  saved.Load(ResumeFilePath());
  ASSERT_NE(saved.Find(clip), nullptr);

  // Switched off: the remembered place is not used and nothing new is written.
  DisableResume();
  const std::string before = ReadAll(ResumeFilePath());
  Open(clip);
  EXPECT_LT(FilePosition(), 5);
  ASSERT_TRUE(SeekSeconds(40));
  ASSERT_TRUE(WaitFor([] { return FilePosition() >= 40; }, 10000));
  ClosePlayback();
  EXPECT_EQ(ReadAll(ResumeFilePath()), before);
}

TEST_F(ResumeTest, TheMainWindowClosingKeepsThePlace) {
  const std::string clip = LongClip();
  ASSERT_FALSE(clip.empty());
  Open(clip);
  ASSERT_TRUE(WaitFor([] { return b_CurrentPlaySupportSeek; }, 10000));
  ASSERT_TRUE(SeekSeconds(25));
  ASSERT_TRUE(WaitFor([] { return FilePosition() >= 25; }, 10000));
  FT_LumoraDVD_MainForm->FormClose();
  ResumeList saved;
  saved.Load(ResumeFilePath());
  ASSERT_NE(saved.Find(clip), nullptr);
  EXPECT_NEAR(saved.Find(clip)->seconds, 25, 2);
}

TEST_F(ResumeTest, ADiscGoesOnInTheTitleItWasLeftIn) {
  const char* fixtures = std::getenv("LUMORA_FIXTURE_DIR");
  const std::string disc = std::string(fixtures ? fixtures : "") + "/sample-dvd/";
  if (!fixtures || !QFileInfo(QString::fromStdString(disc + "VIDEO_TS")).isDir())
    GTEST_SKIP() << "sample DVD not built";
  CurrentPlayPath = disc;
  ASSERT_TRUE(StartDVD(disc));
  ASSERT_TRUE(JumpDVDTitle(2));
  ASSERT_TRUE(WaitFor([] { return DvdTitle() == 2 && DvdSeconds() >= 0; }, 10000));
  ASSERT_TRUE(SeekSeconds(5));
  ASSERT_TRUE(WaitFor([] { return DvdSeconds() >= 5; }, 10000));
  ClosePlayback();
  ResumeList saved;
  saved.Load(ResumeFilePath());
  ASSERT_EQ(saved.Entries().size(), 1u) << ReadAll(ResumeFilePath());
  const std::string key = saved.Entries().front().key;
  EXPECT_EQ(key, DiscResumeKey(disc));
  EXPECT_EQ(key.rfind("dvd:DVD_DISC:", 0), 0u);
  EXPECT_FALSE(
      QDir(QString::fromStdString(Home() + "Resume")).entryList({"*.bmk"}, QDir::Files).isEmpty());

  // Opened again, the disc skips its menu and goes on in title 2 where it was.
  CurrentPlayPath = disc;
  ASSERT_TRUE(StartDVD(disc));
  EXPECT_TRUE(WaitFor([] { return DvdTitle() == 2 && DvdSeconds() >= 5; }, 10000))
      << "title " << DvdTitle() << " at " << DvdSeconds();
  EXPECT_TRUE(WaitFor(
      [] { return FT_LumoraDVD_MainForm->s_LastStatus.rfind("Resume 0:00:0", 0) == 0; }, 5000))
      << FT_LumoraDVD_MainForm->s_LastStatus;
}

}  // namespace

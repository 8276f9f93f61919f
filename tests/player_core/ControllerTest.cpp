// The playback controller with the real engines: unit conversions, guards,
// and the transport state through open, pause, drag and close.
#include <QFileInfo>

#include "PlayerTestSupport.h"
#include "platform/Mixer.h"
#include "player/widgets/TLabel.h"

using player_test::PlayerFixture;

TEST(EngineUnits, VolumeBalanceAndLineInLevels) {
  EXPECT_EQ(VolumeToEngine(100), 0);
  EXPECT_EQ(VolumeToEngine(99), -100);
  EXPECT_EQ(VolumeToEngine(1), -5000);
  EXPECT_EQ(VolumeToEngine(0), -5000);
  EXPECT_EQ(VolumeToEngine(70), -1500);
  EXPECT_EQ(BalanceToEngine(-50), -10000);
  EXPECT_EQ(BalanceToEngine(50), 10000);
  EXPECT_EQ(BalanceToEngine(0), 0);
  EXPECT_EQ(VolumeToLineIn(100), 65535);
  EXPECT_EQ(VolumeToLineIn(37), 23592);
  EXPECT_EQ(VolumeToLineIn(1), 0);
  EXPECT_EQ(VolumeToLineIn(2), 1310);
}

class ControllerTest : public PlayerFixture {
 protected:
  void SetUp() override {
    PlayerFixture::SetUp();
    FT_LumoraDVD_MainForm->resize(640, 480);
    FT_LumoraDVD_MainForm->show();
    plat::PumpMessages();
  }
  // Opens the sample clip the way the control panel does.
  void OpenClip() {
    clip_ = player_test::SmallClip();
    ASSERT_FALSE(clip_.empty()) << "ffmpeg could not make the sample clip";
    PlayType = ptFile;
    ASSERT_TRUE(StartFile(clip_));
  }
  std::string clip_;
};

TEST_F(ControllerTest, WithNothingOpenCommandsRefuseOrDoNothing) {
  EXPECT_FALSE(PausePlayback());  // idle
  EXPECT_EQ(PlayState, psIdle);
  EXPECT_FALSE(ResumePlayback());
  EXPECT_FALSE(StepFrame());
  EXPECT_FALSE(SetPlaybackRate(2.0));
  EXPECT_FALSE(SeekSeconds(10));
  EXPECT_TRUE(SeekPercent(40));
  int32_t w = -1, h = -1;
  EXPECT_FALSE(GetVideoSize(w, h));
  EXPECT_EQ(TakeSnapshot(), nullptr);
  // The values are kept even though no engine takes them.
  EXPECT_FALSE(SetVolumeAndBalance(33, -7));
  EXPECT_EQ(l_CurrentVolume, 33);
  EXPECT_EQ(l_CurrentBalance, -7);
  EXPECT_TRUE(ClosePlayback());
  EXPECT_EQ(PlayState, psStopped);
  EXPECT_EQ(PlayType, ptNone);
  EXPECT_FALSE(PausePlayback());  // stopped
}

TEST_F(ControllerTest, MissingFileChangesNoState) {
  PlayType = ptFile;
  EXPECT_FALSE(StartFile(Home() + "nothing-here.mp4"));
  EXPECT_FALSE(StartFile(""));
  EXPECT_EQ(PlayType, ptFile);
  EXPECT_EQ(PlayState, psIdle);
  EXPECT_EQ(CurrentPlayPath, "");
}

TEST_F(ControllerTest, AFileThatIsNotMediaEndsStopped) {
  const std::string junk = Home() + "junk.avi";
  QFile f(QString::fromStdString(junk));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(QByteArray(4096, 'j'));
  f.close();
  PlayType = ptFile;
  EXPECT_FALSE(StartFile(junk));
  EXPECT_EQ(PlayType, ptNone);
  EXPECT_EQ(PlayState, psStopped);
}

TEST_F(ControllerTest, GuardedOperationsRefuseASecondEntry) {
  ControllerState& s = PlayControllerState();
  const std::string clip = player_test::SmallClip();
  ASSERT_FALSE(clip.empty());
  PlayType = ptFile;
  s.b_InOpenFile = true;
  EXPECT_FALSE(StartFile(clip));
  EXPECT_EQ(PlayState, psIdle);
  EXPECT_TRUE(s.b_InOpenFile);  // the refused call leaves the owner's flag alone
  s.b_InOpenFile = false;
  s.b_InOpenDVD = true;
  EXPECT_FALSE(StartDVD(Home()));
  s.b_InOpenDVD = false;
  s.b_InOpenTV = true;
  EXPECT_FALSE(StartTV());
  s.b_InOpenTV = false;
  EXPECT_EQ(PlayState, psIdle);

  PlayType = ptFile;
  ASSERT_TRUE(StartFile(clip));
  s.b_InPause = true;
  EXPECT_FALSE(PausePlayback());
  EXPECT_EQ(PlayState, psPlaying);
  s.b_InPause = false;
  ASSERT_TRUE(PausePlayback());
  s.b_InStep = true;
  EXPECT_FALSE(StepFrame());
  s.b_InStep = false;
  s.b_InResume = true;
  EXPECT_FALSE(ResumePlayback());
  EXPECT_EQ(PlayState, psPaused);
  s.b_InResume = false;

  // A bar notification arriving during another is ignored.
  s.b_InPositionBarChange = true;
  OnPositionBarChange(nullptr, 10, false);
  EXPECT_EQ(PlayState, psPaused);
  EXPECT_TRUE(s.b_InPositionBarChange);
  s.b_InPositionBarChange = false;
  s.b_InVolumeBarChange = true;
  l_CurrentVolume = 12;
  OnVolumeBarChange(nullptr, 80, true);
  EXPECT_EQ(l_CurrentVolume, 12);
  s.b_InVolumeBarChange = false;
  OnVolumeBarChange(nullptr, 80, true);
  EXPECT_EQ(l_CurrentVolume, 80);
}

TEST_F(ControllerTest, FileOpensPausesStepsResumesAndCloses) {
  OpenClip();
  EXPECT_EQ(PlayState, psPlaying);
  EXPECT_EQ(PlayType, ptFile);
  EXPECT_EQ(CurrentPlayPath, clip_);
  TLabel* label = FT_LumoraDVD_MainForm->Label_CurrentPlayFileName;
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->Caption().toStdString(), "* *   clip.mp4   * *" + std::string(15, ' '));
  EXPECT_EQ(label->Hint().toStdString(), clip_);
  EXPECT_FALSE(label->AutoSize());

  int32_t w = 0, h = 0;
  ASSERT_TRUE(GetVideoSize(w, h));
  EXPECT_EQ(w, 320);
  EXPECT_EQ(h, 240);
  EXPECT_TRUE(b_CurrentPlaySupportSeek);

  EXPECT_TRUE(PausePlayback());
  EXPECT_EQ(PlayState, psPaused);
  EXPECT_TRUE(PausePlayback());  // already paused
  EXPECT_TRUE(StepFrame());
  EXPECT_EQ(PlayState, psPaused);
  EXPECT_FALSE(SetPlaybackRate(2.0));  // only while playing
  EXPECT_TRUE(ResumePlayback());
  EXPECT_EQ(PlayState, psPlaying);
  EXPECT_FALSE(ResumePlayback());  // only a pause can be resumed
  EXPECT_TRUE(SetPlaybackRate(2.0));
  EXPECT_TRUE(SeekSeconds(2));
  EXPECT_TRUE(SetVolumeAndBalance(50, 10));

  EXPECT_TRUE(ClosePlayback());
  EXPECT_EQ(PlayState, psStopped);
  EXPECT_EQ(PlayType, ptNone);
  EXPECT_FALSE(GetVideoSize(w, h));
}

TEST_F(ControllerTest, SnapshotComesBackAsABitmapAndTheTemporaryFileGoes) {
  CurrentSnapshotPath = Home();
  OpenClip();
  plat::PumpMessages(400);  // let the first frames arrive
  std::unique_ptr<QImage> shot = TakeSnapshot();
  ASSERT_NE(shot, nullptr);
  EXPECT_EQ(shot->size(), QSize(320, 240));
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Home() + "tps")));
}

TEST_F(ControllerTest, DraggingAPlayingFilePausesAndResumesAtRelease) {
  OpenClip();
  OnPositionBarChange(nullptr, 30, true);
  EXPECT_EQ(PlayState, psPaused);
  EXPECT_EQ(LastPlayState, psPlaying);
  EXPECT_TRUE(PlayControllerState().b_PositionDragHeld);
  OnPositionBarChange(nullptr, 60, true);  // still dragging: still the first saved state
  EXPECT_EQ(LastPlayState, psPlaying);
  OnPositionBarChange(nullptr, 60, false);
  EXPECT_EQ(PlayState, psPlaying);
  EXPECT_FALSE(PlayControllerState().b_PositionDragHeld);
  EXPECT_FALSE(PlayControllerState().b_InPositionBarChange);
}

TEST_F(ControllerTest, DraggingAPausedFileLeavesItPaused) {
  OpenClip();
  ASSERT_TRUE(PausePlayback());
  OnPositionBarChange(nullptr, 30, true);
  EXPECT_EQ(LastPlayState, psPaused);
  OnPositionBarChange(nullptr, 30, false);
  EXPECT_EQ(PlayState, psPaused);
  // A position report while playing changes nothing.
  ASSERT_TRUE(ResumePlayback());
  OnPositionBarChange(nullptr, 80, false);
  EXPECT_EQ(PlayState, psPlaying);
}

TEST_F(ControllerTest, TelevisionUsesTheLineInMixerAndCannotStepOrSnapshot) {
  qputenv("LUMORA_TV", "sim:2,5,9");
  std::vector<int> levels;
  plat::SetMixerDouble(
      [&](int level) {
        levels.push_back(level);
        return true;
      },
      [] { return 0; });
  CurrentSnapshotPath = Home();
  l_CurrentVolume = 100;
  const bool started = StartTV();
  qunsetenv("LUMORA_TV");
  ASSERT_TRUE(started);
  EXPECT_EQ(PlayType, ptTV);
  EXPECT_EQ(PlayState, psPlaying);
  ASSERT_FALSE(levels.empty());
  EXPECT_EQ(levels.back(), 65535);
  EXPECT_TRUE(SetVolumeAndBalance(37, 20));
  EXPECT_EQ(levels.back(), 23592);
  EXPECT_TRUE(SeekPercent(50));
  EXPECT_FALSE(SeekSeconds(5));
  EXPECT_FALSE(SetPlaybackRate(2.0));
  EXPECT_EQ(TakeSnapshot(), nullptr);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Home() + "tps")));
  ASSERT_TRUE(PausePlayback());
  EXPECT_FALSE(StepFrame());
  ClosePlayback();
  plat::SetMixerDouble({}, {});
}

TEST_F(ControllerTest, DvdFolderOpensAndAnEmptyPathFailsStopped) {
  EXPECT_FALSE(StartDVD(Home()));  // a folder without VIDEO_TS
  EXPECT_EQ(PlayType, ptNone);
  EXPECT_EQ(PlayState, psStopped);

  const char* fixtures = std::getenv("LUMORA_FIXTURE_DIR");
  const std::string disc = std::string(fixtures ? fixtures : "") + "/sample-dvd/";
  if (!fixtures || !QFileInfo(QString::fromStdString(disc + "VIDEO_TS")).isDir())
    GTEST_SKIP() << "sample DVD not built";
  ASSERT_TRUE(StartDVD(disc));
  EXPECT_EQ(PlayType, ptDVD);
  EXPECT_EQ(PlayState, psPlaying);
  EXPECT_EQ(CurrentPlayPath, disc);
  EXPECT_TRUE(b_CurrentPlaySupportSeek);
  // The picture's attributes are known once the navigator has started.
  int32_t w = 0, h = 0;
  for (int i = 0; i < 100 && !GetVideoSize(w, h); ++i) plat::PumpMessages(50);
  EXPECT_GT(h, 0);
  EXPECT_TRUE(PausePlayback());
  EXPECT_TRUE(ResumePlayback());
  ClosePlayback();
  EXPECT_EQ(PlayType, ptNone);
}

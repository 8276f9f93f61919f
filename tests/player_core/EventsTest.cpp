// Engine events as the main window handles them, and its message dispatch.
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSignalSpy>

#include "PlayerTestSupport.h"
#include "player/core/EngineApi.h"
#include "player/core/Ft_lumoradvdmain.h"
#include "player/library/TFT_PlayList.h"
#include "player/settings/Ft_lumoradvdsetupform.h"
#include "player/skin/controls/Ftimagebutton.h"

using player_test::PlayerFixture;

namespace {
constexpr int32_t kDomainChange = navdisc::EC_DVD_DOMAIN_CHANGE,
                  kTitleChange = navdisc::EC_DVD_TITLE_CHANGE,
                  kChapterStart = navdisc::EC_DVD_CHAPTER_START, kDvdError = navdisc::EC_DVD_ERROR,
                  kDiscEjected = navdisc::EC_DVD_DISC_EJECTED,
                  kHmsfTime = navdisc::EC_DVD_CURRENT_HMSF_TIME;

int32_t Hmsf(int h, int m, int s, int frames = 0) {
  return h | (m << 8) | (s << 16) | (frames << 24);
}

QImage Solid(int w, int h, QRgb c) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(c);
  return img;
}
}  // namespace

class EventsTest : public PlayerFixture {
 protected:
  void SetUp() override {
    PlayerFixture::SetUp();
    main_ = FT_LumoraDVD_MainForm;
    panel_ = FT_LumoraDVD_OperationForm;
    main_->resize(640, 480);
    main_->show();
  }
  // A position bar with pictures, so it holds values.
  TFT_ProgressBar* UsableBar() {
    bar_ = std::make_unique<TFT_ProgressBar>(panel_);
    bar_->SetThumbImages(Solid(8, 12, 0xffcccccc), QImage(), QImage());
    bar_->SetTrackImages(Solid(200, 10, 0xff333333), Solid(200, 10, 0xff00aa00),
                         Solid(8, 10, 0xffffffff), 6, 0, 194, 10);
    savedBar_ = panel_->ProgressBar;
    panel_->ProgressBar = bar_.get();
    return bar_.get();
  }
  void TearDown() override {
    if (bar_) panel_->ProgressBar = savedBar_;
    bar_.reset();
    PlayerFixture::TearDown();
  }
  // Runs the message loop until the condition holds or the time is up.
  template <typename F>
  bool WaitFor(F done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) plat::PumpMessages(20);
    return done();
  }
  std::string CopyOfClip(const std::string& name) {
    const std::string src = player_test::SmallClip();
    const std::string dst = Home() + name;
    QFile::copy(QString::fromStdString(src), QString::fromStdString(dst));
    return dst;
  }

  TFT_LumoraDVD_MainForm* main_ = nullptr;
  TFT_LumoraDVD_OperationForm* panel_ = nullptr;
  std::unique_ptr<TFT_ProgressBar> bar_;
  TFT_ProgressBar* savedBar_ = nullptr;
};

TEST_F(EventsTest, DomainChangeRestoresNormalSpeedAndSaysSoOnlyWhenItWasNot) {
  i_CurrentPlaybackRateIndex = 3;
  main_->ProcessDVDEvent(kDomainChange, 4, 0);
  EXPECT_EQ(i_CurrentPlaybackRateIndex, 2);
  EXPECT_EQ(main_->s_LastStatus, "Play");
  main_->s_LastStatus.clear();
  main_->ProcessDVDEvent(kDomainChange, 3, 0);
  EXPECT_EQ(i_CurrentPlaybackRateIndex, 2);
  EXPECT_EQ(main_->s_LastStatus, "");
}

TEST_F(EventsTest, DomainDecidesWhetherPositionAndChapterControlsWork) {
  TFT_ProgressBar* bar = UsableBar();
  main_->ProcessDVDEvent(kDomainChange, 3, 0);  // a menu
  EXPECT_FALSE(bar->isEnabled());
  main_->ProcessDVDEvent(kDomainChange, 4, 0);  // a title
  EXPECT_TRUE(bar->isEnabled());
}

TEST_F(EventsTest, TitleAndChapterEventsKeepThePositionFields) {
  main_->ProcessDVDEvent(kTitleChange, 3, 7200);
  EXPECT_EQ(main_->i_CurrentTitle, 3);
  EXPECT_EQ(main_->i_TitleSeconds, 7200);
  EXPECT_TRUE(main_->b_RefitOnChapter);
  main_->ProcessDVDEvent(kChapterStart, 2, 7100);
  EXPECT_EQ(main_->i_CurrentChapter, 2);
  EXPECT_EQ(main_->i_TitleSeconds, 7100);
  EXPECT_FALSE(main_->b_RefitOnChapter);
}

TEST_F(EventsTest, TimeEventsShowTheTimeAndThePositionOnceTheLengthIsKnown) {
  TFT_ProgressBar* bar = UsableBar();
  main_->i_TitleSeconds = 0;
  main_->ProcessDVDEvent(kHmsfTime, Hmsf(0, 2, 5, 17), 0);
  EXPECT_EQ(panel_->i_CurrentSeconds, 125);
  EXPECT_FLOAT_EQ(bar->GetPositionF(), 0.0f);

  main_->ProcessDVDEvent(kTitleChange, 1, 7200);
  main_->ProcessDVDEvent(kHmsfTime, Hmsf(1, 0, 0), 0);
  EXPECT_EQ(panel_->i_CurrentSeconds, 3600);
  EXPECT_NEAR(bar->GetPositionF(), 50.0f, 1.0f);
}

TEST_F(EventsTest, DvdErrorAndEjectStopWithTheDisplaysReset) {
  for (int32_t code : {kDvdError, kDiscEjected}) {
    b_NoVideo = false;
    main_->i_CurrentTitle = 4;
    main_->s_LastStatus.clear();
    main_->ProcessDVDEvent(code, 0, 0);
    EXPECT_EQ(PlayState, psStopped);
    EXPECT_EQ(PlayType, ptNone);
    EXPECT_TRUE(b_NoVideo);
    EXPECT_EQ(main_->i_CurrentTitle, 0);
    EXPECT_EQ(main_->s_LastStatus, "Stop");
  }
  main_->s_LastStatus.clear();
  main_->ProcessDVDEvent(0x999, 1, 2);  // unknown codes do nothing
  EXPECT_EQ(main_->s_LastStatus, "");
}

TEST_F(EventsTest, EndOfAPlayListItemStartsTheNextAndTheLastOneStops) {
  const std::string first = CopyOfClip("one.mp4");
  const std::string second = CopyOfClip("two.mp4");
  ASSERT_TRUE(FT_LumoraDVD_SubForm->AddToPlayList(first, ""));
  ASSERT_TRUE(FT_LumoraDVD_SubForm->AddToPlayList(second, ""));
  ASSERT_TRUE(panel_->PlayPlayListItem());
  EXPECT_EQ(PlayType, ptPlayList);
  EXPECT_EQ(CurrentPlayPath, first);
  main_->ProcessMediaEvent(1);
  EXPECT_EQ(PlayState, psPlaying);
  EXPECT_EQ(PlayType, ptPlayList);
  EXPECT_EQ(CurrentPlayPath, second);
  main_->ProcessMediaEvent(1);
  EXPECT_EQ(PlayState, psStopped);
  EXPECT_EQ(PlayType, ptNone);
}

TEST_F(EventsTest, ASingleFileThatEndsStopsThePlayer) {
  PlayType = ptFile;
  ASSERT_TRUE(StartFile(player_test::SmallClip()));
  main_->ProcessMediaEvent(2);  // not ours
  EXPECT_EQ(PlayState, psPlaying);
  // The clip plays to its end; the engine's message reaches the main window.
  EXPECT_TRUE(WaitFor([] { return PlayState == psStopped; }, 15000));
  EXPECT_EQ(PlayType, ptNone);
  EXPECT_EQ(main_->s_LastStatus, "Stop");
}

TEST_F(EventsTest, ErrorAbortStops) {
  PlayType = ptFile;
  ASSERT_TRUE(StartFile(player_test::SmallClip()));
  main_->ProcessMediaEvent(3);
  EXPECT_EQ(PlayState, psStopped);
}

TEST_F(EventsTest, DispatchRoutesOwnMessagesAndDropsScanProgressWithoutADialog) {
  const HWND h = main_->Handle();
  ASSERT_NE(h, 0u);
  LRESULT r = 0;
  EXPECT_TRUE(main_->DispatchMessage(WM_TV_SCAN_PROGRESS, 1, 5, r));
  EXPECT_FALSE(main_->DispatchMessage(WM_USER + 1, 0, 0, r));

  auto* setup = new TFT_LumoraDVD_SetupForm();
  QSignalSpy spy(setup, &TFT_LumoraDVD_SetupForm::ScanProgress);
  ASSERT_TRUE(plat::PostMessage(h, WM_TV_SCAN_PROGRESS, 1, 7));
  ASSERT_TRUE(plat::PostMessage(h, WM_TV_SCAN_PROGRESS, 0, 1));
  plat::PumpMessages(50);
  ASSERT_EQ(spy.count(), 2);
  EXPECT_EQ(spy.at(0).at(1).toLongLong(), 7);
  EXPECT_EQ(spy.at(1).at(0).toULongLong(), 0u);
  delete setup;
  EXPECT_EQ(FT_LumoraDVD_SetupForm, nullptr);

  // The hand-off message reads the file the second start wrote.
  CurrentPlayPath = "before";
  ASSERT_TRUE(WriteHandOffFile(Home() + "OpenOtherFile.tmp", {"/x/VIDEO_TS/VIDEO_TS.IFO"}));
  ASSERT_TRUE(plat::PostMessage(h, WM_OPEN_OTHER_FILE, 0, 0));
  plat::PumpMessages(50);
  EXPECT_EQ(CurrentPlayPath, "/x/");
}

TEST_F(EventsTest, DvdEventsReachTheWindowsThroughTheMessageLoop) {
  const char* fixtures = std::getenv("LUMORA_FIXTURE_DIR");
  const std::string disc = std::string(fixtures ? fixtures : "") + "/sample-dvd/";
  if (!fixtures || !QFileInfo(QString::fromStdString(disc + "VIDEO_TS")).isDir())
    GTEST_SKIP() << "sample DVD not built";
  i_CurrentPlaybackRateIndex = 5;
  ASSERT_TRUE(StartDVD(disc));
  // The disc starts in its menu: the domain change resets the rate.
  EXPECT_TRUE(WaitFor([] { return i_CurrentPlaybackRateIndex == 2; }, 10000));
  ASSERT_TRUE(JumpDVDTitle(1));
  EXPECT_TRUE(WaitFor([this] { return main_->i_CurrentTitle == 1; }, 10000));
  EXPECT_EQ(main_->i_TitleSeconds, 12);
  EXPECT_EQ(panel_->i_ChapterCount, 3);
  EXPECT_TRUE(WaitFor([this] { return panel_->i_CurrentSeconds >= 1; }, 10000));
  // Title 1 is 16:9 at 576 lines.
  int32_t w = 0, h = 0;
  ASSERT_TRUE(GetVideoSize(w, h));
  EXPECT_EQ(h, 576);
  EXPECT_EQ(w, 1024);
  ClosePlayback();
  // Messages the dead graph left behind find nothing to do.
  plat::PumpMessages(100);
  EXPECT_EQ(PlayType, ptNone);
}

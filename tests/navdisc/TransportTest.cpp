// Transport, positioning, angles and the menu toggle, against a navigator double.
#include <gtest/gtest.h>

#include "NavigatorDouble.h"
#include "TestSupport.h"
#include "navdisc/graph/FilterGraph.h"

using namespace navtest;
using navdisc::CurrentGroup;

namespace {

class TransportTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    disc_ = FixturePath("sample-dvd/VIDEO_TS/");
    if (disc_.empty()) GTEST_SKIP() << "sample DVD fixture missing";
    script_ = std::make_shared<NavScript>();
    navdisc::graph::SetNavigatorFactory(
        [s = script_] { return std::make_unique<NavigatorDouble>(s); });
  }
  // Starts playing the double's title and waits for its title change.
  void Start(OwnerWindow& w) {
    ASSERT_TRUE(StartDisc(w, disc_));
    ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_TITLE_CHANGE));
  }
  std::vector<uint64_t> Searches() {
    std::lock_guard lock(script_->mu);
    return script_->timeSearches;
  }
  std::string disc_;
  std::shared_ptr<NavScript> script_;
};

TEST_F(TransportTest, EveryCallFailsWithoutGraph) {
  uint8_t attrs[108];
  EXPECT_FALSE(RenderDVDPath(disc_.c_str()));
  EXPECT_FALSE(PlayDVD());
  EXPECT_FALSE(PauseDVD());
  EXPECT_FALSE(StopDVD());
  EXPECT_FALSE(StepDVD(true));
  EXPECT_FALSE(PutDVDPlaybackRatio(2.0));
  EXPECT_FALSE(SetDVDPositions(1.0));
  EXPECT_FALSE(SetDVDProgress(10));
  EXPECT_FALSE(HandleMouseEvent(1, 1, true));
  EXPECT_FALSE(GetDVDEvent(nullptr));
  EXPECT_FALSE(JumpDVDMenu(3));
  EXPECT_FALSE(JumpDVDTitle(1));
  EXPECT_FALSE(SelectDVDAngle(1));
  EXPECT_FALSE(GetDVDCurrentAttributes(attrs));
  EXPECT_EQ(GetIDvdInfo2(), nullptr);
  EXPECT_EQ(GetIDvdControl2(), nullptr);
  EXPECT_FALSE(SnapshootDVDToFile("/tmp/x.bmp"));
  EXPECT_FALSE(SetDVDVolumeAndBalance(0, 0));
  EXPECT_FALSE(SetDVDVideoHue(0));
  DestroyDVDGraph();  // nothing to destroy: no effect
}

TEST_F(TransportTest, InitialTwiceKeepsTheFirstNotifyWindow) {
  OwnerWindow first, second;
  ASSERT_TRUE(InitialDVDGraph(first.handle()));
  EXPECT_TRUE(InitialDVDGraph(second.handle()));
  ASSERT_TRUE(RenderDVDPath(disc_.c_str()));
  ASSERT_TRUE(PutDVDOwner(first.handle(), nullptr, true));
  ASSERT_TRUE(PlayDVD());
  ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_TITLE_CHANGE));
  EXPECT_GT(first.Notifications(), 0);
  EXPECT_EQ(second.Notifications(), 0);
}

TEST_F(TransportTest, RenderNeedsAPathAndAGraph) {
  OwnerWindow w;
  ASSERT_TRUE(InitialDVDGraph(w.handle()));
  EXPECT_FALSE(RenderDVDPath(nullptr));
  std::string tooLong(600, 'a');
  EXPECT_FALSE(RenderDVDPath(tooLong.c_str()));
  EXPECT_FALSE(RenderDVDPath("/nonexistent/VIDEO_TS/"));
  DestroyDVDGraph();
  EXPECT_EQ(CurrentGroup(), nullptr);
}

TEST_F(TransportTest, StopTwiceFirstHoldsThenRewinds) {
  OwnerWindow w;
  Start(w);
  EXPECT_EQ(CurrentGroup()->State(), navdisc::gsPlaying);
  EXPECT_TRUE(StopDVD());
  EXPECT_EQ(CurrentGroup()->State(), navdisc::gsStopPaused);
  EXPECT_EQ(script_->resets, 0);
  // Play after the first stop goes on where it was: no rewind.
  EXPECT_TRUE(PlayDVD());
  EXPECT_EQ(CurrentGroup()->State(), navdisc::gsPlaying);
  EXPECT_EQ(script_->resets, 0);
  EXPECT_TRUE(StopDVD());
  EXPECT_TRUE(StopDVD());
  EXPECT_EQ(CurrentGroup()->State(), navdisc::gsStopped);
  EXPECT_EQ(script_->resets, 1);
  EXPECT_TRUE(PlayDVD());
  EXPECT_EQ(CurrentGroup()->State(), navdisc::gsPlaying);
}

TEST_F(TransportTest, PositionsByTimeAndPercent) {
  OwnerWindow w;
  Start(w);
  // The title change carried the 3601-second length.
  EXPECT_EQ(LastEvent(navdisc::EC_DVD_TITLE_CHANGE)->p2, 3601);
  EXPECT_TRUE(SetDVDProgress(50));
  {
    std::lock_guard lock(script_->mu);
    script_->duration90k = 7200ull * 90000;
  }
  EXPECT_TRUE(SetDVDPositions(3725.9));
  EXPECT_TRUE(SetDVDProgress(0));
  EXPECT_FALSE(SetDVDProgress(101));
  EXPECT_FALSE(SetDVDProgress(-1));
  EXPECT_FALSE(SetDVDPositions(-1));
  EXPECT_FALSE(SetDVDPositions(7200));  // past the end of the title
  auto s = Searches();
  ASSERT_EQ(s.size(), 3u);
  EXPECT_EQ(s[0], 1800ull * 90000);                 // 00:30:00
  EXPECT_EQ(s[1], (3600ull + 2 * 60 + 5) * 90000);  // 01:02:05
  EXPECT_EQ(s[2], 0ull);
}

TEST_F(TransportTest, RateOnlyWhilePlaying) {
  OwnerWindow w;
  Start(w);
  ASSERT_TRUE(PauseDVD());
  EXPECT_EQ(CurrentGroup()->State(), navdisc::gsPaused);
  EXPECT_FALSE(PutDVDPlaybackRatio(2.0));
  EXPECT_EQ(CurrentGroup()->State(), navdisc::gsPaused);
  ASSERT_TRUE(PlayDVD());
  EXPECT_TRUE(PutDVDPlaybackRatio(2.0));
  EXPECT_EQ(CurrentGroup()->State(), navdisc::gsScanning);
  EXPECT_DOUBLE_EQ(CurrentGroup()->Graph()->Clock().Rate(), 2.0);
  EXPECT_TRUE(PutDVDPlaybackRatio(-4.0));  // backwards is accepted
  EXPECT_TRUE(PlayDVD());
  EXPECT_EQ(CurrentGroup()->State(), navdisc::gsPlaying);
  EXPECT_DOUBLE_EQ(CurrentGroup()->Graph()->Clock().Rate(), 1.0);
  // A refused rate falls back to normal speed and says so.
  EXPECT_TRUE(PutDVDPlaybackRatio(100.0));
  EXPECT_EQ(CurrentGroup()->State(), navdisc::gsPlaying);
}

TEST_F(TransportTest, StepForwardPausesBackwardDoesNothing) {
  OwnerWindow w;
  Start(w);
  EXPECT_TRUE(StepDVD(false));
  EXPECT_EQ(CurrentGroup()->State(), navdisc::gsPlaying);
  EXPECT_TRUE(StepDVD(true));
  EXPECT_EQ(CurrentGroup()->State(), navdisc::gsPaused);
}

TEST_F(TransportTest, AnglesOfTheCurrentTitle) {
  OwnerWindow w;
  Start(w);
  auto* info = GetIDvdInfo2();
  ASSERT_NE(info, nullptr);
  uint32_t available = 0, current = 0;
  ASSERT_EQ(info->GetCurrentAngle(&available, &current), navdisc::S_OK);
  EXPECT_EQ(available, 3u);
  EXPECT_EQ(current, 1u);
  EXPECT_TRUE(SelectDVDAngle(2));
  ASSERT_EQ(info->GetCurrentAngle(&available, &current), navdisc::S_OK);
  EXPECT_EQ(current, 2u);
  EXPECT_FALSE(SelectDVDAngle(4));
  EXPECT_FALSE(SelectDVDAngle(0));
  ASSERT_EQ(info->GetCurrentAngle(&available, &current), navdisc::S_OK);
  EXPECT_EQ(current, 2u);
}

TEST_F(TransportTest, RootMenuTogglesAndNeedsPlayback) {
  OwnerWindow w;
  Start(w);
  ASSERT_TRUE(PauseDVD());
  EXPECT_FALSE(JumpDVDMenu(3));  // showing a menu needs playback
  ASSERT_TRUE(PlayDVD());
  EXPECT_TRUE(JumpDVDMenu(3));
  EXPECT_TRUE(CurrentGroup()->InMenu());
  EXPECT_TRUE(JumpDVDMenu(3));
  EXPECT_FALSE(CurrentGroup()->InMenu());
  EXPECT_EQ(CurrentGroup()->State(), navdisc::gsPlaying);
  std::lock_guard lock(script_->mu);
  EXPECT_EQ(script_->menuCalls, (std::vector<int>{DVD_MENU_Root, DVD_MENU_Escape}));
}

// Events stay queued (no notify window) so the test drains them itself.
bool StartQuiet(OwnerWindow& w, const std::string& disc) {
  return InitialDVDGraph(0) && RenderDVDPath(disc.c_str()) &&
         PutDVDOwner(w.handle(), nullptr, true) && PlayDVD();
}

size_t Pending() {
  return static_cast<navdisc::graph::EventQueue*>(CurrentGroup()->Events())->Pending();
}

TEST_F(TransportTest, ReadErrorStopsTheGraphBeforeTheCallback) {
  OwnerWindow w;
  ASSERT_TRUE(StartQuiet(w, disc_));
  {
    std::lock_guard lock(script_->mu);
    script_->failReads = true;
  }
  static int stateAtError;
  stateAtError = 0;
  ASSERT_TRUE(PumpUntil([] {
    GetDVDEvent([](int32_t code, int32_t, int32_t) {
      if (code == navdisc::EC_DVD_ERROR) stateAtError = CurrentGroup()->State();
    });
    return stateAtError != 0;
  }));
  EXPECT_EQ(stateAtError, navdisc::gsStopPaused);
}

TEST_F(TransportTest, PumpSurvivesDestroyFromItsCallback) {
  OwnerWindow w;
  ASSERT_TRUE(StartQuiet(w, disc_));
  ASSERT_TRUE(PumpUntil([] { return Pending() >= 2; }));
  static int calls;
  calls = 0;
  EXPECT_TRUE(GetDVDEvent([](int32_t, int32_t, int32_t) {
    ++calls;
    DestroyDVDGraph();
  }));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(CurrentGroup(), nullptr);
  EXPECT_FALSE(GetDVDEvent(nullptr));
}

TEST_F(TransportTest, EmptyQueueCallsNothing) {
  OwnerWindow w;
  Start(w);
  ASSERT_TRUE(PauseDVD());
  while (Pending() > 0) GetDVDEvent(nullptr);
  static int calls;
  calls = 0;
  EXPECT_TRUE(GetDVDEvent([](int32_t, int32_t, int32_t) { ++calls; }));
  EXPECT_EQ(calls, 0);
}

}  // namespace

// The engine's parts that need no playback: unit conversions, channel plans, the simulated
// tuner, the channel scan and the line-in mixer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QWidget>
#include <cmath>

#include "clipcore/Adjustments.h"
#include "clipcore/ChannelScanner.h"
#include "clipcore/ChannelTable.h"
#include "clipcore/Clipcore.h"
#include "clipcore/Tuner.h"
#include "platform/Mixer.h"
#include "platform/Window.h"

using namespace clipcore;

namespace {

TEST(ClipcoreAdjustments, VolumeIsALinearGainFromHundredthsOfADecibel) {
  // mpv's gain is (volume / 100)^3.
  auto gain = [](int cb) { return std::pow(VolumeToMpv(cb) / 100.0, 3); };
  EXPECT_DOUBLE_EQ(VolumeToMpv(0), 100.0);
  EXPECT_NEAR(gain(-600), std::pow(10.0, -0.3), 1e-9);
  EXPECT_NEAR(gain(-2000), 0.1, 1e-9);
  EXPECT_NEAR(gain(-5000), std::pow(10.0, -2.5), 1e-12);
  // Out of range: never louder than full, never below -100 dB.
  EXPECT_DOUBLE_EQ(VolumeToMpv(300), 100.0);
  EXPECT_DOUBLE_EQ(VolumeToMpv(-20000), VolumeToMpv(-10000));
  EXPECT_LT(VolumeToMpv(-100), VolumeToMpv(0));
}

TEST(ClipcoreAdjustments, BalanceAttenuatesTheOppositeChannel) {
  EXPECT_EQ(BalanceFilter(0), "");
  EXPECT_DOUBLE_EQ(BalanceGain(-10000, false), 1.0);
  EXPECT_NEAR(BalanceGain(-10000, true), 1e-5, 1e-12);
  EXPECT_NEAR(BalanceGain(2000, false), 0.1, 1e-12);
  EXPECT_DOUBLE_EQ(BalanceGain(2000, true), 1.0);
  EXPECT_DOUBLE_EQ(BalanceGain(99999, true), 1.0);
  EXPECT_NEAR(BalanceGain(99999, false), 1e-5, 1e-12);
  const std::string f = BalanceFilter(2000);
  EXPECT_NE(f.find("aformat=channel_layouts=stereo"), std::string::npos);
  EXPECT_NE(f.find("c0=0.1*c0|c1=1*c1"), std::string::npos) << f;
}

TEST(ClipcoreAdjustments, PictureValuesBecomeEqAndHueFilters) {
  EXPECT_EQ(PictureFilter(Picture{}), "");
  EXPECT_EQ(PictureFilter({255, 1, 0, 1}), "lavfi=[eq=brightness=1:contrast=1]");
  EXPECT_EQ(PictureFilter({-127.5, 2.5, 0, 1}), "lavfi=[eq=brightness=-0.5:contrast=2.5]");
  EXPECT_EQ(PictureFilter({0, 1, -90, 0}), "lavfi=[hue=h=-90:s=0]");
  EXPECT_EQ(PictureFilter({10, 0, 45, 10}),
            "lavfi=[eq=brightness=0.0392157:contrast=0,hue=h=45:s=10]");
  // Out of range and NaN values are limited or neutral, never passed on.
  const Picture p = ClampPicture({1000, -3, NAN, 50});
  EXPECT_EQ(p.brightness, 255);
  EXPECT_EQ(p.contrast, 0);
  EXPECT_EQ(p.hue, 0);
  EXPECT_EQ(p.saturation, 10);
  EXPECT_EQ(PictureFilter({NAN, NAN, NAN, NAN}), "");
}

TEST(ClipcoreChannelTable, CarriersOfTheKnownPlans) {
  const ChannelTable pal = ChannelTable::PalBG();
  EXPECT_EQ(pal.FrequencyKHz(2), 48250u);
  EXPECT_EQ(pal.FrequencyKHz(4), 62250u);
  EXPECT_EQ(pal.FrequencyKHz(5), 175250u);
  EXPECT_EQ(pal.FrequencyKHz(12), 224250u);
  EXPECT_EQ(pal.FrequencyKHz(21), 471250u);
  EXPECT_EQ(pal.FrequencyKHz(69), 855250u);
  EXPECT_FALSE(pal.Contains(13));
  EXPECT_FALSE(pal.Contains(70));
  EXPECT_EQ(pal.channels().size(), 11u + 49u);

  const ChannelTable us = ChannelTable::NtscCable();
  EXPECT_EQ(us.FrequencyKHz(2), 55250u);
  EXPECT_EQ(us.FrequencyKHz(5), 77250u);
  EXPECT_EQ(us.FrequencyKHz(7), 175250u);
  EXPECT_EQ(us.FrequencyKHz(14), 121250u);
  EXPECT_EQ(us.FrequencyKHz(23), 217250u);
  EXPECT_EQ(us.FrequencyKHz(95), 91250u);
  EXPECT_EQ(us.FrequencyKHz(125), 799250u);
  EXPECT_EQ(us.channels().size(), 125u);

  // A scan walks the table in order; channel numbers must never repeat.
  for (const ChannelTable& t : {pal, us}) {
    for (size_t i = 1; i < t.channels().size(); ++i)
      EXPECT_LT(t.channels()[i - 1].number, t.channels()[i].number) << t.name();
  }
  EXPECT_TRUE(ChannelTable::ByName("ntsc-cable").has_value());
  EXPECT_FALSE(ChannelTable::ByName("secam-xx").has_value());
}

TEST(ClipcoreSimulatedTuner, StationsFromTheListCarryASignal) {
  auto tuner = MakeSimulatedTuner("9,2,x,5,-3,,5");
  ASSERT_TRUE(tuner);
  EXPECT_EQ(tuner->CurrentChannel(), 2);  // starts on its first station
  std::vector<int> stations;
  for (const Channel& c : tuner->Table().channels()) {
    ASSERT_TRUE(tuner->Tune(c.number));
    if (tuner->Signal() >= kSignalThreshold) stations.push_back(c.number);
  }
  EXPECT_EQ(stations, (std::vector<int>{2, 5, 9}));
  EXPECT_FALSE(tuner->Tune(0));
  EXPECT_FALSE(tuner->Tune(1000));

  ASSERT_TRUE(tuner->Tune(5));
  const std::string five = tuner->StreamUrl();
  ASSERT_TRUE(tuner->Tune(9));
  EXPECT_NE(tuner->StreamUrl(), five);
  EXPECT_EQ(five.rfind("av://lavfi:", 0), 0u);
  EXPECT_NE(five.find("CH 5"), std::string::npos);
  // A channel beyond the usual plan is still reachable when it is listed.
  EXPECT_TRUE(MakeSimulatedTuner("120")->Tune(120));
}

TEST(ClipcoreTuner, EnvironmentChoosesTheTuner) {
  setenv("LUMORA_TV", "none", 1);
  EXPECT_EQ(OpenDefaultTuner(), nullptr);
  setenv("LUMORA_TV", "/nonexistent/video7", 1);
  EXPECT_EQ(OpenDefaultTuner(), nullptr);
  // A node that is no tuner (or no V4L2 device at all) is refused, not tuned.
  setenv("LUMORA_TV", "/dev/null", 1);
  EXPECT_EQ(OpenDefaultTuner(), nullptr);
  EXPECT_EQ(OpenV4l2Tuner("/dev/zero"), nullptr);
  setenv("LUMORA_TV", "sim:3", 1);
  auto t = OpenDefaultTuner();
  ASSERT_TRUE(t);
  EXPECT_EQ(t->CurrentChannel(), 3);
  unsetenv("LUMORA_TV");
}

class ClipcoreScanner : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "clipcore_parts_test";
    static char* argv[] = {name, nullptr};
    if (!qApp) new QApplication(argc, argv);
  }
  void SetUp() override {
    hwnd_ = plat::RegisterWindow(&window_, [this](unsigned msg, WPARAM w, LPARAM l, LRESULT&) {
      if (msg == WM_TV_SCAN_PROGRESS) got_.push_back({int(w), int(l)});
      return true;
    });
  }
  bool WaitForEnd() {
    QElapsedTimer t;
    t.start();
    while (got_.empty() || got_.back().first != 0) {
      if (t.elapsed() > 10000) return false;
      plat::PumpMessages(5);
    }
    return true;
  }
  QWidget window_;
  HWND hwnd_ = 0;
  std::vector<std::pair<int, int>> got_;
};

TEST_F(ClipcoreScanner, ReportsStationsInTableOrderThenTheEnd) {
  auto tuner = MakeSimulatedTuner("40,3,17");
  ChannelScanner scanner(*tuner, hwnd_, WM_TV_SCAN_PROGRESS);
  ASSERT_TRUE(scanner.Start());
  EXPECT_FALSE(scanner.Start());  // one scan at a time
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(got_, (std::vector<std::pair<int, int>>{{1, 3}, {1, 17}, {1, 40}, {0, 0}}));
  // It can run again once it has ended.
  got_.clear();
  ASSERT_TRUE(scanner.Start());
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(got_.size(), 4u);
}

TEST_F(ClipcoreScanner, CancelEndsTheScanMarkedAsCancelled) {
  auto tuner = MakeSimulatedTuner("60");
  {
    ChannelScanner scanner(*tuner, hwnd_, WM_TV_SCAN_PROGRESS);
    ASSERT_TRUE(scanner.Start());
    scanner.Cancel();
    EXPECT_FALSE(scanner.Running());
    ASSERT_TRUE(WaitForEnd());
    EXPECT_EQ(got_.back(), std::make_pair(0, 1));
    EXPECT_EQ(got_.size(), 1u);  // channel 60 was never reached
    scanner.Cancel();            // harmless when nothing runs
  }
  // Destroying a running scanner stops it too.
  got_.clear();
  {
    ChannelScanner scanner(*tuner, hwnd_, WM_TV_SCAN_PROGRESS);
    ASSERT_TRUE(scanner.Start());
  }
  ASSERT_TRUE(WaitForEnd());
  EXPECT_NE(got_.back().second, 0);
}

TEST(ClipcoreMixer, LevelsGoToTheDoubleClamped) {
  std::vector<int> set;
  int level = 0;
  plat::SetMixerDouble(
      [&](int l) {
        set.push_back(l);
        level = l;
        return true;
      },
      [&] { return level; });
  EXPECT_TRUE(plat::SetLineInVolume(23592));
  EXPECT_EQ(plat::GetLineInVolume(), 23592);
  EXPECT_TRUE(plat::SetLineInVolume(-7));
  EXPECT_TRUE(plat::SetLineInVolume(70000));
  EXPECT_EQ(set, (std::vector<int>{23592, 0, 65535}));
  plat::SetMixerDouble({}, {});
}

TEST(ClipcoreMixer, NoSoundCardIsNotAnError) {
  QFile cards("/proc/asound/cards");
  const bool anyCard =
      cards.open(QIODevice::ReadOnly) && !cards.readAll().contains("no soundcards");
  if (anyCard && QFile::exists("/dev/snd/controlC0"))
    GTEST_SKIP() << "this machine has a sound card";
  EXPECT_TRUE(plat::SetLineInVolume(30000));
  EXPECT_EQ(plat::GetLineInVolume(), -1);
}

}  // namespace

// The media engine through its exported functions, as the player drives it.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <functional>

#include "Fixtures.h"
#include "clipcore/Clipcore.h"
#include "platform/Bitmap.h"
#include "platform/VideoSurface.h"

using namespace clipcore_test;

namespace {

struct Event {
  int code, p1, p2;
};
std::vector<Event> g_events;
std::function<void(int)> g_onEvent;  // runs inside the engine's callback

void Record(int32_t code, int32_t p1, int32_t p2) {
  g_events.push_back({code, p1, p2});
  if (g_onEvent) g_onEvent(code);
}

class ClipcoreEngine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "clipcore_engine_test";
    static char* argv[] = {name, nullptr};
    DefaultEnvironment();
    if (!qApp) new QApplication(argc, argv);
  }

  void SetUp() override {
    g_events.clear();
    g_onEvent = nullptr;
    window_ = std::make_unique<QWidget>();
    window_->resize(640, 360);
    window_->show();
    hwnd_ = plat::RegisterWindow(window_.get(), [this](unsigned msg, WPARAM w, LPARAM l, LRESULT&) {
      if (msg == WM_MEDIA_GRAPH_EVENT) {
        if (dropNotifications_)
          ++dropped_;
        else
          GetGraphEvent(&Record);
        return true;
      }
      if (msg == WM_TV_SCAN_PROGRESS) {
        scan_.push_back({int(w), int(l)});
        return true;
      }
      return false;
    });
  }

  void TearDown() override {
    StopFile();
    DestroyGraph();
    g_onEvent = nullptr;
    plat::PumpMessages();
    window_.reset();
    unsetenv("LUMORA_TV");
  }

  // InitialGraph, RenderFile, PutOwner: what the player does before PlayFile.
  bool Open(const std::string& path) {
    return InitialGraph(hwnd_) && RenderFile(path.c_str()) && PutOwner(hwnd_, nullptr, true);
  }

  bool WaitUntil(std::function<bool()> done, int ms = 10000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
      if (t.elapsed() > ms) return false;
      plat::PumpMessages(5);
    }
    return true;
  }

  double Position() {
    double length = 0, position = -1;
    int32_t percent = 0;
    EXPECT_TRUE(GetPlayInfo(&length, &position, &percent));
    return position;
  }

  bool Ended(int code) {
    for (const Event& e : g_events)
      if (e.code == code) return true;
    return false;
  }

  std::unique_ptr<QWidget> window_;
  HWND hwnd_ = 0;
  std::vector<std::pair<int, int>> scan_;
  bool dropNotifications_ = false;
  int dropped_ = 0;
};

TEST_F(ClipcoreEngine, CallsWithoutAGraphFailCleanly) {
  double length = 1;
  int32_t w = 1, h = 1;
  bool seek = true;
  EXPECT_FALSE(RenderFile(Clip().c_str()));
  EXPECT_FALSE(PlayFile(1.0));
  EXPECT_FALSE(PauseFile());
  EXPECT_FALSE(GetPlayInfo(&length, nullptr, nullptr));
  EXPECT_FALSE(GetFileInfo(&w, &h, &seek));
  EXPECT_EQ(PutFilePlaybackRatio(2.0), 0.0);
  EXPECT_FALSE(SetFileVideoBrightness(10));
  EXPECT_FALSE(SnapshootToFile("/tmp/never.bmp"));
  EXPECT_FALSE(GetGraphEvent(&Record));
  EXPECT_FALSE(ScanChannel(false));
  StopFile();
  DestroyGraph();
  EXPECT_FALSE(InitialGraph(0));
  EXPECT_FALSE(InitialGraph(hwnd_ + 1000));
}

TEST_F(ClipcoreEngine, OpensAndPlaysToTheEndPostingEndOfMedia) {
  ASSERT_TRUE(Open(Clip()));
  int32_t w = 0, h = 0;
  bool seek = false;
  ASSERT_TRUE(GetFileInfo(&w, &h, &seek));
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 360);
  EXPECT_TRUE(seek);
  double length = 0;
  ASSERT_TRUE(GetPlayInfo(&length, nullptr, nullptr));
  EXPECT_NEAR(length, 10.0, 0.1);

  ASSERT_TRUE(SetPositions(8.5));
  ASSERT_TRUE(PlayFile(1.0));
  ASSERT_TRUE(WaitUntil([this] { return Ended(1); }));
  EXPECT_FALSE(Ended(3));
  // The picture reached the window's surface.
  EXPECT_GT(plat::PresentedFrameCount(hwnd_), 0u);
  // Nothing plays any more.
  EXPECT_FALSE(GetPlayInfo(&length, nullptr, nullptr));
  EXPECT_FALSE(PlayFile(1.0));
}

TEST_F(ClipcoreEngine, PauseStepResumeAndSeek) {
  ASSERT_TRUE(Open(Clip()));
  ASSERT_TRUE(PlayFile(1.0));
  ASSERT_TRUE(WaitUntil([this] { return Position() > 0.3; }));
  ASSERT_TRUE(PauseFile());
  plat::PumpMessages(300);
  const double paused = Position();
  plat::PumpMessages(300);
  EXPECT_DOUBLE_EQ(Position(), paused);

  // One frame forward (25 frames/s), and still paused afterwards.
  ASSERT_TRUE(StepFile(1));
  ASSERT_TRUE(WaitUntil([&] { return Position() > paused; }));
  const double stepped = Position();
  EXPECT_NEAR(stepped - paused, 0.04, 0.005);
  plat::PumpMessages(300);
  EXPECT_DOUBLE_EQ(Position(), stepped);

  ASSERT_TRUE(PlayFile(1.0));
  ASSERT_TRUE(WaitUntil([&] { return Position() > stepped + 0.2; }));
  ASSERT_TRUE(PauseFile());

  // By percent, as the controller does it: p x length x 0.01.
  double length = 0;
  ASSERT_TRUE(GetPlayInfo(&length, nullptr, nullptr));
  ASSERT_TRUE(SetPositions(75 * length * 0.01));
  int32_t percent = 0;
  ASSERT_TRUE(GetPlayInfo(nullptr, nullptr, &percent));
  EXPECT_EQ(percent, 75);
  // By seconds, exactly, also once the seek has been carried out.
  ASSERT_TRUE(SetPositions(3.0));
  EXPECT_DOUBLE_EQ(Position(), 3.0);
  plat::PumpMessages(400);
  EXPECT_NEAR(Position(), 3.0, 0.001);
  // Out of range positions are limited to the media.
  ASSERT_TRUE(SetPositions(-5));
  EXPECT_DOUBLE_EQ(Position(), 0.0);
  EXPECT_FALSE(SetPositions(NAN));
  EXPECT_FALSE(StepFile(0));
}

TEST_F(ClipcoreEngine, EveryRateOfTheRateMenuTakesEffect) {
  ASSERT_TRUE(Open(Clip()));
  ASSERT_TRUE(PlayFile(1.0));
  for (double rate : {0.25, 0.5, 1.0, 2.0, 3.0, 4.0, 6.0, 8.0, 16.0}) {
    SCOPED_TRACE(rate);
    ASSERT_TRUE(SetPositions(1.0));
    EXPECT_EQ(PutFilePlaybackRatio(rate), rate);
    const double from = Position();
    EXPECT_TRUE(WaitUntil([&] { return Position() > from; }));
  }
  // Nonsense keeps the rate in effect; PlayFile resumes at its own rate.
  EXPECT_EQ(PutFilePlaybackRatio(-2.0), 16.0);
  EXPECT_EQ(PutFilePlaybackRatio(NAN), 16.0);
  ASSERT_TRUE(PlayFile(1.0));
  EXPECT_EQ(PutFilePlaybackRatio(0.0), 1.0);
}

// An exact seek shows the first frame at or after the time asked for, whatever the container;
// MPEG program and transport streams seek by timestamp and tend to land on the next key frame.
TEST_F(ClipcoreEngine, ExactSeeksLandOnTheFrameAskedFor) {
  const std::string shotPath = FixtureDir() + "exact-seek.bmp";
  for (const char* kind : {"mpg", "vob", "ts", "long.ts", "mp4"}) {
    SCOPED_TRACE(kind);
    const std::string clip = FramedClip(kind);
    ASSERT_FALSE(clip.empty());
    ASSERT_TRUE(Open(clip));
    int shown = -1;
    auto frameShown = [&] {
      shown = SnapshootToFile(shotPath.c_str()) ? BurntInFrame(plat::LoadBitmap(shotPath)) : -1;
      return shown;
    };
    // Forwards and backwards, none of them on a key frame; paused, so the frame stays.
    for (double t : {1.3, 3.31, 2.07, 5.7, 0.5, 8.46}) {
      SCOPED_TRACE(t);
      const int wanted = static_cast<int>(std::ceil(t * 25 - 1e-6));
      ASSERT_TRUE(SetPositions(t));
      // A late landing is sought again from further back; on a loaded machine or under the
      // sanitizers that can take several seconds.
      WaitUntil([&] { return frameShown() == wanted; }, 20000);
      EXPECT_EQ(shown, wanted);
    }
    StopFile();
    DestroyGraph();
  }
  QFile::remove(QString::fromStdString(shotPath));
}

TEST_F(ClipcoreEngine, SnapshotHoldsTheShownPicture) {
  const std::string path = FixtureDir() + "snap-test";
  QFile::remove(QString::fromStdString(path));
  ASSERT_TRUE(Open(Clip()));
  ASSERT_TRUE(SetPositions(2.0));
  plat::PumpMessages(300);
  ASSERT_TRUE(SnapshootToFile(path.c_str()));
  const QImage shot = plat::LoadBitmap(path);
  ASSERT_EQ(shot.size(), QSize(640, 360));
  EXPECT_LT(MeanDifference(shot, ReferenceFrame(2.0)), 6.0);

  // The picture values change what is shown, and the snapshot with it.
  ASSERT_TRUE(SetFileVideoBrightness(120));
  plat::PumpMessages(300);
  ASSERT_TRUE(SnapshootToFile(path.c_str()));
  const QImage bright = plat::LoadBitmap(path);
  EXPECT_GT(MeanLuma(bright), MeanLuma(shot) + 60);

  ASSERT_TRUE(SetFileVideoBrightness(0));
  ASSERT_TRUE(SetFileVideoSaturation(0));
  plat::PumpMessages(300);
  ASSERT_TRUE(SnapshootToFile(path.c_str()));
  const QImage grey = plat::LoadBitmap(path);
  int coloured = 0;
  for (int y = 0; y < grey.height(); y += 8)
    for (int x = 0; x < grey.width(); x += 8) {
      const QRgb p = grey.pixel(x, y);
      if (std::abs(qRed(p) - qGreen(p)) > 12 || std::abs(qGreen(p) - qBlue(p)) > 12) ++coloured;
    }
  EXPECT_EQ(coloured, 0);
  ASSERT_TRUE(SetFileVideoSaturation(1));
  ASSERT_TRUE(SetFileVideoContrast(1));
  ASSERT_TRUE(SetFileVideoHue(90));
  plat::PumpMessages(300);
  ASSERT_TRUE(SnapshootToFile(path.c_str()));
  EXPECT_GT(MeanDifference(plat::LoadBitmap(path), shot), 20.0);
  QFile::remove(QString::fromStdString(path));
}

TEST_F(ClipcoreEngine, PictureFollowsPlacementAndProportions) {
  window_->resize(640, 480);
  ASSERT_TRUE(Open(Clip()));
  ASSERT_TRUE(WaitUntil([this] { return plat::PresentedFrameCount(hwnd_) > 0; }));
  plat::PumpMessages(200);
  QImage shown = plat::PresentedFrame(hwnd_);
  ASSERT_EQ(shown.size(), QSize(640, 480));
  // 16:9 in 4:3 keeps its proportions: black bands above and below, picture between.
  EXPECT_EQ(qGray(shown.pixel(320, 20)), 0);
  EXPECT_EQ(qGray(shown.pixel(320, 460)), 0);
  EXPECT_GT(qGray(shown.pixel(100, 150)), 40);

  // A rectangle without proportions is filled entirely.
  const LumoraRect rect{100, 50, 320, 320};
  ASSERT_TRUE(PutOwner(hwnd_, &rect, false));
  const uint64_t before = plat::PresentedFrameCount(hwnd_);
  ASSERT_TRUE(WaitUntil([&] { return plat::PresentedFrameCount(hwnd_) > before; }));
  plat::PumpMessages(200);
  shown = plat::PresentedFrame(hwnd_);
  ASSERT_EQ(shown.size(), QSize(320, 320));
  EXPECT_GT(qGray(shown.pixel(130, 2)), 40);    // top of the picture, no band
  EXPECT_GT(qGray(shown.pixel(130, 317)), 40);  // bottom of the picture
  const LumoraRect bad{0, 0, -5, 10};
  EXPECT_FALSE(PutOwner(hwnd_, &bad, true));
  EXPECT_FALSE(PutOwner(hwnd_ + 1000, nullptr, true));
}

TEST_F(ClipcoreEngine, BadFilesFailOrEndCleanly) {
  ASSERT_TRUE(InitialGraph(hwnd_));
  EXPECT_FALSE(RenderFile((FixtureDir() + "missing.mp4").c_str()));
  EXPECT_FALSE(RenderFile(""));
  EXPECT_FALSE(RenderFile(nullptr));
  EXPECT_FALSE(RenderFile(NotMedia().c_str()));
  EXPECT_FALSE(RenderFile(FixtureDir().c_str()));   // a folder
  EXPECT_FALSE(RenderFile("av://lavfi:testsrc2"));  // libmpv protocols are not files
  EXPECT_FALSE(PlayFile(1.0));
  // A name relative to the working folder is a file like any other.
  const QString cwd = QDir::currentPath();
  QDir::setCurrent(QString::fromStdString(FixtureDir()));
  EXPECT_TRUE(
      RenderFile(QFileInfo(QString::fromStdString(Clip())).fileName().toUtf8().constData()));
  QDir::setCurrent(cwd);

  // A file cut short plays what it has and then ends with an event, never hangs.
  ASSERT_TRUE(RenderFile(Truncated().c_str()));
  ASSERT_TRUE(SetPositions(3.0));
  ASSERT_TRUE(PlayFile(1.0));
  ASSERT_TRUE(WaitUntil([this] { return Ended(1) || Ended(3); }, 20000));
  double length = 0;
  EXPECT_FALSE(GetPlayInfo(&length, nullptr, nullptr));
  // The graph is still usable afterwards.
  ASSERT_TRUE(RenderFile(Clip().c_str()));
  EXPECT_TRUE(PlayFile(1.0));
}

TEST_F(ClipcoreEngine, AudioOnlyFileHasNoPicture) {
  ASSERT_TRUE(Open(Tone()));
  int32_t w = -1, h = -1;
  bool seek = false;
  ASSERT_TRUE(GetFileInfo(&w, &h, &seek));
  EXPECT_EQ(w, 0);
  EXPECT_EQ(h, 0);
  EXPECT_TRUE(seek);
  EXPECT_FALSE(StepFile(1));
  EXPECT_FALSE(SnapshootToFile((FixtureDir() + "never.bmp").c_str()));
  ASSERT_TRUE(SetPositions(2.5));
  ASSERT_TRUE(PlayFile(1.0));
  EXPECT_TRUE(WaitUntil([this] { return Ended(1); }));
}

TEST_F(ClipcoreEngine, EventPumpSurvivesTeardownFromItsCallback) {
  ASSERT_TRUE(Open(Clip()));
  ASSERT_TRUE(SetPositions(9.8));
  int calls = 0;
  g_onEvent = [&](int code) {
    ++calls;
    if (code == 1) {
      StopFile();
      DestroyGraph();
      // The player may start the next item right away.
      EXPECT_TRUE(InitialGraph(hwnd_));
    }
  };
  ASSERT_TRUE(PlayFile(1.0));
  ASSERT_TRUE(WaitUntil([this] { return Ended(1); }));
  plat::PumpMessages(200);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(GetGraphEvent(&Record));  // the new graph, with nothing queued
  EXPECT_EQ(g_events.size(), 1u);
}

TEST_F(ClipcoreEngine, EventsStillArriveAfterANotificationWasDropped) {
  dropNotifications_ = true;
  ASSERT_TRUE(Open(Clip()));
  ASSERT_TRUE(PlayFile(1.0));
  ASSERT_TRUE(WaitUntil([this] { return dropped_ > 0; }));
  plat::PumpMessages(300);
  dropNotifications_ = false;
  ASSERT_TRUE(SetPositions(9.5));
  ASSERT_TRUE(WaitUntil([this] { return Ended(1); }));
}

TEST_F(ClipcoreEngine, VolumeAndBalanceReachTheSound) {
  // The sound goes to WAV files; the left and right levels show what the engine did.
  auto levels = [this](int volume, int balance, const std::string& wav) {
    QFile::remove(QString::fromStdString(wav));
    setenv("LUMORA_AUDIO", ("pcm:" + wav).c_str(), 1);
    EXPECT_TRUE(InitialGraph(hwnd_));
    EXPECT_TRUE(SetFileVolumeAndBalance(volume, balance));
    EXPECT_TRUE(RenderFile(Tone().c_str()));
    EXPECT_TRUE(PlayFile(1.0));
    g_events.clear();
    EXPECT_TRUE(WaitUntil([this] { return Ended(1); }));
    DestroyGraph();
    setenv("LUMORA_AUDIO", "null", 1);
    std::pair<double, double> rms{0, 0};
    QFile f(QString::fromStdString(wav));
    if (!f.open(QIODevice::ReadOnly)) return rms;
    const QByteArray d = f.readAll();
    const int at = d.indexOf("data");
    const int channels = d.size() > 24 ? uchar(d[22]) : 0;
    if (at < 0 || channels != 2) return rms;
    const auto* s = reinterpret_cast<const float*>(d.constData() + at + 8);
    const size_t all = (d.size() - at - 8) / 8;
    // The middle of the sound: start-up and the end of the stream are not steady.
    const size_t from = all / 5, n = all - 2 * from;
    for (size_t i = from; i < from + n; ++i) {
      rms.first += s[2 * i] * s[2 * i];
      rms.second += s[2 * i + 1] * s[2 * i + 1];
    }
    rms.first = std::sqrt(rms.first / std::max<size_t>(n, 1));
    rms.second = std::sqrt(rms.second / std::max<size_t>(n, 1));
    return rms;
  };
  const std::string dir = FixtureDir();
  const auto full = levels(0, 1, dir + "full.wav");  // 1/100 dB keeps the stereo path
  const auto quiet = levels(-2000, 1, dir + "quiet.wav");
  const auto left = levels(0, -10000, dir + "left.wav");
  const auto right = levels(0, 3000, dir + "right.wav");
  ASSERT_GT(full.first, 0.01);
  EXPECT_NEAR(full.second / full.first, 1.0, 0.01);
  // -20 dB is a tenth of the level.
  EXPECT_NEAR(quiet.first / full.first, 0.1, 0.01);
  // -10000: the right channel is silent.
  EXPECT_LT(left.second / left.first, 0.001);
  // +3000: the left channel is 30 dB down.
  EXPECT_NEAR(right.first / right.second, std::pow(10.0, -1.5), 0.001);
}

TEST_F(ClipcoreEngine, SimulatedTunerScansPlaysAndTunes) {
  setenv("LUMORA_TV", "sim:9,2,5", 1);
  ASSERT_TRUE(InitialGraph(hwnd_));
  ASSERT_TRUE(RenderTV());
  ASSERT_TRUE(PutOwner(hwnd_, nullptr, true));
  ASSERT_TRUE(PlayFile(1.0));
  int32_t w = 0, h = 0;
  bool seek = true;
  ASSERT_TRUE(GetFileInfo(&w, &h, &seek));
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  EXPECT_FALSE(seek);
  EXPECT_FALSE(SetPositions(3));

  scan_.clear();
  ASSERT_TRUE(ScanChannel(false));
  ASSERT_TRUE(WaitUntil([this] { return !scan_.empty() && scan_.back().first == 0; }));
  const std::vector<std::pair<int, int>> expected{{1, 2}, {1, 5}, {1, 9}, {0, 0}};
  EXPECT_EQ(scan_, expected);

  // Each channel has its own picture.
  const std::string a = FixtureDir() + "tv-a.bmp", b = FixtureDir() + "tv-b.bmp";
  ASSERT_TRUE(SetTVChannel(2));
  plat::PumpMessages(500);
  ASSERT_TRUE(SnapshootToFile(a.c_str()));
  ASSERT_TRUE(SetTVChannel(5));
  plat::PumpMessages(500);
  ASSERT_TRUE(SnapshootToFile(b.c_str()));
  EXPECT_GT(MeanDifference(plat::LoadBitmap(a), plat::LoadBitmap(b)), 10.0);
  EXPECT_FALSE(SetTVChannel(5000));

  // A cancelled scan reports its end with a non-zero lParam.
  scan_.clear();
  ASSERT_TRUE(ScanChannel(false));
  ASSERT_TRUE(ScanChannel(true));
  ASSERT_TRUE(WaitUntil([this] { return !scan_.empty() && scan_.back().first == 0; }));
  EXPECT_NE(scan_.back().second, 0);
  EXPECT_TRUE(g_events.empty());
}

TEST_F(ClipcoreEngine, NoTunerMeansNoTv) {
  setenv("LUMORA_TV", "none", 1);
  ASSERT_TRUE(InitialGraph(hwnd_));
  EXPECT_FALSE(RenderTV());
  EXPECT_FALSE(ScanChannel(false));
  EXPECT_FALSE(SetTVChannel(2));
  EXPECT_TRUE(ScanChannel(true));
}

}  // namespace

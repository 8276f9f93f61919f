#include <gtest/gtest.h>

#include <QWidget>
#include <atomic>
#include <thread>

#include "TestApp.h"
#include "platform/VideoSurface.h"
#include "platform/Window.h"

using namespace plat;

namespace {

QImage Solid(int w, int h, QRgb c) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(c);
  return img;
}

class VideoSurfaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApp();
    window = new QWidget;
    window->resize(320, 240);
    window->show();
    h = RegisterWindow(window);
  }
  void TearDown() override { delete window; }
  QImage Shot() {
    PumpMessages();
    return window->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }
  QWidget* window = nullptr;
  HWND h = 0;
};

bool IsBlack(QRgb c) { return (c & 0xFFFFFF) == 0; }
bool IsRed(QRgb c) { return qRed(c) > 240 && qGreen(c) < 16 && qBlue(c) < 16; }

TEST_F(VideoSurfaceTest, LetterboxKeepsTheDisplayAspect) {
  EXPECT_EQ(LetterboxRect({0, 0, 320, 240}, 320.0 / 120), (LumoraRect{0, 60, 320, 120}));
  EXPECT_EQ(LetterboxRect({0, 0, 400, 200}, 4.0 / 3), (LumoraRect{66, 0, 267, 200}));
  EXPECT_EQ(LetterboxRect({10, 20, 100, 100}, 1.0), (LumoraRect{10, 20, 100, 100}));
  // Degenerate input is left alone rather than divided by.
  EXPECT_EQ(LetterboxRect({0, 0, 100, 50}, 0.0), (LumoraRect{0, 0, 100, 50}));
  EXPECT_EQ(LetterboxRect({0, 0, 0, 50}, 1.5), (LumoraRect{0, 0, 0, 50}));
}

TEST_F(VideoSurfaceTest, FrameIsLetterboxedAndBlackElsewhere) {
  auto sink = AcquireVideoSink(h);
  ASSERT_TRUE(sink);
  ASSERT_TRUE(SetVideoPlacement(h, nullptr, true));
  sink->Present(Solid(160, 60, qRgb(255, 0, 0)), 0);  // 8:3 picture in a 4:3 window
  const QImage shot = Shot();
  EXPECT_TRUE(IsBlack(shot.pixel(160, 30)));
  EXPECT_TRUE(IsRed(shot.pixel(160, 61)));
  EXPECT_TRUE(IsRed(shot.pixel(0, 120)));
  EXPECT_TRUE(IsRed(shot.pixel(160, 178)));
  EXPECT_TRUE(IsBlack(shot.pixel(160, 181)));
  EXPECT_GE(PresentedFrameCount(h), 1u);
  EXPECT_EQ(PresentedFrame(h).size(), QSize(320, 120));
  EXPECT_EQ(sink->FrameCount(), 1u);

  // The display aspect wins over the frame's pixel size (anamorphic DVD frames).
  sink->Present(Solid(720, 480, qRgb(255, 0, 0)), 16.0 / 9);
  const QImage wide = Shot();
  EXPECT_TRUE(IsBlack(wide.pixel(160, 28)));  // 320x180 at top 30
  EXPECT_TRUE(IsRed(wide.pixel(160, 32)));
  EXPECT_TRUE(IsBlack(wide.pixel(160, 212)));
}

TEST_F(VideoSurfaceTest, PlacementRectIsHonouredWithAndWithoutProportions) {
  auto sink = AcquireVideoSink(h);
  const LumoraRect r{20, 10, 100, 50};
  ASSERT_TRUE(SetVideoPlacement(h, &r, false));
  sink->Present(Solid(10, 10, qRgb(255, 0, 0)), 0);
  QImage shot = Shot();
  EXPECT_TRUE(IsRed(shot.pixel(20, 10)));
  EXPECT_TRUE(IsRed(shot.pixel(119, 59)));
  EXPECT_TRUE(IsBlack(shot.pixel(19, 30)));
  EXPECT_TRUE(IsBlack(shot.pixel(120, 30)));
  EXPECT_TRUE(IsBlack(shot.pixel(60, 60)));

  ASSERT_TRUE(SetVideoPlacement(h, &r, true));  // square picture: 50x50 centred in the rect
  shot = Shot();
  EXPECT_TRUE(IsBlack(shot.pixel(40, 30)));
  EXPECT_TRUE(IsRed(shot.pixel(50, 30)));
  EXPECT_TRUE(IsRed(shot.pixel(94, 30)));
  EXPECT_TRUE(IsBlack(shot.pixel(96, 30)));

  // The whole window again, following a resize.
  ASSERT_TRUE(SetVideoPlacement(h, nullptr, false));
  window->resize(200, 100);
  shot = Shot();
  ASSERT_EQ(shot.size(), QSize(200, 100));
  EXPECT_TRUE(IsRed(shot.pixel(0, 0)));
  EXPECT_TRUE(IsRed(shot.pixel(199, 99)));
}

TEST_F(VideoSurfaceTest, FramesFromAWorkerThreadArePainted) {
  auto sink = AcquireVideoSink(h);
  SetVideoPlacement(h, nullptr, true);
  std::thread worker([sink] {
    for (int i = 0; i < 20; ++i) sink->Present(Solid(64, 48, qRgb(i * 10, 0, 0)), 4.0 / 3);
  });
  worker.join();
  EXPECT_EQ(sink->FrameCount(), 20u);
  EXPECT_EQ(qRed(sink->LastFrame().pixel(0, 0)), 190);
  const QImage shot = Shot();
  EXPECT_EQ(qRed(shot.pixel(160, 120)), 190);  // the latest frame, not an older one
  EXPECT_GE(PresentedFrameCount(h), 1u);
}

TEST_F(VideoSurfaceTest, ReleasedSurfaceShowsBlackAndOldSinksGoQuiet) {
  auto sink = AcquireVideoSink(h);
  SetVideoPlacement(h, nullptr, false);
  sink->Present(Solid(32, 32, qRgb(255, 0, 0)), 0);
  EXPECT_TRUE(IsRed(Shot().pixel(100, 100)));
  ReleaseVideoSink(h);
  EXPECT_TRUE(IsBlack(Shot().pixel(100, 100)));
  sink->Present(Solid(32, 32, qRgb(255, 0, 0)), 0);
  EXPECT_TRUE(IsBlack(Shot().pixel(100, 100)));

  auto next = AcquireVideoSink(h);
  next->Present(Solid(32, 32, qRgb(0, 0, 255)), 0);
  sink->Present(Solid(32, 32, qRgb(255, 0, 0)), 0);
  EXPECT_EQ(Shot().pixel(100, 100) & 0xFFFFFF, 0x0000FFu);

  // Acquiring again (to make sure the surface exists) keeps the sinks already handed out.
  ASSERT_TRUE(AcquireVideoSink(h));
  next->Present(Solid(32, 32, qRgb(0, 255, 0)), 0);
  EXPECT_EQ(Shot().pixel(100, 100) & 0xFFFFFF, 0x00FF00u);
}

TEST_F(VideoSurfaceTest, UnknownOrDestroyedWindows) {
  EXPECT_EQ(AcquireVideoSink(0xdead0), nullptr);
  EXPECT_FALSE(SetVideoPlacement(0xdead0, nullptr, true));
  EXPECT_EQ(PresentedFrameCount(0xdead0), 0u);

  auto sink = AcquireVideoSink(h);
  std::atomic<bool> stop{false};
  std::thread worker([&] {
    while (!stop) sink->Present(Solid(64, 48, qRgb(1, 2, 3)), 0);
  });
  PumpMessages(20);
  delete window;  // frames keep coming while the window goes away
  window = nullptr;
  PumpMessages(20);
  stop = true;
  worker.join();
  EXPECT_GT(sink->FrameCount(), 0u);
  EXPECT_EQ(AcquireVideoSink(h), nullptr);
}

}  // namespace

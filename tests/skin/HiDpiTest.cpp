// The skinned windows on a desktop scaled by 2: skin bitmaps and masks are enlarged by whole
// device pixels with clean edges, and the video keeps its full resolution.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QPainter>
#include <QTemporaryDir>

#include "platform/VideoSurface.h"
#include "platform/Window.h"
#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/core/PlayerWindows.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"

namespace {

std::string DefaultSkin() {
  const QString bin =
      qEnvironmentVariable("LUMORA_BIN_DIR", QCoreApplication::applicationDirPath());
  return bin.toStdString() + "/Skin/Default/";
}

// A pixel that mixes the see-through magenta into the picture: the fringe smoothing leaves.
bool Tinted(QRgb c) { return qRed(c) - qGreen(c) > 60 && qBlue(c) - qGreen(c) > 60; }

// What the window shows, in device pixels, and the same drawn at one pixel per skin pixel.
struct Renders {
  QImage scaled, plain;
};
Renders Render(QWidget* w) {
  Renders r;
  r.scaled = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
  r.plain = QImage(w->size(), QImage::Format_RGB32);
  r.plain.setDevicePixelRatio(1.0);
  r.plain.fill(Qt::black);
  w->render(&r.plain);
  return r;
}

// Every skin pixel on the edge of the window's mask becomes one uniform 2 x 2 block of the same
// colour, and no pixel inside the mask is tinted by the key colour.
void ExpectCrispMask(QWidget* w) {
  const QRegion mask = w->mask();
  ASSERT_FALSE(mask.isEmpty()) << w->objectName().toStdString();
  const Renders r = Render(w);
  ASSERT_EQ(r.scaled.size(), w->size() * 2) << "drawn at the device pixel ratio";
  EXPECT_EQ(r.scaled.devicePixelRatio(), 2.0);
  int edges = 0, tinted = 0, soft = 0;
  for (int y = 0; y < w->height(); ++y)
    for (int x = 0; x < w->width(); ++x) {
      if (!mask.contains(QPoint(x, y))) continue;
      for (int d = 0; d < 4; ++d)
        for (int e = 0; e < 2; ++e)
          if (Tinted(r.scaled.pixel(2 * x + d % 2, 2 * y + e))) ++tinted;
      const bool edge = !mask.contains(QPoint(x - 1, y)) || !mask.contains(QPoint(x + 1, y)) ||
                        !mask.contains(QPoint(x, y - 1)) || !mask.contains(QPoint(x, y + 1));
      if (!edge) continue;
      ++edges;
      const QRgb c = r.scaled.pixel(2 * x, 2 * y);
      if (r.scaled.pixel(2 * x + 1, 2 * y) != c || r.scaled.pixel(2 * x, 2 * y + 1) != c ||
          r.scaled.pixel(2 * x + 1, 2 * y + 1) != c || r.plain.pixel(x, y) != c)
        ++soft;
    }
  EXPECT_GT(edges, 100) << "the mask has a shaped outline";
  EXPECT_EQ(tinted, 0) << "key colour smeared into " << w->objectName().toStdString();
  EXPECT_EQ(soft, 0) << "edge pixels not kept whole in " << w->objectName().toStdString();
}

class HiDpiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(qApp->devicePixelRatio(), 2.0) << "the test runs with QT_SCALE_FACTOR=2";
    qputenv("LUMORA_HOME", home_.path().toUtf8() + "/");
    main_ = CreatePlayerWindows();
  }
  void TearDown() override { DestroyPlayerWindows(); }
  QTemporaryDir home_;
  TFT_LumoraDVD_MainForm* main_ = nullptr;
};

TEST_F(HiDpiTest, SkinWindowsAndTheirMasksScaleByWholePixels) {
  ASSERT_TRUE(main_->ApplySkin(DefaultSkin()));
  TFT_LumoraDVD_OperationForm* panel = FT_LumoraDVD_OperationForm;
  panel->show();
  main_->show();
  plat::PumpMessages(50);
  ExpectCrispMask(panel);
  ExpectCrispMask(main_);
}

TEST_F(HiDpiTest, VideoKeepsItsFullResolution) {
  QWidget window;
  window.resize(320, 240);
  window.show();
  const HWND h = plat::RegisterWindow(&window);
  auto sink = plat::AcquireVideoSink(h);
  ASSERT_TRUE(sink);
  ASSERT_TRUE(plat::SetVideoPlacement(h, nullptr, true));
  // One-pixel stripes: any scaling to the window's logical size would merge them.
  QImage frame(640, 480, QImage::Format_RGB32);
  for (int y = 0; y < frame.height(); ++y)
    for (int x = 0; x < frame.width(); ++x)
      frame.setPixel(x, y, (x + y) % 2 ? qRgb(250, 250, 250) : qRgb(0, 0, 200));
  const uint64_t before = plat::PresentedFrameCount(h);
  sink->Present(frame, 0);
  for (int i = 0; i < 200 && plat::PresentedFrameCount(h) == before; ++i) plat::PumpMessages(20);
  ASSERT_GT(plat::PresentedFrameCount(h), before);
  const QImage shown = plat::PresentedFrame(h).convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(shown.size(), QSize(640, 480));
  EXPECT_EQ(shown, frame);
  // And on the screen: the window's device pixels carry the stripes.
  const QImage screen = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(screen.size(), QSize(640, 480));
  EXPECT_NE(screen.pixel(100, 100), screen.pixel(101, 100));
  EXPECT_EQ(screen.pixel(100, 100), frame.pixel(100, 100));
  plat::ReleaseVideoSink(h);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_SCALE_FACTOR", "2");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

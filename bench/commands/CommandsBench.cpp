// Latency from the user's key or click to the engine acting on it, in a running player:
// Space → the clip paused; a DVD arrow key → the moved highlight on the screen; a click on a
// DVD menu button → the button's title starting.
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/MessageBox.h"
#include "platform/VideoSurface.h"
#include "platform/Window.h"
#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/core/EngineApi.h"
#include "player/core/Ft_lumoradvdplay.h"
#include "player/core/Ft_lumoradvdstate.h"
#include "player/library/Ft_lumoradvdsubform.h"
#include "player/mainwindow/Ft_lumoradvdfullscreenform.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/mainwindow/Ft_lumoradvdshadowform.h"
#include "player/widgets/TPanel.h"

namespace {

template <typename F>
bool WaitFor(F done, int ms) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < ms) plat::PumpMessages(1);
  return done();
}

void SendKey(QWidget* to, Qt::Key key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(to, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(to, &release);
}

struct Stats {
  std::vector<double> ms;
  void Print(const char* what, double target) {
    if (ms.empty()) {
      std::printf("%-44s no samples\n", what);
      return;
    }
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    std::printf("%-44s n=%2zu  min %6.2f  median %6.2f  max %6.2f ms  (target < %.0f ms: %s)\n",
                what, ms.size(), ms.front(), median, ms.back(), target,
                median < target ? "met" : "MISSED");
  }
};

bool SameImage(const QImage& a, const QImage& b) { return a.size() == b.size() && a == b; }

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: commands-bench CLIP DVD_FOLDER\n");
    return 2;
  }
  const std::string clip = argv[1], disc = argv[2];
  QTemporaryDir home;
  qputenv("LUMORA_HOME", home.path().toUtf8() + "/");
  plat::SetMessageBoxDouble([](const plat::MessageBoxRecord&) { return plat::IDOK; });
  auto* main = new TFT_LumoraDVD_MainForm();
  auto* panel = new TFT_LumoraDVD_OperationForm();
  new TFT_LumoraDVD_ShadowForm();
  new TFT_LumoraDVD_SubForm();
  new TFT_LumoraDVD_FullScreenForm();
  main->resize(800, 600);
  main->show();
  plat::PumpMessages(50);

  // Space → paused, 20 times on a playing clip.
  Stats space;
  CurrentPlayPath = clip;
  panel->PlayFromControl(nullptr);
  if (WaitFor([] { return PlayState == psPlaying; }, 5000)) {
    plat::PumpMessages(300);
    for (int i = 0; i < 20; ++i) {
      QElapsedTimer t;
      t.start();
      SendKey(main, Qt::Key_Space);
      if (PlayState == psPaused) space.ms.push_back(t.nsecsElapsed() / 1e6);
      SendKey(main, Qt::Key_Space);  // and play on
      WaitFor([] { return PlayState == psPlaying; }, 1000);
      plat::PumpMessages(50);
    }
  }
  panel->skImageButton_StopClick(nullptr);

  // DVD arrow key → the highlight drawn at its new place, in the disc's still menu.
  Stats arrow, click;
  CurrentPlayPath = disc;
  const bool dvd = StartDVD(disc);
  navdisc::IDvdInfo2* info = dvd ? GetIDvdInfo2() : nullptr;
  uint32_t available = 0, current = 0;
  if (info &&
      WaitFor([&] { return info->GetCurrentButton(&available, &current) >= 0 && available >= 2; },
              10000)) {
    plat::PumpMessages(500);
    for (int i = 0; i < 20; ++i) {
      const QImage before = plat::PresentedFrame(h_CurrentPreviewWindow);
      QElapsedTimer t;
      t.start();
      SendKey(main, (i % 2) ? Qt::Key_Up : Qt::Key_Down);
      if (WaitFor([&] { return !SameImage(plat::PresentedFrame(h_CurrentPreviewWindow), before); },
                  2000))
        arrow.ms.push_back(t.nsecsElapsed() / 1e6);
      plat::PumpMessages(100);
    }
    // A left click on the first button starts its title.
    QWidget* video = main->Panel_MainForm_Center;
    for (int i = 0; i < 5; ++i) {
      main->i_CurrentTitle = 0;
      JumpDVDMenu(3);
      plat::PumpMessages(400);
      // The button under the pointer: try the picture's upper half rows until one is hit.
      QPoint hit(-1, -1);
      for (int y = video->height() / 5; y < video->height() && hit.x() < 0; y += 8)
        for (int x = video->width() / 5; x < video->width() * 4 / 5 && hit.x() < 0; x += 16)
          if (HandleMouseEvent(x, y, false)) hit = QPoint(x, y);
      if (hit.x() < 0) break;
      QElapsedTimer t;
      t.start();
      QMouseEvent press(QEvent::MouseButtonPress, QPointF(hit), video->mapToGlobal(QPointF(hit)),
                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(video, &press);
      if (WaitFor([&] { return main->i_CurrentTitle > 0; }, 3000))
        click.ms.push_back(t.nsecsElapsed() / 1e6);
      QMouseEvent release(QEvent::MouseButtonRelease, QPointF(hit),
                          video->mapToGlobal(QPointF(hit)), Qt::LeftButton, Qt::NoButton,
                          Qt::NoModifier);
      QApplication::sendEvent(video, &release);
    }
  } else {
    std::fprintf(stderr, "the sample DVD did not reach its menu\n");
  }
  ClosePlayback();

  space.Print("Space -> clip paused", 30);
  arrow.Print("DVD arrow key -> highlight redrawn", 50);
  click.Print("click on DVD menu button -> title event", 250);
  return 0;
}

// Time from a resize of the main window to the first video frame painted at the new size,
// for a DVD and for a file. Usage: mainwindow-bench dvd|file PATH [RESIZES]
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/MessageBox.h"
#include "platform/VideoSurface.h"
#include "platform/Window.h"
#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/core/Ft_lumoradvdplay.h"
#include "player/core/Ft_lumoradvdstate.h"
#include "player/library/Ft_lumoradvdsubform.h"
#include "player/mainwindow/Ft_lumoradvdfullscreenform.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/mainwindow/Ft_lumoradvdshadowform.h"
#include "player/widgets/TPanel.h"

namespace {

// Pumps until the surface paints a picture of a size other than `old`, or gives up.
bool WaitForPaintNotSized(QSize old, uint64_t countBefore, int timeoutMs, QSize& painted) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < timeoutMs) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    if (plat::PresentedFrameCount(h_CurrentPreviewWindow) > countBefore) {
      painted = plat::PresentedFrame(h_CurrentPreviewWindow).size();
      if (!painted.isEmpty() && painted != old) return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s dvd|file PATH [RESIZES]\n", argv[0]);
    return 2;
  }
  const std::string kind = argv[1], path = argv[2];
  const int resizes = argc > 3 ? std::max(1, std::atoi(argv[3])) : 40;
  QApplication app(argc, argv);
  QTemporaryDir home;
  qputenv("LUMORA_HOME", home.path().toUtf8() + "/");
  plat::SetMessageBoxDouble([](const plat::MessageBoxRecord&) { return plat::IDOK; });

  auto* main = new TFT_LumoraDVD_MainForm();
  new TFT_LumoraDVD_OperationForm();
  new TFT_LumoraDVD_ShadowForm();
  new TFT_LumoraDVD_SubForm();
  new TFT_LumoraDVD_FullScreenForm();
  main->b_DisplayControlPanel = true;
  const std::string skin =
      qEnvironmentVariable("LUMORA_BIN_DIR", QCoreApplication::applicationDirPath()).toStdString() +
      "/Skin/Default/";
  if (!main->ApplySkin(skin)) {
    std::fprintf(stderr, "the Default skin did not apply (%s)\n", skin.c_str());
    return 1;
  }
  main->show();
  // The open commands name the kind of playback before starting it; the engines are asked
  // for the picture size by that kind.
  if (kind != "dvd") PlayType = ptFile;
  const bool started = kind == "dvd" ? StartDVD(path) : StartFile(path);
  if (!started) {
    std::fprintf(stderr, "cannot play %s\n", path.c_str());
    return 1;
  }
  // Playing, with a picture on the surface.
  QElapsedTimer wait;
  wait.start();
  while (plat::PresentedFrameCount(h_CurrentPreviewWindow) < 5 && wait.elapsed() < 20000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  if (plat::PresentedFrameCount(h_CurrentPreviewWindow) < 5) {
    std::fprintf(stderr, "no picture within 20 s\n");
    return 1;
  }

  const QSize sizes[2] = {QSize(640, 460), QSize(900, 640)};
  std::vector<double> ms;
  int missed = 0;
  for (int i = 0; i < resizes; ++i) {
    const QSize target = sizes[i % 2];
    const QSize old = plat::PresentedFrame(h_CurrentPreviewWindow).size();
    const uint64_t count = plat::PresentedFrameCount(h_CurrentPreviewWindow);
    QElapsedTimer t;
    t.start();
    main->SetWindowSize(target.width(), target.height(), true);
    QSize painted;
    if (WaitForPaintNotSized(old, count, 2000, painted))
      ms.push_back(t.nsecsElapsed() / 1e6);
    else
      ++missed;
    // Let playback settle between resizes, as a person dragging the grip would.
    QElapsedTimer gap;
    gap.start();
    while (gap.elapsed() < 40) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  ClosePlayback();
  std::sort(ms.begin(), ms.end());
  if (ms.empty()) {
    std::printf("%s: no resize was followed by a frame at the new size\n", kind.c_str());
    return 1;
  }
  auto pct = [&](double p) { return ms[std::min(ms.size() - 1, size_t(p * (ms.size() - 1)))]; };
  std::printf(
      "%-4s resize -> frame at new size: median %.1f ms, p90 %.1f ms, max %.1f ms "
      "(%zu resizes%s) target < 50 ms\n",
      kind.c_str(), pct(0.5), pct(0.9), ms.back(), ms.size(),
      missed ? (", " + std::to_string(missed) + " without a frame").c_str() : "");
  delete FT_LumoraDVD_FullScreenForm;
  delete FT_LumoraDVD_SubForm;
  delete FT_LumoraDVD_ShadowForm;
  delete FT_LumoraDVD_OperationForm;
  delete FT_LumoraDVD_MainForm;
  return 0;
}

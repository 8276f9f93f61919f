// Where the picture goes inside the video window, and the window sizing the
// player core relies on.
#include <QGuiApplication>
#include <QScreen>

#include "controlpanel/Ft_lumoradvdoperationform.h"
#include "core/EngineApi.h"
#include "core/Ft_lumoradvdplay.h"
#include "mainwindow/Ft_lumoradvdmainform.h"
#include "platform/Window.h"
#include "player/widgets/TPanel.h"

namespace {

constexpr int kZoomFactor[5] = {1, 1, 2, 4, 8};

QWidget* VideoWindow() { return plat::WidgetFromHandle(h_CurrentPreviewWindow); }

// The DVD engine first; the media engine when there is no DVD graph.
bool HandPlacement(const LumoraRect* rect, bool keep) {
  if (PutDVDOwner(h_CurrentPreviewWindow, rect, keep)) return true;
  return PutOwner(h_CurrentPreviewWindow, rect, keep);
}

}  // namespace

bool TFT_LumoraDVD_MainForm::ApplyAspectMode() {
  int32_t w = 0, h = 0;
  if (!GetVideoSize(w, h)) return false;
  QWidget* video = VideoWindow();
  const int W = video ? video->width() : 0;
  const int H = video ? video->height() : 0;
  switch (MyAspectRatioState) {
    case 0:
      return HandPlacement(nullptr, true);
    case 1:
      return HandPlacement(nullptr, false);
    case 2: {
      const LumoraRect r{(W - w) / 2, (H - h) / 2, w, h};
      return HandPlacement(&r, false);
    }
    case 3: {
      const double hf = H < 1 ? 1.0 : static_cast<double>(H);
      int32_t width, height;
      if (W / hf >= d_AspectRatio) {
        height = H;
        width = static_cast<int32_t>(H * d_AspectRatio);
      } else {
        width = W;
        height = static_cast<int32_t>(W / d_AspectRatio);
      }
      const LumoraRect r{(W - width) / 2, (H - height) / 2, width, height};
      return HandPlacement(&r, false);
    }
    default:
      return false;
  }
}

bool TFT_LumoraDVD_MainForm::SetAspectMode(int32_t mode) {
  const int32_t previous = MyAspectRatioState;
  MyAspectRatioState = mode;
  const bool ok = ApplyAspectMode();
  if (!ok) MyAspectRatioState = previous;
  return ok;
}

void TFT_LumoraDVD_MainForm::FitWindowToVideo() {
  int32_t w = 0, h = 0;
  if (!GetVideoSize(w, h)) return;
  b_NoVideo = w < 1 || h < 1;
  const QWidget* area = Panel_MainForm_Center;
  const int areaW = area ? area->width() : 0;
  const int areaH = area ? area->height() : 0;
  SetWindowSize(width() + w - areaW, height() + h - areaH, false);
  if (PlayType == ptDVD) ApplyAspectMode();
}

bool TFT_LumoraDVD_MainForm::ZoomTo(int level, const QRect* rect) {
  if (level <= 0) return ApplyAspectMode();
  if (level > 4) return false;
  int32_t w = 0, h = 0;
  if (!GetVideoSize(w, h)) return false;
  QWidget* video = VideoWindow();
  if (!video) return false;
  const QRect R(video->mapToGlobal(QPoint(0, 0)), video->size());
  const int f = kZoomFactor[level];
  const int zw = f * w, zh = f * h;
  int x, y;
  if (!rect) {
    x = (R.width() - zw) / 2;
    y = (R.height() - zh) / 2;
  } else {
    x = (i_ZoomLastX - (rect->left() - R.left())) * 2;
    y = (i_ZoomLastY - (rect->top() - R.top())) * 2;
  }
  i_ZoomLastX = x;
  i_ZoomLastY = y;
  const LumoraRect r{x, y, zw, zh};
  return HandPlacement(&r, false);
}

void TFT_LumoraDVD_MainForm::SetWindowSize(int w, int h, bool keepPosition) {
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
  const int maxW = i_MainWindowMaxWidth > 0 ? i_MainWindowMaxWidth : avail.width();
  const int maxH = i_MainWindowMaxHeight > 0 ? i_MainWindowMaxHeight : avail.height();
  const int minW = i_MainWindowMinWidth > 0 ? i_MainWindowMinWidth : 300;
  const int minH = (i_MainWindowMinHeight > 0 ? i_MainWindowMinHeight : 60) +
                   (b_DisplayControlPanel ? i_ControlPanelHeight : 0);
  w = ClampValue(w, minW, maxW);
  h = ClampValue(h, minH, maxH);
  resize(w, h);
  if (!keepPosition && !avail.contains(frameGeometry())) {
    move(avail.left() + (avail.width() - w) / 2, avail.top() + (avail.height() - h) / 2);
  }
}

void TFT_LumoraDVD_MainForm::SetControlBarDocked(bool docked) {
  b_DisplayControlPanel = docked;
  if (Panel_ControlPanel) {
    Panel_ControlPanel->setFixedHeight(docked ? i_ControlPanelHeight : 0);
    Panel_ControlPanel->setVisible(docked);
  }
  if (FT_LumoraDVD_OperationForm && isVisible()) FT_LumoraDVD_OperationForm->setVisible(!docked);
}

// Where the picture goes inside the video window: aspect modes, fitting the window to the
// picture, and zoom.
#include <QCursor>
#include <QTimer>

#include "platform/Shell.h"
#include "platform/Window.h"
#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/core/EngineApi.h"
#include "player/core/Ft_lumoradvdplay.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/mainwindow/Ft_lumoradvdshadowform.h"
#include "player/skin/SkinCursors.h"
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

void TFT_LumoraDVD_MainForm::EnterZoomMode() {
  QWidget* video = VideoWindow();
  if (!video) return;
  b_ZoomMode = true;
  ZoomTo(1);
  const QRect R(video->mapToGlobal(QPoint(0, 0)), video->size());
  plat::ClipCursor(&R);
  if (TFT_LumoraDVD_ShadowForm* shadow = FT_LumoraDVD_ShadowForm) {
    shadow->resize(R.width() / 2, R.height() / 2);
    shadow->move(R.left() + (R.width() - shadow->width()) / 2,
                 R.top() + (R.height() - shadow->height()) / 2);
    shadow->show();
    shadow->raise();
  }
  QCursor::setPos(R.center());
}

bool TFT_LumoraDVD_MainForm::ZoomIn() {
  if (i_ZoomLevel + 1 > 4) return false;
  const bool ok = ZoomTo(i_ZoomLevel + 1);
  if (ok) ++i_ZoomLevel;
  ShowZoomSelector(i_ZoomLevel < 4);
  return ok;
}

bool TFT_LumoraDVD_MainForm::ZoomOut() {
  if (i_ZoomLevel - 1 < 1) return false;
  const bool ok = ZoomTo(i_ZoomLevel - 1);
  if (ok) --i_ZoomLevel;
  ShowZoomSelector(i_ZoomLevel < 4);
  return ok;
}

void TFT_LumoraDVD_MainForm::LeaveZoomMode() {
  b_ZoomMode = false;
  i_ZoomLevel = 1;
  ApplyAspectMode();
  plat::ClipCursor(nullptr);
  if (FT_LumoraDVD_ShadowForm) FT_LumoraDVD_ShadowForm->close();
  if (Panel_MainForm_Center) Panel_MainForm_Center->unsetCursor();
}

void TFT_LumoraDVD_MainForm::ShowZoomSelector(bool on) {
  TFT_LumoraDVD_ShadowForm* shadow = FT_LumoraDVD_ShadowForm;
  if (!shadow) return;
  if (on) {
    shadow->show();
    shadow->raise();
  } else {
    shadow->close();
  }
}

bool TFT_LumoraDVD_MainForm::ZoomMouseMove(QPoint cursor) {
  if (!b_ZoomMode) return false;
  QWidget* video = VideoWindow();
  if (!video) return false;
  if (Panel_MainForm_Center) Panel_MainForm_Center->setCursor(SkinCursor(kCursorZoom));
  if (TFT_LumoraDVD_ShadowForm* shadow = FT_LumoraDVD_ShadowForm) {
    const QRect R(video->mapToGlobal(QPoint(0, 0)), video->size());
    const int sw = shadow->width(), sh = shadow->height();
    // The selector stays inside the video window.
    const int left = ClampValue(cursor.x() - sw / 2, R.left(), R.left() + R.width() - sw);
    const int top = ClampValue(cursor.y() - sh / 2, R.top(), R.top() + R.height() - sh);
    shadow->move(left, top);
  }
  update();
  return true;
}

bool TFT_LumoraDVD_MainForm::ZoomMouseUp(TMouseButton button) {
  if (!b_ZoomMode || button != mbLeft) return false;
  TFT_LumoraDVD_ShadowForm* shadow = FT_LumoraDVD_ShadowForm;
  if (i_ZoomLevel + 1 <= 4 && shadow) {
    const QRect picked = shadow->geometry();
    if (ZoomTo(i_ZoomLevel + 1, &picked)) ++i_ZoomLevel;
  }
  ShowZoomSelector(i_ZoomLevel <= 3);
  return true;
}

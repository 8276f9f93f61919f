#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/core/ControllerDetail.h"
#include "player/core/Ft_lumoradvdstate.h"
#include "player/mainwindow/Ft_lumoradvdcontrolframe.h"
#include "player/skin/controls/Ftimagebutton.h"

void MirrorBar(TFT_ProgressBar* bar, int32_t value, BarKind kind) {
  TFT_LumoraDVD_OperationForm* panel = FT_LumoraDVD_OperationForm;
  TFT_LumoraDVD_ControlFrame* frame = FT_LumoraDVD_ControlFrame;
  TFT_ProgressBar* panelBar = nullptr;
  TFT_ProgressBar* frameBar = nullptr;
  if (kind == BarKind::Position) {
    panelBar = panel ? panel->ProgressBar : nullptr;
    frameBar = frame ? frame->ProgressBar : nullptr;
  } else {
    panelBar = panel ? panel->VolumeBar : nullptr;
    frameBar = frame ? frame->VolumeBar : nullptr;
  }
  if (bar && bar == panelBar) {
    if (frameBar) frameBar->SetPosition(value, false);
  } else if (bar && bar == frameBar) {
    if (panelBar) panelBar->SetPosition(value, false);
  }
}

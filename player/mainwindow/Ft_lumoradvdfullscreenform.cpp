#include "mainwindow/Ft_lumoradvdfullscreenform.h"

#include "core/Ft_lumoradvdstate.h"
#include "platform/Window.h"
#include "player/widgets/TPanel.h"

TFT_LumoraDVD_FullScreenForm::TFT_LumoraDVD_FullScreenForm(QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint) {
  FT_LumoraDVD_FullScreenForm = this;
  setObjectName("FT_LumoraDVD_FullScreenForm");
  CreateComponents();
  h_Handle = plat::RegisterWindow(this);
  // The engines address this window's video panel while full screen is on.
  if (Panel_MainForm_Center) plat::RegisterWindow(Panel_MainForm_Center);
}

TFT_LumoraDVD_FullScreenForm::~TFT_LumoraDVD_FullScreenForm() {
  if (FT_LumoraDVD_FullScreenForm == this) FT_LumoraDVD_FullScreenForm = nullptr;
}

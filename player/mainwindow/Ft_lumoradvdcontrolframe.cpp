#include "mainwindow/Ft_lumoradvdcontrolframe.h"

#include "core/Ft_lumoradvdstate.h"
#include "platform/Window.h"

TFT_LumoraDVD_ControlFrame::TFT_LumoraDVD_ControlFrame(QWidget* owner) : QWidget(owner) {
  setObjectName("FT_LumoraDVD_ControlFrame");
  CreateComponents();
  plat::RegisterWindow(this);
}

TFT_LumoraDVD_ControlFrame::~TFT_LumoraDVD_ControlFrame() {
  if (FT_LumoraDVD_ControlFrame == this) FT_LumoraDVD_ControlFrame = nullptr;
}

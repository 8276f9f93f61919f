#include "mainwindow/Ft_lumoradvdshadowform.h"

#include "core/Ft_lumoradvdstate.h"
#include "platform/Window.h"

TFT_LumoraDVD_ShadowForm::TFT_LumoraDVD_ShadowForm(QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint | Qt::Tool | Qt::WindowStaysOnTopHint) {
  FT_LumoraDVD_ShadowForm = this;
  setObjectName("FT_LumoraDVD_ShadowForm");
  CreateComponents();
  plat::RegisterWindow(this);
}

TFT_LumoraDVD_ShadowForm::~TFT_LumoraDVD_ShadowForm() {
  if (FT_LumoraDVD_ShadowForm == this) FT_LumoraDVD_ShadowForm = nullptr;
}

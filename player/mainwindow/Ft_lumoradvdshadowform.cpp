#include "player/mainwindow/Ft_lumoradvdshadowform.h"

#include <QRegion>

#include "platform/Window.h"
#include "player/core/Ft_lumoradvdstate.h"

TFT_LumoraDVD_ShadowForm::TFT_LumoraDVD_ShadowForm(QWidget* owner)
    // Only an outline: the pointer acts on whatever lies under it.
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint | Qt::Tool | Qt::WindowStaysOnTopHint |
                         Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus) {
  FT_LumoraDVD_ShadowForm = this;
  setObjectName("FT_LumoraDVD_ShadowForm");
  setAttribute(Qt::WA_ShowWithoutActivating);
  CreateComponents();
  plat::RegisterWindow(this);
}

TFT_LumoraDVD_ShadowForm::~TFT_LumoraDVD_ShadowForm() {
  if (FT_LumoraDVD_ShadowForm == this) FT_LumoraDVD_ShadowForm = nullptr;
}

void TFT_LumoraDVD_ShadowForm::MakeOutlineRegion() {
  const QRect all = rect();
  setMask(QRegion(all).subtracted(QRegion(all.adjusted(2, 2, -2, -2))));
}

void TFT_LumoraDVD_ShadowForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  b_Resized = true;
  // A visible outline follows its new size at once.
  if (isVisible()) MakeOutlineRegion();
}

void TFT_LumoraDVD_ShadowForm::showEvent(QShowEvent* event) {
  if (b_Resized) MakeOutlineRegion();
  QWidget::showEvent(event);
}

// Entering and leaving full screen: the picture and the control bar move to the full-screen
// window and back.
#include <QApplication>
#include <QScreen>
#include <QWindow>

#include "platform/Window.h"
#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/core/Ft_lumoradvdstate.h"
#include "player/mainwindow/Ft_lumoradvdcontrolframe.h"
#include "player/mainwindow/Ft_lumoradvdfullscreenform.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/skin/Ft_updateplayerskin.h"
#include "player/widgets/TPanel.h"

void TFT_LumoraDVD_MainForm::EnterFullScreen() {
  TFT_LumoraDVD_FullScreenForm* full = FT_LumoraDVD_FullScreenForm;
  if (b_FullScreen || !full || !full->Panel_MainForm_Center) return;
  h_CurrentPreviewWindow = plat::RegisterWindow(full->Panel_MainForm_Center);
  if (TFT_LumoraDVD_ControlFrame* bar = FT_LumoraDVD_ControlFrame;
      bar && full->Panel_ControlPanel) {
    bar->setParent(full->Panel_ControlPanel);
    ApplyFrameSkin(bar, CurrentSkinPath);
    bar->show();
  }
  // Covers the screen this window is on, above the desktop's panels.
  if (QScreen* s = screen()) {
    full->setScreen(s);
    full->setGeometry(s->geometry());
  }
  full->setWindowFlag(Qt::WindowStaysOnTopHint);
  full->showFullScreen();
  full->raise();
  full->activateWindow();
  b_FullScreen = true;
  ApplyAspectMode();
  if (!b_DisplayControlPanel && FT_LumoraDVD_OperationForm &&
      FT_LumoraDVD_OperationForm->isVisible())
    FT_LumoraDVD_OperationForm->raise();
}

void TFT_LumoraDVD_MainForm::LeaveFullScreen() {
  TFT_LumoraDVD_FullScreenForm* full = FT_LumoraDVD_FullScreenForm;
  if (!b_FullScreen) return;
  if (Panel_MainForm_Center) h_CurrentPreviewWindow = plat::RegisterWindow(Panel_MainForm_Center);
  if (TFT_LumoraDVD_ControlFrame* bar = FT_LumoraDVD_ControlFrame) {
    QWidget* strip = Panel_ControlPanel ? static_cast<QWidget*>(Panel_ControlPanel) : this;
    bar->setParent(strip);
    ApplyFrameSkin(bar, CurrentSkinPath);
    bar->move((strip->width() - bar->width()) / 2, bar->y());
    bar->show();
  }
  if (full) full->close();
  b_FullScreen = false;
  if (full) full->StepCursorCount(1);
  ApplyAspectMode();
  // A box that was open stays the window the user answers.
  if (QWidget* modal = QApplication::activeModalWidget()) {
    modal->raise();
    modal->activateWindow();
  } else {
    activateWindow();
  }
}

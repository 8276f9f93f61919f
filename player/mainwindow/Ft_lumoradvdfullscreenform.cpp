#include "player/mainwindow/Ft_lumoradvdfullscreenform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include "platform/Window.h"
#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/core/Ft_lumoradvdstate.h"
#include "player/mainwindow/Ft_lumoradvdcontrolframe.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/mainwindow/VideoPanelEvents.h"
#include "player/widgets/TImage.h"
#include "player/widgets/TPanel.h"
#include "player/widgets/TTimer.h"

TFT_LumoraDVD_FullScreenForm::TFT_LumoraDVD_FullScreenForm(QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint) {
  FT_LumoraDVD_FullScreenForm = this;
  setObjectName("FT_LumoraDVD_FullScreenForm");
  CreateComponents();
  h_Handle = plat::RegisterWindow(this);
  // The engines address this window's video panel while full screen is on.
  if (Panel_MainForm_Center) plat::RegisterWindow(Panel_MainForm_Center);

  if (Timer_Cursor) Timer_Cursor->SetOnTimer([this](QObject* s) { Timer_CursorTimer(s); });
  ConnectVideoPanel(this, Panel_MainForm_Center, Image_MainForm_Center);
  if (Panel_ControlPanel) {
    Panel_ControlPanel->OnMouseMove = [this](QObject* s, TShiftState sh, int x, int y) {
      Panel_ControlPanelMouseMove(s, sh, x, y);
    };
    Panel_ControlPanel->OnClick = [this](QObject* s) { Panel_ControlPanelClick(s); };
    Panel_ControlPanel->setMouseTracking(true);
  }
}

TFT_LumoraDVD_FullScreenForm::~TFT_LumoraDVD_FullScreenForm() {
  // A hidden cursor must not outlive the window that hid it.
  while (i_CursorCount < 0) StepCursorCount(1);
  if (FT_LumoraDVD_FullScreenForm == this) FT_LumoraDVD_FullScreenForm = nullptr;
}

bool TFT_LumoraDVD_FullScreenForm::BarShown() const {
  return Panel_ControlPanel && Panel_ControlPanel->height() > 0;
}

void TFT_LumoraDVD_FullScreenForm::SetBarHeight(int height) {
  if (!Panel_ControlPanel) return;
  Panel_ControlPanel->setFixedHeight(std::max(0, height));
  components::AlignControls(this);
  components::AlignControls(Panel_ControlPanel);
}

void TFT_LumoraDVD_FullScreenForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FormShow();
}

void TFT_LumoraDVD_FullScreenForm::FormShow() {
  // The screen the main window is on, whole.
  QScreen* screen = FT_LumoraDVD_MainForm ? FT_LumoraDVD_MainForm->screen() : nullptr;
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (screen && geometry() != screen->geometry()) setGeometry(screen->geometry());
  if (Image_MainForm_Center) {
    components::SetAlign(Image_MainForm_Center, alClient);
    Image_MainForm_Center->setVisible(b_NoVideo && PlayType != ptDVD);
  }
  SetBarHeight(0);
  if (Timer_Cursor) Timer_Cursor->SetEnabled(true);
  b_ControlPanelInFront = true;
  b_BarPinned = false;
  b_KeepCursor = false;
  qApp->installEventFilter(this);
}

void TFT_LumoraDVD_FullScreenForm::closeEvent(QCloseEvent* event) {
  FormClose();
  QWidget::closeEvent(event);
}

void TFT_LumoraDVD_FullScreenForm::FormClose() {
  qApp->removeEventFilter(this);
  ShowMouseCursor(true);
  if (Timer_Cursor) Timer_Cursor->SetEnabled(false);
  b_KeepCursor = true;
}

bool TFT_LumoraDVD_FullScreenForm::eventFilter(QObject* watched, QEvent* event) {
  // A modal box opened during full screen belongs above it, or it would sit unseen behind.
  if (event->type() == QEvent::Show && isVisible()) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (w && w != this && w->isWindow() && w->isModal()) {
      if (w->windowHandle() && windowHandle())
        w->windowHandle()->setTransientParent(windowHandle());
      w->raise();
    }
  }
  return false;
}

void TFT_LumoraDVD_FullScreenForm::StepCursorCount(int step) {
  const bool wasShown = i_CursorCount >= 0;
  i_CursorCount += step;
  const bool shown = i_CursorCount >= 0;
  if (wasShown == shown) return;
  if (shown)
    QGuiApplication::restoreOverrideCursor();
  else
    QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
}

void TFT_LumoraDVD_FullScreenForm::ShowMouseCursor(bool show) {
  if (show && b_KeepCursor) {
    if (Timer_Cursor) Timer_Cursor->SetEnabled(false);
    return;
  }
  if (show) {
    while (i_CursorCount < 0) StepCursorCount(1);
  } else {
    while (i_CursorCount >= 0) StepCursorCount(-1);
  }
}

void TFT_LumoraDVD_FullScreenForm::Timer_CursorTimer(QObject*) { ShowMouseCursor(false); }

void TFT_LumoraDVD_FullScreenForm::Panel_MainForm_CenterMouseDown(QObject* sender,
                                                                  TMouseButton button,
                                                                  TShiftState shift, int x, int y) {
  ShowMouseCursor(true);
  if (FT_LumoraDVD_MainForm)
    FT_LumoraDVD_MainForm->Panel_MainForm_CenterMouseDown(sender, button, shift, x, y);
  if (b_BarPinned) {
    SetBarHeight(0);
    b_BarPinned = false;
  }
  b_KeepCursor = false;
}

void TFT_LumoraDVD_FullScreenForm::Panel_MainForm_CenterMouseMove(QObject* sender,
                                                                  TShiftState shift, int x, int y) {
  ShowMouseCursor(true);
  TFT_LumoraDVD_MainForm* main = FT_LumoraDVD_MainForm;
  if (!main) return;
  main->Panel_MainForm_CenterMouseMove(sender, shift, x, y);
  if (y > height() - main->i_ControlPanelHeight / 2) {
    if (Image_MainForm_Center) components::SetAlign(Image_MainForm_Center, alNone);
    if (TFT_LumoraDVD_ControlFrame* bar = FT_LumoraDVD_ControlFrame;
        bar && Panel_ControlPanel && bar->parentWidget() == Panel_ControlPanel)
      bar->move((Panel_ControlPanel->width() - bar->width()) / 2, bar->y());
    SetBarHeight(main->i_ControlPanelHeight);
    if (Timer_Cursor) Timer_Cursor->SetEnabled(false);
  } else if (!b_BarPinned) {
    SetBarHeight(0);
  }
  b_KeepCursor = false;
}

void TFT_LumoraDVD_FullScreenForm::Panel_MainForm_CenterMouseUp(QObject* sender,
                                                                TMouseButton button,
                                                                TShiftState shift, int x, int y) {
  ShowMouseCursor(true);
  b_KeepCursor = button == mbRight;
  if (FT_LumoraDVD_MainForm)
    FT_LumoraDVD_MainForm->Panel_MainForm_CenterMouseUp(sender, button, shift, x, y);
}

void TFT_LumoraDVD_FullScreenForm::Panel_MainForm_CenterClick(QObject*) {
  ShowMouseCursor(true);
  TFT_LumoraDVD_OperationForm* panel = FT_LumoraDVD_OperationForm;
  if (panel && panel->isVisible()) {
    if (!b_HitDVDButton) {
      if (b_ControlPanelInFront)
        raise();
      else
        panel->raise();
      b_ControlPanelInFront = !b_ControlPanelInFront;
      b_KeepCursor = b_ControlPanelInFront;
    } else if (b_ControlPanelInFront) {
      panel->raise();
    }
  }
  b_HitDVDButton = false;
}

void TFT_LumoraDVD_FullScreenForm::Panel_MainForm_CenterDblClick(QObject*) {
  ShowMouseCursor(true);
  TFT_LumoraDVD_MainForm* main = FT_LumoraDVD_MainForm;
  if (main && !main->b_ZoomMode) main->LeaveFullScreen();
}

void TFT_LumoraDVD_FullScreenForm::Panel_ControlPanelMouseMove(QObject*, TShiftState, int, int) {
  ShowMouseCursor(true);
  if (Timer_Cursor) Timer_Cursor->SetEnabled(false);
  b_KeepCursor = true;
}

void TFT_LumoraDVD_FullScreenForm::Panel_ControlPanelClick(QObject*) { b_BarPinned = true; }

void TFT_LumoraDVD_FullScreenForm::FormShortCut(int key, bool& handled) {
  handled = true;
  TFT_LumoraDVD_MainForm* main = FT_LumoraDVD_MainForm;
  if (!main) return;
  if (key == 13 || key == 32 || (key >= 37 && key <= 40)) {
    bool mainHandled = false;
    main->FormShortCut(key, mainHandled);
  } else if (key == 27) {
    if (main->b_ZoomMode) {
      bool mainHandled = false;
      main->FormShortCut(27, mainHandled);  // leaves zoom mode
    } else {
      main->LeaveFullScreen();
    }
  }
}

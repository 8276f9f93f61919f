#include "player/mainwindow/Ft_lumoradvdcontrolframe.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>

#include "platform/Window.h"
#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/core/Ft_lumoradvdstate.h"
#include "player/library/Ft_lumoradvdsubform.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/mainwindow/Ft_lumoradvdshadowform.h"
#include "player/widgets/TPopupMenu.h"
#include "player/widgets/TskImageButton.h"

namespace {

TFT_LumoraDVD_OperationForm* Panel() { return FT_LumoraDVD_OperationForm; }

// A rectangle that lies on no screen is brought onto the nearest one's work area.
QPoint OnSomeScreen(const QRect& r) {
  for (QScreen* s : QGuiApplication::screens())
    if (s->geometry().intersects(r)) return r.topLeft();
  QScreen* s = QGuiApplication::screenAt(QCursor::pos());
  if (!s && FT_LumoraDVD_MainForm) s = FT_LumoraDVD_MainForm->screen();
  if (!s) s = QGuiApplication::primaryScreen();
  if (!s) return r.topLeft();
  const QRect a = s->availableGeometry();
  return {ClampValue(r.left(), a.left(), a.right() - r.width() + 1),
          ClampValue(r.top(), a.top(), a.bottom() - r.height() + 1)};
}

}  // namespace

TFT_LumoraDVD_ControlFrame::TFT_LumoraDVD_ControlFrame(QWidget* owner) : QWidget(owner) {
  setObjectName("FT_LumoraDVD_ControlFrame");
  setAttribute(Qt::WA_StaticContents);
  CreateComponents();
  plat::RegisterWindow(this);
  auto button = [this](const char* name) {
    return findChild<TskImageButton*>(QString::fromLatin1(name));
  };
  skImageButton_FastForward = button("skImageButton_FastForward");
  skImageButton_FastReverse = button("skImageButton_FastReverse");
  skImageButton_Mute = button("skImageButton_Mute");
  skImageButton_DeMute = button("skImageButton_DeMute");
  skImageButton_VolumeUp = button("skImageButton_VolumeUp");
  skImageButton_VolumeDown = button("skImageButton_VolumeDown");
  skImageButton_Eject = button("skImageButton_Eject");
  skImageButton_PlaybackRate = button("skImageButton_PlaybackRate");
  skImageButton_Ex = button("skImageButton_Ex");
  PopupMenu_Ex = findChild<TPopupMenu*>("PopupMenu_Ex");
  PopMenu_VideoSetup = findChild<TMenuItem*>("PopMenu_VideoSetup");
  PopMenu_AudioSetup = findChild<TMenuItem*>("PopMenu_AudioSetup");
  PopMenu_Open = findChild<TMenuItem*>("PopMenu_Open");
  ConnectButtons();
}

TFT_LumoraDVD_ControlFrame::~TFT_LumoraDVD_ControlFrame() {
  if (FT_LumoraDVD_ControlFrame == this) FT_LumoraDVD_ControlFrame = nullptr;
}

void TFT_LumoraDVD_ControlFrame::ConnectButtons() {
  // Every button does what the control panel's twin does: the panel owns the commands.
  if (skImageButton_Play)
    skImageButton_Play->OnClick = [](QObject*) {
      if (TFT_LumoraDVD_OperationForm* p = Panel()) p->PlayFromControl(p->skImageButton_Play);
    };
  if (skImageButton_Pause)
    skImageButton_Pause->OnClick = [](QObject*) {
      if (TFT_LumoraDVD_OperationForm* p = Panel()) p->skImageButton_PauseClick(nullptr);
    };
  if (skImageButton_Stop)
    skImageButton_Stop->OnClick = [](QObject* sender) {
      if (TFT_LumoraDVD_OperationForm* p = Panel()) p->skImageButton_StopClick(sender);
    };
  if (skImageButton_NextChapter)
    skImageButton_NextChapter->OnClick = [](QObject*) {
      if (TFT_LumoraDVD_OperationForm* p = Panel())
        p->skImageButton_NextChapterClick(p->skImageButton_NextChapter);
    };
  if (skImageButton_PreviousChapter)
    skImageButton_PreviousChapter->OnClick = [](QObject*) {
      if (TFT_LumoraDVD_OperationForm* p = Panel())
        p->skImageButton_NextChapterClick(p->skImageButton_PreviousChapter);
    };
  if (skImageButton_FastForward)
    skImageButton_FastForward->OnClick = [](QObject* sender) {
      if (TFT_LumoraDVD_OperationForm* p = Panel()) p->skImageButton_FastForwardClick(sender);
    };
  // The rest go without a sender, as the panel's own handlers expect from the bar.
  using Handler = void (TFT_LumoraDVD_OperationForm::*)(QObject*);
  auto forward = [](TskImageButton* button, Handler handler) {
    if (!button) return;
    button->OnClick = [handler](QObject*) {
      if (TFT_LumoraDVD_OperationForm* p = Panel()) (p->*handler)(nullptr);
    };
  };
  using F = TFT_LumoraDVD_OperationForm;
  forward(skImageButton_FastReverse, &F::skImageButton_FastReverseClick);
  forward(skImageButton_Mute, &F::skImageButton_MuteClick);
  forward(skImageButton_DeMute, &F::skImageButton_DeMuteClick);
  forward(skImageButton_VolumeUp, &F::skImageButton_VolumeUpClick);
  forward(skImageButton_VolumeDown, &F::skImageButton_VolumeDownClick);
  // Menu buttons: the panel's handler opens its menu with the same button and position.
  using MouseHandler = void (F::*)(QObject*, TMouseButton, TShiftState, int, int);
  auto forwardUp = [](TskImageButton* button, MouseHandler handler) {
    if (!button) return;
    button->OnMouseUp = [handler](QObject*, TMouseButton b, TShiftState sh, int x, int y) {
      if (TFT_LumoraDVD_OperationForm* p = Panel()) (p->*handler)(nullptr, b, sh, x, y);
    };
  };
  forwardUp(skImageButton_Eject, &F::skImageButton_EjectMouseUp);
  forwardUp(skImageButton_PlaybackRate, &F::skImageButton_PlaybackRateMouseUp);
  if (skImageButton_Ex)
    skImageButton_Ex->OnMouseUp = [this](QObject* s, TMouseButton b, TShiftState sh, int x, int y) {
      skImageButton_ExMouseUp(s, b, sh, x, y);
    };
  if (PopMenu_VideoSetup)
    PopMenu_VideoSetup->OnClick = [this](QObject* s) { PopMenu_VideoSetupClick(s); };
  if (PopMenu_AudioSetup)
    PopMenu_AudioSetup->OnClick = [this](QObject* s) { PopMenu_AudioSetupClick(s); };
}

// ---- The "Ex" menu ----

bool TFT_LumoraDVD_ControlFrame::RebuildExMenu() {
  TFT_LumoraDVD_OperationForm* panel = Panel();
  auto enabledOnPanel = [panel](const char* name) {
    QWidget* w = panel ? panel->findChild<QWidget*>(QString::fromLatin1(name)) : nullptr;
    return w && w->isEnabled();
  };
  if (PopMenu_VideoSetup)
    PopMenu_VideoSetup->SetEnabled(enabledOnPanel("skImageButton_VideoSetup"));
  if (PopMenu_AudioSetup)
    PopMenu_AudioSetup->SetEnabled(enabledOnPanel("skImageButton_AudioSetup"));
  if (!PopMenu_Open) return true;
  PopMenu_Open->Clear();
  if (!panel || !panel->PopupMenu_Disc) return true;
  // The drives as they are now, not as the panel's menu last saw them.
  panel->BuildDiscMenu();
  TPopupMenu* disc = panel->PopupMenu_Disc;
  for (int i = 0; i < disc->Count(); ++i) {
    TMenuItem* from = disc->Item(i);
    auto* to = new TMenuItem();
    to->setObjectName(from->objectName());
    to->SetCaption(from->Caption());
    to->setIcon(from->icon());
    to->SetTag(from->Tag());
    to->setEnabled(from->isEnabled());
    // The original entry is the sender, so the panel's handler sees its own entry.
    QPointer<TMenuItem> original(from);
    to->OnClick = [original](QObject*) {
      if (original && original->OnClick) original->OnClick(original.data());
    };
    PopMenu_Open->Add(to);
  }
  return true;
}

void TFT_LumoraDVD_ControlFrame::skImageButton_ExMouseUp(QObject*, TMouseButton, TShiftState, int,
                                                         int) {
  RebuildExMenu();
  if (PopupMenu_Ex) {
    const QPoint at = QCursor::pos();
    PopupMenu_Ex->Popup(at.x(), at.y());
  }
}

void TFT_LumoraDVD_ControlFrame::PopMenu_VideoSetupClick(QObject*) {
  if (TFT_LumoraDVD_OperationForm* p = Panel()) p->skImageButton_VideoSetupClick(nullptr);
}

void TFT_LumoraDVD_ControlFrame::PopMenu_AudioSetupClick(QObject*) {
  if (TFT_LumoraDVD_OperationForm* p = Panel()) p->skImageButton_AudioSetupClick(nullptr);
}

// ---- Dragging the bar out ----

bool TFT_LumoraDVD_ControlFrame::InsideControlBarStrip(const QPoint& p) {
  TFT_LumoraDVD_MainForm* main = FT_LumoraDVD_MainForm;
  if (!main) return false;
  const QRect m = main->frameGeometry();
  const int top = m.top(), left = m.left(), w = m.width(), h = m.height();
  return top + h - main->i_ControlPanelHeight < p.y() && p.y() < top + h && left < p.x() &&
         p.x() < left + w;
}

void TFT_LumoraDVD_ControlFrame::FrameMouseDown(TMouseButton button, const QPoint& global) {
  TFT_LumoraDVD_MainForm* main = FT_LumoraDVD_MainForm;
  if (button != mbLeft || !main || main->b_FullScreen) return;
  b_Dragging = true;
  b_Outside = false;
  pt_DragStart = pt_DragNow = global;
  if (TFT_LumoraDVD_ShadowForm* shadow = FT_LumoraDVD_ShadowForm) {
    TFT_LumoraDVD_OperationForm* panel = Panel();
    const QSize size = panel ? panel->size() : shadow->size();
    const QRect m = main->frameGeometry();
    shadow->resize(size);
    pt_ShadowStart = QPoint(m.left() + (m.width() - size.width()) / 2,
                            m.top() + m.height() - main->i_ControlPanelHeight);
    shadow->move(pt_ShadowStart);
    shadow->lower();
  }
}

void TFT_LumoraDVD_ControlFrame::FrameMouseMove(const QPoint& global) {
  if (!b_Dragging) return;
  pt_DragNow = global;
  TFT_LumoraDVD_ShadowForm* shadow = FT_LumoraDVD_ShadowForm;
  if (shadow) {
    shadow->move(pt_ShadowStart + (pt_DragNow - pt_DragStart));
    shadow->update();
  }
  b_Outside = !InsideControlBarStrip(global);
  if (shadow) {
    if (b_Outside && !shadow->isVisible()) {
      shadow->show();
      shadow->raise();
    } else if (!b_Outside) {
      shadow->hide();
    }
  }
  if (FT_LumoraDVD_MainForm) FT_LumoraDVD_MainForm->update();
  update();
  if (FT_LumoraDVD_SubForm) FT_LumoraDVD_SubForm->update();
}

void TFT_LumoraDVD_ControlFrame::FrameMouseUp(TMouseButton, const QPoint& global) {
  if (!b_Dragging) return;
  FrameMouseMove(global);
  b_Dragging = false;
  TFT_LumoraDVD_ShadowForm* shadow = FT_LumoraDVD_ShadowForm;
  if (!b_Outside) {
    if (shadow) shadow->hide();
    return;
  }
  b_Outside = false;
  TFT_LumoraDVD_OperationForm* panel = Panel();
  if (panel && shadow) panel->move(OnSomeScreen(shadow->geometry()));
  if (FT_LumoraDVD_MainForm) FT_LumoraDVD_MainForm->SetControlBarDocked(false);
  if (shadow) shadow->hide();
}

void TFT_LumoraDVD_ControlFrame::mousePressEvent(QMouseEvent* event) {
  FrameMouseDown(components::ToMouseButton(event->button()), event->globalPosition().toPoint());
  event->accept();
}

void TFT_LumoraDVD_ControlFrame::mouseMoveEvent(QMouseEvent* event) {
  FrameMouseMove(event->globalPosition().toPoint());
  event->accept();
}

void TFT_LumoraDVD_ControlFrame::mouseReleaseEvent(QMouseEvent* event) {
  FrameMouseUp(components::ToMouseButton(event->button()), event->globalPosition().toPoint());
  event->accept();
}

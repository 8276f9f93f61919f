// Moving, sizing, minimising and maximising the borderless main window, docking the control
// bar, and the title strip's side-panel buttons.
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cstdlib>

#include "platform/Desktop.h"
#include "platform/Window.h"
#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/core/Ft_lumoradvdplay.h"
#include "player/library/Ft_lumoradvdsubform.h"
#include "player/mainwindow/Ft_lumoradvdcontrolframe.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/mainwindow/Ft_lumoradvdshadowform.h"
#include "player/widgets/TImage.h"
#include "player/widgets/TLabel.h"
#include "player/widgets/TPanel.h"
#include "player/widgets/TskImageButton.h"

namespace {

// clamp(v, lo, hi): lo when hi < lo, else v limited to lo..hi.
int Clamp(int v, int lo, int hi) { return hi < lo ? lo : std::clamp(v, lo, hi); }

void FitSidePanelHeight() {
  if (TFT_LumoraDVD_SubForm* side = FT_LumoraDVD_SubForm) side->FitDockedHeight();
}

// The application's icon: a disc on a dark square, drawn so no picture file has to ship.
QIcon ApplicationIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64}) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(24, 32, 48));
    p.drawRoundedRect(QRectF(0, 0, s, s), s / 6, s / 6);
    QRadialGradient disc(QPointF(s * 0.4, s * 0.4), s * 0.45);
    disc.setColorAt(0, QColor(200, 230, 255));
    disc.setColorAt(1, QColor(40, 120, 220));
    p.setBrush(disc);
    p.drawEllipse(QPointF(s / 2, s / 2), s * 0.4, s * 0.4);
    p.setBrush(QColor(24, 32, 48));
    p.drawEllipse(QPointF(s / 2, s / 2), s * 0.1, s * 0.1);
    p.end();
    icon.addPixmap(pm);
  }
  return icon;
}

}  // namespace

QRect TFT_LumoraDVD_MainForm::ScreenRect() const {
  const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  return s ? s->geometry() : QRect(0, 0, 1024, 768);
}

void TFT_LumoraDVD_MainForm::ConnectFrame() {
  // Until a skin says otherwise the window has the limits of a skin without options.
  const QSize screen = ScreenRect().size();
  i_MainWindowMaxWidth = screen.width();
  i_MainWindowMaxHeight = screen.height();
  i_MainWindowMinWidth = 500;
  i_MainWindowMinHeight = 60;
  i_ControlPanelHeight = 70;
  if (QApplication::windowIcon().isNull()) QApplication::setWindowIcon(ApplicationIcon());
  setWindowIcon(QApplication::windowIcon());
  auto button = [this](const char* name) { return findChild<TskImageButton*>(name); };
  skImageButton_Max = button("skImageButton_Max");
  skImageButton_Restore = button("skImageButton_Restore");
  Panel_MainForm_Top = findChild<TPanel*>("Panel_MainForm_Top");
  if (!skImageButton_Resizer) skImageButton_Resizer = button("skImageButton_Resizer");

  auto click = [&](const char* name, void (TFT_LumoraDVD_MainForm::*handler)(QObject*)) {
    if (TskImageButton* b = button(name))
      b->OnClick = [this, handler](QObject* sender) { (this->*handler)(sender); };
  };
  click("skImageButton_Exit", &TFT_LumoraDVD_MainForm::skImageButton_ExitClick);
  click("skImageButton_Min", &TFT_LumoraDVD_MainForm::skImageButton_MinClick);
  click("skImageButton_Max", &TFT_LumoraDVD_MainForm::skImageButton_MaxClick);
  click("skImageButton_Restore", &TFT_LumoraDVD_MainForm::skImageButton_RestoreClick);
  click("skImageButton_PlayList", &TFT_LumoraDVD_MainForm::skImageButton_PlayListClick);
  click("skImageButton_Bookmark", &TFT_LumoraDVD_MainForm::skImageButton_BookmarkClick);
  click("skImageButton_Snapshoot", &TFT_LumoraDVD_MainForm::skImageButton_SnapshootClick);
  click("skImageButton_TV", &TFT_LumoraDVD_MainForm::skImageButton_TVClick);
  for (const char* name : {"skImageButton_DePlayList", "skImageButton_DeBookmark",
                           "skImageButton_DeSnapshoot", "skImageButton_DeTV"})
    click(name, &TFT_LumoraDVD_MainForm::skImageButton_DePlayListClick);
  if (skImageButton_Restore) skImageButton_Restore->hide();

  if (TskImageButton* grip = skImageButton_Resizer) {
    using namespace std::placeholders;
    grip->OnMouseDown = [this](QObject* s, TMouseButton b, TShiftState sh, int x, int y) {
      skImageButton_ResizerMouseDown(s, b, sh, x, y);
    };
    grip->OnMouseMove = [this](QObject* s, TShiftState sh, int x, int y) {
      skImageButton_ResizerMouseMove(s, sh, x, y);
    };
    grip->OnMouseUp = [this](QObject* s, TMouseButton b, TShiftState sh, int x, int y) {
      skImageButton_ResizerMouseUp(s, b, sh, x, y);
    };
  }

  InstallDragHandlers(this);
  if (Label_CurrentPlayFileName) {
    // The file name lies on the bottom strip and drags the window like the strip does.
    TPanel* strip = findChild<TPanel*>("Panel_MainForm_Bottom");
    if (strip) {
      Label_CurrentPlayFileName->OnMouseDown = strip->OnMouseDown;
      Label_CurrentPlayFileName->OnMouseMove = strip->OnMouseMove;
      Label_CurrentPlayFileName->OnMouseUp = strip->OnMouseUp;
    }
  }
  if (Panel_MainForm_Top)
    Panel_MainForm_Top->OnDblClick = [this](QObject* s) { Panel_MainForm_TopDblClick(s); };
}

void TFT_LumoraDVD_MainForm::InstallDragHandlers(QWidget* control) {
  for (QObject* child : control->children()) {
    auto* w = qobject_cast<QWidget*>(child);
    // The docked control bar takes presses on its background itself: they drag it out.
    if (!w || w->isWindow() || w == FT_LumoraDVD_ControlFrame) continue;
    if (qstrcmp(w->metaObject()->className(), "TPanel") == 0 &&
        w->objectName() != QLatin1String("Panel_MainForm_Center")) {
      auto* panel = static_cast<TPanel*>(w);
      panel->OnMouseDown = [this, panel](QObject*, TMouseButton, TShiftState, int X, int Y) {
        // The maximised layout stays where it is.
        if (b_Maximized) return;
        b_Dragging = true;
        // Where the press happened, not where the pointer is by the time it is handled: a
        // busy player would otherwise leave the window lagging behind the pointer.
        pt_DragStart = panel->mapToGlobal(QPoint(X, Y));
        i_DragStartLeft = x();
        i_DragStartTop = y();
      };
      panel->OnMouseMove = [this](QObject*, TShiftState, int, int) {
        if (!b_Dragging) return;
        const QPoint d = QCursor::pos() - pt_DragStart;
        const QRect S = ScreenRect();
        // At least 20 pixels stay below the top edge and right of the left edge, and the
        // top-left corner stops at the skin's far limit.
        const int top =
            Clamp(i_DragStartTop + d.y(), S.top() + 20 - height(), S.top() + i_MainWindowMaxHeight);
        const int left = Clamp(i_DragStartLeft + d.x(), S.left() + 20 - width(),
                               S.left() + i_MainWindowMaxWidth);
        move(left, top);
        if (TFT_LumoraDVD_SubForm* side = FT_LumoraDVD_SubForm;
            side && side->isVisible() && side->b_Docked)
          side->move(left - side->width(), top);
        update();
      };
      panel->OnMouseUp = [this](QObject*, TMouseButton, TShiftState, int, int) {
        b_Dragging = false;
      };
      // Frame pictures without handlers of their own pass presses to the panel under them.
      for (QObject* c : panel->children()) {
        auto* image = qobject_cast<TImage*>(c);
        if (image && !image->OnMouseDown && !image->OnClick && !image->OnDblClick)
          image->setAttribute(Qt::WA_TransparentForMouseEvents);
      }
    }
    InstallDragHandlers(w);
  }
}

void TFT_LumoraDVD_MainForm::skImageButton_ResizerMouseDown(QObject* Sender, TMouseButton,
                                                            TShiftState, int X, int Y) {
  b_Resizing = true;
  // The press's own place (see the frame drag).
  auto* grip = qobject_cast<QWidget*>(Sender);
  pt_ResizeStart = grip ? grip->mapToGlobal(QPoint(X, Y)) : QCursor::pos();
  i_ResizeStartWidth = width();
  i_ResizeStartHeight = height();
}

void TFT_LumoraDVD_MainForm::skImageButton_ResizerMouseMove(QObject* Sender, TShiftState Shift,
                                                            int X, int Y) {
  if (!b_Resizing) return;
  // The grip reports moves with no button held too; then the release went elsewhere (another
  // window took the pointer) and the drag is over, or the window would follow a bare hover.
  if (!Shift.buttons) {
    b_Resizing = false;
    FitSidePanelHeight();
    return;
  }
  // Where the move happened, not where the pointer is by the time it is handled.
  auto* grip = qobject_cast<QWidget*>(Sender);
  const QPoint d = (grip ? grip->mapToGlobal(QPoint(X, Y)) : QCursor::pos()) - pt_ResizeStart;
  const int bar = Panel_ControlPanel ? Panel_ControlPanel->height() : 0;
  const int w = Clamp(i_ResizeStartWidth + d.x(), i_MainWindowMinWidth, i_MainWindowMaxWidth);
  const int h =
      Clamp(i_ResizeStartHeight + d.y(), bar + i_MainWindowMinHeight, i_MainWindowMaxHeight);
  SetWindowSize(w, h, true);
}

void TFT_LumoraDVD_MainForm::skImageButton_ResizerMouseUp(QObject*, TMouseButton, TShiftState, int,
                                                          int) {
  b_Resizing = false;
  FitSidePanelHeight();
}

void TFT_LumoraDVD_MainForm::SetWindowSize(int w, int h, bool keepPosition) {
  if (b_Maximized) return;
  const QRect S = ScreenRect();
  const int bar = Panel_ControlPanel ? Panel_ControlPanel->height() : 0;
  w = Clamp(std::abs(w), i_MainWindowMinWidth, i_MainWindowMaxWidth);
  h = Clamp(std::abs(h), bar + i_MainWindowMinHeight, i_MainWindowMaxHeight);
  // A minimum above the screen would make a window nobody can see whole.
  w = std::min(w, S.width());
  h = std::min(h, S.height());
  resize(w, h);
  FitSidePanelHeight();
  if (keepPosition) return;
  if (y() < S.top() || y() + h > S.bottom() + 1 || x() < S.left() || x() + w > S.right() + 1) {
    move(S.left() + (S.width() - w) / 2, S.top() + (S.height() - h) / 2);
    DockSidePanelBeside();
  }
  update();
}

void TFT_LumoraDVD_MainForm::DockSidePanelBeside() {
  TFT_LumoraDVD_SubForm* side = FT_LumoraDVD_SubForm;
  if (side && side->isVisible() && side->b_Docked) side->move(x() - side->width(), y());
}

void TFT_LumoraDVD_MainForm::SetControlBarDocked(bool docked) {
  if (docked == b_DisplayControlPanel) return;
  b_DisplayControlPanel = docked;
  TFT_LumoraDVD_OperationForm* panel = FT_LumoraDVD_OperationForm;
  const int P = i_ControlPanelHeight;
  if (docked) {
    if (panel) panel->close();
    if (Panel_ControlPanel) Panel_ControlPanel->setFixedHeight(P);
    resize(width(), height() + P);
  } else {
    if (panel) {
      // The floating panel comes back where the shadow window last was, and never fully off
      // the screen.
      const QRect S = ScreenRect();
      QPoint at = FT_LumoraDVD_ShadowForm ? FT_LumoraDVD_ShadowForm->pos() : panel->pos();
      const int top = Clamp(at.y(), S.top() + 10 - panel->height(), S.bottom() + 1 - 10);
      const int left = Clamp(at.x(), S.left() + 10 - panel->width(), S.right() + 1 - 10);
      panel->move(left, top);
      panel->show();
      panel->update();
    }
    if (Panel_ControlPanel) Panel_ControlPanel->setFixedHeight(0);
    resize(width(), height() - P);
  }
  components::AlignControls(this);
  SetWindowSize(width(), height(), false);
  if (FT_LumoraDVD_ShadowForm) FT_LumoraDVD_ShadowForm->close();
  FitMaximizedWindow();
  FitSidePanelHeight();
  ApplyWindowRegion();
}

void TFT_LumoraDVD_MainForm::PlaceFloatingPanelFirst() {
  // Before anything was dragged the floating panel's place is low on the screen, centred,
  // where the main window (centred, and resized as media opens) seldom reaches; later
  // undocking brings it back wherever it was last.
  TFT_LumoraDVD_OperationForm* panel = FT_LumoraDVD_OperationForm;
  TFT_LumoraDVD_ShadowForm* shadow = FT_LumoraDVD_ShadowForm;
  if (!panel || !shadow || shadow->b_Resized) return;
  const QRect S = ScreenRect();
  const int left = S.left() + (S.width() - panel->width()) / 2;
  const int top = std::max(S.top(), S.bottom() + 1 - panel->height() - S.height() / 20);
  shadow->move(left, top);
  if (!b_DisplayControlPanel) panel->move(left, top);
}

void TFT_LumoraDVD_MainForm::skImageButton_ExitClick(QObject*) {
  ClosePlayback();
  close();
  QCoreApplication::exit(0);
}

namespace {

constexpr char kMinimisedProperty[] = "_lumora_minimised";

// Hides the player's other visible windows, remembering them for the way back.
void HideOtherWindows(QWidget* main) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != main && w->isVisible()) {
      w->setProperty(kMinimisedProperty, true);
      w->hide();
    }
}

void ShowOtherWindows(QWidget* main) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != main && w->property(kMinimisedProperty).toBool()) {
      w->setProperty(kMinimisedProperty, QVariant());
      w->show();
    }
}

}  // namespace

void TFT_LumoraDVD_MainForm::skImageButton_MinClick(QObject*) {
  if (plat::HasWindowManager()) {
    // The panels follow in changeEvent, whoever iconifies the window.
    showMinimized();
    return;
  }
  // Nothing would iconify the window; withdraw every window until the player is shown again.
  b_HiddenAsMinimised = true;
  HideOtherWindows(this);
  hide();
}

void TFT_LumoraDVD_MainForm::changeEvent(QEvent* e) {
  QWidget::changeEvent(e);
  if (e->type() == QEvent::ActivationChange && isActiveWindow()) {
    RaiseToolWindows();
    return;
  }
  if (e->type() != QEvent::WindowStateChange || b_HiddenAsMinimised) return;
  // Window managers leave tool windows up when their owner is iconified; they go and come
  // back with it.
  if (isMinimized())
    HideOtherWindows(this);
  else
    ShowOtherWindows(this);
}

void TFT_LumoraDVD_MainForm::RaiseToolWindows() {
  // Some window managers raise the owner over its tool windows, on activation and on a click
  // (openbox does, so the floating panel sat half hidden under the picture); they belong
  // above it.
  for (QWidget* w : {static_cast<QWidget*>(FT_LumoraDVD_OperationForm),
                     static_cast<QWidget*>(FT_LumoraDVD_SubForm)})
    if (w && w->isVisible()) w->raise();
}

void TFT_LumoraDVD_MainForm::RestoreFromMinimised() {
  if (!b_HiddenAsMinimised) {
    if (isMinimized()) showNormal();
    return;
  }
  b_HiddenAsMinimised = false;
  ShowOtherWindows(this);
  show();
}

void TFT_LumoraDVD_MainForm::skImageButton_MaxClick(QObject*) {
  if (!b_CanSetMaxWindow) {
    EnterFullScreenFromFrame();
    return;
  }
  if (!b_Maximized) MaximizeWindow();
}

void TFT_LumoraDVD_MainForm::skImageButton_RestoreClick(QObject*) {
  if (!b_Maximized) return;
  RestoreWindow();
  DockSidePanelBeside();
}

void TFT_LumoraDVD_MainForm::Panel_MainForm_TopDblClick(QObject*) {
  if (!b_CanSetMaxWindow) {
    EnterFullScreenFromFrame();
    return;
  }
  if (b_Maximized)
    RestoreWindow();
  else
    MaximizeWindow();
}

void TFT_LumoraDVD_MainForm::EnterFullScreenFromFrame() {
  // Skins without a maximised layout offer full screen there instead.
  if (OnFullScreenRequest)
    OnFullScreenRequest();
  else
    EnterFullScreen();
}

void TFT_LumoraDVD_MainForm::MaximizeWindow() {
  if (!b_CanSetMaxWindow || b_Maximized) return;
  rc_Restore = geometry();
  const QRect S = ScreenRect();
  int left = S.left(), w = S.width();
  if (TFT_LumoraDVD_SubForm* side = FT_LumoraDVD_SubForm; side && side->isVisible()) {
    side->b_Docked = true;
    if (side->skImageButton_Resize) side->skImageButton_Resize->hide();
    side->setUpdatesEnabled(false);
    side->move(S.topLeft());
    side->setUpdatesEnabled(true);
    side->FitDockedHeight();
    left = S.left() + side->width();
    w = S.width() - side->width();
  }
  setUpdatesEnabled(false);
  if (skImageButton_Resizer) skImageButton_Resizer->hide();
  move(left, S.top());
  SetWindowSize(w, S.height(), true);
  if (skImageButton_Max) skImageButton_Max->hide();
  if (skImageButton_Restore) skImageButton_Restore->show();
  setUpdatesEnabled(true);
  b_Maximized = true;
  // The side panel was fitted before this window took the screen's height.
  FitSidePanelHeight();
}

void TFT_LumoraDVD_MainForm::RestoreWindow() {
  if (!b_CanSetMaxWindow || !b_Maximized) return;
  b_Maximized = false;
  setUpdatesEnabled(false);
  if (skImageButton_Resizer) skImageButton_Resizer->show();
  move(rc_Restore.topLeft());
  SetWindowSize(rc_Restore.width(), rc_Restore.height(), false);
  if (skImageButton_Max) skImageButton_Max->show();
  if (skImageButton_Restore) skImageButton_Restore->hide();
  setUpdatesEnabled(true);
}

void TFT_LumoraDVD_MainForm::FitMaximizedWindow() {
  if (!b_Maximized) return;
  const QRect S = ScreenRect();
  int left = S.left(), w = S.width();
  if (TFT_LumoraDVD_SubForm* side = FT_LumoraDVD_SubForm; side && side->isVisible()) {
    side->b_Docked = true;
    side->move(S.topLeft());
    side->FitDockedHeight();
    left = S.left() + side->width();
    w = S.width() - side->width();
  }
  setUpdatesEnabled(false);
  setGeometry(left, S.top(), w, S.height());
  setUpdatesEnabled(true);
  FitSidePanelHeight();
}

namespace {

const char* const kOpenButtons[4] = {"skImageButton_PlayList", "skImageButton_Bookmark",
                                     "skImageButton_Snapshoot", "skImageButton_TV"};
const char* const kCloseButtons[4] = {"skImageButton_DePlayList", "skImageButton_DeBookmark",
                                      "skImageButton_DeSnapshoot", "skImageButton_DeTV"};

}  // namespace

void TFT_LumoraDVD_MainForm::OpenSidePanelPage(int page) {
  TFT_LumoraDVD_SubForm* side = FT_LumoraDVD_SubForm;
  if (!side || page < 0 || page > 3) return;
  side->ShowPage(page);
  if (b_Maximized) side->b_Docked = true;
  side->show();
  for (int i = 0; i < 4; ++i) {
    if (auto* b = findChild<TskImageButton*>(kOpenButtons[i])) b->setVisible(i != page);
    if (auto* b = findChild<TskImageButton*>(kCloseButtons[i])) b->setVisible(i == page);
  }
  FitMaximizedWindow();
}

void TFT_LumoraDVD_MainForm::skImageButton_PlayListClick(QObject*) { OpenSidePanelPage(0); }
void TFT_LumoraDVD_MainForm::skImageButton_BookmarkClick(QObject*) { OpenSidePanelPage(1); }
void TFT_LumoraDVD_MainForm::skImageButton_SnapshootClick(QObject*) { OpenSidePanelPage(2); }
void TFT_LumoraDVD_MainForm::skImageButton_TVClick(QObject*) { OpenSidePanelPage(3); }

void TFT_LumoraDVD_MainForm::skImageButton_DePlayListClick(QObject*) {
  if (FT_LumoraDVD_SubForm) FT_LumoraDVD_SubForm->close();
  for (int i = 0; i < 4; ++i) {
    if (auto* b = findChild<TskImageButton*>(kOpenButtons[i])) b->show();
    if (auto* b = findChild<TskImageButton*>(kCloseButtons[i])) b->hide();
  }
  FitMaximizedWindow();
}

bool TFT_LumoraDVD_MainForm::eventFilter(QObject* watched, QEvent* e) {
  // A window manager's close on the tool windows hides them the way the player's own close
  // does, so they can be brought back.
  if (e->type() == QEvent::Close && e->spontaneous() && ToolWindowClosedFromOutside(watched)) {
    static_cast<QCloseEvent*>(e)->ignore();
    return true;
  }
  // Every press in the window, whichever control takes it, reaches its QWindow first.
  if (watched == windowHandle() && e->type() == QEvent::MouseButtonPress) RaiseToolWindows();
  if (watched == Panel_MainForm_Center && b_ZoomMode) {
    if (e->type() == QEvent::MouseMove)
      return ZoomMouseMove(static_cast<QMouseEvent*>(e)->globalPosition().toPoint());
    if (e->type() == QEvent::MouseButtonRelease)
      return ZoomMouseUp(components::ToMouseButton(static_cast<QMouseEvent*>(e)->button()));
  }
  return QWidget::eventFilter(watched, e);
}

bool TFT_LumoraDVD_MainForm::ToolWindowClosedFromOutside(QObject* window) {
  if (window == FT_LumoraDVD_SubForm) {
    skImageButton_DePlayListClick(nullptr);
    return true;
  }
  if (window == FT_LumoraDVD_OperationForm) {
    // The floating panel goes back into the window rather than vanishing with its controls.
    SetControlBarDocked(true);
    return true;
  }
  return false;
}

void TFT_LumoraDVD_MainForm::TieToolWindows() {
  // Only the main window belongs in the task bar; the panels minimise and restore with it
  // and stay above it without covering other applications.
  for (QWidget* w : {static_cast<QWidget*>(FT_LumoraDVD_OperationForm),
                     static_cast<QWidget*>(FT_LumoraDVD_SubForm)}) {
    if (!w) continue;
    const bool shown = w->isVisible();
    Qt::WindowFlags flags = w->windowFlags();
    flags |= Qt::Tool | Qt::FramelessWindowHint;
    flags &= ~Qt::WindowStaysOnTopHint;
    if (flags != w->windowFlags()) w->setWindowFlags(flags);
    w->winId();
    if (QWindow* handle = w->windowHandle()) {
      winId();
      handle->setTransientParent(windowHandle());
    }
    w->removeEventFilter(this);
    w->installEventFilter(this);
    if (shown) w->show();
  }
  winId();
  if (QWindow* own = windowHandle()) {
    own->removeEventFilter(this);
    own->installEventFilter(this);
  }
}

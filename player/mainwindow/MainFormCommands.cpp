// What the user does with the main window beyond moving and sizing it: the popup menu and its
// DVD submenus, A-B repeat, the keyboard, dropped files, the status display and the mouse on
// the video area. Transport goes to the control panel's handlers so every way of asking for
// it behaves alike.
#include <QApplication>
#include <QBitmap>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <algorithm>

#include "platform/DropFiles.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/Window.h"
#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/core/EngineApi.h"
#include "player/core/Ft_lumoradvdmain.h"
#include "player/core/Ft_lumoradvdplay.h"
#include "player/library/Ft_lumoradvdsubform.h"
#include "player/mainwindow/Ft_lumoradvdfullscreenform.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/mainwindow/MainFormCommandsDetail.h"
#include "player/mainwindow/VideoPanelEvents.h"
#include "player/skin/Faces.h"
#include "player/skin/SkinCursors.h"
#include "player/skin/controls/Ftimagebutton.h"
#include "player/widgets/TImage.h"
#include "player/widgets/TPanel.h"
#include "player/widgets/TPopupMenu.h"
#include "player/widgets/TTimer.h"
#include "player/widgets/TskImageButton.h"

namespace {

constexpr char kMakerWebPage[] = "https://lumoradvd.sourceforge.io/";

TFT_LumoraDVD_OperationForm* Panel() { return FT_LumoraDVD_OperationForm; }

bool PanelControlEnabled(const char* name) {
  TFT_LumoraDVD_OperationForm* panel = Panel();
  if (!panel) return false;
  QWidget* w = panel->findChild<QWidget*>(QString::fromLatin1(name));
  return w && w->isEnabled();
}

// Keys arrive at whichever control has the focus; the main and the full-screen window look at
// them first, as their shortcut handlers do.
class ShortCutFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    // Files dropped on the control panel act as if dropped on the main window.
    if ((e->type() == QEvent::DragEnter || e->type() == QEvent::Drop) && FT_LumoraDVD_MainForm &&
        watched == FT_LumoraDVD_OperationForm) {
      if (e->type() == QEvent::DragEnter)
        FT_LumoraDVD_MainForm->DragEnter(static_cast<QDragEnterEvent*>(e));
      else
        FT_LumoraDVD_MainForm->Drop(static_cast<QDropEvent*>(e));
      return true;
    }
    if (e->type() != QEvent::KeyPress) return false;
    // Every key this handles is consumed, so a press never reaches it twice on its way up.
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w) return false;
    QWidget* top = w->window();
    auto* key = static_cast<QKeyEvent*>(e);
    const int code = commands::KeyCode(key->key());
    if (code == 0) {
      // Letters and the rest do nothing while full screen is up.
      return FT_LumoraDVD_FullScreenForm && top == FT_LumoraDVD_FullScreenForm;
    }
    if (key->isAutoRepeat() && !commands::RepeatsWhenHeld(code)) return true;
    bool handled = false;
    if (FT_LumoraDVD_FullScreenForm && top == FT_LumoraDVD_FullScreenForm) {
      FT_LumoraDVD_FullScreenForm->FormShortCut(code, handled);
      return true;
    }
    if (FT_LumoraDVD_MainForm && top == FT_LumoraDVD_MainForm) {
      FT_LumoraDVD_MainForm->FormShortCut(code, handled);
      return handled;
    }
    return false;
  }
};

// The side picture of the popup menu, kept at its left edge.
void AttachSidePicture(QMenu* menu, const QImage& picture) {
  auto* side = menu->findChild<QLabel*>("SidePicture", Qt::FindDirectChildrenOnly);
  if (picture.isNull()) {
    if (side) side->hide();
    menu->setContentsMargins(0, 0, 0, 0);
    return;
  }
  if (!side) {
    side = new QLabel(menu);
    side->setObjectName("SidePicture");
    side->setAttribute(Qt::WA_TransparentForMouseEvents);
    side->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }
  side->setPixmap(QPixmap::fromImage(picture));
  side->setGeometry(0, 0, picture.width(), std::max(picture.height(), menu->sizeHint().height()));
  side->show();
  menu->setContentsMargins(picture.width(), 0, 0, 0);
}

QString EntryText(const char* prefix, int n) {
  return QString::fromLatin1(prefix) + QString::number(n);
}

TMenuItem* AddEntry(TMenuItem* parent, const QString& name, const QString& caption) {
  auto* item = new TMenuItem(parent);
  item->setObjectName(name);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

void SetDefault(TMenuItem* sub, TMenuItem* entry) {
  if (sub && sub->SubMenu()) sub->SubMenu()->setDefaultAction(entry);
}

}  // namespace

namespace commands {

int KeyCode(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 13;
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_Space:
      return 32;
    case Qt::Key_Left:
      return 37;
    case Qt::Key_Up:
      return 38;
    case Qt::Key_Right:
      return 39;
    case Qt::Key_Down:
      return 40;
    default:
      return 0;
  }
}

bool RepeatsWhenHeld(int code) { return code >= 37 && code <= 40; }

std::string DroppedPlayPath(const std::string& path) {
  std::string upper = path;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  const size_t at = upper.find("VIDEO_TS");
  if (upper.size() >= 4 && upper.compare(upper.size() - 4, 4, ".IFO") == 0 &&
      at != std::string::npos)
    return path.substr(0, at);
  return path;
}

}  // namespace commands

void TFT_LumoraDVD_MainForm::CreateCommands() {
  PopupMenu_Main = findChild<TPopupMenu*>("PopupMenu_Main");
  PopupMenu_Zoom = findChild<TPopupMenu*>("PopupMenu_Zoom");
  Image_PopMenu = findChild<TImage*>("Image_PopMenu");
  Timer_DisplayStatus = findChild<TTimer*>("Timer_DisplayStatus");
  if (Timer_DisplayStatus)
    Timer_DisplayStatus->SetOnTimer([this](QObject* s) { Timer_DisplayStatusTimer(s); });

  TFT_LumoraDVD_MainForm* self = this;
  // Transport entries repaint the window first, then do what the control panel does.
  auto transport = [self](void (*act)(QObject*)) {
    return [self, act](QObject* sender) {
      self->repaint();
      act(sender);
    };
  };

  if (TPopupMenu* m = PopupMenu_Main) {
    m->setSeparatorsCollapsible(false);
    auto item = [m](const char* name, const char* caption) {
      return faces::Item(m, name, caption);
    };
    faces::Item(m, "mnu0", "")->SetVisible(false);  // the side picture is drawn beside
    PopMenu_Play = item("PopMenu_Play", "Play                                 ");
    PopMenu_Play->OnClick = transport([](QObject*) {
      if (TFT_LumoraDVD_OperationForm* p = Panel()) p->PlayFromControl(p->skImageButton_Play);
    });
    PopMenu_Pause = item("PopMenu_Pause", "Pause / Step Forward");
    PopMenu_Pause->OnClick = transport([](QObject*) {
      if (TFT_LumoraDVD_OperationForm* p = Panel()) p->skImageButton_PauseClick(nullptr);
    });
    PopMenu_Stop = item("PopMenu_Stop", "Stop");
    PopMenu_Stop->OnClick = transport([](QObject* sender) {
      if (TFT_LumoraDVD_OperationForm* p = Panel()) p->skImageButton_StopClick(sender);
    });
    PopMenu_FastForward = item("PopMenu_FastForward", "Fast Forward");
    PopMenu_FastForward->OnClick = transport([](QObject* sender) {
      if (TFT_LumoraDVD_OperationForm* p = Panel()) p->skImageButton_FastForwardClick(sender);
    });
    PopMenu_FastReverse = item("PopMenu_FastReverse", "Fast Reverse");
    PopMenu_FastReverse->OnClick = transport([](QObject* sender) {
      if (TFT_LumoraDVD_OperationForm* p = Panel()) p->skImageButton_FastReverseClick(sender);
    });
    PopMenu_Repeat = item("PopMenu_Repeat", "Repeat");
    PopMenu_SetA = faces::Item(PopMenu_Repeat, "PopMenu_SetA", "Set A");
    PopMenu_SetA->OnClick = [this](QObject* s) { PopMenu_SetAClick(s); };
    PopMenu_SetB = faces::Item(PopMenu_Repeat, "PopMenu_SetB", "Set B");
    PopMenu_SetB->OnClick = [this](QObject* s) { PopMenu_SetBClick(s); };
    PopMenu_ClearAB = faces::Item(PopMenu_Repeat, "PopMenu_ClearAB", "Clear AB");
    PopMenu_ClearAB->OnClick = [this](QObject* s) { PopMenu_ClearABClick(s); };
    faces::Item(PopMenu_Repeat, "N2", "-");
    PopMenu_RepeatAB = faces::Item(PopMenu_Repeat, "PopMenu_RepeatAB", "Repeat AB");
    PopMenu_RepeatAB->OnClick = [this](QObject* s) { PopMenu_RepeatABClick(s); };
    PopMenu_NoRepeat = faces::Item(PopMenu_Repeat, "PopMenu_NoRepeat", "No Repeat");
    PopMenu_NoRepeat->OnClick = [this](QObject* s) { PopMenu_NoRepeatClick(s); };
    item("N1", "-");
    // The DVD submenus are filled at popup time; an empty placeholder keeps them submenus.
    PopMenu_Title = item("PopMenu_Title", "Title");
    PopMenu_Chapter = item("PopMenu_Chapter", "Chapter");
    PopMenu_Subtitle = item("PopMenu_Subtitle", "Subtitle");
    PopMenu_Audio = item("PopMenu_Audio", "Audio");
    PopMenu_Angle = item("PopMenu_Angle", "Angle");
    for (TMenuItem* sub :
         {PopMenu_Title, PopMenu_Chapter, PopMenu_Subtitle, PopMenu_Audio, PopMenu_Angle}) {
      sub->Add(new TMenuItem());
      sub->Clear();
      sub->SetEnabled(false);
    }
    item("mnuLine2", "-");
    PopMenu_Zoom = item("PopMenu_Zoom", "Zoom");
    PopMenu_Zoom->OnClick = [this](QObject* s) { PopMenu_ZoomClick(s); };
    PopMenu_AspectRatio = item("PopMenu_AspectRatio", "Aspect Ratio");
    auto aspect = [this](const char* name, const char* caption) {
      TMenuItem* e = faces::Item(PopMenu_AspectRatio, name, caption);
      e->OnClick = [this](QObject* s) { PopMenu_AlwaysNormalClick(s); };
      return e;
    };
    PopMenu_KeepAspectRatio = aspect("PopMenu_KeepAspectRatio", "Keep Aspect Ratio");
    PopMenu_FillScreen = aspect("PopMenu_FillScreen", "Fill Screen");
    PopMenu_AlwaysNormal = aspect("PopMenu_AlwaysNormal", "Always 1:1");
    PopMenu_Custom = aspect("PopMenu_Custom", "Custom");
    faces::Item(PopMenu_AspectRatio, "N5", "-");
    PopMenu_SetFit = aspect("PopMenu_SetFit", "Set Fit Size");
    PopMenu_FullScreen = item("PopMenu_FullScreen", "Full");
    PopMenu_FullScreen->OnClick = [this](QObject* s) { PopMenu_FullScreenClick(s); };
    item("N4", "-");
    PopMenu_Help = item("PopMenu_Help", "Help");
    PopMenu_Help->OnClick = [this](QObject* s) { PopMenu_HelpClick(s); };
    PopMenu_Setup = item("PopMenu_Setup", "Setup...");
    PopMenu_Setup->OnClick = [this](QObject* s) { PopMenu_SetupClick(s); };
    item("N3", "-");
    PopMenu_Exit = item("PopMenu_Exit", "Exit");
    PopMenu_Exit->OnClick = [this](QObject* s) { PopMenu_ExitClick(s); };
    faces::Item(m, "mnu10", "")->SetVisible(false);
  }

  if (TPopupMenu* z = PopupMenu_Zoom) {
    PopMenu_ZoomIn = faces::Item(z, "PopMenu_ZoomIn", "Zoom In");
    PopMenu_ZoomIn->OnClick = [this](QObject* s) { PopMenu_ZoomInClick(s); };
    PopMenu_ZoomOut = faces::Item(z, "PopMenu_ZoomOut", "Zoom Out");
    PopMenu_ZoomOut->OnClick = [this](QObject* s) { PopMenu_ZoomOutClick(s); };
    faces::Item(z, "N6", "-");
    PopMenu_ZoomLeave = faces::Item(z, "PopMenu_ZoomLeave", "Leave Zoom Mode");
    PopMenu_ZoomLeave->OnClick = [this](QObject* s) { PopMenu_ZoomLeaveClick(s); };
  }

  ConnectVideoPanel(this, Panel_MainForm_Center, Image_MainForm_Center);

  static QPointer<ShortCutFilter> filter;
  if (!filter) {
    filter = new ShortCutFilter(qApp);
    qApp->installEventFilter(filter);
  }
}

// ---- Popup menu ----

void TFT_LumoraDVD_MainForm::PopupMainMenu(const QPoint& global) {
  if (!PopupMenu_Main) return;
  RefreshMainMenu();
  AttachSidePicture(PopupMenu_Main, Image_PopMenu ? Image_PopMenu->Picture() : QImage());
  PopupMenu_Main->Popup(global.x(), global.y());
}

void TFT_LumoraDVD_MainForm::RefreshMainMenu() {
  if (!PopMenu_Pause) return;
  PopMenu_Pause->SetEnabled(PanelControlEnabled("skImageButton_Pause"));
  PopMenu_Stop->SetEnabled(PanelControlEnabled("skImageButton_Stop"));
  PopMenu_FastForward->SetEnabled(PanelControlEnabled("skImageButton_FastForward"));
  PopMenu_FastReverse->SetEnabled(PanelControlEnabled("skImageButton_FastReverse"));
  PopMenu_Repeat->SetEnabled(PanelControlEnabled("ProgressBar"));

  PopMenu_SetB->SetEnabled(i_RepeatA > 0);
  PopMenu_ClearAB->SetEnabled(i_RepeatB > 0);
  PopMenu_RepeatAB->SetEnabled(!b_RepeatAB && i_RepeatA > 0 && i_RepeatB > 0);
  PopMenu_NoRepeat->SetEnabled(b_RepeatAB);

  PopMenu_Title->SetEnabled(BuildTitleMenu());
  PopMenu_Chapter->SetEnabled(BuildChapterMenu());
  PopMenu_Audio->SetEnabled(BuildAudioMenu());
  PopMenu_Subtitle->SetEnabled(BuildSubtitleMenu());
  PopMenu_Angle->SetEnabled(BuildAngleMenu());

  PopMenu_FullScreen->SetCaption(b_FullScreen ? "Restore" : "Full");

  TMenuItem* modes[4] = {PopMenu_KeepAspectRatio, PopMenu_FillScreen, PopMenu_AlwaysNormal,
                         PopMenu_Custom};
  SetDefault(PopMenu_AspectRatio, MyAspectRatioState >= 0 && MyAspectRatioState < 4
                                      ? modes[MyAspectRatioState]
                                      : nullptr);
  PopMenu_SetFit->SetEnabled(!b_FullScreen && !isMaximized());
  PopMenu_Zoom->SetEnabled(PopMenu_Stop->Enabled() && !b_NoVideo);
}

// The entries call the control panel's DVD menu handlers, which read the number from the name.
bool TFT_LumoraDVD_MainForm::BuildTitleMenu() {
  TMenuItem* sub = PopMenu_Title;
  if (!sub) return false;
  sub->Clear();
  navdisc::IDvdInfo2* info = DvdInfo();
  TFT_LumoraDVD_OperationForm* panel = Panel();
  uint32_t volumes = 0, volume = 0, titles = 0;
  navdisc::DVD_DISC_SIDE side{};
  if (!info || !panel || info->GetDVDVolumeInfo(&volumes, &volume, &side, &titles) < 0)
    return false;
  AddEntry(sub, "RootMenu", "Root Menu")->OnClick = [panel](QObject* s) {
    panel->RootMenu1Click(s);
  };
  AddEntry(sub, "TitleMenu", "Title Menu")->OnClick = [panel](QObject* s) {
    panel->TitleMenu1Click(s);
  };
  AddEntry(sub, "N7", "-");
  // A damaged disc can claim any count; the format allows 99 titles.
  titles = std::min<uint32_t>(titles, 99);
  for (uint32_t n = 1; n <= titles; ++n) {
    TMenuItem* e = AddEntry(sub, EntryText("ti", n), EntryText("Title ", n));
    e->OnClick = [panel](QObject* s) { panel->OnTitleItemClick(s); };
    if (static_cast<int32_t>(n) == i_CurrentTitle) SetDefault(sub, e);
  }
  return true;
}

bool TFT_LumoraDVD_MainForm::BuildChapterMenu() {
  TMenuItem* sub = PopMenu_Chapter;
  if (!sub) return false;
  sub->Clear();
  navdisc::IDvdInfo2* info = DvdInfo();
  TFT_LumoraDVD_OperationForm* panel = Panel();
  uint32_t chapters = 0;
  if (!info || !panel ||
      info->GetNumberOfChapters(static_cast<uint32_t>(i_CurrentTitle), &chapters) < 0)
    return false;
  chapters = std::min<uint32_t>(chapters, 999);
  for (uint32_t n = 1; n <= chapters; ++n) {
    TMenuItem* e = AddEntry(sub, EntryText("ch", n), EntryText("Chapter ", n));
    e->OnClick = [panel](QObject* s) { panel->OnChapterItemClick(s); };
    if (static_cast<int32_t>(n) == i_CurrentChapter) SetDefault(sub, e);
  }
  return true;
}

// Subtitle and audio entries are the control panel's own, built into this menu; the panel then
// tracks these entries as the current ones.
bool TFT_LumoraDVD_MainForm::BuildSubtitleMenu() {
  TMenuItem* sub = PopMenu_Subtitle;
  if (!sub) return false;
  sub->Clear();
  TFT_LumoraDVD_OperationForm* panel = Panel();
  if (!panel || !panel->FillSubpictureEntries(sub)) return false;
  TMenuItem* off = panel->DisableSubpictureItem;
  TMenuItem* current = panel->CurrentSubpictureItem;
  const bool disabled = off && off->Checked();
  // While subtitles are off no stream is the one showing.
  if (current && disabled) current->SetChecked(false);
  SetDefault(sub, disabled ? off : current);
  return true;
}

bool TFT_LumoraDVD_MainForm::BuildAudioMenu() {
  TMenuItem* sub = PopMenu_Audio;
  if (!sub) return false;
  sub->Clear();
  TFT_LumoraDVD_OperationForm* panel = Panel();
  if (!panel || !panel->FillAudioEntries(sub)) return false;
  SetDefault(sub, panel->CurrentAudioItem);
  return true;
}

bool TFT_LumoraDVD_MainForm::BuildAngleMenu() {
  TMenuItem* sub = PopMenu_Angle;
  if (!sub) return false;
  sub->Clear();
  navdisc::IDvdInfo2* info = DvdInfo();
  TFT_LumoraDVD_OperationForm* panel = Panel();
  uint32_t available = 0, current = 0;
  if (!info || !panel || info->GetCurrentAngle(&available, &current) < 0 || available <= 1)
    return false;
  available = std::min<uint32_t>(available, 9);
  for (uint32_t n = 1; n <= available; ++n) {
    TMenuItem* e = AddEntry(sub, EntryText("ch", n), EntryText("Angel ", n));
    e->OnClick = [panel](QObject* s) { panel->OnAngleItemClick(s); };
    if (n == current) SetDefault(sub, e);
  }
  return true;
}

// ---- A-B repeat ----

void TFT_LumoraDVD_MainForm::PopMenu_SetAClick(QObject*) {
  const int32_t position = Panel() ? Panel()->i_CurrentSeconds : 0;
  i_RepeatA = position;
  if (i_RepeatB > 0 && i_RepeatB < i_RepeatA) {
    i_RepeatA = i_RepeatB;
    i_RepeatB = position;
    b_RepeatAB = SeekSeconds(i_RepeatA);
  }
}

void TFT_LumoraDVD_MainForm::PopMenu_SetBClick(QObject*) {
  const int32_t position = Panel() ? Panel()->i_CurrentSeconds : 0;
  if (position < i_RepeatA) {
    i_RepeatB = i_RepeatA;
    i_RepeatA = position;
  } else {
    i_RepeatB = position;
  }
  b_RepeatAB = SeekSeconds(i_RepeatA);
}

void TFT_LumoraDVD_MainForm::PopMenu_ClearABClick(QObject*) {
  i_RepeatA = -1;
  i_RepeatB = -1;
  b_RepeatAB = false;
}

void TFT_LumoraDVD_MainForm::PopMenu_RepeatABClick(QObject*) {
  b_RepeatAB = SeekSeconds(i_RepeatA);
}

void TFT_LumoraDVD_MainForm::PopMenu_NoRepeatClick(QObject*) { b_RepeatAB = false; }

// ---- Other entries ----

void TFT_LumoraDVD_MainForm::PopMenu_AlwaysNormalClick(QObject* sender) {
  if (sender == PopMenu_KeepAspectRatio)
    SetAspectMode(0);
  else if (sender == PopMenu_FillScreen)
    SetAspectMode(1);
  else if (sender == PopMenu_AlwaysNormal)
    SetAspectMode(2);
  else if (sender == PopMenu_Custom)
    SetAspectMode(3);
  else if (sender == PopMenu_SetFit)
    FitWindowToVideo();
}

void TFT_LumoraDVD_MainForm::PopMenu_FullScreenClick(QObject*) {
  if (b_FullScreen)
    LeaveFullScreen();
  else
    EnterFullScreen();
}

void TFT_LumoraDVD_MainForm::PopMenu_HelpClick(QObject*) { plat::OpenUrl(kMakerWebPage); }

void TFT_LumoraDVD_MainForm::PopMenu_ExitClick(QObject*) {
  if (b_FullScreen) LeaveFullScreen();
  close();
}

// ---- Keyboard ----

void TFT_LumoraDVD_MainForm::FormShortCut(int key, bool& handled) {
  handled = true;
  switch (key) {
    case 13:
      SelectRelativeButton(0);
      break;
    case 27:
      if (b_ZoomMode) PopMenu_ZoomLeaveClick(nullptr);
      break;
    case 32: {
      TFT_LumoraDVD_OperationForm* panel = Panel();
      if (!panel) break;
      if (PlayState == psPlaying && PanelControlEnabled("skImageButton_Pause"))
        panel->skImageButton_PauseClick(nullptr);
      else if (PlayState == psPaused)
        panel->PlayFromControl(panel->skImageButton_Play);
      break;
    }
    case 37:
      SelectRelativeButton(3);
      break;
    case 38:
      SelectRelativeButton(1);
      break;
    case 39:
      SelectRelativeButton(4);
      break;
    case 40:
      SelectRelativeButton(2);
      break;
    default:
      handled = false;
      break;
  }
}

// ---- Dropped files ----

void TFT_LumoraDVD_MainForm::dragEnterEvent(QDragEnterEvent* event) { DragEnter(event); }

void TFT_LumoraDVD_MainForm::dropEvent(QDropEvent* event) { Drop(event); }

void TFT_LumoraDVD_MainForm::DragEnter(QDragEnterEvent* event) {
  // Only drops that hold at least one file of this computer are taken. The list is kept: some
  // drag sources no longer hand it out once the drop itself arrives.
  m_DragItems = plat::DroppedLocalFiles(event->mimeData());
  if (!m_DragItems.paths.empty()) event->acceptProposedAction();
}

void TFT_LumoraDVD_MainForm::Drop(QDropEvent* event) {
  plat::DroppedItems items = plat::DroppedLocalFiles(event->mimeData());
  if (items.paths.empty()) items = m_DragItems;
  m_DragItems = {};
  event->acceptProposedAction();
  std::vector<std::string> paths;
  const std::string refusal = commands::CheckDroppedPaths(items, paths);
  // The drag source waits for the drop to end: the box and the opening come after it.
  if (!refusal.empty())
    QTimer::singleShot(0, this, [this, refusal] {
      plat::MessageBox(this, refusal, kApplicationTitle, plat::MB_ICONWARNING | plat::MB_OK);
    });
  if (const WPARAM drop = plat::CreateDropHandle(paths))
    if (!plat::PostMessage(h_Handle, WM_DROPFILES, drop, 0)) plat::DragFinish(drop);
}

void TFT_LumoraDVD_MainForm::HandleDroppedFiles(WPARAM drop) {
  const size_t count = plat::DragQueryFileCount(drop);
  TFT_LumoraDVD_OperationForm* panel = Panel();
  if (count == 0 || !panel) return;
  if (count == 1) {
    CurrentPlayPath = commands::DroppedPlayPath(plat::DragQueryFile(drop, 0));
    panel->skImageButton_StopClick(nullptr);
    panel->PlayFromControl(this);
    return;
  }
  TFT_LumoraDVD_SubForm* side = FT_LumoraDVD_SubForm;
  if (!side) return;
  side->ClearPlayList();
  for (size_t i = 0; i < count; ++i) AddPathToPlayList(plat::DragQueryFile(drop, i));
  panel->skImageButton_StopClick(nullptr);
  panel->PlayFromControl(side->skImageButton_Play);
}

namespace commands {

std::string CheckDroppedPaths(const plat::DroppedItems& items, std::vector<std::string>& out) {
  out.clear();
  std::vector<std::string> missing, folders;
  const bool single = items.paths.size() == 1;
  for (const std::string& path : items.paths) {
    const QFileInfo info(QString::fromStdString(path));
    if (!info.exists()) {
      missing.push_back(path);
    } else if (info.isDir()) {
      // A folder alone may be a DVD folder; in a list it is nothing the play list can play.
      const QString dir = info.absoluteFilePath();
      const bool dvd = QFileInfo(dir + "/VIDEO_TS").isDir() || QFileInfo(dir + "/video_ts").isDir();
      if (single && dvd)
        out.push_back(path);
      else
        folders.push_back(path);
    } else {
      out.push_back(path);
    }
  }
  std::string message;
  auto list = [&message](const char* head, const std::vector<std::string>& names) {
    if (names.empty()) return;
    if (!message.empty()) message += "\n\n";
    message += head;
    const size_t shown = std::min<size_t>(names.size(), 5);
    for (size_t i = 0; i < shown; ++i) message += "\n" + names[i];
    if (names.size() > shown)
      message += "\n(and " + std::to_string(names.size() - shown) + " more)";
  };
  list("These dropped files no longer exist:", missing);
  list("These dropped folders hold no DVD (VIDEO_TS) and were left out:", folders);
  if (items.refused > 0) {
    if (!message.empty()) message += "\n\n";
    message += std::to_string(items.refused) +
               " dropped item(s) are not files on this computer and were left out.";
  }
  return message;
}

}  // namespace commands

// ---- Status display ----

void TFT_LumoraDVD_MainForm::ShowStatus(const std::string& text) {
  TPanel* full = FT_LumoraDVD_FullScreenForm ? FT_LumoraDVD_FullScreenForm->Panel_Status : nullptr;
  TPanel* panels[2] = {Panel_Status, full};
  if (text != s_LastStatus) {
    for (TPanel* p : panels)
      if (p) {
        p->hide();
        p->lower();
      }
    update();
    if (FT_LumoraDVD_FullScreenForm) FT_LumoraDVD_FullScreenForm->update();
    QFont font("Arial");
    font.setPointSize(17);
    font.setBold(true);
    // Plain pixels: the shape is made of the exact text colour.
    font.setStyleStrategy(QFont::NoAntialias);
    const QString caption = QString::fromStdString(text);
    const QFontMetrics metrics(font);
    const QSize size(metrics.horizontalAdvance(caption) + 2, metrics.height() + 2);
    QImage bitmap(size, QImage::Format_RGB32);
    bitmap.fill(Qt::black);
    {
      QPainter painter(&bitmap);
      painter.setFont(font);
      painter.setPen(QColor(0, 255, 0));
      painter.drawText(QRect(QPoint(1, 1), size - QSize(1, 1)), Qt::AlignLeft | Qt::AlignTop,
                       caption);
    }
    const QRegion shape = components::KeyedRegion(bitmap, 0xFF000000);
    for (TPanel* p : panels) {
      if (!p) continue;
      p->SetCaption(QString());
      p->SetColor(QColor(0, 255, 0));
      p->resize(size);
      p->setMask(shape.isEmpty() ? QRegion(0, 0, 1, 1) : shape);
      p->setAttribute(Qt::WA_TransparentForMouseEvents);
      p->setEnabled(false);
    }
  }
  s_LastStatus = text;
  for (TPanel* p : panels)
    if (p) {
      p->show();
      p->raise();
    }
  i_StatusTicks = 0;
  if (Timer_DisplayStatus) Timer_DisplayStatus->SetEnabled(text != "Pause");
}

void TFT_LumoraDVD_MainForm::Timer_DisplayStatusTimer(QObject*) {
  if (i_StatusTicks < 4) {
    ++i_StatusTicks;
    return;
  }
  if (Timer_DisplayStatus) Timer_DisplayStatus->SetEnabled(false);
  TPanel* full = FT_LumoraDVD_FullScreenForm ? FT_LumoraDVD_FullScreenForm->Panel_Status : nullptr;
  for (TPanel* p : {Panel_Status, full})
    if (p) {
      p->hide();
      p->lower();
    }
  if (PlayState == psPaused) ShowStatus("Pause");
}

// ---- Mouse on the video area ----

void TFT_LumoraDVD_MainForm::Panel_MainForm_CenterMouseDown(QObject*, TMouseButton button,
                                                            TShiftState, int x, int y) {
  const bool hit = HandleMouseEvent(x, y, button == mbLeft);
  if (FT_LumoraDVD_FullScreenForm) FT_LumoraDVD_FullScreenForm->b_HitDVDButton = hit;
  b_OverDVDButton = false;
}

void TFT_LumoraDVD_MainForm::Panel_MainForm_CenterMouseMove(QObject* sender, TShiftState shift,
                                                            int x, int y) {
  if (b_ZoomMode) {
    (void)sender;
    (void)shift;
    return;
  }
  if (PlayType != ptDVD) return;
  b_OverDVDButton = HandleMouseEvent(x, y, false);
  QWidget* area = plat::WidgetFromHandle(h_CurrentPreviewWindow);
  if (!area) area = Panel_MainForm_Center;
  if (!area) return;
  // The skin's press cursor, or the desktop's hand when the skin has none.
  if (b_OverDVDButton)
    area->setCursor(HasSkinCursor(kCursorPress) ? SkinCursor(kCursorPress)
                                                : QCursor(Qt::PointingHandCursor));
  else
    area->unsetCursor();
}

void TFT_LumoraDVD_MainForm::Panel_MainForm_CenterMouseUp(QObject* sender, TMouseButton button,
                                                          TShiftState shift, int x, int y) {
  if (b_ZoomMode) {
    (void)sender;
    (void)shift;
    if (button == mbRight && PopupMenu_Zoom) {
      if (PopMenu_ZoomIn) PopMenu_ZoomIn->SetEnabled(i_ZoomLevel < 4);
      if (PopMenu_ZoomOut) PopMenu_ZoomOut->SetEnabled(i_ZoomLevel > 1);
      const QPoint at = QCursor::pos();
      PopupMenu_Zoom->Popup(at.x(), at.y());
    }
    return;
  }
  if (button != mbRight) return;
  PopupMainMenu(QCursor::pos());
}

void TFT_LumoraDVD_MainForm::Panel_MainForm_CenterDblClick(QObject*) {
  if (!b_ZoomMode) EnterFullScreen();
}

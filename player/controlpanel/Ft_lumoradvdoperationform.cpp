#include "player/controlpanel/Ft_lumoradvdoperationform.h"

#include <QApplication>
#include <QFileInfo>
#include <QMouseEvent>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/Drives.h"
#include "platform/DropFiles.h"
#include "platform/Window.h"
#include "player/core/CommandLine.h"
#include "player/core/EngineApi.h"
#include "player/core/Ft_lumoradvdplay.h"
#include "player/core/Ft_lumoradvdstate.h"
#include "player/library/Ft_lumoradvdsubform.h"
#include "player/mainwindow/Ft_lumoradvdcontrolframe.h"
#include "player/mainwindow/Ft_lumoradvdfullscreenform.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/mainwindow/Ft_lumoradvdshadowform.h"
#include "player/skin/controls/Ftimagebutton.h"
#include "player/widgets/TImage.h"
#include "player/widgets/TLabel.h"
#include "player/widgets/TPanel.h"
#include "player/widgets/TPopupMenu.h"
#include "player/widgets/TTimer.h"
#include "player/widgets/TskImageButton.h"

namespace {

void SetEnabledByName(QWidget* root, const char* name, bool on) {
  if (!root) return;
  if (QWidget* w = root->findChild<QWidget*>(QString::fromLatin1(name))) w->setEnabled(on);
}

void ShowDigit(QWidget* root, const char* name, int digit) {
  if (!root) return;
  if (auto* d = root->findChild<TFT_DigitalImage*>(QString::fromLatin1(name))) d->ShowDigit(digit);
}

// The six time digits of one window.
void ShowDigits(QWidget* root, int sec, int min, int hour) {
  ShowDigit(root, "DI_TimeSec1", sec % 10);
  ShowDigit(root, "DI_TimeSec10", sec / 10);
  ShowDigit(root, "DI_TimeMin1", min % 10);
  ShowDigit(root, "DI_TimeMin10", min / 10);
  ShowDigit(root, "DI_TimeHour1", hour % 10);
  ShowDigit(root, "DI_TimeHour10", hour / 10);
}

void ShowStatusText(const std::string& text) {
  if (FT_LumoraDVD_MainForm) FT_LumoraDVD_MainForm->ShowStatus(text);
}

void ClearPlayingFileName() {
  TFT_LumoraDVD_MainForm* main = FT_LumoraDVD_MainForm;
  if (!main || !main->Label_CurrentPlayFileName) return;
  main->Label_CurrentPlayFileName->SetCaption(QString());
  main->Label_CurrentPlayFileName->SetHint(QString());
}

bool IsFile(const std::string& path) {
  return !path.empty() && QFileInfo(QString::fromStdString(path)).isFile();
}

}  // namespace

TFT_LumoraDVD_OperationForm::TFT_LumoraDVD_OperationForm(QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  FT_LumoraDVD_OperationForm = this;
  setObjectName("FT_LumoraDVD_OperationForm");
  setAcceptDrops(true);
  resize(457, 249);
  b_NoVideo = true;
  CreateComponents();
  ConnectHandlers();
  h_Handle = plat::RegisterWindow(this);
  plat::SetMessageHandler(h_Handle, [this](unsigned msg, WPARAM w, LPARAM l, LRESULT& result) {
    result = 0;
    if (msg == WM_DROPFILES) {
      if (FT_LumoraDVD_MainForm) FT_LumoraDVD_MainForm->HandleDroppedFiles(w);
      plat::DragFinish(w);
      return true;
    }
    if (msg != plat::kWmDeviceChange) return false;
    HandleDeviceChange(w, l);
    return true;
  });
  // Notices of one insertion come in bursts; they are looked at together a moment later.
  arrivalTimer_ = new QTimer(this);
  arrivalTimer_->setSingleShot(true);
  arrivalTimer_->setInterval(300);
  connect(arrivalTimer_, &QTimer::timeout, this, [this] { ProcessDiscArrivals(); });
  // Without udev (containers) there are simply no notices.
  driveMonitor_ = new plat::DriveMonitor(this);
  driveMonitor_->Start(h_Handle);
}

TFT_LumoraDVD_OperationForm::~TFT_LumoraDVD_OperationForm() {
  if (FT_LumoraDVD_OperationForm == this) FT_LumoraDVD_OperationForm = nullptr;
}

void TFT_LumoraDVD_OperationForm::ConnectHandlers() {
  auto click = [this](TskImageButton* b, void (TFT_LumoraDVD_OperationForm::*handler)(QObject*)) {
    if (b) b->OnClick = [this, handler](QObject* sender) { (this->*handler)(sender); };
  };
  using F = TFT_LumoraDVD_OperationForm;
  click(skImageButton_Play, &F::PlayFromControl);
  click(skImageButton_Pause, &F::skImageButton_PauseClick);
  click(skImageButton_Stop, &F::skImageButton_StopClick);
  click(skImageButton_FastForward, &F::skImageButton_FastForwardClick);
  click(skImageButton_FastReverse, &F::skImageButton_FastReverseClick);
  click(skImageButton_Exit, &F::skImageButton_ExitClick);
  click(skImageButton_Min, &F::skImageButton_MinClick);
  click(skImageButton_VolumeUp, &F::skImageButton_VolumeUpClick);
  click(skImageButton_VolumeDown, &F::skImageButton_VolumeDownClick);
  click(skImageButton_Mute, &F::skImageButton_MuteClick);
  click(skImageButton_DeMute, &F::skImageButton_DeMuteClick);
  click(skImageButton_VideoSetup, &F::skImageButton_VideoSetupClick);
  click(skImageButton_AudioSetup, &F::skImageButton_AudioSetupClick);
  click(skImageButton_NextChapter, &F::skImageButton_NextChapterClick);
  click(skImageButton_PreviousChapter, &F::skImageButton_NextChapterClick);

  auto up = [this](TskImageButton* b, void (TFT_LumoraDVD_OperationForm::*handler)(
                                          QObject*, TMouseButton, TShiftState, int, int)) {
    if (b)
      b->OnMouseUp = [this, handler](QObject* s, TMouseButton mb, TShiftState sh, int x, int y) {
        (this->*handler)(s, mb, sh, x, y);
      };
  };
  up(skImageButton_Open, &F::skImageButton_OpenMouseUp);
  up(skImageButton_Eject, &F::skImageButton_EjectMouseUp);
  up(skImageButton_SubPicture, &F::skImageButton_SubPictureMouseUp);
  up(skImageButton_Language, &F::skImageButton_LanguageMouseUp);
  up(skImageButton_Menu, &F::skImageButton_MenuMouseUp);
  up(skImageButton_PlaybackRate, &F::skImageButton_PlaybackRateMouseUp);

  if (RootMenu1) RootMenu1->OnClick = [this](QObject* s) { RootMenu1Click(s); };
  if (TitleMenu1) TitleMenu1->OnClick = [this](QObject* s) { TitleMenu1Click(s); };
  if (Timer_GetFileProgress)
    Timer_GetFileProgress->SetOnTimer([this](QObject* s) { Timer_GetFileProgressTimer(s); });
}

bool TFT_LumoraDVD_OperationForm::PlayCurrentFile() {
  // An image or a drive holds a whole disc, with menus: the DVD engine opens it.
  if (IsDiscImageOrDevice(CurrentPlayPath)) {
    skImageButton_StopClick(nullptr);
    return StartDVD(CurrentPlayPath);
  }
  const QFileInfo info(QString::fromStdString(CurrentPlayPath));
  if (!CurrentPlayPath.empty() && info.isFile()) {
    skImageButton_StopClick(nullptr);
    PlayType = ptFile;
    return StartFile(CurrentPlayPath);
  }
  // A file name that is not there must not be taken for a disc folder later.
  // Only the last name counts: folders above it (/home/j.smith/...) may have
  // dots, and so may an existing disc folder itself.
  const size_t slash = CurrentPlayPath.find_last_of('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  if (CurrentPlayPath.find('.', nameStart) != std::string::npos &&
      !QFileInfo(QString::fromStdString(CurrentPlayPath)).isDir())
    CurrentPlayPath.clear();
  return false;
}

bool TFT_LumoraDVD_OperationForm::PlayPlayListItem() {
  if (!FT_LumoraDVD_SubForm) return false;
  const std::string path = FT_LumoraDVD_SubForm->ItemToPlay();
  if (!IsFile(path)) return false;
  skImageButton_StopClick(nullptr);
  PlayType = ptPlayList;
  return StartFile(path);
}

void TFT_LumoraDVD_OperationForm::PlayFromControl(QObject* control) {
  bool played = false;
  TFT_LumoraDVD_SubForm* side = FT_LumoraDVD_SubForm;
  TFT_LumoraDVD_ControlFrame* bar = FT_LumoraDVD_ControlFrame;
  const bool ownPlay =
      control && (control == skImageButton_Play || control == Dynamic_Play ||
                  (bar && (control == bar->skImageButton_Play || control == bar->Dynamic_Play)));
  if (ownPlay) {
    if (PlayState == psPlaying) {
      if (i_CurrentPlaybackRateIndex != kNormalRateIndex && SetPlaybackRate(1.0))
        i_CurrentPlaybackRateIndex = kNormalRateIndex;
      ShowStatusText(s_PlaybackRate[i_CurrentPlaybackRateIndex]);
      return;
    }
    if (PlayState == psPaused) {
      if (ResumePlayback()) ShowStatusText("Play");
      return;
    }
  } else if (control && side && control == side->skImageButton_Play) {
    played = PlayPlayListItem();
    if (!played) return;
  } else if (control && side && control == side->skImageButton_PlayBookmark) {
    played = side->PlayBookmark();
    if (!played) return;
  } else if (control && control == FT_LumoraDVD_MainForm) {
    played = PlayDisc() || PlayCurrentFile();
    if (!played) return;
  }

  if (!played) played = PlayCurrentFile();
  if (!played && side && side->isVisible() && side->i_PageIndex == 0) played = PlayPlayListItem();
  if (!played && side && side->isVisible() && side->i_PageIndex == 1) played = side->PlayBookmark();
  if (!played) played = PlayDisc();
  if (!played) played = PlayPlayListItem();

  if (played) {
    ShowStatusText("Play");
    EnablePlaybackControls(true);
  } else if (!b_InOpenDialog) {
    // Nothing to play: let the user choose something. A dialog whose choice proved unplayable
    // does not open itself again.
    OpenFromMenu(nullptr);
  }
}

void TFT_LumoraDVD_OperationForm::skImageButton_StopClick(QObject* sender) {
  b_CurrentPlaySupportSeek = false;
  b_SubpictureChosen = false;
  i_CurrentPlaybackRateIndex = kNormalRateIndex;
  TFT_LumoraDVD_MainForm* main = FT_LumoraDVD_MainForm;
  if (main) {
    main->i_ZoomLevel = 1;
    main->b_ZoomMode = false;
    if (main->Panel_MainForm_Center) main->Panel_MainForm_Center->unsetCursor();
  }
  if (ProgressBar) ProgressBar->SetPosition(-1, false);
  if (FT_LumoraDVD_ControlFrame && FT_LumoraDVD_ControlFrame->ProgressBar)
    FT_LumoraDVD_ControlFrame->ProgressBar->SetPosition(-1, false);
  ShowSeconds(0);
  if (main) {
    ClearPlayingFileName();
    main->i_RepeatA = -1;
    main->i_RepeatB = -1;
    main->b_RepeatAB = false;
    main->i_CurrentChapter = 0;
    main->i_CurrentTitle = 0;
  }
  if (sender) {
    b_NoVideo = true;
    if (FT_LumoraDVD_SubForm) FT_LumoraDVD_SubForm->MarkStopped();
    ShowChapterNumber(0);
    ShowTitleNumber(0);
    ShowStatusText("Stop");
  }
  EnablePlaybackControls(false);
  if (FT_LumoraDVD_SubForm) FT_LumoraDVD_SubForm->SetBookmarkFilter(0);
  ClosePlayback();
}

void TFT_LumoraDVD_OperationForm::skImageButton_PauseClick(QObject*) {
  if (PlayState != psPaused) {
    if (PausePlayback()) ShowStatusText("Pause");
    return;
  }
  if (StepFrame()) {
    ShowStatusText("StepForward");
  } else if (ResumePlayback()) {
    ShowStatusText("Play");
  }
}

namespace {

void ApplyRateIndex(int index) {
  i_CurrentPlaybackRateIndex =
      (index >= 0 && index < kPlaybackRateCount && SetPlaybackRate(d_PlaybackRate[index]))
          ? index
          : kNormalRateIndex;
  ShowStatusText(s_PlaybackRate[i_CurrentPlaybackRateIndex]);
}

}  // namespace

void TFT_LumoraDVD_OperationForm::skImageButton_FastForwardClick(QObject*) {
  int index = i_CurrentPlaybackRateIndex + 1;
  if (index > kPlaybackRateCount - 1) index = kNormalRateIndex;
  ApplyRateIndex(index);
}

void TFT_LumoraDVD_OperationForm::skImageButton_FastReverseClick(QObject*) {
  int index = i_CurrentPlaybackRateIndex - 1;
  if (index < 0) index = kNormalRateIndex;
  ApplyRateIndex(index);
}

bool TFT_LumoraDVD_OperationForm::IsPreviousChapterButton(QObject* sender) const {
  if (!sender) return false;
  if (skImageButton_PreviousChapter && sender == skImageButton_PreviousChapter) return true;
  TFT_LumoraDVD_ControlFrame* bar = FT_LumoraDVD_ControlFrame;
  return bar && bar->skImageButton_PreviousChapter && sender == bar->skImageButton_PreviousChapter;
}

void TFT_LumoraDVD_OperationForm::skImageButton_NextChapterClick(QObject* sender) {
  TFT_LumoraDVD_MainForm* main = FT_LumoraDVD_MainForm;
  const bool previous = IsPreviousChapterButton(sender);
  if (PlayType == ptDVD) {
    if (!main) return;
    int32_t n = main->i_CurrentChapter;
    if (previous) {
      if (n < 2) return;
      --n;
    } else {
      ++n;
      if (n > i_ChapterCount) return;
    }
    if (JumpDVDChapter(static_cast<uint32_t>(n))) ShowStatusText("Chapter " + std::to_string(n));
    return;
  }
  if (PlayType == ptPlayList) {
    std::string path = "0";
    if (FT_LumoraDVD_SubForm)
      path = previous ? FT_LumoraDVD_SubForm->PreviousItem() : FT_LumoraDVD_SubForm->NextItem();
    ClosePlayback();
    PlayType = ptPlayList;
    if (!IsFile(path)) {
      skImageButton_StopClick(nullptr);
      return;
    }
    if (StartFile(path)) EnablePlaybackControls(true);
  }
}

void TFT_LumoraDVD_OperationForm::skImageButton_VolumeUpClick(QObject*) {
  const float now = VolumeBar ? VolumeBar->GetPositionF() : static_cast<float>(l_CurrentVolume);
  const float v = std::min(now + 5.0f, 100.0f);
  if (VolumeBar) VolumeBar->SetPositionF(v);
  if (FT_LumoraDVD_ControlFrame && FT_LumoraDVD_ControlFrame->VolumeBar)
    FT_LumoraDVD_ControlFrame->VolumeBar->SetPositionF(v);
  SetVolumeAndBalance(static_cast<int32_t>(v), l_CurrentBalance);
}

void TFT_LumoraDVD_OperationForm::skImageButton_VolumeDownClick(QObject*) {
  const float now = VolumeBar ? VolumeBar->GetPositionF() : static_cast<float>(l_CurrentVolume);
  const float v = std::max(now - 3.0f, 0.0f);
  if (VolumeBar) VolumeBar->SetPositionF(v);
  if (FT_LumoraDVD_ControlFrame && FT_LumoraDVD_ControlFrame->VolumeBar)
    FT_LumoraDVD_ControlFrame->VolumeBar->SetPositionF(v);
  SetVolumeAndBalance(static_cast<int32_t>(v), l_CurrentBalance);
}

void TFT_LumoraDVD_OperationForm::skImageButton_MuteClick(QObject*) {
  SetVolumeAndBalance(0, l_CurrentBalance);
  SetMuteState(true);
}

void TFT_LumoraDVD_OperationForm::skImageButton_DeMuteClick(QObject*) {
  const int32_t v = VolumeBar ? VolumeBar->GetPosition() : i_VolumeBeforeMute;
  SetVolumeAndBalance(v, l_CurrentBalance);
  SetMuteState(false);
}

void TFT_LumoraDVD_OperationForm::SetMuteState(bool on) {
  if (FT_LumoraDVD_MainForm) FT_LumoraDVD_MainForm->b_MuteState = on;
  auto apply = [&](QWidget* root) {
    if (!root) return;
    if (auto* w = root->findChild<QWidget*>("skImageButton_DeMute")) w->setVisible(on);
    if (auto* w = root->findChild<QWidget*>("skImageButton_Mute")) w->setVisible(!on);
    SetEnabledByName(root, "VolumeBar", !on);
    SetEnabledByName(root, "skImageButton_VolumeUp", !on);
    SetEnabledByName(root, "skImageButton_VolumeDown", !on);
  };
  apply(this);
  apply(FT_LumoraDVD_ControlFrame);
  if (on) {
    i_VolumeBeforeMute = VolumeBar ? VolumeBar->GetPosition() : l_CurrentVolume;
    l_CurrentVolume = 0;
  } else {
    // Once the sound is back, the volume from before the mute is history: kept, it would
    // outvote a lower volume set afterwards when the options are saved or a skin is applied.
    i_VolumeBeforeMute = 0;
  }
}

void TFT_LumoraDVD_OperationForm::skImageButton_MinClick(QObject*) {
  // The whole application goes down together, as its windows belong together.
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible()) w->showMinimized();
}

void TFT_LumoraDVD_OperationForm::skImageButton_ExitClick(QObject*) {
  ClosePlayback();
  // Ends at once; the main window's closing steps (saving the options) do not run.
  std::_Exit(0);
}

void TFT_LumoraDVD_OperationForm::skImageButton_VideoSetupClick(QObject*) {
  TFT_LumoraDVD_MainForm* main = FT_LumoraDVD_MainForm;
  if (!main) return;
  main->PopMenu_FullScreenClick(this);
}

void TFT_LumoraDVD_OperationForm::skImageButton_AudioSetupClick(QObject*) {
  TFT_LumoraDVD_MainForm* main = FT_LumoraDVD_MainForm;
  if (!main) return;
  main->PopMenu_SetupClick(this);
}

void TFT_LumoraDVD_OperationForm::EnablePlaybackControls(bool on) {
  const bool chaptered = PlayType != ptFile && PlayType != ptTV;
  const bool seekable = b_CurrentPlaySupportSeek;
  const bool dvd = PlayType == ptDVD;
  if (Timer_GetFileProgress) Timer_GetFileProgress->SetEnabled(on);

  for (QWidget* root :
       {static_cast<QWidget*>(this), static_cast<QWidget*>(FT_LumoraDVD_ControlFrame)}) {
    if (!root) continue;
    SetEnabledByName(root, "skImageButton_Pause", on);
    SetEnabledByName(root, "skImageButton_Stop", on);
    SetEnabledByName(root, "skImageButton_PreviousChapter", on && chaptered);
    SetEnabledByName(root, "skImageButton_NextChapter", on && chaptered);
    SetEnabledByName(root, "skImageButton_FastReverse", on && seekable);
    SetEnabledByName(root, "skImageButton_FastForward", on && seekable);
    SetEnabledByName(root, "ProgressBar", on && seekable);
  }
  SetEnabledByName(this, "skImageButton_VideoSetup", true);
  SetEnabledByName(this, "skImageButton_AudioSetup", true);
  SetEnabledByName(this, "skImageButton_SubPicture", on && dvd);
  SetEnabledByName(this, "skImageButton_Language", on && dvd);
  SetEnabledByName(this, "skImageButton_Menu", on && dvd);
  SetEnabledByName(FT_LumoraDVD_SubForm, "skImageButton_AddBookmark", on && dvd);
  SetEnabledByName(FT_LumoraDVD_SubForm, "skImageButton_Snapshoot_Continuous", on && dvd);
  SetEnabledByName(FT_LumoraDVD_SubForm, "skImageButton_Snapshoot_One", on && dvd);

  const bool idle = b_NoVideo && PlayType != ptDVD;
  if (FT_LumoraDVD_MainForm && FT_LumoraDVD_MainForm->Image_MainForm_Center)
    FT_LumoraDVD_MainForm->Image_MainForm_Center->setVisible(idle);
  if (FT_LumoraDVD_FullScreenForm && FT_LumoraDVD_FullScreenForm->Image_MainForm_Center)
    FT_LumoraDVD_FullScreenForm->Image_MainForm_Center->setVisible(idle);
}

void TFT_LumoraDVD_OperationForm::Timer_GetFileProgressTimer(QObject*) {
  double duration = 0, position = 0;
  int32_t percent = 0;
  if (!GetPlayInfo(&duration, &position, &percent)) {
    if (Timer_GetFileProgress) Timer_GetFileProgress->SetEnabled(false);
    return;
  }
  ShowSeconds(static_cast<int>(position));
  if (duration < 1.0) duration = 1.0;
  ShowProgress(static_cast<float>(position * 100.0 / duration));
  // The file name shows only during a video's first ten seconds.
  if (!b_NoVideo && position > 10.0) ClearPlayingFileName();
}

void TFT_LumoraDVD_OperationForm::ShowSeconds(int s) {
  ShowTime(s % 60, (s / 60) % 60, (s / 3600) % 24);
}

void TFT_LumoraDVD_OperationForm::ShowTime(int sec, int min, int hour) {
  i_CurrentSeconds = hour * 3600 + min * 60 + sec;
  ShowDigits(this, sec, min, hour);
  ShowDigits(FT_LumoraDVD_ControlFrame, sec, min, hour);
  TFT_LumoraDVD_MainForm* main = FT_LumoraDVD_MainForm;
  if (main && main->b_RepeatAB &&
      (i_CurrentSeconds < main->i_RepeatA || i_CurrentSeconds >= main->i_RepeatB)) {
    main->b_RepeatAB = SeekSeconds(main->i_RepeatA);
  }
}

void TFT_LumoraDVD_OperationForm::ShowProgress(double percent) {
  if (ProgressBar) ProgressBar->SetPositionF(static_cast<float>(percent));
  if (FT_LumoraDVD_ControlFrame && FT_LumoraDVD_ControlFrame->ProgressBar)
    FT_LumoraDVD_ControlFrame->ProgressBar->SetPositionF(static_cast<float>(percent));
}

void TFT_LumoraDVD_OperationForm::ShowTitleNumber(int n) {
  ShowDigit(this, "DI_Title1", n % 10);
  ShowDigit(this, "DI_Title10", (n / 10) % 10);
}

void TFT_LumoraDVD_OperationForm::ShowChapterNumber(int n) {
  ShowDigit(this, "DI_Chapter1", n % 10);
  ShowDigit(this, "DI_Chapter10", (n / 10) % 10);
}

// ---------------------------------------------------------------------------------------------
// Moving the panel and docking it back into the main window.

void TFT_LumoraDVD_OperationForm::mousePressEvent(QMouseEvent* e) {
  FormMouseDown(components::ToMouseButton(e->button()), e->globalPosition().toPoint());
  e->accept();
}

void TFT_LumoraDVD_OperationForm::mouseMoveEvent(QMouseEvent* e) {
  FormMouseMove(e->globalPosition().toPoint());
  e->accept();
}

void TFT_LumoraDVD_OperationForm::mouseReleaseEvent(QMouseEvent* e) {
  FormMouseUp();
  e->accept();
}

void TFT_LumoraDVD_OperationForm::FormMouseDown(TMouseButton button, const QPoint& global) {
  b_Dragging = button == mbLeft;
  if (!b_Dragging) return;
  pt_DragStart = global;
  pt_DragNow = global;
  i_DragStartLeft = x();
  i_DragStartTop = y();
  TFT_LumoraDVD_MainForm* main = FT_LumoraDVD_MainForm;
  QWidget* shadow = FT_LumoraDVD_ShadowForm;
  if (main && shadow) {
    // The outline shows where the docked bar would sit: under the main window, full width.
    shadow->setGeometry(main->x(), main->y() + main->height(), main->width(),
                        std::max(1, main->i_ControlPanelHeight));
    shadow->lower();
  }
}

bool TFT_LumoraDVD_OperationForm::OverDockZone() const {
  TFT_LumoraDVD_MainForm* main = FT_LumoraDVD_MainForm;
  if (!main) return false;
  const int h = width() / 2;
  const int mainBottom = main->y() + main->height();
  return mainBottom - height() < y() && y() < mainBottom + main->i_ControlPanelHeight / 2 &&
         main->x() - h < x() && x() < main->x() + main->width() - h;
}

void TFT_LumoraDVD_OperationForm::FormMouseMove(const QPoint& global) {
  TFT_LumoraDVD_MainForm* main = FT_LumoraDVD_MainForm;
  QWidget* shadow = FT_LumoraDVD_ShadowForm;
  const bool fullScreen = main && main->b_FullScreen;
  if (b_Dragging) {
    pt_DragNow = global;
    move(i_DragStartLeft + (global.x() - pt_DragStart.x()),
         i_DragStartTop + (global.y() - pt_DragStart.y()));
    if (fullScreen) {
      b_DockPreview = false;
    } else if (OverDockZone()) {
      b_DockPreview = true;
      if (shadow && !shadow->isVisible()) {
        shadow->show();
        shadow->lower();
      }
    } else {
      b_DockPreview = false;
      if (shadow) shadow->hide();
    }
    update();
    if (main) main->update();
    if (shadow) shadow->update();
    if (FT_LumoraDVD_SubForm) FT_LumoraDVD_SubForm->update();
  }
  // In full screen a hidden pointer comes back as soon as it moves over the panel.
  TFT_LumoraDVD_FullScreenForm* full = FT_LumoraDVD_FullScreenForm;
  if (fullScreen && full && full->Timer_Cursor && full->Timer_Cursor->Active()) {
    full->Timer_Cursor->SetEnabled(false);
    full->ShowMouseCursor(true);
  }
}

void TFT_LumoraDVD_OperationForm::dragEnterEvent(QDragEnterEvent* e) {
  if (FT_LumoraDVD_MainForm) FT_LumoraDVD_MainForm->DragEnter(e);
}

void TFT_LumoraDVD_OperationForm::dropEvent(QDropEvent* e) {
  if (FT_LumoraDVD_MainForm) FT_LumoraDVD_MainForm->Drop(e);
}

void TFT_LumoraDVD_OperationForm::FormMouseUp() {
  if (!b_Dragging) return;
  b_Dragging = false;
  if (FT_LumoraDVD_ShadowForm) FT_LumoraDVD_ShadowForm->hide();
  if (b_DockPreview) {
    b_DockPreview = false;
    if (FT_LumoraDVD_MainForm) FT_LumoraDVD_MainForm->SetControlBarDocked(true);
  }
}

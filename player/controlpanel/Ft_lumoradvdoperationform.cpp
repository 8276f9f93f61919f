#include "controlpanel/Ft_lumoradvdoperationform.h"

#include <QDir>
#include <QFileInfo>

#include "core/EngineApi.h"
#include "core/Ft_lumoradvdplay.h"
#include "core/Ft_lumoradvdstate.h"
#include "library/Ft_lumoradvdsubform.h"
#include "mainwindow/Ft_lumoradvdcontrolframe.h"
#include "mainwindow/Ft_lumoradvdmainform.h"
#include "platform/Window.h"
#include "player/skin/controls/Ftimagebutton.h"
#include "player/widgets/TImage.h"
#include "player/widgets/TLabel.h"
#include "player/widgets/TPanel.h"
#include "player/widgets/TTimer.h"
#include "player/widgets/TskImageButton.h"

namespace {

// Buttons of the side panel and the control panel that only the skin creates.
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

bool FolderExists(const std::string& path) {
  return !path.empty() && QFileInfo(QString::fromStdString(path)).isDir();
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
  if (skImageButton_Play)
    skImageButton_Play->OnClick = [this](QObject* sender) { PlayFromControl(sender); };
  h_Handle = plat::RegisterWindow(this);
}

TFT_LumoraDVD_OperationForm::~TFT_LumoraDVD_OperationForm() {
  if (FT_LumoraDVD_OperationForm == this) FT_LumoraDVD_OperationForm = nullptr;
}

bool TFT_LumoraDVD_OperationForm::PlayCurrentFile() {
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
  if (CurrentPlayPath.find('.', nameStart) != std::string::npos && !info.isDir())
    CurrentPlayPath.clear();
  return false;
}

bool TFT_LumoraDVD_OperationForm::PlayDisc() {
  if (CurrentPlayPath.empty()) return false;  // drive search comes with the open menu
  std::string root = CurrentPlayPath;
  if (root.back() != '/') root += '/';
  if (FolderExists(root + "VIDEO_TS/") ||
      FolderExists(QDir(QString::fromStdString(root)).filePath("video_ts").toStdString())) {
    skImageButton_StopClick(nullptr);
    return StartDVD(CurrentPlayPath);
  }
  return false;
}

bool TFT_LumoraDVD_OperationForm::PlayPlayListItem() {
  if (!FT_LumoraDVD_SubForm) return false;
  const std::string path = FT_LumoraDVD_SubForm->ItemToPlay();
  if (!QFileInfo(QString::fromStdString(path)).isFile()) return false;
  skImageButton_StopClick(nullptr);
  PlayType = ptPlayList;
  return StartFile(path);
}

void TFT_LumoraDVD_OperationForm::PlayFromControl(QObject* control) {
  bool played = false;
  TFT_LumoraDVD_SubForm* side = FT_LumoraDVD_SubForm;
  const bool ownPlay = control && (control == skImageButton_Play || control == Dynamic_Play);
  if (ownPlay) {
    if (PlayState == psPlaying) {
      if (i_CurrentPlaybackRateIndex != kNormalRateIndex && SetPlaybackRate(1.0))
        i_CurrentPlaybackRateIndex = kNormalRateIndex;
      if (FT_LumoraDVD_MainForm)
        FT_LumoraDVD_MainForm->ShowStatus(s_PlaybackRate[i_CurrentPlaybackRateIndex]);
      return;
    }
    if (PlayState == psPaused) {
      if (ResumePlayback() && FT_LumoraDVD_MainForm) FT_LumoraDVD_MainForm->ShowStatus("Play");
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
    if (FT_LumoraDVD_MainForm) FT_LumoraDVD_MainForm->ShowStatus("Play");
    EnablePlaybackControls(true);
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
    if (main->Label_CurrentPlayFileName) {
      main->Label_CurrentPlayFileName->SetCaption(QString());
      main->Label_CurrentPlayFileName->SetHint(QString());
    }
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
    if (main) main->ShowStatus("Stop");
  }
  EnablePlaybackControls(false);
  if (FT_LumoraDVD_SubForm) FT_LumoraDVD_SubForm->SetBookmarkFilter(0);
  ClosePlayback();
}

void TFT_LumoraDVD_OperationForm::skImageButton_PauseClick(QObject*) {
  TFT_LumoraDVD_MainForm* main = FT_LumoraDVD_MainForm;
  if (PlayState != psPaused) {
    if (PausePlayback() && main) main->ShowStatus("Pause");
    return;
  }
  if (StepFrame()) {
    if (main) main->ShowStatus("StepForward");
  } else if (ResumePlayback() && main) {
    main->ShowStatus("Play");
  }
}

void TFT_LumoraDVD_OperationForm::skImageButton_NextChapterClick(QObject* sender) {
  TFT_LumoraDVD_MainForm* main = FT_LumoraDVD_MainForm;
  const bool previous =
      sender &&
      ((skImageButton_PreviousChapter && sender == skImageButton_PreviousChapter) ||
       (FT_LumoraDVD_ControlFrame && FT_LumoraDVD_ControlFrame->skImageButton_PreviousChapter &&
        sender == FT_LumoraDVD_ControlFrame->skImageButton_PreviousChapter));
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
    if (JumpDVDChapter(n)) main->ShowStatus("Chapter " + std::to_string(n));
    return;
  }
  if (PlayType == ptPlayList) {
    std::string path = "0";
    if (FT_LumoraDVD_SubForm)
      path = previous ? FT_LumoraDVD_SubForm->PreviousItem() : FT_LumoraDVD_SubForm->NextItem();
    ClosePlayback();
    PlayType = ptPlayList;
    if (!QFileInfo(QString::fromStdString(path)).isFile()) {
      skImageButton_StopClick(nullptr);
      return;
    }
    if (StartFile(path)) EnablePlaybackControls(true);
  }
}

void TFT_LumoraDVD_OperationForm::EnablePlaybackControls(bool on) {
  const bool chaptered = PlayType != ptFile && PlayType != ptTV;
  const bool seekable = b_CurrentPlaySupportSeek;
  const bool dvd = PlayType == ptDVD;
  if (Timer_GetFileProgress) Timer_GetFileProgress->SetEnabled(on);

  // The members where the window has them, else the skin's control by name.
  auto set = [](QWidget* member, QWidget* root, const char* name, bool enabled) {
    if (member)
      member->setEnabled(enabled);
    else
      SetEnabledByName(root, name, enabled);
  };
  set(skImageButton_Pause, this, "skImageButton_Pause", on);
  set(skImageButton_Stop, this, "skImageButton_Stop", on);
  set(skImageButton_PreviousChapter, this, "skImageButton_PreviousChapter", on && chaptered);
  set(skImageButton_NextChapter, this, "skImageButton_NextChapter", on && chaptered);
  SetEnabledByName(this, "skImageButton_FastReverse", on && seekable);
  SetEnabledByName(this, "skImageButton_FastForward", on && seekable);
  set(ProgressBar, this, "ProgressBar", on && seekable);
  if (TFT_LumoraDVD_ControlFrame* frame = FT_LumoraDVD_ControlFrame) {
    set(frame->skImageButton_Pause, frame, "skImageButton_Pause", on);
    set(frame->skImageButton_Stop, frame, "skImageButton_Stop", on);
    set(frame->skImageButton_PreviousChapter, frame, "skImageButton_PreviousChapter",
        on && chaptered);
    set(frame->skImageButton_NextChapter, frame, "skImageButton_NextChapter", on && chaptered);
    SetEnabledByName(frame, "skImageButton_FastReverse", on && seekable);
    SetEnabledByName(frame, "skImageButton_FastForward", on && seekable);
    set(frame->ProgressBar, frame, "ProgressBar", on && seekable);
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
  }
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
  ShowDigit(this, "DI_Title10", n / 10);
}

void TFT_LumoraDVD_OperationForm::ShowChapterNumber(int n) {
  ShowDigit(this, "DI_Chapter1", n % 10);
  ShowDigit(this, "DI_Chapter10", n / 10);
}

void TFT_LumoraDVD_OperationForm::RefreshChapterCount() {
  auto* info = GetIDvdInfo2();
  if (!info || !FT_LumoraDVD_MainForm) return;
  uint32_t chapters = 0;
  if (info->GetNumberOfChapters(static_cast<uint32_t>(FT_LumoraDVD_MainForm->i_CurrentTitle),
                                &chapters) >= 0)
    i_ChapterCount = static_cast<int32_t>(chapters);
}

void TFT_LumoraDVD_OperationForm::AutoSelectStreams() {
  // The stream choice needs the language menus, which this window does not build yet.
}

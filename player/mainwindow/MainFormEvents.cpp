// The player's side of the engines' events.
#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/core/EngineApi.h"
#include "player/core/Ft_lumoradvdplay.h"
#include "player/mainwindow/Ft_lumoradvdcontrolframe.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/skin/controls/Ftimagebutton.h"
#include "player/widgets/TskImageButton.h"

namespace {

constexpr int32_t kDvdDomainChange = navdisc::EC_DVD_DOMAIN_CHANGE;
constexpr int32_t kDvdTitleChange = navdisc::EC_DVD_TITLE_CHANGE;
constexpr int32_t kDvdChapterStart = navdisc::EC_DVD_CHAPTER_START;
constexpr int32_t kDvdError = navdisc::EC_DVD_ERROR;
constexpr int32_t kDvdDiscEjected = navdisc::EC_DVD_DISC_EJECTED;
constexpr int32_t kDvdCurrentHmsfTime = navdisc::EC_DVD_CURRENT_HMSF_TIME;
constexpr int32_t kDvdDomainTitle = navdisc::DVD_DOMAIN_Title;
constexpr int32_t kMediaComplete = CLIPCORE_EC_COMPLETE;
constexpr int32_t kMediaErrorAbort = CLIPCORE_EC_ERRORABORT;

void EnableSeekControls(bool on) {
  auto set = [on](QWidget* w) {
    if (w) w->setEnabled(on);
  };
  if (TFT_LumoraDVD_OperationForm* panel = FT_LumoraDVD_OperationForm) {
    set(panel->ProgressBar);
    set(panel->skImageButton_PreviousChapter);
    set(panel->skImageButton_NextChapter);
  }
  if (TFT_LumoraDVD_ControlFrame* frame = FT_LumoraDVD_ControlFrame) {
    set(frame->ProgressBar);
    set(frame->skImageButton_PreviousChapter);
    set(frame->skImageButton_NextChapter);
  }
}

// The stop command as the stop button gives it: a full stop with display reset.
void StopFromEngine() {
  TFT_LumoraDVD_OperationForm* panel = FT_LumoraDVD_OperationForm;
  if (!panel) {
    ClosePlayback();
    return;
  }
  QObject* sender = panel->skImageButton_Stop ? static_cast<QObject*>(panel->skImageButton_Stop)
                                              : static_cast<QObject*>(panel);
  panel->skImageButton_StopClick(sender);
}

}  // namespace

void TFT_LumoraDVD_MainForm::HandleDVDGraphEvent() { GetDVDEvent(&OnDVDEvent); }

void TFT_LumoraDVD_MainForm::HandleMediaGraphEvent() {
  GetGraphEvent([](int32_t code, int32_t p1, int32_t p2) { OnMediaEvent(code, p1, p2); });
}

void TFT_LumoraDVD_MainForm::ProcessDVDEvent(int32_t code, int32_t p1, int32_t p2) {
  TFT_LumoraDVD_OperationForm* panel = FT_LumoraDVD_OperationForm;
  switch (code) {
    case kDvdDomainChange: {
      EnableSeekControls(p1 == kDvdDomainTitle);
      if (i_CurrentPlaybackRateIndex != kNormalRateIndex)
        ShowStatus(s_PlaybackRate[kNormalRateIndex]);
      i_CurrentPlaybackRateIndex = kNormalRateIndex;
      FitWindowToVideo();
      if (panel) panel->AutoSelectStreams();
      break;
    }
    case kDvdTitleChange:
      i_CurrentTitle = p1;
      if (panel) {
        panel->RefreshChapterCount();
        panel->ShowTitleNumber(i_CurrentTitle);
        panel->AutoSelectStreams();
      }
      i_TitleSeconds = p2;
      FitWindowToVideo();
      b_RefitOnChapter = true;
      break;
    case kDvdChapterStart:
      i_CurrentChapter = p1;
      if (panel) {
        panel->ShowChapterNumber(i_CurrentChapter);
        panel->AutoSelectStreams();
      }
      i_TitleSeconds = p2;
      if (b_RefitOnChapter) {
        FitWindowToVideo();
        b_RefitOnChapter = false;
      }
      break;
    case kDvdError:
    case kDvdDiscEjected:
      StopFromEngine();
      break;
    case kDvdCurrentHmsfTime: {
      const uint32_t packed = static_cast<uint32_t>(p1);
      const int h = packed & 0xFF;
      const int m = (packed >> 8) & 0xFF;
      const int s = (packed >> 16) & 0xFF;
      if (panel) panel->ShowTime(s, m, h);
      if (i_TitleSeconds > 0 && panel) {
        const int64_t percent =
            (static_cast<int64_t>(h) * 3600 + m * 60 + s) * 100 / i_TitleSeconds;
        panel->ShowProgress(static_cast<double>(percent));
      }
      break;
    }
    default:
      break;
  }
}

void TFT_LumoraDVD_MainForm::ProcessMediaEvent(int32_t code) {
  if (code == kMediaComplete) {
    if (PlayType == ptPlayList) {
      if (FT_LumoraDVD_OperationForm)
        FT_LumoraDVD_OperationForm->skImageButton_NextChapterClick(nullptr);
    } else {
      StopFromEngine();
    }
  } else if (code == kMediaErrorAbort) {
    StopFromEngine();
  }
}

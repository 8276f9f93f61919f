// The player's side of the engines' events.
#include "controlpanel/Ft_lumoradvdoperationform.h"
#include "core/EngineApi.h"
#include "core/Ft_lumoradvdplay.h"
#include "mainwindow/Ft_lumoradvdcontrolframe.h"
#include "mainwindow/Ft_lumoradvdmainform.h"
#include "player/skin/controls/Ftimagebutton.h"
#include "player/widgets/TskImageButton.h"

namespace {

constexpr int32_t kDvdDomainChange = 0x101;
constexpr int32_t kDvdTitleChange = 0x102;
constexpr int32_t kDvdChapterStart = 0x103;
constexpr int32_t kDvdError = 0x10C;
constexpr int32_t kDvdDiscEjected = 0x118;
constexpr int32_t kDvdCurrentHmsfTime = 0x11A;
constexpr int32_t kDvdDomainTitle = 4;
constexpr int32_t kMediaComplete = 1;
constexpr int32_t kMediaErrorAbort = 3;

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

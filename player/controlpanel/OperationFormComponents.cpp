// The control panel's component tree, its run-time skin controls and its skin application.
#include <algorithm>

#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/core/Ft_lumoradvdplay.h"
#include "player/core/Ft_lumoradvdstate.h"
#include "player/mainwindow/Ft_lumoradvdcontrolframe.h"
#include "player/skin/Faces.h"
#include "player/skin/Ft_updateplayerskin.h"
#include "player/skin/SkinCursors.h"
#include "player/skin/controls/Ftimagebutton.h"
#include "player/widgets/TImage.h"
#include "player/widgets/TPopupMenu.h"
#include "player/widgets/TTimer.h"
#include "player/widgets/TskImageButton.h"

namespace {

const char* const kDigits[10] = {"DI_TimeSec1",  "DI_TimeSec10",  "DI_TimeMin1", "DI_TimeMin10",
                                 "DI_TimeHour1", "DI_TimeHour10", "DI_Title1",   "DI_Title10",
                                 "DI_Chapter1",  "DI_Chapter10"};

}  // namespace

void TFT_LumoraDVD_OperationForm::CreateComponents() {
  components::SetOwner(this);
  resize(457, 249);
  // Disabled by the skin, the background lets presses reach the window, which drags it.
  Image_Background =
      faces::Image(this, "Image_Background", {0, 0, 457, 249}, faces::ImageLayout{alNone, true});
  auto button = [&](const char* name, int x, int y) {
    return faces::Button(this, name, {x, y, 33, 33}, true);
  };
  skImageButton_Play = button("skImageButton_Play", 200, 150);
  skImageButton_Pause = button("skImageButton_Pause", 160, 128);
  skImageButton_Stop = button("skImageButton_Stop", 128, 240);
  skImageButton_FastForward = button("skImageButton_FastForward", 128, 280);
  skImageButton_FastReverse = button("skImageButton_FastReverse", 128, 100);
  skImageButton_Exit = button("skImageButton_Exit", 424, 0);
  skImageButton_Min = button("skImageButton_Min", 390, 0);
  skImageButton_VolumeUp = button("skImageButton_VolumeUp", 380, 200);
  skImageButton_VolumeDown = button("skImageButton_VolumeDown", 300, 200);
  skImageButton_Mute = button("skImageButton_Mute", 260, 200);
  skImageButton_DeMute = button("skImageButton_DeMute", 260, 200);
  skImageButton_VideoSetup = button("skImageButton_VideoSetup", 20, 200);
  skImageButton_AudioSetup = button("skImageButton_AudioSetup", 60, 200);
  skImageButton_NextChapter = button("skImageButton_NextChapter", 128, 320);
  skImageButton_PreviousChapter = button("skImageButton_PreviousChapter", 128, 60);
  skImageButton_Open = button("skImageButton_Open", 20, 160);
  skImageButton_Eject = button("skImageButton_Eject", 60, 160);
  skImageButton_SubPicture = button("skImageButton_SubPicture", 100, 200);
  skImageButton_Language = button("skImageButton_Language", 140, 200);
  skImageButton_Menu = button("skImageButton_Menu", 180, 200);
  skImageButton_PlaybackRate = button("skImageButton_PlaybackRate", 220, 200);

  Timer_GetFileProgress = faces::Timer(this, "Timer_GetFileProgress", 500, false);
  PopupMenu_Driver = faces::Menu(this, "PopupMenu_Driver");
  PopupMenu_Disc = faces::Menu(this, "PopupMenu_Disc");
  PopupMenu_Subpicture = faces::Menu(this, "PopupMenu_Subpicture");
  PopupMenu_Language = faces::Menu(this, "PopupMenu_Language");
  PopupMenu_Playbackrate = faces::Menu(this, "PopupMenu_Playbackrate");
  PopupMenu_Menu = faces::Menu(this, "PopupMenu_Menu");
  RootMenu1 = faces::Item(PopupMenu_Menu, "RootMenu1", "Root Menu");
  TitleMenu1 = faces::Item(PopupMenu_Menu, "TitleMenu1", "Title Menu");

  CreateSkinControls();
}

void TFT_LumoraDVD_OperationForm::CreateSkinControls() {
  if (ProgressBar) return;
  ProgressBar = new TFT_ProgressBar(this);
  ProgressBar->setObjectName("ProgressBar");
  ProgressBar->setEnabled(false);
  VolumeBar = new TFT_ProgressBar(this);
  VolumeBar->setObjectName("VolumeBar");
  Dynamic_Play = new TFT_DynamicImageButton(this);
  Dynamic_Play->setObjectName("Dynamic_Play");
  ProgressBar->SetOnPositionChange([](int, int value, bool dragging, TFT_ProgressBar* bar) {
    OnPositionBarChange(bar, value, dragging);
  });
  VolumeBar->SetOnPositionChange([](int, int value, bool dragging, TFT_ProgressBar* bar) {
    OnVolumeBarChange(bar, value, dragging);
  });
  Dynamic_Play->OnClick = [this](QObject* sender) { PlayFromControl(sender); };
  for (const char* name : kDigits) {
    auto* digit = new TFT_DigitalImage(this);
    digit->setObjectName(name);
  }
}

void TFT_LumoraDVD_OperationForm::FreeSkinControls() {
  if (PopupMenu_Subpicture) PopupMenu_Subpicture->Clear();
  if (PopupMenu_Language) PopupMenu_Language->Clear();
  CurrentSubpictureItem = DisableSubpictureItem = CurrentAudioItem = nullptr;
  delete ProgressBar;
  delete VolumeBar;
  delete Dynamic_Play;
  ProgressBar = nullptr;
  VolumeBar = nullptr;
  Dynamic_Play = nullptr;
  for (const char* name : kDigits)
    delete findChild<TFT_DigitalImage*>(name, Qt::FindDirectChildrenOnly);
}

bool TFT_LumoraDVD_OperationForm::ApplyControlPanelSkin() {
  // The skin load resets enabled states; playback keeps them.
  const bool stopEnabled = skImageButton_Stop && skImageButton_Stop->isEnabled();
  const bool barEnabled = ProgressBar && ProgressBar->isEnabled();
  const bool ok = ApplyWindowSkin(this, CurrentSkinPath);
  EnablePlaybackControls(stopEnabled);
  for (QWidget* root :
       {static_cast<QWidget*>(this), static_cast<QWidget*>(FT_LumoraDVD_ControlFrame)}) {
    if (!root) continue;
    for (const char* name :
         {"ProgressBar", "skImageButton_NextChapter", "skImageButton_PreviousChapter"})
      if (QWidget* w = root->findChild<QWidget*>(name)) w->setEnabled(barEnabled);
  }
  if (ProgressBar) ProgressBar->SetPixelPosition(-1);
  if (VolumeBar)
    VolumeBar->SetPosition(std::clamp(std::max(l_CurrentVolume, i_VolumeBeforeMute), 0, 100), true);
  if (ProgressBar && ProgressBar->Thumb())
    ProgressBar->Thumb()->setCursor(SkinCursor(kCursorDragWE));
  if (VolumeBar && VolumeBar->Thumb())
    VolumeBar->Thumb()->setCursor(SkinCursor(VolumeBar->vertical ? kCursorDragNS : kCursorDragWE));
  return ok;
}

// The control panel's component tree, its run-time skin controls and its skin application.
#include <algorithm>

#include "controlpanel/Ft_lumoradvdoperationform.h"
#include "core/Ft_lumoradvdstate.h"
#include "mainwindow/Ft_lumoradvdcontrolframe.h"
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
  button("skImageButton_FastForward", 128, 280);
  button("skImageButton_FastReverse", 128, 100);
  button("skImageButton_Exit", 424, 0);
  button("skImageButton_Min", 390, 0);
  button("skImageButton_VolumeUp", 380, 200);
  button("skImageButton_VolumeDown", 300, 200);
  button("skImageButton_Mute", 260, 200);
  button("skImageButton_DeMute", 260, 200);
  button("skImageButton_VideoSetup", 20, 200);
  button("skImageButton_AudioSetup", 60, 200);
  skImageButton_NextChapter = button("skImageButton_NextChapter", 128, 320);
  skImageButton_PreviousChapter = button("skImageButton_PreviousChapter", 128, 60);
  button("skImageButton_Open", 20, 160);
  button("skImageButton_Eject", 60, 160);
  button("skImageButton_SubPicture", 100, 200);
  button("skImageButton_Language", 140, 200);
  button("skImageButton_Menu", 180, 200);
  button("skImageButton_PlaybackRate", 220, 200);

  Timer_GetFileProgress = faces::Timer(this, "Timer_GetFileProgress", 500, false);
  faces::Menu(this, "PopupMenu_Driver");
  faces::Menu(this, "PopupMenu_Disc");
  faces::Menu(this, "PopupMenu_Subpicture");
  faces::Menu(this, "PopupMenu_Language");
  faces::Menu(this, "PopupMenu_Playbackrate");
  TPopupMenu* menu = faces::Menu(this, "PopupMenu_Menu");
  faces::Item(menu, "RootMenu1", "Root Menu");
  faces::Item(menu, "TitleMenu1", "Title Menu");

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
  for (const char* name : kDigits) {
    auto* digit = new TFT_DigitalImage(this);
    digit->setObjectName(name);
  }
}

void TFT_LumoraDVD_OperationForm::FreeSkinControls() {
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

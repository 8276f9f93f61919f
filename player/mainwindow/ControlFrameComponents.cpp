// The control bar's component tree, its run-time skin controls and its skin application.
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
#include "player/widgets/TskImageButton.h"

namespace {

const char* const kSkinControls[8] = {"ProgressBar",  "VolumeBar",    "DI_TimeSec1",
                                      "DI_TimeSec10", "DI_TimeMin1",  "DI_TimeMin10",
                                      "DI_TimeHour1", "DI_TimeHour10"};

}  // namespace

void TFT_LumoraDVD_ControlFrame::CreateComponents() {
  // The bar owns its controls: the main window's skin pass does not reach into it.
  components::SetOwner(this);
  resize(400, 230);
  TImage* background = faces::Image(this, "Image_Background", {0, 0, 400, 230},
                                    faces::ImageLayout{alNone, true, false, false, true});
  (void)background;
  auto button = [&](const char* name, int x) {
    return faces::Button(this, name, {x, 100, 30, 30}, true);
  };
  skImageButton_PreviousChapter = button("skImageButton_PreviousChapter", 10);
  button("skImageButton_FastReverse", 40);
  skImageButton_Pause = button("skImageButton_Pause", 70);
  skImageButton_Stop = button("skImageButton_Stop", 100);
  button("skImageButton_FastForward", 130);
  skImageButton_NextChapter = button("skImageButton_NextChapter", 160);
  skImageButton_Play = button("skImageButton_Play", 190);
  button("skImageButton_Mute", 220);
  button("skImageButton_DeMute", 220);
  button("skImageButton_VolumeUp", 250);
  button("skImageButton_VolumeDown", 280);
  button("skImageButton_Eject", 310);
  button("skImageButton_PlaybackRate", 340);
  button("skImageButton_Ex", 370);

  TPopupMenu* ex = faces::Menu(this, "PopupMenu_Ex");
  faces::Item(ex, "PopMenu_VideoSetup", "Video Setup...")->SetVisible(false);
  faces::Item(ex, "PopMenu_AudioSetup", "Setup...");
  faces::Item(ex, "PopMenu_Open", "Open");

  // Run-time skin controls, after the designed ones.
  ProgressBar = new TFT_ProgressBar(this);
  ProgressBar->setObjectName(kSkinControls[0]);
  ProgressBar->setEnabled(false);
  VolumeBar = new TFT_ProgressBar(this);
  VolumeBar->setObjectName(kSkinControls[1]);
  // The twin bars share the controller's handlers, which keep both equal.
  ProgressBar->SetOnPositionChange([](int, int value, bool dragging, TFT_ProgressBar* bar) {
    OnPositionBarChange(bar, value, dragging);
  });
  VolumeBar->SetOnPositionChange([](int, int value, bool dragging, TFT_ProgressBar* bar) {
    OnVolumeBarChange(bar, value, dragging);
  });
  for (int i = 2; i < 8; ++i) {
    auto* digit = new TFT_DigitalImage(this);
    digit->setObjectName(kSkinControls[i]);
  }
}

void TFT_LumoraDVD_ControlFrame::FreeSkinControls() {
  for (const char* name : kSkinControls)
    delete findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
  ProgressBar = nullptr;
  VolumeBar = nullptr;
}

bool TFT_LumoraDVD_ControlFrame::ApplyControlBarSkin() {
  // The skin load resets enabled states; playback keeps them.
  const bool stopEnabled = skImageButton_Stop && skImageButton_Stop->isEnabled();
  const bool barEnabled = ProgressBar && ProgressBar->isEnabled();
  const bool ok = ApplyFrameSkin(this, CurrentSkinPath);
  TFT_LumoraDVD_OperationForm* panel = FT_LumoraDVD_OperationForm;
  if (panel) panel->EnablePlaybackControls(stopEnabled);
  for (QWidget* root : {static_cast<QWidget*>(panel), static_cast<QWidget*>(this)}) {
    if (!root) continue;
    for (const char* name :
         {"ProgressBar", "skImageButton_NextChapter", "skImageButton_PreviousChapter"})
      if (QWidget* w = root->findChild<QWidget*>(name)) w->setEnabled(barEnabled);
  }
  if (ProgressBar) ProgressBar->SetPixelPosition(-1);
  if (VolumeBar) {
    const int volume = std::max(l_CurrentVolume, panel ? panel->i_VolumeBeforeMute : 0);
    VolumeBar->SetPosition(std::clamp(volume, 0, 100), true);
  }
  for (TFT_ProgressBar* bar : {ProgressBar, VolumeBar})
    if (bar && bar->Thumb()) bar->Thumb()->setCursor(SkinCursor(kCursorDragWE));
  return ok;
}

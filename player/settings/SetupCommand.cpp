// The main window's settings command: opens the settings dialog, then keeps what the user
// confirmed or gives the engines and the picture back what they had.
#include <QDialog>
#include <QSlider>
#include <string>

#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/core/Ft_lumoradvdplay.h"
#include "player/core/Ft_lumoradvdstate.h"
#include "player/library/Ft_lumoradvdsubform.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/settings/Ft_lumoradvdsetupform.h"

namespace {

void RepaintMainWindows(TFT_LumoraDVD_MainForm* main) {
  main->update();
  if (FT_LumoraDVD_OperationForm) FT_LumoraDVD_OperationForm->update();
}

}  // namespace

bool TFT_LumoraDVD_MainForm::PopMenu_SetupClick(QObject*, int page) {
  // The dialog is modal; a second request while it is open only brings it forward.
  static bool b_InSetup = false;
  if (b_InSetup) {
    if (FT_LumoraDVD_SetupForm) {
      FT_LumoraDVD_SetupForm->SelectPage(page);
      FT_LumoraDVD_SetupForm->raise();
      FT_LumoraDVD_SetupForm->activateWindow();
    }
    return false;
  }
  b_InSetup = true;

  RepaintMainWindows(this);
  if (!FT_LumoraDVD_SetupForm) new TFT_LumoraDVD_SetupForm(this);
  TFT_LumoraDVD_SetupForm* dialog = FT_LumoraDVD_SetupForm;
  if (page >= 0) dialog->SelectPage(page);

  const double oldRatio = d_AspectRatio;
  const double oldW = AspectW;
  const double oldH = AspectH;
  const int32_t oldMode = MyAspectRatioState;

  const bool ok = dialog->exec() == QDialog::Accepted;
  if (ok) {
    AspectW = dialog->FieldWidth();
    AspectH = dialog->FieldHeight();
    d_AspectRatio = AspectW / AspectH;
    ApplyAspectMode();
    CurrentSnapshotPath = dialog->SnapshotFolderText();
    l_Bringhtness = dialog->skTrackBar_Brightness->value();
    l_Contrast = dialog->skTrackBar_Contrast->value();
    l_Hue = dialog->skTrackBar_Hue->value();
    l_Saturation = dialog->skTrackBar_Saturation->value();
    dialog->WriteChannels();
    RepaintMainWindows(this);
    const std::string skin = dialog->ChosenSkinName();
    if (!skin.empty() && CurrentSkinPath.find(skin + "/") == std::string::npos)
      ChangeSkin(skin + "/");
    if (FT_LumoraDVD_SubForm)
      FT_LumoraDVD_SubForm->ReloadChannels(TFT_LumoraDVD_SetupForm::ChannelFilePath());
  } else {
    SetBrightness(l_Bringhtness * 0.1);
    SetContrast(l_Contrast * 0.1);
    SetHue(l_Hue * 0.1);
    SetSaturation(l_Saturation * 0.1);
    d_AspectRatio = oldRatio;
    AspectW = oldW;
    AspectH = oldH;
    MyAspectRatioState = oldMode;
    ApplyAspectMode();
  }

  delete dialog;
  FT_LumoraDVD_SetupForm = nullptr;
  b_InSetup = false;
  return ok;
}

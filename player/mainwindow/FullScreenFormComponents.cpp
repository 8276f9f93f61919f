// The full-screen window's component tree.
#include "mainwindow/Ft_lumoradvdfullscreenform.h"
#include "player/widgets/TImage.h"
#include "player/widgets/TPanel.h"

void TFT_LumoraDVD_FullScreenForm::CreateComponents() {
  components::SetOwner(this);
  Panel_MainForm_Center = new TPanel(this);
  Panel_MainForm_Center->setObjectName("Panel_MainForm_Center");
  Panel_MainForm_Center->SetAlign(alClient);
  Panel_MainForm_Center->SetColor(Qt::black);
  Image_MainForm_Center = new TImage(Panel_MainForm_Center);
  Image_MainForm_Center->setObjectName("Image_MainForm_Center");
  Image_MainForm_Center->SetAlign(alClient);
  Image_MainForm_Center->SetCenter(true);
  components::AlignControls(this);
  components::AlignControls(Panel_MainForm_Center);
}

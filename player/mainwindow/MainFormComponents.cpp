// The main window's component tree.
#include "mainwindow/Ft_lumoradvdmainform.h"
#include "player/widgets/TImage.h"
#include "player/widgets/TLabel.h"
#include "player/widgets/TPanel.h"

void TFT_LumoraDVD_MainForm::CreateComponents() {
  components::SetOwner(this);

  Panel_ControlPanel = new TPanel(this);
  Panel_ControlPanel->setObjectName("Panel_ControlPanel");
  Panel_ControlPanel->SetAlign(alBottom);
  Panel_ControlPanel->setGeometry(0, 306, 657, 68);

  Panel_MainPanel = new TPanel(this);
  Panel_MainPanel->setObjectName("Panel_MainPanel");
  Panel_MainPanel->SetAlign(alClient);

  Panel2 = new TPanel(Panel_MainPanel);
  Panel2->setObjectName("Panel2");
  Panel2->SetAlign(alClient);

  Panel_MainForm_Center = new TPanel(Panel2);
  Panel_MainForm_Center->setObjectName("Panel_MainForm_Center");
  Panel_MainForm_Center->SetAlign(alClient);
  Panel_MainForm_Center->SetColor(Qt::black);

  Image_MainForm_Center = new TImage(Panel_MainForm_Center);
  Image_MainForm_Center->setObjectName("Image_MainForm_Center");
  Image_MainForm_Center->SetAlign(alClient);
  Image_MainForm_Center->SetCenter(true);

  Label_CurrentPlayFileName = new TLabel(Panel_MainPanel);
  Label_CurrentPlayFileName->setObjectName("Label_CurrentPlayFileName");
  Label_CurrentPlayFileName->move(14, 2);
  Label_CurrentPlayFileName->SetTransparent(true);
  Label_CurrentPlayFileName->SetShowHint(true);

  components::AlignControls(this);
  components::AlignControls(Panel_MainPanel);
  components::AlignControls(Panel2);
  components::AlignControls(Panel_MainForm_Center);
}

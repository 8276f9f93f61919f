// The full-screen window's component tree: the video panel and the strip the control bar
// slides into.
#include "player/mainwindow/Ft_lumoradvdfullscreenform.h"
#include "player/skin/Faces.h"
#include "player/widgets/TImage.h"
#include "player/widgets/TPanel.h"
#include "player/widgets/TTimer.h"

void TFT_LumoraDVD_FullScreenForm::CreateComponents() {
  components::SetOwner(this);
  setWindowFlag(Qt::WindowStaysOnTopHint);
  resize(640, 480);
  Panel_ControlPanel = faces::Panel(this, "Panel_ControlPanel", alBottom, {0, 439, 640, 41});
  faces::Image(Panel_ControlPanel, "Image_Control_Left", {0, 0, 12, 41},
               faces::ImageLayout{alLeft, true, false, false, true});
  faces::Image(Panel_ControlPanel, "Image_Control_Center", {12, 0, 616, 41},
               faces::ImageLayout{alClient, false, true, false, true});
  faces::Image(Panel_ControlPanel, "Image_Control_Right", {628, 0, 12, 41},
               faces::ImageLayout{alRight, true, false, false, true});

  Panel_MainForm_Center = faces::Panel(this, "Panel_MainForm_Center", alClient, {0, 0, 640, 439});
  Panel_MainForm_Center->SetColor(Qt::black);
  Image_MainForm_Center =
      faces::Image(Panel_MainForm_Center, "Image_MainForm_Center", {0, 0, 640, 439},
                   faces::ImageLayout{alClient, false, false, true});
  Timer_Cursor = faces::Timer(this, "Timer_Cursor", 3000, false);

  components::AlignControls(this);
  components::AlignControls(Panel_ControlPanel);
  components::AlignControls(Panel_MainForm_Center);
}

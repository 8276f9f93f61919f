// The main window's component tree. Names are what the skin finds them by; sizes are the
// layout's and the skin replaces them.
#include <QFont>

#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/skin/Faces.h"
#include "player/widgets/TImage.h"
#include "player/widgets/TLabel.h"
#include "player/widgets/TPanel.h"
#include "player/widgets/TPopupMenu.h"
#include "player/widgets/TTimer.h"
#include "player/widgets/TskImageButton.h"

using faces::ImageLayout;

void TFT_LumoraDVD_MainForm::CreateComponents() {
  components::SetOwner(this);
  resize(657, 374);
  const ImageLayout left{alLeft, true};
  const ImageLayout right{alRight, true};
  const ImageLayout top{alTop, true};
  const ImageLayout bottom{alBottom, true};
  const ImageLayout fill{alClient, false, true};
  const ImageLayout centred{alClient, false, false, true};

  Panel_ControlPanel = faces::Panel(this, "Panel_ControlPanel", alBottom, {0, 306, 657, 68});
  faces::Image(Panel_ControlPanel, "Image_Control_Left", {0, 0, 12, 68}, left);
  faces::Image(Panel_ControlPanel, "Image_Control_Center", {12, 0, 633, 68}, fill);
  faces::Image(Panel_ControlPanel, "Image_Control_Right", {645, 0, 12, 68}, right);

  Panel_MainPanel = faces::Panel(this, "Panel_MainPanel", alClient, {0, 0, 657, 306});
  TPanel* left_edge = faces::Panel(Panel_MainPanel, "Panel_MainForm_Left", alLeft, {0, 0, 15, 283});
  faces::Image(left_edge, "Image_Left_Top", {0, 0, 15, 28}, top);
  faces::Image(left_edge, "Image_Left_Center", {0, 28, 15, 245}, fill);
  faces::Image(left_edge, "Image_Left_Bottom", {0, 273, 15, 10}, bottom);
  TPanel* right_edge =
      faces::Panel(Panel_MainPanel, "Panel_MainForm_Right", alRight, {642, 0, 15, 283});
  faces::Image(right_edge, "Image_Right_Top", {0, 0, 15, 28}, top);
  faces::Image(right_edge, "Image_Right_Center", {0, 28, 15, 245}, fill);
  faces::Image(right_edge, "Image_Right_Bottom", {0, 273, 15, 10}, bottom);

  TPanel* status =
      faces::Panel(Panel_MainPanel, "Panel_MainForm_Bottom", alBottom, {0, 283, 657, 23});
  Image_Bottom_Left = faces::Image(status, "Image_Bottom_Left", {0, 0, 14, 23}, left);
  faces::Image(status, "Image_Bottom_Center", {14, 0, 633, 23}, fill);
  Label_CurrentPlayFileName = new TLabel(status);
  Label_CurrentPlayFileName->setObjectName("Label_CurrentPlayFileName");
  Label_CurrentPlayFileName->move(14, 2);
  {
    QFont font("Tahoma");
    font.setPointSize(8);
    Label_CurrentPlayFileName->setFont(font);
  }
  Label_CurrentPlayFileName->SetFontColor(Qt::gray);
  Label_CurrentPlayFileName->SetTransparent(true);
  Label_CurrentPlayFileName->SetShowHint(true);
  TPanel* status_right =
      faces::Panel(status, "Panel_MainForm_Bottom_Right", alRight, {647, 0, 10, 23});
  faces::Image(status_right, "Image_Bottom_Right", {0, 0, 10, 23}, ImageLayout{alNone, true});
  skImageButton_Resizer =
      faces::Button(status_right, "skImageButton_Resizer", {0, 10, 10, 10}, true);
  faces::Button(status_right, "skImageButton_Email", {0, 0, 10, 10}, true);
  faces::Button(status_right, "skImageButton_Home", {0, 0, 10, 10}, true);
  faces::Button(status_right, "skImageButton_About", {0, 0, 10, 10}, true);

  Panel2 = faces::Panel(Panel_MainPanel, "Panel2", alClient, {15, 0, 627, 283});
  TPanel* title = faces::Panel(Panel2, "Panel_MainForm_Top", alTop, {0, 0, 627, 28});
  faces::Image(title, "Image_Top_Left", {0, 0, 120, 28},
               ImageLayout{alLeft, true, false, false, true});
  faces::Image(title, "Image_Top_Center", {120, 0, 387, 28},
               ImageLayout{alClient, false, true, false, true});
  faces::Image(title, "Image_Top_InCenter", {120, 0, 387, 28}, centred);
  TPanel* title_right = faces::Panel(title, "Panel_MainForm_Top_Right", alRight, {507, 0, 120, 28});
  faces::Image(title_right, "Image_Top_Right", {0, 0, 120, 28}, ImageLayout{alNone, true});
  for (const char* name :
       {"skImageButton_Exit", "skImageButton_Min", "skImageButton_Max", "skImageButton_Restore",
        "skImageButton_About1", "skImageButton_Email1", "skImageButton_Home1"})
    faces::Button(title_right, name, {0, 4, 20, 20}, true);
  for (const char* name :
       {"skImageButton_PlayList", "skImageButton_DePlayList", "skImageButton_Bookmark",
        "skImageButton_DeBookmark", "skImageButton_Snapshoot", "skImageButton_DeSnapshoot",
        "skImageButton_TV", "skImageButton_DeTV"})
    faces::Button(title, name, {4, 4, 20, 20}, true);

  Panel_MainForm_Center =
      faces::Panel(Panel2, "Panel_MainForm_Center", alClient, {0, 28, 627, 255});
  Panel_MainForm_Center->SetColor(Qt::black);
  Image_MainForm_Center =
      faces::Image(Panel_MainForm_Center, "Image_MainForm_Center", {0, 0, 627, 255}, centred);
  TImage* popup_side =
      faces::Image(Panel_MainForm_Center, "Image_PopMenu", {0, 0, 20, 200}, ImageLayout{});
  popup_side->hide();

  faces::Menu(this, "PopupMenu_Main");
  faces::Menu(this, "PopupMenu_Zoom");
  faces::Timer(this, "Timer_DisplayStatus", 1000, false);

  for (QWidget* p : {static_cast<QWidget*>(this), static_cast<QWidget*>(Panel_ControlPanel),
                     static_cast<QWidget*>(Panel_MainPanel), static_cast<QWidget*>(left_edge),
                     static_cast<QWidget*>(right_edge), static_cast<QWidget*>(status),
                     static_cast<QWidget*>(Panel2), static_cast<QWidget*>(title),
                     static_cast<QWidget*>(Panel_MainForm_Center)})
    components::AlignControls(p);
}

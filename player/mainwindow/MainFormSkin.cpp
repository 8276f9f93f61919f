// Applying a skin to every window, the skin options, the corner cut-outs and the cursors.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "platform/Bitmap.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "platform/ProgramFolder.h"
#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/core/Ft_lumoradvdplay.h"
#include "player/library/Ft_lumoradvdsubform.h"
#include "player/mainwindow/Ft_lumoradvdcontrolframe.h"
#include "player/mainwindow/Ft_lumoradvdfullscreenform.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/skin/Ft_updateplayerskin.h"
#include "player/skin/SkinCursors.h"
#include "player/skin/SkinRecord.h"
#include "player/widgets/TImage.h"
#include "player/widgets/TLabel.h"
#include "player/widgets/TPanel.h"
#include "player/widgets/TskImageButton.h"

namespace {

enum Corner { kCLT, kCRT, kCLB, kCRB, kCCL, kCCR };

// clamp(v, lo, hi): lo when hi < lo, else v limited to lo..hi.
int Clamp(int v, int lo, int hi) { return hi < lo ? lo : std::clamp(v, lo, hi); }

std::string Trimmed(const std::string& s) {
  size_t b = s.find_first_not_of(" \t"), e = s.find_last_not_of(" \t");
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// A skinned window never grows past the screen it is on.
void FitInsideScreen(QWidget* w) {
  if (!w) return;
  const QScreen* s = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
  if (!s) return;
  const QSize screen = s->geometry().size();
  if (w->width() > screen.width() || w->height() > screen.height())
    w->resize(std::min(w->width(), screen.width()), std::min(w->height(), screen.height()));
}

}  // namespace

bool TFT_LumoraDVD_MainForm::ApplySkin(const std::string& path) {
  CurrentSkinPath = path;
  bool ok = ApplyWindowSkin(this, path);
  LoadCursors();
  if (skImageButton_Resizer) skImageButton_Resizer->setCursor(SkinCursor(kCursorResize));
  ok = LoadSkinOptions() && ok;

  if (FT_LumoraDVD_OperationForm) ok = FT_LumoraDVD_OperationForm->ApplyControlPanelSkin() && ok;
  if (FT_LumoraDVD_SubForm) ok = FT_LumoraDVD_SubForm->ApplySubFormSkin() && ok;
  if (FT_LumoraDVD_ControlFrame) ok = FT_LumoraDVD_ControlFrame->ApplyControlBarSkin() && ok;
  if (FT_LumoraDVD_FullScreenForm) ok = ApplyWindowSkin(FT_LumoraDVD_FullScreenForm, path) && ok;
  FitInsideScreen(FT_LumoraDVD_OperationForm);
  FitInsideScreen(FT_LumoraDVD_SubForm);

  if (Label_CurrentPlayFileName && Image_Bottom_Left)
    Label_CurrentPlayFileName->setVisible(Label_CurrentPlayFileName->y() +
                                              Label_CurrentPlayFileName->height() <
                                          Image_Bottom_Left->height());

  // The docking steps run again with the new skin's control bar height.
  const bool docked = b_DisplayControlPanel;
  b_DisplayControlPanel = !docked;
  SetControlBarDocked(docked);

  if (FT_LumoraDVD_OperationForm) FT_LumoraDVD_OperationForm->SetMuteState(b_MuteState);

  if (Panel_Status && Panel_MainForm_Center) {
    QWidget* parent = Panel_Status->parentWidget();
    QPoint corner = parent ? Panel_MainForm_Center->mapTo(this, QPoint(0, 0)) : QPoint();
    if (parent && parent != this) corner = parent->mapFrom(this, corner);
    if (parent == Panel_MainForm_Center) corner = QPoint(0, 0);
    Panel_Status->move(corner + QPoint(10, 10));
  }
  if (FT_LumoraDVD_FullScreenForm && FT_LumoraDVD_FullScreenForm->Panel_Status)
    FT_LumoraDVD_FullScreenForm->Panel_Status->move(10, 10);
  return ok;
}

bool TFT_LumoraDVD_MainForm::LoadSkinOptions() {
  const std::string folder = skin::NormaliseFolder(CurrentSkinPath);
  const std::string ini_path = skin::SkinFilePath(folder, "Skin.ini");
  if (!skin::SkinFileExists(ini_path)) return false;
  plat::ProfileFile ini(ini_path);
  const QSize screen = ScreenRect().size();
  const std::string s = "SkinOpt";
  i_MainWindowMaxWidth = Clamp(skin::ReadIniInteger(ini, s, "i_MainWindowMaxWidth", screen.width()),
                               500, screen.width());
  i_MainWindowMaxHeight = Clamp(
      skin::ReadIniInteger(ini, s, "i_MainWindowMaxHeight", screen.height()), 60, screen.height());
  i_MainWindowMinWidth =
      Clamp(skin::ReadIniInteger(ini, s, "i_MainWindowMinWidth", 500), 300, screen.width());
  i_MainWindowMinHeight =
      Clamp(skin::ReadIniInteger(ini, s, "i_MainWindowMinHeight", 60), 30, screen.height());
  const bool cutCorner = skin::ReadIniInteger(ini, s, "b_NeedCutCorner", 0) != 0;
  b_CanSetMaxWindow = skin::ReadIniInteger(ini, s, "b_CanSetMaxWindow", 0) != 0;
  // A bar taller than the screen leaves for the picture would push the window past the
  // screen's edge, so the height is kept within what the minimum window height leaves over.
  i_ControlPanelHeight = std::clamp(skin::ReadIniInteger(ini, s, "i_ControlPanelHeight", 70), 0,
                                    std::max(0, screen.height() - i_MainWindowMinHeight));
  // The skin's window size obeys its own limits from the start.
  const int bar = Panel_ControlPanel ? Panel_ControlPanel->height() : 0;
  resize(std::min(Clamp(width(), i_MainWindowMinWidth, i_MainWindowMaxWidth), screen.width()),
         std::min(Clamp(height(), bar + i_MainWindowMinHeight, i_MainWindowMaxHeight),
                  screen.height()));
  // The shape is rebuilt once for every skin, which also drops the previous skin's shape.
  b_NeedCutCorner = true;
  LoadCornerRegions();
  ApplyWindowRegion();
  b_NeedCutCorner = cutCorner;
  return true;
}

void TFT_LumoraDVD_MainForm::LoadCornerRegions() {
  static const char* const kFiles[6] = {"CLT.bmp", "CRT.bmp", "CLB.bmp",
                                        "CRB.bmp", "CCL.bmp", "CCR.bmp"};
  const std::string folder = skin::NormaliseFolder(CurrentSkinPath);
  const int W = width(), H = height();
  const int P = CornerFootHeight();
  for (int i = 0; i < 6; ++i) {
    rgn_Corners[i].reset();
    std::string path = skin::SkinFilePath(folder, kFiles[i]);
    if (!skin::SkinFileExists(path)) continue;
    QImage bmp = plat::LoadBitmap(path);
    auto region = BuildColourRegion(bmp, kKeyColour, bmp.rect());
    if (!region) continue;
    const int w = bmp.width(), h = bmp.height();
    // A corner picture bigger than half the smallest window would cut the window away.
    if (2 * w > i_MainWindowMinWidth || 2 * h > i_MainWindowMinHeight) continue;
    switch (i) {
      case kCLT:
        break;
      case kCRT:
        region->translate(W - w, 0);
        break;
      case kCLB:
        region->translate(0, H - P - h);
        break;
      case kCRB:
        region->translate(W - w, H - P - h);
        break;
      case kCCL:
        region->translate(0, H - h);
        break;
      case kCCR:
        region->translate(W - w, H - h);
        break;
    }
    rgn_Corners[i] = std::move(region);
  }
  rgn_Size = size();
  rgn_FootHeight = P;
}

int TFT_LumoraDVD_MainForm::CornerFootHeight() const {
  return (b_DisplayControlPanel && Panel_ControlPanel) ? Panel_ControlPanel->height() : 0;
}

void TFT_LumoraDVD_MainForm::ApplyWindowRegion() {
  if (!b_NeedCutCorner) return;
  // The regions follow the window from the size they were last placed for. The picture
  // frame's foot corners sit above the docked bar, so docking or undocking, which changes
  // the window's height by the bar's, leaves them where they are.
  const int dW = width() - rgn_Size.width(), dH = height() - rgn_Size.height();
  const int foot = CornerFootHeight();
  const int dFrame = dH - (foot - rgn_FootHeight);
  auto shift = [&](int i, int dx, int dy) {
    if (rgn_Corners[i]) rgn_Corners[i]->translate(dx, dy);
  };
  shift(kCRT, dW, 0);
  shift(kCLB, 0, dFrame);
  shift(kCCL, 0, dH);
  shift(kCRB, dW, dFrame);
  shift(kCCR, dW, dH);
  rgn_Size = size();
  rgn_FootHeight = foot;
  const QSize screen = ScreenRect().size();
  if (rgn_Screen.isEmpty()) rgn_Screen = QRegion(0, 0, screen.width(), screen.height());
  QRegion shape = rgn_Screen.united(QRegion(rect()));
  const bool docked = b_DisplayControlPanel;
  for (int i :
       {int(kCLT), int(kCRT), docked ? int(kCCL) : int(kCLB), docked ? int(kCCR) : int(kCRB)})
    if (rgn_Corners[i]) shape -= *rgn_Corners[i];
  setMask(shape);
  update();
}

void TFT_LumoraDVD_MainForm::LoadCursors() { LoadSkinCursors(CurrentSkinPath); }

bool TFT_LumoraDVD_MainForm::ChangeSkin(const std::string& name) {
  const bool sideVisible = FT_LumoraDVD_SubForm && FT_LumoraDVD_SubForm->isVisible();
  if (isVisible()) skImageButton_MinClick(nullptr);
  // The current skin's name: its path below the skins folder (or after its first "Skin/").
  const std::string root = plat::SkinRootFolder();
  const std::string current = skin::NormaliseFolder(CurrentSkinPath);
  std::string previous;
  if (current.rfind(root, 0) == 0)
    previous = current.substr(root.size(), 100);
  else if (size_t at = current.find("Skin/"); at != std::string::npos)
    previous = current.substr(at + 5, 100);
  previous = Trimmed(previous);
  SetWindowSize(0, 0, false);
  if (!ApplySkin(skin::NormaliseFolder(root + Trimmed(name)))) {
    ++i_SkinFailures;
    if (i_SkinFailures < 5) {
      plat::MessageBox(this, "The specified skin is error!", "LumoraDVD",
                       plat::MB_ICONERROR | plat::MB_OK);
      return ChangeSkin(previous);
    }
    plat::MessageBox(this, "Skin ERROR! Please re-install software! EXIT", "LumoraDVD",
                     plat::MB_ICONERROR | plat::MB_OK);
    i_SkinFailures = 0;
    skImageButton_ExitClick(nullptr);
    return false;
  }
  FitWindowToVideo();
  ApplyAspectMode();
  if (sideVisible && FT_LumoraDVD_SubForm) {
    OpenSidePanelPage(FT_LumoraDVD_SubForm->i_PageIndex);
    DockSidePanelBeside();
  }
  i_SkinFailures = 0;
  RestoreFromMinimised();
  return true;
}

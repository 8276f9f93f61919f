// The one-time start sequence of the main window and the hand-off from a
// later start.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"
#include "platform/Window.h"
#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/core/Ft_lumoradvdmain.h"
#include "player/core/Ft_lumoradvdplay.h"
#include "player/library/Ft_lumoradvdsubform.h"
#include "player/mainwindow/Ft_lumoradvdcontrolframe.h"
#include "player/mainwindow/Ft_lumoradvdfullscreenform.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/widgets/TPanel.h"
#include "player/widgets/TskImageButton.h"

namespace {

TPanel* MakeStatusPanel(QWidget* parent) {
  auto* panel = new TPanel(parent);
  panel->setObjectName("Panel_Status");
  panel->hide();
  panel->SetBevelOuter(bvNone);
  panel->resize(0, 0);
  panel->SetCaption(QString());
  panel->SetColor(QColor(0, 255, 0));
  return panel;
}

bool MakeFolder(const std::string& path) {
  if (path.empty()) return false;
  const QString folder = QString::fromStdString(path);
  if (QFileInfo(folder).isDir()) return true;
  return QDir().mkdir(folder);  // one level; the parent is expected to exist
}

}  // namespace

// A terminating signal stops the sequence between its steps; the caller then
// closes the main window the ordinary way, so the options it saves are the
// ones the player actually took (after loading, and after the skin fallback).
bool TFT_LumoraDVD_MainForm::StartSequence() {
  LoadOptions();
  EnsureDataFolders();
  if (TerminationRequested()) return false;
  TieToolWindows();

  Panel_Status = MakeStatusPanel(Panel2 ? static_cast<QWidget*>(Panel2) : this);
  if (FT_LumoraDVD_FullScreenForm)
    FT_LumoraDVD_FullScreenForm->Panel_Status = MakeStatusPanel(FT_LumoraDVD_FullScreenForm);

  if (!ApplySkin(CurrentSkinPath)) {
    if (!TerminationRequested()) {
      WriteTestReport("startup-box");
      plat::MessageBox(this, "The current skin is error, try to use default skin!",
                       kApplicationTitle, plat::MB_ICONERROR | plat::MB_OK);
    }
    CurrentSkinPath = plat::SkinRootFolder() + "Default/";
    if (!ApplySkin(CurrentSkinPath)) {
      if (!TerminationRequested()) {
        WriteTestReport("startup-box");
        plat::MessageBox(this, "The default skin is error, please re-install software!",
                         kApplicationTitle, plat::MB_ICONERROR | plat::MB_OK);
      }
      close();
      return false;
    }
  }
  if (TerminationRequested()) return false;

  if (FT_LumoraDVD_OperationForm) FT_LumoraDVD_OperationForm->EnablePlaybackControls(false);
  i_LastWidth = width();
  i_LastHeight = height();

  // Draw the windows before anything is opened; the main window first shows centred on its
  // screen, wherever the skin put it.
  const QRect screen = ScreenRect();
  move(screen.left() + (screen.width() - width()) / 2,
       screen.top() + (screen.height() - height()) / 2);
  PlaceFloatingPanelFirst();
  show();
  SetControlBarDocked(b_DisplayControlPanel);
  update();
  if (FT_LumoraDVD_OperationForm) FT_LumoraDVD_OperationForm->update();
  if (FT_LumoraDVD_ControlFrame) FT_LumoraDVD_ControlFrame->update();
  plat::PumpMessages();
  if (TerminationRequested()) return false;

  HandleCommandLine();
  return true;
}

bool TFT_LumoraDVD_MainForm::EnsureDataFolders() {
  if (!MakeFolder(plat::ProgramFolder() + "Bookmark/")) return false;
  return MakeFolder(CurrentSnapshotPath);
}

void TFT_LumoraDVD_MainForm::AddPathToPlayList(const std::string& path) {
  if (FT_LumoraDVD_SubForm) FT_LumoraDVD_SubForm->AddToPlayList(path, std::string());
}

void TFT_LumoraDVD_MainForm::HandleCommandLine() {
  const std::vector<std::string>& args = CommandLineArguments();
  TFT_LumoraDVD_OperationForm* panel = FT_LumoraDVD_OperationForm;
  const size_t n = args.size();
  if (n == 0) {
    CurrentPlayPath.clear();
    if (panel) panel->PlayFromControl(this);
    if (PlayType == ptDVD) SetControlBarDocked(false);
    update();
  } else if (n == 1) {
    CurrentPlayPath = ApplyDVDFolderRule(args[0]);
    if (panel) panel->PlayFromControl(nullptr);
  } else if (n == 2 && args[0] == "-pf") {
    CurrentPlayPath = args[1];
    if (panel) panel->PlayFromControl(nullptr);
  } else if (n == 2 && args[0] == "-pd") {
    // Start without opening anything.
  } else {
    if (FT_LumoraDVD_SubForm) FT_LumoraDVD_SubForm->ClearPlayList();
    for (const std::string& a : args) AddPathToPlayList(a);
    if (panel)
      panel->PlayFromControl(FT_LumoraDVD_SubForm ? FT_LumoraDVD_SubForm->skImageButton_Play
                                                  : nullptr);
  }
  WriteTestReport("commandline");
}

void TFT_LumoraDVD_MainForm::HandleOpenOtherFile() {
  const std::string file = HandOffFilePath();
  std::vector<std::string> lines;
  if (!ReadHandOffFile(file, lines)) {
    QFile::remove(QString::fromStdString(file));
    WriteTestReport("handoff-unreadable");
    return;
  }
  if (lines.size() == 1) {
    CurrentPlayPath = ApplyDVDFolderRule(lines[0]);
    if (FT_LumoraDVD_OperationForm) {
      FT_LumoraDVD_OperationForm->skImageButton_StopClick(nullptr);
      FT_LumoraDVD_OperationForm->PlayFromControl(nullptr);
    }
  }
  RestoreFromMinimised();
  show();
  raise();
  activateWindow();
  QFile::remove(QString::fromStdString(file));
  WriteTestReport("handoff");
}

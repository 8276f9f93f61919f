// The open menu, the eject menu, disc detection and the automatic start of an inserted disc.
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QStyle>
#include <QTimer>
#include <algorithm>

#include "platform/Drives.h"
#include "platform/MessageBox.h"
#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/controlpanel/MenuMarks.h"
#include "player/core/Ft_lumoradvdplay.h"
#include "player/core/Ft_lumoradvdstate.h"
#include "player/library/Ft_lumoradvdsubform.h"
#include "player/mainwindow/Ft_lumoradvdcontrolframe.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/widgets/TPopupMenu.h"
#include "player/widgets/TskImageButton.h"

namespace {

constexpr char kOpenFilter[] =
    "All Supported Media "
    "Format|*.avi;*.divx;*.div;*.mpeg;*.mpg;*.wmv;*.rm;*rmvb;*.rma;*.dat;*.asf;*.mov;*.swf;*.wav;*."
    "wma;*.mp3;*.mp2;*.vob;*.avs;*.3gp;*.mp4;*.3g2|All Supported Video Media "
    "Format|*.avi;*.divx;*.div;*.mpeg;*.mpg;*.wmv;*.rm;*rmvb;*.dat;*.asf;*.mov;*.swf;*.vob;*.avs;*."
    "3gp;*.mp4;*.3g2|All Supported Audio Media Format|*.wav;*.wma;*.mp3;*.asf|All Files|*.*";

// The image of the drive entries (the first image of the window's image list).
QIcon DriveIcon() { return QApplication::style()->standardIcon(QStyle::SP_DriveCDIcon); }

const plat::OpticalDrive* FindDrive(const std::vector<plat::OpticalDrive>& drives,
                                    const std::string& name) {
  for (const auto& d : drives)
    if (d.name == name) return &d;
  return nullptr;
}

bool IsDriveRoot(const std::string& path) {
  for (const auto& d : plat::OpticalDrives())
    if (d.root == path || d.device == path) return true;
  return false;
}

// The drive's caption: its root followed by the label when a disc can be read.
QString DriveCaption(const plat::OpticalDrive& d, bool* readable) {
  std::string label;
  const bool ok = plat::GetVolumeLabel(d.root, label);
  if (readable) *readable = ok;
  QString caption = QString::fromStdString(d.root);
  // A label is shown as text; an '&' would otherwise turn into a menu accelerator.
  if (ok && !label.empty()) caption += ' ' + QString::fromUtf8(label.c_str()).replace('&', "&&");
  return caption;
}

void ShowSidePanelPlayList() {
  TFT_LumoraDVD_SubForm* side = FT_LumoraDVD_SubForm;
  if (!side) return;
  side->ShowPage(0);
}

void AddDirectoryToPlayList(const std::string& folder) {
  if (FT_LumoraDVD_SubForm) FT_LumoraDVD_SubForm->AddDirectory(folder);
}

}  // namespace

void TFT_LumoraDVD_OperationForm::PopupAtCursor(TPopupMenu* menu) {
  if (!menu) return;
  const QPoint p = QCursor::pos();
  menu->Popup(p.x(), p.y());
}

void TFT_LumoraDVD_OperationForm::RepaintWindows() {
  update();
  if (FT_LumoraDVD_MainForm) FT_LumoraDVD_MainForm->update();
  if (FT_LumoraDVD_ControlFrame) FT_LumoraDVD_ControlFrame->update();
  if (FT_LumoraDVD_SubForm) FT_LumoraDVD_SubForm->update();
}

void TFT_LumoraDVD_OperationForm::skImageButton_OpenMouseUp(QObject*, TMouseButton button,
                                                            TShiftState, int, int) {
  if (button != mbLeft) return;
  BuildDiscMenu();
  PopupAtCursor(PopupMenu_Disc);
}

void TFT_LumoraDVD_OperationForm::BuildDiscMenu() {
  if (!PopupMenu_Disc) return;
  PopupMenu_Disc->Clear();
  auto add = [this](const QString& name, const QString& caption) {
    auto* item = new TMenuItem(PopupMenu_Disc);
    item->setObjectName(name);
    item->SetCaption(caption);
    item->OnClick = [this](QObject* s) { OpenFromMenu(s); };
    PopupMenu_Disc->Add(item);
    return item;
  };
  int drives = 0;
  for (const plat::OpticalDrive& d : plat::OpticalDrives()) {
    TMenuItem* item = add(QString::fromStdString(d.name), DriveCaption(d, nullptr));
    item->setIcon(DriveIcon());
    ++drives;
  }
  if (drives > 0) {
    auto* sep = new TMenuItem(PopupMenu_Disc);
    sep->SetCaption("-");
    PopupMenu_Disc->Add(sep);
  }
  add("Open", "Open File...");
  add("OpenDVD", "Open DVD Folder...");
  add("OpenTV", "Turn TV On");
}

void TFT_LumoraDVD_OperationForm::OpenFromMenu(QObject* entry) {
  RepaintWindows();
  const QString name = entry ? entry->objectName() : QStringLiteral("Open");
  if (name == "Open") {
    if (b_InOpenDialog) return;
    b_InOpenDialog = true;
    std::vector<std::string> files;
    const bool chosen =
        plat::GetOpenFileNames(this, "Load File to Play List", kOpenFilter, files, true);
    if (chosen && !files.empty()) {
      RepaintWindows();
      skImageButton_StopClick(nullptr);
      CurrentPlayPath = files.size() == 1 ? files.front() : std::string();
      if (FT_LumoraDVD_SubForm) {
        FT_LumoraDVD_SubForm->ClearPlayList();
        for (const std::string& f : files)
          FT_LumoraDVD_SubForm->AddToPlayList(
              f, QFileInfo(QString::fromStdString(f)).completeBaseName().toStdString());
      }
      ShowSidePanelPlayList();
      PlayFromControl(nullptr);
    }
    b_InOpenDialog = false;
    return;
  }
  if (name == "OpenDVD") {
    std::string folder;
    if (!plat::BrowseForFolder(this, "Please select DVD Folder:", folder)) return;
    RepaintWindows();
    std::string path = folder;
    if (path.empty() || path.back() != '/') path += '/';
    // Choosing the VIDEO_TS folder itself opens the disc folder above it.
    const size_t cut = path.find("VIDEO_TS");
    if (cut != std::string::npos) path.erase(cut);
    OpenDiscPath(path);
    return;
  }
  if (name == "OpenTV") {
    skImageButton_StopClick(skImageButton_Stop ? static_cast<QObject*>(skImageButton_Stop)
                                               : static_cast<QObject*>(this));
    if (StartTV()) {
      EnablePlaybackControls(true);
      if (FT_LumoraDVD_MainForm) FT_LumoraDVD_MainForm->ShowStatus("TV");
    }
    return;
  }
  // A drive entry, named after its device.
  const auto drives = plat::OpticalDrives();
  if (const plat::OpticalDrive* d = FindDrive(drives, name.toStdString())) OpenDiscPath(d->root);
}

void TFT_LumoraDVD_OperationForm::OpenDiscPath(const std::string& path) {
  const bool changed = path != CurrentPlayPath;
  if (!changed && PlayState != psStopped) return;  // already playing this one
  const std::string remembered = CurrentPlayPath;
  CurrentPlayPath = path;
  if (PlayDisc())
    EnablePlaybackControls(true);
  else
    CurrentPlayPath = remembered;
}

bool TFT_LumoraDVD_OperationForm::PlayDisc() {
  if (!CurrentPlayPath.empty()) {
    std::string label;
    if (IsDriveRoot(CurrentPlayPath) && !plat::GetVolumeLabel(CurrentPlayPath, label)) return false;
    std::string dvd;
    if (plat::DiscHasFolder(CurrentPlayPath, "VIDEO_TS", &dvd)) {
      const std::string root = CurrentPlayPath;
      skImageButton_StopClick(nullptr);
      return StartDVD(root);
    }
    if (QFileInfo(QString::fromStdString(CurrentPlayPath)).isDir() &&
        plat::DiscHasFolder(CurrentPlayPath, "MPEGAV")) {
      skImageButton_StopClick(nullptr);
      return PlayVideoCD(std::string());
    }
    return false;
  }
  for (const plat::OpticalDrive& d : plat::OpticalDrives()) {
    std::string label;
    if (!plat::GetVolumeLabel(d.root, label)) continue;  // no disc
    if (plat::DiscHasFolder(d.root, "VIDEO_TS")) {
      skImageButton_StopClick(nullptr);
      return StartDVD(d.root);
    }
    std::string vcd;
    if (QFileInfo(QString::fromStdString(d.root)).isDir() &&
        plat::DiscHasFolder(d.root, "MPEGAV", &vcd)) {
      skImageButton_StopClick(nullptr);
      return PlayVideoCD(vcd);
    }
  }
  return false;
}

bool TFT_LumoraDVD_OperationForm::PlayVideoCD(const std::string& folder) {
  if (FT_LumoraDVD_SubForm) FT_LumoraDVD_SubForm->ClearPlayList();
  std::string dir = folder;
  if (dir.empty() && !plat::DiscHasFolder(CurrentPlayPath, "MPEGAV", &dir))
    dir = CurrentPlayPath + "MPEGAV/";
  AddDirectoryToPlayList(dir);
  ShowSidePanelPlayList();
  PlayFromControl(FT_LumoraDVD_SubForm
                      ? static_cast<QObject*>(FT_LumoraDVD_SubForm->skImageButton_Play)
                      : nullptr);
  return true;
}

// ---------------------------------------------------------------------------------------------
// Disc arrival

void TFT_LumoraDVD_OperationForm::HandleDeviceChange(WPARAM w, LPARAM l) {
  if (w != plat::kDeviceArrival) return;
  if (l < 0 || l > 1000) return;
  pendingArrivals_.insert(static_cast<int>(l));
  arrivalTimer_->start();
}

void TFT_LumoraDVD_OperationForm::ProcessDiscArrivals() {
  const std::set<int> drives = std::move(pendingArrivals_);
  pendingArrivals_.clear();
  const auto all = plat::OpticalDrives();
  for (int index : drives) {
    // While something plays or is paused, an inserted disc waits for the user.
    if (PlayState != psStopped && PlayState != psIdle) return;
    if (index >= static_cast<int>(all.size())) continue;
    const std::string remembered = CurrentPlayPath;
    CurrentPlayPath = all[static_cast<size_t>(index)].root;
    if (PlayDisc()) {
      EnablePlaybackControls(true);
      return;
    }
    CurrentPlayPath = remembered;
  }
}

// ---------------------------------------------------------------------------------------------
// Eject

void TFT_LumoraDVD_OperationForm::skImageButton_EjectMouseUp(QObject*, TMouseButton button,
                                                             TShiftState, int, int) {
  if (!PopupMenu_Driver) return;
  if (PopupMenu_Driver->Count() == 0) BuildDriveMenu();
  if (PopupMenu_Driver->Count() == 0) return;
  for (int i = 0; i < PopupMenu_Driver->Count(); ++i) RefreshDriveItem(PopupMenu_Driver->Item(i));
  if (button == mbLeft && PopupMenu_Driver->Count() == 1) {
    EjectDrive(PopupMenu_Driver->Item(0));
    return;
  }
  PopupAtCursor(PopupMenu_Driver);
}

void TFT_LumoraDVD_OperationForm::BuildDriveMenu() {
  if (!PopupMenu_Driver) return;
  PopupMenu_Driver->Clear();
  for (const plat::OpticalDrive& d : plat::OpticalDrives()) {
    auto* item = new TMenuItem(PopupMenu_Driver);
    item->setObjectName(QString::fromStdString(d.name));
    bool readable = false;
    item->SetCaption(DriveCaption(d, &readable));
    item->setIcon(DriveIcon());
    menumarks::Mark(item, readable);
    item->OnClick = [this](QObject* s) { EjectDrive(s); };
    PopupMenu_Driver->Add(item);
  }
}

void TFT_LumoraDVD_OperationForm::RefreshDriveItem(TMenuItem* entry) {
  if (!entry) return;
  const auto drives = plat::OpticalDrives();
  const plat::OpticalDrive* d = FindDrive(drives, entry->objectName().toStdString());
  if (!d) return;
  bool readable = false;
  entry->SetCaption(DriveCaption(*d, &readable));
  // A refresh never clears the mark: only an eject command does.
  if (readable) menumarks::Mark(entry, true);
}

void TFT_LumoraDVD_OperationForm::EjectDrive(QObject* sender) {
  auto* entry = qobject_cast<TMenuItem*>(sender);
  if (!entry) return;
  RepaintWindows();
  const bool discIn = menumarks::Marked(entry);
  menumarks::Mark(entry, !discIn);
  const auto drives = plat::OpticalDrives();
  if (const plat::OpticalDrive* d = FindDrive(drives, entry->objectName().toStdString())) {
    if (discIn)
      plat::OpenTray(d->device);
    else
      plat::CloseTray(d->device);
  }
  RefreshDriveItem(entry);
}

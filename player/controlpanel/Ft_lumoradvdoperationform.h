// The floating control panel: transport, position, time, volume and mute, the open and eject
// menus with disc detection, and the DVD and playback-rate menus.
// It keeps the control bar's twin controls in step with its own; the control bar forwards
// every command to the handlers below.
#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <set>
#include <string>
#include <vector>

#include "platform/Types.h"
#include "player/widgets/Components.h"
#include "player/widgets/TPopupMenu.h"

class QTimer;
class TImage;
class TTimer;
class TPopupMenu;
class TskImageButton;
class TFT_ProgressBar;
class TFT_DynamicImageButton;
class TFT_DigitalImage;
namespace plat {
class DriveMonitor;
}  // namespace plat

class TFT_LumoraDVD_OperationForm : public QWidget {
  Q_OBJECT

 public:
  explicit TFT_LumoraDVD_OperationForm(QWidget* owner = nullptr);
  ~TFT_LumoraDVD_OperationForm() override;

  HWND Handle() const { return h_Handle; }

  // --- Transport (the control bar calls these with its own buttons as senders) ---
  // Decides what to open and plays it; control is the asking control, or none.
  void PlayFromControl(QObject* control);
  // With a sender it is a stop the user asked for.
  void skImageButton_StopClick(QObject* sender);
  void skImageButton_PauseClick(QObject* sender);
  void skImageButton_FastForwardClick(QObject* sender);
  void skImageButton_FastReverseClick(QObject* sender);
  // Previous and next chapter share this handler; the sender tells them apart.
  void skImageButton_NextChapterClick(QObject* sender);
  void skImageButton_VolumeUpClick(QObject* sender);
  void skImageButton_VolumeDownClick(QObject* sender);
  void skImageButton_MuteClick(QObject* sender);
  void skImageButton_DeMuteClick(QObject* sender);
  void skImageButton_MinClick(QObject* sender);
  void skImageButton_ExitClick(QObject* sender);
  void skImageButton_VideoSetupClick(QObject* sender);
  void skImageButton_AudioSetupClick(QObject* sender);
  // Menu buttons (mouse up with the button that was released).
  void skImageButton_OpenMouseUp(QObject* sender, TMouseButton button, TShiftState shift, int x,
                                 int y);
  void skImageButton_EjectMouseUp(QObject* sender, TMouseButton button, TShiftState shift, int x,
                                  int y);
  void skImageButton_MenuMouseUp(QObject* sender, TMouseButton button, TShiftState shift, int x,
                                 int y);
  void skImageButton_LanguageMouseUp(QObject* sender, TMouseButton button, TShiftState shift, int x,
                                     int y);
  void skImageButton_SubPictureMouseUp(QObject* sender, TMouseButton button, TShiftState shift,
                                       int x, int y);
  void skImageButton_PlaybackRateMouseUp(QObject* sender, TMouseButton button, TShiftState shift,
                                         int x, int y);
  void Timer_GetFileProgressTimer(QObject* sender);

  // --- Displays and enabled states ---
  void EnablePlaybackControls(bool on);
  void SetMuteState(bool on);
  void ShowTime(int sec, int min, int hour);
  void ShowSeconds(int seconds);
  void ShowProgress(double percent);
  void ShowTitleNumber(int n);
  void ShowChapterNumber(int n);

  // --- Open menu, disc detection, eject ---
  void BuildDiscMenu();
  // entry: an item of the open menu (or of the control bar's copy), or none for "Open".
  void OpenFromMenu(QObject* entry);
  bool PlayDisc();
  bool PlayVideoCD(const std::string& folder);
  bool PlayCurrentFile();
  bool PlayPlayListItem();
  void BuildDriveMenu();
  void RefreshDriveItem(TMenuItem* entry);
  void EjectDrive(QObject* entry);
  // Device-change message (537): a disc arrived in drive number l (see plat::DriveMonitor).
  void HandleDeviceChange(WPARAM w, LPARAM l);

  // --- DVD menus and rate menu ---
  void RootMenu1Click(QObject* sender);
  void TitleMenu1Click(QObject* sender);
  void OnTitleItemClick(QObject* entry);
  void OnChapterItemClick(QObject* entry);
  void OnAngleItemClick(QObject* entry);
  void OnSubpictureItemClick(QObject* entry);
  void OnAudioItemClick(QObject* entry);
  void OnRateItemClick(QObject* entry);
  // The main window's Subtitle and Audio submenus share the current-entry references.
  void SetSubpictureEntries(TMenuItem* current, TMenuItem* disable);
  void SetAudioEntry(TMenuItem* current);
  bool BuildSubpictureMenu();
  bool BuildAudioMenu();
  // Where the subtitle or audio entries go: this window's own menu, or a submenu of the main
  // window's popup menu. Both lists behave alike because they are built here.
  class StreamMenu {
   public:
    StreamMenu(TPopupMenu* menu) : menu_(menu) {}  // NOLINT: either kind is a menu
    StreamMenu(TMenuItem* item) : item_(item) {}   // NOLINT
    bool Valid() const { return menu_ || item_; }
    void Clear();
    TMenuItem* Add(const QString& name, const QString& caption);

   private:
    TPopupMenu* menu_ = nullptr;
    TMenuItem* item_ = nullptr;
  };
  // Fills the menu with the disc's streams and takes its entries as the current ones; false
  // (the menu left as it was) without a disc or when any stream's language cannot be read.
  bool FillSubpictureEntries(StreamMenu to);
  bool FillAudioEntries(StreamMenu to);
  // A stream's language by name: the user's locale first, then the fixed table.
  static QString LanguageName(uint32_t lcid);
  bool BuildRateMenu();
  void RefreshChapterCount();
  void AutoSelectStreams();
  // The number an entry's name carries after its two-letter prefix.
  static long EntryNumber(const QObject* entry);

  // --- Moving and docking ---
  void FormMouseDown(TMouseButton button, const QPoint& global);
  void FormMouseMove(const QPoint& global);
  void FormMouseUp();
  bool OverDockZone() const;

  int32_t i_CurrentSeconds = 0;
  int32_t i_ChapterCount = 0;
  int32_t i_VolumeBeforeMute = 0;
  bool b_SubpictureChosen = false;
  bool b_Dragging = false;
  bool b_DockPreview = false;
  QPoint pt_DragStart, pt_DragNow;
  int32_t i_DragStartLeft = 0, i_DragStartTop = 0;

  TImage* Image_Background = nullptr;
  TskImageButton* skImageButton_Play = nullptr;
  TskImageButton* skImageButton_Pause = nullptr;
  TskImageButton* skImageButton_Stop = nullptr;
  TskImageButton* skImageButton_FastForward = nullptr;
  TskImageButton* skImageButton_FastReverse = nullptr;
  TskImageButton* skImageButton_Exit = nullptr;
  TskImageButton* skImageButton_Min = nullptr;
  TskImageButton* skImageButton_VolumeUp = nullptr;
  TskImageButton* skImageButton_VolumeDown = nullptr;
  TskImageButton* skImageButton_Mute = nullptr;
  TskImageButton* skImageButton_DeMute = nullptr;
  TskImageButton* skImageButton_VideoSetup = nullptr;
  TskImageButton* skImageButton_AudioSetup = nullptr;
  TskImageButton* skImageButton_PreviousChapter = nullptr;
  TskImageButton* skImageButton_NextChapter = nullptr;
  TskImageButton* skImageButton_Open = nullptr;
  TskImageButton* skImageButton_Eject = nullptr;
  TskImageButton* skImageButton_SubPicture = nullptr;
  TskImageButton* skImageButton_Language = nullptr;
  TskImageButton* skImageButton_Menu = nullptr;
  TskImageButton* skImageButton_PlaybackRate = nullptr;
  TFT_ProgressBar* ProgressBar = nullptr;
  TFT_ProgressBar* VolumeBar = nullptr;
  TFT_DynamicImageButton* Dynamic_Play = nullptr;
  TTimer* Timer_GetFileProgress = nullptr;
  TPopupMenu* PopupMenu_Driver = nullptr;
  TPopupMenu* PopupMenu_Disc = nullptr;
  TPopupMenu* PopupMenu_Subpicture = nullptr;
  TPopupMenu* PopupMenu_Language = nullptr;
  TPopupMenu* PopupMenu_Playbackrate = nullptr;
  TPopupMenu* PopupMenu_Menu = nullptr;
  TMenuItem* RootMenu1 = nullptr;
  TMenuItem* TitleMenu1 = nullptr;

  // References into the subtitle and language menus (this window's or the main window's);
  // none when the menus are empty. They clear themselves when their menu is rebuilt.
  QPointer<TMenuItem> CurrentSubpictureItem;
  QPointer<TMenuItem> DisableSubpictureItem;
  QPointer<TMenuItem> CurrentAudioItem;

  // Skin application and the run-time skin controls.
  bool ApplyControlPanelSkin();
  void CreateSkinControls();
  void FreeSkinControls();

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  // Files dropped here are handed to the main window, as if dropped there.
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  void CreateComponents();
  void ConnectHandlers();
  bool IsPreviousChapterButton(QObject* sender) const;
  void OpenDiscPath(const std::string& path);
  void PopupAtCursor(TPopupMenu* menu);
  void RepaintWindows();
  void ProcessDiscArrivals();

  HWND h_Handle = 0;
  // An open dialog already on screen: a play it leads to must not open another.
  bool b_InOpenDialog = false;
  // Drives announced by disc-arrival notices that have not been looked at yet.
  std::set<int> pendingArrivals_;
  QTimer* arrivalTimer_ = nullptr;
  plat::DriveMonitor* driveMonitor_ = nullptr;
};

// The player's main window: skinned, borderless, holds the video area and,
// when docked, the control bar. Its message dispatch routes the engines'
// messages and the second-start hand-off.
#pragma once

#include <QRegion>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "platform/DropFiles.h"
#include "platform/Types.h"
#include "player/core/Ft_lumoradvdstate.h"
#include "player/widgets/Components.h"

class TPanel;
class TImage;
class TPopupMenu;
class TMenuItem;
class TLabel;
class TTimer;
class TskImageButton;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QResizeEvent;
class QShowEvent;
class QTimer;

class TFT_LumoraDVD_MainForm : public QWidget {
  Q_OBJECT

 public:
  explicit TFT_LumoraDVD_MainForm(QWidget* owner = nullptr);
  ~TFT_LumoraDVD_MainForm() override;

  HWND Handle() const { return h_Handle; }

  // Start-up (runs once before the message loop).
  // False when no skin could be applied and the player must end.
  bool StartSequence();
  void HandleCommandLine();
  void HandleOpenOtherFile();
  bool EnsureDataFolders();
  void AddPathToPlayList(const std::string& path);

  // Option.ini in the program folder.
  void LoadOptions();
  void SaveOptions();
  static std::string OptionFilePath();

  // Applies a skin to every window; the skin system defines it.
  bool ApplySkin(const std::string& path);

  // Engine events.
  void HandleDVDGraphEvent();
  void HandleMediaGraphEvent();
  void ProcessDVDEvent(int32_t code, int32_t p1, int32_t p2);
  void ProcessMediaEvent(int32_t code);

  // Picture placement in the video window.
  bool ApplyAspectMode();
  bool SetAspectMode(int32_t mode);
  void FitWindowToVideo();
  bool ZoomTo(int level, const QRect* rect = nullptr);
  void SetWindowSize(int width, int height, bool keepPosition);
  void SetControlBarDocked(bool docked);
  void ShowStatus(const std::string& text);
  // The playing file's name in the bottom strip, its full path as the hint.
  void ShowPlayingFileName(const std::string& path);
  void FormClose();

  // The message dispatch; true when the message was one of ours.
  bool DispatchMessage(unsigned msg, WPARAM w, LPARAM l, LRESULT& result);

  // Fields shared with the other windows.
  int32_t i_CurrentTitle = 0;
  int32_t i_CurrentChapter = 0;
  int32_t i_TitleSeconds = 0;
  bool b_RefitOnChapter = false;
  int32_t i_RepeatA = -1;
  int32_t i_RepeatB = -1;
  bool b_RepeatAB = false;

  int32_t i_MainWindowMaxWidth = 0;
  int32_t i_MainWindowMaxHeight = 0;
  int32_t i_MainWindowMinWidth = 0;
  int32_t i_MainWindowMinHeight = 0;
  bool b_NeedCutCorner = false;
  bool b_CanSetMaxWindow = false;
  int32_t i_ControlPanelHeight = 0;
  bool b_DisplayControlPanel = false;
  bool b_MuteState = false;
  int32_t i_LastWidth = 0;
  int32_t i_LastHeight = 0;
  bool b_FullScreen = false;

  bool b_ZoomMode = false;
  int32_t i_ZoomLevel = 1;
  int32_t i_ZoomLastX = 0;
  int32_t i_ZoomLastY = 0;
  std::string s_LastStatus;

  // --- Commands: popup menu, A-B repeat, keyboard, dropped files, status display, the mouse
  // on the video area, full screen. ---
  TPopupMenu* PopupMenu_Main = nullptr;
  TPopupMenu* PopupMenu_Zoom = nullptr;
  TImage* Image_PopMenu = nullptr;
  TTimer* Timer_DisplayStatus = nullptr;
  TMenuItem *PopMenu_Play = nullptr, *PopMenu_Pause = nullptr, *PopMenu_Stop = nullptr,
            *PopMenu_FastForward = nullptr, *PopMenu_FastReverse = nullptr,
            *PopMenu_Repeat = nullptr, *PopMenu_SetA = nullptr, *PopMenu_SetB = nullptr,
            *PopMenu_ClearAB = nullptr, *PopMenu_RepeatAB = nullptr, *PopMenu_NoRepeat = nullptr,
            *PopMenu_Title = nullptr, *PopMenu_Chapter = nullptr, *PopMenu_Subtitle = nullptr,
            *PopMenu_Audio = nullptr, *PopMenu_Angle = nullptr, *PopMenu_Zoom = nullptr,
            *PopMenu_AspectRatio = nullptr, *PopMenu_KeepAspectRatio = nullptr,
            *PopMenu_FillScreen = nullptr, *PopMenu_AlwaysNormal = nullptr,
            *PopMenu_Custom = nullptr, *PopMenu_SetFit = nullptr, *PopMenu_FullScreen = nullptr,
            *PopMenu_Help = nullptr, *PopMenu_Setup = nullptr, *PopMenu_Exit = nullptr,
            *PopMenu_ZoomIn = nullptr, *PopMenu_ZoomOut = nullptr, *PopMenu_ZoomLeave = nullptr;
  bool b_OverDVDButton = false;
  int32_t i_StatusTicks = 0;

  void RefreshMainMenu();
  bool BuildTitleMenu();
  bool BuildChapterMenu();
  bool BuildSubtitleMenu();
  bool BuildAudioMenu();
  bool BuildAngleMenu();
  // Opens PopupMenu_Main at a screen point after refreshing it.
  void PopupMainMenu(const QPoint& global);
  void PopMenu_SetAClick(QObject* sender);
  void PopMenu_SetBClick(QObject* sender);
  void PopMenu_ClearABClick(QObject* sender);
  void PopMenu_RepeatABClick(QObject* sender);
  void PopMenu_NoRepeatClick(QObject* sender);
  void PopMenu_FullScreenClick(QObject* sender);
  void PopMenu_HelpClick(QObject* sender);
  void PopMenu_ExitClick(QObject* sender);
  void Timer_DisplayStatusTimer(QObject* sender);
  // key: the key's code as the keyboard reports it (13 Enter, 27 Escape, 32 Space, 37-40
  // arrows); handled is set when the key is consumed.
  void FormShortCut(int key, bool& handled);
  void HandleDroppedFiles(WPARAM drop);
  // A drag over this window or the control panel, and its drop, which posts message 563.
  void DragEnter(QDragEnterEvent* event);
  void Drop(QDropEvent* event);
  void PopMenu_AlwaysNormalClick(QObject* sender);
  void Panel_MainForm_CenterMouseDown(QObject* sender, TMouseButton button, TShiftState shift,
                                      int x, int y);
  void Panel_MainForm_CenterMouseMove(QObject* sender, TShiftState shift, int x, int y);
  void Panel_MainForm_CenterMouseUp(QObject* sender, TMouseButton button, TShiftState shift, int x,
                                    int y);
  void Panel_MainForm_CenterDblClick(QObject* sender);
  void EnterFullScreen();
  void LeaveFullScreen();
  plat::DroppedItems m_DragItems;  // what the drag over the window offered
  // --- end of commands ---

  // Components the player core works with; the component tree creates them.
  TPanel* Panel_ControlPanel = nullptr;
  TPanel* Panel_MainPanel = nullptr;
  TPanel* Panel2 = nullptr;
  TPanel* Panel_MainForm_Center = nullptr;
  TImage* Image_MainForm_Center = nullptr;
  TLabel* Label_CurrentPlayFileName = nullptr;
  TPanel* Panel_Status = nullptr;  // status display over the video area

  // The settings command: shows the settings dialog modally (on `page`, a
  // TFT_LumoraDVD_SetupForm::Page, when given) and keeps or undoes its settings.
  // True when the user confirmed with OK.
  bool PopMenu_SetupClick(QObject* sender = nullptr, int page = -1);

  // Switches to the skin folder `name` under the skins folder; falls back to the previous
  // skin with a message, and gives up after five failures in a row.
  bool ChangeSkin(const std::string& name);
  // Skin options, window shape and cursors (the skin system defines these).
  bool LoadSkinOptions();
  void LoadCornerRegions();
  void ApplyWindowRegion();
  void LoadCursors();
  TImage* Image_Bottom_Left = nullptr;
  TskImageButton* skImageButton_Resizer = nullptr;
  QRegion rgn_Screen;
  std::optional<QRegion> rgn_Corners[6];  // CLT, CRT, CLB, CRB, CCL, CCR
  QSize rgn_Size;                         // window size the corner regions are placed for
  int rgn_FootHeight = 0;                 // docked bar height the frame's foot corners allow for
  int CornerFootHeight() const;

  // Moving, sizing, docking and the maximised layout of the borderless window.
  void InstallDragHandlers(QWidget* control);
  void MaximizeWindow();
  void RestoreWindow();
  void FitMaximizedWindow();
  void skImageButton_ExitClick(QObject* sender);
  void skImageButton_MinClick(QObject* sender);
  void skImageButton_MaxClick(QObject* sender);
  void skImageButton_RestoreClick(QObject* sender);
  void Panel_MainForm_TopDblClick(QObject* sender);
  void skImageButton_ResizerMouseDown(QObject* sender, TMouseButton button, TShiftState shift,
                                      int x, int y);
  void skImageButton_ResizerMouseMove(QObject* sender, TShiftState shift, int x, int y);
  void skImageButton_ResizerMouseUp(QObject* sender, TMouseButton button, TShiftState shift, int x,
                                    int y);
  // Side-panel page buttons: each open button shows its page, the close buttons share one handler.
  void skImageButton_PlayListClick(QObject* sender);
  void skImageButton_BookmarkClick(QObject* sender);
  void skImageButton_SnapshootClick(QObject* sender);
  void skImageButton_TVClick(QObject* sender);
  void skImageButton_DePlayListClick(QObject* sender);
  void OpenSidePanelPage(int page);
  // Puts a visible, docked side panel against the window's left side.
  void DockSidePanelBeside();
  // The screen the window is on, in screen coordinates.
  QRect ScreenRect() const;
  // Zoom mode: the popup menu's entries and Escape call these.
  void PopMenu_ZoomClick(QObject* sender) { EnterZoomMode(); }
  void PopMenu_ZoomInClick(QObject* sender) { ZoomIn(); }
  void PopMenu_ZoomOutClick(QObject* sender) { ZoomOut(); }
  void PopMenu_ZoomLeaveClick(QObject* sender) { LeaveZoomMode(); }
  void EnterZoomMode();
  bool ZoomIn();
  bool ZoomOut();
  void LeaveZoomMode();
  // The zoom part of the video area's mouse handling; true when zoom mode took the event.
  bool ZoomMouseMove(QPoint globalPos);
  bool ZoomMouseUp(TMouseButton button);
  void ShowZoomSelector(bool on);
  // Brings the windows back after the Min button (a later start does this).
  void RestoreFromMinimised();
  // The full-screen window's entry; the Max button and the title's double click use it for
  // skins without a maximised layout.
  std::function<void()> OnFullScreenRequest;
  // Makes the control panel and the side panel tool windows that belong to this one.
  void TieToolWindows();
  // Keeps them above it, whatever the window manager raised.
  void RaiseToolWindows();
  // A window manager closed the control panel or the side panel: hide it as the player's own
  // close does. False for other windows.
  bool ToolWindowClosedFromOutside(QObject* window);
  // Withdrawn by the Min button where no window manager could iconify it.
  bool b_HiddenAsMinimised = false;
  bool b_Resizing = false;
  bool b_Dragging = false;
  bool b_Maximized = false;
  QPoint pt_ResizeStart, pt_DragStart;
  int32_t i_ResizeStartWidth = 0, i_ResizeStartHeight = 0;
  int32_t i_DragStartLeft = 0, i_DragStartTop = 0;
  QRect rc_Restore;
  // Failed skin changes in a row; the fifth ends the player.
  int i_SkinFailures = 0;
  TskImageButton* skImageButton_Max = nullptr;
  TskImageButton* skImageButton_Restore = nullptr;
  TPanel* Panel_MainForm_Top = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateComponents();
  void FormCreate();
  void ConnectFrame();
  void PlaceFloatingPanelFirst();
  void EnterFullScreenFromFrame();
  void CreateCommands();

  HWND h_Handle = 0;
  bool b_Closed = false;
  bool b_FirstShown = false;
};

// The control bar docked at the foot of the main window (or inside the
// full-screen window); its commands go to the control panel's handlers.
#pragma once

#include <QPoint>
#include <QWidget>

#include "player/widgets/Components.h"

class TskImageButton;
class TFT_ProgressBar;
class TFT_DynamicImageButton;
class TPopupMenu;
class TMenuItem;

class TFT_LumoraDVD_ControlFrame : public QWidget {
  Q_OBJECT

 public:
  explicit TFT_LumoraDVD_ControlFrame(QWidget* owner = nullptr);
  ~TFT_LumoraDVD_ControlFrame() override;

  TskImageButton* skImageButton_Play = nullptr;
  TskImageButton* skImageButton_Pause = nullptr;
  TskImageButton* skImageButton_Stop = nullptr;
  TskImageButton* skImageButton_PreviousChapter = nullptr;
  TskImageButton* skImageButton_NextChapter = nullptr;
  TskImageButton* skImageButton_FastForward = nullptr;
  TskImageButton* skImageButton_FastReverse = nullptr;
  TskImageButton* skImageButton_Mute = nullptr;
  TskImageButton* skImageButton_DeMute = nullptr;
  TskImageButton* skImageButton_VolumeUp = nullptr;
  TskImageButton* skImageButton_VolumeDown = nullptr;
  TskImageButton* skImageButton_Eject = nullptr;
  TskImageButton* skImageButton_PlaybackRate = nullptr;
  TskImageButton* skImageButton_Ex = nullptr;
  TFT_ProgressBar* ProgressBar = nullptr;
  TFT_ProgressBar* VolumeBar = nullptr;
  TFT_DynamicImageButton* Dynamic_Play = nullptr;
  TPopupMenu* PopupMenu_Ex = nullptr;
  TMenuItem* PopMenu_VideoSetup = nullptr;
  TMenuItem* PopMenu_AudioSetup = nullptr;
  TMenuItem* PopMenu_Open = nullptr;

  // Skin application and the run-time skin controls (the skin system defines these).
  bool ApplyControlBarSkin();
  void FreeSkinControls();

  // Refreshes PopupMenu_Ex before it opens; always true.
  bool RebuildExMenu();
  void skImageButton_ExMouseUp(QObject* sender, TMouseButton button, TShiftState shift, int x,
                               int y);
  void PopMenu_VideoSetupClick(QObject* sender);
  void PopMenu_AudioSetupClick(QObject* sender);

  // Dragging the bar out of the main window undocks it; positions are on the screen.
  void FrameMouseDown(TMouseButton button, const QPoint& global);
  void FrameMouseMove(const QPoint& global);
  void FrameMouseUp(TMouseButton button, const QPoint& global);
  bool Dragging() const { return b_Dragging; }
  bool DraggedOutside() const { return b_Outside; }
  // The main window's bottom strip where the bar lives, on the screen.
  static bool InsideControlBarStrip(const QPoint& global);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void CreateComponents();
  void ConnectButtons();

  bool b_Dragging = false;
  bool b_Outside = false;
  QPoint pt_DragStart;
  QPoint pt_DragNow;
  QPoint pt_ShadowStart;
};

// The full-screen window: its own video panel and, while full screen is on,
// the control bar.
#pragma once

#include <QWidget>

#include "platform/Types.h"
#include "player/widgets/Components.h"

class TPanel;
class TImage;
class TTimer;

class TFT_LumoraDVD_FullScreenForm : public QWidget {
  Q_OBJECT

 public:
  explicit TFT_LumoraDVD_FullScreenForm(QWidget* owner = nullptr);
  ~TFT_LumoraDVD_FullScreenForm() override;

  HWND Handle() const { return h_Handle; }

  TPanel* Panel_MainForm_Center = nullptr;
  TImage* Image_MainForm_Center = nullptr;
  TPanel* Panel_Status = nullptr;
  TPanel* Panel_ControlPanel = nullptr;
  TTimer* Timer_Cursor = nullptr;

  bool b_ControlPanelInFront = false;  // the floating control panel is in front of this window
  bool b_BarPinned = false;            // the bar strip was clicked, so the bar stays
  bool b_KeepCursor = false;           // the cursor is not to be hidden
  bool b_HitDVDButton = false;         // the last press on the video hit a DVD menu button

  void FormShow();
  void FormClose();
  void FormShortCut(int key, bool& handled);
  void Timer_CursorTimer(QObject* sender);
  void Panel_MainForm_CenterMouseDown(QObject* sender, TMouseButton button, TShiftState shift,
                                      int x, int y);
  void Panel_MainForm_CenterMouseMove(QObject* sender, TShiftState shift, int x, int y);
  void Panel_MainForm_CenterMouseUp(QObject* sender, TMouseButton button, TShiftState shift, int x,
                                    int y);
  void Panel_MainForm_CenterClick(QObject* sender);
  void Panel_MainForm_CenterDblClick(QObject* sender);
  void Panel_ControlPanelMouseMove(QObject* sender, TShiftState shift, int x, int y);
  void Panel_ControlPanelClick(QObject* sender);
  void ShowMouseCursor(bool show);

  // The cursor display counter: the cursor shows while it is 0 or more.
  int CursorShowCount() const { return i_CursorCount; }
  void StepCursorCount(int step);
  bool BarShown() const;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateComponents();
  void SetBarHeight(int height);

  HWND h_Handle = 0;
  int i_CursorCount = 0;
};

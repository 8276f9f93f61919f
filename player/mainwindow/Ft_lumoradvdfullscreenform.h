// The full-screen window: its own video panel and, while full screen is on,
// the control bar.
#pragma once

#include <QWidget>

#include "platform/Types.h"

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

 private:
  void CreateComponents();

  HWND h_Handle = 0;
};

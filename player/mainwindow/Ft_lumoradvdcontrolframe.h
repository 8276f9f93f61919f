// The control bar docked at the foot of the main window (or inside the
// full-screen window); its commands go to the control panel's handlers.
#pragma once

#include <QWidget>

class TskImageButton;
class TFT_ProgressBar;
class TFT_DynamicImageButton;

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
  TFT_ProgressBar* ProgressBar = nullptr;
  TFT_ProgressBar* VolumeBar = nullptr;
  TFT_DynamicImageButton* Dynamic_Play = nullptr;

  // Skin application and the run-time skin controls (the skin system defines these).
  bool ApplyControlBarSkin();
  void FreeSkinControls();

 private:
  void CreateComponents();
};

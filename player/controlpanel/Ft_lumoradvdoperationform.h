// The floating control panel: transport, position, time, volume and mute.
// It keeps the control bar's twin controls in step with its own.
#pragma once

#include <QWidget>
#include <string>

#include "platform/Types.h"

class TImage;
class TTimer;
class TskImageButton;
class TFT_ProgressBar;
class TFT_DynamicImageButton;
class TFT_DigitalImage;

class TFT_LumoraDVD_OperationForm : public QWidget {
  Q_OBJECT

 public:
  explicit TFT_LumoraDVD_OperationForm(QWidget* owner = nullptr);
  ~TFT_LumoraDVD_OperationForm() override;

  HWND Handle() const { return h_Handle; }

  // Decides what to open and plays it; control is the asking control.
  void PlayFromControl(QObject* control);
  // With a sender it is a stop the user asked for.
  void skImageButton_StopClick(QObject* sender);
  void skImageButton_PauseClick(QObject* sender);
  void skImageButton_NextChapterClick(QObject* sender);
  void EnablePlaybackControls(bool on);
  void SetMuteState(bool on);
  void ShowTime(int sec, int min, int hour);
  void ShowSeconds(int seconds);
  void ShowProgress(double percent);
  void ShowTitleNumber(int n);
  void ShowChapterNumber(int n);
  void RefreshChapterCount();
  void AutoSelectStreams();
  bool PlayDisc();
  bool PlayCurrentFile();
  bool PlayPlayListItem();

  int32_t i_CurrentSeconds = 0;
  int32_t i_ChapterCount = 0;
  int32_t i_VolumeBeforeMute = 0;
  bool b_SubpictureChosen = false;

  TImage* Image_Background = nullptr;
  TskImageButton* skImageButton_Play = nullptr;
  TskImageButton* skImageButton_Pause = nullptr;
  TskImageButton* skImageButton_Stop = nullptr;
  TskImageButton* skImageButton_PreviousChapter = nullptr;
  TskImageButton* skImageButton_NextChapter = nullptr;
  TFT_ProgressBar* ProgressBar = nullptr;
  TFT_ProgressBar* VolumeBar = nullptr;
  TFT_DynamicImageButton* Dynamic_Play = nullptr;
  TTimer* Timer_GetFileProgress = nullptr;

  // Skin application and the run-time skin controls (the skin system defines these).
  bool ApplyControlPanelSkin();
  void CreateSkinControls();
  void FreeSkinControls();

 private:
  void CreateComponents();

  HWND h_Handle = 0;
};

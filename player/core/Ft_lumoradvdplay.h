// The playback controller: the one place where the windows' commands turn
// into engine calls. PlayType chooses the engine for every command.
#pragma once

#include <QImage>
#include <cstdint>
#include <memory>
#include <string>

class TFT_ProgressBar;
namespace navdisc {
class IDvdInfo2;
class IDvdControl2;
}  // namespace navdisc

bool StartDVD(const std::string& path);
// PlayType must already be ptFile or ptPlayList.
bool StartFile(const std::string& path);
bool StartTV();
bool ClosePlayback();
bool PausePlayback();
bool StepFrame();
bool ResumePlayback();
bool GetVideoSize(int32_t& width, int32_t& height);
bool SeekPercent(int32_t percent);
bool SeekSeconds(int32_t seconds);
bool SetPlaybackRate(double rate);
bool SetVolumeAndBalance(int32_t volume, int32_t balance);
bool SetBrightness(double value);
bool SetContrast(double value);
bool SetHue(double value);
bool SetSaturation(double value);
// The current picture, or none; the caller owns it.
std::unique_ptr<QImage> TakeSnapshot();

void OnPositionBarChange(TFT_ProgressBar* bar, int32_t position, bool holding);
void OnVolumeBarChange(TFT_ProgressBar* bar, int32_t position, bool byUser);
void OnDVDEvent(int32_t code, int32_t p1, int32_t p2);
void OnMediaEvent(int32_t code, int32_t p1, int32_t p2);

// Engine units.
int32_t VolumeToEngine(int32_t volume);    // hundredths of a decibel
int32_t BalanceToEngine(int32_t balance);  // -10000..10000
int32_t VolumeToLineIn(int32_t volume);    // mixer level 0..65535

// The DVD engine's information and control interfaces while its graph exists (else none).
// Tests may stand in for them; nullptr arguments restore the engine's.
navdisc::IDvdInfo2* DvdInfo();
navdisc::IDvdControl2* DvdControl();
void SetDvdInterfacesDouble(navdisc::IDvdInfo2* info, navdisc::IDvdControl2* control);

// The controller's own state: one re-entrancy flag per operation. Exposed so
// the windows' tests can see a drag in progress and exercise the guards.
struct ControllerState {
  bool b_InOpenDVD = false;
  bool b_InOpenFile = false;
  bool b_InOpenTV = false;
  bool b_InPause = false;
  bool b_InStep = false;
  bool b_InResume = false;
  bool b_InPositionBarChange = false;
  bool b_InVolumeBarChange = false;
  bool b_PositionDragHeld = false;
};
ControllerState& PlayControllerState();

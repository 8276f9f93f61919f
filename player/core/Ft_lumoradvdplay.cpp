#include "player/core/Ft_lumoradvdplay.h"

#include <QFile>
#include <QFileInfo>

#include "platform/Drives.h"
#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/core/CommandLine.h"
#include "player/core/ControllerDetail.h"
#include "player/core/EngineApi.h"
#include "player/core/Ft_lumoradvdstate.h"
#include "player/core/Resume.h"
#include "player/library/Ft_lumoradvdsubform.h"
#include "player/mainwindow/Ft_lumoradvdcontrolframe.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"

namespace {

ControllerState g_state;
navdisc::IDvdInfo2* g_infoDouble = nullptr;
navdisc::IDvdControl2* g_controlDouble = nullptr;

// Sets a re-entrancy flag for the duration of one operation.
class Guard {
 public:
  explicit Guard(bool& flag) : flag_(flag), entered_(!flag) {
    if (entered_) flag_ = true;
  }
  ~Guard() {
    if (entered_) flag_ = false;
  }
  bool entered() const { return entered_; }

 private:
  bool& flag_;
  bool entered_;
};

HWND MainHandle() { return FT_LumoraDVD_MainForm ? FT_LumoraDVD_MainForm->Handle() : 0; }

bool IsFilePlayType() { return PlayType == ptFile || PlayType == ptPlayList; }

void SendPictureValues() {
  SetBrightness(l_Bringhtness * 0.1);
  SetContrast(l_Contrast * 0.1);
  SetHue(l_Hue * 0.1);
  SetSaturation(l_Saturation * 0.1);
}

bool FileExists(const std::string& path) {
  if (path.empty()) return false;
  QFileInfo info(QString::fromStdString(path));
  return info.exists() && info.isFile();
}

}  // namespace

ControllerState& PlayControllerState() { return g_state; }

navdisc::IDvdInfo2* DvdInfo() { return g_infoDouble ? g_infoDouble : GetIDvdInfo2(); }

navdisc::IDvdControl2* DvdControl() {
  return g_controlDouble ? g_controlDouble : GetIDvdControl2();
}

void SetDvdInterfacesDouble(navdisc::IDvdInfo2* info, navdisc::IDvdControl2* control) {
  g_infoDouble = info;
  g_controlDouble = control;
}

int32_t VolumeToEngine(int32_t volume) { return 100 * (volume / 2) - 5000; }

int32_t BalanceToEngine(int32_t balance) { return balance * 200; }

int32_t VolumeToLineIn(int32_t volume) {
  // 2 * (v / 2) * 655.35 in integers, so 100 gives exactly 65535.
  const int64_t even = 2 * static_cast<int64_t>(volume / 2);
  return static_cast<int32_t>(even * 65535 / 100);
}

bool StartDVD(const std::string& path) {
  Guard guard(g_state.b_InOpenDVD);
  if (!guard.entered()) return false;

  bool ok = InitialDVDGraph(MainHandle());
  if (ok) {
    // A folder opens through its VIDEO_TS folder (in whatever case the disc spells it); a
    // device node or disc image goes to the engine as it is.
    std::string p = path;
    if (!p.empty() && !IsDiscImageOrDevice(p) && QFileInfo(QString::fromStdString(p)).isDir()) {
      if (p.back() != '/') p += '/';
      std::string folder;
      p = plat::DiscHasFolder(p, "VIDEO_TS", &folder) ? folder : p + "VIDEO_TS/";
    }
    ok = RenderDVDPath(p.c_str());
  }
  if (ok) {
    PlayType = ptDVD;
    CurrentPlayPath = path;
    if (FT_LumoraDVD_MainForm) FT_LumoraDVD_MainForm->FitWindowToVideo();
    ok = PutDVDOwner(h_CurrentPreviewWindow, nullptr, true);
  }
  if (ok) {
    SetVolumeAndBalance(l_CurrentVolume, l_CurrentBalance);
    SendPictureValues();
    if (FT_LumoraDVD_SubForm) FT_LumoraDVD_SubForm->SetBookmarkFilter(2);
    ok = PlayDVD();
    if (ok) {
      PlayState = psPlaying;
      b_CurrentPlaySupportSeek = true;
      ResumeAfterStart();
    }
  }
  if (!ok) ClosePlayback();
  return ok;
}

bool StartFile(const std::string& path) {
  if (!FileExists(path)) return false;
  Guard guard(g_state.b_InOpenFile);
  if (!guard.entered()) return false;

  bool ok = InitialGraph(MainHandle()) && RenderFile(path.c_str());
  if (ok) {
    if (FT_LumoraDVD_MainForm) FT_LumoraDVD_MainForm->ShowPlayingFileName(path);
    if (FT_LumoraDVD_SubForm) FT_LumoraDVD_SubForm->SetBookmarkFilter(1);
    CurrentPlayPath = path;
    if (FT_LumoraDVD_MainForm) {
      FT_LumoraDVD_MainForm->FitWindowToVideo();
      ok = FT_LumoraDVD_MainForm->ApplyAspectMode();
    } else {
      ok = false;
    }
  }
  if (ok) {
    SetVolumeAndBalance(l_CurrentVolume, l_CurrentBalance);
    SendPictureValues();
    ok = PlayFile(1.0);
    if (ok) {
      PlayState = psPlaying;
      ResumeAfterStart();
    }
  }
  if (!ok) ClosePlayback();
  return ok;
}

bool StartTV() {
  Guard guard(g_state.b_InOpenTV);
  if (!guard.entered()) return false;

  bool ok = InitialGraph(MainHandle()) && RenderTV();
  if (ok) {
    PlayType = ptTV;
    if (FT_LumoraDVD_MainForm) {
      FT_LumoraDVD_MainForm->FitWindowToVideo();
      ok = FT_LumoraDVD_MainForm->ApplyAspectMode();
    } else {
      ok = false;
    }
  }
  if (ok) {
    SetVolumeAndBalance(l_CurrentVolume, l_CurrentBalance);
    ok = PlayFile(1.0);
    if (ok) PlayState = psPlaying;
  }
  if (!ok) ClosePlayback();
  return ok;
}

bool ClosePlayback() {
  RememberPlayPosition();
  StopFile();
  StopDVD();
  DestroyGraph();
  DestroyDVDGraph();
  PlayState = psStopped;
  PlayType = ptNone;
  return true;
}

bool PausePlayback() {
  if (PlayState == psPaused) return true;
  if (PlayState != psPlaying) return false;
  Guard guard(g_state.b_InPause);
  if (!guard.entered()) return false;
  bool ok = PauseFile();
  if (!ok) ok = PauseDVD();
  PlayState = psPaused;
  return ok;
}

bool StepFrame() {
  if (PlayState != psPaused) return false;
  Guard guard(g_state.b_InStep);
  if (!guard.entered()) return false;
  if (IsFilePlayType()) return StepFile(1);
  if (PlayType == ptDVD) return StepDVD(true);
  return false;
}

bool ResumePlayback() {
  Guard guard(g_state.b_InResume);
  if (!guard.entered()) return false;
  if (PlayState != psPaused) return false;
  bool ok = PlayFile(1.0);
  if (!ok) ok = PlayDVD();
  if (ok) PlayState = psPlaying;
  return ok;
}

bool GetVideoSize(int32_t& width, int32_t& height) {
  if (IsFilePlayType() || PlayType == ptTV) {
    int32_t w = 0, h = 0;
    bool seek = b_CurrentPlaySupportSeek;
    const bool ok = GetFileInfo(&w, &h, &seek);
    b_CurrentPlaySupportSeek = seek;
    width = w;
    height = h;
    return ok;
  }
  if (PlayType == ptDVD) {
    uint8_t attributes[kDVDAttributesSize] = {};
    if (!GetDVDCurrentAttributes(attributes)) return false;
    const uint32_t aspectX = ReadLE32(attributes, 8);
    const uint32_t aspectY = ReadLE32(attributes, 12);
    const uint32_t sourceY = ReadLE32(attributes, 40);
    height = static_cast<int32_t>(sourceY);
    // A title that reports no aspect is shown square rather than dividing by 0.
    const float ratio = (aspectX > 0 && aspectY > 0)
                            ? static_cast<float>(aspectX) / static_cast<float>(aspectY)
                            : 1.0f;
    width = static_cast<int32_t>(static_cast<double>(height) * ratio);
    return true;
  }
  return false;
}

bool SeekPercent(int32_t percent) {
  if (PlayType == ptDVD) return SetDVDProgress(percent);
  if (IsFilePlayType()) {
    double length = 0, position = 0;
    int32_t current = 0;
    if (!GetPlayInfo(&length, &position, &current)) return false;
    if (percent != current) SetPositions(percent * length * 0.01);
    return true;
  }
  return true;
}

bool SeekSeconds(int32_t seconds) {
  if (PlayType == ptDVD) return SetDVDPositions(static_cast<double>(seconds));
  if (IsFilePlayType()) return SetPositions(static_cast<double>(seconds));
  return false;
}

bool SetPlaybackRate(double rate) {
  if (PlayState != psPlaying) return false;
  if (PlayType == ptDVD) return PutDVDPlaybackRatio(rate);
  if (IsFilePlayType()) return PutFilePlaybackRatio(rate) == rate;
  return false;
}

bool SetVolumeAndBalance(int32_t volume, int32_t balance) {
  l_CurrentVolume = volume;
  l_CurrentBalance = balance;
  const int32_t vol = VolumeToEngine(volume);
  const int32_t bal = BalanceToEngine(balance);
  if (PlayType == ptDVD) return SetDVDVolumeAndBalance(vol, bal);
  if (IsFilePlayType()) return SetFileVolumeAndBalance(vol, bal);
  if (PlayType == ptTV) {
    // The tuner's sound reaches the first card's line input; no balance there.
    (void)plat::GetLineInVolume();
    plat::SetLineInVolume(VolumeToLineIn(volume));
    return true;
  }
  return false;
}

bool SetBrightness(double value) {
  SetFileVideoBrightness(value);
  return SetDVDVideoBrightness(value);
}

bool SetContrast(double value) {
  SetFileVideoContrast(value);
  return SetDVDVideoContrast(value);
}

bool SetHue(double value) {
  SetFileVideoHue(value);
  return SetDVDVideoHue(value);
}

bool SetSaturation(double value) {
  SetFileVideoSaturation(value);
  return SetDVDVideoSaturation(value);
}

std::unique_ptr<QImage> TakeSnapshot() {
  const std::string t = CurrentSnapshotPath + "tps";
  const QString tq = QString::fromStdString(t);
  if (QFile::exists(tq)) QFile::remove(tq);

  bool ok = false;
  if (PlayType == ptDVD) {
    ok = SnapshootDVDToFile(t.c_str());
  } else if (IsFilePlayType()) {
    ok = SnapshootToFile(t.c_str());
  } else {
    return nullptr;
  }
  if (!ok || !QFile::exists(tq)) return nullptr;
  auto image = std::make_unique<QImage>();
  if (!image->load(tq, "BMP")) return nullptr;
  QFile::remove(tq);
  return image;
}

void OnPositionBarChange(TFT_ProgressBar* bar, int32_t p, bool holding) {
  if (g_state.b_InPositionBarChange) return;
  if (holding) {
    g_state.b_InPositionBarChange = true;
    if (!g_state.b_PositionDragHeld) LastPlayState = PlayState;
    g_state.b_PositionDragHeld = true;
    if (PlayState == psPlaying) PausePlayback();
    if (PlayType != ptDVD) SeekPercent(p);
  } else if (PlayState == psPaused) {
    g_state.b_InPositionBarChange = true;
    SeekPercent(p);
    if (LastPlayState == psPlaying || PlayType == ptDVD) ResumePlayback();
    g_state.b_PositionDragHeld = false;
  }
  MirrorBar(bar, p, BarKind::Position);
  g_state.b_InPositionBarChange = false;
}

void OnVolumeBarChange(TFT_ProgressBar* bar, int32_t p, bool byUser) {
  if (byUser) {
    if (g_state.b_InVolumeBarChange) return;
    g_state.b_InVolumeBarChange = true;
    SetVolumeAndBalance(p, l_CurrentBalance);
    g_state.b_InVolumeBarChange = false;
  }
  MirrorBar(bar, p, BarKind::Volume);
}

void OnDVDEvent(int32_t code, int32_t p1, int32_t p2) {
  if (FT_LumoraDVD_MainForm) FT_LumoraDVD_MainForm->ProcessDVDEvent(code, p1, p2);
}

void OnMediaEvent(int32_t code, int32_t, int32_t) {
  if (FT_LumoraDVD_MainForm) FT_LumoraDVD_MainForm->ProcessMediaEvent(code);
}

// The player's windows as start-up makes them, a clip long enough for A-B points, and a DVD
// information double for the submenus.
#pragma once

#include <QElapsedTimer>
#include <QFileInfo>

#include "PlayerTestSupport.h"
#include "navdisc/DvdInterfaces.h"
#include "player/mainwindow/Ft_lumoradvdcontrolframe.h"
#include "player/mainwindow/MainFormCommandsDetail.h"
#include "player/widgets/TPanel.h"
#include "player/widgets/TPopupMenu.h"

namespace commands_test {

using navdisc::HRESULT;

// A 60-second clip, small enough to play quickly.
inline std::string MinuteClip() {
  return player_test::FixtureClip("minute.mp4",
                                  "-f lavfi -i testsrc2=s=160x120:r=10:d=60 -c:v libx264 "
                                  "-preset ultrafast -pix_fmt yuv420p -g 10");
}

inline std::string SampleDvd() {
  const char* fixtures = std::getenv("LUMORA_FIXTURE_DIR");
  const std::string disc = std::string(fixtures ? fixtures : "") + "/sample-dvd/";
  if (!fixtures || !QFileInfo(QString::fromStdString(disc + "VIDEO_TS")).isDir()) return {};
  return disc;
}

template <typename F>
bool WaitFor(F done, int ms) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < ms) plat::PumpMessages(20);
  return done();
}

// What a disc reports for the submenus, and the stream commands they send (a negative result
// makes that query fail).
class FakeDvdInfo : public navdisc::IDvdInfo2, public navdisc::IDvdControl2 {
 public:
  std::vector<std::string> calls;

  uint32_t titles = 3, chapters = 4, angles = 1, angle = 1;
  uint32_t audioStreams = 2, audio = 0, subStreams = 2, sub = 0;
  int32_t subOff = 0;
  std::vector<uint32_t> audioLcid{1033, 1036}, subLcid{1033, 1036};
  HRESULT fail = 0;  // returned by GetSubpictureLanguage when negative

  HRESULT GetCurrentDomain(navdisc::DVD_DOMAIN*) override { return navdisc::E_FAIL; }
  HRESULT GetCurrentLocation(navdisc::DVD_PLAYBACK_LOCATION2*) override { return navdisc::E_FAIL; }
  HRESULT GetTotalTitleTime(navdisc::DVD_HMSF_TIMECODE*, uint32_t*) override {
    return navdisc::E_FAIL;
  }
  HRESULT GetCurrentButton(uint32_t*, uint32_t*) override { return navdisc::E_FAIL; }
  HRESULT GetCurrentAudio(uint32_t* available, uint32_t* current) override {
    *available = audioStreams;
    *current = audio;
    return 0;
  }
  HRESULT GetCurrentSubpicture(uint32_t* available, uint32_t* current, int32_t* off) override {
    *available = subStreams;
    *current = sub;
    *off = subOff;
    return 0;
  }
  HRESULT GetCurrentAngle(uint32_t* available, uint32_t* current) override {
    *available = angles;
    *current = angle;
    return 0;
  }
  HRESULT GetAudioLanguage(uint32_t stream, uint32_t* lcid) override {
    *lcid = stream < audioLcid.size() ? audioLcid[stream] : 0;
    return 0;
  }
  HRESULT GetSubpictureLanguage(uint32_t stream, uint32_t* lcid) override {
    if (fail < 0) return fail;
    *lcid = stream < subLcid.size() ? subLcid[stream] : 0;
    return 0;
  }
  HRESULT GetDVDVolumeInfo(uint32_t* n, uint32_t* v, navdisc::DVD_DISC_SIDE* side,
                           uint32_t* t) override {
    *n = 1;
    *v = 1;
    *side = navdisc::DVD_SIDE_A;
    *t = titles;
    return 0;
  }
  HRESULT GetNumberOfChapters(uint32_t, uint32_t* c) override {
    *c = chapters;
    return 0;
  }
  HRESULT GetCurrentVideoAttributes(navdisc::DVD_VideoAttributes*) override {
    return navdisc::E_FAIL;
  }
  HRESULT GetAudioAttributes(uint32_t, navdisc::DVD_AudioAttributes*) override {
    return navdisc::E_FAIL;
  }
  HRESULT GetSubpictureAttributes(uint32_t, navdisc::DVD_SubpictureAttributes*) override {
    return navdisc::E_FAIL;
  }
  HRESULT GetButtonAtPosition(navdisc::POINT, uint32_t*) override { return navdisc::E_FAIL; }
  HRESULT GetState(std::shared_ptr<navdisc::IDvdState>*) override { return navdisc::E_FAIL; }

  HRESULT SelectAudioStream(uint32_t s, uint32_t, navdisc::IDvdCmd**) override {
    calls.push_back("audio " + std::to_string(s));
    audio = s;
    return 0;
  }
  HRESULT SelectSubpictureStream(uint32_t s, uint32_t, navdisc::IDvdCmd**) override {
    calls.push_back("sub " + std::to_string(s));
    sub = s;
    return 0;
  }
  HRESULT SetSubpictureState(bool on, uint32_t, navdisc::IDvdCmd**) override {
    calls.push_back(on ? "subs on" : "subs off");
    subOff = !on;
    return 0;
  }
  // Not used by the submenus.
  HRESULT SetOption(navdisc::DVD_OPTION_FLAG, bool) override { return navdisc::E_FAIL; }
  HRESULT PlayForwards(double, uint32_t, navdisc::IDvdCmd**) override { return navdisc::E_FAIL; }
  HRESULT PlayBackwards(double, uint32_t, navdisc::IDvdCmd**) override { return navdisc::E_FAIL; }
  HRESULT PlayAtTime(const navdisc::DVD_HMSF_TIMECODE*, uint32_t, navdisc::IDvdCmd**) override {
    return navdisc::E_FAIL;
  }
  HRESULT PlayTitle(uint32_t, uint32_t, navdisc::IDvdCmd**) override { return navdisc::E_FAIL; }
  HRESULT PlayChapter(uint32_t, uint32_t, navdisc::IDvdCmd**) override { return navdisc::E_FAIL; }
  HRESULT PlayChapterInTitle(uint32_t, uint32_t, uint32_t, navdisc::IDvdCmd**) override {
    return navdisc::E_FAIL;
  }
  HRESULT ShowMenu(navdisc::DVD_MENU_ID, uint32_t, navdisc::IDvdCmd**) override {
    return navdisc::E_FAIL;
  }
  HRESULT Resume(uint32_t, navdisc::IDvdCmd**) override { return navdisc::E_FAIL; }
  HRESULT SelectRelativeButton(navdisc::DVD_RELATIVE_BUTTON) override { return navdisc::E_FAIL; }
  HRESULT ActivateButton() override { return navdisc::E_FAIL; }
  HRESULT SelectAtPosition(navdisc::POINT) override { return navdisc::E_FAIL; }
  HRESULT ActivateAtPosition(navdisc::POINT) override { return navdisc::E_FAIL; }
  HRESULT SelectAngle(uint32_t, uint32_t, navdisc::IDvdCmd**) override { return navdisc::E_FAIL; }
  HRESULT SetState(navdisc::IDvdState*, uint32_t, navdisc::IDvdCmd**) override {
    return navdisc::E_FAIL;
  }
};

class CommandsFixture : public player_test::PlayerFixture {
 protected:
  void SetUp() override {
    PlayerFixture::SetUp();
    main_ = FT_LumoraDVD_MainForm;
    panel_ = FT_LumoraDVD_OperationForm;
    full_ = FT_LumoraDVD_FullScreenForm;
    bar_ = FT_LumoraDVD_ControlFrame;
    main_->setGeometry(100, 100, 640, 480);
    main_->show();
  }
  void TearDown() override {
    SetDvdInterfacesDouble(nullptr, nullptr);
    if (main_->b_FullScreen) main_->LeaveFullScreen();
    PlayerFixture::TearDown();
  }
  // Plays a file through the control panel, as the user's Play does.
  bool PlayFile(const std::string& path) {
    if (path.empty()) return false;
    CurrentPlayPath = path;
    panel_->PlayFromControl(nullptr);
    return WaitFor([] { return PlayState == psPlaying; }, 5000);
  }

  TFT_LumoraDVD_MainForm* main_ = nullptr;
  TFT_LumoraDVD_OperationForm* panel_ = nullptr;
  TFT_LumoraDVD_FullScreenForm* full_ = nullptr;
  TFT_LumoraDVD_ControlFrame* bar_ = nullptr;
};

}  // namespace commands_test

// Set-up shared by the control panel's tests: the player's windows with the Default skin, real
// engines, and doubles for the drives and the dialogs.
#pragma once

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include "PlayerTestSupport.h"
#include "platform/Drives.h"
#include "player/core/EngineApi.h"
#include "player/mainwindow/Ft_lumoradvdcontrolframe.h"
#include "player/skin/controls/Ftimagebutton.h"
#include "player/widgets/TLabel.h"
#include "player/widgets/TPanel.h"
#include "player/widgets/TPopupMenu.h"
#include "player/widgets/TTimer.h"
#include "player/widgets/TskImageButton.h"

namespace panel_test {

inline std::string SkinFolder(const char* name) {
  const QString bin =
      qEnvironmentVariable("LUMORA_BIN_DIR", QCoreApplication::applicationDirPath());
  return bin.toStdString() + "/Skin/" + name + "/";
}

inline std::string SampleDvd() {
  const char* fixtures = std::getenv("LUMORA_FIXTURE_DIR");
  const std::string disc = std::string(fixtures ? fixtures : "") + "/sample-dvd/";
  return QFileInfo(QString::fromStdString(disc + "VIDEO_TS")).isDir() ? disc : std::string();
}

// A clip of `seconds` with sound, made once per build.
inline std::string Clip(int seconds) {
  const std::string path =
      player_test::FixtureDir() + "panel-clip-" + std::to_string(seconds) + ".mp4";
  if (QFile::exists(QString::fromStdString(path))) return path;
  const std::string tmp = path + "." + std::to_string(getpid()) + ".mp4";
  const std::string cmd =
      "ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc2=s=160x120:r=10:d=" +
      std::to_string(seconds) + " -f lavfi -i sine=f=440:d=" + std::to_string(seconds) +
      " -c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 10 -c:a aac -shortest '" + tmp + "'";
  if (std::system(cmd.c_str()) != 0 || std::rename(tmp.c_str(), path.c_str()) != 0) {
    std::remove(tmp.c_str());
    return {};
  }
  return path;
}

class PanelFixture : public player_test::PlayerFixture {
 protected:
  void SetUp() override {
    PlayerFixture::SetUp();
    main_ = FT_LumoraDVD_MainForm;
    panel_ = FT_LumoraDVD_OperationForm;
    CurrentSkinPath = SkinFolder("Default");
    skinned_ = main_->ApplySkin(CurrentSkinPath);
    main_->show();
    plat::SetDrivesDouble([] { return std::vector<plat::OpticalDrive>{}; });
    plat::SetFileDialogDouble([this](const std::string& title, std::vector<std::string>& out) {
      dialogTitles_.push_back(title);
      out = dialogAnswer_;
      return !out.empty();
    });
  }

  void TearDown() override {
    ClosePlayback();
    plat::SetDrivesDouble({});
    plat::SetVolumeLabelDouble({});
    plat::SetTrayDouble({});
    plat::SetFileDialogDouble({});
    SetDvdInterfacesDouble(nullptr, nullptr);
    PlayerFixture::TearDown();
  }

  template <typename F>
  bool WaitFor(F done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) plat::PumpMessages(20);
    return done();
  }

  // Starts a file the way the open dialog does.
  bool PlayFile(const std::string& path) {
    CurrentPlayPath = path;
    panel_->PlayFromControl(nullptr);
    return PlayState == psPlaying;
  }

  std::string Status() const { return main_->s_LastStatus; }

  // Digits as the panel shows them, "hh:mm:ss".
  std::string TimeShown() const {
    auto d = [&](const char* n) {
      auto* di = panel_->findChild<TFT_DigitalImage*>(n);
      return di ? static_cast<char>('0' + di->ShownDigit()) : '?';
    };
    return {d("DI_TimeHour10"), d("DI_TimeHour1"), ':', d("DI_TimeMin10"), d("DI_TimeMin1"), ':',
            d("DI_TimeSec10"),  d("DI_TimeSec1")};
  }

  std::vector<std::string> Captions(TPopupMenu* menu) const {
    std::vector<std::string> out;
    for (int i = 0; i < menu->Count(); ++i) out.push_back(menu->Item(i)->Caption().toStdString());
    return out;
  }

  TFT_LumoraDVD_MainForm* main_ = nullptr;
  TFT_LumoraDVD_OperationForm* panel_ = nullptr;
  bool skinned_ = false;
  std::vector<std::string> dialogAnswer_;
  std::vector<std::string> dialogTitles_;
};

}  // namespace panel_test

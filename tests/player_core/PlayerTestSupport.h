// Shared set-up for the player core tests: one QApplication, a private
// program folder, and the player's windows created the way start-up does.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/MessageBox.h"
#include "platform/Window.h"
#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/core/Ft_lumoradvdplay.h"
#include "player/core/Ft_lumoradvdstate.h"
#include "player/core/PlayerWindows.h"
#include "player/library/Ft_lumoradvdsubform.h"
#include "player/mainwindow/Ft_lumoradvdfullscreenform.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/mainwindow/Ft_lumoradvdshadowform.h"

namespace player_test {

inline QApplication* App() {
  static int argc = 1;
  static char name[] = "player_core_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return app;
}

inline std::string FixtureDir() {
  const char* env = std::getenv("LUMORA_FIXTURE_DIR");
  std::string dir = std::string(env ? env : QDir::tempPath().toStdString()) + "/player_core/";
  QDir().mkpath(QString::fromStdString(dir));
  return dir;
}

// The clip `name` in the fixture folder, made once per build by ffmpeg from `args` (its inputs
// and encoding); empty when ffmpeg fails. Parallel test processes each write their own
// temporary file; the rename is atomic.
inline std::string FixtureClip(const std::string& name, const std::string& args) {
  const std::string path = FixtureDir() + name;
  if (QFile::exists(QString::fromStdString(path))) return path;
  const std::string tmp = FixtureDir() + "tmp-" + std::to_string(getpid()) + "-" + name;
  const std::string cmd = "ffmpeg -nostdin -loglevel error -y " + args + " '" + tmp + "'";
  if (std::system(cmd.c_str()) != 0 || std::rename(tmp.c_str(), path.c_str()) != 0) {
    std::remove(tmp.c_str());
    return {};
  }
  return path;
}

// A 4-second 320x240 clip with sound.
inline std::string SmallClip() {
  return FixtureClip("clip.mp4",
                     "-f lavfi -i testsrc2=s=320x240:r=25:d=4 -f lavfi -i sine=f=440:d=4 "
                     "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 25 -c:a aac -shortest");
}

inline void ResetPlaybackState() {
  ClosePlayback();
  PlayType = ptNone;
  PlayState = psIdle;
  LastPlayState = psIdle;
  i_CurrentPlaybackRateIndex = 0;
  l_CurrentVolume = 0;
  l_CurrentBalance = 0;
  l_Bringhtness = l_Contrast = l_Hue = l_Saturation = 0;
  MyAspectRatioState = 0;
  d_AspectRatio = 1.0;
  AspectW = 640;
  AspectH = 480;
  b_CurrentPlaySupportSeek = false;
  b_NoVideo = false;
  CurrentSkinPath.clear();
  CurrentPlayPath.clear();
  CurrentSnapshotPath.clear();
  PlayControllerState() = ControllerState();
}

// Each test gets its own program folder and a fresh set of windows.
class PlayerFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    ASSERT_TRUE(home_.isValid());
    qputenv("LUMORA_HOME", home_.path().toUtf8());
    plat::SetMessageBoxDouble([](const plat::MessageBoxRecord&) { return plat::IDOK; });
    plat::ClearRecordedMessageBoxes();
    // Nothing playable opens the open dialog; here the user cancels it.
    plat::SetFileDialogDouble([](const std::string&, std::vector<std::string>&) { return false; });
    ResetPlaybackState();
    CreatePlayerWindows();
  }

  void TearDown() override {
    ClosePlayback();
    DestroyPlayerWindows();
    plat::PumpMessages();
    plat::SetMessageBoxDouble({});
    plat::SetFileDialogDouble({});
    qunsetenv("LUMORA_HOME");
  }

  std::string Home() const { return home_.path().toStdString() + "/"; }

  QTemporaryDir home_;
};

}  // namespace player_test

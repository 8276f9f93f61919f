// Runs the real settings command on the real windows and acts inside its modal dialog.
#pragma once

#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "EngineSpy.h"
#include "player/settings/Ft_lumoradvdsetupform.h"
#include "tests/player_core/PlayerTestSupport.h"

namespace setup_test {

// A clip of the given size, made once per build.
inline std::string Clip(int w, int h) {
  const std::string path =
      player_test::FixtureDir() + "setup-" + std::to_string(w) + "x" + std::to_string(h) + ".mp4";
  if (QFile::exists(QString::fromStdString(path))) return path;
  const std::string tmp = path + ".tmp-" + std::to_string(getpid()) + ".mp4";
  const std::string cmd =
      "ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc2=s=" + std::to_string(w) + "x" +
      std::to_string(h) + ":r=25:d=3 -c:v libx264 -preset ultrafast -pix_fmt yuv420p '" + tmp + "'";
  if (std::system(cmd.c_str()) != 0 || std::rename(tmp.c_str(), path.c_str()) != 0) {
    std::remove(tmp.c_str());
    return {};
  }
  return path;
}

inline std::vector<std::string> BoxTexts() {
  std::vector<std::string> out;
  for (const auto& b : plat::RecordedMessageBoxes()) out.push_back(b.text);
  return out;
}

// Pumps the message loop until pred holds or the time is up.
inline bool WaitFor(const std::function<bool()>& pred, int ms = 10000) {
  QElapsedTimer t;
  t.start();
  while (!pred()) {
    if (t.elapsed() > ms) return false;
    plat::PumpMessages(10);
  }
  return true;
}

class SetupFixture : public player_test::PlayerFixture {
 protected:
  void SetUp() override {
    PlayerFixture::SetUp();
    main()->resize(640, 480);
    main()->show();
    plat::PumpMessages();
    spy::Clear();
  }
  void TearDown() override {
    qunsetenv("LUMORA_TV");
    PlayerFixture::TearDown();
  }

  TFT_LumoraDVD_MainForm* main() { return FT_LumoraDVD_MainForm; }

  void PlayClip(int w, int h) {
    const std::string clip = Clip(w, h);
    ASSERT_FALSE(clip.empty()) << "ffmpeg could not make the sample clip";
    PlayType = ptFile;
    ASSERT_TRUE(StartFile(clip));
    plat::PumpMessages(50);
    spy::Clear();
  }

  // Runs the settings command; body acts inside the shown dialog, which then closes with OK
  // or Cancel unless body closed it already. Returns the command's result.
  bool RunSetup(const std::function<void(TFT_LumoraDVD_SetupForm*)>& body, bool ok, int page = -1) {
    QTimer poll;
    poll.setInterval(5);
    bool ran = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      TFT_LumoraDVD_SetupForm* d = FT_LumoraDVD_SetupForm;
      if (ran || !d || !d->isVisible() || !d->FormShown()) return;
      ran = true;
      poll.stop();
      body(d);
      if (d->isVisible()) (ok ? d->BitBtn1 : d->BitBtn6)->click();
    });
    poll.start();
    const bool result = main()->PopMenu_SetupClick(nullptr, page);
    EXPECT_TRUE(ran) << "the dialog never showed";
    EXPECT_EQ(FT_LumoraDVD_SetupForm, nullptr);
    return result;
  }

  // Writes TVChannel.ini in the program folder.
  void WriteChannelFile(const std::string& text) {
    QFile f(QString::fromStdString(TFT_LumoraDVD_SetupForm::ChannelFilePath()));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.data(), static_cast<qint64>(text.size()));
  }
};

}  // namespace setup_test

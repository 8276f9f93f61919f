// The control bar: forwarding to the control panel, dragging it out, the "Ex" menu and its
// state after a skin change.
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QThread>
#include <QTimer>

#include "CommandsTestSupport.h"
#include "platform/Drives.h"
#include "player/mainwindow/Ft_lumoradvdshadowform.h"
#include "player/settings/Ft_lumoradvdsetupform.h"
#include "player/skin/Ft_updateplayerskin.h"
#include "player/skin/controls/Ftimagebutton.h"
#include "player/widgets/TskImageButton.h"

using commands_test::CommandsFixture;
using commands_test::WaitFor;

class ControlBarTest : public CommandsFixture {
 protected:
  void SetUp() override {
    CommandsFixture::SetUp();
    main_->i_ControlPanelHeight = 70;
    main_->SetControlBarDocked(true);
  }
  void TearDown() override {
    plat::SetDrivesDouble({});
    plat::SetVolumeLabelDouble({});
    CommandsFixture::TearDown();
  }
  static std::vector<QString> Entries(const QList<QAction*>& actions) {
    std::vector<QString> out;
    for (QAction* a : actions)
      out.push_back(a->objectName() + "=" + (a->isSeparator() ? QString("-") : a->text()));
    return out;
  }
  static std::string DefaultSkin() {
    return qEnvironmentVariable("LUMORA_BIN_DIR").toStdString() + "/Skin/Default/";
  }
  bool ApplyDefaultSkin() {
    const std::string skin = DefaultSkin();
    return QFileInfo(QString::fromStdString(skin + "Skin.ini")).exists() && main_->ApplySkin(skin);
  }
  // A point inside the main window's bottom strip, on the screen.
  QPoint InStrip() const {
    const QRect m = main_->frameGeometry();
    return {m.left() + m.width() / 2, m.bottom() - 10};
  }
};

TEST_F(ControlBarTest, OnlyALeftDragOutsideFullScreenStarts) {
  bar_->FrameMouseDown(mbRight, InStrip());
  EXPECT_FALSE(bar_->Dragging());
  main_->EnterFullScreen();
  bar_->FrameMouseDown(mbLeft, InStrip());
  EXPECT_FALSE(bar_->Dragging());
  main_->LeaveFullScreen();
  bar_->FrameMouseDown(mbLeft, InStrip());
  EXPECT_TRUE(bar_->Dragging());
  bar_->FrameMouseUp(mbLeft, InStrip());
  EXPECT_FALSE(bar_->Dragging());
}

TEST_F(ControlBarTest, ADragEndingInsideTheStripChangesNothing) {
  const QPoint start = InStrip();
  bar_->FrameMouseDown(mbLeft, start);
  bar_->FrameMouseMove(start + QPoint(0, -200));
  EXPECT_TRUE(bar_->DraggedOutside());
  EXPECT_TRUE(FT_LumoraDVD_ShadowForm->isVisible());
  bar_->FrameMouseMove(start + QPoint(40, 0));
  EXPECT_FALSE(FT_LumoraDVD_ShadowForm->isVisible()) << "back inside, the preview goes";
  bar_->FrameMouseUp(mbLeft, start + QPoint(40, 0));
  EXPECT_TRUE(main_->b_DisplayControlPanel);
  EXPECT_FALSE(panel_->isVisible());
}

TEST_F(ControlBarTest, ADragEndingOutsideUndocksWhereTheShadowWas) {
  const QPoint start = InStrip();
  bar_->FrameMouseDown(mbLeft, start);
  const QPoint shadowAtPress = FT_LumoraDVD_ShadowForm->pos();
  const QRect m = main_->frameGeometry();
  EXPECT_EQ(shadowAtPress.y(), m.top() + m.height() - 70);
  EXPECT_EQ(shadowAtPress.x(), m.left() + (m.width() - panel_->width()) / 2);
  EXPECT_EQ(FT_LumoraDVD_ShadowForm->size(), panel_->size());
  bar_->FrameMouseMove(start + QPoint(-30, 150));
  bar_->FrameMouseUp(mbLeft, start + QPoint(-30, 150));
  EXPECT_FALSE(main_->b_DisplayControlPanel);
  EXPECT_TRUE(panel_->isVisible());
  EXPECT_EQ(panel_->pos(), shadowAtPress + QPoint(-30, 150));
  EXPECT_FALSE(FT_LumoraDVD_ShadowForm->isVisible());
}

TEST_F(ControlBarTest, ADragEndingOffEveryScreenStillLeavesThePanelOnOne) {
  const QPoint start = InStrip();
  bar_->FrameMouseDown(mbLeft, start);
  const QPoint far(-40000, -40000);
  bar_->FrameMouseMove(far);
  bar_->FrameMouseUp(mbLeft, far);
  EXPECT_FALSE(main_->b_DisplayControlPanel);
  bool onScreen = false;
  for (QScreen* s : QGuiApplication::screens())
    onScreen = onScreen || s->geometry().intersects(panel_->frameGeometry());
  EXPECT_TRUE(onScreen) << panel_->x() << "," << panel_->y();
}

TEST_F(ControlBarTest, ButtonsForwardToTheControlPanel) {
  const std::string clip = player_test::SmallClip();
  if (clip.empty()) GTEST_SKIP() << "ffmpeg could not make the clip";
  CurrentPlayPath = clip;
  bar_->skImageButton_Play->Click();
  ASSERT_TRUE(WaitFor([] { return PlayState == psPlaying; }, 5000));
  EXPECT_EQ(main_->s_LastStatus, "Play");
  bar_->skImageButton_Pause->setEnabled(true);
  bar_->skImageButton_Pause->Click();
  EXPECT_EQ(PlayState, psPaused);
  bar_->skImageButton_Play->Click();
  EXPECT_EQ(PlayState, psPlaying) << "the bar's Play acts as the panel's own Play";
  bar_->skImageButton_Stop->setEnabled(true);
  bar_->skImageButton_Stop->Click();
  EXPECT_EQ(PlayType, ptNone);
  EXPECT_EQ(main_->s_LastStatus, "Stop") << "a stop with a sender is the user's stop";
}

TEST_F(ControlBarTest, RateVolumeAndMuteButtonsDoWhatThePanelsDo) {
  ASSERT_TRUE(ApplyDefaultSkin());
  const std::string clip = commands_test::MinuteClip();
  if (clip.empty()) GTEST_SKIP() << "ffmpeg could not make the clip";
  ASSERT_TRUE(PlayFile(clip));
  ASSERT_TRUE(bar_->skImageButton_FastForward->isEnabled());
  bar_->skImageButton_FastForward->Click();
  EXPECT_EQ(i_CurrentPlaybackRateIndex, 3);
  bar_->skImageButton_FastReverse->Click();
  EXPECT_EQ(i_CurrentPlaybackRateIndex, 2);
  EXPECT_EQ(main_->s_LastStatus, s_PlaybackRate[2]);

  // The rate button opens the panel's rate menu, marked at the current rate.
  QTest::mouseClick(bar_->skImageButton_PlaybackRate, Qt::LeftButton, {}, QPoint(3, 3));
  EXPECT_TRUE(WaitFor([this] { return panel_->PopupMenu_Playbackrate->isVisible(); }, 3000));
  ASSERT_EQ(panel_->PopupMenu_Playbackrate->Count(), 9);
  EXPECT_TRUE(panel_->PopupMenu_Playbackrate->Item(2)->Checked());
  panel_->PopupMenu_Playbackrate->close();

  panel_->VolumeBar->SetPosition(50, true);
  l_CurrentVolume = 50;
  // Five up, three down; the bars hold whole pixels, so allow one step of rounding.
  bar_->skImageButton_VolumeUp->Click();
  const int up = l_CurrentVolume;
  EXPECT_NEAR(up, 55, 1);
  EXPECT_EQ(panel_->VolumeBar->GetPosition(), bar_->VolumeBar->GetPosition());
  bar_->skImageButton_VolumeDown->Click();
  EXPECT_NEAR(l_CurrentVolume, up - 3, 1);
  EXPECT_LT(l_CurrentVolume, up);

  ASSERT_TRUE(bar_->skImageButton_Mute->isVisible());
  bar_->skImageButton_Mute->Click();
  EXPECT_EQ(l_CurrentVolume, 0);
  EXPECT_TRUE(main_->b_MuteState);
  EXPECT_TRUE(bar_->skImageButton_DeMute->isVisible());
  EXPECT_FALSE(bar_->skImageButton_Mute->isVisible());
  EXPECT_FALSE(panel_->skImageButton_Mute->isVisible()) << "the panel's pair follows";
  bar_->skImageButton_DeMute->Click();
  EXPECT_FALSE(main_->b_MuteState);
  EXPECT_GT(l_CurrentVolume, 0);
  EXPECT_TRUE(bar_->skImageButton_Mute->isVisible());
}

TEST_F(ControlBarTest, PressingTheBarsVolumeBarSetsTheVolumeAndMovesThePanelsBar) {
  ASSERT_TRUE(ApplyDefaultSkin());
  TFT_ProgressBar* bar = bar_->VolumeBar;
  ASSERT_TRUE(bar->Ready());
  ASSERT_NE(bar->Track(), nullptr);
  bar->SetPosition(10, true);
  // The track's far end: the volume goes up to what the bar then shows.
  TImage* track = bar->Track();
  const QPoint at(track->width() - 2, track->height() / 2);
  QTest::mousePress(track, Qt::LeftButton, {}, at);
  QTest::mouseRelease(track, Qt::LeftButton, {}, at);
  EXPECT_GT(bar->GetPosition(), 80);
  EXPECT_EQ(l_CurrentVolume, bar->GetPosition());
  EXPECT_EQ(panel_->VolumeBar->GetPosition(), bar->GetPosition());
}

TEST_F(ControlBarTest, ExMenuSetupEntriesReachThePanelsButtons) {
  // "Video Setup..." is the panel's video button: full screen on, then off again.
  bar_->RebuildExMenu();
  bar_->PopMenu_VideoSetup->trigger();
  EXPECT_TRUE(main_->b_FullScreen);
  panel_->skImageButton_VideoSetupClick(nullptr);
  EXPECT_FALSE(main_->b_FullScreen);

  // "Setup..." opens the settings dialog; closing it leaves no dialog behind.
  bool seen = false;
  QTimer closer;
  closer.setInterval(20);
  QObject::connect(&closer, &QTimer::timeout, [&seen, &closer] {
    // Only once the dialog's own loop runs: showing it pumps events, and a reject before its
    // loop starts would leave the loop waiting.
    if (!FT_LumoraDVD_SetupForm || !FT_LumoraDVD_SetupForm->isVisible() ||
        QThread::currentThread()->loopLevel() == 0)
      return;
    seen = true;
    closer.stop();
    FT_LumoraDVD_SetupForm->reject();
  });
  closer.start();
  bar_->PopMenu_AudioSetup->trigger();
  closer.stop();
  EXPECT_TRUE(seen);
  EXPECT_EQ(FT_LumoraDVD_SetupForm, nullptr);
}

TEST_F(ControlBarTest, OpenSubmenuMirrorsTheDrivesWhenTheExMenuOpens) {
  const std::string disc = commands_test::SampleDvd();
  std::vector<plat::OpticalDrive> drives{{"sr0", "/dev/sr0", "/dev/sr0", false},
                                         {"sr1", "/dev/sr1", disc.empty() ? "/x/" : disc, true}};
  plat::SetDrivesDouble([&drives] { return drives; });
  plat::SetVolumeLabelDouble([disc](const std::string& root, std::string& label) {
    label = "SAMPLE";
    return root == disc;
  });
  ASSERT_TRUE(bar_->RebuildExMenu());
  QMenu* open = bar_->PopMenu_Open->SubMenu();
  ASSERT_NE(open, nullptr);
  const std::vector<QString> twoDrives = Entries(open->actions());
  EXPECT_EQ(twoDrives, Entries(panel_->PopupMenu_Disc->actions()));
  ASSERT_EQ(twoDrives.size(), 6u) << "two drives, a separator and the three open entries";
  EXPECT_EQ(twoDrives[0], "sr0=/dev/sr0");
  EXPECT_TRUE(twoDrives[1].startsWith("sr1="));

  // A drive that went away since the panel's own menu was last built is gone here too.
  drives.pop_back();
  ASSERT_TRUE(bar_->RebuildExMenu());
  EXPECT_EQ(Entries(bar_->PopMenu_Open->SubMenu()->actions()),
            (std::vector<QString>{"sr0=/dev/sr0", "=-", "Open=Open File...",
                                  "OpenDVD=Open DVD Folder...", "OpenTV=Turn TV On"}));

  // Choosing a drive does what the panel's entry does: its disc plays.
  if (disc.empty()) GTEST_SKIP() << "sample DVD not built";
  drives = {{"sr1", "/dev/sr1", disc, true}};
  ASSERT_TRUE(bar_->RebuildExMenu());
  QAction* drive = bar_->PopMenu_Open->SubMenu()->actions().value(0);
  ASSERT_NE(drive, nullptr);
  drive->trigger();
  EXPECT_TRUE(WaitFor([] { return PlayType == ptDVD && PlayState == psPlaying; }, 10000));
}

TEST_F(ControlBarTest, SkinChangeKeepsTheBarsStateAndEmptiesItsPosition) {
  ASSERT_TRUE(ApplyDefaultSkin());
  const std::string skin = DefaultSkin();
  ASSERT_NE(bar_->ProgressBar, nullptr);
  // A seekable DVD plays: the panel enables its controls and the bar's twins.
  PlayType = ptDVD;
  b_CurrentPlaySupportSeek = true;
  panel_->EnablePlaybackControls(true);
  ASSERT_TRUE(bar_->ProgressBar->isEnabled());
  bar_->ProgressBar->SetPosition(40, false);
  ASSERT_GT(bar_->ProgressBar->GetPosition(), 30);
  ASSERT_TRUE(bar_->ProgressBar->findChild<QWidget*>("Fill")->isVisible());
  ASSERT_TRUE(main_->ApplySkin(skin));
  EXPECT_TRUE(bar_->skImageButton_Stop->isEnabled());
  EXPECT_TRUE(bar_->skImageButton_Pause->isEnabled());
  EXPECT_TRUE(bar_->ProgressBar->isEnabled());
  EXPECT_TRUE(bar_->skImageButton_NextChapter->isEnabled());
  // Emptied: no filled part and no head.
  EXPECT_EQ(bar_->ProgressBar->GetPosition(), 0);
  EXPECT_FALSE(bar_->ProgressBar->findChild<QWidget*>("Fill")->isVisible());
  EXPECT_FALSE(bar_->ProgressBar->findChild<QWidget*>("Head")->isVisible());

  panel_->EnablePlaybackControls(false);
  ASSERT_TRUE(main_->ApplySkin(skin));
  EXPECT_FALSE(bar_->skImageButton_Stop->isEnabled());
  EXPECT_FALSE(bar_->ProgressBar->isEnabled());
  EXPECT_FALSE(panel_->ProgressBar->isEnabled());
  PlayType = ptNone;
}

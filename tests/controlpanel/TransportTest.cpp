// The control panel's transport, time, volume, mute and docking, on real widgets and engines.
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "PanelTestSupport.h"
#include "platform/DropFiles.h"
#include "platform/Profile.h"
#include "player/mainwindow/Ft_lumoradvdshadowform.h"

using panel_test::PanelFixture;

namespace {

class TransportTest : public PanelFixture {
 protected:
  void SetUp() override {
    PanelFixture::SetUp();
    clip_ = panel_test::Clip(20);
  }
  bool PlayClip() {
    if (clip_.empty()) return false;
    return PlayFile(clip_);
  }
  int SavedVolume() const {
    return plat::GetPrivateProfileInt("GenOption", "l_CurrentVolume", -1, Home() + "Option.ini");
  }
  double Position() {
    double length = 0, position = 0;
    int32_t percent = 0;
    return GetPlayInfo(&length, &position, &percent) ? position : -1;
  }
  std::string clip_;
};

TEST_F(TransportTest, PlayButtonRestoresNormalSpeedAndOtherwiseOnlySaysPlay) {
  ASSERT_TRUE(PlayClip());
  EXPECT_EQ(Status(), "Play");
  panel_->skImageButton_FastForwardClick(nullptr);
  panel_->skImageButton_FastForwardClick(nullptr);
  EXPECT_EQ(i_CurrentPlaybackRateIndex, 4);
  EXPECT_EQ(Status(), "3X");

  panel_->PlayFromControl(panel_->Dynamic_Play);
  EXPECT_EQ(i_CurrentPlaybackRateIndex, kNormalRateIndex);
  EXPECT_EQ(Status(), "Play");
  main_->ShowStatus("x");
  panel_->PlayFromControl(panel_->skImageButton_Play);
  EXPECT_EQ(Status(), "Play");
  EXPECT_EQ(PlayState, psPlaying);
  EXPECT_EQ(CurrentPlayPath, clip_);
}

TEST_F(TransportTest, RatesWrapToNormalSpeedAndAreRefusedUnlessPlaying) {
  ASSERT_TRUE(PlayClip());
  i_CurrentPlaybackRateIndex = 8;
  panel_->skImageButton_FastForwardClick(nullptr);
  EXPECT_EQ(i_CurrentPlaybackRateIndex, kNormalRateIndex);
  EXPECT_EQ(Status(), "Play");
  panel_->skImageButton_FastReverseClick(nullptr);
  EXPECT_EQ(Status(), "1/2X");
  panel_->skImageButton_FastReverseClick(nullptr);
  EXPECT_EQ(Status(), "1/4X");
  panel_->skImageButton_FastReverseClick(nullptr);
  EXPECT_EQ(i_CurrentPlaybackRateIndex, kNormalRateIndex);
  EXPECT_EQ(Status(), "Play");

  panel_->skImageButton_PauseClick(nullptr);
  panel_->skImageButton_FastForwardClick(nullptr);
  EXPECT_EQ(i_CurrentPlaybackRateIndex, kNormalRateIndex);
  EXPECT_EQ(Status(), "Play");
}

TEST_F(TransportTest, PauseThenStepsOnAFileAndResumesOnTv) {
  ASSERT_TRUE(PlayClip());
  std::vector<std::string> said;
  for (int i = 0; i < 3; ++i) {
    panel_->skImageButton_PauseClick(nullptr);
    said.push_back(Status());
  }
  EXPECT_EQ(said, (std::vector<std::string>{"Pause", "StepForward", "StepForward"}));
  EXPECT_EQ(PlayState, psPaused);

  qputenv("LUMORA_TV", "sim:2,5");
  TMenuItem tv;
  tv.setObjectName("OpenTV");
  panel_->OpenFromMenu(&tv);
  qunsetenv("LUMORA_TV");
  ASSERT_EQ(PlayType, ptTV);
  EXPECT_EQ(Status(), "TV");
  panel_->skImageButton_PauseClick(nullptr);
  EXPECT_EQ(Status(), "Pause");
  panel_->skImageButton_PauseClick(nullptr);
  EXPECT_EQ(Status(), "Play");
  EXPECT_EQ(PlayState, psPlaying);
}

TEST_F(TransportTest, NothingPlayableOpensTheDialogOnceEvenForAVanishedChoice) {
  panel_->PlayFromControl(panel_->Dynamic_Play);
  EXPECT_EQ(dialogTitles_, std::vector<std::string>{"Load File to Play List"});
  EXPECT_NE(PlayState, psPlaying);

  // The chosen file is gone by the time it would play: no second dialog, nothing plays.
  dialogTitles_.clear();
  dialogAnswer_ = {Home() + "gone.mp4"};
  panel_->PlayFromControl(nullptr);
  EXPECT_EQ(dialogTitles_.size(), 1u);
  EXPECT_NE(PlayState, psPlaying);
  EXPECT_EQ(CurrentPlayPath, "");  // a missing file name is not kept as a disc folder
}

TEST_F(TransportTest, VolumeStepsStopAtTheEndsAndMuteRemembersTheBar) {
  ASSERT_TRUE(skinned_);
  ASSERT_TRUE(panel_->VolumeBar->Ready());
  panel_->VolumeBar->SetPosition(98, false);
  panel_->skImageButton_VolumeUpClick(nullptr);
  EXPECT_EQ(panel_->VolumeBar->GetPosition(), 100);
  EXPECT_EQ(l_CurrentVolume, 100);
  panel_->VolumeBar->SetPosition(2, false);
  panel_->skImageButton_VolumeDownClick(nullptr);
  EXPECT_EQ(panel_->VolumeBar->GetPosition(), 0);
  EXPECT_EQ(l_CurrentVolume, 0);

  panel_->VolumeBar->SetPosition(60, false);
  const int shown = panel_->VolumeBar->GetPosition();  // the bar holds whole pixels
  EXPECT_NEAR(shown, 60, 2);
  panel_->skImageButton_MuteClick(nullptr);
  EXPECT_EQ(l_CurrentVolume, 0);
  EXPECT_EQ(panel_->i_VolumeBeforeMute, shown);
  EXPECT_TRUE(main_->b_MuteState);
  EXPECT_FALSE(panel_->skImageButton_VolumeUp->isEnabled());
  EXPECT_FALSE(panel_->VolumeBar->isEnabled());
  EXPECT_FALSE(panel_->skImageButton_Mute->isVisibleTo(panel_));
  EXPECT_TRUE(panel_->skImageButton_DeMute->isVisibleTo(panel_));
  EXPECT_EQ(panel_->VolumeBar->GetPosition(), shown);  // the bar keeps showing the old volume

  panel_->skImageButton_DeMuteClick(nullptr);
  EXPECT_EQ(l_CurrentVolume, shown);
  EXPECT_FALSE(main_->b_MuteState);
  EXPECT_TRUE(panel_->skImageButton_VolumeDown->isEnabled());
  EXPECT_TRUE(panel_->skImageButton_Mute->isVisibleTo(panel_));

  // A lower volume set after the mute is the one saved, not the volume from before it.
  for (int i = 0; i < 10; ++i) panel_->skImageButton_VolumeDownClick(nullptr);
  const int lower = l_CurrentVolume;
  EXPECT_LT(lower, shown - 20);
  main_->SaveOptions();
  EXPECT_EQ(SavedVolume(), lower);
  // Muted, the options keep the volume the sound comes back to.
  panel_->skImageButton_MuteClick(nullptr);
  main_->SaveOptions();
  EXPECT_NEAR(SavedVolume(), lower, 1);  // the bar's whole pixels
}

TEST_F(TransportTest, DropsAndTheFullScreenButtonReachTheMainWindow) {
  ASSERT_FALSE(clip_.empty());
  // A file dropped on the panel plays as if dropped on the main window.
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(clip_))});
  QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(panel_, &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(panel_, &drop);
  EXPECT_TRUE(WaitFor([] { return PlayState == psPlaying; }, 5000));
  EXPECT_EQ(CurrentPlayPath, clip_);
  EXPECT_EQ(plat::OpenDropHandleCount(), 0u);

  // The panel's own screen button goes full screen and back.
  panel_->skImageButton_VideoSetupClick(panel_->skImageButton_VideoSetup);
  EXPECT_TRUE(main_->b_FullScreen);
  panel_->skImageButton_VideoSetupClick(panel_->skImageButton_VideoSetup);
  EXPECT_FALSE(main_->b_FullScreen);
}

TEST_F(TransportTest, TimeDigitsCountHoursModulo24) {
  ASSERT_TRUE(skinned_);
  panel_->ShowSeconds(3725);
  EXPECT_EQ(TimeShown(), "01:02:05");
  panel_->ShowSeconds(25 * 3600);
  EXPECT_EQ(TimeShown(), "01:00:00");
  EXPECT_EQ(panel_->i_CurrentSeconds, 3600);
}

TEST_F(TransportTest, RepeatAbSeeksBackIntoTheIntervalAndEndsWhenItCannot) {
  ASSERT_TRUE(PlayClip());
  main_->i_RepeatA = 5;
  main_->i_RepeatB = 8;
  main_->b_RepeatAB = true;
  panel_->ShowTime(8, 0, 0);  // B itself is outside
  EXPECT_TRUE(main_->b_RepeatAB);
  EXPECT_TRUE(WaitFor([&] { return std::abs(Position() - 5.0) < 0.6; }, 3000)) << Position();
  SeekSeconds(2);
  panel_->ShowTime(4, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return std::abs(Position() - 5.0) < 0.6; }, 3000)) << Position();
  panel_->ShowTime(6, 0, 0);  // inside: no seek
  EXPECT_TRUE(main_->b_RepeatAB);

  panel_->skImageButton_StopClick(nullptr);
  main_->i_RepeatA = 5;
  main_->i_RepeatB = 8;
  main_->b_RepeatAB = true;
  panel_->ShowTime(9, 0, 0);  // nothing plays: the seek fails and the repeat ends
  EXPECT_FALSE(main_->b_RepeatAB);
}

TEST_F(TransportTest, FileNameGoesAfterTenSecondsOfVideo) {
  ASSERT_TRUE(PlayClip());
  b_NoVideo = false;  // a picture was found when the window was fitted
  panel_->Timer_GetFileProgressTimer(nullptr);
  EXPECT_FALSE(main_->Label_CurrentPlayFileName->Caption().isEmpty());
  SeekSeconds(12);
  ASSERT_TRUE(WaitFor([&] { return Position() > 10.5; }, 4000));
  panel_->Timer_GetFileProgressTimer(nullptr);
  EXPECT_TRUE(main_->Label_CurrentPlayFileName->Caption().isEmpty());
  EXPECT_TRUE(main_->Label_CurrentPlayFileName->Hint().isEmpty());
  EXPECT_GE(panel_->i_CurrentSeconds, 10);
  EXPECT_GT(panel_->ProgressBar->GetPositionF(), 50.0f);

  // The timer stops itself once the media engine has nothing to tell.
  ClosePlayback();
  panel_->Timer_GetFileProgressTimer(nullptr);
  EXPECT_FALSE(panel_->Timer_GetFileProgress->Enabled());
}

TEST_F(TransportTest, StopWithoutSenderKeepsTheDvdDigitsAndSaysNothing) {
  ASSERT_TRUE(PlayClip());
  panel_->ShowTitleNumber(3);
  panel_->ShowChapterNumber(12);
  main_->ShowStatus("before");
  panel_->skImageButton_StopClick(nullptr);
  auto digit = [&](const char* n) { return panel_->findChild<TFT_DigitalImage*>(n)->ShownDigit(); };
  EXPECT_EQ(digit("DI_Title1"), 3);
  EXPECT_EQ(digit("DI_Chapter10"), 1);
  EXPECT_EQ(Status(), "before");
  EXPECT_EQ(PlayState, psStopped);
  EXPECT_FALSE(panel_->skImageButton_Stop->isEnabled());

  panel_->skImageButton_StopClick(panel_->skImageButton_Stop);
  EXPECT_EQ(digit("DI_Title1"), 0);
  EXPECT_EQ(digit("DI_Chapter10"), 0);
  EXPECT_EQ(Status(), "Stop");
  EXPECT_TRUE(b_NoVideo);
}

TEST_F(TransportTest, ControlsFollowWhatPlays) {
  ASSERT_TRUE(PlayClip());
  EXPECT_TRUE(panel_->skImageButton_Pause->isEnabled());
  EXPECT_TRUE(panel_->Timer_GetFileProgress->Enabled());
  EXPECT_FALSE(panel_->skImageButton_NextChapter->isEnabled());  // a file has no chapters
  EXPECT_FALSE(panel_->skImageButton_SubPicture->isEnabled());
  EXPECT_EQ(panel_->skImageButton_FastForward->isEnabled(), b_CurrentPlaySupportSeek);
  EXPECT_EQ(panel_->ProgressBar->isEnabled(), b_CurrentPlaySupportSeek);
  panel_->skImageButton_StopClick(panel_->skImageButton_Stop);
  EXPECT_FALSE(panel_->skImageButton_Pause->isEnabled());
  EXPECT_FALSE(panel_->ProgressBar->isEnabled());
  EXPECT_TRUE(panel_->skImageButton_VideoSetup->isEnabled());
}

TEST_F(TransportTest, ChapterButtonsStopAtTheFirstAndLastChapter) {
  const std::string disc = panel_test::SampleDvd();
  if (disc.empty()) GTEST_SKIP() << "sample DVD not built";
  CurrentPlayPath = disc;
  panel_->PlayFromControl(nullptr);
  ASSERT_EQ(PlayType, ptDVD);
  ASSERT_TRUE(JumpDVDTitle(1));
  ASSERT_TRUE(
      WaitFor([&] { return main_->i_CurrentTitle == 1 && main_->i_CurrentChapter == 1; }, 8000));
  EXPECT_EQ(panel_->i_ChapterCount, 3);
  main_->ShowStatus("x");
  panel_->skImageButton_NextChapterClick(panel_->skImageButton_PreviousChapter);
  EXPECT_EQ(Status(), "x");
  panel_->skImageButton_NextChapterClick(panel_->skImageButton_NextChapter);
  EXPECT_EQ(Status(), "Chapter 2");
  EXPECT_TRUE(WaitFor([&] { return main_->i_CurrentChapter == 2; }, 5000));
  main_->i_CurrentChapter = 3;
  main_->ShowStatus("x");
  panel_->skImageButton_NextChapterClick(nullptr);
  EXPECT_EQ(Status(), "x");
}

TEST_F(TransportTest, DraggingOverTheMainWindowFootDocksTheBar) {
  ASSERT_TRUE(skinned_);
  main_->SetControlBarDocked(false);
  main_->move(100, 100);
  panel_->show();
  panel_->move(700, 600);
  const QPoint press = panel_->pos() + QPoint(5, 5);
  panel_->FormMouseDown(mbLeft, press);
  // Over the main window's bottom edge, near its left side.
  const QPoint target(main_->x() + 10, main_->y() + main_->height() - 10);
  panel_->FormMouseMove(press + (target - panel_->pos()));
  EXPECT_EQ(panel_->pos(), target);
  EXPECT_TRUE(panel_->b_DockPreview);
  EXPECT_TRUE(FT_LumoraDVD_ShadowForm->isVisible());
  EXPECT_EQ(FT_LumoraDVD_ShadowForm->geometry().top(), main_->y() + main_->height());
  panel_->FormMouseUp();
  EXPECT_TRUE(main_->b_DisplayControlPanel);
  EXPECT_FALSE(FT_LumoraDVD_ShadowForm->isVisible());

  // Far away: no preview; in full screen never.
  main_->SetControlBarDocked(false);
  panel_->FormMouseDown(mbLeft, QPoint(0, 0));
  panel_->FormMouseMove(QPoint(600, 600));
  EXPECT_FALSE(panel_->b_DockPreview);
  panel_->FormMouseUp();
  main_->b_FullScreen = true;
  panel_->move(700, 600);
  panel_->FormMouseDown(mbLeft, press);
  panel_->FormMouseMove(press + (target - panel_->pos()));
  EXPECT_FALSE(panel_->b_DockPreview);
  panel_->FormMouseUp();
  EXPECT_FALSE(main_->b_DisplayControlPanel);
  main_->b_FullScreen = false;
}

}  // namespace

// The popup menu and its DVD submenus, A-B repeat, the shortcut keys and the status display.
#include <QApplication>
#include <QKeyEvent>
#include <QTest>

#include "CommandsTestSupport.h"
#include "platform/VideoSurface.h"
#include "player/core/EngineApi.h"
#include "player/widgets/TImage.h"
#include "player/widgets/TTimer.h"
#include "player/widgets/TskImageButton.h"

using commands_test::CommandsFixture;
using commands_test::FakeDvdInfo;
using commands_test::WaitFor;

namespace {

QStringList Captions(TMenuItem* sub) {
  QStringList out;
  for (int i = 0; i < sub->Count(); ++i) out << sub->Item(i)->Caption();
  return out;
}

QString DefaultName(TMenuItem* sub) {
  QAction* a = sub->SubMenu() ? sub->SubMenu()->defaultAction() : nullptr;
  return a ? a->objectName() : QString();
}

}  // namespace

class MenuTest : public CommandsFixture {};

TEST_F(MenuTest, RightButtonOpensTheMenuWithDvdEntriesOffWhenNothingPlays) {
  TPanel* video = main_->Panel_MainForm_Center;
  ASSERT_NE(main_->PopupMenu_Main, nullptr);
  panel_->EnablePlaybackControls(false);  // as start-up leaves them
  QTest::mouseClick(video, Qt::RightButton, {}, QPoint(50, 50));
  ASSERT_TRUE(WaitFor([this] { return main_->PopupMenu_Main->isVisible(); }, 2000));
  for (TMenuItem* e : {main_->PopMenu_Title, main_->PopMenu_Chapter, main_->PopMenu_Subtitle,
                       main_->PopMenu_Audio, main_->PopMenu_Angle, main_->PopMenu_Stop,
                       main_->PopMenu_Pause, main_->PopMenu_Zoom, main_->PopMenu_Repeat})
    EXPECT_FALSE(e->Enabled()) << e->objectName().toStdString();
  EXPECT_EQ(main_->PopMenu_FullScreen->Caption(), "Full");
  EXPECT_EQ(main_->PopMenu_Play->Caption(), "Play" + QString(33, ' '));
  main_->PopupMenu_Main->hide();
  // Over the idle picture as well.
  b_NoVideo = true;
  panel_->EnablePlaybackControls(false);
  ASSERT_TRUE(main_->Image_MainForm_Center->isVisible());
  main_->Image_MainForm_Center->setEnabled(false);  // as the shipped skins have it
  // Through the window, so the widget under the pointer is picked as on a screen.
  QTest::mouseClick(main_->windowHandle(), Qt::RightButton, {},
                    main_->Panel_MainForm_Center->mapTo(main_, QPoint(50, 50)));
  EXPECT_TRUE(WaitFor([this] { return main_->PopupMenu_Main->isVisible(); }, 2000));
  main_->PopupMenu_Main->hide();
  // A left click opens nothing.
  QTest::mouseClick(video, Qt::LeftButton, {}, QPoint(50, 50));
  plat::PumpMessages(50);
  EXPECT_FALSE(main_->PopupMenu_Main->isVisible());
}

TEST_F(MenuTest, AspectDefaultAndFullScreenCaptionFollowTheState) {
  MyAspectRatioState = 2;
  main_->RefreshMainMenu();
  EXPECT_EQ(DefaultName(main_->PopMenu_AspectRatio), "PopMenu_AlwaysNormal");
  EXPECT_TRUE(main_->PopMenu_SetFit->Enabled());
  // Nothing with a picture is open: the choice changes nothing.
  main_->PopMenu_FillScreen->trigger();
  EXPECT_EQ(MyAspectRatioState, 2);
  main_->EnterFullScreen();
  main_->RefreshMainMenu();
  EXPECT_EQ(main_->PopMenu_FullScreen->Caption(), "Restore");
  EXPECT_FALSE(main_->PopMenu_SetFit->Enabled());
}

TEST_F(MenuTest, TitleAndChapterSubmenusNameTheirEntriesAndMarkTheCurrentOne) {
  FakeDvdInfo info;
  SetDvdInterfacesDouble(&info, &info);
  main_->i_CurrentTitle = 2;
  main_->i_CurrentChapter = 3;
  main_->RefreshMainMenu();
  EXPECT_TRUE(main_->PopMenu_Title->Enabled());
  EXPECT_EQ(Captions(main_->PopMenu_Title),
            QStringList({"Root Menu", "Title Menu", "-", "Title 1", "Title 2", "Title 3"}));
  EXPECT_EQ(DefaultName(main_->PopMenu_Title), "ti2");
  EXPECT_EQ(Captions(main_->PopMenu_Chapter),
            QStringList({"Chapter 1", "Chapter 2", "Chapter 3", "Chapter 4"}));
  EXPECT_EQ(DefaultName(main_->PopMenu_Chapter), "ch3");
  // A rebuild replaces the entries instead of adding to them.
  info.titles = 1;
  main_->RefreshMainMenu();
  EXPECT_EQ(main_->PopMenu_Title->Count(), 4);
}

TEST_F(MenuTest, AngleSubmenuNeedsMoreThanOneAngle) {
  FakeDvdInfo info;
  SetDvdInterfacesDouble(&info, &info);
  info.angles = 3;
  info.angle = 2;
  main_->RefreshMainMenu();
  EXPECT_TRUE(main_->PopMenu_Angle->Enabled());
  EXPECT_EQ(Captions(main_->PopMenu_Angle), QStringList({"Angel 1", "Angel 2", "Angel 3"}));
  EXPECT_EQ(main_->PopMenu_Angle->Item(1)->objectName(), "ch2");
  EXPECT_EQ(DefaultName(main_->PopMenu_Angle), "ch2");
  info.angles = 1;
  main_->RefreshMainMenu();
  EXPECT_FALSE(main_->PopMenu_Angle->Enabled());
  EXPECT_EQ(main_->PopMenu_Angle->Count(), 0);
}

TEST_F(MenuTest, SubtitleSubmenuShowsTheOffStateAndFailsWholeOnOneBadStream) {
  FakeDvdInfo info;
  SetDvdInterfacesDouble(&info, &info);
  info.subOff = 1;
  info.sub = 1;
  main_->RefreshMainMenu();
  TMenuItem* sub = main_->PopMenu_Subtitle;
  ASSERT_TRUE(sub->Enabled());
  ASSERT_EQ(sub->Count(), 4);
  EXPECT_EQ(sub->Item(0)->objectName(), "DisableSubpicture");
  EXPECT_EQ(sub->Item(0)->Caption(), "Disable Subtitle");
  EXPECT_TRUE(sub->Item(0)->Checked());
  EXPECT_EQ(DefaultName(sub), "DisableSubpicture");
  EXPECT_EQ(sub->Item(2)->objectName(), "sp0");
  EXPECT_EQ(sub->Item(3)->objectName(), "sp1");
  EXPECT_FALSE(sub->Item(2)->Checked());
  EXPECT_FALSE(sub->Item(3)->Checked());

  info.subOff = 0;
  main_->RefreshMainMenu();
  EXPECT_FALSE(sub->Item(0)->Checked());
  EXPECT_TRUE(sub->Item(3)->Checked());
  EXPECT_EQ(DefaultName(sub), "sp1");

  info.fail = navdisc::E_FAIL;
  main_->RefreshMainMenu();
  EXPECT_FALSE(sub->Enabled());
  EXPECT_EQ(sub->Count(), 0);
  // The audio submenu does not depend on the subtitle streams.
  EXPECT_TRUE(main_->PopMenu_Audio->Enabled());
}

TEST_F(MenuTest, AudioEntriesAreNamedAfterTheirLanguage) {
  FakeDvdInfo info;
  SetDvdInterfacesDouble(&info, &info);
  info.audioStreams = 3;
  info.audioLcid = {1033, 0, 99999};
  info.audio = 2;
  main_->RefreshMainMenu();
  const QStringList captions = Captions(main_->PopMenu_Audio);
  ASSERT_EQ(captions.size(), 3);
  EXPECT_FALSE(captions[0].isEmpty());
  EXPECT_EQ(captions[1], "Unknown");
  EXPECT_EQ(captions[2], "Unknown");
  EXPECT_EQ(DefaultName(main_->PopMenu_Audio), "lg2");
  EXPECT_EQ(TFT_LumoraDVD_OperationForm::LanguageName(0), "Unknown");
}

TEST_F(MenuTest, SubtitleAndAudioEntriesActThroughTheControlPanel) {
  FakeDvdInfo info;
  SetDvdInterfacesDouble(&info, &info);
  info.subOff = 1;
  main_->RefreshMainMenu();
  TMenuItem* subs = main_->PopMenu_Subtitle;
  ASSERT_EQ(subs->Count(), 4);
  // The panel tracks the main window's entries, so its handler updates these marks.
  EXPECT_EQ(panel_->DisableSubpictureItem.data(), subs->Item(0));
  EXPECT_EQ(panel_->CurrentSubpictureItem.data(), subs->Item(2));

  subs->Item(3)->trigger();  // French
  EXPECT_EQ(info.calls, (std::vector<std::string>{"sub 1", "subs on"}));
  EXPECT_TRUE(subs->Item(3)->Checked());
  EXPECT_FALSE(subs->Item(2)->Checked());
  EXPECT_FALSE(subs->Item(0)->Checked());
  EXPECT_TRUE(panel_->b_SubpictureChosen);
  // The shown subtitle again: its display goes off.
  info.calls.clear();
  subs->Item(3)->trigger();
  EXPECT_EQ(info.calls, (std::vector<std::string>{"subs off"}));
  EXPECT_TRUE(subs->Item(0)->Checked());

  TMenuItem* audio = main_->PopMenu_Audio;
  ASSERT_EQ(audio->Count(), 2);
  info.calls.clear();
  audio->Item(0)->trigger();  // already current: nothing is sent
  EXPECT_TRUE(info.calls.empty());
  EXPECT_TRUE(audio->Item(0)->Checked());
  audio->Item(1)->trigger();
  EXPECT_EQ(info.calls, (std::vector<std::string>{"audio 1"}));
  EXPECT_EQ(panel_->CurrentAudioItem.data(), audio->Item(1));
  EXPECT_FALSE(audio->Item(0)->Checked());
}

TEST_F(MenuTest, FastForwardAndReverseEntriesStepTheRate) {
  const std::string clip = commands_test::MinuteClip();
  if (clip.empty()) GTEST_SKIP() << "ffmpeg could not make the clip";
  ASSERT_TRUE(PlayFile(clip));
  main_->RefreshMainMenu();
  ASSERT_EQ(i_CurrentPlaybackRateIndex, 2);
  main_->PopMenu_FastForward->trigger();
  EXPECT_EQ(i_CurrentPlaybackRateIndex, 3);
  EXPECT_EQ(main_->s_LastStatus, s_PlaybackRate[3]);
  main_->PopMenu_FastReverse->trigger();
  main_->PopMenu_FastReverse->trigger();
  EXPECT_EQ(i_CurrentPlaybackRateIndex, 1);
  EXPECT_EQ(main_->s_LastStatus, s_PlaybackRate[1]);
}

class RepeatTest : public CommandsFixture {};

TEST_F(RepeatTest, PointsSwapAndRepeatStartsOnlyWhenTheSeekWorks) {
  // Nothing plays: the points are kept but repeat cannot start.
  panel_->i_CurrentSeconds = 0;
  main_->PopMenu_SetAClick(nullptr);
  main_->RefreshMainMenu();
  EXPECT_FALSE(main_->PopMenu_SetB->Enabled()) << "a point of 0 counts as not set";
  panel_->i_CurrentSeconds = 50;
  main_->PopMenu_SetAClick(nullptr);
  panel_->i_CurrentSeconds = 20;
  main_->PopMenu_SetBClick(nullptr);
  EXPECT_EQ(main_->i_RepeatA, 20);
  EXPECT_EQ(main_->i_RepeatB, 50);
  EXPECT_FALSE(main_->b_RepeatAB);
  main_->RefreshMainMenu();
  EXPECT_TRUE(main_->PopMenu_RepeatAB->Enabled());
  EXPECT_FALSE(main_->PopMenu_NoRepeat->Enabled());

  const std::string clip = commands_test::MinuteClip();
  if (clip.empty()) GTEST_SKIP() << "ffmpeg could not make the clip";
  ASSERT_TRUE(PlayFile(clip));
  // Playing resets nothing set after the start; set the points again on the playing file.
  main_->i_RepeatA = -1;
  main_->i_RepeatB = 30;
  panel_->i_CurrentSeconds = 40;
  main_->PopMenu_SetAClick(nullptr);
  EXPECT_EQ(main_->i_RepeatA, 30);
  EXPECT_EQ(main_->i_RepeatB, 40);
  EXPECT_TRUE(main_->b_RepeatAB);
  double duration = 0, position = 0;
  int32_t percent = 0;
  EXPECT_TRUE(WaitFor(
      [&] { return GetPlayInfo(&duration, &position, &percent) && position >= 29.0; }, 3000));
  main_->RefreshMainMenu();
  EXPECT_FALSE(main_->PopMenu_RepeatAB->Enabled());
  EXPECT_TRUE(main_->PopMenu_NoRepeat->Enabled());
  main_->PopMenu_NoRepeatClick(nullptr);
  EXPECT_FALSE(main_->b_RepeatAB);
  EXPECT_EQ(main_->i_RepeatA, 30);
  main_->PopMenu_ClearABClick(nullptr);
  EXPECT_EQ(main_->i_RepeatA, -1);
  EXPECT_EQ(main_->i_RepeatB, -1);
}

class KeysTest : public CommandsFixture {
 protected:
  void Key(Qt::Key key, bool autoRepeat = false, QWidget* to = nullptr) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(to ? to : main_, &press);
  }
};

TEST_F(KeysTest, SpaceDoesNothingWhileStoppedPausesAndResumes) {
  Key(Qt::Key_Space);
  plat::PumpMessages(50);
  EXPECT_EQ(PlayType, ptNone);
  EXPECT_NE(PlayState, psPlaying);

  const std::string clip = player_test::SmallClip();
  if (clip.empty()) GTEST_SKIP() << "ffmpeg could not make the clip";
  ASSERT_TRUE(PlayFile(clip));
  Key(Qt::Key_Space);
  EXPECT_EQ(PlayState, psPaused);
  EXPECT_EQ(main_->s_LastStatus, "Pause");
  // Held down, the key repeats; a held Space must not flip the state back and forth.
  for (int i = 0; i < 20; ++i) Key(Qt::Key_Space, true);
  EXPECT_EQ(PlayState, psPaused);
  Key(Qt::Key_Space);
  EXPECT_EQ(PlayState, psPlaying);
  EXPECT_EQ(main_->s_LastStatus, "Play");
}

TEST_F(KeysTest, KeysReachTheWindowBeforeItsFocusedControl) {
  // A focused button of the window would take Space as its own click.
  auto* exit = main_->findChild<TskImageButton*>("skImageButton_Exit");
  ASSERT_NE(exit, nullptr);
  bool clicked = false;
  exit->OnClick = [&](QObject*) { clicked = true; };
  exit->setFocus();
  Key(Qt::Key_Space, false, exit);
  EXPECT_FALSE(clicked);
  // Other keys are left to the control.
  bool handled = true;
  main_->FormShortCut('A', handled);
  EXPECT_FALSE(handled);
  main_->FormShortCut(37, handled);
  EXPECT_TRUE(handled) << "arrows are consumed even without a DVD";
}

TEST_F(KeysTest, ArrowsAndEnterDriveTheDiscMenu) {
  const std::string disc = commands_test::SampleDvd();
  if (disc.empty()) GTEST_SKIP() << "sample DVD not built";
  ASSERT_TRUE(StartDVD(disc));
  auto* info = GetIDvdInfo2();
  ASSERT_NE(info, nullptr);
  uint32_t available = 0, first = 0;
  ASSERT_TRUE(WaitFor(
      [&] { return info->GetCurrentButton(&available, &first) >= 0 && available >= 3; }, 10000));
  Key(Qt::Key_Down);
  uint32_t now = 0;
  ASSERT_TRUE(
      WaitFor([&] { return info->GetCurrentButton(&available, &now) >= 0 && now != first; }, 5000));
  Key(Qt::Key_Up);
  EXPECT_TRUE(
      WaitFor([&] { return info->GetCurrentButton(&available, &now) >= 0 && now == first; }, 5000));
  // Enter activates the first button, which plays title 1.
  Key(Qt::Key_Return);
  EXPECT_TRUE(WaitFor([this] { return main_->i_CurrentTitle == 1; }, 10000));
}

class StatusTest : public CommandsFixture {
 protected:
  void SetUp() override {
    CommandsFixture::SetUp();
    // The start sequence makes the two status panels.
    for (QWidget** slot : {reinterpret_cast<QWidget**>(&main_->Panel_Status),
                           reinterpret_cast<QWidget**>(&full_->Panel_Status)}) {
      auto* p = new TPanel(slot == reinterpret_cast<QWidget**>(&main_->Panel_Status)
                               ? static_cast<QWidget*>(main_->Panel2)
                               : static_cast<QWidget*>(full_));
      p->hide();
      *slot = p;
    }
  }
  void Tick(int n) {
    for (int i = 0; i < n; ++i) main_->Timer_DisplayStatusTimer(nullptr);
  }
};

TEST_F(StatusTest, TextHidesAtTheFifthTickButPauseStays) {
  main_->ShowStatus("Stop");
  ASSERT_TRUE(main_->Panel_Status->isVisibleTo(main_));
  EXPECT_TRUE(main_->Timer_DisplayStatus->Enabled());
  Tick(4);
  EXPECT_TRUE(main_->Panel_Status->isVisibleTo(main_));
  Tick(1);
  EXPECT_FALSE(main_->Panel_Status->isVisibleTo(main_));
  EXPECT_FALSE(full_->Panel_Status->isVisibleTo(full_));
  EXPECT_FALSE(main_->Timer_DisplayStatus->Enabled());

  main_->ShowStatus("Play");
  Tick(2);
  main_->ShowStatus("Pause");
  EXPECT_FALSE(main_->Timer_DisplayStatus->Enabled());
  EXPECT_TRUE(main_->Panel_Status->isVisibleTo(main_));
  EXPECT_EQ(main_->i_StatusTicks, 0);
}

TEST_F(StatusTest, ShapeIsTheTextAndPausedPlaybackFallsBackToPause) {
  main_->ShowStatus("Chapter 2");
  TPanel* p = main_->Panel_Status;
  const QRegion shape = p->mask();
  ASSERT_FALSE(shape.isEmpty());
  // Only the letters show: the shape is much smaller than its box and lies inside it.
  int area = 0;
  for (const QRect& r : shape) area += r.width() * r.height();
  EXPECT_LT(area, p->width() * p->height() / 2);
  EXPECT_TRUE(QRect(QPoint(0, 0), p->size()).contains(shape.boundingRect()));
  EXPECT_EQ(full_->Panel_Status->size(), p->size());
  // Clicks go through to the video.
  EXPECT_TRUE(p->testAttribute(Qt::WA_TransparentForMouseEvents));

  PlayState = psPaused;
  Tick(5);
  EXPECT_EQ(main_->s_LastStatus, "Pause");
  EXPECT_TRUE(p->isVisibleTo(main_));
  PlayState = psIdle;
}

class VideoMouseTest : public CommandsFixture {};

TEST_F(VideoMouseTest, DiscMenuButtonsFollowThePointerWhereThePictureReallyIs) {
  const std::string disc = commands_test::SampleDvd();
  if (disc.empty()) GTEST_SKIP() << "sample DVD not built";
  main_->resize(900, 500);  // wider than the 4:3 menu: the picture sits letterboxed
  ASSERT_TRUE(StartDVD(disc));
  auto* info = GetIDvdInfo2();
  uint32_t available = 0, current = 0;
  ASSERT_TRUE(WaitFor(
      [&] { return info && info->GetCurrentButton(&available, &current) >= 0 && available >= 3; },
      10000));
  main_->ApplyAspectMode();
  plat::PumpMessages(100);
  TPanel* video = main_->Panel_MainForm_Center;
  const LumoraRect r = plat::LetterboxRect({0, 0, video->width(), video->height()}, 4.0 / 3.0);
  // Picture point (x, y) of the 720x576 menu, in the video panel.
  auto at = [&](int x, int y) {
    return QPoint(r.left + x * r.width / 720, r.top + y * r.height / 576);
  };
  QTest::mouseMove(video, at(360, 300));  // the second button
  ASSERT_TRUE(WaitFor([&] { return main_->b_OverDVDButton; }, 2000));
  EXPECT_EQ(video->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_TRUE(WaitFor(
      [&] { return info->GetCurrentButton(&available, &current) >= 0 && current == 2; }, 2000));
  // Left of the picture, in the black band, there is no button.
  QTest::mouseMove(video, QPoint(r.left / 2, at(0, 300).y()));
  EXPECT_TRUE(WaitFor([&] { return !main_->b_OverDVDButton; }, 2000));
  EXPECT_NE(video->cursor().shape(), Qt::PointingHandCursor);
  // A left press on the third button plays title 3.
  QTest::mouseClick(video, Qt::LeftButton, {}, at(360, 420));
  EXPECT_TRUE(WaitFor([this] { return main_->i_CurrentTitle == 3; }, 10000));
}

// The control bar: forwarding to the control panel, dragging it out, the "Ex" menu and its
// state after a skin change.
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "CommandsTestSupport.h"
#include "mainwindow/Ft_lumoradvdshadowform.h"
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

TEST_F(ControlBarTest, SkinChangeKeepsTheBarsStateAndEmptiesItsPosition) {
  const std::string skin = qEnvironmentVariable("LUMORA_BIN_DIR").toStdString() + "/Skin/Default/";
  if (!QFileInfo(QString::fromStdString(skin + "Skin.ini")).exists())
    GTEST_SKIP() << "the Default skin is not built";
  ASSERT_TRUE(main_->ApplySkin(skin));
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

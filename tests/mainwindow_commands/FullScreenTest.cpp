// Full screen: entering and leaving, the sliding bar, the cursor, clicks on the picture and
// the keys.
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTest>

#include "CommandsTestSupport.h"
#include "platform/Shell.h"
#include "player/widgets/TTimer.h"

using commands_test::CommandsFixture;

class FullScreenTest : public CommandsFixture {
 protected:
  void SetUp() override {
    CommandsFixture::SetUp();
    main_->i_ControlPanelHeight = 70;
    main_->SetControlBarDocked(true);
  }
  void Key(Qt::Key key, QWidget* to) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(to, &press);
  }
  void MoveTo(int y) { full_->Panel_MainForm_CenterMouseMove(nullptr, {}, 100, y); }
};

TEST_F(FullScreenTest, EnteringAndLeavingRestoresTheMainWindowAndTheBar) {
  const QRect before = main_->geometry();
  const HWND video = h_CurrentPreviewWindow;
  main_->EnterFullScreen();
  EXPECT_TRUE(main_->b_FullScreen);
  EXPECT_TRUE(full_->isVisible());
  EXPECT_EQ(full_->geometry(), main_->screen()->geometry());
  EXPECT_EQ(bar_->parentWidget(), full_->Panel_ControlPanel);
  EXPECT_EQ(plat::WidgetFromHandle(h_CurrentPreviewWindow), full_->Panel_MainForm_Center);
  EXPECT_EQ(full_->Panel_ControlPanel->height(), 0) << "the bar waits at the bottom edge";
  // A second request changes nothing.
  main_->EnterFullScreen();

  main_->LeaveFullScreen();
  EXPECT_FALSE(main_->b_FullScreen);
  EXPECT_FALSE(full_->isVisible());
  EXPECT_EQ(main_->geometry(), before);
  EXPECT_EQ(h_CurrentPreviewWindow, video);
  EXPECT_EQ(bar_->parentWidget(), main_->Panel_ControlPanel);
  EXPECT_EQ(bar_->x(), (main_->Panel_ControlPanel->width() - bar_->width()) / 2);
  EXPECT_GE(full_->CursorShowCount(), 0);
}

TEST_F(FullScreenTest, TheBarComesUpBelowTheThresholdAndStaysWhenPinned) {
  main_->EnterFullScreen();
  const int H = full_->height();
  MoveTo(H - 35);
  EXPECT_FALSE(full_->BarShown()) << "the pointer must be lower than height - 35";
  MoveTo(H - 34);
  ASSERT_TRUE(full_->BarShown());
  EXPECT_EQ(full_->Panel_ControlPanel->height(), 70);
  EXPECT_EQ(bar_->x(), (full_->Panel_ControlPanel->width() - bar_->width()) / 2);
  MoveTo(H / 2);
  EXPECT_FALSE(full_->BarShown());

  MoveTo(H - 1);
  full_->Panel_ControlPanelClick(nullptr);
  MoveTo(H / 2);
  EXPECT_TRUE(full_->BarShown()) << "a click on the strip pins the bar";
  full_->Panel_MainForm_CenterMouseDown(nullptr, mbLeft, {}, 100, H / 2);
  EXPECT_FALSE(full_->BarShown()) << "a press on the picture lets it go";
  EXPECT_FALSE(full_->b_BarPinned);
}

TEST_F(FullScreenTest, CursorHidesOnTicksUntilTheBarWasShownOnce) {
  main_->EnterFullScreen();
  EXPECT_TRUE(full_->Timer_Cursor->Enabled());
  full_->Timer_CursorTimer(nullptr);
  EXPECT_LT(full_->CursorShowCount(), 0);
  EXPECT_EQ(QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape()
                                              : Qt::ArrowCursor,
            Qt::BlankCursor);
  MoveTo(10);  // any mouse event shows it
  EXPECT_GE(full_->CursorShowCount(), 0);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(full_->Timer_Cursor->Enabled());

  MoveTo(full_->height() - 1);
  EXPECT_FALSE(full_->Timer_Cursor->Enabled());
  MoveTo(10);
  EXPECT_FALSE(full_->Timer_Cursor->Enabled()) << "once shown, the bar stops the hiding for good";

  main_->LeaveFullScreen();
  main_->EnterFullScreen();
  EXPECT_TRUE(full_->Timer_Cursor->Enabled()) << "a new full-screen period hides again";
  full_->Timer_CursorTimer(nullptr);
  main_->LeaveFullScreen();
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "leaving shows the cursor";
}

TEST_F(FullScreenTest, ClicksOnThePictureToggleTheFloatingPanelButNotOnADvdButton) {
  main_->SetControlBarDocked(false);
  panel_->show();
  main_->EnterFullScreen();
  ASSERT_TRUE(full_->b_ControlPanelInFront);
  full_->Panel_MainForm_CenterClick(nullptr);
  EXPECT_FALSE(full_->b_ControlPanelInFront);
  EXPECT_FALSE(full_->b_KeepCursor);
  full_->Panel_MainForm_CenterClick(nullptr);
  EXPECT_TRUE(full_->b_ControlPanelInFront);
  EXPECT_TRUE(full_->b_KeepCursor);

  full_->b_HitDVDButton = true;
  full_->Panel_MainForm_CenterClick(nullptr);
  EXPECT_TRUE(full_->b_ControlPanelInFront);
  EXPECT_FALSE(full_->b_HitDVDButton);

  // Without the floating panel nothing toggles.
  panel_->hide();
  full_->Panel_MainForm_CenterClick(nullptr);
  EXPECT_TRUE(full_->b_ControlPanelInFront);
}

TEST_F(FullScreenTest, EscapeLeavesAndLettersDoNothing) {
  main_->EnterFullScreen();
  bool handled = false;
  full_->FormShortCut('A', handled);
  EXPECT_TRUE(handled) << "every key is consumed in full screen";
  Key(Qt::Key_A, full_);
  EXPECT_TRUE(main_->b_FullScreen);
  // Escape many times: the first leaves, the rest find the main window and do nothing.
  for (int i = 0; i < 10; ++i)
    Key(Qt::Key_Escape, main_->b_FullScreen ? static_cast<QWidget*>(full_) : main_);
  EXPECT_FALSE(main_->b_FullScreen);
  EXPECT_EQ(bar_->parentWidget(), main_->Panel_ControlPanel);
}

TEST_F(FullScreenTest, EscapeInZoomLeavesZoomFirstThenFullScreen) {
  main_->EnterFullScreen();
  main_->EnterZoomMode();
  ASSERT_TRUE(main_->b_ZoomMode);
  ASSERT_TRUE(FT_LumoraDVD_ShadowForm->isVisible());
  // In zoom a double click on the picture is the selector's, not a way out.
  full_->Panel_MainForm_CenterDblClick(nullptr);
  EXPECT_TRUE(main_->b_FullScreen);
  Key(Qt::Key_Escape, full_);
  EXPECT_FALSE(main_->b_ZoomMode);
  EXPECT_TRUE(main_->b_FullScreen) << "the first Escape only leaves zoom";
  EXPECT_FALSE(FT_LumoraDVD_ShadowForm->isVisible());
  QRect clip;
  EXPECT_FALSE(plat::CursorClip(clip)) << "the pointer is free again";
  Key(Qt::Key_Escape, full_);
  EXPECT_FALSE(main_->b_FullScreen);

  // In the main window Escape leaves zoom too, and the window stays as it is.
  main_->EnterZoomMode();
  ASSERT_TRUE(main_->b_ZoomMode);
  Key(Qt::Key_Escape, main_);
  EXPECT_FALSE(main_->b_ZoomMode);
  EXPECT_FALSE(main_->b_FullScreen);
}

TEST_F(FullScreenTest, DoubleClicksGoInAndOut) {
  QTest::mouseDClick(main_->Panel_MainForm_Center, Qt::LeftButton, {}, QPoint(30, 30));
  ASSERT_TRUE(main_->b_FullScreen);
  QTest::mouseDClick(full_->Panel_MainForm_Center, Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_FALSE(main_->b_FullScreen);
  main_->b_ZoomMode = true;
  QTest::mouseDClick(main_->Panel_MainForm_Center, Qt::LeftButton, {}, QPoint(30, 30));
  EXPECT_FALSE(main_->b_FullScreen) << "not in zoom mode";
  main_->b_ZoomMode = false;
}

TEST_F(FullScreenTest, LeavingWithAModalBoxOpenKeepsTheBox) {
  main_->EnterFullScreen();
  auto* box = new QMessageBox(QMessageBox::Information, "LumoraDVD", "Still here", QMessageBox::Ok);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::ApplicationModal);
  box->show();
  plat::PumpMessages(20);
  ASSERT_EQ(QApplication::activeModalWidget(), box);
  main_->LeaveFullScreen();
  EXPECT_FALSE(main_->b_FullScreen);
  EXPECT_TRUE(box->isVisible());
  EXPECT_EQ(QApplication::activeModalWidget(), box);
  box->close();
  plat::PumpMessages(20);
}

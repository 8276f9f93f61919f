// Moving, sizing, docking, maximising and the side-panel buttons of the main window.
#include "MainWindowTestSupport.h"

namespace {

using mainwindow_test::MainWindowFixture;

class FrameTest : public MainWindowFixture {
 protected:
  // Applies a Default-looking skin with these options; the control bar docked or not.
  void Skin(std::vector<std::pair<std::string, std::string>> options, bool docked = true) {
    main_->b_DisplayControlPanel = docked;
    ASSERT_TRUE(main_->ApplySkin(DefaultWithOptions("Test", std::move(options))));
    main_->show();
    main_->move(100, 100);
  }
};

TEST_F(FrameTest, WithoutSkinOptionsTheLimitsAreTheScreenAndTheDefaults) {
  Skin({});
  const QRect S = Screen();
  EXPECT_EQ(main_->i_MainWindowMinWidth, 500);
  EXPECT_EQ(main_->i_MainWindowMinHeight, 60);
  EXPECT_EQ(main_->i_MainWindowMaxWidth, S.width());
  EXPECT_EQ(main_->i_MainWindowMaxHeight, S.height());
  EXPECT_EQ(main_->i_ControlPanelHeight, 70);
  EXPECT_FALSE(main_->b_NeedCutCorner);
  EXPECT_FALSE(main_->b_CanSetMaxWindow);
  // The docked bar adds its height to the smallest window.
  main_->SetWindowSize(1, 1, true);
  EXPECT_EQ(main_->size(), QSize(500, 70 + 60));
  main_->SetWindowSize(-100000, -100000, true);
  EXPECT_EQ(main_->size(), S.size());
  main_->SetControlBarDocked(false);
  main_->SetWindowSize(0, 0, true);
  EXPECT_EQ(main_->size(), QSize(500, 60));
}

TEST_F(FrameTest, AbsurdSkinOptionsStillGiveAWholeWindowOnTheScreen) {
  const QRect S = Screen();
  for (const std::string v : {"-5", "0", "100000", "junk"}) {
    SCOPED_TRACE(v);
    Skin({{"i_MainWindowMaxWidth", v},
          {"i_MainWindowMaxHeight", v},
          {"i_MainWindowMinWidth", v},
          {"i_MainWindowMinHeight", v},
          {"i_ControlPanelHeight", v}});
    EXPECT_GE(main_->width(), 300);
    EXPECT_GE(main_->height(), 30);
    EXPECT_LE(main_->width(), S.width());
    EXPECT_LE(main_->height(), S.height());
    EXPECT_GE(main_->i_ControlPanelHeight, 0);
    EXPECT_LE(main_->i_ControlPanelHeight + main_->i_MainWindowMinHeight, S.height());
    // The other skinned windows never outgrow the screen either.
    EXPECT_LE(FT_LumoraDVD_OperationForm->width(), S.width());
    EXPECT_LE(FT_LumoraDVD_OperationForm->height(), S.height());
    EXPECT_LE(FT_LumoraDVD_SubForm->height(), S.height());
    main_->SetWindowSize(100000, 100000, false);
    EXPECT_TRUE(S.contains(main_->geometry()));
  }
}

TEST_F(FrameTest, AMinimumAboveTheMaximumWinsForEveryWidth) {
  Skin({{"i_MainWindowMinWidth", "700"}, {"i_MainWindowMaxWidth", "600"}});
  ASSERT_EQ(main_->i_MainWindowMinWidth, 700);
  ASSERT_EQ(main_->i_MainWindowMaxWidth, 600);
  for (int w : {0, 300, 650, 5000}) {
    main_->SetWindowSize(w, 300, true);
    EXPECT_EQ(main_->width(), 700) << w;
  }
  // The grip obeys the same rule.
  TskImageButton* grip = Button("skImageButton_Resizer");
  ASSERT_TRUE(grip);
  const QPoint at = grip->mapToGlobal(QPoint(2, 2));
  Drag(grip, at, at + QPoint(-400, 0));
  EXPECT_EQ(main_->width(), 700);
}

TEST_F(FrameTest, TheGripSizesWithinTheLimitsAndKeepsThePosition) {
  Skin({{"i_MainWindowMinWidth", "520"},
        {"i_MainWindowMinHeight", "100"},
        {"i_MainWindowMaxWidth", "700"},
        {"i_MainWindowMaxHeight", "500"}});
  main_->SetWindowSize(600, 400, true);
  main_->move(50, 60);
  TskImageButton* grip = Button("skImageButton_Resizer");
  ASSERT_TRUE(grip && grip->isVisible());
  const QPoint at = grip->mapToGlobal(QPoint(2, 2));
  Mouse(grip, QEvent::MouseButtonPress, at);
  Mouse(grip, QEvent::MouseMove, at + QPoint(30, 20));
  EXPECT_EQ(main_->size(), QSize(630, 420));
  Mouse(grip, QEvent::MouseMove, at + QPoint(1000, 1000));
  EXPECT_EQ(main_->size(), QSize(700, 500));
  Mouse(grip, QEvent::MouseMove, at + QPoint(-1000, -1000));
  EXPECT_EQ(main_->size(), QSize(520, main_->i_ControlPanelHeight + 100));
  Mouse(grip, QEvent::MouseButtonRelease, at + QPoint(-1000, -1000));
  EXPECT_FALSE(main_->b_Resizing);
  EXPECT_EQ(main_->pos(), QPoint(50, 60));
  // Further moves without a press do nothing.
  Mouse(grip, QEvent::MouseMove, at + QPoint(50, 50));
  EXPECT_EQ(main_->width(), 520);
}

TEST_F(FrameTest, DraggingKeepsTwentyPixelsOnScreenAndStopsAtTheFarLimit) {
  Skin({{"i_MainWindowMaxWidth", "600"}, {"i_MainWindowMaxHeight", "400"}});
  const QRect S = Screen();
  TPanel* title = Panel("Panel_MainForm_Top");
  ASSERT_TRUE(title);
  main_->move(S.left() + 100, S.top() + 100);
  const QPoint grab = title->mapToGlobal(QPoint(5, 5));
  Mouse(title, QEvent::MouseButtonPress, grab);
  Mouse(title, QEvent::MouseMove, grab + QPoint(30, 40));
  EXPECT_EQ(main_->pos(), S.topLeft() + QPoint(130, 140));
  Mouse(title, QEvent::MouseMove, grab - QPoint(5000, 5000));
  EXPECT_EQ(main_->pos(), S.topLeft() + QPoint(20 - main_->width(), 20 - main_->height()));
  Mouse(title, QEvent::MouseMove, grab + QPoint(5000, 5000));
  EXPECT_EQ(main_->pos(), S.topLeft() + QPoint(600, 400));
  Mouse(title, QEvent::MouseButtonRelease, grab + QPoint(5000, 5000));
  EXPECT_FALSE(main_->b_Dragging);

  // Every frame panel drags, the video area does not.
  for (const char* name : {"Panel_MainForm_Bottom", "Panel_MainForm_Left", "Panel_ControlPanel"}) {
    TPanel* p = Panel(name);
    ASSERT_TRUE(p) << name;
    EXPECT_TRUE(p->OnMouseDown) << name;
  }
  QWidget* video = main_->Panel_MainForm_Center;
  Mouse(video, QEvent::MouseButtonPress, video->mapToGlobal(QPoint(20, 20)));
  EXPECT_FALSE(main_->b_Dragging);
  Mouse(video, QEvent::MouseButtonRelease, video->mapToGlobal(QPoint(20, 20)));
  // Pictures on the frame let presses through to the panel that drags.
  EXPECT_EQ(main_->childAt(title->mapTo(main_, QPoint(title->width() / 2, 5))), title);
}

TEST_F(FrameTest, APressHandledLateStillMovesAndSizesFromWhereItHappened) {
  Skin({{"i_MainWindowMinWidth", "400"},
        {"i_MainWindowMinHeight", "100"},
        {"i_MainWindowMaxWidth", "900"},
        {"i_MainWindowMaxHeight", "800"}});
  const QRect S = Screen();
  main_->SetWindowSize(600, 400, true);
  main_->move(S.left() + 100, S.top() + 100);
  TPanel* title = Panel("Panel_MainForm_Top");
  ASSERT_TRUE(title);
  const QPoint grab = title->mapToGlobal(QPoint(5, 5));
  LatePress(title, grab, grab + QPoint(25, 10));
  Mouse(title, QEvent::MouseMove, grab + QPoint(30, 40));
  EXPECT_EQ(main_->pos(), S.topLeft() + QPoint(130, 140));
  Mouse(title, QEvent::MouseButtonRelease, grab + QPoint(30, 40));

  TskImageButton* grip = Button("skImageButton_Resizer");
  ASSERT_TRUE(grip);
  const QPoint at = grip->mapToGlobal(QPoint(2, 2));
  LatePress(grip, at, at + QPoint(20, 15));
  Mouse(grip, QEvent::MouseMove, at + QPoint(30, 20));
  EXPECT_EQ(main_->size(), QSize(630, 420));
  Mouse(grip, QEvent::MouseButtonRelease, at + QPoint(30, 20));
}

TEST_F(FrameTest, TheGripFollowsEachMoveWhereItHappenedAndStopsWhenTheReleaseWasLost) {
  Skin({{"i_MainWindowMinWidth", "400"},
        {"i_MainWindowMinHeight", "100"},
        {"i_MainWindowMaxWidth", "900"},
        {"i_MainWindowMaxHeight", "800"}});
  main_->SetWindowSize(600, 400, true);
  TskImageButton* grip = Button("skImageButton_Resizer");
  ASSERT_TRUE(grip);
  const QPoint at = grip->mapToGlobal(QPoint(2, 2));
  Mouse(grip, QEvent::MouseButtonPress, at);
  // A move handled after the pointer has gone on: the size is the move's, not the pointer's.
  const QPoint moved = at + QPoint(40, 30);
  QMouseEvent late(QEvent::MouseMove, QPointF(grip->mapFromGlobal(moved)), QPointF(moved),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QCursor::setPos(at + QPoint(90, 90));
  QApplication::sendEvent(grip, &late);
  EXPECT_EQ(main_->size(), QSize(640, 430));

  // The release went to another window: hovering over the grip afterwards must not size.
  Mouse(grip, QEvent::MouseMove, grip->mapToGlobal(QPoint(2, 2)) + QPoint(20, 20), Qt::NoButton);
  EXPECT_FALSE(main_->b_Resizing);
  EXPECT_EQ(main_->size(), QSize(640, 430));
  Mouse(grip, QEvent::MouseMove, grip->mapToGlobal(QPoint(2, 2)) + QPoint(50, 50));
  EXPECT_EQ(main_->size(), QSize(640, 430));
}

TEST_F(FrameTest, DockingGrowsAndUndockingShrinksByTheBarHeight) {
  Skin({{"i_ControlPanelHeight", "90"}});
  main_->SetWindowSize(640, 500, true);
  const int h = main_->height();
  auto* panel = FT_LumoraDVD_OperationForm;
  // The floating panel's last place is far off the screen.
  FT_LumoraDVD_ShadowForm->move(-5000, 90000);
  main_->SetControlBarDocked(false);
  EXPECT_EQ(main_->height(), h - 90);
  EXPECT_EQ(main_->Panel_ControlPanel->height(), 0);
  EXPECT_TRUE(panel->isVisible());
  const QRect S = Screen();
  EXPECT_EQ(panel->x(), S.left() + 10 - panel->width());
  EXPECT_EQ(panel->y(), S.bottom() + 1 - 10);
  EXPECT_TRUE(panel->geometry().intersected(S).width() >= 10);
  main_->SetControlBarDocked(false);  // no change asked, nothing happens
  EXPECT_EQ(main_->height(), h - 90);
  main_->SetControlBarDocked(true);
  EXPECT_EQ(main_->height(), h);
  EXPECT_EQ(main_->Panel_ControlPanel->height(), 90);
  EXPECT_FALSE(panel->isVisible());
}

TEST_F(FrameTest, SidePanelButtonsSwapTheirPairs) {
  Skin({});
  auto visible = [&](const char* name) {
    TskImageButton* b = Button(name);
    EXPECT_TRUE(b) << name;
    return b && b->isVisibleTo(main_);
  };
  main_->skImageButton_PlayListClick(Button("skImageButton_PlayList"));
  EXPECT_TRUE(FT_LumoraDVD_SubForm->isVisible());
  EXPECT_EQ(FT_LumoraDVD_SubForm->i_PageIndex, 0);
  EXPECT_TRUE(visible("skImageButton_DePlayList"));
  EXPECT_FALSE(visible("skImageButton_PlayList"));

  Button("skImageButton_Bookmark")->Click();
  EXPECT_EQ(FT_LumoraDVD_SubForm->i_PageIndex, 1);
  EXPECT_TRUE(visible("skImageButton_DeBookmark"));
  EXPECT_TRUE(visible("skImageButton_PlayList"));
  EXPECT_FALSE(visible("skImageButton_Bookmark"));
  EXPECT_FALSE(visible("skImageButton_DePlayList"));
  EXPECT_TRUE(visible("skImageButton_Snapshoot"));
  EXPECT_TRUE(visible("skImageButton_TV"));

  Button("skImageButton_DeBookmark")->Click();
  EXPECT_FALSE(FT_LumoraDVD_SubForm->isVisible());
  for (const char* open : {"skImageButton_PlayList", "skImageButton_Bookmark",
                           "skImageButton_Snapshoot", "skImageButton_TV"})
    EXPECT_TRUE(visible(open)) << open;
  for (const char* close : {"skImageButton_DePlayList", "skImageButton_DeBookmark",
                            "skImageButton_DeSnapshoot", "skImageButton_DeTV"})
    EXPECT_FALSE(visible(close)) << close;
}

TEST_F(FrameTest, MaximisedLayoutFillsTheScreenBesideTheSidePanelAndRestores) {
  Skin({{"b_CanSetMaxWindow", "1"}});
  main_->SetWindowSize(600, 400, true);
  main_->move(40, 50);
  const QRect before = main_->geometry();
  const QRect S = Screen();
  Button("skImageButton_Max")->Click();
  ASSERT_TRUE(main_->b_Maximized);
  EXPECT_EQ(main_->geometry(), S);
  EXPECT_FALSE(Button("skImageButton_Max")->isVisibleTo(main_));
  EXPECT_TRUE(Button("skImageButton_Restore")->isVisibleTo(main_));
  EXPECT_FALSE(main_->skImageButton_Resizer->isVisibleTo(main_));

  // No drag and no size change while maximised.
  TPanel* title = Panel("Panel_MainForm_Top");
  Drag(title, title->mapToGlobal(QPoint(5, 5)), title->mapToGlobal(QPoint(205, 205)));
  EXPECT_EQ(main_->geometry(), S);
  main_->SetWindowSize(600, 400, false);
  EXPECT_EQ(main_->geometry(), S);

  // Opening the side panel makes room for it at the screen's left.
  main_->skImageButton_PlayListClick(nullptr);
  auto* side = FT_LumoraDVD_SubForm;
  EXPECT_TRUE(side->b_Docked);
  EXPECT_EQ(side->pos(), S.topLeft());
  EXPECT_EQ(main_->geometry(),
            QRect(S.left() + side->width(), S.top(), S.width() - side->width(), S.height()));
  main_->skImageButton_DePlayListClick(nullptr);
  EXPECT_EQ(main_->geometry(), S);

  // Undocking and docking keep the layout.
  main_->SetControlBarDocked(false);
  EXPECT_EQ(main_->geometry(), S);
  main_->SetControlBarDocked(true);
  EXPECT_EQ(main_->geometry(), S);

  Button("skImageButton_Restore")->Click();
  EXPECT_FALSE(main_->b_Maximized);
  EXPECT_EQ(main_->geometry(), before);
  EXPECT_TRUE(main_->skImageButton_Resizer->isVisibleTo(main_));

  // The title's double click toggles the layout.
  main_->Panel_MainForm_TopDblClick(title);
  EXPECT_TRUE(main_->b_Maximized);
  main_->Panel_MainForm_TopDblClick(title);
  EXPECT_FALSE(main_->b_Maximized);
}

TEST_F(FrameTest, WithoutAMaximisedLayoutMaxAsksForFullScreen) {
  Skin({});
  int asked = 0;
  main_->OnFullScreenRequest = [&] { ++asked; };
  const QRect before = main_->geometry();
  Button("skImageButton_Max")->Click();
  main_->Panel_MainForm_TopDblClick(nullptr);
  EXPECT_EQ(asked, 2);
  EXPECT_FALSE(main_->b_Maximized);
  main_->MaximizeWindow();
  EXPECT_EQ(main_->geometry(), before);
}

TEST_F(FrameTest, MinimiseWithoutAWindowManagerWithdrawsEveryWindowUntilShownAgain) {
  Skin({}, false);
  ASSERT_TRUE(FT_LumoraDVD_OperationForm->isVisible());
  Button("skImageButton_Min")->Click();
  EXPECT_FALSE(main_->isVisible());
  EXPECT_FALSE(FT_LumoraDVD_OperationForm->isVisible());
  main_->RestoreFromMinimised();
  EXPECT_TRUE(main_->isVisible());
  EXPECT_TRUE(FT_LumoraDVD_OperationForm->isVisible());
  EXPECT_FALSE(FT_LumoraDVD_SubForm->isVisible());  // it was not shown before
}

TEST_F(FrameTest, TheToolWindowsBelongToTheMainWindowAndACloseFromOutsideHidesThem) {
  Skin({}, false);
  main_->TieToolWindows();
  for (QWidget* w : {static_cast<QWidget*>(FT_LumoraDVD_OperationForm),
                     static_cast<QWidget*>(FT_LumoraDVD_SubForm)}) {
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::Tool));
    EXPECT_FALSE(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    ASSERT_TRUE(w->windowHandle());
    EXPECT_EQ(w->windowHandle()->transientParent(), main_->windowHandle());
  }
  main_->skImageButton_SnapshootClick(nullptr);
  ASSERT_TRUE(FT_LumoraDVD_SubForm->isVisible());
  EXPECT_TRUE(main_->ToolWindowClosedFromOutside(FT_LumoraDVD_SubForm));
  EXPECT_FALSE(FT_LumoraDVD_SubForm->isVisible());
  EXPECT_TRUE(Button("skImageButton_Snapshoot")->isVisibleTo(main_));
  EXPECT_FALSE(Button("skImageButton_DeSnapshoot")->isVisibleTo(main_));

  // Closing the floating control panel from outside docks the bar, so its controls stay at hand.
  const int h = main_->height();
  EXPECT_TRUE(main_->ToolWindowClosedFromOutside(FT_LumoraDVD_OperationForm));
  EXPECT_TRUE(main_->b_DisplayControlPanel);
  EXPECT_FALSE(FT_LumoraDVD_OperationForm->isVisible());
  EXPECT_EQ(main_->height(), h + main_->i_ControlPanelHeight);
  EXPECT_FALSE(main_->ToolWindowClosedFromOutside(FT_LumoraDVD_ShadowForm));
}

}  // namespace

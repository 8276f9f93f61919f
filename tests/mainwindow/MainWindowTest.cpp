// Skin options, the window shape and skin changes of the main window.
#include "MainWindowTestSupport.h"
#include "player/skin/SkinCursors.h"

namespace {

using mainwindow_test::MainWindowFixture;

class SkinTest : public MainWindowFixture {
 protected:
  void SaveCorner(const std::string& folder, const char* file, QSize size, QRgb colour) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    ASSERT_TRUE(img.save(QString::fromStdString(folder + file), "BMP"));
  }
  // A skin whose six corners are 8x8 pictures of the key colour.
  std::string CornerSkin(const char* name, bool cutOnResize) {
    const std::string folder =
        DefaultWithOptions(name, {{"b_NeedCutCorner", cutOnResize ? "1" : "0"}});
    for (const char* f : {"CLT.bmp", "CRT.bmp", "CLB.bmp", "CRB.bmp", "CCL.bmp", "CCR.bmp"})
      SaveCorner(folder, f, QSize(8, 8), kKeyColour);
    return folder;
  }
  bool Shows(QPoint p) const { return main_->mask().isEmpty() || main_->mask().contains(p); }
};

TEST_F(SkinTest, CornersAreCutAndFollowResizingOnlyWhenTheSkinAsks) {
  for (bool follow : {true, false}) {
    SCOPED_TRACE(follow);
    main_->b_DisplayControlPanel = true;
    ASSERT_TRUE(main_->ApplySkin(CornerSkin(follow ? "Follow" : "Stay", follow)));
    main_->show();
    main_->SetWindowSize(600, 400, true);
    // A skin load always cuts, for the size the window then had.
    main_->b_NeedCutCorner = true;
    main_->LoadCornerRegions();
    main_->ApplyWindowRegion();
    main_->b_NeedCutCorner = follow;
    const int W = main_->width(), H = main_->height();
    EXPECT_FALSE(Shows({0, 0}));
    EXPECT_FALSE(Shows({W - 1, 0}));
    EXPECT_FALSE(Shows({W - 1, H - 1}));  // docked: the window's own bottom corners
    EXPECT_TRUE(Shows({W / 2, H / 2}));
    main_->SetWindowSize(W + 40, H + 30, true);
    EXPECT_EQ(Shows({W - 1, 0}), follow);
    EXPECT_EQ(!Shows({W + 39, 0}), follow);
    EXPECT_EQ(!Shows({W + 39, H + 29}), follow);
  }
}

TEST_F(SkinTest, TheFramesFootCornersStayAboveTheBarThroughDockingAndUndocking) {
  main_->b_DisplayControlPanel = true;
  ASSERT_TRUE(main_->ApplySkin(CornerSkin("Dock", true)));
  main_->show();
  main_->SetWindowSize(640, 480, true);
  const int W = main_->width(), H = main_->height();
  const int P = main_->i_ControlPanelHeight;
  ASSERT_GT(P, 8);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    // Docked: the window's own foot corners are cut, the picture frame's are not.
    EXPECT_FALSE(Shows({0, H - 1}));
    EXPECT_FALSE(Shows({W - 1, H - 1}));
    EXPECT_TRUE(Shows({0, H - P - 1}));
    EXPECT_TRUE(Shows({W - 1, H - P - 1}));
    main_->SetControlBarDocked(false);
    ASSERT_EQ(main_->height(), H - P);
    // Undocked, the frame's foot is the window's foot: cut there, and nowhere up the sides.
    EXPECT_FALSE(Shows({0, H - P - 1}));
    EXPECT_FALSE(Shows({W - 1, H - P - 1}));
    EXPECT_TRUE(Shows({0, H - 2 * P - 1}));
    EXPECT_TRUE(Shows({W - 1, H - 2 * P - 1}));
    EXPECT_FALSE(Shows({0, 0}));
    main_->SetControlBarDocked(true);
    ASSERT_EQ(main_->height(), H);
  }
}

TEST_F(SkinTest, CornerPicturesOfTheWrongSizeOrUnreadableLeaveTheWindowWhole) {
  const std::string folder = DefaultWithOptions("Bad", {{"b_NeedCutCorner", "1"}});
  SaveCorner(folder, "CLT.bmp", QSize(2000, 2000), kKeyColour);
  QFile junk(QString::fromStdString(folder + "CRT.bmp"));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("BM this is not a bitmap");
  junk.close();
  main_->b_DisplayControlPanel = true;
  main_->ApplySkin(folder);
  main_->show();
  const int W = main_->width(), H = main_->height();
  EXPECT_GE(W, 500);
  EXPECT_TRUE(Shows({0, 0}));
  EXPECT_TRUE(Shows({W - 1, 0}));
  EXPECT_TRUE(Shows({W / 2, H / 2}));
}

TEST_F(SkinTest, ASkinFolderThatVanishesLeavesTheWindowWorking) {
  const std::string folder = CornerSkin("Vanishing", true);
  main_->b_DisplayControlPanel = true;
  ASSERT_TRUE(main_->ApplySkin(folder));
  main_->show();
  ASSERT_TRUE(QDir(QString::fromStdString(folder)).removeRecursively());
  main_->SetWindowSize(700, 450, false);
  main_->SetControlBarDocked(false);
  main_->SetControlBarDocked(true);
  EXPECT_EQ(main_->size(), QSize(700, 450));
  EXPECT_FALSE(Shows({699, 0}));  // the shape it had still follows
  EXPECT_FALSE(main_->LoadSkinOptions());
}

TEST_F(SkinTest, AFailedSkinChangeFallsBackToThePreviousSkin) {
  const std::string good = InstallShippedSkin("Default");
  ASSERT_TRUE(main_->ApplySkin(good));
  main_->show();
  EXPECT_TRUE(main_->ChangeSkin("Missing/"));
  EXPECT_EQ(CurrentSkinPath, good);
  const auto boxes = plat::RecordedMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "The specified skin is error!");
  EXPECT_EQ(main_->i_SkinFailures, 0);
  EXPECT_TRUE(main_->isVisible());
}

TEST_F(SkinTest, TheFifthFailureInARowEndsThePlayerAfterSavingTheOptions) {
  InstallShippedSkin("Default");
  ASSERT_TRUE(main_->ApplySkin(Home() + "Skin/Default/"));
  main_->show();
  // The skin in use has gone too, so going back fails as well.
  ASSERT_TRUE(QDir(QString::fromStdString(Home() + "Skin/Default/")).removeRecursively());
  EXPECT_FALSE(main_->ChangeSkin("Missing/"));
  const auto boxes = plat::RecordedMessageBoxes();
  ASSERT_EQ(boxes.size(), 5u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(boxes[i].text, "The specified skin is error!");
  EXPECT_EQ(boxes[4].text, "Skin ERROR! Please re-install software! EXIT");
  EXPECT_FALSE(main_->isVisible());
  EXPECT_TRUE(QFile::exists(QString::fromStdString(Home() + "Option.ini")));
}

TEST_F(SkinTest, EveryShippedSkinAppliesWithinItsLimitsAndTheScreen) {
  const QRect S = Screen();
  for (const char* name : {"Default", "Aqua", "Graphite"}) {
    SCOPED_TRACE(name);
    for (bool docked : {false, true}) {
      main_->b_DisplayControlPanel = docked;
      ASSERT_TRUE(main_->ApplySkin(mainwindow_test::ShippedSkin(name)));
      EXPECT_EQ(main_->Panel_ControlPanel->height(), docked ? main_->i_ControlPanelHeight : 0);
      EXPECT_GE(main_->width(), std::min(main_->i_MainWindowMinWidth, S.width()));
      EXPECT_LE(main_->width(), S.width());
      EXPECT_LE(main_->height(), S.height());
      EXPECT_EQ(main_->skImageButton_Resizer->cursor().shape(), SkinCursor(kCursorResize).shape());
    }
  }
}

}  // namespace

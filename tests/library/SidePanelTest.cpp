// The side panel window: pages, docking and floating by drag, the resize limits, the docked
// height and the corner shape.
#include <QDir>
#include <QDirIterator>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include "LibraryTestSupport.h"
#include "player/mainwindow/Ft_lumoradvdshadowform.h"
#include "player/widgets/TImage.h"

namespace {

using library_test::SidePanelFixture;

class SidePanelTest : public SidePanelFixture {
 protected:
  void SetUp() override {
    SidePanelFixture::SetUp();
    main_ = FT_LumoraDVD_MainForm;
    main_->setGeometry(500, 200, 640, 480);
    main_->show();
    side_ = Side();
    side_->ShowPage(0);
    side_->show();
  }
  bool Visible(const char* name) {
    QWidget* w = side_->findChild<QWidget*>(name);
    return w && !w->isHidden();
  }
  // A drag of the window from one screen point to another.
  void Drag(QPoint from, QPoint to) {
    side_->PanelMouseDown(from);
    side_->PanelMouseMove(to);
    side_->PanelMouseUp();
  }
  int ScreenHeight() { return QGuiApplication::primaryScreen()->geometry().height(); }

  QWidget* main_ = nullptr;
  TFT_LumoraDVD_SubForm* side_ = nullptr;
};

TEST_F(SidePanelTest, PagesShowTheirListTitleAndButtons) {
  side_->b_Random = true;
  side_->ShowPage(0);
  EXPECT_TRUE(Visible("MyPlayList"));
  EXPECT_TRUE(Visible("Image_Title_List"));
  EXPECT_TRUE(Visible("skImageButton_DeRandom"));
  EXPECT_FALSE(Visible("skImageButton_Random"));
  EXPECT_TRUE(Visible("skImageButton_Repeat"));
  EXPECT_FALSE(Visible("skImageButton_PlayBookmark"));
  side_->ShowPage(1);
  EXPECT_EQ(side_->i_CurrentPage, 1);
  EXPECT_TRUE(Visible("MyBookmark"));
  EXPECT_FALSE(Visible("MyPlayList"));
  EXPECT_TRUE(Visible("Image_Title_Bookmark"));
  EXPECT_FALSE(Visible("Image_Title_List"));
  EXPECT_TRUE(Visible("skImageButton_AddBookmark"));
  EXPECT_FALSE(Visible("skImageButton_Play"));
  side_->ShowPage(2);
  EXPECT_TRUE(Visible("skImageButton_SaveSnapshoot"));
  EXPECT_FALSE(Visible("skImageButton_StopSnapshoot"));
  side_->ShowPage(3);
  EXPECT_TRUE(Visible("MyTVList"));
  EXPECT_TRUE(Visible("skImageButton_TVFavorit"));
  EXPECT_FALSE(Visible("skImageButton_TVNormal"));
  // The random switch follows the buttons.
  side_->ShowPage(0);
  side_->skImageButton_DeRandomClick(nullptr);
  EXPECT_FALSE(side_->b_Random);
  EXPECT_FALSE(side_->MyPlayList->b_Random);
  EXPECT_TRUE(Visible("skImageButton_Random"));
  // The menus hold exactly their entries.
  QStringList del;
  for (QAction* a : side_->PopupMenu_DelFile->actions()) del << a->text();
  EXPECT_EQ(del, (QStringList{"Delete Selected", "Delete All", "Crop Selected"}));
}

TEST_F(SidePanelTest, DockedPanelSitsBesideTheMainWindowAndFollowsItsHeight) {
  EXPECT_TRUE(side_->b_Docked);
  EXPECT_EQ(side_->geometry(), QRect(500 - side_->width(), 200, side_->width(), 480));
  EXPECT_TRUE(side_->skImageButton_Resize->isHidden());
  main_->resize(640, 120);
  side_->FitDockedHeight();
  EXPECT_EQ(side_->height(), 200);
  main_->resize(640, 130);
  side_->FitDockedHeight();
  EXPECT_EQ(side_->height(), 130);
}

TEST_F(SidePanelTest, DraggingByTheStripFloatsAndDocks) {
  const int w = side_->width();
  const QRect docked = side_->geometry();
  side_->i_FloatHeight = 450;
  // Released inside the strip left of the main window: stays docked, where it was.
  Drag(QPoint(500 - w / 2, 300), QPoint(500 - 10, 310));
  EXPECT_TRUE(side_->b_Docked);
  EXPECT_EQ(side_->geometry(), docked);
  EXPECT_FALSE(FT_LumoraDVD_ShadowForm->isVisible());

  // Released elsewhere: floats where the shadow was, with the floating height.
  Drag(QPoint(500 - w / 2, 300), QPoint(500 - w / 2 - 200, 300 + 40));
  EXPECT_FALSE(side_->b_Docked);
  EXPECT_EQ(side_->pos(), QPoint(docked.left() - 200, docked.top() + 40));
  EXPECT_EQ(side_->height(), 450);
  EXPECT_FALSE(side_->skImageButton_Resize->isHidden());

  // A cursor exactly on the strip's border does not dock...
  const QPoint start = side_->pos() + QPoint(10, 10);
  Drag(start, QPoint(500, 300));
  EXPECT_FALSE(side_->b_Docked);
  // ...strictly inside it does, with the main window's height.
  Drag(side_->pos() + QPoint(10, 10), QPoint(499, 300));
  EXPECT_TRUE(side_->b_Docked);
  EXPECT_EQ(side_->geometry(), QRect(500 - w, 200, w, 480));
  EXPECT_TRUE(side_->skImageButton_Resize->isHidden());

  // A press and release without a move changes nothing.
  side_->PanelMouseDown(QPoint(400, 300));
  side_->PanelMouseUp();
  EXPECT_TRUE(side_->b_Docked);

  // The real mouse on a panel drives the same drag.
  QWidget* top = side_->findChild<QWidget*>("Panel_Top");
  const QPoint g = top->mapToGlobal(QPoint(5, 5));
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(g), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(top, &press);
  EXPECT_TRUE(side_->b_Dragging);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(g), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(top, &release);
  EXPECT_FALSE(side_->b_Dragging);
}

TEST_F(SidePanelTest, ResizeButtonWorksOnlyFloatingAndWithinItsLimits) {
  side_->ResizeMouseDown(QPoint(0, 0));
  side_->ResizeMouseMove(QPoint(0, 100));
  EXPECT_EQ(side_->height(), 480);  // docked: no resizing
  side_->ResizeMouseUp();
  side_->ToggleDock();
  ASSERT_FALSE(side_->b_Docked);
  side_->resize(side_->width(), 500);
  side_->ResizeMouseDown(QPoint(0, 500));
  side_->ResizeMouseMove(QPoint(0, 100));
  EXPECT_EQ(side_->height(), 400);
  side_->ResizeMouseMove(QPoint(0, 500 + 5000));
  EXPECT_EQ(side_->height(), ScreenHeight() - 100);
  side_->ResizeMouseMove(QPoint(0, 530));
  EXPECT_EQ(side_->height(), 530);
  side_->ResizeMouseUp();
  side_->ResizeMouseMove(QPoint(0, 600));
  EXPECT_EQ(side_->height(), 530);
}

TEST_F(SidePanelTest, TheResizeButtonMeasuresFromThePressAndStopsWithTheButtonUp) {
  side_->ToggleDock();
  ASSERT_FALSE(side_->b_Docked);
  side_->resize(side_->width(), 500);
  TskImageButton* grip = side_->skImageButton_Resize;
  ASSERT_TRUE(grip && !grip->isHidden());
  auto send = [grip](QEvent::Type type, QPoint global, Qt::MouseButton button,
                     Qt::MouseButtons held) {
    QMouseEvent e(type, QPointF(grip->mapFromGlobal(global)), QPointF(global), button, held,
                  Qt::NoModifier);
    QCoreApplication::sendEvent(grip, &e);
  };
  // A press that reaches the panel only once the pointer has gone on by 25 pixels.
  const QPoint at = grip->mapToGlobal(QPoint(3, 3));
  QCursor::setPos(at + QPoint(0, 25));
  send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
  send(QEvent::MouseMove, at + QPoint(0, 40), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(side_->height(), 540);
  send(QEvent::MouseMove, at + QPoint(0, 60), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(side_->height(), 560);

  // The release went elsewhere: the pointer passing over the button with no button held
  // must not go on sizing the panel.
  const QPoint now = grip->mapToGlobal(QPoint(3, 3));
  send(QEvent::MouseMove, now + QPoint(0, 30), Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(side_->height(), 560);
  EXPECT_FALSE(side_->b_Resizing);
  send(QEvent::MouseMove, now + QPoint(0, 50), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(side_->height(), 560);

  // A release without a press starts nothing either.
  send(QEvent::MouseButtonRelease, now, Qt::LeftButton, Qt::NoButton);
  send(QEvent::MouseMove, now + QPoint(0, 20), Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(side_->height(), 560);
  EXPECT_FALSE(side_->b_Resizing);
}

TEST_F(SidePanelTest, TopCornersAloneAreCutOnce) {
  // A copy of the skin with only the two top corner pictures.
  QTemporaryDir skinDir;
  const QString from = QString::fromStdString(library_test::SkinFolder());
  QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString file = it.next();
    const QString to = skinDir.path() + "/" + QDir(from).relativeFilePath(file);
    QDir().mkpath(QFileInfo(to).path());
    QFile::copy(file, to);
  }
  QFile::remove(skinDir.path() + "/SUBCLB.bmp");
  QFile::remove(skinDir.path() + "/SUBCRB.bmp");
  CurrentSkinPath = skinDir.path().toStdString() + "/";
  const int builds = side_->i_RegionBuilds;
  ASSERT_TRUE(side_->ApplySubFormSkin());
  EXPECT_EQ(side_->i_RegionBuilds, builds + 1);
  EXPECT_TRUE(side_->rgn_TopLeft.has_value());
  EXPECT_FALSE(side_->rgn_BottomLeft.has_value());
  EXPECT_FALSE(side_->b_ShapeWindow);
  const QRegion mask = side_->mask();
  EXPECT_FALSE(mask.contains(QPoint(0, 0)));
  main_->resize(640, 600);
  side_->FitDockedHeight();
  EXPECT_EQ(side_->height(), 600);
  EXPECT_EQ(side_->i_RegionBuilds, builds + 1);
  EXPECT_EQ(side_->mask(), mask);
}

TEST_F(SidePanelTest, RowsSpanTheListAreaTheSkinGaveThePanel) {
  // The player skins the panel while it is still hidden and fills the lists at that moment.
  delete FT_LumoraDVD_SubForm;
  const std::string a = Media("a.avi"), b = Media("b.mp4");
  library_test::WriteText(Home() + "PlayList.fpl",
                          QByteArray::fromStdString(" a\r\n" + a + "\r\n b\r\n" + b + "\r\n"));
  library_test::WriteText(Home() + "Bookmark.bkm",
                          QByteArray::fromStdString(a + "\r\n0\r\n75\r\n\r\n"));
  new TFT_LumoraDVD_SubForm();
  side_ = Side();
  ASSERT_EQ(side_->MyPlayList->Items.size(), 2u);
  ASSERT_EQ(side_->MyBookmark->Items.size(), 1u);
  side_->ShowPage(0);
  side_->show();
  QCoreApplication::processEvents();
  // A row added while the panel is shown, too.
  ASSERT_TRUE(side_->AddToPlayList(Media("c.mpg"), ""));

  QWidget* centre = side_->Panel_Center;
  QWidget* left = side_->findChild<QWidget*>("Panel_Left");
  QWidget* right = side_->findChild<QWidget*>("Panel_Right");
  ASSERT_TRUE(left && right);
  EXPECT_EQ(centre->x(), left->width());
  EXPECT_EQ(centre->width(), side_->width() - left->width() - right->width());
  const QRect area(QPoint(0, 0), centre->size());
  EXPECT_EQ(side_->MyPlayList->geometry(), area);
  for (PlayList_Item* row : side_->MyPlayList->Items) {
    EXPECT_EQ(row->width(), area.width()) << row->Path.toStdString();
    EXPECT_FALSE(row->isHidden());
  }
  side_->ShowPage(1);
  EXPECT_EQ(side_->MyBookmark->geometry(), area);
  EXPECT_EQ(side_->MyBookmark->Items[0]->width(), area.width());
}

TEST_F(SidePanelTest, ListsAreWrittenBackOnlyAfterTheyWereRead) {
  // A panel that never got its skin never read the lists, so it must not write them.
  delete FT_LumoraDVD_SubForm;
  library_test::WriteText(Home() + "PlayList.fpl", "keep me\r\n");
  new TFT_LumoraDVD_SubForm();
  delete FT_LumoraDVD_SubForm;
  EXPECT_EQ(library_test::ReadAll(Home() + "PlayList.fpl"), "keep me\r\n");
  new TFT_LumoraDVD_SubForm();
}

}  // namespace

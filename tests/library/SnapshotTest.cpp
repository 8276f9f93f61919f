// Snapshots: their rows, the size they are kept at, and saving them.
#include <QDir>

#include "LibraryTestSupport.h"
#include "platform/MessageBox.h"

namespace {

using library_test::SidePanelFixture;
using library_test::WriteText;

QImage Picture(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(Qt::cyan);
  return img;
}

class SnapshotTest : public SidePanelFixture {
 protected:
  TFT_Snapshot* List() { return Side()->MySnapshot; }
};

TEST_F(SnapshotTest, RowsAndTheSizeAPictureIsKeptAt) {
  TFT_Snapshot* list = List();
  list->SetRowHeight(50);
  Snapshot_Item* dvd = list->AddSnapshot("a.bmp", Picture(720, 576), QSize(1024, 576));
  EXPECT_EQ(dvd->size(), QSize(66, 50));
  EXPECT_EQ(dvd->i_ThumbWidth, 64);
  EXPECT_EQ(dvd->i_ThumbHeight, 48);
  EXPECT_EQ(dvd->Picture.size(), QSize(1024, 576));
  // The size cannot be told, or is the same: an exact copy.
  EXPECT_EQ(list->AddSnapshot("b.bmp", Picture(320, 240), QSize())->Picture.size(),
            QSize(320, 240));
  EXPECT_EQ(list->AddSnapshot("c.bmp", Picture(320, 240), QSize(320, 240))->Picture.size(),
            QSize(320, 240));
  EXPECT_EQ(list->AddSnapshot("d.bmp", QImage(), QSize()), nullptr);
  EXPECT_EQ(list->SelectedItem, dvd);
  EXPECT_EQ(dvd->FrameColour(), QColor(0, 255, 0));
  EXPECT_EQ(TFT_Snapshot::SnapshotFileName(QDateTime(QDate(2006, 12, 1), QTime(9, 5, 30))),
            "Snapshot-2006-12-1-9-5-30.bmp");
}

TEST_F(SnapshotTest, SaveButtonWithOneSnapshotSavesAndEmptiesTheList) {
  TFT_LumoraDVD_SubForm* side = Side();
  CurrentSnapshotPath = Home() + "shots/";
  QDir().mkpath(QString::fromStdString(CurrentSnapshotPath));
  side->MySnapshot->AddSnapshot("one.bmp", Picture(320, 240), QSize());
  side->skImageButton_SaveSnapshootMouseDown(nullptr, mbRight, {}, 0, 0);
  EXPECT_TRUE(side->MySnapshot->Items.empty());
  EXPECT_FALSE(side->PopupMenu_SaveFile->isVisible());
  const QImage saved(QString::fromStdString(CurrentSnapshotPath + "one.bmp"), "BMP");
  EXPECT_EQ(saved.size(), QSize(320, 240));
}

TEST_F(SnapshotTest, SaveSelectedTakesItOffAndSelectsNothingElse) {
  TFT_LumoraDVD_SubForm* side = Side();
  CurrentSnapshotPath = Home();
  TFT_Snapshot* list = side->MySnapshot;
  list->AddSnapshot("1.bmp", Picture(8, 6), QSize());
  list->AddSnapshot("2.bmp", Picture(8, 6), QSize());
  list->ItemClick(list->Items[1]);
  side->SaveSelected1Click(nullptr);
  EXPECT_TRUE(QFile::exists(QString::fromStdString(Home() + "2.bmp")));
  ASSERT_EQ(list->Items.size(), 1u);
  EXPECT_EQ(list->SelectedItem, nullptr);
  list->AddSnapshot("3.bmp", Picture(8, 6), QSize());
  EXPECT_EQ(list->SelectedItem, nullptr);
}

TEST_F(SnapshotTest, AFolderThatCannotTakeThemKeepsThemAndSaysWhy) {
  TFT_LumoraDVD_SubForm* side = Side();
  TFT_Snapshot* list = side->MySnapshot;
  list->AddSnapshot("1.bmp", Picture(8, 6), QSize());
  list->AddSnapshot("2.bmp", Picture(8, 6), QSize());
  plat::ClearRecordedMessageBoxes();
  CurrentSnapshotPath = Home() + "vanished/";
  side->SaveAll1Click(nullptr);
  EXPECT_EQ(list->Items.size(), 2u);
  auto boxes = plat::RecordedMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find("no longer exists"), std::string::npos);

  // A file standing where a folder should be.
  WriteText(Home() + "afile", "x");
  CurrentSnapshotPath = Home() + "afile/";
  plat::ClearRecordedMessageBoxes();
  side->SaveSelected1Click(nullptr);
  EXPECT_EQ(list->Items.size(), 2u);
  EXPECT_EQ(plat::RecordedMessageBoxes().size(), 1u);

  // Once the folder is there, they go.
  CurrentSnapshotPath = Home();
  side->SaveAll1Click(nullptr);
  EXPECT_TRUE(list->Items.empty());
}

TEST_F(SnapshotTest, LeavingThePageStopsContinuousCapture) {
  TFT_LumoraDVD_SubForm* side = Side();
  side->ShowPage(2);
  side->skImageButton_Snapshoot_ContinuousClick(nullptr);
  EXPECT_TRUE(side->Timer_Snapshot->Enabled());
  EXPECT_TRUE(Button("skImageButton_Snapshoot_Continuous")->isHidden());
  EXPECT_FALSE(Button("skImageButton_StopSnapshoot")->isHidden());
  side->ShowPage(0);
  EXPECT_FALSE(side->Timer_Snapshot->Enabled());
  side->ShowPage(2);
  EXPECT_FALSE(Button("skImageButton_Snapshoot_Continuous")->isHidden());
  EXPECT_TRUE(Button("skImageButton_StopSnapshoot")->isHidden());
  // Nothing plays: no picture, no row, no message.
  plat::ClearRecordedMessageBoxes();
  EXPECT_FALSE(side->TakeOneSnapshot());
  EXPECT_TRUE(side->MySnapshot->Items.empty());
  EXPECT_TRUE(plat::RecordedMessageBoxes().empty());
}

}  // namespace

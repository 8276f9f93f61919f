#include <QTest>
#include <memory>

#include "TestSupport.h"
#include "player/library/TFT_Bookmark.h"
#include "player/library/TFT_PlayList.h"
#include "player/library/TFT_Snapshot.h"
#include "player/widgets/Components.h"

namespace {

class ListsTest : public WidgetTest {
 protected:
  // A 120 x 65 play list (five rows of 13) skinned with a 10 x 20 thumb, an 8-pixel track
  // picture shown in a 12-pixel column, and a 6-pixel bottom picture.
  void Build() {
    form = std::make_unique<QWidget>();
    form->resize(300, 300);
    list = new TFT_PlayList(form.get());
    list->setObjectName("MyPlayList");
    list->resize(120, 65);
    ASSERT_TRUE(list->ApplySkinParts(Solid(10, 20, Qt::red), Solid(8, 30, Qt::gray),
                                     Solid(4, 4, Qt::blue), Solid(16, 6, Qt::green), 1, 12));
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }

  void AddRows(int n) {
    for (int i = 0; i < n; ++i) {
      auto* item = new PlayList_Item;
      item->Path = QString("/media/clip%1.avi").arg(i);
      item->SetCaption(" clip" + QString::number(i));
      item->setGeometry(1, 0, list->width(), 13);
      list->AppendItem(item);
    }
  }

  std::vector<int> ShownRows() {
    std::vector<int> rows;
    for (int i = 0; i < list->RowCount(); ++i)
      if (list->Items[i]->isVisibleTo(list)) rows.push_back(i);
    return rows;
  }

  std::unique_ptr<QWidget> form;
  TFT_PlayList* list = nullptr;
};

}  // namespace

TEST_F(ListsTest, SkinPartsAreDrawnInTheirPlaces) {
  Build();
  EXPECT_FALSE(list->ScrollBarShown());  // nothing to scroll yet
  QImage shot = Shot(list);
  EXPECT_EQ(Px(shot, 60, 20), Rgb(Qt::blue));  // background stretched over the list
  EXPECT_EQ(Px(shot, 119, 0), Rgb(Qt::blue));
  EXPECT_EQ(Px(shot, 60, 60), Rgb(Qt::green));  // bottom picture, 6 high, stretched across
  EXPECT_EQ(Px(shot, 60, 58), Rgb(Qt::blue));
  EXPECT_EQ(list->BottomImage()->geometry(), QRect(0, 59, 120, 6));

  AddRows(8);
  ASSERT_TRUE(list->ScrollBarShown());
  EXPECT_EQ(list->ScrollPanel()->geometry(), QRect(108, 0, 12, 65));
  EXPECT_EQ(list->ClientPanel()->geometry(), QRect(0, 0, 108, 65));
  EXPECT_EQ(list->ThumbImage()->geometry(), QRect(1, 0, 10, 20));
  shot = Shot(list);
  EXPECT_EQ(Px(shot, 110, 10), Rgb(Qt::red));   // thumb at left 1 in the column
  EXPECT_EQ(Px(shot, 108, 10), Rgb(Qt::gray));  // track fills the column
  EXPECT_EQ(Px(shot, 119, 40), Rgb(Qt::gray));
  EXPECT_EQ(Px(shot, 100, 20), Rgb(Qt::blue));

  // The loader's contract: a missing picture fails and changes nothing.
  EXPECT_FALSE(list->ApplySkinParts(Solid(10, 20, Qt::red), QImage(), Solid(4, 4, Qt::blue),
                                    Solid(16, 6, Qt::green), 3, 20));
  EXPECT_EQ(list->ScrollPanel()->width(), 12);
}

TEST_F(ListsTest, RowsFollowTheThumb) {
  Build();
  AddRows(10);
  EXPECT_EQ(list->i_ContentHeight, 130);
  EXPECT_EQ(list->i_VisibleRows, 5);
  EXPECT_EQ(list->i_FirstRow, 0);
  EXPECT_EQ(ShownRows(), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(list->Items[3]->y(), 2 + 13 * 3);

  // Thumb range is 65 - 20 = 45: first row = 5 * top / 45.
  list->SetThumbTop(27);
  EXPECT_EQ(list->i_FirstRow, 3);
  EXPECT_EQ(ShownRows(), (std::vector<int>{3, 4, 5, 6, 7}));
  EXPECT_EQ(list->Items[3]->y(), 2);
  list->SetThumbTop(500);
  EXPECT_EQ(list->ThumbTop(), 45);
  EXPECT_EQ(list->i_FirstRow, 5);

  // Dragging the thumb with the mouse, then pressing on the track.
  QTest::mousePress(list->ThumbImage(), Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseMove(list->ThumbImage(), QPoint(5, -40));
  EXPECT_EQ(list->ThumbTop(), 0);
  EXPECT_EQ(list->i_FirstRow, 0);
  QTest::mouseRelease(list->ThumbImage(), Qt::LeftButton, {}, QPoint(5, -40));
  EXPECT_FALSE(list->b_ThumbDragging);
  QTest::mousePress(list->TrackImage(), Qt::LeftButton, {}, QPoint(5, 40));
  EXPECT_EQ(list->ThumbTop(), 30);  // centred on the press
  EXPECT_EQ(list->i_FirstRow, 3);
  EXPECT_TRUE(list->b_ThumbDragging);
  QTest::mouseRelease(list->TrackImage(), Qt::LeftButton, {}, QPoint(5, 40));

  // Growing the list so every row fits hides the column and scrolls back to the top.
  list->resize(120, 200);
  EXPECT_FALSE(list->ScrollBarShown());
  EXPECT_EQ(list->i_FirstRow, 0);
  EXPECT_EQ(list->ThumbTop(), 0);
  EXPECT_EQ(ShownRows().size(), 10u);
  list->resize(120, 40);
  EXPECT_TRUE(list->ScrollBarShown());
  EXPECT_EQ(ShownRows().size(), 3u);

  // Removing rows keeps the references sound.
  list->SelectedItem = list->Items[0];
  list->RemoveItem(0);
  EXPECT_EQ(list->SelectedItem, nullptr);
  EXPECT_EQ(list->RowCount(), 9);
  list->RemoveItem(42);
  list->ClearItems();
  EXPECT_EQ(list->RowCount(), 0);
  EXPECT_FALSE(list->ScrollBarShown());
}

TEST_F(ListsTest, FavouriteFilterShowsOnlyFavourites) {
  Build();
  AddRows(8);
  for (int i = 0; i < 8; ++i) list->Items[i]->b_Favorite = i % 2 == 1;
  list->b_FavoriteOnly = true;
  list->SetThumbTop(0);
  EXPECT_EQ(ShownRows(), (std::vector<int>{1, 3, 5, 7}));
  EXPECT_EQ(list->Items[5]->y(), 2 + 13 * 2);
}

TEST_F(ListsTest, PlayListRowStyles) {
  App();
  PlayList_Item item;
  item.resize(60, 13);
  item.SetCaption(" x");
  EXPECT_EQ(item.height(), 13);
  item.SetStyle(PlayList_Item::Playing);
  EXPECT_EQ(Px(Shot(&item), 58, 6), qRgb(60, 60, 60) & 0xFFFFFF);
  item.SetStyle(PlayList_Item::Selected);
  EXPECT_EQ(Px(Shot(&item), 58, 6), qRgb(160, 160, 164) & 0xFFFFFF);
}

TEST_F(ListsTest, BookmarkAndSnapshotRowsUseTheirRowHeight) {
  App();
  TFT_Bookmark bookmarks;
  bookmarks.resize(100, 120);
  EXPECT_EQ(bookmarks.RowHeight(), 50);
  bookmarks.SetRowHeight(0);
  EXPECT_EQ(bookmarks.RowHeight(), 1);
  bookmarks.SetRowHeight(500);
  EXPECT_EQ(bookmarks.RowHeight(), 100);
  bookmarks.SetRowHeight(40);
  for (int i = 0; i < 5; ++i) {
    auto* row = new Bookmark_Item;
    row->Path = i < 3 ? QString("/v/%1.avi").arg(i) : QString("BOOKMARK-CH1-T%1@DISC").arg(i);
    row->i_Kind = i < 3 ? 1 : 2;
    row->setGeometry(1, 1, 98, 40);
    bookmarks.AppendItem(row);
  }
  bookmarks.show();
  EXPECT_EQ(bookmarks.i_VisibleRows, 3);
  EXPECT_TRUE(bookmarks.ScrollBarShown());
  EXPECT_EQ(bookmarks.Items[2]->y(), 1 + 40 * 2);
  EXPECT_FALSE(bookmarks.Items[3]->isVisibleTo(&bookmarks));
  bookmarks.s_DiscLabel = "DISC";
  bookmarks.i_Filter = 2;
  bookmarks.SetThumbTop(0);
  EXPECT_TRUE(bookmarks.Items[3]->isVisibleTo(&bookmarks));
  EXPECT_EQ(bookmarks.Items[3]->y(), 1);
  EXPECT_FALSE(bookmarks.Items[0]->isVisibleTo(&bookmarks));

  TFT_Snapshot snapshots;
  snapshots.resize(80, 100);
  snapshots.SetRowHeight(50);
  for (int i = 0; i < 3; ++i) {
    auto* row = new Snapshot_Item;
    row->setGeometry(6, 0, 66, 50);
    snapshots.AppendItem(row);
  }
  snapshots.show();
  EXPECT_EQ(snapshots.i_VisibleRows, 2);
  EXPECT_EQ(snapshots.Items[1]->y(), 51);
  EXPECT_FALSE(snapshots.Items[2]->isVisibleTo(&snapshots));

  // The lists' parts and rows are their own: a window's walk lists only the lists.
  QWidget form;
  auto* owned = new TFT_Snapshot(&form);
  owned->AppendItem(new Snapshot_Item);
  EXPECT_EQ(components::Components(&form), std::vector<QObject*>{owned});
}

// The TV page: TVChannel.ini, the favourites view, tuning and the first-visit message.
#include <QTabWidget>
#include <QTimer>

#include "LibraryTestSupport.h"
#include "platform/MessageBox.h"
#include "player/settings/Ft_lumoradvdsetupform.h"

namespace {

using library_test::SidePanelFixture;
using library_test::WriteText;

class TVListTest : public SidePanelFixture {
 protected:
  TFT_PlayList* List() { return Side()->MyTVList; }
  std::string Ini() { return Home() + "TVChannel.ini"; }
  int Shown() {
    int n = 0;
    for (PlayList_Item* i : List()->Items) n += i->isHidden() ? 0 : 1;
    return n;
  }
};

TEST_F(TVListTest, CountAndDefaults) {
  WriteText(Ini(), "[TVGeneral]\r\nCount=2\r\n[TVChannel]\r\nchannelname1=News\r\n");
  TFT_PlayList* list = List();
  ASSERT_EQ(list->Items.size(), 2u);
  EXPECT_EQ(list->Items[0]->Caption(), " News");
  EXPECT_EQ(list->Items[0]->Hint(), "News");
  EXPECT_EQ(list->Items[1]->Caption(), " Default Name - 2");
  EXPECT_EQ(list->Items[0]->Path, "1");
  EXPECT_EQ(list->Items[1]->Path, "1");
  EXPECT_EQ(list->i_ChannelCount, 2);
  // A missing file keeps what the list has.
  QFile::remove(QString::fromStdString(Ini()));
  list->ReloadChannels(Ini());
  EXPECT_EQ(list->Items.size(), 2u);
}

TEST_F(TVListTest, NegativeHugeAndDuplicateChannels) {
  WriteText(Ini(),
            "[TVGeneral]\r\nCount=3\r\n[TVChannel]\r\nChannelIndex1=-5\r\nChannelIndex2=99999999999"
            "\r\nChannelIndex3=-5\r\nChannelName3=Twin\r\nChannelFavorite3=y\r\n");
  TFT_PlayList* list = List();
  ASSERT_EQ(list->Items.size(), 3u);
  EXPECT_EQ(list->Items[0]->Path, "-5");
  EXPECT_EQ(list->Items[2]->Path, "-5");
  EXPECT_FALSE(list->Items[2]->b_Favorite);  // only "Y" is a favourite here

  WriteText(Ini(), "[TVGeneral]\r\nCount=-4\r\n");
  list->ReloadChannels(Ini());
  EXPECT_TRUE(list->Items.empty());

  plat::ClearRecordedMessageBoxes();
  WriteText(Ini(), "[TVGeneral]\r\nCount=2147483647\r\n");
  Side()->ReloadChannels();
  EXPECT_EQ(list->Items.size(), 1000u);
  EXPECT_EQ(plat::RecordedMessageBoxes().size(), 1u);

  // Garbage without a channel count does not empty the list the user sees.
  WriteText(Ini(), QByteArray("\x00\x01\xff[TVGeneral]\nCount=1\n", 23));
  QString problem;
  list->ReloadChannels(Ini(), &problem);
  EXPECT_EQ(list->Items.size(), 1000u);
  EXPECT_FALSE(problem.isEmpty());
}

TEST_F(TVListTest, FavouritesViewAndDeleteAllDoingNothing) {
  WriteText(
      Ini(),
      "[TVGeneral]\r\nCount=3\r\n[TVChannel]\r\nChannelFavorite1=N\r\nChannelFavorite2=Y\r\n");
  TFT_LumoraDVD_SubForm* side = Side();
  side->resize(231, 447);
  side->MyTVList->resize(180, 300);
  side->ShowPage(3);
  EXPECT_EQ(Shown(), 3);
  side->skImageButton_TVFavoritClick(nullptr);
  EXPECT_TRUE(side->b_TVFavoriteView);
  EXPECT_EQ(Shown(), 1);
  EXPECT_EQ(side->MyTVList->Items[1]->y(), 2);
  EXPECT_FALSE(Button("skImageButton_TVNormal")->isHidden());
  EXPECT_TRUE(Button("skImageButton_TVFavorit")->isHidden());
  side->DeleteAll1Click(nullptr);
  side->DeleteSelected1Click(nullptr);
  side->RemainSelected1Click(nullptr);
  EXPECT_EQ(side->MyTVList->Items.size(), 3u);

  // No favourite at all: no rows.
  WriteText(Ini(), "[TVGeneral]\r\nCount=2\r\n");
  side->ReloadChannels();
  EXPECT_EQ(Shown(), 0);
  side->skImageButton_TVNormalClick(nullptr);
  EXPECT_EQ(Shown(), 2);
}

TEST_F(TVListTest, FirstVisitAsksForAScanOncePerRun) {
  TFT_LumoraDVD_SubForm* side = Side();
  b_TVFirstVisit = true;
  plat::ClearRecordedMessageBoxes();
  // The settings dialog comes up modal: look at its page, then cancel it. The page goes with
  // the dialog, so only its name is kept.
  QString page;
  QTimer::singleShot(300, [&page] {
    if (FT_LumoraDVD_SetupForm) {
      if (QWidget* w = FT_LumoraDVD_SetupForm->PageControl->currentWidget()) page = w->objectName();
      FT_LumoraDVD_SetupForm->reject();
    }
  });
  side->ShowPage(3);
  EXPECT_EQ(page, "TabSheet_TVSetup");
  EXPECT_EQ(FT_LumoraDVD_SetupForm, nullptr);
  auto boxes = plat::RecordedMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "You need scan TV channel first!");
  side->ShowPage(0);
  side->ShowPage(3);
  EXPECT_EQ(plat::RecordedMessageBoxes().size(), 1u);
}

TEST_F(TVListTest, TuningStopsWhatPlaysAndStartsTV) {
  qputenv("LUMORA_TV", "sim:2,5,9");
  WriteText(Ini(),
            "[TVGeneral]\r\nCount=2\r\n[TVChannel]\r\nChannelIndex1=5\r\nChannelIndex2=9\r\n");
  TFT_LumoraDVD_SubForm* side = Side();
  FT_LumoraDVD_MainForm->resize(640, 480);
  FT_LumoraDVD_MainForm->show();
  // The TV button with no selected channel does nothing.
  side->MyTVList->SelectedItem->SetStyle(PlayList_Item::Normal);
  side->MyTVList->SelectedItem = nullptr;
  side->skImageButton_TVClick(nullptr);
  EXPECT_EQ(PlayType, ptNone);

  side->MyTVList->ItemDblClick(side->MyTVList->Items[1]);
  EXPECT_EQ(PlayType, ptTV);
  EXPECT_EQ(FT_LumoraDVD_MainForm->s_LastStatus, "TV");
  EXPECT_EQ(side->MyTVList->PlayingItem, side->MyTVList->Items[1]);
  EXPECT_EQ(side->MyTVList->Items[1]->CurrentStyle(), PlayList_Item::Playing);
  qunsetenv("LUMORA_TV");
}

}  // namespace

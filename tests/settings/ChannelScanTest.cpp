// The TV page: scanning on the simulated tuner, stopping, favourites and deletions kept by OK,
// and TVChannel.ini written whole or not at all.
#include <QTreeWidget>

#include "SetupSupport.h"
#include "platform/Profile.h"
#include "player/library/Ft_lumoradvdsubform.h"
#include "player/library/TFT_PlayList.h"

namespace {

using setup_test::BoxTexts;
using setup_test::SetupFixture;
using setup_test::WaitFor;

QStringList Row(const TFT_LumoraDVD_SetupForm* d, int i) {
  const QTreeWidgetItem* r = d->ListView_Channel->topLevelItem(i);
  if (!r) return {};
  const bool mark = r->icon(0).cacheKey() == d->ImageList1[0].cacheKey();
  return {r->text(0), r->text(1), r->text(2), mark ? "mark" : "-"};
}

int Rows(const TFT_LumoraDVD_SetupForm* d) { return d->ListView_Channel->topLevelItemCount(); }

constexpr char kThreeChannels[] =
    "[TVGeneral]\r\nCount=3\r\n[TVChannel]\r\nChannelName1=News\r\nChannelIndex1=2\r\n"
    "ChannelFavorite1=N\r\nChannelName2=Movies\r\nChannelIndex2=5\r\nChannelFavorite2=N\r\n"
    "ChannelName3=Sport\r\nChannelIndex3=9\r\nChannelFavorite3=Y\r\n";

TEST_F(SetupFixture, ScanWhileAFilePlaysSwitchesToTvAndEndsByItself) {
  qputenv("LUMORA_TV", "sim:2,5,9");
  ASSERT_NO_FATAL_FAILURE(PlayClip(320, 240));
  WriteChannelFile(kThreeChannels);
  RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) {
        ASSERT_EQ(Rows(d), 3);
        d->Button_Scan->click();
        EXPECT_EQ(PlayType, ptTV);
        EXPECT_EQ(PlayState, psPlaying);
        EXPECT_EQ(main()->s_LastStatus, "TV");
        EXPECT_EQ(d->Button_Scan->text(), "Stop");
        EXPECT_EQ(Rows(d), 0);
        ASSERT_TRUE(WaitFor([] { return !BoxTexts().empty(); }));
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Scan Finish."});
        ASSERT_EQ(Rows(d), 3);
        EXPECT_EQ(Row(d, 0), QStringList({"Default Name - 2", "2", "N", "-"}));
        EXPECT_EQ(Row(d, 1), QStringList({"Default Name - 5", "5", "N", "-"}));
        EXPECT_EQ(Row(d, 2), QStringList({"Default Name - 9", "9", "N", "-"}));
        EXPECT_EQ(spy::Values("SetTVChannel"), std::vector<double>{2});
        EXPECT_TRUE(d->ListView_Channel->selectedItems().isEmpty());
        // The end of the scan leaves the caption; the next press only cancels.
        EXPECT_EQ(d->Button_Scan->text(), "Stop");
        d->Button_Scan->click();
        EXPECT_EQ(d->Button_Scan->text(), "Scan");
        EXPECT_EQ(Rows(d), 3);
      },
      false);
  // Cancel discards the scan: the file still holds the old list.
  plat::ProfileFile ini(TFT_LumoraDVD_SetupForm::ChannelFilePath());
  EXPECT_EQ(ini.get("TVChannel", "ChannelName1"), "News");
  EXPECT_EQ(BoxTexts().size(), 1u);
}

TEST_F(SetupFixture, StopMidwayReportsUserCancelAndOkDuringAScanStaysQuiet) {
  qputenv("LUMORA_TV", "sim:2,5,9");
  RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) {
        d->Button_Scan->click();
        ASSERT_EQ(d->Button_Scan->text(), "Stop");
        d->Button_Scan->click();
        EXPECT_EQ(d->Button_Scan->text(), "Scan");
        ASSERT_TRUE(WaitFor([] { return !BoxTexts().empty(); }));
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{"User Cancel."});
        EXPECT_LT(Rows(d), 3);
      },
      false);

  // OK while a scan runs: the dialog cancels it and keeps what was found, without a box later.
  plat::ClearRecordedMessageBoxes();
  EXPECT_TRUE(RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) {
        d->Button_Scan->click();
        ASSERT_EQ(d->Button_Scan->text(), "Stop");
        ASSERT_TRUE(WaitFor([&] { return Rows(d) >= 1; }));
      },
      true));
  plat::PumpMessages(300);
  EXPECT_TRUE(BoxTexts().empty());
  plat::ProfileFile ini(TFT_LumoraDVD_SetupForm::ChannelFilePath());
  EXPECT_GE(ini.getInt("TVGeneral", "Count", 0), 1);
  EXPECT_EQ(ini.get("TVChannel", "ChannelName1"), "Default Name - 2");
}

TEST_F(SetupFixture, TheTunerGoingAwayMidScanEndsTheScanAndAPressStartsTvAgain) {
  qputenv("LUMORA_TV", "sim:2,5,9");
  RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) {
        d->Button_Scan->click();
        ASSERT_EQ(PlayType, ptTV);
        // TV playback ends under the dialog (an engine error does this): the tuner goes.
        ClosePlayback();
        ASSERT_TRUE(WaitFor([] { return !BoxTexts().empty(); }));
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{"User Cancel."});
        EXPECT_LT(Rows(d), 3);
        // The button still offers to stop; pressing it brings TV back and ends the scan state.
        d->Button_Scan->click();
        EXPECT_EQ(PlayType, ptTV);
        EXPECT_EQ(d->Button_Scan->text(), "Scan");
        d->Button_Scan->click();
        ASSERT_TRUE(WaitFor([] { return BoxTexts().size() == 2; }));
        EXPECT_EQ(BoxTexts()[1], "Scan Finish.");
        EXPECT_EQ(Rows(d), 3);
      },
      false);
}

TEST_F(SetupFixture, WithoutATunerTheScanSaysSoAndChangesNothing) {
  qputenv("LUMORA_TV", "none");
  WriteChannelFile(kThreeChannels);
  RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) {
        d->Button_Scan->click();
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Please Turn TV On first!"});
        EXPECT_EQ(d->Button_Scan->text(), "Scan");
        EXPECT_EQ(Rows(d), 3);
        EXPECT_NE(PlayType, ptTV);
      },
      false);
}

TEST_F(SetupFixture, FavouriteSelectionAndDeletionAreKeptByOkAndSeenOnReopening) {
  WriteChannelFile(kThreeChannels);
  EXPECT_TRUE(RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) {
        ASSERT_EQ(Rows(d), 3);
        EXPECT_EQ(Row(d, 2), QStringList({"Sport", "9", "Y", "mark"}));
        EXPECT_EQ(d->Button_Favorite->text(), "Favorite");
        d->Button_Favorite->click();  // nothing selected: nothing happens
        EXPECT_EQ(Row(d, 0)[2], "N");
        // Selecting a row tunes it at once and shows what the button would do.
        d->ListView_Channel->setCurrentItem(d->ListView_Channel->topLevelItem(1));
        EXPECT_EQ(spy::Values("SetTVChannel"), std::vector<double>{5});
        d->Button_Favorite->click();
        EXPECT_EQ(Row(d, 1), QStringList({"Movies", "5", "Y", "mark"}));
        EXPECT_EQ(d->Button_Favorite->text(), "Unfavorite");
        d->ListView_Channel->setCurrentItem(d->ListView_Channel->topLevelItem(2));
        EXPECT_EQ(d->Button_Favorite->text(), "Unfavorite");
        d->Button_Favorite->click();
        EXPECT_EQ(Row(d, 2), QStringList({"Sport", "9", "N", "-"}));
        EXPECT_EQ(d->Button_Favorite->text(), "Favorite");
        // Deleting the first row does not select (and tune) another.
        d->ListView_Channel->setCurrentItem(d->ListView_Channel->topLevelItem(0));
        spy::Clear();
        d->Button_Delete->click();
        EXPECT_EQ(Rows(d), 2);
        EXPECT_TRUE(spy::Values("SetTVChannel").empty());
        EXPECT_TRUE(d->ListView_Channel->selectedItems().isEmpty());
      },
      true));
  plat::ProfileFile ini(TFT_LumoraDVD_SetupForm::ChannelFilePath());
  EXPECT_EQ(ini.getInt("TVGeneral", "Count", 0), 2);
  EXPECT_EQ(ini.get("TVChannel", "ChannelName1"), "Movies");
  EXPECT_EQ(ini.get("TVChannel", "ChannelFavorite1"), "Y");
  EXPECT_EQ(ini.get("TVChannel", "ChannelFavorite2"), "N");
  // Keys beyond the count stay; readers stop at Count.
  EXPECT_EQ(ini.get("TVChannel", "ChannelName3"), "Sport");
  // The side panel's TV list was reloaded; its favourites view shows Movies alone.
  TFT_PlayList* tv = FT_LumoraDVD_SubForm->MyTVList;
  ASSERT_EQ(tv->Items.size(), 2u);
  tv->SetFavoriteFilter(true);
  std::vector<QString> shown;
  for (const PlayList_Item* item : tv->Items)
    if (!item->isHidden()) shown.push_back(item->Path);
  EXPECT_EQ(shown, std::vector<QString>{"5"});
  tv->SetFavoriteFilter(false);

  RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) {
        ASSERT_EQ(Rows(d), 2);
        EXPECT_EQ(Row(d, 0), QStringList({"Movies", "5", "Y", "mark"}));
        EXPECT_EQ(Row(d, 1), QStringList({"Sport", "9", "N", "-"}));
      },
      false);
}

TEST_F(SetupFixture, DeletingEveryRowWritesCountZero) {
  WriteChannelFile(kThreeChannels);
  FT_LumoraDVD_SubForm->ReloadChannels(TFT_LumoraDVD_SetupForm::ChannelFilePath());
  ASSERT_EQ(FT_LumoraDVD_SubForm->MyTVList->Items.size(), 3u);
  EXPECT_TRUE(RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) {
        while (Rows(d) > 0) {
          d->ListView_Channel->setCurrentItem(d->ListView_Channel->topLevelItem(0));
          d->Button_Delete->click();
        }
        d->Button_Delete->click();  // nothing left to delete
      },
      true));
  plat::ProfileFile ini(TFT_LumoraDVD_SetupForm::ChannelFilePath());
  EXPECT_EQ(ini.getInt("TVGeneral", "Count", -1), 0);
  EXPECT_TRUE(FT_LumoraDVD_SubForm->MyTVList->Items.empty());
}

TEST_F(SetupFixture, ADamagedListFileIsReadWithDefaultsAndCapped) {
  // A count far beyond any tuner, with only one name present.
  WriteChannelFile(
      "[TVGeneral]\nCount=2000000000\n[TVChannel]\nChannelName1=News\n"
      "ChannelIndex2=abc\nChannelFavorite2=y\n");
  RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) {
        ASSERT_EQ(Rows(d), TFT_LumoraDVD_SetupForm::kMaxChannels);
        EXPECT_EQ(Row(d, 0), QStringList({"News", "1", "N", "-"}));
        // Anything but "N" counts as a favourite here.
        EXPECT_EQ(Row(d, 1), QStringList({"Default Name - 2", "abc", "y", "mark"}));
        // An index that is no number is not tuned.
        d->ListView_Channel->setCurrentItem(d->ListView_Channel->topLevelItem(1));
        EXPECT_TRUE(spy::Values("SetTVChannel").empty());
        EXPECT_EQ(d->Button_Favorite->text(), "Unfavorite");
      },
      false);
}

TEST_F(SetupFixture, AListFileThatCannotBeReplacedIsReportedAndKept) {
  // A folder where the file should be: it can be neither read nor replaced.
  const QString path = QString::fromStdString(TFT_LumoraDVD_SetupForm::ChannelFilePath());
  ASSERT_TRUE(QDir().mkpath(path));
  ASSERT_TRUE(QFile(path + "/keep").open(QIODevice::WriteOnly));
  l_Bringhtness = 0;
  EXPECT_TRUE(
      RunSetup([&](TFT_LumoraDVD_SetupForm* d) { d->skTrackBar_Brightness->setValue(200); }, true));
  ASSERT_EQ(BoxTexts().size(), 1u);
  EXPECT_NE(BoxTexts()[0].find("TVChannel.ini"), std::string::npos);
  EXPECT_TRUE(QFileInfo(path + "/keep").exists());
  // The rest of OK still took effect.
  EXPECT_EQ(l_Bringhtness, 200);
}

TEST_F(SetupFixture, ProgressReportsReachOnlyAnOpenDialog) {
  const HWND h = main()->Handle();
  RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) {
        ASSERT_TRUE(plat::PostMessage(h, WM_TV_SCAN_PROGRESS, 1, 7));
        ASSERT_TRUE(plat::PostMessage(h, WM_TV_SCAN_PROGRESS, 1, 12));
        ASSERT_TRUE(WaitFor([&] { return Rows(d) == 2; }, 3000));
        EXPECT_EQ(Row(d, 1), QStringList({"Default Name - 12", "12", "N", "-"}));
      },
      false);
  // After the dialog has gone the main window drops them.
  ASSERT_TRUE(plat::PostMessage(h, WM_TV_SCAN_PROGRESS, 0, 0));
  plat::PumpMessages(50);
  EXPECT_TRUE(BoxTexts().empty());
}

}  // namespace

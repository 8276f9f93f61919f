// The open menu, disc detection, disc arrival and the eject button.
#include <QDir>

#include "PanelTestSupport.h"
#include "player/library/Ft_lumoradvdsubform.h"
#include "player/library/TFT_PlayList.h"

using panel_test::PanelFixture;

namespace {

class OpenMenuTest : public PanelFixture {
 protected:
  // Drives whose roots are folders; a label can be read from every root named in `discs`.
  void SetDrives(std::vector<plat::OpticalDrive> drives, std::set<std::string> discs) {
    plat::SetDrivesDouble([drives] { return drives; });
    plat::SetVolumeLabelDouble([discs](const std::string& root, std::string& label) {
      if (!discs.count(root)) return false;
      label = "MY_DISC";
      return true;
    });
  }
  TMenuItem* Entry(TPopupMenu* menu, const char* name) {
    for (int i = 0; i < menu->Count(); ++i)
      if (menu->Item(i)->objectName() == name) return menu->Item(i);
    return nullptr;
  }
  int PlayListCount() { return FT_LumoraDVD_SubForm->MyPlayList->RowCount(); }
};

TEST_F(OpenMenuTest, WithoutDrivesTheMenuHasNoSeparator) {
  panel_->BuildDiscMenu();
  EXPECT_EQ(Captions(panel_->PopupMenu_Disc),
            (std::vector<std::string>{"Open File...", "Open DVD Folder...", "Turn TV On"}));
  EXPECT_NE(Entry(panel_->PopupMenu_Disc, "Open"), nullptr);
  EXPECT_NE(Entry(panel_->PopupMenu_Disc, "OpenDVD"), nullptr);
  EXPECT_NE(Entry(panel_->PopupMenu_Disc, "OpenTV"), nullptr);
  // The eject button has nothing to act on.
  panel_->skImageButton_EjectMouseUp(nullptr, mbLeft, {}, 0, 0);
  EXPECT_EQ(panel_->PopupMenu_Driver->Count(), 0);

  SetDrives({{"sr0", "/dev/sr0", "/dev/sr0", false}, {"sr1", "/dev/sr1", "/media/A&B/", true}},
            {"/media/A&B/"});
  panel_->BuildDiscMenu();
  EXPECT_EQ(Captions(panel_->PopupMenu_Disc),
            (std::vector<std::string>{"/dev/sr0", "/media/A&B/ MY_DISC", "-", "Open File...",
                                      "Open DVD Folder...", "Turn TV On"}));
  EXPECT_EQ(panel_->PopupMenu_Disc->Item(1)->objectName(), "sr1");
  EXPECT_FALSE(panel_->PopupMenu_Disc->Item(0)->icon().isNull());
}

TEST_F(OpenMenuTest, FolderBrowserCutsAtVideoTsInUpperCaseOnly) {
  const std::string disc = panel_test::SampleDvd();
  if (disc.empty()) GTEST_SKIP() << "sample DVD not built";
  TMenuItem openDvd;
  openDvd.setObjectName("OpenDVD");

  dialogAnswer_ = {disc + "VIDEO_TS"};
  panel_->OpenFromMenu(&openDvd);
  EXPECT_EQ(dialogTitles_.back(), "Please select DVD Folder:");
  EXPECT_EQ(PlayType, ptDVD);
  EXPECT_EQ(CurrentPlayPath, disc);
  EXPECT_TRUE(panel_->skImageButton_Menu->isEnabled());

  // The same folder chosen directly: it is already playing, nothing happens.
  panel_->skImageButton_StopClick(panel_->skImageButton_Stop);
  dialogAnswer_ = {disc.substr(0, disc.size() - 1)};
  panel_->OpenFromMenu(&openDvd);
  EXPECT_EQ(PlayType, ptDVD);

  // A lower-case video_ts folder is not cut, and holds no VIDEO_TS of its own.
  panel_->skImageButton_StopClick(panel_->skImageButton_Stop);
  QDir(QString::fromStdString(Home())).mkpath("film/video_ts");
  dialogAnswer_ = {Home() + "film/video_ts"};
  panel_->OpenFromMenu(&openDvd);
  EXPECT_EQ(PlayType, ptNone);
  EXPECT_EQ(CurrentPlayPath, disc);  // put back after the failure

  // Cancelled: nothing changes.
  dialogAnswer_.clear();
  panel_->OpenFromMenu(&openDvd);
  EXPECT_EQ(CurrentPlayPath, disc);
}

TEST_F(OpenMenuTest, ADriveEntryPlaysItsDiscOnceAndAgainAfterAStop) {
  const std::string disc = panel_test::SampleDvd();
  if (disc.empty()) GTEST_SKIP() << "sample DVD not built";
  SetDrives({{"sr0", "/dev/sr0", disc, true}}, {disc});
  panel_->BuildDiscMenu();
  TMenuItem* drive = Entry(panel_->PopupMenu_Disc, "sr0");
  ASSERT_NE(drive, nullptr);
  drive->trigger();
  ASSERT_EQ(PlayType, ptDVD);
  EXPECT_EQ(CurrentPlayPath, disc);
  panel_->ShowTitleNumber(7);  // would be reset by a restart's stop
  main_->i_CurrentTitle = 7;
  panel_->OpenFromMenu(drive);
  EXPECT_EQ(main_->i_CurrentTitle, 7);

  panel_->skImageButton_StopClick(panel_->skImageButton_Stop);
  ASSERT_EQ(PlayState, psStopped);
  panel_->OpenFromMenu(drive);
  EXPECT_EQ(PlayType, ptDVD);
  EXPECT_EQ(PlayState, psPlaying);
}

TEST_F(OpenMenuTest, PlaySearchesTheDrivesAndSkipsEmptyOnes) {
  const std::string disc = panel_test::SampleDvd();
  if (disc.empty()) GTEST_SKIP() << "sample DVD not built";
  // sr0 has no disc, sr1 a data disc without video, sr2 the DVD.
  QDir(QString::fromStdString(Home())).mkpath("data/DOCS");
  SetDrives({{"sr0", "/dev/sr0", "/dev/sr0", false},
             {"sr1", "/dev/sr1", Home() + "data/", true},
             {"sr2", "/dev/sr2", disc, true}},
            {Home() + "data/", disc});
  panel_->PlayFromControl(panel_->skImageButton_Play);
  EXPECT_EQ(PlayType, ptDVD);
  EXPECT_EQ(CurrentPlayPath, disc);
  EXPECT_EQ(Status(), "Play");
  EXPECT_TRUE(dialogTitles_.empty());
}

TEST_F(OpenMenuTest, AVideoCdFolderFillsThePlayList) {
  const std::string clip = panel_test::Clip(3);
  ASSERT_FALSE(clip.empty());
  const std::string root = Home() + "vcd/";
  QDir().mkpath(QString::fromStdString(root + "MPEGAV"));
  QDir().mkpath(QString::fromStdString(root + "SEGMENT"));
  for (const char* name : {"AVSEQ01.DAT", "AVSEQ02.DAT"})
    QFile::copy(QString::fromStdString(clip), QString::fromStdString(root + "MPEGAV/" + name));
  FT_LumoraDVD_SubForm->i_PageIndex = 2;

  CurrentPlayPath = root;
  ASSERT_TRUE(panel_->PlayDisc());
  EXPECT_EQ(PlayListCount(), 2);
  EXPECT_EQ(FT_LumoraDVD_SubForm->i_PageIndex, 0);
  EXPECT_EQ(PlayType, ptPlayList);
  EXPECT_EQ(PlayState, psPlaying);
  EXPECT_EQ(CurrentPlayPath, root + "MPEGAV/AVSEQ01.DAT");
}

TEST_F(OpenMenuTest, SeveralFilesFromTheDialogReplaceThePlayList) {
  const std::string clip = panel_test::Clip(3);
  ASSERT_FALSE(clip.empty());
  std::vector<std::string> files;
  for (const char* name : {"a.mp4", "b.mp4", "c.mp4"}) {
    files.push_back(Home() + name);
    QFile::copy(QString::fromStdString(clip), QString::fromStdString(files.back()));
  }
  FT_LumoraDVD_SubForm->AddToPlayList(clip, "old");
  dialogAnswer_ = files;
  panel_->OpenFromMenu(nullptr);
  EXPECT_EQ(dialogTitles_, std::vector<std::string>{"Load File to Play List"});
  EXPECT_EQ(PlayListCount(), 3);
  EXPECT_EQ(PlayType, ptPlayList);
  EXPECT_EQ(CurrentPlayPath, files[0]);

  // One file plays as itself.
  dialogAnswer_ = {files[2]};
  panel_->OpenFromMenu(nullptr);
  EXPECT_EQ(PlayListCount(), 1);
  EXPECT_EQ(PlayType, ptFile);
  EXPECT_EQ(CurrentPlayPath, files[2]);
}

TEST_F(OpenMenuTest, AnInsertedDiscStartsOnlyWhileNothingPlays) {
  const std::string disc = panel_test::SampleDvd();
  if (disc.empty()) GTEST_SKIP() << "sample DVD not built";
  SetDrives({{"sr0", "/dev/sr0", disc, true}}, {disc});
  const std::string clip = panel_test::Clip(20);
  ASSERT_TRUE(PlayFile(clip));
  plat::PostMessage(panel_->Handle(), plat::kWmDeviceChange, plat::kDeviceArrival, 0);
  WaitFor([] { return false; }, 600);
  EXPECT_EQ(PlayType, ptFile);
  EXPECT_EQ(CurrentPlayPath, clip);

  panel_->skImageButton_StopClick(panel_->skImageButton_Stop);
  // A burst of notices starts the disc once; a removal and a drive out of range are ignored.
  int opens = 0;
  plat::SetVolumeLabelDouble([&](const std::string& root, std::string& label) {
    ++opens;
    label = "MY_DISC";
    return root == disc;
  });
  for (int i = 0; i < 10; ++i)
    plat::PostMessage(panel_->Handle(), plat::kWmDeviceChange, plat::kDeviceArrival, 0);
  plat::PostMessage(panel_->Handle(), plat::kWmDeviceChange, plat::kDeviceArrival, 5);
  plat::PostMessage(panel_->Handle(), plat::kWmDeviceChange, plat::kDeviceRemoval, 0);
  EXPECT_TRUE(WaitFor([] { return PlayType == ptDVD; }, 3000));
  EXPECT_EQ(CurrentPlayPath, disc);
  EXPECT_LE(opens, 4);  // looked at once, not once per notice
}

TEST_F(OpenMenuTest, EjectTogglesTheOnlyTrayAndOffersAMenuForSeveral) {
  // A fake tray: the disc's label can be read only while the tray is closed.
  std::vector<std::pair<std::string, bool>> trays;
  bool open = false;
  plat::SetTrayDouble([&](const std::string& device, bool opening) {
    trays.emplace_back(device, opening);
    open = opening;
    return true;
  });
  plat::SetDrivesDouble([] {
    return std::vector<plat::OpticalDrive>{{"sr0", "/dev/sr0", "/media/disc/", true}};
  });
  plat::SetVolumeLabelDouble([&](const std::string&, std::string& label) {
    label = "DISC";
    return !open;
  });
  panel_->skImageButton_EjectMouseUp(nullptr, mbLeft, {}, 0, 0);
  ASSERT_EQ(trays.size(), 1u);
  EXPECT_EQ(trays[0], std::make_pair(std::string("/dev/sr0"), true));  // a disc was in: open
  EXPECT_FALSE(panel_->PopupMenu_Driver->isVisible());
  EXPECT_FALSE(panel_->PopupMenu_Driver->Item(0)->isChecked());
  // The next press closes the tray, and the disc is known to be in again.
  panel_->skImageButton_EjectMouseUp(nullptr, mbLeft, {}, 0, 0);
  ASSERT_EQ(trays.size(), 2u);
  EXPECT_FALSE(trays[1].second);
  EXPECT_TRUE(panel_->PopupMenu_Driver->Item(0)->isChecked());
  EXPECT_EQ(panel_->PopupMenu_Driver->Item(0)->Caption(), "/media/disc/ DISC");
  // A right click always gives the menu.
  panel_->skImageButton_EjectMouseUp(nullptr, mbRight, {}, 0, 0);
  EXPECT_EQ(trays.size(), 2u);
  EXPECT_TRUE(panel_->PopupMenu_Driver->isVisible());
  panel_->PopupMenu_Driver->hide();

  // Several drives: the menu, built once and then refreshed; choosing one ejects it.
  panel_->PopupMenu_Driver->Clear();
  SetDrives({{"sr0", "/dev/sr0", "/media/a/", true}, {"sr1", "/dev/sr1", "/media/b/", true}},
            {"/media/b/"});
  panel_->skImageButton_EjectMouseUp(nullptr, mbLeft, {}, 0, 0);
  EXPECT_EQ(trays.size(), 2u);
  ASSERT_EQ(panel_->PopupMenu_Driver->Count(), 2);
  EXPECT_EQ(Captions(panel_->PopupMenu_Driver),
            (std::vector<std::string>{"/media/a/", "/media/b/ MY_DISC"}));
  EXPECT_FALSE(panel_->PopupMenu_Driver->Item(0)->isChecked());
  EXPECT_TRUE(panel_->PopupMenu_Driver->Item(1)->isChecked());
  panel_->PopupMenu_Driver->Item(1)->trigger();
  ASSERT_EQ(trays.size(), 3u);
  EXPECT_EQ(trays[2], std::make_pair(std::string("/dev/sr1"), true));
  panel_->PopupMenu_Driver->hide();
}

}  // namespace

// Files dropped on the main window: through Qt's drop event, message 563 and the play list.
#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "CommandsTestSupport.h"
#include "player/library/Ft_lumoradvdsubform.h"
#include "player/library/TFT_PlayList.h"

using commands_test::CommandsFixture;
using commands_test::WaitFor;

class DropTest : public CommandsFixture {
 protected:
  // Drops the URLs on the video area the way a file manager's drop arrives.
  void Drop(const QList<QUrl>& urls, QWidget* target = nullptr) {
    QWidget* to = target ? target : main_;
    QMimeData mime;
    mime.setUrls(urls);
    const QPoint at(100, 100);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(to, &enter);
    accepted_ = enter.isAccepted();
    if (!accepted_) return;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(to, &drop);
    plat::PumpMessages(50);
  }
  std::string Copy(const std::string& name) {
    const std::string dst = Home() + name;
    QFile::copy(QString::fromStdString(player_test::SmallClip()), QString::fromStdString(dst));
    return dst;
  }
  static QUrl File(const std::string& path) {
    return QUrl::fromLocalFile(QString::fromStdString(path));
  }
  int PlayListCount() {
    TFT_PlayList* list = FT_LumoraDVD_SubForm->MyPlayList;
    return list ? list->RowCount() : -1;
  }

  bool accepted_ = false;
};

TEST_F(DropTest, OneFilePlaysItAndSeveralReplaceThePlayList) {
  if (player_test::SmallClip().empty()) GTEST_SKIP() << "ffmpeg could not make the clip";
  const std::string a = Copy("a.mp4"), b = Copy("b.mp4"), c = Copy("c.mp4");
  Drop({File(a)});
  ASSERT_TRUE(accepted_);
  EXPECT_TRUE(WaitFor([] { return PlayState == psPlaying; }, 5000));
  EXPECT_EQ(PlayType, ptFile);
  EXPECT_EQ(CurrentPlayPath, a);

  FT_LumoraDVD_SubForm->AddToPlayList(a, std::string());
  Drop({File(a), File(b), File(c)});
  EXPECT_EQ(PlayListCount(), 3) << "the earlier entry is replaced";
  EXPECT_EQ(PlayType, ptPlayList);
  EXPECT_TRUE(WaitFor([] { return PlayState == psPlaying; }, 5000));
  EXPECT_EQ(plat::OpenDropHandleCount(), 0u);
}

TEST_F(DropTest, TheIfoFileOpensTheFolderThatHoldsTheDisc) {
  EXPECT_EQ(commands::DroppedPlayPath("/media/cd/VIDEO_TS/VIDEO_TS.IFO"), "/media/cd/");
  EXPECT_EQ(commands::DroppedPlayPath("/m/video_ts/vts_01_0.ifo"), "/m/");
  EXPECT_EQ(commands::DroppedPlayPath("/m/VIDEO_TS/VTS_01_1.VOB"), "/m/VIDEO_TS/VTS_01_1.VOB");
  EXPECT_EQ(commands::DroppedPlayPath("/films/a.ifo"), "/films/a.ifo");
  const std::string disc = commands_test::SampleDvd();
  if (disc.empty()) GTEST_SKIP() << "sample DVD not built";
  Drop({File(disc + "VIDEO_TS/VIDEO_TS.IFO")});
  EXPECT_TRUE(WaitFor([] { return PlayType == ptDVD; }, 10000));
  EXPECT_EQ(CurrentPlayPath, disc);
}

TEST_F(DropTest, LongPathsArriveWhole) {
  if (player_test::SmallClip().empty()) GTEST_SKIP() << "ffmpeg could not make the clip";
  std::string dir = Home();
  while (dir.size() < 300) dir += "a-long-folder-name-for-the-drop/";
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(dir)));
  const std::string path = dir + "clip.mp4";
  QFile::copy(QString::fromStdString(player_test::SmallClip()), QString::fromStdString(path));
  Drop({File(path)});
  EXPECT_TRUE(WaitFor([] { return PlayState == psPlaying; }, 5000));
  EXPECT_EQ(CurrentPlayPath, path);
}

TEST_F(DropTest, BadDropsAreToldAndLeaveWhatPlaysAlone) {
  if (player_test::SmallClip().empty()) GTEST_SKIP() << "ffmpeg could not make the clip";
  const std::string a = Copy("a.mp4");
  FT_LumoraDVD_SubForm->AddToPlayList(a, std::string());
  ASSERT_TRUE(PlayFile(a));

  // A web link alone is not taken at all.
  Drop({QUrl("https://example.com/film.mp4")});
  EXPECT_FALSE(accepted_);
  // A file that vanished, and a folder without a DVD: a message, and playback goes on.
  Drop({File(Home() + "gone.mp4")});
  ASSERT_TRUE(accepted_);
  QDir().mkpath(QString::fromStdString(Home() + "folder"));
  Drop({File(Home() + "folder")});
  const auto boxes = plat::RecordedMessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_NE(boxes[0].text.find("gone.mp4"), std::string::npos);
  EXPECT_NE(boxes[1].text.find("folder"), std::string::npos);
  EXPECT_EQ(PlayState, psPlaying);
  EXPECT_EQ(CurrentPlayPath, a);
  EXPECT_EQ(PlayListCount(), 1);

  // Mixed: the good files go through, the rest are named.
  plat::ClearRecordedMessageBoxes();
  const std::string b = Copy("b.mp4");
  Drop({File(a), QUrl("http://example.com/x.avi"), File(Home() + "gone.mp4"), File(b)});
  EXPECT_EQ(PlayListCount(), 2);
  ASSERT_EQ(plat::RecordedMessageBoxes().size(), 1u);
  EXPECT_NE(plat::RecordedMessageBoxes()[0].text.find("1 dropped item"), std::string::npos);
  EXPECT_EQ(plat::OpenDropHandleCount(), 0u);
}

TEST_F(DropTest, AHundredFilesAllReachThePlayList) {
  if (player_test::SmallClip().empty()) GTEST_SKIP() << "ffmpeg could not make the clip";
  const std::string a = Copy("a.mp4");
  QList<QUrl> urls;
  for (int i = 0; i < 100; ++i) {
    const std::string link = Home() + "clip" + std::to_string(i) + ".mp4";
    QFile::link(QString::fromStdString(a), QString::fromStdString(link));
    urls << File(link);
  }
  Drop(urls);
  EXPECT_EQ(PlayListCount(), 100);
  EXPECT_TRUE(WaitFor([] { return PlayState == psPlaying; }, 5000));
  EXPECT_TRUE(plat::RecordedMessageBoxes().empty());
}

TEST_F(DropTest, TheMessageItselfReadsItsHandle) {
  // An unknown or empty handle does nothing.
  main_->HandleDroppedFiles(0);
  main_->HandleDroppedFiles(12345);
  EXPECT_EQ(PlayType, ptNone);
  const WPARAM h = plat::CreateDropHandle({"/nowhere/x.mp4"});
  EXPECT_EQ(plat::DragQueryFileCount(h), 1u);
  ASSERT_TRUE(plat::PostMessage(main_->Handle(), WM_DROPFILES, h, 0));
  plat::PumpMessages(50);
  EXPECT_EQ(plat::DragQueryFileCount(h), 0u) << "the handle is released after use";
  EXPECT_EQ(CurrentPlayPath, "") << "a name with a dot that is not there is forgotten";
}

TEST_F(DropTest, FilesDroppedOnTheControlPanelActAsOnTheMainWindow) {
  if (player_test::SmallClip().empty()) GTEST_SKIP() << "ffmpeg could not make the clip";
  const std::string a = Copy("a.mp4"), b = Copy("b.mp4");
  Drop({File(a), File(b)}, panel_);
  ASSERT_TRUE(accepted_);
  EXPECT_EQ(PlayListCount(), 2);
  EXPECT_TRUE(WaitFor([] { return PlayState == psPlaying; }, 5000));
  EXPECT_EQ(PlayType, ptPlayList);
}

// Bookmarks: names, hints and times, thumbnails, the filter, Bookmark.bkm and playing one.
#include <QDir>
#include <QPainter>

#include "LibraryTestSupport.h"
#include "clipcore/Clipcore.h"
#include "platform/Drives.h"
#include "platform/MessageBox.h"
#include "player/controlpanel/Ft_lumoradvdoperationform.h"

namespace {

using library_test::ReadAll;
using library_test::SidePanelFixture;
using library_test::WriteText;

// The rectangle of pixels that are not black.
QRect Drawn(const QImage& img) {
  QRect r;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (QColor(img.pixel(x, y)) != QColor(Qt::black)) r |= QRect(x, y, 1, 1);
  return r;
}

QImage Picture(int w, int h, QColor c = Qt::white) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(c);
  return img;
}

class BookmarkTest : public SidePanelFixture {
 protected:
  // Rows of 50, whatever the skin says.
  TFT_Bookmark* List() {
    TFT_Bookmark* list = Side()->MyBookmark;
    list->SetRowHeight(50);
    return list;
  }
};

TEST_F(BookmarkTest, ThumbnailsKeepTheirProportionsOnBlack) {
  EXPECT_EQ(Drawn(ScaleKeepingAspect(Picture(640, 480), 62, 48)), QRect(0, 1, 62, 46));
  EXPECT_EQ(Drawn(ScaleKeepingAspect(Picture(1280, 720), 62, 48)), QRect(0, 7, 62, 34));
  EXPECT_EQ(Drawn(ScaleKeepingAspect(Picture(720, 576), 62, 48)), QRect(1, 0, 60, 48));
  // No picture: all black, never a crash.
  EXPECT_TRUE(Drawn(ScaleKeepingAspect(QImage(), 62, 48)).isNull());
  Bookmark_Item* row = List()->AddBookmark("/x.avi", 0, 5, Picture(640, 480));
  EXPECT_EQ(row->i_ThumbWidth, 62);
  EXPECT_EQ(row->i_ThumbHeight, 48);
  EXPECT_EQ(row->Thumbnail.size(), QSize(62, 48));
}

TEST_F(BookmarkTest, NamesHintsAndTimes) {
  TFT_Bookmark* list = List();
  Bookmark_Item* dvd = list->AddBookmark("BOOKMARK-CH3-T125@MOVIE", 3, 125, Picture(720, 576));
  EXPECT_EQ(dvd->i_Kind, 2);
  EXPECT_EQ(dvd->toolTip(), "BOOKMARK-CH3-T125@MOVIE, Ch : 03, Time : 00:02:05");
  Bookmark_Item* file = list->AddBookmark("/films/a.avi", 0, 86400, Picture(4, 3));
  EXPECT_EQ(file->i_Kind, 1);
  EXPECT_EQ(file->toolTip(), "/films/a.avi, Time : 24:00:00");
  EXPECT_EQ(BookmarkTimeText(86401), "00:00:00");
  EXPECT_EQ(BookmarkTimeText(-7), "00:00:00");
  EXPECT_EQ(BookmarkTimeText(3723), "01:02:03");
  EXPECT_EQ(TwoDigits(9), "09");
  EXPECT_EQ(TwoDigits(10), "10");
  // A name that only looks like a DVD bookmark in part is a file bookmark.
  EXPECT_EQ(list->AddBookmark("/BOOKMARK/film.avi", 0, 1, Picture(4, 3))->i_Kind, 1);
}

TEST_F(BookmarkTest, FilterShowsFilesOrTheDiscInTheDrive) {
  TFT_Bookmark* list = List();
  list->resize(200, 400);
  list->AddBookmark("/a.avi", 0, 1, Picture(4, 3));
  list->AddBookmark("BOOKMARK-CH1-T1@MOVIE", 1, 1, Picture(4, 3));
  list->AddBookmark("BOOKMARK-CH1-T2@", 1, 2, Picture(4, 3));
  auto shown = [&] {
    std::vector<QString> out;
    for (Bookmark_Item* i : list->Items)
      if (!i->isHidden()) out.push_back(i->Path);
    return out;
  };
  plat::SetVolumeLabelDouble([](const std::string&, std::string& label) {
    label = "MOVIE";
    return true;
  });
  CurrentPlayPath = "/media/cdrom/";
  Side()->SetBookmarkFilter(2);
  EXPECT_EQ(shown(), std::vector<QString>{"BOOKMARK-CH1-T1@MOVIE"});
  Side()->SetBookmarkFilter(1);
  EXPECT_EQ(shown(), std::vector<QString>{"/a.avi"});
  // A disc with an empty label shows none of its bookmarks: the empty label is in nothing.
  plat::SetVolumeLabelDouble([](const std::string&, std::string& label) {
    label.clear();
    return true;
  });
  Side()->SetBookmarkFilter(2);
  EXPECT_TRUE(shown().empty());
  Side()->SetBookmarkFilter(0);
  EXPECT_EQ(shown().size(), 3u);
  plat::SetVolumeLabelDouble({});
  // A disc folder on disk has no label of its own.
  std::string label;
  EXPECT_FALSE(ReadDiscLabel(Home(), label));
}

TEST_F(BookmarkTest, ClickDoubleClickPlayAndStopFrames) {
  TFT_Bookmark* list = List();
  Bookmark_Item* a = list->AddBookmark("/a.avi", 0, 1, Picture(4, 3));
  Bookmark_Item* b = list->AddBookmark("/b.avi", 0, 2, Picture(4, 3));
  EXPECT_EQ(a->FrameColour(), QColor(Qt::white));
  EXPECT_EQ(b->FrameColour(), QColor(128, 128, 128));
  list->ItemClick(b);
  EXPECT_EQ(a->FrameColour(), QColor(128, 128, 128));
  EXPECT_EQ(list->BookmarkToPlay(), b);
  EXPECT_EQ(b->FrameColour(), QColor(0, 255, 0));
  // The drawn row carries the frame, not just the field.
  EXPECT_EQ(QColor(b->Picture().pixel(1, 20)), QColor(0, 255, 0));
  list->MarkStopped();
  EXPECT_EQ(list->PlayingItem, nullptr);
  EXPECT_EQ(b->FrameColour(), QColor(Qt::white));
  list->DeleteSelected();
  ASSERT_EQ(list->Items.size(), 1u);
  EXPECT_EQ(list->Items[0], a);
  EXPECT_EQ(list->BookmarkToPlay(), nullptr);
}

TEST_F(BookmarkTest, RestartKeepsBookmarksAndTheirThumbnails) {
  TFT_Bookmark* list = List();
  QImage red = Picture(640, 480, Qt::red);
  QPainter(&red).fillRect(0, 0, 320, 240, Qt::blue);
  list->AddBookmark("/films/ü ñ, separators;@|.avi", 0, 61, red);
  list->AddBookmark("BOOKMARK-CH2-T30@DVD_DISC", 2, 30, Picture(720, 576, Qt::green));
  list->AddBookmark(QString(300, QChar('n')) + ".avi", 0, 5, Picture(1280, 720, Qt::yellow));
  const std::string file = Home() + "Bookmark.bkm";
  QDir().mkpath(QString::fromStdString(Home() + "Bookmark"));
  ASSERT_TRUE(list->SaveToFile(file));
  const QString thumb1 = QString::fromStdString(Home()) + "Bookmark/bmbmp-1.bmp";
  EXPECT_TRUE(ReadAll(file).startsWith(
      QString("/films/ü ñ, separators;@|.avi\r\n0\r\n61\r\n" + thumb1 + "\r\n").toUtf8()));

  TFT_Bookmark again;
  again.resize(200, 300);
  ASSERT_TRUE(again.LoadFromFile(file));
  ASSERT_EQ(again.Items.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(again.Items[i]->Path, list->Items[i]->Path);
    EXPECT_EQ(again.Items[i]->i_Chapter, list->Items[i]->i_Chapter);
    EXPECT_EQ(again.Items[i]->i_Seconds, list->Items[i]->i_Seconds);
    EXPECT_EQ(again.Items[i]->Thumbnail.convertToFormat(QImage::Format_RGB32),
              list->Items[i]->Thumbnail.convertToFormat(QImage::Format_RGB32))
        << i;
  }
  // Deleting one and saving again leaves no picture of a bookmark that is gone.
  again.ItemClick(again.Items[2]);
  again.DeleteSelected();
  ASSERT_TRUE(again.SaveToFile(file));
  EXPECT_TRUE(QFile::exists(QString::fromStdString(Home() + "Bookmark/bmbmp-2.bmp")));
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Home() + "Bookmark/bmbmp-3.bmp")));
}

TEST_F(BookmarkTest, DamagedBookmarkFilesAndMissingPictures) {
  const std::string file = Home() + "Bookmark.bkm";
  // Second entry cut off after its chapter; its thumbnail path names nothing.
  WriteText(file, "/a.avi\r\n0\r\nabc\r\n/nowhere/bmbmp-1.bmp\r\n/b.avi\r\n4\r\n");
  TFT_Bookmark list;
  QString problem;
  EXPECT_FALSE(list.LoadFromFile(file, &problem));
  ASSERT_EQ(list.Items.size(), 1u);
  EXPECT_EQ(list.Items[0]->i_Seconds, 0);  // not a number
  EXPECT_TRUE(QFile::exists(QString::fromStdString(file + ".damaged")));
  EXPECT_FALSE(problem.isEmpty());

  WriteText(file, QByteArray("/a.avi\r\n0\r\n1\r\n\x00\x00\x00\r\n", 19));
  TFT_Bookmark binary;
  EXPECT_FALSE(binary.LoadFromFile(file));
  EXPECT_TRUE(binary.Items.empty());
}

TEST_F(BookmarkTest, PicturesThatCannotBeWrittenAreReported) {
  TFT_Bookmark* list = List();
  list->AddBookmark("/a.avi", 0, 1, Picture(64, 48));
  // A file where the picture folder should be.
  WriteText(Home() + "Bookmark", "in the way");
  QString problem;
  EXPECT_FALSE(list->SaveToFile(Home() + "Bookmark.bkm", &problem));
  EXPECT_TRUE(problem.contains("could not be saved"));
  // The list itself is still written.
  EXPECT_TRUE(ReadAll(Home() + "Bookmark.bkm").startsWith("/a.avi\r\n"));
  // A list file that cannot be written leaves the old one whole.
  WriteText(Home() + "ro.bkm", "old");
  QDir().mkpath(QString::fromStdString(Home() + "dir.bkm"));
  EXPECT_FALSE(list->SaveToFile(Home() + "dir.bkm", &problem));
  EXPECT_TRUE(problem.contains("kept"));
}

TEST_F(BookmarkTest, ChoosingABookmarkOfThePlayingFileSeeksIntoIt) {
  const std::string clip = player_test::SmallClip();
  if (clip.empty()) GTEST_SKIP() << "ffmpeg cannot make the clip";
  TFT_LumoraDVD_SubForm* side = Side();
  FT_LumoraDVD_MainForm->resize(640, 480);
  FT_LumoraDVD_MainForm->show();
  CurrentPlayPath = clip;
  TFT_LumoraDVD_OperationForm* panel = FT_LumoraDVD_OperationForm;
  panel->PlayFromControl(FT_LumoraDVD_MainForm);
  ASSERT_EQ(PlayType, ptFile);
  ASSERT_TRUE(panel->skImageButton_Stop->isEnabled());
  side->MyBookmark->AddBookmark(QString::fromStdString(clip), 0, 3, Picture(4, 3));
  side->MyBookmark->ItemClick(side->MyBookmark->Items.back());
  double length = 0, before = -1;
  int32_t percent = 0;
  ASSERT_TRUE(GetPlayInfo(&length, &before, &percent));
  EXPECT_LT(before, 2.0);
  ASSERT_TRUE(side->PlayBookmark());
  // Same file, same engine: the position jumped to the bookmark's time.
  EXPECT_EQ(CurrentPlayPath, clip);
  double after = -1;
  QTest::qWait(300);
  ASSERT_TRUE(GetPlayInfo(&length, &after, &percent));
  EXPECT_GE(after, 2.9);
  // A bookmark whose file has gone fails.
  side->MyBookmark->AddBookmark(QString::fromStdString(Home() + "gone.avi"), 0, 3, Picture(4, 3));
  side->MyBookmark->ItemClick(side->MyBookmark->Items.back());
  EXPECT_FALSE(side->PlayBookmark());
}

}  // namespace

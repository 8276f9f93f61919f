// The play list: which files it takes, the order it plays them in, and PlayList.fpl.
#include <QDir>
#include <QElapsedTimer>
#include <set>

#include "LibraryTestSupport.h"
#include "platform/MessageBox.h"

namespace {

using library_test::ReadAll;
using library_test::SidePanelFixture;
using library_test::WriteText;

class PlayListTest : public SidePanelFixture {
 protected:
  TFT_PlayList* List() { return Side()->MyPlayList; }
  // Entries A, B, C.
  void AddThree() {
    for (const char* n : {"A.avi", "B.avi", "C.avi"})
      ASSERT_TRUE(List()->AddItem(QString::fromStdString(Media(n)), ""));
  }
  QString Name(const QString& path) { return QFileInfo(path).fileName(); }
};

TEST_F(PlayListTest, ExtensionRuleWithItsSubstringQuirk) {
  TFT_PlayList* list = List();
  EXPECT_TRUE(list->AddItem(QString::fromStdString(Media("clip.MP4")), ""));
  EXPECT_FALSE(list->AddItem(QString::fromStdString(Media("noextension")), ""));
  EXPECT_FALSE(list->AddItem(QString::fromStdString(Media("trailingdot.")), ""));
  // Parts of a listed extension occur inside the list text, so they qualify.
  EXPECT_TRUE(list->AddItem(QString::fromStdString(Media("part.mp")), ""));
  EXPECT_TRUE(list->AddItem(QString::fromStdString(Media("part.3g")), ""));
  EXPECT_FALSE(list->AddItem(QString::fromStdString(Media("song.flac")), ""));
  EXPECT_FALSE(list->AddItem(QString::fromStdString(Home() + "missing.avi"), ""));
  QDir().mkpath(QString::fromStdString(Home() + "folder.avi"));
  EXPECT_FALSE(list->AddItem(QString::fromStdString(Home() + "folder.avi"), ""));
  ASSERT_EQ(list->Items.size(), 3u);
  EXPECT_EQ(list->Items[0]->Caption(), " clip.MP4");
  EXPECT_EQ(list->Items[0]->Hint(), QString::fromStdString(Home() + "clip.MP4"));
  // The first entry is selected at once.
  EXPECT_EQ(list->SelectedItem, list->Items[0]);
  EXPECT_EQ(list->Items[0]->CurrentStyle(), PlayList_Item::Selected);
}

TEST_F(PlayListTest, SequentialOrderWithAndWithoutRepeat) {
  AddThree();
  TFT_PlayList* list = List();
  EXPECT_EQ(Name(list->ItemToPlay()), "A.avi");
  EXPECT_EQ(Name(list->NextItem()), "B.avi");
  EXPECT_EQ(Name(list->NextItem()), "C.avi");
  EXPECT_EQ(list->PlayingItem, list->Items[2]);
  // The end without repeat: nothing plays, A is shown selected and plays next.
  EXPECT_EQ(list->NextItem(), "0");
  EXPECT_EQ(list->PlayingItem, nullptr);
  EXPECT_EQ(list->SelectedItem, list->Items[0]);
  for (PlayList_Item* item : list->Items) EXPECT_NE(item->CurrentStyle(), PlayList_Item::Playing);
  EXPECT_EQ(Name(list->ItemToPlay()), "A.avi");

  // Previous from the first entry wraps to the last, with or without repeat.
  list->i_CurrentIndex = 0;
  EXPECT_EQ(Name(list->PreviousItem()), "C.avi");
  list->b_Repeat = true;
  list->i_CurrentIndex = 0;
  EXPECT_EQ(Name(list->PreviousItem()), "C.avi");
  // With repeat the entry after the last is the first.
  EXPECT_EQ(Name(list->NextItem()), "A.avi");
  EXPECT_EQ(list->Items[0]->CurrentStyle(), PlayList_Item::Playing);
}

TEST_F(PlayListTest, RandomOrderPlaysEachOnceThenRepeatsThePermutation) {
  for (int i = 0; i < 7; ++i)
    List()->AddItem(QString::fromStdString(Media("f" + std::to_string(i) + ".mp3")), "");
  TFT_PlayList* list = List();
  list->b_Random = true;
  std::vector<QString> first;
  for (int i = 0; i < 7; ++i) first.push_back(list->NextItem());
  EXPECT_EQ(std::set<QString>(first.begin(), first.end()).size(), 7u);
  EXPECT_EQ(list->NextItem(), "0");
  EXPECT_EQ(list->PlayingItem, nullptr);

  list->b_Repeat = true;
  std::vector<QString> again;
  // The wrap already stood on position 0, so the next round starts at position 1.
  for (int i = 0; i < 7; ++i) again.push_back(list->NextItem());
  for (int i = 0; i < 7; ++i) EXPECT_EQ(again[i], first[(i + 1) % 7]) << i;

  // The same list changes give the same order in a fresh run.
  ResetPlayListRandom();
  list->RebuildShuffle();
  const std::vector<int> order = list->ShuffleOrder;
  ResetPlayListRandom();
  list->RebuildShuffle();
  EXPECT_EQ(list->ShuffleOrder, order);
  // Previous after a fresh shuffle gives the entry at the last shuffle position.
  EXPECT_EQ(list->PreviousItem(), list->Items[order.back()]->Path);
}

TEST_F(PlayListTest, LoadingGivesTheOrderOfAddingOneByOne) {
  for (int i = 0; i < 40; ++i)
    List()->AddItem(QString::fromStdString(Media("f" + std::to_string(i) + ".avi")), "");
  const std::vector<int> added = List()->ShuffleOrder;
  const int after = PlayListRandom();
  ASSERT_TRUE(List()->SaveToFile(Home() + "saved.fpl"));
  ResetPlayListRandom();
  TFT_PlayList loaded;
  ASSERT_TRUE(loaded.LoadFromFile(Home() + "saved.fpl"));
  EXPECT_EQ(loaded.ShuffleOrder, added);
  EXPECT_EQ(PlayListRandom(), after);
}

TEST_F(PlayListTest, ClicksDoubleClicksAndStop) {
  AddThree();
  TFT_PlayList* list = List();
  list->ItemClick(list->Items[1]);
  EXPECT_EQ(list->SelectedItem, list->Items[1]);
  EXPECT_EQ(list->Items[0]->CurrentStyle(), PlayList_Item::Normal);
  EXPECT_EQ(list->i_CurrentIndex, 1);
  list->ItemDblClick(list->Items[2]);
  EXPECT_EQ(list->PlayingItem, list->Items[2]);
  EXPECT_EQ(list->SelectedItem, nullptr);
  EXPECT_EQ(list->i_CurrentIndex, 2);
  // Clicking while something plays does not move the sequential position.
  list->ItemClick(list->Items[0]);
  EXPECT_EQ(list->i_CurrentIndex, 2);
  list->MarkStopped();
  EXPECT_EQ(list->PlayingItem, nullptr);
  EXPECT_EQ(list->Items[2]->CurrentStyle(), PlayList_Item::Normal);
  EXPECT_EQ(list->Items[0]->CurrentStyle(), PlayList_Item::Selected);
}

TEST_F(PlayListTest, DeletingAndCropping) {
  AddThree();
  TFT_PlayList* list = List();
  list->i_CurrentIndex = 2;
  list->ItemClick(list->Items[0]);
  list->DeleteSelected();
  ASSERT_EQ(list->Items.size(), 2u);
  // The sequential position may now lie past the end: steps stay inside the list.
  list->i_CurrentIndex = 5;
  EXPECT_EQ(Name(list->PreviousItem()), "C.avi");
  list->MarkStopped();
  list->ItemClick(list->Items[0]);
  list->DeleteSelected();
  // One entry left: it is selected and drawn as playing.
  ASSERT_EQ(list->Items.size(), 1u);
  EXPECT_EQ(list->SelectedItem, list->Items[0]);
  EXPECT_EQ(list->Items[0]->CurrentStyle(), PlayList_Item::Playing);

  AddThree();
  list->MarkStopped();
  list->ItemClick(list->Items[2]);
  list->CropSelected();
  ASSERT_EQ(list->Items.size(), 1u);
  EXPECT_EQ(Name(list->Items[0]->Path), "B.avi");
  EXPECT_EQ(list->ShuffleOrder.size(), 1u);
}

TEST_F(PlayListTest, DeleteButtonWithOneEntryClearsWithoutTheMenu) {
  TFT_LumoraDVD_SubForm* side = Side();
  side->AddToPlayList(Media("one.avi"), "");
  side->skImageButton_DeleteFileMouseDown(nullptr, mbRight, {}, 0, 0);
  EXPECT_TRUE(side->MyPlayList->Items.empty());
  EXPECT_FALSE(side->PopupMenu_DelFile->isVisible());
  // Nothing left: nothing happens.
  side->skImageButton_DeleteFileMouseDown(nullptr, mbLeft, {}, 0, 0);
  EXPECT_FALSE(side->PopupMenu_DelFile->isVisible());
}

TEST_F(PlayListTest, CaptionsSurviveTheRoundTripExactly) {
  TFT_PlayList* list = List();
  const QString a = QString::fromStdString(Media("a.avi"));
  const QString b = QString::fromStdString(Media("b c.mp3"));
  list->AddItem(a, "My Title");
  list->AddItem(b, "");
  const std::string file = Home() + "PlayList.fpl";
  ASSERT_TRUE(list->SaveToFile(file));
  EXPECT_EQ(ReadAll(file), (" My Title\r\n" + a + "\r\n b c.mp3\r\n" + b + "\r\n").toUtf8());

  TFT_PlayList again;
  EXPECT_TRUE(again.LoadFromFile(file));
  ASSERT_EQ(again.Items.size(), 2u);
  EXPECT_EQ(again.Items[0]->Caption(), " My Title");
  EXPECT_EQ(again.Items[1]->Caption(), " b c.mp3");
  EXPECT_EQ(again.Items[1]->Path, b);

  // An empty list is an empty file.
  TFT_PlayList empty;
  ASSERT_TRUE(empty.SaveToFile(file));
  EXPECT_TRUE(ReadAll(file).isEmpty());
}

TEST_F(PlayListTest, DamagedFilesAreReadAsFarAsSoundAndKeptAside) {
  const std::string file = Home() + "PlayList.fpl";
  const QByteArray a = QByteArray::fromStdString(Media("a.avi"));
  const QByteArray b = QByteArray::fromStdString(Media("b.avi"));
  struct Case {
    QByteArray text;
    size_t entries;
    bool damaged;
  } cases[] = {
      // A cut-off file: the last title has lost its path.
      {" a\r\n" + a + "\r\n b\r\n", 1, true},
      // Binary garbage after a good entry.
      {" a\n" + a + "\n" + QByteArray("\x00\x01\xff\xfe junk", 9) + "\n" + b + "\n", 1, true},
      // Not UTF-8.
      {" a\r\n" + a + "\r\n \xff\xfe\r\n" + b + "\r\n", 1, true},
      // LF line ends and a vanished file are fine; the vanished entry is dropped.
      {" a\n" + a + "\n gone\n" + QByteArray::fromStdString(Home()) + "gone.avi\n", 1, false},
  };
  for (const Case& c : cases) {
    QFile::remove(QString::fromStdString(file + ".damaged"));
    WriteText(file, c.text);
    TFT_PlayList list;
    QString problem;
    EXPECT_EQ(list.LoadFromFile(file, &problem), !c.damaged) << c.text.toStdString();
    EXPECT_EQ(list.Items.size(), c.entries) << c.text.toStdString();
    EXPECT_EQ(QFile::exists(QString::fromStdString(file + ".damaged")), c.damaged);
    if (c.damaged) {
      EXPECT_FALSE(problem.isEmpty());
      EXPECT_EQ(ReadAll(file + ".damaged"), c.text);
    }
  }

  // A 50 MB file is refused whole, and kept.
  {
    QFile f(QString::fromStdString(file));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QByteArray chunk(1024 * 1024, 'x');
    for (int i = 0; i < 50; ++i) f.write(chunk);
  }
  TFT_PlayList big;
  QString problem;
  EXPECT_FALSE(big.LoadFromFile(file, &problem));
  EXPECT_TRUE(big.Items.empty());
  EXPECT_TRUE(problem.contains("too large"));
  EXPECT_EQ(QFileInfo(QString::fromStdString(file + ".damaged")).size(), 50 * 1024 * 1024);
}

TEST_F(PlayListTest, DamagedPlayListAtStartTellsTheUser) {
  WriteText(Home() + "PlayList.fpl", " a\r\n" + QByteArray::fromStdString(Media("a.avi")) + "\r\n" +
                                         QByteArray("\x01\x00zz", 4));
  plat::ClearRecordedMessageBoxes();
  TFT_LumoraDVD_SubForm* side = Side();
  EXPECT_EQ(side->MyPlayList->Items.size(), 1u);
  const auto boxes = plat::RecordedMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find("PlayList.fpl.damaged"), std::string::npos);
}

TEST_F(PlayListTest, AFolderWalkAndDroppedFiles) {
  const std::string dir = Home() + "media/";
  QDir().mkpath(QString::fromStdString(dir + "sub/deeper"));
  WriteText(dir + "one.avi", "x");
  WriteText(dir + "notes.txt", "x");
  WriteText(dir + "sub/deeper/two.VOB", "x");
  TFT_LumoraDVD_SubForm* side = Side();
  side->AddDirectory(Home() + "media");
  std::set<QString> names;
  for (PlayList_Item* item : side->MyPlayList->Items) names.insert(Name(item->Path));
  EXPECT_EQ(names, (std::set<QString>{"one.avi", "two.VOB"}));

  // Dropping files on the list adds the ones that qualify, in drop order.
  side->MyPlayList->Clear();
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir + "notes.txt")),
                QUrl::fromLocalFile(QString::fromStdString(dir + "one.avi"))});
  // A drop follows the drag's entry, as the desktop delivers it.
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(side->MyPlayList, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(side->MyPlayList, &drop);
  ASSERT_EQ(side->MyPlayList->Items.size(), 1u);
  EXPECT_EQ(Name(side->MyPlayList->Items[0]->Path), "one.avi");
}

TEST_F(PlayListTest, TenThousandEntriesLoadAndScrollShowingOnlyAWindowOfRows) {
  // One real file stands for all: the list keeps duplicates.
  const QByteArray path = QByteArray::fromStdString(Media("same.mp4"));
  QByteArray text;
  for (int i = 0; i < 10000; ++i)
    text += " entry " + QByteArray::number(i) + "\r\n" + path + "\r\n";
  WriteText(Home() + "PlayList.fpl", text);
  TFT_PlayList shown;
  TFT_PlayList* list = &shown;
  ASSERT_TRUE(list->LoadFromFile(Home() + "PlayList.fpl"));
  ASSERT_EQ(list->Items.size(), 10000u);
  list->resize(180, 130);
  list->show();
  EXPECT_TRUE(list->ScrollBarShown());
  EXPECT_EQ(list->i_VisibleRows, 10);
  list->SetThumbTop(1 << 20);
  EXPECT_EQ(list->i_FirstRow, 10000 - 10);
  int placed = 0;
  for (PlayList_Item* item : list->Items) placed += item->isHidden() ? 0 : 1;
  EXPECT_EQ(placed, 10);
  EXPECT_FALSE(list->Items[9999]->isHidden());
  EXPECT_EQ(list->Items[9999]->y(), 2 + 13 * 9);
}

}  // namespace

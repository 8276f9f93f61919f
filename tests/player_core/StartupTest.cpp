// The DVD-folder rule, the hand-off file and the command-line rules.
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

#include "PlayerTestSupport.h"
#include "platform/Profile.h"
#include "platform/ProgramFolder.h"
#include "player/core/Ft_lumoradvdmain.h"
#include "player/library/TFT_PlayList.h"

using player_test::PlayerFixture;

TEST(DvdFolderRule, IfoInsideVideoTsBecomesTheDiscFolderInTheGivenCase) {
  EXPECT_EQ(ApplyDVDFolderRule("/media/Films/video_ts/VTS_01_0.ifo"), "/media/Films/");
  EXPECT_EQ(ApplyDVDFolderRule("/mnt/d/VIDEO_TS/VIDEO_TS.IFO"), "/mnt/d/");
  EXPECT_EQ(ApplyDVDFolderRule("/mnt/d/Video_Ts/vts_02_0.Ifo"), "/mnt/d/");
  // The first VIDEO_TS counts, even when it is part of a longer folder name.
  EXPECT_EQ(ApplyDVDFolderRule("/x/my_video_ts_copy/VIDEO_TS/VIDEO_TS.IFO"), "/x/my_");
}

TEST(DvdFolderRule, OtherPathsAreKeptUnchanged) {
  EXPECT_EQ(ApplyDVDFolderRule("/films/menu.ifo"), "/films/menu.ifo");  // no VIDEO_TS
  EXPECT_EQ(ApplyDVDFolderRule("/d/VIDEO_TS/VTS_01_1.VOB"), "/d/VIDEO_TS/VTS_01_1.VOB");
  EXPECT_EQ(ApplyDVDFolderRule("/d/VIDEO_TS.IFO/film"), "/d/VIDEO_TS.IFO/film");  // dot in a folder
  EXPECT_EQ(ApplyDVDFolderRule("/d/VIDEO_TS/VIDEO_TS.IFO.bak"), "/d/VIDEO_TS/VIDEO_TS.IFO.bak");
  EXPECT_EQ(ApplyDVDFolderRule(""), "");
  EXPECT_EQ(ApplyDVDFolderRule("VIDEO_TS"), "VIDEO_TS");
}

TEST(HandOffFile, LinesEndWithCrLfOrLf) {
  std::vector<std::string> lines;
  ASSERT_TRUE(ParseHandOffText("a\r\nb\nc", lines));
  EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c"}));
  ASSERT_TRUE(ParseHandOffText("/one/path.mp4\r\n", lines));
  EXPECT_EQ(lines, (std::vector<std::string>{"/one/path.mp4"}));
  ASSERT_TRUE(ParseHandOffText("", lines));
  EXPECT_TRUE(lines.empty());
  // Blank lines count: the running player then opens nothing.
  ASSERT_TRUE(ParseHandOffText("x\r\n\r\n", lines));
  EXPECT_EQ(lines.size(), 2u);
  ASSERT_TRUE(ParseHandOffText("\xEF\xBB\xBF/bom/path\r\n", lines));
  EXPECT_EQ(lines, (std::vector<std::string>{"/bom/path"}));
  // A lone CR is part of the text, not a line end.
  ASSERT_TRUE(ParseHandOffText("a\rb\n", lines));
  EXPECT_EQ(lines, (std::vector<std::string>{"a\rb"}));
}

TEST(HandOffFile, WrittenWithCrLfAndReadBack) {
  QTemporaryDir dir;
  const std::string file = dir.path().toStdString() + "/OpenOtherFile.tmp";
  const std::vector<std::string> paths = {"/f/\xC3\xA9t\xC3\xA9.mkv", "/g/two words.avi"};
  ASSERT_TRUE(WriteHandOffFile(file, paths));
  QFile f(QString::fromStdString(file));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll().toStdString(), "/f/\xC3\xA9t\xC3\xA9.mkv\r\n/g/two words.avi\r\n");
  std::vector<std::string> back;
  ASSERT_TRUE(ReadHandOffFile(file, back));
  EXPECT_EQ(back, paths);
}

TEST(HandOffFile, MissingOrOversizedFilesAreNotRead) {
  QTemporaryDir dir;
  std::vector<std::string> lines{"stale"};
  EXPECT_FALSE(ReadHandOffFile(dir.path().toStdString() + "/none.tmp", lines));
  EXPECT_TRUE(lines.empty());
  const std::string big = dir.path().toStdString() + "/big.tmp";
  QFile f(QString::fromStdString(big));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(QByteArray(2 << 20, 'x'));
  f.close();
  EXPECT_FALSE(ReadHandOffFile(big, lines));
}

// Only a regular file of the user's own is a hand-off: a link is not followed
// and a FIFO is not waited on.
TEST(HandOffFile, OnlyARegularFileIsRead) {
  QTemporaryDir dir;
  const std::string base = dir.path().toStdString();
  const std::string decoy = base + "/decoy";
  ASSERT_TRUE(WriteHandOffFile(decoy, {"/decoy/path"}));
  std::vector<std::string> lines;
  ASSERT_TRUE(ReadHandOffFile(decoy, lines));
  EXPECT_EQ(lines, std::vector<std::string>{"/decoy/path"});

  const std::string link = base + "/link";
  ASSERT_EQ(symlink(decoy.c_str(), link.c_str()), 0);
  EXPECT_FALSE(ReadHandOffFile(link, lines));
  EXPECT_TRUE(lines.empty());

  const std::string fifo = base + "/fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(ReadHandOffFile(fifo, lines));  // returns at once: nobody writes to it

  EXPECT_FALSE(ReadHandOffFile(base, lines));  // a folder

  // Writing replaces the link itself; the file it pointed at keeps its text.
  ASSERT_TRUE(WriteHandOffFile(link, {"/fresh"}));
  ASSERT_TRUE(ReadHandOffFile(link, lines));
  EXPECT_EQ(lines, std::vector<std::string>{"/fresh"});
  ASSERT_TRUE(ReadHandOffFile(decoy, lines));
  EXPECT_EQ(lines, std::vector<std::string>{"/decoy/path"});
  // ...and so is a FIFO.
  ASSERT_TRUE(WriteHandOffFile(fifo, {"/over/fifo"}));
  ASSERT_TRUE(ReadHandOffFile(fifo, lines));
  EXPECT_EQ(lines, std::vector<std::string>{"/over/fifo"});
}

class CommandLineTest : public PlayerFixture {
 protected:
  std::string MakeFile(const std::string& name, const QByteArray& data = "not media") {
    const std::string path = Home() + name;
    QFile f(QString::fromStdString(path));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
    return path;
  }
  void Run(std::vector<std::string> args) {
    SetCommandLineArguments(std::move(args));
    FT_LumoraDVD_MainForm->HandleCommandLine();
  }
  std::vector<std::string> PlayListPaths() {
    std::vector<std::string> out;
    for (const PlayList_Item* item : FT_LumoraDVD_SubForm->MyPlayList->Items)
      out.push_back(item->Path.toStdString());
    return out;
  }
};

TEST_F(CommandLineTest, OneIfoPathOpensTheFolderHoldingTheDvd) {
  QDir().mkpath(QString::fromStdString(Home() + "Film/video_ts"));
  Run({Home() + "Film/video_ts/vts_01_0.ifo"});
  // The empty folder cannot be played, so the player stays stopped.
  EXPECT_EQ(CurrentPlayPath, Home() + "Film/");
  EXPECT_EQ(PlayType, ptNone);
  EXPECT_EQ(PlayState, psStopped);
}

TEST_F(CommandLineTest, IfoOutsideVideoTsIsTriedAsAFile) {
  const std::string ifo = MakeFile("menu.ifo");
  Run({ifo});
  EXPECT_EQ(CurrentPlayPath, ifo);
  EXPECT_EQ(PlayType, ptNone);  // not a playable file: the start failed cleanly
}

// A missing name with an extension is dropped; dots in the folders above it,
// or in an existing folder's own name, do not make it a file name.
TEST_F(CommandLineTest, OnlyTheLastNameOfAMissingPathIsCheckedForADot) {
  Run({"/home/j.smith/Films/Disc"});
  EXPECT_EQ(CurrentPlayPath, "/home/j.smith/Films/Disc");
  Run({"/home/j.smith/Films/clip.mp4"});
  EXPECT_EQ(CurrentPlayPath, "");
  QDir().mkpath(QString::fromStdString(Home() + "Film.2024"));
  Run({Home() + "Film.2024"});
  EXPECT_EQ(CurrentPlayPath, Home() + "Film.2024");
  Run({Home() + "j.smith/"});
  EXPECT_EQ(CurrentPlayPath, Home() + "j.smith/");
}

TEST_F(CommandLineTest, SwitchesOnlyCountAsTheFirstOfTwoArguments) {
  Run({"-pf"});
  EXPECT_EQ(CurrentPlayPath, "-pf");

  CurrentPlayPath = "untouched";
  Run({"-pd", "/whatever.mp4"});
  EXPECT_EQ(CurrentPlayPath, "untouched");
  EXPECT_EQ(PlayState, psIdle);

  // -pf takes its path as given, without the DVD-folder rule.
  QDir().mkpath(QString::fromStdString(Home() + "D/VIDEO_TS"));
  const std::string ifo = MakeFile("D/VIDEO_TS/VIDEO_TS.IFO");
  Run({"-pf", ifo});
  EXPECT_EQ(CurrentPlayPath, ifo);
  Run({ifo});
  EXPECT_EQ(CurrentPlayPath, Home() + "D/");
}

TEST_F(CommandLineTest, SeveralPathsFillThePlayListWithTheAcceptedOnesInOrder) {
  const std::string a = MakeFile("a.avi");
  const std::string b = MakeFile("b.txt");
  const std::string c = MakeFile("c.MP3");
  Run({"-pd", a, b, c, Home() + "missing.avi"});
  EXPECT_EQ(PlayListPaths(), (std::vector<std::string>{a, c}));

  // A new command line replaces the list.
  Run({c, a});
  EXPECT_EQ(PlayListPaths(), (std::vector<std::string>{c, a}));
}

TEST_F(CommandLineTest, HandOffWithOnePathSetsThePathAndDeletesTheFile) {
  QDir().mkpath(QString::fromStdString(Home() + "Disc/VIDEO_TS"));
  const std::string file = HandOffFilePath();
  ASSERT_EQ(file, Home() + "OpenOtherFile.tmp");
  ASSERT_TRUE(WriteHandOffFile(file, {Home() + "Disc/VIDEO_TS/VIDEO_TS.IFO"}));
  FT_LumoraDVD_MainForm->HandleOpenOtherFile();
  EXPECT_EQ(CurrentPlayPath, Home() + "Disc/");
  EXPECT_FALSE(QFile::exists(QString::fromStdString(file)));
}

TEST_F(CommandLineTest, HandOffWithTwoPathsOpensNothing) {
  CurrentPlayPath = "before";
  ASSERT_TRUE(WriteHandOffFile(HandOffFilePath(), {"/a.mp4", "/b.mp4"}));
  FT_LumoraDVD_MainForm->HandleOpenOtherFile();
  EXPECT_EQ(CurrentPlayPath, "before");
  EXPECT_EQ(PlayState, psIdle);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(HandOffFilePath())));
  // The message without a file does nothing at all.
  FT_LumoraDVD_MainForm->HandleOpenOtherFile();
  EXPECT_EQ(CurrentPlayPath, "before");
}

TEST_F(CommandLineTest, DataFoldersAreCreatedOneLevelDeep) {
  CurrentSnapshotPath = Home() + "Shots/";
  EXPECT_TRUE(FT_LumoraDVD_MainForm->EnsureDataFolders());
  EXPECT_TRUE(QFileInfo(QString::fromStdString(Home() + "Bookmark")).isDir());
  EXPECT_TRUE(QFileInfo(QString::fromStdString(Home() + "Shots")).isDir());
  CurrentSnapshotPath = Home() + "no/such/parent/";
  EXPECT_FALSE(FT_LumoraDVD_MainForm->EnsureDataFolders());
  EXPECT_FALSE(QFileInfo(QString::fromStdString(Home() + "no")).exists());
}

class StartSequenceTest : public CommandLineTest {};

TEST_F(StartSequenceTest, DamagedSkinFallsBackToTheDefaultWithOneMessage) {
  QFile ini(QString::fromStdString(Home() + "Option.ini"));
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write("[GenOption]\r\nCurrentSkinPath=/no/such/skin/\r\n");
  ini.close();
  SetCommandLineArguments({"-pd", "x"});
  ASSERT_TRUE(FT_LumoraDVD_MainForm->StartSequence());
  const auto boxes = plat::RecordedMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "The current skin is error, try to use default skin!");
  EXPECT_EQ(boxes[0].flags, plat::MB_ICONERROR | plat::MB_OK);
  EXPECT_EQ(CurrentSkinPath, plat::SkinRootFolder() + "Default/");
  EXPECT_TRUE(FT_LumoraDVD_MainForm->isVisible());
  // The fallback folder is what the next start will use.
  FT_LumoraDVD_MainForm->SaveOptions();
  EXPECT_EQ(
      plat::GetPrivateProfileString("GenOption", "CurrentSkinPath", "", Home() + "Option.ini"),
      CurrentSkinPath);
}

TEST_F(StartSequenceTest, WithoutAnyUsableSkinThePlayerEnds) {
  // An empty skin folder in the program folder hides the installed skins.
  QDir().mkpath(QString::fromStdString(Home() + "Skin"));
  SetCommandLineArguments({"-pd", "x"});
  EXPECT_FALSE(FT_LumoraDVD_MainForm->StartSequence());
  const auto boxes = plat::RecordedMessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, "The default skin is error, please re-install software!");
  EXPECT_FALSE(FT_LumoraDVD_MainForm->isVisible());
  // Closing saved the options.
  EXPECT_TRUE(QFile::exists(QString::fromStdString(Home() + "Option.ini")));
}

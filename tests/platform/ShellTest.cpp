#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>

#include "TestApp.h"
#include "platform/Locale.h"
#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"
#include "platform/Shell.h"

using namespace plat;

namespace {

TEST(MessageBoxTest, DoubleAnswersAndEveryBoxIsRecorded) {
  EnsureApp();
  ClearRecordedMessageBoxes();
  SetMessageBoxDouble(
      [](const MessageBoxRecord& r) { return (r.flags & 0xF) == MB_YESNO ? IDNO : IDOK; });
  EXPECT_EQ(MessageBox(nullptr, "The current skin is error, try to use default skin!", "Error",
                       MB_OK | MB_ICONERROR),
            IDOK);
  EXPECT_EQ(MessageBox(nullptr, "Scan?", "TV", MB_YESNO | MB_ICONQUESTION), IDNO);
  auto boxes = RecordedMessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "The current skin is error, try to use default skin!");
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].flags, MB_OK | MB_ICONERROR);
  EXPECT_EQ(boxes[1].flags, MB_YESNO | MB_ICONQUESTION);
  ClearRecordedMessageBoxes();
  EXPECT_TRUE(RecordedMessageBoxes().empty());
  SetMessageBoxDouble({});
}

TEST(FileDialogTest, DoubleChoosesFilesAndFolders) {
  EnsureApp();
  std::string lastTitle;
  SetFileDialogDouble([&](const std::string& title, std::vector<std::string>& out) {
    lastTitle = title;
    if (title == "Cancel") return false;
    if (out.size() == 1) {  // folder browse: start folder in, choice out
      out[0] = out[0] + "Shots";
      return true;
    }
    out = {"/a.avi", "/b.mpg"};
    return true;
  });
  std::vector<std::string> files;
  EXPECT_TRUE(GetOpenFileNames(nullptr, "Open", "Video|*.avi;*.mpg", files, true));
  EXPECT_EQ(files, (std::vector<std::string>{"/a.avi", "/b.mpg"}));
  EXPECT_TRUE(GetOpenFileNames(nullptr, "Open", "", files, false));
  EXPECT_EQ(files, std::vector<std::string>{"/a.avi"});
  files = {"kept"};
  EXPECT_FALSE(GetOpenFileNames(nullptr, "Cancel", "", files, true));
  EXPECT_EQ(files, std::vector<std::string>{"kept"});

  std::string folder = "/home/u/";
  EXPECT_TRUE(BrowseForFolder(nullptr, "Folder", folder));
  EXPECT_EQ(folder, "/home/u/Shots/");
  EXPECT_EQ(lastTitle, "Folder");
  std::string unchanged = "/x/";
  EXPECT_FALSE(BrowseForFolder(nullptr, "Cancel", unchanged));
  EXPECT_EQ(unchanged, "/x/");
  SetFileDialogDouble({});
}

TEST(FileDialogTest, WindowsFiltersBecomeQtFilters) {
  EXPECT_EQ(ToQtFileFilter("Video Files|*.avi;*.mpg|All Files|*.*"),
            "Video Files (*.avi *.mpg);;All Files (*.*)");
  EXPECT_EQ(ToQtFileFilter("Images (*.png)"), "Images (*.png)");
  EXPECT_EQ(ToQtFileFilter(""), "");
}

TEST(LocaleTest, DvdLanguageCodesMapToLocaleIds) {
  const std::pair<const char*, uint32_t> table[] = {
      {"de", 1031}, {"en", 1033}, {"es", 1034}, {"fr", 1036}, {"it", 1040}, {"ja", 1041},
      {"ko", 1042}, {"nl", 1043}, {"sv", 1053}, {"zh", 2052}, {"pt", 2070}, {"ru", 1049},
      {"pl", 1045}, {"da", 1030}, {"fi", 1035}, {"no", 1044}, {"el", 1032}, {"he", 1037},
      {"hu", 1038}, {"cs", 1029}, {"tr", 1055}, {"ar", 1025}, {"th", 1054}};
  for (const auto& [code, lcid] : table) {
    EXPECT_EQ(LanguageCodeToLcid(code), lcid) << code;
    EXPECT_EQ(LcidToLanguageCode(lcid), code);
  }
  EXPECT_EQ(LanguageCodeToLcid("EN"), 1033u);
  EXPECT_EQ(LanguageCodeToLcid("xx"), 0u);
  EXPECT_EQ(LanguageCodeToLcid("\0\0"), 0u);
  EXPECT_EQ(LanguageCodeToLcid(nullptr), 0u);
  EXPECT_EQ(LcidToLanguageName(1033), "English");
  EXPECT_EQ(LcidToLanguageName(1036), "French");
  EXPECT_EQ(LcidToLanguageName(1031), "German");
  EXPECT_EQ(LcidToLanguageName(4242), "");
  for (uint32_t lcid : KnownLcids()) EXPECT_FALSE(LcidToLanguageName(lcid).empty()) << lcid;
}

TEST(LocaleTest, NamesFollowTheUsersLanguage) {
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
  EXPECT_EQ(LanguageDisplayName(1033), "English");
  EXPECT_EQ(LanguageDisplayName(1036), "French");
  EXPECT_EQ(LanguageDisplayName(0), "");
  EXPECT_EQ(LanguageDisplayName(4242), "");
  EXPECT_EQ(UserEnglishLanguageName(), "English");
  QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
  EXPECT_EQ(LanguageDisplayName(1036), "fran\u00e7ais");
  EXPECT_EQ(LanguageDisplayName(1031), "German");
  EXPECT_EQ(UserEnglishLanguageName(), "French");
  QLocale::setDefault(QLocale::c());
  EXPECT_EQ(UserEnglishLanguageName(), "English");
  QLocale::setDefault(QLocale::system());
}

TEST(FileDialogTest, EnvironmentAnswersForTheWholeProgram) {
  QTemporaryDir dir;
  const QString answers = dir.path() + "/answers";
  qputenv("LUMORA_DIALOG_ANSWERS", answers.toLocal8Bit());
  std::vector<std::string> out;
  EXPECT_FALSE(GetOpenFileNames(nullptr, "Pick", "", out, true));  // no answer file: cancelled
  WriteAll(answers.toStdString(), "/a/one.mp4\n\n/b/two.avi\n");
  EXPECT_TRUE(GetOpenFileNames(nullptr, "Pick", "", out, true));
  EXPECT_EQ(out, (std::vector<std::string>{"/a/one.mp4", "/b/two.avi"}));
  std::string folder = "/start/";
  WriteAll(answers.toStdString(), "/media/film\n");
  EXPECT_TRUE(BrowseForFolder(nullptr, "Folder?", folder));
  EXPECT_EQ(folder, "/media/film/");
  qunsetenv("LUMORA_DIALOG_ANSWERS");
  EXPECT_EQ(ReadAll(answers.toStdString() + ".log"), "Pick\nPick\nFolder?\n");
}

TEST(ProgramFolderTest, HomeOverrideAndFolderShapes) {
  EnsureApp();
  QTemporaryDir dir;
  const std::string home = dir.path().toStdString() + "/home";
  qputenv("LUMORA_HOME", QByteArray::fromStdString(home));
  EXPECT_EQ(ProgramFolder(), home + "/");
  EXPECT_TRUE(QDir(QString::fromStdString(home)).exists());
  // Without an installed skin folder the skins are looked for in the program folder.
  EXPECT_EQ(SkinRootFolder().back(), '/');
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(home + "/Skin/Default")));
  EXPECT_EQ(SkinRootFolder(), home + "/Skin/");
  qunsetenv("LUMORA_HOME");

  // The build tree is writable, so the executable's folder is the program folder.
  EXPECT_EQ(ProgramFolder(), QCoreApplication::applicationDirPath().toStdString() + "/");
  EXPECT_EQ(WithTrailingSlash("C:\\a\\b"), "C:/a/b/");
  EXPECT_EQ(WithTrailingSlash("/x/"), "/x/");
  EXPECT_EQ(WithTrailingSlash(""), "");
}

TEST(ShellTest, LinksGoThroughTheDouble) {
  std::vector<std::string> opened;
  SetOpenUrlDouble([&](const std::string& url) {
    opened.push_back(url);
    return true;
  });
  EXPECT_TRUE(OpenUrl("mailto:support@example.com"));
  EXPECT_EQ(opened, std::vector<std::string>{"mailto:support@example.com"});
  SetOpenUrlDouble({});
}

TEST(ShellTest, PointerConfinement) {
  EnsureApp();
  const QRect r(100, 50, 200, 100);  // right edge 299, bottom edge 149
  EXPECT_EQ(ClampIntoRect({10, 10}, r), QPoint(100, 50));
  EXPECT_EQ(ClampIntoRect({500, 120}, r), QPoint(299, 120));
  EXPECT_EQ(ClampIntoRect({150, 400}, r), QPoint(150, 149));
  EXPECT_EQ(ClampIntoRect({150, 60}, r), QPoint(150, 60));
  EXPECT_EQ(ClampIntoRect({7, 7}, QRect()), QPoint(7, 7));

  QRect got;
  EXPECT_FALSE(CursorClip(got));
  ClipCursor(&r);
  ASSERT_TRUE(CursorClip(got));
  EXPECT_EQ(got, r);
  ClipCursor(nullptr);
  EXPECT_FALSE(CursorClip(got));
}

}  // namespace

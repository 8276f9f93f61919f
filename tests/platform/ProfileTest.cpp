#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>

#include "TestApp.h"
#include "platform/Profile.h"

using namespace plat;

namespace {

class ProfileTest : public ::testing::Test {
 protected:
  std::string Path(const char* name) { return dir.path().toStdString() + "/" + name; }
  QTemporaryDir dir;
};

TEST_F(ProfileTest, ReadsWithoutRegardToCaseAndCleansValues) {
  const std::string f = Path("a.ini");
  WriteAll(f,
           "; leading comment\r\n"
           "[GenOption]\r\n"
           "  l_CurrentVolume  =  55  \r\n"
           "Quoted=\"  keep inner blanks \"\r\n"
           "Single='x'\r\n"
           "Mismatch=\"half\r\n"
           "Twice=\"\"a\"\"\r\n"
           "Eq=a=b\r\n"
           "Empty=\r\n"
           "[Other]\r\n"
           "l_CurrentVolume=1\r\n");
  EXPECT_EQ(GetPrivateProfileString("genoption", "L_CURRENTVOLUME", "d", f), "55");
  EXPECT_EQ(GetPrivateProfileString("GenOption", "Quoted", "d", f), "  keep inner blanks ");
  EXPECT_EQ(GetPrivateProfileString("GenOption", "Single", "d", f), "x");
  EXPECT_EQ(GetPrivateProfileString("GenOption", "Mismatch", "d", f), "\"half");
  EXPECT_EQ(GetPrivateProfileString("GenOption", "Twice", "d", f), "\"a\"");
  EXPECT_EQ(GetPrivateProfileString("GenOption", "Eq", "d", f), "a=b");
  EXPECT_EQ(GetPrivateProfileString("GenOption", "Empty", "d", f), "");
  EXPECT_EQ(GetPrivateProfileString("GenOption", "Missing", "def", f), "def");
  EXPECT_EQ(GetPrivateProfileString("Nope", "l_CurrentVolume", "def", f), "def");
  EXPECT_EQ(GetPrivateProfileString("Other", "l_currentvolume", "d", f), "1");
  EXPECT_EQ(GetPrivateProfileString("X", "Y", "def", Path("missing.ini")), "def");
}

TEST_F(ProfileTest, NonAsciiNamesMatchWithoutCase) {
  const std::string f = Path("u.ini");
  WriteAll(f, "[Kanäle]\nÄrger=ü\n");
  EXPECT_EQ(GetPrivateProfileString("KANÄLE", "ärger", "", f), "ü");
}

TEST_F(ProfileTest, ValuesAreCappedAt2047Characters) {
  const std::string f = Path("long.ini");
  WriteAll(
      f, "[S]\nK=" + std::string(5000, 'a') + "\nU=" + std::string(3000, 'b') + "\xC3\xA9" + "\n");
  EXPECT_EQ(GetPrivateProfileString("S", "K", "", f), std::string(2047, 'a'));
  // Multi-byte characters count once and are never cut in half.
  WriteAll(f, "[S]\nU=" + std::string(2046, 'b') + "\xC3\xA9\xC3\xA9\n");
  EXPECT_EQ(GetPrivateProfileString("S", "U", "", f), std::string(2046, 'b') + "\xC3\xA9");
}

TEST_F(ProfileTest, IntegersFollowTheProfileRules) {
  EXPECT_EQ(ProfileTextToInt("42", 7), 42);
  EXPECT_EQ(ProfileTextToInt("  -13", 7), -13);
  EXPECT_EQ(ProfileTextToInt("+8", 7), 8);
  EXPECT_EQ(ProfileTextToInt("12abc", 7), 12);
  EXPECT_EQ(ProfileTextToInt("3.9", 7), 3);
  EXPECT_EQ(ProfileTextToInt("abc", 7), 7);
  EXPECT_EQ(ProfileTextToInt("", 7), 7);
  EXPECT_EQ(ProfileTextToInt("-", 7), 7);
  EXPECT_EQ(ProfileTextToInt("0x1F", 7), 31);
  EXPECT_EQ(ProfileTextToInt("0XfF00fF", 7), 0xFF00FF);
  EXPECT_EQ(ProfileTextToInt("0xFFFFFFFF", 7), -1);
  EXPECT_EQ(ProfileTextToInt("0xg", 7), 0);
  EXPECT_EQ(ProfileTextToInt("99999999999999999999999", 7), INT_MAX);
  EXPECT_EQ(ProfileTextToInt("-99999999999999999999999", 7), INT_MIN);

  const std::string f = Path("i.ini");
  WriteAll(f, "[S]\nA=250\nB=\"0x10\"\nC=oops\n");
  EXPECT_EQ(GetPrivateProfileInt("s", "a", 70, f), 250);
  EXPECT_EQ(GetPrivateProfileInt("S", "B", 70, f), 16);
  EXPECT_EQ(GetPrivateProfileInt("S", "C", 70, f), 70);
  EXPECT_EQ(GetPrivateProfileInt("S", "D", 70, f), 70);
}

TEST_F(ProfileTest, WritesKeepEveryOtherLineAndOrder) {
  const std::string f = Path("w.ini");
  WriteAll(f,
           "; keep me\r\n"
           "[GenOption]\r\n"
           "l_CurrentVolume=10\r\n"
           "# note\r\n"
           "b_MuteState=0\r\n"
           "\r\n"
           "[Foreign]\r\n"
           "x = 1\r\n");
  EXPECT_TRUE(WritePrivateProfileString("genoption", "L_CURRENTVOLUME", "40", f));
  EXPECT_TRUE(WritePrivateProfileString("GenOption", "AspectW", "640", f));
  EXPECT_TRUE(WritePrivateProfileString("NewSection", "k", "v", f));
  EXPECT_EQ(ReadAll(f),
            "; keep me\r\n"
            "[GenOption]\r\n"
            "l_CurrentVolume=40\r\n"
            "# note\r\n"
            "b_MuteState=0\r\n"
            "AspectW=640\r\n"
            "\r\n"
            "[Foreign]\r\n"
            "x = 1\r\n"
            "[NewSection]\r\n"
            "k=v\r\n");
}

TEST_F(ProfileTest, NewFilesUseCrLfAndLfFilesStayLf) {
  const std::string fresh = Path("new.ini");
  EXPECT_TRUE(WritePrivateProfileString("S", "a", "1", fresh));
  EXPECT_TRUE(WritePrivateProfileString("S", "b", "2", fresh));
  EXPECT_EQ(ReadAll(fresh), "[S]\r\na=1\r\nb=2\r\n");

  const std::string lf = Path("lf.ini");
  WriteAll(lf, "[S]\na=1");  // no final line end
  EXPECT_TRUE(WritePrivateProfileString("S", "b", "2", lf));
  EXPECT_EQ(ReadAll(lf), "[S]\na=1\nb=2\n");
  EXPECT_EQ(GetPrivateProfileString("S", "a", "", lf), "1");

  // A file cut right after a CR: the CR is no part of the value, and a rewrite keeps it.
  const std::string cut = Path("cut.ini");
  WriteAll(cut, "[S]\r\na=1\r");
  EXPECT_EQ(GetPrivateProfileString("S", "a", "", cut), "1");
  EXPECT_TRUE(WritePrivateProfileString("S", "b", "2", cut));
  EXPECT_EQ(ReadAll(cut), "[S]\r\na=1\r\r\nb=2\r\n");
  EXPECT_EQ(GetPrivateProfileString("S", "b", "", cut), "2");
}

TEST_F(ProfileTest, DeletesKeysAndSections) {
  const std::string f = Path("d.ini");
  WriteAll(f, "[A]\r\nk=1\r\nj=2\r\n[B]\r\nk=3\r\n[C]\r\nz=0\r\n");
  EXPECT_TRUE(WritePrivateProfileString("a", "K", nullptr, f));
  EXPECT_TRUE(WritePrivateProfileString("B", nullptr, nullptr, f));
  EXPECT_EQ(ReadAll(f), "[A]\r\nj=2\r\n[C]\r\nz=0\r\n");
  // Deleting what is not there changes nothing and creates nothing.
  EXPECT_TRUE(WritePrivateProfileString("Q", "k", nullptr, Path("none.ini")));
  EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("none.ini"))));
}

TEST_F(ProfileTest, SectionListingIsUniqueAndInOrder) {
  const std::string f = Path("l.ini");
  WriteAll(f, "top=1\n[One]\na = \"1\"\n;c=2\nnoequals\nb=2\n[two]\n[ONE]\nc=3\n");
  EXPECT_EQ(GetPrivateProfileSectionNames(f), (std::vector<std::string>{"One", "two"}));
  auto one = GetPrivateProfileSection("one", f);
  ASSERT_EQ(one.size(), 2u);
  EXPECT_EQ(one[0], (std::pair<std::string, std::string>{"a", "1"}));
  EXPECT_EQ(one[1], (std::pair<std::string, std::string>{"b", "2"}));
  // The first of duplicate sections is the one that counts.
  EXPECT_EQ(GetPrivateProfileString("ONE", "c", "none", f), "none");
}

TEST_F(ProfileTest, LineBreaksInNamesOrValuesAreRefused) {
  const std::string f = Path("inj.ini");
  WriteAll(f, "[S]\r\na=1\r\n");
  EXPECT_FALSE(WritePrivateProfileString("S", "a", "2\r\n[Evil]\r\nb=3", f));
  EXPECT_FALSE(WritePrivateProfileString("S\n[X]", "a", "2", f));
  EXPECT_FALSE(WritePrivateProfileString("S", "a=b", "2", f));
  EXPECT_EQ(ReadAll(f), "[S]\r\na=1\r\n");
}

TEST_F(ProfileTest, FailedWriteLeavesTheOldFile) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  const std::string sub = Path("ro");
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(sub)));
  const std::string f = sub + "/o.ini";
  WriteAll(f, "[S]\r\na=1\r\n");
  chmod(sub.c_str(), 0555);
  EXPECT_FALSE(WritePrivateProfileString("S", "a", "2", f));
  chmod(sub.c_str(), 0755);
  EXPECT_EQ(ReadAll(f), "[S]\r\na=1\r\n");
  EXPECT_EQ(QDir(QString::fromStdString(sub)).entryList(QDir::Files).size(), 1);
}

TEST_F(ProfileTest, WriteThatRunsOutOfSpaceLeavesTheOldFile) {
  const std::string f = Path("full.ini");
  WriteAll(f, "[S]\r\na=1\r\n");
  // A file size limit stands in for a full disk; it binds root as well.
  struct rlimit old;
  getrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool ok = WritePrivateProfileString("S", "a", std::string(2000, 'x'), f) &&
                  WritePrivateProfileString("S", "b", std::string(3000, 'y'), f);
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_FALSE(ok);
  EXPECT_EQ(GetPrivateProfileString("S", "a", "", f), std::string(2000, 'x'));
  EXPECT_EQ(GetPrivateProfileString("S", "b", "gone", f), "gone");
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(ProfileTest, WriteIntoMissingFolderFails) {
  EXPECT_FALSE(WritePrivateProfileString("S", "a", "1", Path("no/such/o.ini")));
}

TEST_F(ProfileTest, AtomicWriteReplacesWholeFileAndKeepsMode) {
  const std::string f = Path("m.ini");
  WriteAll(f, "[S]\na=1\n");
  chmod(f.c_str(), 0640);
  ASSERT_TRUE(WriteFileAtomically(f, "new"));
  struct stat st;
  ASSERT_EQ(stat(f.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(ReadAll(f), "new");
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);

  // Writing through a symbolic link updates the linked file and keeps the link.
  const std::string link = Path("link.ini");
  ASSERT_EQ(symlink(f.c_str(), link.c_str()), 0);
  ASSERT_TRUE(WritePrivateProfileString("S", "k", "v", link));
  struct stat lst;
  ASSERT_EQ(lstat(link.c_str(), &lst), 0);
  EXPECT_TRUE(S_ISLNK(lst.st_mode));
  EXPECT_EQ(GetPrivateProfileString("S", "k", "", f), "v");
}

TEST_F(ProfileTest, AtomicWriteCanReplaceALinkInsteadOfItsTarget) {
  const std::string target = Path("mine.txt");
  WriteAll(target, "the user's own text");
  const std::string name = Path("handoff.tmp");
  ASSERT_EQ(symlink(target.c_str(), name.c_str()), 0);
  ASSERT_TRUE(WriteFileAtomically(name, "fresh", false));
  struct stat lst;
  ASSERT_EQ(lstat(name.c_str(), &lst), 0);
  EXPECT_TRUE(S_ISREG(lst.st_mode));
  EXPECT_EQ(ReadAll(name), "fresh");
  EXPECT_EQ(ReadAll(target), "the user's own text");
}

TEST_F(ProfileTest, StaleTemporariesOfNamedFilesAreRemovedAndNothingElse) {
  const std::vector<std::string> stale{"o.ini.tmp0123abcd", "o.ini.tmpffffffff",
                                       "x.bmk.tmp00000000"};
  const std::vector<std::string> kept{"o.ini",
                                      "o.ini.tmp",
                                      "o.ini.tmp0123abc",
                                      "o.ini.tmp0123abcde",
                                      "o.ini.tmpABCDEF01",
                                      "other.ini.tmp0123abcd",
                                      ".bmk.tmp00000000",
                                      "x.bmk"};
  for (const std::string& n : stale) WriteAll(Path(n.c_str()), "");
  for (const std::string& n : kept) WriteAll(Path(n.c_str()), "");
  // A link with a temporary's name is not ours to remove, nor is its target.
  ASSERT_EQ(symlink(Path("o.ini").c_str(), Path("o.ini.tmp11111111").c_str()), 0);
  EXPECT_EQ(RemoveStaleTemporaries(dir.path().toStdString(), {"o.ini", "*.bmk"}), 3);
  for (const std::string& n : stale)
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path(n.c_str())))) << n;
  for (const std::string& n : kept)
    EXPECT_TRUE(QFile::exists(QString::fromStdString(Path(n.c_str())))) << n;
  EXPECT_TRUE(QFileInfo(QString::fromStdString(Path("o.ini.tmp11111111"))).isSymLink());
  EXPECT_EQ(RemoveStaleTemporaries(Path("missing/"), {"o.ini"}), 0);
}

TEST_F(ProfileTest, InMemoryModelRoundTripsUntouchedText) {
  const std::string text = "\xEF\xBB\xBF; c\r\n[A]\r\n  k = \"v\"  \r\n\r\nfoo\r\n[B]\r\n";
  ProfileFile p;
  p.parse(text);
  EXPECT_EQ(p.text(), text);
  EXPECT_EQ(p.get("a", "K"), "v");
  p.set("A", "k", "w");
  p.set("b", "n", "1");
  EXPECT_EQ(p.text(), "\xEF\xBB\xBF; c\r\n[A]\r\n  k=w\r\n\r\nfoo\r\n[B]\r\nn=1\r\n");
  EXPECT_EQ(p.getInt("B", "n", 0), 1);
  EXPECT_TRUE(p.removeSection("A"));
  EXPECT_EQ(p.sectionNames(), std::vector<std::string>{"B"});
}

}  // namespace

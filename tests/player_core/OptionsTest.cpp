// Option.ini: defaults, clamps, the saved form, and what else the file holds.
#include <QFile>
#include <QLocale>

#include "PlayerTestSupport.h"
#include "platform/Profile.h"
#include "platform/ProgramFolder.h"

using player_test::PlayerFixture;

class OptionsTest : public PlayerFixture {
 protected:
  std::string Ini() const { return Home() + "Option.ini"; }
  void WriteIni(const std::string& text) {
    QFile f(QString::fromStdString(Ini()));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.data(), static_cast<qint64>(text.size()));
  }
  std::string ReadIni() const {
    QFile f(QString::fromStdString(Ini()));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
  }
  std::string Key(const char* key) const {
    return plat::GetPrivateProfileString("GenOption", key, "<absent>", Ini());
  }
};

TEST_F(OptionsTest, MissingFileGivesTheDefaults) {
  MyAspectRatioState = 2;
  FT_LumoraDVD_MainForm->LoadOptions();
  EXPECT_EQ(l_CurrentVolume, 70);
  EXPECT_EQ(l_CurrentBalance, 0);
  EXPECT_FALSE(FT_LumoraDVD_MainForm->b_DisplayControlPanel);
  EXPECT_FALSE(FT_LumoraDVD_MainForm->b_MuteState);
  EXPECT_DOUBLE_EQ(d_AspectRatio, 1.0);
  EXPECT_EQ(MyAspectRatioState, 0);
  EXPECT_EQ(CurrentSkinPath, plat::SkinRootFolder() + "Default/");
  EXPECT_EQ(CurrentSnapshotPath, Home() + "Snapshot/");
  EXPECT_EQ(l_Bringhtness, 0);
  EXPECT_EQ(l_Contrast, 10);
  EXPECT_EQ(l_Hue, 0);
  EXPECT_EQ(l_Saturation, 10);
  EXPECT_FALSE(FT_LumoraDVD_SubForm->b_Random);
  EXPECT_FALSE(FT_LumoraDVD_SubForm->b_Repeat);
  EXPECT_DOUBLE_EQ(AspectW, 640.0);
  EXPECT_DOUBLE_EQ(AspectH, 480.0);
}

TEST_F(OptionsTest, OutOfRangeValuesAreClampedAndGarbageGivesDefaults) {
  WriteIni(
      "[GenOption]\r\nl_CurrentVolume=250\r\nl_CurrentBalance=-80\r\nd_AspectRatio=0.01\r\n"
      "l_Hue=5000\r\nl_Bringhtness=-9999\r\nl_Contrast=abc\r\nl_Saturation=0x20\r\n"
      "MyAspectRatioState=3\r\nb_Random=7\r\nb_Repeat=0\r\nb_MuteState=1\r\n"
      "b_DisplayControlPanel=1\r\nAspectW=853\r\nAspectH=nope\r\n");
  FT_LumoraDVD_MainForm->LoadOptions();
  EXPECT_EQ(l_CurrentVolume, 100);
  EXPECT_EQ(l_CurrentBalance, -50);
  EXPECT_DOUBLE_EQ(d_AspectRatio, 0.1);
  EXPECT_EQ(l_Hue, 1800);
  EXPECT_EQ(l_Bringhtness, -2550);
  EXPECT_EQ(l_Contrast, 10);
  EXPECT_EQ(l_Saturation, 32);
  EXPECT_EQ(MyAspectRatioState, 0);
  EXPECT_TRUE(FT_LumoraDVD_SubForm->b_Random);
  EXPECT_FALSE(FT_LumoraDVD_SubForm->b_Repeat);
  EXPECT_TRUE(FT_LumoraDVD_MainForm->b_MuteState);
  EXPECT_TRUE(FT_LumoraDVD_MainForm->b_DisplayControlPanel);
  EXPECT_DOUBLE_EQ(AspectW, 853.0);
  EXPECT_DOUBLE_EQ(AspectH, 480.0);
}

TEST_F(OptionsTest, AspectRatioRejectsNonNumbersAndNonFiniteValues) {
  for (const char* text : {"wide", "nan", "inf", "1e999", ""}) {
    WriteIni(std::string("[GenOption]\nd_AspectRatio=") + text + "\n");
    d_AspectRatio = 5.0;
    FT_LumoraDVD_MainForm->LoadOptions();
    EXPECT_DOUBLE_EQ(d_AspectRatio, 1.0) << text;
  }
  WriteIni("[GenOption]\nd_AspectRatio=1.7777\n");
  FT_LumoraDVD_MainForm->LoadOptions();
  EXPECT_NEAR(d_AspectRatio, 1.7777, 1e-12);
  WriteIni("[GenOption]\nd_AspectRatio=99\n");
  FT_LumoraDVD_MainForm->LoadOptions();
  EXPECT_DOUBLE_EQ(d_AspectRatio, 10.0);
}

TEST_F(OptionsTest, EmptyPathValuesStayEmpty) {
  WriteIni("[GenOption]\nCurrentSkinPath=\nCurrentSnapshotPath=\"\"\n");
  FT_LumoraDVD_MainForm->LoadOptions();
  EXPECT_EQ(CurrentSkinPath, "");
  EXPECT_EQ(CurrentSnapshotPath, "");
}

TEST_F(OptionsTest, SaveWritesEveryKeyInOrderAndReadsBackTheSame) {
  FT_LumoraDVD_MainForm->LoadOptions();
  l_CurrentVolume = 55;
  l_CurrentBalance = -12;
  d_AspectRatio = 1.333;
  MyAspectRatioState = 3;
  AspectW = 853.9;
  AspectH = -480.7;
  l_Hue = -1200;
  FT_LumoraDVD_SubForm->b_Repeat = true;
  CurrentSkinPath = "/skins/My Skin/";
  FT_LumoraDVD_MainForm->SaveOptions();

  const std::string text = ReadIni();
  const char* order[] = {"l_CurrentVolume",
                         "l_CurrentBalance",
                         "b_MuteState",
                         "b_DisplayControlPanel",
                         "CurrentSkinPath",
                         "d_AspectRatio",
                         "MyAspectRatioState",
                         "CurrentSnapshotPath",
                         "l_Bringhtness",
                         "l_Contrast",
                         "l_Hue",
                         "l_Saturation",
                         "b_Random",
                         "b_Repeat",
                         "AspectW",
                         "AspectH"};
  size_t last = 0;
  for (const char* key : order) {
    const size_t at = text.find(std::string(key) + "=");
    ASSERT_NE(at, std::string::npos) << key;
    EXPECT_GT(at, last) << key;
    last = at;
  }
  EXPECT_NE(text.find("\r\n"), std::string::npos);
  EXPECT_EQ(Key("AspectW"), "853");
  EXPECT_EQ(Key("AspectH"), "-480");
  EXPECT_EQ(Key("MyAspectRatioState"), "3");
  EXPECT_EQ(Key("b_Repeat"), "1");
  EXPECT_EQ(Key("CurrentSkinPath"), "/skins/My Skin/");

  player_test::ResetPlaybackState();
  FT_LumoraDVD_SubForm->b_Repeat = false;
  FT_LumoraDVD_MainForm->LoadOptions();
  EXPECT_EQ(l_CurrentVolume, 55);
  EXPECT_EQ(l_CurrentBalance, -12);
  EXPECT_NEAR(d_AspectRatio, 1.333, 1e-12);
  EXPECT_EQ(MyAspectRatioState, 0);
  EXPECT_EQ(l_Hue, -1200);
  EXPECT_TRUE(FT_LumoraDVD_SubForm->b_Repeat);
  EXPECT_EQ(CurrentSkinPath, "/skins/My Skin/");
}

TEST_F(OptionsTest, VolumeBehindTheMuteIsWhatGetsSaved) {
  FT_LumoraDVD_MainForm->LoadOptions();
  FT_LumoraDVD_OperationForm->i_VolumeBeforeMute = 40;
  FT_LumoraDVD_MainForm->b_MuteState = true;
  l_CurrentVolume = 0;
  FT_LumoraDVD_MainForm->SaveOptions();
  EXPECT_EQ(Key("l_CurrentVolume"), "40");
  EXPECT_EQ(Key("b_MuteState"), "1");
}

TEST_F(OptionsTest, OtherSectionsKeysAndCommentsSurviveAndKeysAreReplacedInPlace) {
  WriteIni(
      "; the user's own notes\r\n[Window]\r\nLeft=10\r\n[GenOption]\r\nl_Hue=5\r\n"
      "MyOwnKey=keep me\r\nl_CurrentVolume=20\r\n[Later]\r\nx=1\r\n");
  FT_LumoraDVD_MainForm->LoadOptions();
  FT_LumoraDVD_MainForm->SaveOptions();
  const std::string text = ReadIni();
  EXPECT_EQ(text.rfind("; the user's own notes\r\n[Window]\r\nLeft=10\r\n[GenOption]\r\nl_Hue=5\r\n"
                       "MyOwnKey=keep me\r\nl_CurrentVolume=20\r\n",
                       0),
            0u)
      << text;
  EXPECT_NE(text.find("[Later]\r\nx=1"), std::string::npos);
  // Keys that were missing are appended inside GenOption, before the next section.
  EXPECT_LT(text.find("AspectH="), text.find("[Later]"));
  EXPECT_EQ(Key("MyOwnKey"), "keep me");
}

TEST_F(OptionsTest, DecimalSeparatorOfTheLocaleReadsBack) {
  const QLocale before;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  FT_LumoraDVD_MainForm->LoadOptions();
  d_AspectRatio = 2.35;
  FT_LumoraDVD_MainForm->SaveOptions();
  d_AspectRatio = 1.0;
  FT_LumoraDVD_MainForm->LoadOptions();
  QLocale::setDefault(before);
  EXPECT_NEAR(d_AspectRatio, 2.35, 1e-12);
  // A point written elsewhere still reads under this locale.
  WriteIni("[GenOption]\nd_AspectRatio=2.5\n");
  FT_LumoraDVD_MainForm->LoadOptions();
  EXPECT_DOUBLE_EQ(d_AspectRatio, 2.5);
}

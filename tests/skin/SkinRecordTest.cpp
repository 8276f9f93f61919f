// Control records: fields, numbers, flags, value words, integer keys and file fields.
#include <gtest/gtest.h>

#include "SkinTestSupport.h"
#include "platform/Profile.h"
#include "player/skin/SkinRecord.h"

using namespace skin;

TEST(SkinRecord, FieldsEndWithTheirComma) {
  // The second name has no ending comma, so it is not a field.
  EXPECT_EQ(RecordField("a.bmp,b.bmp", 1), "a.bmp");
  EXPECT_EQ(RecordField("a.bmp,b.bmp", 2), "");
  // A tooltip without a comma after it is empty; with one it is read.
  const std::string noComma = "P.bmp,,,,1,2,3,4,1,1,0,0,Play";
  const std::string withComma = noComma + ",";
  EXPECT_EQ(RecordField(noComma, 13), "");
  EXPECT_EQ(RecordField(withComma, 13), "Play");
  // Past the last comma every field is empty, including ones far beyond.
  EXPECT_EQ(RecordField(withComma, 14), "");
  EXPECT_EQ(RecordField(withComma, 15), "");
  EXPECT_EQ(RecordField("", 1), "");
  EXPECT_EQ(RecordField("x,", 0), "");
  // Fields are trimmed of blanks and control characters, not of inner blanks.
  EXPECT_EQ(RecordField(" \tPause / Step \r,", 1), "Pause / Step");
  EXPECT_EQ(RecordField("a,,c,", 2), "");
  EXPECT_EQ(RecordField("a,,c,", 3), "c");
}

TEST(SkinRecord, NumbersReadLikeStrtol) {
  EXPECT_EQ(RecordNumber("  12  "), 12);
  EXPECT_EQ(RecordNumber("12px"), 12);
  EXPECT_EQ(RecordNumber("px12"), 0);
  EXPECT_EQ(RecordNumber(""), 0);
  EXPECT_EQ(RecordNumber("-7"), -7);
  EXPECT_EQ(RecordNumber("+3"), 3);
  EXPECT_EQ(RecordNumber("- 3"), 0);
  EXPECT_EQ(RecordNumber("0x10"), 0);
  EXPECT_EQ(RecordNumber("99999999999999999999999"), LONG_MAX);
  EXPECT_EQ(RecordNumber("-99999999999999999999999"), LONG_MIN);
  // Geometry numbers stay within int.
  EXPECT_EQ(RecordInt("99999999999,", 1), INT_MAX);
  EXPECT_EQ(RecordInt(" 12 ,px12,", 1), 12);
  EXPECT_EQ(RecordInt(" 12 ,px12,", 2), 0);
  // Flags: non-zero is true; an empty flag is false.
  EXPECT_TRUE(RecordFlag("1,", 1));
  EXPECT_TRUE(RecordFlag("-2,", 1));
  EXPECT_FALSE(RecordFlag("0,", 1));
  EXPECT_FALSE(RecordFlag(",", 1));
  EXPECT_FALSE(RecordFlag("yes,", 1));
}

TEST(SkinRecord, ValueWordsPerKind) {
  EXPECT_EQ(KindOfClass("TskImageButton"), ControlKind::ImageButton);
  EXPECT_EQ(KindOfClass("TFT_Snapshot"), ControlKind::Snapshot);
  EXPECT_EQ(KindOfClass("TImageSubclass"), ControlKind::Other);
  EXPECT_EQ(KindOfClass("TPanel"), ControlKind::Other);
  EXPECT_TRUE(IsFrameKind(ControlKind::DigitalImage));
  EXPECT_FALSE(IsFrameKind(ControlKind::PlayList));

  for (ControlKind k :
       {ControlKind::ImageButton, ControlKind::Image, ControlKind::ProgressBar,
        ControlKind::DynamicImageButton, ControlKind::DigitalImage, ControlKind::PlayList}) {
    EXPECT_EQ(ClassifyValue("Wrong", k), ValueWord::Wrong);
    EXPECT_EQ(ClassifyValue("Ignore", k), ValueWord::Ignore);
  }
  EXPECT_EQ(ClassifyValue("Invisible", ControlKind::ImageButton), ValueWord::Invisible);
  EXPECT_EQ(ClassifyValue("Invisible", ControlKind::DynamicImageButton), ValueWord::Invisible);
  EXPECT_EQ(ClassifyValue("Invisible", ControlKind::Image), ValueWord::Record);
  EXPECT_EQ(ClassifyValue("Invisible", ControlKind::ProgressBar), ValueWord::Record);
  EXPECT_EQ(ClassifyValue("Clear", ControlKind::Image), ValueWord::Clear);
  EXPECT_EQ(ClassifyValue("Clear", ControlKind::ImageButton), ValueWord::Record);
  // Words compare exactly, case included.
  EXPECT_EQ(ClassifyValue("ignore", ControlKind::Image), ValueWord::Record);
  EXPECT_EQ(ClassifyValue("Ignore,", ControlKind::Image), ValueWord::Record);
}

TEST(SkinRecord, IntegerKeysMustBeWholeIntegers) {
  plat::ProfileFile ini;
  ini.parse("[S]\r\nA=12\r\nB=12px\r\nC=0x1F\r\nD=-5\r\nE=\r\nF= 7 \r\nG=99999999999\r\nH=$10\r\n");
  EXPECT_EQ(ReadIniInteger(ini, "S", "A", -1), 12);
  EXPECT_EQ(ReadIniInteger(ini, "S", "B", -1), -1);
  EXPECT_EQ(ReadIniInteger(ini, "S", "C", -1), 31);
  EXPECT_EQ(ReadIniInteger(ini, "S", "D", -1), -5);
  EXPECT_EQ(ReadIniInteger(ini, "S", "E", -1), -1);
  EXPECT_EQ(ReadIniInteger(ini, "S", "F", -1), 7);
  EXPECT_EQ(ReadIniInteger(ini, "S", "G", -1), -1);
  EXPECT_EQ(ReadIniInteger(ini, "S", "H", -1), 16);
  EXPECT_EQ(ReadIniInteger(ini, "S", "Missing", 70), 70);
  EXPECT_EQ(ReadIniInteger(ini, "s", "a", -1), 12);
}

TEST(SkinRecord, FileFieldsUseSlashesAndIgnoreCase) {
  TempSkin skin;
  skin.Bitmap("Digits/Big0.bmp", 4, 4);
  const std::string f = skin.folder();
  EXPECT_TRUE(SkinFileExists(SkinFilePath(f, "Digits\\Big0.bmp")));
  EXPECT_TRUE(SkinFileExists(SkinFilePath(f, "digits\\BIG0.BMP")));
  EXPECT_FALSE(SkinFileExists(SkinFilePath(f, "Digits\\Big1.bmp")));
  // An empty field names the folder itself, which is never a file.
  EXPECT_FALSE(SkinFileExists(SkinFilePath(f, "")));
  EXPECT_FALSE(SkinFileExists(SkinFilePath(f, "Digits")));
  EXPECT_EQ(NormaliseFolder("C:\\Skin\\Default"), "C:/Skin/Default/");
  EXPECT_EQ(NormaliseFolder("/a/b/"), "/a/b/");
}

#include <gtest/gtest.h>

#include <QDir>
#include <QImageWriter>
#include <QPixmap>
#include <QTemporaryDir>

#include "TestApp.h"
#include "platform/Bitmap.h"
#include "platform/Cursor.h"

using namespace plat;

namespace {

class BitmapTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureApp(); }
  std::string Root() { return dir.path().toStdString() + "/"; }
  QTemporaryDir dir;
};

uint16_t U16At(const std::string& s, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8);
}

TEST_F(BitmapTest, SavesTwentyFourBitsAndReadsBackTheSamePixels) {
  QImage img(7, 5, QImage::Format_ARGB32);  // odd width exercises row padding
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) img.setPixel(x, y, qRgba(x * 30, y * 50, 255 - x, 128));
  const std::string path = Root() + "shot.bmp";
  ASSERT_TRUE(SaveBitmap(img, path));
  const std::string bytes = ReadAll(path);
  ASSERT_GT(bytes.size(), 54u);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(U16At(bytes, 28), 24);  // biBitCount
  const QImage back = LoadBitmap(path);
  ASSERT_FALSE(back.isNull());
  ASSERT_EQ(back.size(), img.size());
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      EXPECT_EQ(back.pixel(x, y) & 0xFFFFFF, img.pixel(x, y) & 0xFFFFFF) << x << "," << y;
}

TEST_F(BitmapTest, ReadsPalettedFilesAndRefusesBrokenOnes) {
  QImage indexed(4, 4, QImage::Format_Indexed8);
  indexed.setColorTable({qRgb(255, 0, 255), qRgb(0, 255, 0)});
  indexed.fill(0);
  indexed.setPixel(1, 2, 1);
  const std::string path = Root() + "pal.bmp";
  ASSERT_TRUE(QImageWriter(QString::fromStdString(path), "BMP").write(indexed));
  const QImage back = LoadBitmap(path);
  ASSERT_FALSE(back.isNull());
  EXPECT_EQ(back.pixel(0, 0) & 0xFFFFFF, 0xFF00FFu);
  EXPECT_EQ(back.pixel(1, 2) & 0xFFFFFF, 0x00FF00u);

  // A truncated file and garbage give a null image, not a crash.
  const std::string whole = ReadAll(path);
  WriteAll(Root() + "cut.bmp", whole.substr(0, 30));
  EXPECT_TRUE(LoadBitmap(Root() + "cut.bmp").isNull());
  WriteAll(Root() + "junk.bmp", "BM this is not a bitmap at all");
  EXPECT_TRUE(LoadBitmap(Root() + "junk.bmp").isNull());
  EXPECT_TRUE(LoadBitmap(Root() + "missing.bmp").isNull());
  EXPECT_FALSE(SaveBitmap(QImage(), Root() + "null.bmp"));
  EXPECT_FALSE(SaveBitmap(indexed, Root() + "no/folder/x.bmp"));
}

TEST_F(BitmapTest, FindsFilesWithoutRegardToCase) {
  ASSERT_TRUE(QDir().mkpath(dir.path() + "/Skin/Default/Cursor"));
  WriteAll(Root() + "Skin/Default/Play.BMP", "x");
  WriteAll(Root() + "Skin/Default/Cursor/Zoom.cur", "x");
  const std::string exact = Root() + "Skin/Default/Play.BMP";
  EXPECT_EQ(FindFileNoCase(exact), exact);
  EXPECT_EQ(FindFileNoCase(Root() + "skin/DEFAULT/play.bmp"), exact);
  EXPECT_EQ(FindFileNoCase(Root() + "skin\\default\\cursor\\ZOOM.CUR"),
            Root() + "Skin/Default/Cursor/Zoom.cur");
  EXPECT_EQ(FindFileNoCase(Root() + "SKIN/default/"), Root() + "Skin/Default/");
  EXPECT_EQ(FindFileNoCase(Root() + "skin/default/nothing.bmp"), "");
  EXPECT_EQ(FindFileNoCase(Root() + "skin/other/play.bmp"), "");
  EXPECT_EQ(FindFileNoCase(""), "");

  QImage img(2, 2, QImage::Format_RGB32);
  img.fill(Qt::red);
  ASSERT_TRUE(SaveBitmap(img, Root() + "Skin/Default/Bar.bmp"));
  EXPECT_FALSE(LoadBitmap(Root() + "skin\\default\\BAR.bmp").isNull());
}

// A 16x16 32-bit cursor with the given hot spot, left half red, right half transparent.
std::string MakeCursor(uint16_t hotX, uint16_t hotY, uint16_t type = 2) {
  std::string d;
  auto put16 = [&](uint32_t v) { d += char(v & 0xFF), d += char(v >> 8 & 0xFF); };
  auto put32 = [&](uint32_t v) { put16(v & 0xFFFF), put16(v >> 16); };
  const uint32_t dibSize = 40 + 16 * 16 * 4 + 16 * 4;
  put16(0), put16(type), put16(1);
  d += char(16), d += char(16), d += char(0), d += char(0);
  put16(hotX), put16(hotY), put32(dibSize), put32(22);
  put32(40), put32(16), put32(32), put16(1), put16(32);
  for (int i = 0; i < 6; ++i) put32(0);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) put32(x < 8 ? 0xFFFF0000u : 0x00000000u);
  for (int y = 0; y < 16; ++y) put32(0);  // AND mask: alpha decides
  return d;
}

TEST_F(BitmapTest, CursorsCarryTheirPictureAndHotSpot) {
  const std::string path = Root() + "Press.cur";
  WriteAll(path, MakeCursor(5, 7));
  QCursor c;
  ASSERT_TRUE(LoadCursorFile(Root() + "press.CUR", c));
  EXPECT_EQ(c.hotSpot(), QPoint(5, 7));
  const QImage pic = c.pixmap().toImage();
  ASSERT_EQ(pic.size(), QSize(16, 16));
  EXPECT_EQ(pic.pixel(2, 3), 0xFFFF0000u);
  EXPECT_EQ(qAlpha(pic.pixel(12, 3)), 0);

  // A hot spot outside the picture is pulled inside; icons use their centre.
  WriteAll(path, MakeCursor(300, 2));
  ASSERT_TRUE(LoadCursorFile(path, c));
  EXPECT_EQ(c.hotSpot(), QPoint(15, 2));
  WriteAll(path, MakeCursor(1, 1, 1));
  ASSERT_TRUE(LoadCursorFile(path, c));
  EXPECT_EQ(c.hotSpot(), QPoint(8, 8));
}

TEST_F(BitmapTest, BrokenCursorsAreRefused) {
  QCursor c;
  const std::string good = MakeCursor(1, 1);
  EXPECT_FALSE(LoadCursorFile(Root() + "none.cur", c));
  EXPECT_FALSE(CursorFromData(QByteArray::fromStdString(good.substr(0, 21)), c));
  EXPECT_FALSE(CursorFromData(QByteArray::fromStdString(good.substr(0, 60)), c));
  std::string wrongType = good;
  wrongType[2] = 7;
  EXPECT_FALSE(CursorFromData(QByteArray::fromStdString(wrongType), c));
  std::string manyEntries = good;
  manyEntries[4] = char(0xFF);  // claims 255 pictures in a file that holds one
  EXPECT_FALSE(CursorFromData(QByteArray::fromStdString(manyEntries), c));
}

}  // namespace

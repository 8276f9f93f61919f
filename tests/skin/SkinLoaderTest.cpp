// The loader on a small made-up window and skin: readers, failures, window keys, shapes.
#include <gtest/gtest.h>

#include <QPainter>
#include <map>

#include "SkinTestSupport.h"
#include "player/library/TFT_PlayList.h"
#include "player/skin/Ft_updateplayerskin.h"
#include "player/skin/controls/Ftimagebutton.h"
#include "player/widgets/TImage.h"
#include "player/widgets/TLabel.h"
#include "player/widgets/TPanel.h"
#include "player/widgets/TskImageButton.h"

namespace {

// A picture of the framework's class under another class name: never looked up.
class TImageLike : public TImage {
  Q_OBJECT
 public:
  using TImage::TImage;
};

const QColor kMagenta(255, 0, 255);

struct TestForm {
  QWidget form;
  TPanel* host;
  TImage* back;
  TskImageButton* play;
  TFT_DigitalImage* digit;
  TFT_ProgressBar* bar;
  TFT_DynamicImageButton* anim;
  TImageLike* other;

  TestForm() {
    form.setObjectName("FT_Test");
    form.resize(150, 90);
    host = new TPanel(&form);
    host->setObjectName("Panel_Host");
    host->setGeometry(0, 0, 10, 10);
    back = new TImage(host);
    back->setObjectName("Image_Back");
    play = new TskImageButton(&form);
    play->setObjectName("skImageButton_Play");
    new TLabel(&form);  // labels are never looked up
    other = new TImageLike(&form);
    other->setObjectName("Image_Other");
    digit = new TFT_DigitalImage(&form);
    digit->setObjectName("DI_Sec");
    bar = new TFT_ProgressBar(&form);
    bar->setObjectName("ProgressBar");
    anim = new TFT_DynamicImageButton(&form);
    anim->setObjectName("Dynamic_Play");
  }
};

class SkinLoader : public ::testing::Test {
 protected:
  void SetUp() override {
    skin.Bitmap("Back.bmp", 100, 50);
    QImage play(20, 10, QImage::Format_RGB32);
    play.fill(QColor(10, 200, 10));
    play.setPixel(0, 0, kMagenta.rgb());
    skin.Save(play, "Play.bmp");
    skin.Bitmap("PlayOn.bmp", 20, 10, QColor(200, 10, 10));
    for (int d = 0; d < 10; ++d) skin.Bitmap("Digits/D" + std::to_string(d) + ".bmp", 8, 12);
    skin.Bitmap("Thumb.bmp", 10, 10);
    skin.Bitmap("Track.bmp", 200, 10);
    skin.Bitmap("Fill.bmp", 4, 4);
    skin.Bitmap("Head.bmp", 8, 4);
    skin.Bitmap("Strip.bmp", 200, 30);
    values = {
        {"DefaultWidth", "140"},
        {"DefaultHeight", "80"},
        {"Image_Back", "Back.bmp,,,,1,2,60,30,1,1,0,0,,1,"},
        {"skImageButton_Play", "Play.bmp,PlayOn.bmp,,,3,4,50,40,1,1,0,0,Play,"},
        {"DI_Sec", "Digits\\D,,,,5,6,,,1,1,,0,"},
        {"ProgressBar", "Thumb.bmp,,,Track.bmp,7,8,6,3,,,0,1,,Fill.bmp,Head.bmp,"},
        {"Dynamic_Play", "Strip.bmp,,,,9,10,40,2500,1,1,0,0,,100,1,"},
    };
  }

  void WriteIni(const std::string& section = "FT_Test") {
    std::string text = "[" + section + "]\r\n";
    for (const auto& [k, v] : values) text += k + "=" + v + "\r\n";
    skin.Ini(text);
  }

  TempSkin skin;
  BoxRecorder boxes;
  std::map<std::string, std::string> values;
};

TEST_F(SkinLoader, EveryKindTakesItsRecord) {
  WriteIni();
  TestForm t;
  ASSERT_TRUE(ApplyWindowSkin(&t.form, skin.folder()));
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(t.form.size(), QSize(140, 80));
  // Picture at its place and record size; "1" in field 14 sizes the parent panel.
  EXPECT_EQ(t.back->geometry(), QRect(2, 1, 60, 30));
  EXPECT_EQ(t.host->size(), QSize(60, 30));
  EXPECT_FALSE(t.back->Picture().isNull());
  // Button: empty state fields copy the normal picture; no shape; tooltip on.
  EXPECT_EQ(t.play->geometry(), QRect(4, 3, 50, 40));
  EXPECT_EQ(t.play->PicMouseOn().pixel(5, 5), QColor(200, 10, 10).rgb());
  EXPECT_EQ(t.play->PicMouseDown(), t.play->PicNormal());
  EXPECT_EQ(t.play->PicDisabled(), t.play->PicNormal());
  EXPECT_FALSE(t.play->HasShape());
  EXPECT_EQ(t.play->Hint(), "Play");
  EXPECT_TRUE(t.play->ShowHint());
  EXPECT_EQ(t.digit->ShownDigit(), 0);
  EXPECT_EQ(t.digit->pos(), QPoint(6, 5));
  EXPECT_TRUE(t.bar->Ready());
  EXPECT_TRUE(t.bar->thumbAlways);
  EXPECT_EQ(t.bar->MinPixel(), 6);
  EXPECT_EQ(t.bar->ExtentPixel(), 194);
  EXPECT_EQ(t.bar->pos(), QPoint(8, 7));
  EXPECT_TRUE(t.anim->Loaded());
  EXPECT_EQ(t.anim->frameInterval, 100);
  EXPECT_TRUE(t.anim->loop);
  EXPECT_EQ(t.anim->pos(), QPoint(10, 9));
  EXPECT_TRUE(t.form.updatesEnabled());
}

TEST_F(SkinLoader, MissingKeyFailsTheWindowAndNamesTheControl) {
  values.erase("DI_Sec");
  WriteIni();
  TestForm t;
  EXPECT_FALSE(ApplyWindowSkin(&t.form, skin.folder()));
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "DI_Sec  Error Skin File");
  // Controls before it keep what they got; those after it and the window keys are untouched.
  EXPECT_FALSE(t.play->PicNormal().isNull());
  EXPECT_FALSE(t.bar->Ready());
  EXPECT_FALSE(t.anim->Loaded());
  EXPECT_EQ(t.form.size(), QSize(150, 90));
  EXPECT_TRUE(t.form.updatesEnabled());
}

TEST_F(SkinLoader, ValueWordsAcceptedOrRefusedPerKind) {
  {
    values["skImageButton_Play"] = "Invisible";
    values["Image_Back"] = "Clear";
    WriteIni();
    TestForm t;
    t.back->SetPicture(QImage(5, 5, QImage::Format_RGB32));
    t.play->show();
    EXPECT_TRUE(ApplyWindowSkin(&t.form, skin.folder()));
    EXPECT_TRUE(t.play->isHidden());
    EXPECT_TRUE(t.back->Picture().isNull());
  }
  for (auto [key, word] :
       {std::pair{"Image_Back", "Invisible"}, std::pair{"skImageButton_Play", "Clear"},
        std::pair{"ProgressBar", "Invisible"}, std::pair{"DI_Sec", "Wrong"}}) {
    SetUp();
    values[key] = word;
    WriteIni();
    plat::ClearRecordedMessageBoxes();
    TestForm t;
    EXPECT_FALSE(ApplyWindowSkin(&t.form, skin.folder())) << key << "=" << word;
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, std::string(key) + "  Error Skin File");
  }
}

TEST_F(SkinLoader, IgnoreKeepsControlsButWindowKeysStillApply) {
  for (auto& [k, v] : values)
    if (k != "DefaultWidth" && k != "DefaultHeight") v = "Ignore";
  WriteIni();
  TestForm t;
  t.play->move(33, 44);
  EXPECT_TRUE(ApplyWindowSkin(&t.form, skin.folder()));
  EXPECT_EQ(t.play->pos(), QPoint(33, 44));
  EXPECT_TRUE(t.play->PicNormal().isNull());
  EXPECT_EQ(t.form.size(), QSize(140, 80));
}

TEST_F(SkinLoader, ImageButtonFilesAndShape) {
  // A third picture that does not exist fails after the first two were loaded.
  values["skImageButton_Play"] = "Play.bmp,PlayOn.bmp,Gone.bmp,,3,4,50,40,1,1,0,0,Play";
  WriteIni();
  {
    TestForm t;
    EXPECT_FALSE(ApplyWindowSkin(&t.form, skin.folder()));
    EXPECT_FALSE(t.play->PicNormal().isNull());
    EXPECT_EQ(t.play->PicMouseOn().pixel(1, 1), QColor(200, 10, 10).rgb());
    EXPECT_EQ(t.play->geometry(), QRect(4, 3, 50, 40));  // placed before the pictures
  }
  // Shaped: cut to the normal picture, key pixels away, and sized to it; no comma after the
  // hint leaves the tooltip off.
  values["skImageButton_Play"] = "Play.bmp,,,,3,4,50,40,1,0,1,0,Play";
  WriteIni();
  TestForm t;
  ASSERT_TRUE(ApplyWindowSkin(&t.form, skin.folder()));
  EXPECT_TRUE(t.play->HasShape());
  EXPECT_EQ(t.play->size(), QSize(20, 10));
  EXPECT_FALSE(t.play->mask().contains(QPoint(0, 0)));
  EXPECT_TRUE(t.play->mask().contains(QPoint(1, 0)));
  EXPECT_FALSE(t.play->isEnabled());
  EXPECT_FALSE(t.play->ShowHint());
  // An unshaped record drops the earlier shape again.
  values["skImageButton_Play"] = "Play.bmp,,,,3,4,50,40,1,1,0,0,,";
  WriteIni();
  ASSERT_TRUE(ApplyWindowSkin(&t.form, skin.folder()));
  EXPECT_FALSE(t.play->HasShape());
}

TEST_F(SkinLoader, DigitsNeedDigitZeroOnly) {
  for (int d = 1; d < 10; ++d)
    QFile::remove(QString::fromStdString(skin.folder() + "Digits/D" + std::to_string(d) + ".bmp"));
  WriteIni();
  {
    TestForm t;
    EXPECT_TRUE(ApplyWindowSkin(&t.form, skin.folder()));
    EXPECT_TRUE(t.digit->HasDigitBitmap(0));
    EXPECT_FALSE(t.digit->HasDigitBitmap(9));
  }
  QFile::remove(QString::fromStdString(skin.folder() + "Digits/D0.bmp"));
  TestForm t;
  EXPECT_FALSE(ApplyWindowSkin(&t.form, skin.folder()));
  EXPECT_EQ(boxes.Boxes().back().text, "DI_Sec  Error Skin File");
}

TEST_F(SkinLoader, UncuttableStripIsNoError) {
  values["Dynamic_Play"] = "Strip.bmp,,,,9,10,0,2500,1,1,1,1,,100,1,";
  WriteIni();
  TestForm t;
  EXPECT_TRUE(ApplyWindowSkin(&t.form, skin.folder()));
  EXPECT_FALSE(t.anim->Loaded());
}

TEST_F(SkinLoader, MaskSizeWinsAndPositionNeedsBothKeys) {
  QImage mask(30, 20, QImage::Format_RGB32);
  mask.fill(Qt::black);
  mask.setPixel(0, 0, kMagenta.rgb());  // the top-left pixel is cut like any other
  mask.setPixel(29, 19, kMagenta.rgb());
  skin.Save(mask, "Masks/Shape.bmp");
  values["MaskBmp"] = "Masks\\Shape.bmp";
  values["LastTop"] = "0";
  values["LastLeft"] = "100";
  WriteIni();
  TestForm t;
  t.form.move(5, 6);
  ASSERT_TRUE(ApplyWindowSkin(&t.form, skin.folder()));
  EXPECT_EQ(t.form.size(), QSize(30, 20));
  EXPECT_EQ(t.form.pos(), QPoint(5, 6));
  EXPECT_FALSE(t.form.mask().contains(QPoint(0, 0)));
  EXPECT_FALSE(t.form.mask().contains(QPoint(29, 19)));
  EXPECT_TRUE(t.form.mask().contains(QPoint(1, 0)));
  EXPECT_TRUE(t.form.mask().contains(QPoint(15, 10)));

  // Both above zero: the window moves. An unreadable mask leaves shape and size alone.
  values["LastTop"] = "40";
  values["LastLeft"] = "30";
  QFile junk(QString::fromStdString(skin.folder() + "Masks/Shape.bmp"));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly | QIODevice::Truncate));
  junk.write("not a bitmap");
  junk.close();
  WriteIni();
  TestForm u;
  ASSERT_TRUE(ApplyWindowSkin(&u.form, skin.folder()));
  EXPECT_EQ(u.form.pos(), QPoint(30, 40));
  EXPECT_EQ(u.form.size(), QSize(140, 80));
  EXPECT_TRUE(u.form.mask().isEmpty());
}

TEST_F(SkinLoader, HugeSizesAreBounded) {
  values["DefaultWidth"] = "2147483647";
  values["DefaultHeight"] = "99999999999";
  values["skImageButton_Play"] = "Play.bmp,,,,3,4,99999999,99999999,1,1,0,0,,";
  WriteIni();
  TestForm t;
  t.play->SetAutoSize(false);
  ASSERT_TRUE(ApplyWindowSkin(&t.form, skin.folder()));
  EXPECT_LE(t.form.width(), 8192);
  EXPECT_GT(t.form.width(), 150);
  EXPECT_EQ(t.form.height(), 90);  // not an integer: the key counts as absent
  EXPECT_LE(t.play->width(), 8192);
}

TEST_F(SkinLoader, NoSkinIniChangesNothing) {
  TestForm t;
  EXPECT_FALSE(ApplyWindowSkin(&t.form, skin.folder()));
  EXPECT_FALSE(ApplyFrameSkin(&t.form, skin.folder()));
  EXPECT_FALSE(ReapplyButtonShapes(&t.form, skin.folder()));
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(t.form.size(), QSize(150, 90));
}

TEST_F(SkinLoader, FrameSkinFailsSilentlyAndSkipsLists) {
  values["DefaultTop"] = "12";
  values["DefaultLeft"] = "7";
  values["MaskBmp"] = "Back.bmp";
  WriteIni();
  TestForm t;
  auto* list = new TFT_PlayList(&t.form);  // no key: lists are not the bar's business
  list->setObjectName("MyPlayList");
  ASSERT_TRUE(ApplyFrameSkin(&t.form, skin.folder()));
  EXPECT_EQ(t.form.geometry(), QRect(7, 12, 140, 80));  // no mask in a frame
  values.erase("ProgressBar");
  WriteIni();
  TestForm u;
  EXPECT_FALSE(ApplyFrameSkin(&u.form, skin.folder()));
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(SkinLoader, ButtonShapesComeBackAfterReparenting) {
  values["skImageButton_Play"] = "Play.bmp,,,,3,4,50,40,1,1,1,0,,";
  WriteIni();
  TestForm t;
  ASSERT_TRUE(ApplyWindowSkin(&t.form, skin.folder()));
  auto* second = new TskImageButton(&t.form);  // a button without a key is left alone
  second->setObjectName("skImageButton_Stop");
  t.play->ClearShape();
  ASSERT_FALSE(t.play->HasShape());
  EXPECT_TRUE(ReapplyButtonShapes(&t.form, skin.folder()));
  EXPECT_TRUE(t.play->HasShape());
  EXPECT_FALSE(second->HasShape());
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST(ColourRegion, ExplicitAndCornerKeys) {
  EXPECT_FALSE(BuildColourRegion(QImage(), 0xFF00FF, QRect(0, 0, 5, 5)).has_value());
  QImage img(6, 4, QImage::Format_RGB32);
  img.fill(QColor(0, 0, 255));
  img.setPixel(0, 0, QColor(255, 0, 255).rgb());
  img.setPixel(5, 3, QColor(255, 0, 255).rgb());
  img.setPixel(2, 1, QColor(255, 0, 254).rgb());  // one off: not the key
  auto r = BuildColourRegion(img, 0xFF00FF, img.rect());
  ASSERT_TRUE(r);
  EXPECT_TRUE(r->contains(QPoint(0, 0)));
  EXPECT_TRUE(r->contains(QPoint(5, 3)));
  EXPECT_FALSE(r->contains(QPoint(2, 1)));
  EXPECT_FALSE(r->contains(QPoint(3, 2)));
  // The rectangle limits what counts.
  auto part = BuildColourRegion(img, 0xFF00FF, QRect(0, 0, 3, 3));
  EXPECT_TRUE(part->contains(QPoint(0, 0)));
  EXPECT_FALSE(part->contains(QPoint(5, 3)));
  // Colour 0 takes the top-left pixel's colour; here the blue background.
  img.setPixel(0, 0, QColor(0, 0, 255).rgb());
  auto implicit = BuildColourRegion(img, 0, img.rect());
  EXPECT_TRUE(implicit->contains(QPoint(3, 2)));
  EXPECT_FALSE(implicit->contains(QPoint(5, 3)));
  EXPECT_FALSE(implicit->contains(QPoint(2, 1)));
  EXPECT_EQ(implicit->boundingRect(), QRect(0, 0, 6, 4));
}

}  // namespace

#include "SkinLoaderTest.moc"

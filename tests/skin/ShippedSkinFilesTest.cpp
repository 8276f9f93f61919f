// The shipped skins' files against their records: every named file is a readable bitmap of
// the size the record and the layout expect, and the controls of the control panel and the
// control bar sit inside their window without covering each other.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QRect>
#include <map>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Profile.h"
#include "player/skin/SkinRecord.h"

namespace {

using namespace skin;

std::string SkinFolder(const std::string& name) {
  // Test programs live in the build's bin folder beside Skin/.
  QString bin = qEnvironmentVariable("LUMORA_BIN_DIR", QCoreApplication::applicationDirPath());
  return bin.toStdString() + "/Skin/" + name + "/";
}

QImage Load(const std::string& folder, const std::string& value, int n) {
  std::string path = SkinFilePath(folder, RecordField(value, n));
  return SkinFileExists(path) ? plat::LoadBitmap(path) : QImage();
}

bool IsButton(const std::string& key) { return key.rfind("skImageButton_", 0) == 0; }
bool IsImage(const std::string& key) { return key.rfind("Image_", 0) == 0; }
bool IsDigit(const std::string& key) { return key.rfind("DI_", 0) == 0; }
bool IsBar(const std::string& key) { return key == "ProgressBar" || key == "VolumeBar"; }

class ShippedSkinFiles : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    folder_ = SkinFolder(GetParam());
    ASSERT_TRUE(SkinFileExists(folder_ + "Skin.ini")) << folder_;
    ini_.load(folder_ + "Skin.ini");
  }
  std::string folder_;
  plat::ProfileFile ini_;
};

TEST_P(ShippedSkinFiles, RecordsNameReadablePicturesOfMatchingSizes) {
  int checked = 0;
  for (const std::string& section : ini_.sectionNames()) {
    if (section == "SkinOpt") continue;
    for (const auto& [key, value] : ini_.section(section)) {
      if (ClassifyValue(value, ControlKind::Image) != ValueWord::Record) continue;
      SCOPED_TRACE(section + "/" + key);
      if (IsButton(key)) {
        QImage pics[4];
        for (int n = 1; n <= 4; ++n) {
          pics[n - 1] = Load(folder_, value, n);
          ASSERT_FALSE(pics[n - 1].isNull()) << "field " << n;
          EXPECT_EQ(pics[n - 1].size(), pics[0].size()) << "field " << n;
        }
        // Buttons size themselves to their picture; the record agrees so layouts match.
        EXPECT_EQ(RecordInt(value, 7), pics[0].width());
        EXPECT_EQ(RecordInt(value, 8), pics[0].height());
        EXPECT_FALSE(RecordField(value, 13).empty()) << "a button without a tooltip";
        ++checked;
      } else if (IsImage(key)) {
        QImage pic = Load(folder_, value, 1);
        ASSERT_FALSE(pic.isNull());
        EXPECT_EQ(pic.depth(), 32);  // 24-bit BMPs load as 32-bit images
        ++checked;
      } else if (IsDigit(key)) {
        QImage zero = plat::LoadBitmap(SkinFilePath(folder_, RecordField(value, 1) + "0.bmp"));
        ASSERT_FALSE(zero.isNull());
        for (int d = 1; d <= 9; ++d) {
          QImage img = plat::LoadBitmap(
              SkinFilePath(folder_, RecordField(value, 1) + std::to_string(d) + ".bmp"));
          EXPECT_EQ(img.size(), zero.size()) << "digit " << d;
        }
        ++checked;
      } else if (IsBar(key)) {
        QImage thumb = Load(folder_, value, 1), track = Load(folder_, value, 4);
        QImage fill = Load(folder_, value, 14), head = Load(folder_, value, 15);
        ASSERT_FALSE(thumb.isNull() || track.isNull() || fill.isNull() || head.isNull());
        const int insetX = RecordInt(value, 7), insetY = RecordInt(value, 8);
        // The usable length must stay positive, and the fill must fit in the track.
        EXPECT_GT(track.width() - 2 * insetX - head.width(), 10);
        EXPECT_LE(insetY + fill.height(), track.height());
        // The thumb's see-through colour is its bottom-left pixel; its centre must differ
        // or the knob would show a hole.
        EXPECT_NE(thumb.pixel(0, thumb.height() - 1),
                  thumb.pixel(thumb.width() / 2, thumb.height() / 2));
        ++checked;
      } else if (key == "Dynamic_Play") {
        QImage strip = Load(folder_, value, 1);
        const int w = RecordInt(value, 7);
        ASSERT_GT(w, 0);
        const int m = RecordFlag(value, 11), d = RecordFlag(value, 12);
        EXPECT_EQ(strip.width() % w, 0);
        EXPECT_GT(strip.width() / w, 2 + m + d) << "no animation frame";
        EXPECT_GT(RecordInt(value, 14), 0) << "the animation would never run";
        if (m) {
          // The mask frame cuts the corners and keeps the middle.
          EXPECT_EQ(strip.pixel(0, 0) & 0xFFFFFF, 0xFF00FFu);
          EXPECT_NE(strip.pixel(w / 2, strip.height() / 2) & 0xFFFFFF, 0xFF00FFu);
        }
        ++checked;
      } else if (key.rfind("My", 0) == 0) {
        for (int n = 1; n <= 4; ++n) EXPECT_FALSE(Load(folder_, value, n).isNull()) << n;
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 100);
}

TEST_P(ShippedSkinFiles, PanelAndBarControlsFitAndDoNotOverlap) {
  for (const char* section : {"FT_LumoraDVD_OperationForm", "FT_LumoraDVD_ControlFrame"}) {
    SCOPED_TRACE(section);
    const QRect window(0, 0, ReadIniInteger(ini_, section, "DefaultWidth", 0),
                       ReadIniInteger(ini_, section, "DefaultHeight", 0));
    ASSERT_FALSE(window.isEmpty());
    std::vector<std::pair<std::string, QRect>> placed;
    for (const auto& [key, value] : ini_.section(section)) {
      if (key == "Image_Background" || (!RecordFlag(value, 9) && !IsBar(key))) continue;
      QRect r;
      if (IsButton(key)) {
        r = QRect(RecordInt(value, 6), RecordInt(value, 5), RecordInt(value, 7),
                  RecordInt(value, 8));
      } else if (IsBar(key)) {
        r = QRect(QPoint(RecordInt(value, 6), RecordInt(value, 5)), Load(folder_, value, 4).size());
      } else if (IsDigit(key)) {
        QImage zero = plat::LoadBitmap(SkinFilePath(folder_, RecordField(value, 1) + "0.bmp"));
        r = QRect(QPoint(RecordInt(value, 6), RecordInt(value, 5)), zero.size());
      } else if (key == "Dynamic_Play") {
        r = QRect(RecordInt(value, 6), RecordInt(value, 5), RecordInt(value, 7),
                  Load(folder_, value, 1).height());
      } else {
        continue;
      }
      EXPECT_TRUE(window.contains(r)) << key;
      for (const auto& [other, o] : placed) EXPECT_FALSE(r.intersects(o)) << key << " / " << other;
      placed.emplace_back(key, r);
    }
    EXPECT_GT(placed.size(), 15u);
  }
}

TEST_P(ShippedSkinFiles, MasksCutOnlyTheCorners) {
  for (const char* file : {"CLT.bmp", "CRT.bmp", "CLB.bmp", "CRB.bmp", "CCL.bmp", "CCR.bmp",
                           "SUBCLT.bmp", "SUBCRT.bmp", "SUBCLB.bmp", "SUBCRB.bmp"}) {
    QImage img = plat::LoadBitmap(folder_ + file);
    ASSERT_FALSE(img.isNull()) << file;
    int keyed = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) keyed += (img.pixel(x, y) & 0xFFFFFF) == 0xFF00FF;
    EXPECT_GT(keyed, 0) << file;
    EXPECT_LT(keyed, img.width() * img.height() / 2) << file;
  }
  const std::string mask = SkinFilePath(folder_, ini_.get("FT_LumoraDVD_OperationForm", "MaskBmp"));
  QImage panel = plat::LoadBitmap(mask);
  ASSERT_FALSE(panel.isNull());
  EXPECT_EQ(panel.width(), ReadIniInteger(ini_, "FT_LumoraDVD_OperationForm", "DefaultWidth", 0));
  EXPECT_EQ(panel.height(), ReadIniInteger(ini_, "FT_LumoraDVD_OperationForm", "DefaultHeight", 0));
  EXPECT_EQ(panel.pixel(0, 0) & 0xFFFFFF, 0xFF00FFu);
  EXPECT_NE(panel.pixel(panel.width() / 2, 0) & 0xFFFFFF, 0xFF00FFu);
  QImage preview = plat::LoadBitmap(folder_ + "Preview.bmp");
  EXPECT_FALSE(preview.isNull());
}

INSTANTIATE_TEST_SUITE_P(Skins, ShippedSkinFiles, ::testing::Values("Default", "Aqua", "Graphite"));

}  // namespace

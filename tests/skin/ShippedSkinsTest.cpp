// The shipped skins on the real windows: every listed control has a key, every window takes
// its skin without failure, and the shapes, digits, bars and cursors come out as drawn.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QCursor>
#include <QTemporaryDir>
#include <map>
#include <vector>

#include "SkinTestSupport.h"
#include "platform/Cursor.h"
#include "platform/Profile.h"
#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/core/Ft_lumoradvdstate.h"
#include "player/core/PlayerWindows.h"
#include "player/library/Ft_lumoradvdsubform.h"
#include "player/library/TFT_PlayList.h"
#include "player/mainwindow/Ft_lumoradvdcontrolframe.h"
#include "player/mainwindow/Ft_lumoradvdfullscreenform.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/mainwindow/Ft_lumoradvdshadowform.h"
#include "player/skin/SkinCursors.h"
#include "player/skin/SkinRecord.h"
#include "player/skin/controls/Ftimagebutton.h"
#include "player/widgets/TImage.h"
#include "player/widgets/TskImageButton.h"

namespace {

using Keys = std::vector<const char*>;

// The controls each window's section must name.
const std::map<std::string, Keys>& ListedControls() {
  static const std::map<std::string, Keys> lists = {
      {"FT_LumoraDVD_OperationForm",
       {"Image_Background",
        "skImageButton_Min",
        "skImageButton_VideoSetup",
        "skImageButton_AudioSetup",
        "skImageButton_SubPicture",
        "skImageButton_Language",
        "skImageButton_Menu",
        "skImageButton_Open",
        "skImageButton_FastReverse",
        "skImageButton_PreviousChapter",
        "skImageButton_Pause",
        "skImageButton_Stop",
        "skImageButton_FastForward",
        "skImageButton_NextChapter",
        "skImageButton_Exit",
        "skImageButton_Eject",
        "skImageButton_PlaybackRate",
        "skImageButton_VolumeUp",
        "skImageButton_VolumeDown",
        "skImageButton_DeMute",
        "skImageButton_Mute",
        "skImageButton_Play",
        "ProgressBar",
        "VolumeBar",
        "Dynamic_Play",
        "DI_TimeSec1",
        "DI_TimeSec10",
        "DI_TimeMin1",
        "DI_TimeMin10",
        "DI_TimeHour1",
        "DI_TimeHour10",
        "DI_Title1",
        "DI_Title10",
        "DI_Chapter1",
        "DI_Chapter10"}},
      {"FT_LumoraDVD_ControlFrame",
       {"Image_Background",
        "skImageButton_PreviousChapter",
        "skImageButton_FastReverse",
        "skImageButton_Pause",
        "skImageButton_Stop",
        "skImageButton_FastForward",
        "skImageButton_NextChapter",
        "skImageButton_Play",
        "skImageButton_Eject",
        "skImageButton_PlaybackRate",
        "skImageButton_Mute",
        "skImageButton_DeMute",
        "skImageButton_Ex",
        "skImageButton_VolumeUp",
        "skImageButton_VolumeDown",
        "ProgressBar",
        "VolumeBar",
        "DI_TimeSec1",
        "DI_TimeSec10",
        "DI_TimeMin1",
        "DI_TimeMin10",
        "DI_TimeHour1",
        "DI_TimeHour10"}},
      {"FT_LumoraDVD_SubForm",
       {"Image_Bottom",
        "Image_Top",
        "Image_Title_List",
        "Image_Title_Bookmark",
        "Image_Title_Snapshot",
        "Image_Title_TV",
        "Image_Right",
        "Image_Left",
        "skImageButton_Resize",
        "skImageButton_Play",
        "skImageButton_PlayBookmark",
        "skImageButton_Repeat",
        "skImageButton_DeRepeat",
        "skImageButton_Random",
        "skImageButton_DeRandom",
        "skImageButton_AddFile",
        "skImageButton_DeleteFile",
        "skImageButton_AddBookmark",
        "skImageButton_DeleteBookmark",
        "skImageButton_Snapshoot_One",
        "skImageButton_Snapshoot_Continuous",
        "skImageButton_SaveSnapshoot",
        "skImageButton_DeleteSnapshoot",
        "skImageButton_Close",
        "skImageButton_StopSnapshoot",
        "skImageButton_TV",
        "skImageButton_TVNormal",
        "skImageButton_TVFavorit",
        "MyPlayList",
        "MyTVList",
        "MyBookmark",
        "MySnapshot"}},
      {"FT_LumoraDVD_FullScreenForm",
       {"Image_Control_Left", "Image_Control_Center", "Image_Control_Right",
        "Image_MainForm_Center"}},
      {"FT_LumoraDVD_MainForm",
       {"Image_Control_Center",
        "Image_Control_Left",
        "Image_Control_Right",
        "Image_Left_Center",
        "Image_Left_Top",
        "Image_Left_Bottom",
        "Image_Right_Center",
        "Image_Right_Top",
        "Image_Right_Bottom",
        "Image_Bottom_Center",
        "Image_Bottom_Left",
        "Image_Bottom_Right",
        "Image_MainForm_Center",
        "Image_PopMenu",
        "Image_Top_Center",
        "Image_Top_Left",
        "Image_Top_InCenter",
        "Image_Top_Right",
        "skImageButton_Resizer",
        "skImageButton_Email",
        "skImageButton_Home",
        "skImageButton_About",
        "skImageButton_Exit",
        "skImageButton_Min",
        "skImageButton_Max",
        "skImageButton_Restore",
        "skImageButton_About1",
        "skImageButton_Email1",
        "skImageButton_Home1",
        "skImageButton_PlayList",
        "skImageButton_DePlayList",
        "skImageButton_Bookmark",
        "skImageButton_DeBookmark",
        "skImageButton_Snapshoot",
        "skImageButton_DeSnapshoot",
        "skImageButton_DeTV",
        "skImageButton_TV"}},
  };
  return lists;
}

std::string SkinFolder(const std::string& name) {
  // Test programs live in the build's bin folder beside Skin/.
  QString bin = qEnvironmentVariable("LUMORA_BIN_DIR", QCoreApplication::applicationDirPath());
  return bin.toStdString() + "/Skin/" + name + "/";
}

class ShippedSkin : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    folder_ = SkinFolder(GetParam());
    if (!skin::SkinFileExists(folder_ + "Skin.ini")) GTEST_FAIL() << "skin not built: " << folder_;
  }
  std::string folder_;
};

TEST_P(ShippedSkin, EveryListedControlHasAKey) {
  plat::ProfileFile ini(folder_ + "Skin.ini");
  for (const auto& [section, keys] : ListedControls())
    for (const char* key : keys) {
      ASSERT_TRUE(ini.has(section, key)) << section << "/" << key;
      EXPECT_NE(ini.get(section, key), "Wrong") << section << "/" << key;
    }
  EXPECT_TRUE(ini.hasSection("SkinOpt"));
  EXPECT_GT(skin::ReadIniInteger(ini, "SkinOpt", "i_ControlPanelHeight", 0), 0);
}

// The windows as the player makes them, each removed again at the end.
class Windows {
 public:
  Windows() {
    qputenv("LUMORA_HOME", home_.path().toUtf8() + "/");
    main_ = CreatePlayerWindows();
  }
  ~Windows() { DestroyPlayerWindows(); }
  TFT_LumoraDVD_MainForm* main() const { return main_; }

 private:
  QTemporaryDir home_;
  TFT_LumoraDVD_MainForm* main_;
};

// Every skinnable component of a window (as built) has a key in the window's section.
void ExpectKeysForComponents(QWidget* window, bool frame, const plat::ProfileFile& ini) {
  const std::string section = window->objectName().toStdString();
  int looked = 0;
  for (QObject* obj : components::Components(window)) {
    auto kind = skin::KindOfClass(obj->metaObject()->className());
    if (kind == skin::ControlKind::Other || (frame && !skin::IsFrameKind(kind))) continue;
    ++looked;
    EXPECT_TRUE(ini.has(section, obj->objectName().toStdString()))
        << section << " has no key for " << obj->objectName().toStdString();
  }
  EXPECT_GT(looked, 0) << section;
}

TEST_P(ShippedSkin, EveryWindowTakesItWithoutFailure) {
  BoxRecorder boxes;
  Windows w;
  ASSERT_TRUE(w.main()->ApplySkin(folder_));
  for (const auto& box : boxes.Boxes()) ADD_FAILURE() << "box: " << box.text;

  plat::ProfileFile ini(folder_ + "Skin.ini");
  ExpectKeysForComponents(w.main(), false, ini);
  ExpectKeysForComponents(FT_LumoraDVD_OperationForm, false, ini);
  ExpectKeysForComponents(FT_LumoraDVD_SubForm, false, ini);
  ExpectKeysForComponents(FT_LumoraDVD_FullScreenForm, false, ini);
  ExpectKeysForComponents(FT_LumoraDVD_ControlFrame, true, ini);

  // The control panel takes its mask's size and shape; its corners are cut.
  TFT_LumoraDVD_OperationForm* panel = FT_LumoraDVD_OperationForm;
  const int panelWidth = skin::ReadIniInteger(ini, "FT_LumoraDVD_OperationForm", "DefaultWidth", 0);
  EXPECT_EQ(panel->width(), panelWidth);
  EXPECT_FALSE(panel->mask().contains(QPoint(0, 0)));
  EXPECT_TRUE(panel->mask().contains(QPoint(panel->width() / 2, panel->height() / 2)));
  EXPECT_TRUE(panel->Dynamic_Play->Loaded());
  EXPECT_TRUE(panel->ProgressBar->Ready());
  EXPECT_TRUE(panel->VolumeBar->Ready());
  auto* chapter = panel->findChild<TFT_DigitalImage*>("DI_Chapter10");
  ASSERT_NE(chapter, nullptr);
  EXPECT_EQ(chapter->ShownDigit(), 0);

  // Main window: skin size, options, and the top corners cut for the present size.
  TFT_LumoraDVD_MainForm* m = w.main();
  EXPECT_EQ(m->width(), skin::ReadIniInteger(ini, "FT_LumoraDVD_MainForm", "DefaultWidth", 0));
  EXPECT_EQ(m->i_ControlPanelHeight,
            skin::ReadIniInteger(ini, "SkinOpt", "i_ControlPanelHeight", 0));
  EXPECT_TRUE(m->b_NeedCutCorner);
  EXPECT_FALSE(m->mask().contains(QPoint(0, 0)));
  EXPECT_FALSE(m->mask().contains(QPoint(m->width() - 1, 0)));
  EXPECT_TRUE(m->mask().contains(QPoint(m->width() / 2, 0)));
  // Resizing moves the right-hand corners along.
  m->resize(m->width() + 40, m->height());
  m->ApplyWindowRegion();
  EXPECT_FALSE(m->mask().contains(QPoint(m->width() - 1, 0)));
  EXPECT_TRUE(m->mask().contains(QPoint(m->width() - 41, 0)));

  TFT_LumoraDVD_ControlFrame* bar = FT_LumoraDVD_ControlFrame;
  EXPECT_EQ(bar->width(),
            skin::ReadIniInteger(ini, "FT_LumoraDVD_ControlFrame", "DefaultWidth", 0));
  EXPECT_TRUE(bar->ProgressBar->Ready());
  EXPECT_EQ(bar->ProgressBar->PixelPosition(), bar->ProgressBar->MinPixel());
  EXPECT_FALSE(bar->skImageButton_Play->PicNormal().isNull());

  TFT_LumoraDVD_SubForm* side = FT_LumoraDVD_SubForm;
  EXPECT_FALSE(side->MyPlayList->ThumbImage()->Picture().isNull());
  EXPECT_FALSE(side->mask().contains(QPoint(0, 0)));

  for (int n = kCursorMoveWE; n <= kCursorZoom; ++n) EXPECT_TRUE(HasSkinCursor(n)) << n;
  EXPECT_EQ(m->skImageButton_Resizer->cursor().shape(), Qt::BitmapCursor);
}

TEST_P(ShippedSkin, SecondApplicationKeepsEnabledStatesAndShapes) {
  BoxRecorder boxes;
  Windows w;
  ASSERT_TRUE(w.main()->ApplySkin(folder_));
  FT_LumoraDVD_ControlFrame->ProgressBar->setEnabled(true);
  FT_LumoraDVD_OperationForm->ProgressBar->setEnabled(true);
  ASSERT_TRUE(w.main()->ApplySkin(folder_));
  EXPECT_TRUE(FT_LumoraDVD_ControlFrame->ProgressBar->isEnabled());
  EXPECT_TRUE(FT_LumoraDVD_OperationForm->ProgressBar->isEnabled());
  EXPECT_FALSE(w.main()->mask().contains(QPoint(0, 0)));
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_P(ShippedSkin, CursorsCarryTheirHotSpots) {
  QCursor zoom, resize;
  ASSERT_TRUE(plat::LoadCursorFile(folder_ + "Cursor/Zoom.cur", zoom));
  ASSERT_TRUE(plat::LoadCursorFile(folder_ + "Cursor/Resize.cur", resize));
  EXPECT_EQ(zoom.hotSpot(), QPoint(13, 13));
  EXPECT_EQ(resize.hotSpot(), QPoint(16, 16));
  EXPECT_EQ(zoom.pixmap().size(), QSize(32, 32));
}

INSTANTIATE_TEST_SUITE_P(Skins, ShippedSkin, ::testing::Values("Default", "Aqua", "Graphite"));

TEST(ShippedSkins, BrokenSkinFailsAndNamesTheControl) {
  // A copy of Default whose control panel lost one key.
  TempSkin broken;
  QDir src(QString::fromStdString(SkinFolder("Default")));
  ASSERT_TRUE(src.exists());
  std::function<void(const QString&)> copy = [&](const QString& rel) {
    QDir dir(src.filePath(rel));
    for (const QFileInfo& fi : dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
      QString r = rel.isEmpty() ? fi.fileName() : rel + "/" + fi.fileName();
      if (fi.isDir()) {
        QDir().mkpath(QString::fromStdString(broken.folder()) + r);
        copy(r);
      } else {
        QFile::copy(fi.filePath(), QString::fromStdString(broken.folder()) + r);
      }
    }
  };
  copy("");
  plat::ProfileFile ini(broken.folder() + "Skin.ini");
  ASSERT_TRUE(ini.remove("FT_LumoraDVD_OperationForm", "DI_Chapter10"));
  ASSERT_TRUE(ini.save());
  BoxRecorder boxes;
  Windows w;
  EXPECT_FALSE(w.main()->ApplySkin(broken.folder()));
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "DI_Chapter10  Error Skin File");
  // That window's keys were not applied; the other windows took the skin.
  EXPECT_NE(FT_LumoraDVD_OperationForm->width(),
            skin::ReadIniInteger(ini, "FT_LumoraDVD_OperationForm", "DefaultWidth", 0));
  EXPECT_EQ(w.main()->width(),
            skin::ReadIniInteger(ini, "FT_LumoraDVD_MainForm", "DefaultWidth", 0));
}

}  // namespace

namespace {

TEST(ShippedSkins, ChangingToABrokenSkinFallsBackWithAMessage) {
  BoxRecorder boxes;
  Windows w;
  const std::string aqua = SkinFolder("Aqua");
  ASSERT_TRUE(w.main()->ApplySkin(aqua));
  // The fallback to Aqua succeeds, and that is the result.
  EXPECT_TRUE(w.main()->ChangeSkin("NoSuchSkin"));
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "The specified skin is error!");
  EXPECT_EQ(skin::NormaliseFolder(CurrentSkinPath), skin::NormaliseFolder(aqua));
  EXPECT_TRUE(w.main()->ChangeSkin("Default"));
  EXPECT_EQ(w.main()->width(),
            skin::ReadIniInteger(plat::ProfileFile(SkinFolder("Default") + "Skin.ini"),
                                 "FT_LumoraDVD_MainForm", "DefaultWidth", 0));
  EXPECT_EQ(boxes.Boxes().size(), 1u);
}

}  // namespace

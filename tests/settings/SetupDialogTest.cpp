// The settings dialog's video and skin pages through the real settings command: live preview,
// OK keeping, Cancel undoing, the folder and skin choosers and the keyboard.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "SetupSupport.h"
#include "platform/Bitmap.h"
#include "platform/ProgramFolder.h"

namespace {

using setup_test::SetupFixture;

TEST_F(SetupFixture, VideoSizeFillsTheFieldsAndTheRatioFollowsAtOnce) {
  ASSERT_NO_FATAL_FAILURE(PlayClip(1280, 720));
  AspectW = 4;
  AspectH = 3;
  d_AspectRatio = 4.0 / 3.0;
  RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) {
        EXPECT_EQ(d->skSpinEdit_W->value(), 999);
        EXPECT_EQ(d->skSpinEdit_H->value(), 720);
        EXPECT_EQ(AspectW, 999);
        EXPECT_EQ(AspectH, 720);
        EXPECT_DOUBLE_EQ(d_AspectRatio, 999.0 / 720.0);
        EXPECT_EQ(d->Label9->text(), "w / h = 1.39");
        // Only "Custom" lets the fields be typed in.
        EXPECT_TRUE(d->skRadioButton_K->isChecked());
        EXPECT_FALSE(d->skSpinEdit_W->isEnabled());
      },
      false);
  // Cancel gives back the values from before the dialog.
  EXPECT_EQ(AspectW, 4);
  EXPECT_EQ(AspectH, 3);
  EXPECT_DOUBLE_EQ(d_AspectRatio, 4.0 / 3.0);
}

TEST_F(SetupFixture, WithoutVideoTheFieldsHoldOne) {
  RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) {
        EXPECT_EQ(d->skSpinEdit_W->value(), 1);
        EXPECT_EQ(d->skSpinEdit_H->value(), 1);
        EXPECT_EQ(d->PageControl->currentWidget(), d->TabSheet_VideoSetup);
      },
      false);
}

TEST_F(SetupFixture, BrightnessIsPreviewedOnBothEnginesCancelRestoresOkStores) {
  ASSERT_NO_FATAL_FAILURE(PlayClip(320, 240));
  l_Bringhtness = 300;
  l_Contrast = 40;
  RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) {
        EXPECT_EQ(d->skTrackBar_Brightness->value(), 300);
        spy::Clear();
        d->skTrackBar_Brightness->setValue(-1200);
        EXPECT_EQ(spy::Values("SetFileVideoBrightness"), std::vector<double>{-120.0});
        EXPECT_EQ(spy::Values("SetDVDVideoBrightness"), std::vector<double>{-120.0});
        // The playback state waits for OK.
        EXPECT_EQ(l_Bringhtness, 300);
        // "default" puts contrast back to 10, which is 1.0 for the engines.
        d->BitBtn_Contrast->click();
        EXPECT_EQ(d->skTrackBar_Contrast->value(), 10);
        EXPECT_EQ(spy::Values("SetFileVideoContrast").back(), 1.0);
        spy::Clear();
      },
      false);
  EXPECT_EQ(spy::Values("SetFileVideoBrightness"), std::vector<double>{30.0});
  EXPECT_EQ(spy::Values("SetDVDVideoBrightness"), std::vector<double>{30.0});
  EXPECT_EQ(spy::Values("SetDVDVideoContrast"), std::vector<double>{4.0});
  EXPECT_EQ(l_Bringhtness, 300);
  EXPECT_EQ(l_Contrast, 40);

  EXPECT_TRUE(RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) {
        d->skTrackBar_Brightness->setFocus();
        // Keyboard: Home goes to the slider's lowest position.
        QTest::keyClick(d->skTrackBar_Brightness, Qt::Key_Home);
        EXPECT_EQ(spy::Values("SetFileVideoBrightness").back(), -255.0);
        d->skTrackBar_Brightness->setValue(-1200);
        d->skTrackBar_Hue->setValue(450);
      },
      true));
  EXPECT_EQ(l_Bringhtness, -1200);
  EXPECT_EQ(l_Hue, 450);
  EXPECT_EQ(l_Contrast, 40);
}

TEST_F(SetupFixture, AlwaysOneToOneThenCancelReplacesThePictureAsBefore) {
  ASSERT_NO_FATAL_FAILURE(PlayClip(320, 240));
  MyAspectRatioState = 0;
  RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) {
        spy::Clear();
        QTest::mouseClick(d->skRadioButton_A, Qt::LeftButton);
        EXPECT_EQ(MyAspectRatioState, 2);
        ASSERT_FALSE(spy::Placements().empty());
        const spy::Placement p = spy::Placements().back();
        ASSERT_TRUE(p.rect.has_value());
        EXPECT_EQ(p.rect->width, 320);
        EXPECT_EQ(p.rect->height, 240);
        EXPECT_FALSE(d->skSpinEdit_W->isEnabled());
        spy::Clear();
      },
      false);
  EXPECT_EQ(MyAspectRatioState, 0);
  ASSERT_FALSE(spy::Placements().empty());
  EXPECT_FALSE(spy::Placements().back().rect.has_value());
  EXPECT_TRUE(spy::Placements().back().keep);
}

TEST_F(SetupFixture, CustomFieldsTypedEmptyOrZeroNeverDivideByZero) {
  ASSERT_NO_FATAL_FAILURE(PlayClip(320, 240));
  MyAspectRatioState = 3;
  EXPECT_TRUE(RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) {
        EXPECT_TRUE(d->skRadioButton_C->isChecked());
        ASSERT_TRUE(d->skSpinEdit_H->isEnabled());
        d->skSpinEdit_H->setFocus();
        d->skSpinEdit_H->selectAll();
        QTest::keyClick(d->skSpinEdit_H, Qt::Key_Backspace);
        EXPECT_EQ(AspectH, 1);
        EXPECT_TRUE(std::isfinite(d_AspectRatio));
        QTest::keyClick(d->skSpinEdit_H, Qt::Key_0);
        EXPECT_EQ(AspectH, 1);
        EXPECT_EQ(d_AspectRatio, 320.0);
        EXPECT_EQ(d->Label9->text(), "w / h = 320.00");
        // A real height typed in takes effect at once.
        d->skSpinEdit_H->selectAll();
        QTest::keyClicks(d->skSpinEdit_H, "160");
        EXPECT_EQ(AspectH, 160);
        EXPECT_EQ(d->Label9->text(), "w / h = 2.00");
        ASSERT_FALSE(spy::Placements().empty());
        ASSERT_TRUE(spy::Placements().back().rect.has_value());
        EXPECT_EQ(spy::Placements().back().rect->width, 2 * spy::Placements().back().rect->height);
      },
      true));
  EXPECT_EQ(AspectW, 320);
  EXPECT_EQ(AspectH, 160);
  EXPECT_DOUBLE_EQ(d_AspectRatio, 2.0);
  EXPECT_EQ(MyAspectRatioState, 3);
}

TEST_F(SetupFixture, SnapshotFolderBrowseKeepsOneTrailingSeparator) {
  CurrentSnapshotPath = Home() + "Snapshot/";
  const std::string shots = Home() + "Shots";
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(shots)));
  std::vector<std::string> answers{shots, "/", Home() + "gone/away"};
  std::vector<std::string> titles;
  size_t next = 0;
  plat::SetFileDialogDouble([&](const std::string& title, std::vector<std::string>& out) {
    titles.push_back(title);
    if (next >= answers.size()) return false;  // the user cancels
    out = {answers[next++]};
    return true;
  });
  EXPECT_TRUE(RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) {
        EXPECT_EQ(d->skEdit_SnapshotFolder->text().toStdString(), Home() + "Snapshot/");
        EXPECT_TRUE(d->skEdit_SnapshotFolder->isReadOnly());
        d->Button1->click();
        EXPECT_EQ(d->skEdit_SnapshotFolder->text().toStdString(), shots + "/");
        d->Button1->click();
        EXPECT_EQ(d->skEdit_SnapshotFolder->text(), "/");
        d->Button1->click();  // a folder that is gone is refused with a message
        EXPECT_EQ(d->skEdit_SnapshotFolder->text(), "/");
        EXPECT_EQ(setup_test::BoxTexts().size(), 1u);
        d->Button1->click();  // cancelled
        EXPECT_EQ(d->skEdit_SnapshotFolder->text(), "/");
      },
      true));
  plat::SetFileDialogDouble({});
  ASSERT_FALSE(titles.empty());
  EXPECT_EQ(titles[0], "Please select Snapshot Folder:");
  EXPECT_EQ(CurrentSnapshotPath, "/");

  // Cancel keeps the folder in force whatever was browsed.
  plat::SetFileDialogDouble([&](const std::string&, std::vector<std::string>& out) {
    out = {shots};
    return true;
  });
  RunSetup([&](TFT_LumoraDVD_SetupForm* d) { d->Button1->click(); }, false);
  plat::SetFileDialogDouble({});
  EXPECT_EQ(CurrentSnapshotPath, "/");
}

class SkinChooser : public SetupFixture {
 protected:
  void MakeSkinFolder(const std::string& name) {
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(Home() + "Skin/" + name)));
  }
  void WritePreview(const std::string& name, const QByteArray& bytes) {
    QFile f(QString::fromStdString(Home() + "Skin/" + name + "/Preview.bmp"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  static QStringList Entries(const TFT_LumoraDVD_SetupForm* d) {
    QStringList out;
    for (int i = 0; i < d->ComboBox_SkinName->count(); ++i)
      out << d->ComboBox_SkinName->itemText(i);
    return out;
  }
};

TEST_F(SkinChooser, PreselectsTheFirstNameInsideTheActiveSkinPathAndPreviewsIt) {
  for (const char* n : {"BlueSky", "Blue", "Zeta"}) ASSERT_NO_FATAL_FAILURE(MakeSkinFolder(n));
  // A plain file among the folders is no skin.
  QFile(QString::fromStdString(Home() + "Skin/readme.txt")).open(QIODevice::WriteOnly);
  QImage blue(40, 30, QImage::Format_RGB32);
  blue.fill(QColor(0, 0, 200));
  ASSERT_TRUE(plat::SaveBitmap(blue, Home() + "Skin/Blue/Preview.bmp"));
  // BlueSky's preview is damaged: header only.
  WritePreview("BlueSky", QByteArray("BM\x10\x00\x00\x00", 6));
  CurrentSkinPath = Home() + "Skin/BlueSky/";
  RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) {
        EXPECT_EQ(Entries(d), QStringList({"Blue", "BlueSky", "Zeta"}));
        EXPECT_EQ(d->ComboBox_SkinName->currentText(), "Blue");
        ASSERT_FALSE(d->Image_Preview->pixmap().isNull());
        EXPECT_EQ(d->Image_Preview->pixmap().toImage().pixel(5, 5), QColor(0, 0, 200).rgb());
        d->ComboBox_SkinName->setCurrentIndex(1);
        EXPECT_TRUE(d->Image_Preview->pixmap().isNull());
        d->ComboBox_SkinName->setCurrentIndex(2);  // no Preview.bmp at all
        EXPECT_TRUE(d->Image_Preview->pixmap().isNull());
      },
      false);
  EXPECT_EQ(CurrentSkinPath, Home() + "Skin/BlueSky/");
  EXPECT_TRUE(setup_test::BoxTexts().empty());

  CurrentSkinPath = Home() + "Skin/Zeta/";
  RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) { EXPECT_EQ(d->ComboBox_SkinName->currentText(), "Zeta"); },
      false, TFT_LumoraDVD_SetupForm::kSkinSetupPage);
}

TEST_F(SkinChooser, HundredsOfFoldersAndAHugePreviewHeaderAreListedQuietly) {
  for (int i = 0; i < 400; ++i) ASSERT_NO_FATAL_FAILURE(MakeSkinFolder("S" + std::to_string(i)));
  ASSERT_NO_FATAL_FAILURE(MakeSkinFolder("Huge"));
  // A bitmap header claiming 60000 x 60000 pixels at 24 bits, with no pixels behind it.
  QByteArray bmp(54, '\0');
  auto put32 = [&](int at, quint32 v) {
    for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<char>((v >> (8 * i)) & 0xff);
  };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put32(2, 54);
  put32(10, 54);
  put32(14, 40);
  put32(18, 60000);
  put32(22, 60000);
  bmp[26] = 1;
  bmp[28] = 24;
  WritePreview("Huge", bmp);
  CurrentSkinPath = Home() + "Skin/Huge/";
  RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) {
        EXPECT_EQ(d->ComboBox_SkinName->count(), 401);
        EXPECT_EQ(d->ComboBox_SkinName->currentText(), "Huge");
        EXPECT_TRUE(d->Image_Preview->pixmap().isNull());
      },
      false);
  EXPECT_TRUE(setup_test::BoxTexts().empty());
}

TEST_F(SkinChooser, OkSwitchesEveryWindowToTheChosenSkinCancelDoesNot) {
  const char* bin = std::getenv("LUMORA_BIN_DIR");
  if (!bin || !QFileInfo(QString(bin) + "/Skin/Aqua/Skin.ini").exists())
    GTEST_SKIP() << "shipped skins not built";
  ASSERT_TRUE(QFile::link(QString(bin) + "/Skin", QString::fromStdString(Home() + "Skin")));
  const std::string root = plat::SkinRootFolder();
  ASSERT_TRUE(main()->ApplySkin(root + "Default/"));
  const QSize defaultSize = FT_LumoraDVD_OperationForm->size();

  RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) {
        EXPECT_EQ(d->ComboBox_SkinName->currentText(), "Default");
        EXPECT_FALSE(d->Image_Preview->pixmap().isNull());
        d->ComboBox_SkinName->setCurrentText("Aqua");
      },
      false);
  EXPECT_NE(CurrentSkinPath.find("Default/"), std::string::npos);

  EXPECT_TRUE(RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) { d->ComboBox_SkinName->setCurrentText("Aqua"); }, true));
  EXPECT_NE(CurrentSkinPath.find("Aqua/"), std::string::npos);
  EXPECT_NE(FT_LumoraDVD_OperationForm->size(), defaultSize);
  EXPECT_TRUE(setup_test::BoxTexts().empty());
}

// The dialog opens on its page tabs; Tab then goes row by row, the radio group is one stop and
// the disabled number fields are passed over.
TEST_F(SetupFixture, TabWalksTheVideoPageRowByRow) {
  RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) {
        d->activateWindow();
        // A loaded machine can take a while to activate the dialog and give it its first focus.
        ASSERT_TRUE(QTest::qWaitForWindowActive(d, 20000));
        QElapsedTimer waited;
        waited.start();
        while (!(QApplication::focusWidget() && d->isAncestorOf(QApplication::focusWidget())) &&
               waited.elapsed() < 20000)
          QTest::qWait(20);
        std::vector<std::string> walk;
        for (int i = 0; i < 14; ++i) {
          QWidget* f = QApplication::focusWidget();
          ASSERT_NE(f, nullptr);
          walk.push_back(f->objectName().toStdString());
          QTest::keyClick(f, Qt::Key_Tab);
        }
        const std::vector<std::string> expected{"qt_tabwidget_tabbar",
                                                "skTrackBar_Brightness",
                                                "BitBtn_Brightness",
                                                "skTrackBar_Contrast",
                                                "BitBtn_Contrast",
                                                "skTrackBar_Hue",
                                                "BitBtn_Hue",
                                                "skTrackBar_Saturation",
                                                "BitBtn_Saturation",
                                                "skRadioButton_K",
                                                "skEdit_SnapshotFolder",
                                                "Button1",
                                                "BitBtn1",
                                                "BitBtn6"};
        EXPECT_EQ(walk, expected);
      },
      false);
}

TEST_F(SetupFixture, EnterIsOkEscapeIsCancelAndTheTvPageCanBeAskedFor) {
  l_Bringhtness = 0;
  EXPECT_FALSE(RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) {
        d->skTrackBar_Brightness->setValue(500);
        QTest::keyClick(d, Qt::Key_Escape);
      },
      true));
  EXPECT_EQ(l_Bringhtness, 0);
  EXPECT_TRUE(RunSetup(
      [&](TFT_LumoraDVD_SetupForm* d) {
        EXPECT_EQ(d->PageControl->currentWidget(), d->TabSheet_TVSetup);
        d->skTrackBar_Brightness->setValue(500);
        QTest::keyClick(d->ListView_Channel, Qt::Key_Return);
      },
      false, TFT_LumoraDVD_SetupForm::kTVSetupPage));
  EXPECT_EQ(l_Bringhtness, 500);
}

}  // namespace

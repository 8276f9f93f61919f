// The player's windows as start-up makes them, plus skins written to order.
#pragma once

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QTest>

#include "PlayerTestSupport.h"
#include "platform/Desktop.h"
#include "platform/Profile.h"
#include "platform/ProgramFolder.h"
#include "player/mainwindow/Ft_lumoradvdcontrolframe.h"
#include "player/widgets/TPanel.h"
#include "player/widgets/TskImageButton.h"

namespace mainwindow_test {

inline std::string ShippedSkin(const std::string& name) {
  return qEnvironmentVariable("LUMORA_BIN_DIR").toStdString() + "/Skin/" + name + "/";
}

inline bool CopyFolder(const QString& from, const QString& to) {
  QDir().mkpath(to);
  QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    const QString target = to + "/" + QDir(from).relativeFilePath(path);
    if (it.fileInfo().isDir()) {
      QDir().mkpath(target);
    } else if (!QFile::copy(path, target)) {
      return false;
    }
  }
  return true;
}

class MainWindowFixture : public player_test::PlayerFixture {
 protected:
  void SetUp() override {
    plat::SetWindowManagerDouble(0);
    PlayerFixture::SetUp();
    main_ = FT_LumoraDVD_MainForm;
  }
  void TearDown() override {
    PlayerFixture::TearDown();
    plat::SetWindowManagerDouble(-1);
  }

  // A skin folder under the program folder's Skin/ holding only the given Skin.ini text.
  std::string WriteSkin(const std::string& name, const std::string& ini) {
    const std::string folder = Home() + "Skin/" + name + "/";
    QDir().mkpath(QString::fromStdString(folder));
    QFile f(QString::fromStdString(folder + "Skin.ini"));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(ini.c_str());
    return folder;
  }
  // Loads only the skin options of a written skin.
  void LoadOptionsOf(const std::string& folder) {
    CurrentSkinPath = folder;
    ASSERT_TRUE(main_->LoadSkinOptions());
  }
  std::string InstallShippedSkin(const std::string& name) {
    const std::string to = Home() + "Skin/" + name + "/";
    QDir(QString::fromStdString(to)).removeRecursively();
    EXPECT_TRUE(CopyFolder(QString::fromStdString(ShippedSkin(name)), QString::fromStdString(to)));
    return to;
  }
  // The shipped Default skin with its SkinOpt section replaced by the given keys.
  std::string DefaultWithOptions(const std::string& name,
                                 std::vector<std::pair<std::string, std::string>> options) {
    const std::string folder = InstallShippedSkin("Default");
    const std::string to = Home() + "Skin/" + name + "/";
    if (name != "Default") {
      QDir(QString::fromStdString(to)).removeRecursively();
      EXPECT_TRUE(QDir(QString::fromStdString(folder))
                      .rename(QString::fromStdString(folder), QString::fromStdString(to)));
    }
    plat::ProfileFile ini(to + "Skin.ini");
    ini.removeSection("SkinOpt");
    for (const auto& [key, value] : options) ini.set("SkinOpt", key, value);
    EXPECT_TRUE(ini.save());
    return to;
  }
  QRect Screen() const { return main_->ScreenRect(); }
  TskImageButton* Button(const char* name) const { return main_->findChild<TskImageButton*>(name); }
  TPanel* Panel(const char* name) const { return main_->findChild<TPanel*>(name); }

  // A mouse event delivered to w with the pointer at the given screen point, as a drag sees it.
  static void Mouse(QWidget* w, QEvent::Type type, QPoint global,
                    Qt::MouseButton button = Qt::LeftButton) {
    QCursor::setPos(global);
    const QPoint local = w->mapFromGlobal(global);
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent e(type, QPointF(local), QPointF(global),
                  type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
  }
  // A press at `at` that reaches the player only once the pointer has gone on to `now`.
  static void LatePress(QWidget* w, QPoint at, QPoint now) {
    QCursor::setPos(now);
    QMouseEvent e(QEvent::MouseButtonPress, QPointF(w->mapFromGlobal(at)), QPointF(at),
                  Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
  }
  static void Drag(QWidget* w, QPoint from, QPoint to) {
    Mouse(w, QEvent::MouseButtonPress, from);
    Mouse(w, QEvent::MouseMove, to);
    Mouse(w, QEvent::MouseButtonRelease, to);
  }

  TFT_LumoraDVD_MainForm* main_ = nullptr;
};

}  // namespace mainwindow_test

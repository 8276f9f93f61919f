// The side panel as the player builds it, skinned with a shipped skin, over a private
// program folder; helpers that write list files and media files into it.
#pragma once

#include <gtest/gtest.h>

#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <string>

#include "player/library/Ft_lumoradvdsubform.h"
#include "player/library/TFT_Bookmark.h"
#include "player/library/TFT_PlayList.h"
#include "player/library/TFT_Snapshot.h"
#include "player/widgets/TPopupMenu.h"
#include "player/widgets/TTimer.h"
#include "player/widgets/TskImageButton.h"
#include "player_core/PlayerTestSupport.h"

namespace library_test {

inline std::string SkinFolder(const char* name = "Default") {
  const QByteArray bin = qgetenv("LUMORA_BIN_DIR");
  return std::string(bin.constData()) + "/Skin/" + name + "/";
}

inline void WriteText(const std::string& path, const QByteArray& text) {
  QFile f(QString::fromStdString(path));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(text);
}

inline QByteArray ReadAll(const std::string& path) {
  QFile f(QString::fromStdString(path));
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class SidePanelFixture : public player_test::PlayerFixture {
 protected:
  void SetUp() override {
    PlayerFixture::SetUp();
    CurrentSkinPath = SkinFolder();
    b_TVFirstVisit = false;
    ResetPlayListRandom();
  }
  // Skins the panel, which also fills its lists from the files in the program folder.
  TFT_LumoraDVD_SubForm* Side() {
    TFT_LumoraDVD_SubForm* side = FT_LumoraDVD_SubForm;
    if (!side->b_ListsLoaded) side->ApplySubFormSkin();
    return side;
  }
  // An empty file of the given name in the program folder (the lists test only the name).
  std::string Media(const std::string& name) {
    const std::string path = Home() + name;
    WriteText(path, "x");
    return path;
  }
  TskImageButton* Button(const char* name) {
    return FT_LumoraDVD_SubForm->findChild<TskImageButton*>(name);
  }
};

}  // namespace library_test

// The side panel's component tree, its lists, its skin application and its corner shape.
#include <QGuiApplication>
#include <QScreen>

#include "platform/Bitmap.h"
#include "player/core/Ft_lumoradvdstate.h"
#include "player/library/Ft_lumoradvdsubform.h"
#include "player/library/TFT_Bookmark.h"
#include "player/library/TFT_PlayList.h"
#include "player/library/TFT_Snapshot.h"
#include "player/skin/Faces.h"
#include "player/skin/Ft_updateplayerskin.h"
#include "player/skin/SkinCursors.h"
#include "player/skin/SkinRecord.h"
#include "player/widgets/TImage.h"
#include "player/widgets/TPanel.h"
#include "player/widgets/TPopupMenu.h"
#include "player/widgets/TTimer.h"
#include "player/widgets/TskImageButton.h"

void TFT_LumoraDVD_SubForm::CreateComponents() {
  components::SetOwner(this);
  resize(231, 447);
  TPanel* top = faces::Panel(this, "Panel_Top", alTop, {0, 0, 231, 41});
  TPanel* bottom = faces::Panel(this, "Panel_Bottom", alBottom, {0, 427, 231, 20});
  TPanel* left = faces::Panel(this, "Panel_Left", alLeft, {0, 41, 17, 386});
  TPanel* right = faces::Panel(this, "Panel_Right", alRight, {216, 41, 15, 386});
  TPanel* center = faces::Panel(this, "Panel_Center", alClient, {17, 41, 199, 386});
  Panel_Center = center;

  faces::Image(top, "Image_Top", {0, 0, 231, 41}, faces::ImageLayout{alNone, true});
  for (const char* name :
       {"Image_Title_List", "Image_Title_Bookmark", "Image_Title_Snapshot", "Image_Title_TV"})
    faces::Image(top, name, {10, 4, 120, 16}, faces::ImageLayout{alNone, true});
  int x = 8;
  for (const char* name :
       {"skImageButton_Play", "skImageButton_AddFile", "skImageButton_DeleteFile",
        "skImageButton_Random", "skImageButton_DeRandom", "skImageButton_Repeat",
        "skImageButton_DeRepeat", "skImageButton_PlayBookmark", "skImageButton_AddBookmark",
        "skImageButton_DeleteBookmark", "skImageButton_Snapshoot_One",
        "skImageButton_Snapshoot_Continuous", "skImageButton_StopSnapshoot",
        "skImageButton_SaveSnapshoot", "skImageButton_DeleteSnapshoot", "skImageButton_TV",
        "skImageButton_TVFavorit", "skImageButton_TVNormal"}) {
    TskImageButton* b = faces::Button(top, name, {x, 20, 20, 20}, false);
    if (std::string(name) == "skImageButton_Play") skImageButton_Play = b;
    if (std::string(name) == "skImageButton_PlayBookmark") skImageButton_PlayBookmark = b;
    x = 8 + (x + 22 - 8) % 176;
  }
  faces::Button(top, "skImageButton_Close", {211, 2, 18, 18}, true);

  faces::Image(bottom, "Image_Bottom", {0, 0, 231, 20}, faces::ImageLayout{alClient, false, true});
  skImageButton_Resize = faces::Button(bottom, "skImageButton_Resize", {213, 4, 14, 14}, false);
  faces::Image(left, "Image_Left", {0, 0, 17, 386}, faces::ImageLayout{alClient, false, true});
  faces::Image(right, "Image_Right", {0, 0, 15, 386}, faces::ImageLayout{alClient, false, true});

  TPopupMenu* add = PopupMenu_AddFile = faces::Menu(this, "PopupMenu_AddFile");
  faces::Item(add, "AddFiles1", "Add Files");
  faces::Item(add, "AddDirectory1", "Add Directory");
  TPopupMenu* del = PopupMenu_DelFile = faces::Menu(this, "PopupMenu_DelFile");
  faces::Item(del, "DeleteSelected1", "Delete Selected");
  faces::Item(del, "DeleteAll1", "Delete All");
  faces::Item(del, "RemainSelected1", "Crop Selected");
  TPopupMenu* save = PopupMenu_SaveFile = faces::Menu(this, "PopupMenu_SaveFile");
  faces::Item(save, "SaveSelected1", "Save Selected");
  faces::Item(save, "SaveAll1", "Save All");
  Timer_Snapshot = faces::Timer(this, "Timer_Snapshot", 1000, false);

  // The lists come after the designed components and fill the centre.
  MyPlayList = new TFT_PlayList(center);
  MyPlayList->setObjectName("MyPlayList");
  MyBookmark = new TFT_Bookmark(center);
  MyBookmark->setObjectName("MyBookmark");
  MySnapshot = new TFT_Snapshot(center);
  MySnapshot->setObjectName("MySnapshot");
  MyTVList = new TFT_PlayList(center);
  MyTVList->setObjectName("MyTVList");
  Bookmark = MyBookmark;
  Snapshot = MySnapshot;
  for (QWidget* list : {static_cast<QWidget*>(MyPlayList), static_cast<QWidget*>(MyBookmark),
                        static_cast<QWidget*>(MySnapshot), static_cast<QWidget*>(MyTVList)}) {
    list->resize(center->size());
    components::SetAlign(list, alClient);
  }

  for (QWidget* p :
       {static_cast<QWidget*>(this), static_cast<QWidget*>(top), static_cast<QWidget*>(bottom),
        static_cast<QWidget*>(left), static_cast<QWidget*>(right), static_cast<QWidget*>(center)})
    components::AlignControls(p);
}

bool TFT_LumoraDVD_SubForm::ApplySubFormSkin() {
  const bool ok = ApplyWindowSkin(this, CurrentSkinPath);
  i_FloatHeight = height();
  if (!b_ListsLoaded) {
    // A hidden window gets its resize events only when shown, so the skin's size has not
    // reached the panels yet: the lists, and the rows they make now, would take the width
    // the window was created with.
    components::AlignControls(this);
    for (QWidget* list : {static_cast<QWidget*>(MyPlayList), static_cast<QWidget*>(MyBookmark),
                          static_cast<QWidget*>(MySnapshot), static_cast<QWidget*>(MyTVList)})
      list->resize(Panel_Center->width(), list->height());
    components::AlignControls(Panel_Center);
    LoadLists();
  }
  if (MyPlayList && MyPlayList->ThumbImage())
    MyPlayList->ThumbImage()->setCursor(SkinCursor(kCursorDragNS));
  if (skImageButton_Resize) skImageButton_Resize->setCursor(SkinCursor(kCursorMoveNS));
  LoadCornerRegions();
  b_ShapeWindow = true;
  ApplyWindowRegion();
  if (skImageButton_Resize) skImageButton_Resize->setVisible(!b_Docked);
  ShowPageControls(i_CurrentPage);
  return ok;
}

void TFT_LumoraDVD_SubForm::LoadCornerRegions() {
  const std::string folder = skin::NormaliseFolder(CurrentSkinPath);
  auto load = [&](const char* file, bool rightSide, bool bottomSide) -> std::optional<QRegion> {
    std::string path = skin::SkinFilePath(folder, file);
    if (!skin::SkinFileExists(path)) return std::nullopt;
    QImage bmp = plat::LoadBitmap(path);
    auto region = BuildColourRegion(bmp, kKeyColour, bmp.rect());
    if (!region) return std::nullopt;
    region->translate(rightSide ? width() - bmp.width() : 0,
                      bottomSide ? height() - bmp.height() : 0);
    return region;
  };
  rgn_TopLeft = load("SUBCLT.bmp", false, false);
  rgn_TopRight = load("SUBCRT.bmp", true, false);
  rgn_BottomLeft = load("SUBCLB.bmp", false, true);
  rgn_BottomRight = load("SUBCRB.bmp", true, true);
  ++i_RegionBuilds;
  // The regions now fit the present size.
  i_LastWidth = width();
  i_LastHeight = height();
}

void TFT_LumoraDVD_SubForm::ApplyWindowRegion() {
  const int dW = width() - i_LastWidth, dH = height() - i_LastHeight;
  if (rgn_TopRight) rgn_TopRight->translate(dW, 0);
  if (rgn_BottomLeft) rgn_BottomLeft->translate(0, dH);
  if (rgn_BottomRight) rgn_BottomRight->translate(dW, dH);
  i_LastWidth = width();
  i_LastHeight = height();
  QScreen* screen = QGuiApplication::primaryScreen();
  QRect whole = screen ? screen->geometry() : QRect(0, 0, 4096, 4096);
  QRegion shape(0, 0, std::max(whole.width(), width()), std::max(whole.height(), height()));
  for (const auto* r : {&rgn_TopLeft, &rgn_TopRight, &rgn_BottomLeft, &rgn_BottomRight})
    if (*r) shape -= **r;
  setMask(shape);
  update();
  b_ShapeWindow = rgn_BottomLeft.has_value() || rgn_BottomRight.has_value();
}

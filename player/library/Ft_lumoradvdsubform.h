// The side panel beside the main window: play list, bookmarks, snapshots
// and TV channels, one page at a time.
#pragma once

#include <QRegion>
#include <QWidget>
#include <optional>
#include <string>

class TskImageButton;
class TFT_PlayList;
class TFT_Bookmark;
class TFT_Snapshot;

class TFT_LumoraDVD_SubForm : public QWidget {
  Q_OBJECT

 public:
  explicit TFT_LumoraDVD_SubForm(QWidget* owner = nullptr);
  ~TFT_LumoraDVD_SubForm() override;

  // Play list operations used by the start-up and the control panel.
  void ClearPlayList();
  // Appends an existing file of a known media type; false when refused.
  bool AddToPlayList(const std::string& path, const std::string& title);
  // The path to play, or "0" when there is none.
  std::string ItemToPlay();
  std::string NextItem();
  static bool IsPlayListFile(const std::string& path);
  // 0 all bookmarks, 1 file bookmarks, 2 bookmarks of the current disc.
  void SetBookmarkFilter(int filter);

  // Shuffle and repeat switches, loaded straight from the options.
  bool b_Random = false;
  bool b_Repeat = false;
  int32_t i_PageIndex = 0;
  int32_t i_BookmarkFilter = 0;

  TskImageButton* skImageButton_Play = nullptr;
  TskImageButton* skImageButton_PlayBookmark = nullptr;
  TFT_PlayList* MyPlayList = nullptr;
  TFT_Bookmark* Bookmark = nullptr;
  TFT_Snapshot* Snapshot = nullptr;

  // Skin application, shape and the skinned parts (the skin system defines these).
  bool ApplySubFormSkin();
  void LoadCornerRegions();
  void ApplyWindowRegion();
  TFT_Bookmark* MyBookmark = nullptr;
  TFT_Snapshot* MySnapshot = nullptr;
  TFT_PlayList* MyTVList = nullptr;
  TskImageButton* skImageButton_Resize = nullptr;
  bool b_Docked = true;
  bool b_ShapeWindow = false;
  int32_t i_FloatHeight = 447;
  int32_t i_LastWidth = 231;
  int32_t i_LastHeight = 447;
  std::optional<QRegion> rgn_TopLeft, rgn_TopRight, rgn_BottomLeft, rgn_BottomRight;

 private:
  void CreateComponents();
};

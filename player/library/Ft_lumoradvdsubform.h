// The side panel beside the main window: play list, bookmarks, snapshots and TV channels,
// one page at a time. Docked to the main window's left edge, or floating.
#pragma once

#include <QPoint>
#include <QRegion>
#include <QSize>
#include <QWidget>
#include <optional>
#include <string>

#include "player/widgets/Components.h"

class TskImageButton;
class TFT_PlayList;
class TFT_Bookmark;
class TFT_Snapshot;
class TPopupMenu;
class TTimer;
class TImage;
class TPanel;
class PlayList_Item;

// The TV page asks for a channel scan at most once per run.
extern bool b_TVFirstVisit;

class TFT_LumoraDVD_SubForm : public QWidget {
  Q_OBJECT

 public:
  explicit TFT_LumoraDVD_SubForm(QWidget* owner = nullptr);
  ~TFT_LumoraDVD_SubForm() override;

  // Pages: 0 play list, 1 bookmarks, 2 snapshots, 3 TV.
  void ShowPage(int page);
  void FitDockedHeight();
  void ToggleDock();

  // Play list operations used by the start-up, the main window and the control panel.
  void ClearPlayList();
  // Appends an existing file of a known media type; false when refused.
  bool AddToPlayList(const std::string& path, const std::string& title);
  void AddPathToPlayList(const std::string& path);
  void AddDirectory(const std::string& folder);
  // The path to play, or "0" when there is none.
  std::string ItemToPlay();
  std::string NextItem();
  std::string PreviousItem();
  static bool IsPlayListFile(const std::string& path);
  // 0 all bookmarks, 1 file bookmarks, 2 bookmarks of the current disc.
  void SetBookmarkFilter(int filter);
  // The user stopped: the play list and the bookmarks show what was playing as selected.
  void MarkStopped();
  // Plays BookmarkToPlay: a seek in the playing file, or the disc's saved place.
  bool PlayBookmark();
  // Refills the TV page from TVChannel.ini in the program folder.
  void ReloadChannels();
  void ReloadChannels(const std::string& file);
  void TuneChannel(PlayList_Item* entry);
  // One picture into the snapshot list; false when there was nothing to grab.
  bool TakeOneSnapshot();

  // Handlers of the panel's own controls.
  void skImageButton_CloseClick(QObject* sender);
  void skImageButton_PlayClick(QObject* sender);
  void skImageButton_AddFileMouseDown(QObject* sender, TMouseButton button, TShiftState shift,
                                      int x, int y);
  void skImageButton_DeleteFileMouseDown(QObject* sender, TMouseButton button, TShiftState shift,
                                         int x, int y);
  void skImageButton_RandomClick(QObject* sender);
  void skImageButton_DeRandomClick(QObject* sender);
  void skImageButton_RepeatClick(QObject* sender);
  void skImageButton_DeRepeatClick(QObject* sender);
  void AddFiles1Click(QObject* sender);
  void AddDirectory1Click(QObject* sender);
  void DeleteSelected1Click(QObject* sender);
  void DeleteAll1Click(QObject* sender);
  void RemainSelected1Click(QObject* sender);
  void skImageButton_AddBookmarkClick(QObject* sender);
  void skImageButton_PlayBookmarkClick(QObject* sender);
  void skImageButton_DeleteBookmarkMouseDown(QObject* sender, TMouseButton button,
                                             TShiftState shift, int x, int y);
  void skImageButton_Snapshoot_OneClick(QObject* sender);
  void skImageButton_Snapshoot_ContinuousClick(QObject* sender);
  void skImageButton_StopSnapshootClick(QObject* sender);
  void Timer_SnapshotTimer(QObject* sender);
  void skImageButton_SaveSnapshootMouseDown(QObject* sender, TMouseButton button, TShiftState shift,
                                            int x, int y);
  void skImageButton_DeleteSnapshootMouseDown(QObject* sender, TMouseButton button,
                                              TShiftState shift, int x, int y);
  void SaveSelected1Click(QObject* sender);
  void SaveAll1Click(QObject* sender);
  void skImageButton_TVClick(QObject* sender);
  void skImageButton_TVFavoritClick(QObject* sender);
  void skImageButton_TVNormalClick(QObject* sender);

  // Window drag (docking) over every panel, and the height-only resize button.
  void PanelMouseDown(const QPoint& cursor);
  void PanelMouseMove(const QPoint& cursor);
  void PanelMouseUp();
  void ResizeMouseDown(const QPoint& cursor);
  void ResizeMouseMove(const QPoint& cursor);
  void ResizeMouseUp();

  // Shuffle and repeat switches, loaded from the options before the lists are filled.
  bool b_Random = false;
  bool b_Repeat = false;
  int32_t i_CurrentPage = 0;
  int32_t& i_PageIndex = i_CurrentPage;  // the name the control panel knows
  int32_t i_BookmarkFilter = 0;
  bool b_TVFavoriteView = false;
  bool b_Dragging = false;
  bool b_ToggleDock = false;
  bool b_Resizing = false;
  QPoint pt_DragStart, pt_DragNow;
  int32_t i_DragStartLeft = 0, i_DragStartTop = 0;
  int32_t i_DragStartHeight = 0;
  bool b_AddingFiles = false;
  // The lists were filled from their files: only then may leaving write them back.
  bool b_ListsLoaded = false;

  TskImageButton* skImageButton_Play = nullptr;
  TskImageButton* skImageButton_PlayBookmark = nullptr;
  TFT_PlayList* MyPlayList = nullptr;
  TFT_Bookmark* Bookmark = nullptr;
  TFT_Snapshot* Snapshot = nullptr;
  TPopupMenu* PopupMenu_AddFile = nullptr;
  TPopupMenu* PopupMenu_DelFile = nullptr;
  TPopupMenu* PopupMenu_SaveFile = nullptr;
  TTimer* Timer_Snapshot = nullptr;
  TPanel* Panel_Center = nullptr;

  // Skin application, shape and the skinned parts.
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
  // How many times the corner regions were built (one per skin application).
  int i_RegionBuilds = 0;

  // Writes PlayList.fpl and Bookmark.bkm now; false, with a message, when one failed.
  bool SaveLists();

 protected:
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void CreateComponents();
  void WireComponents();
  void LoadLists();
  TskImageButton* Button(const char* name) const;
  void ShowButton(const char* name, bool on);
  void StopContinuous();
  // The page's list, title and buttons, without the TV page's first-visit check.
  void ShowPageControls(int page);
  void Report(const QString& text);
  QRect MainRect() const;
  bool MainMaximized() const;
};

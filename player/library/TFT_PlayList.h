// The play list (and the TV channel list): one 13-pixel text row per entry, played in
// order or shuffled, once or repeated.
#pragma once

#include <QPoint>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "player/library/TFT_ScrollList.h"
#include "player/widgets/TLabel.h"

class PlayList_Item : public TLabel {
  Q_OBJECT
 public:
  explicit PlayList_Item(QWidget* parent = nullptr);

  enum Style { Normal, Playing, Selected };
  void SetStyle(Style s);
  Style CurrentStyle() const { return style_; }

  QString Path;
  bool b_Favorite = false;

 private:
  Style style_ = Normal;
};

class TFT_PlayList : public TFT_ScrollList {
  Q_OBJECT
 public:
  static constexpr int kRowHeight = 13;
  // The media types the list takes; a file qualifies when its dotted, lower-cased
  // extension occurs anywhere in this text.
  static const char* const kExtensionList;

  explicit TFT_PlayList(QWidget* parent = nullptr);
  ~TFT_PlayList() override;

  int RowHeight() const override { return kRowHeight; }
  int RowCount() const override { return static_cast<int>(Items.size()); }

  static bool IsMediaFile(const QString& path);

  // Appends an existing media file; false when it does not qualify (silently skipped).
  bool AddItem(const QString& path, const QString& title);
  // Each returns the path to play, or "0" when there is none.
  QString NextItem();
  QString PreviousItem();
  QString ItemToPlay();
  void MarkStopped();
  void Clear();
  void DeleteSelected();
  void CropSelected();
  // False when the file could not be written (the old file is then left whole).
  bool SaveToFile(const std::string& fileName) const;
  // Damaged files are read as far as they make sense and copied aside; `problem` then
  // says what was wrong. A missing file adds nothing.
  bool LoadFromFile(const std::string& fileName, QString* problem = nullptr);
  void RebuildShuffle();

  // TV channel list.
  void SetFavoriteFilter(bool on);
  void AddChannel(const QString& name, int index, bool favourite);
  // Fills the list from TVChannel.ini; a missing file leaves the list as it is. `problem`
  // tells about a file whose channel count cannot be right.
  void ReloadChannels(const std::string& fileName, QString* problem = nullptr);

  // Row handling shared with the panel: the click rule, and what a double click and a
  // right-button release ask for.
  void ItemClick(PlayList_Item* item);
  void ItemDblClick(PlayList_Item* item);
  std::function<void(PlayList_Item*)> OnPlayRequest;  // after a double click
  std::function<void(QPoint)> OnItemMenu;             // right button released over a row

  // Takes ownership of a new entry and appends it (hidden until laid out).
  void AppendItem(PlayList_Item* item);
  // Removes and deletes the entry at index.
  void RemoveItem(int index);
  void ClearItems();
  int IndexOf(const PlayList_Item* item) const;

  std::vector<PlayList_Item*> Items;  // owned, display order
  PlayList_Item* PlayingItem = nullptr;
  PlayList_Item* SelectedItem = nullptr;
  int i_CurrentIndex = 0;
  std::vector<int> ShuffleOrder;
  int i_ShufflePos = -1;
  bool b_Random = false;
  bool b_Repeat = false;
  bool b_FavoriteOnly = false;
  int i_ChannelCount = 0;
  // Shuffle rebuilds put off while a file loads, and the random values they would have drawn.
  bool b_ShufflePending = false;
  uint64_t i_PendingRandoms = 0;
  // The TV list has no right-button menu.
  bool b_ItemMenu = true;

 protected:
  void LayoutRows() override;

 private:
  PlayList_Item* NewRow(const QString& path, const QString& caption, const QString& hint);
  QString Play(PlayList_Item* candidate);
};

// The process-wide pseudo-random sequence the shuffle uses: never seeded, so the same list
// changes give the same orders in every run.
int PlayListRandom();
void ResetPlayListRandom();

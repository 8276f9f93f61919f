#include "player/library/TFT_PlayList.h"

#include <QCursor>
#include <QFileInfo>
#include <algorithm>

#include "platform/Profile.h"
#include "player/library/ListFile.h"

namespace {

uint64_t g_randomState = 1;

// Far more than any tuner's channel table; a larger Count is a damaged file.
constexpr int kMaxChannels = 1000;

}  // namespace

int PlayListRandom() {
  g_randomState = g_randomState * 22695477ULL + 1ULL;
  return static_cast<int>((g_randomState >> 32) & 0x7FFFFFFFULL);
}

void ResetPlayListRandom() { g_randomState = 1; }

// Moves the generator on by `steps` values at once: the step is an affine map, so it can be
// composed with itself by squaring.
static void SkipPlayListRandom(uint64_t steps) {
  uint64_t mul = 22695477ULL, add = 1ULL;  // one step
  uint64_t accMul = 1ULL, accAdd = 0ULL;   // no step
  while (steps) {
    if (steps & 1ULL) {
      accMul = accMul * mul;
      accAdd = accAdd * mul + add;
    }
    add = add * mul + add;
    mul = mul * mul;
    steps >>= 1;
  }
  g_randomState = g_randomState * accMul + accAdd;
}

const char* const TFT_PlayList::kExtensionList =
    ".avi.divx.div.mpeg.mpg.mp2.wmv.rm.rmvb.rma.dat.asf.mov.swf.wav.wma.mp3.avs.vob.3gp.mp4.3g2";

PlayList_Item::PlayList_Item(QWidget* parent) : TLabel(parent) {
  SetAutoSize(false);
  // The framework's default 8-point Tahoma: 11 pixels, so a line fits a 13-pixel row.
  // Made once: resolving a font for each of thousands of rows is what makes long lists slow.
  static const QFont rowFont = [] {
    QFont f;
    f.setFamily("Tahoma");
    f.setPixelSize(11);
    return f;
  }();
  setFont(rowFont);
  SetShowHint(true);
  resize(width(), TFT_PlayList::kRowHeight);
  SetStyle(Normal);
}

void PlayList_Item::SetStyle(Style s) {
  style_ = s;
  switch (s) {
    case Normal:
      SetFontColor(Qt::black);
      SetTransparent(true);
      break;
    case Playing:
      SetFontColor(QColor(0, 255, 0));
      SetColor(QColor(60, 60, 60));
      SetTransparent(false);
      break;
    case Selected:
      SetFontColor(Qt::white);
      SetColor(QColor(160, 160, 164));
      SetTransparent(false);
      break;
  }
}

TFT_PlayList::TFT_PlayList(QWidget* parent) : TFT_ScrollList(parent) {}

TFT_PlayList::~TFT_PlayList() {
  // Rows are children of the client panel and go with it; only the references are dropped.
  Items.clear();
}

bool TFT_PlayList::IsMediaFile(const QString& path) {
  if (path.isEmpty()) return false;
  const QFileInfo info(path);
  if (!info.isFile()) return false;
  const QString suffix = info.suffix().toLower();
  // A name without a dot has no extension; "." alone would match any list.
  if (suffix.isEmpty()) return false;
  return QString::fromLatin1(kExtensionList).contains("." + suffix);
}

void TFT_PlayList::AppendItem(PlayList_Item* item) { AppendRow(Items, item); }

void TFT_PlayList::RemoveItem(int index) { RemoveRow(Items, index, {&PlayingItem, &SelectedItem}); }

void TFT_PlayList::ClearItems() { ClearRows(Items, {&PlayingItem, &SelectedItem}); }

int TFT_PlayList::IndexOf(const PlayList_Item* item) const {
  for (size_t i = 0; i < Items.size(); ++i)
    if (Items[i] == item) return static_cast<int>(i);
  return -1;
}

PlayList_Item* TFT_PlayList::NewRow(const QString& path, const QString& caption,
                                    const QString& hint) {
  auto* item = new PlayList_Item(ClientPanel());
  item->Path = path;
  item->SetCaption(caption);
  item->SetHint(hint);
  item->setGeometry(1, 0, width(), kRowHeight);
  item->OnClick = [this, item](QObject*) { ItemClick(item); };
  item->OnDblClick = [this, item](QObject*) { ItemDblClick(item); };
  item->OnMouseUp = [this](QObject*, TMouseButton b, TShiftState, int, int) {
    if (b == mbRight && b_ItemMenu && OnItemMenu) OnItemMenu(QCursor::pos());
  };
  AppendItem(item);
  return item;
}

bool TFT_PlayList::AddItem(const QString& path, const QString& title) {
  if (!IsMediaFile(path)) return false;
  const QString name = title.isEmpty() ? QFileInfo(path).fileName() : title;
  NewRow(path, " " + name, path);
  if (i_UpdateHold > 0) {
    // Loading: only the last order counts, but the generator moves on as if each entry had
    // rebuilt it, so the orders come out as when the entries were added one by one.
    i_PendingRandoms += Items.size();
    b_ShufflePending = true;
  } else {
    RebuildShuffle();
  }
  if (Items.size() == 1) {
    SelectedItem = Items.front();
    SelectedItem->SetStyle(PlayList_Item::Selected);
    i_CurrentIndex = 0;
  }
  return true;
}

void TFT_PlayList::RebuildShuffle() {
  const int n = static_cast<int>(Items.size());
  if (b_ShufflePending) {
    // The deferred rebuilds before this one, without the values this one draws itself.
    const uint64_t skip = i_PendingRandoms - static_cast<uint64_t>(n);
    SkipPlayListRandom(skip);
    b_ShufflePending = false;
    i_PendingRandoms = 0;
  }
  ShuffleOrder.assign(static_cast<size_t>(n), 0);
  if (n > 0) {
    std::vector<int> p(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) p[i] = i;
    for (int i = 0; i < n; ++i) {
      const int b = PlayListRandom() % (n - i);
      ShuffleOrder[i] = p[b];
      p[b] = p[n - i - 1];
    }
  }
  i_ShufflePos = -1;
}

QString TFT_PlayList::Play(PlayList_Item* candidate) {
  if (PlayingItem) PlayingItem->SetStyle(PlayList_Item::Normal);
  PlayingItem = candidate;
  if (SelectedItem) SelectedItem->SetStyle(PlayList_Item::Selected);
  candidate->SetStyle(PlayList_Item::Playing);
  return candidate->Path;
}

QString TFT_PlayList::NextItem() {
  const int n = static_cast<int>(Items.size());
  if (n == 0) return "0";
  PlayList_Item* candidate = nullptr;
  if (b_Random) {
    if (static_cast<int>(ShuffleOrder.size()) != n) RebuildShuffle();
    ++i_ShufflePos;
    if (i_ShufflePos >= static_cast<int>(ShuffleOrder.size())) {
      i_ShufflePos = 0;
      i_CurrentIndex = ShuffleOrder[0];
      if (!b_Repeat) {
        if (SelectedItem) SelectedItem->SetStyle(PlayList_Item::Normal);
        if (PlayingItem) {
          PlayingItem->SetStyle(PlayList_Item::Selected);
          SelectedItem = PlayingItem;
        }
        PlayingItem = nullptr;
        return "0";
      }
    }
    candidate = Items[ShuffleOrder[i_ShufflePos]];
  } else {
    ++i_CurrentIndex;
    if (i_CurrentIndex >= n || i_CurrentIndex < 0) {
      i_CurrentIndex = 0;
      if (!b_Repeat) {
        if (SelectedItem) SelectedItem->SetStyle(PlayList_Item::Normal);
        if (PlayingItem) PlayingItem->SetStyle(PlayList_Item::Normal);
        SelectedItem = Items.front();
        SelectedItem->SetStyle(PlayList_Item::Selected);
        PlayingItem = nullptr;
        return "0";
      }
    }
    candidate = Items[i_CurrentIndex];
  }
  return Play(candidate);
}

QString TFT_PlayList::PreviousItem() {
  const int n = static_cast<int>(Items.size());
  if (n == 0) return "0";
  if (b_Random) {
    if (static_cast<int>(ShuffleOrder.size()) != n) RebuildShuffle();
    --i_ShufflePos;
    if (i_ShufflePos < 0 || i_ShufflePos >= n) i_ShufflePos = n - 1;
    i_CurrentIndex = ShuffleOrder[i_ShufflePos];
  } else {
    --i_CurrentIndex;
    // Entries removed since the index was set leave it past the end: wrap to the last.
    if (i_CurrentIndex < 0 || i_CurrentIndex >= n) i_CurrentIndex = n - 1;
  }
  return Play(Items[i_CurrentIndex]);
}

QString TFT_PlayList::ItemToPlay() {
  if (SelectedItem) {
    if (PlayingItem && PlayingItem != SelectedItem) PlayingItem->SetStyle(PlayList_Item::Normal);
    SelectedItem->SetStyle(PlayList_Item::Playing);
    PlayingItem = SelectedItem;
    return SelectedItem->Path;
  }
  if (PlayingItem) return PlayingItem->Path;
  if (Items.empty()) return "0";
  PlayingItem = Items.front();
  i_CurrentIndex = 0;
  PlayingItem->SetStyle(PlayList_Item::Playing);
  return PlayingItem->Path;
}

void TFT_PlayList::MarkStopped() {
  if (SelectedItem) {
    if (PlayingItem) PlayingItem->SetStyle(PlayList_Item::Normal);
    SelectedItem->SetStyle(PlayList_Item::Selected);
  } else if (PlayingItem) {
    PlayingItem->SetStyle(PlayList_Item::Selected);
    SelectedItem = PlayingItem;
  }
  PlayingItem = nullptr;
}

void TFT_PlayList::ItemClick(PlayList_Item* item) {
  if (!item || item == SelectedItem) return;
  if (SelectedItem && SelectedItem != PlayingItem) SelectedItem->SetStyle(PlayList_Item::Normal);
  if (item == PlayingItem) {
    SelectedItem = nullptr;
    return;
  }
  SelectedItem = item;
  item->SetStyle(PlayList_Item::Selected);
  if (!PlayingItem) i_CurrentIndex = IndexOf(item);
}

void TFT_PlayList::ItemDblClick(PlayList_Item* item) {
  if (!item) return;
  if (PlayingItem) PlayingItem->SetStyle(PlayList_Item::Normal);
  if (SelectedItem) SelectedItem->SetStyle(PlayList_Item::Normal);
  SelectedItem = nullptr;
  PlayingItem = item;
  item->SetStyle(PlayList_Item::Playing);
  RebuildShuffle();
  i_CurrentIndex = IndexOf(item);
  if (OnPlayRequest) OnPlayRequest(item);
}

void TFT_PlayList::Clear() {
  ClearItems();
  ShuffleOrder.clear();
  i_ShufflePos = -1;
}

void TFT_PlayList::DeleteSelected() {
  PlayList_Item* target = SelectedItem ? SelectedItem : PlayingItem;
  if (target) RemoveItem(IndexOf(target));
  RebuildShuffle();
  if (Items.size() == 1) {
    SelectedItem = Items.front();
    SelectedItem->SetStyle(PlayList_Item::Playing);
  }
}

void TFT_PlayList::CropSelected() {
  BeginUpdate();
  for (int i = static_cast<int>(Items.size()) - 1; i >= 0; --i)
    if (Items[i] != SelectedItem && Items[i] != PlayingItem) RemoveItem(i);
  EndUpdate();
  RebuildShuffle();
}

bool TFT_PlayList::SaveToFile(const std::string& fileName) const {
  std::vector<QString> lines;
  lines.reserve(Items.size() * 2);
  for (const PlayList_Item* item : Items) {
    lines.push_back(item->Caption());
    lines.push_back(item->Path);
  }
  return listfile::WriteLines(fileName, lines);
}

bool TFT_PlayList::LoadFromFile(const std::string& fileName, QString* problem) {
  listfile::ReadResult r = listfile::ReadLines(fileName);
  if (!r.exists) return true;
  // A last title without its path is what a cut-off file looks like.
  if (!r.damaged && r.lines.size() % 2 == 1 && !listfile::Trimmed(r.lines.back()).isEmpty()) {
    r.damaged = true;
    r.problem = QStringLiteral("its last entry has no path");
  }
  BeginUpdate();
  for (size_t i = 0; i + 1 < r.lines.size(); i += 2)
    AddItem(listfile::Trimmed(r.lines[i + 1]), listfile::Trimmed(r.lines[i]));
  EndUpdate();
  if (b_ShufflePending) RebuildShuffle();
  if (r.damaged) {
    listfile::KeepDamaged(fileName);
    if (problem) *problem = r.problem;
  }
  return !r.damaged;
}

void TFT_PlayList::SetFavoriteFilter(bool on) {
  b_FavoriteOnly = on;
  UpdateScroll();
}

void TFT_PlayList::AddChannel(const QString& name, int index, bool favourite) {
  PlayList_Item* item = NewRow(QString::number(index), " " + name, name);
  item->b_Favorite = favourite;
  if (Items.size() == 1) {
    SelectedItem = item;
    item->SetStyle(PlayList_Item::Selected);
  }
}

void TFT_PlayList::ReloadChannels(const std::string& fileName, QString* problem) {
  if (!QFileInfo(QString::fromStdString(fileName)).isFile()) return;
  const plat::ProfileFile ini(fileName);
  // A file without its count is not one the scan wrote: the channels shown are kept.
  if (!ini.has("TVGeneral", "Count")) {
    if (problem)
      *problem =
          QStringLiteral("is damaged (it has no channel count); the channels shown are kept");
    return;
  }
  Clear();
  const int n = ini.getInt("TVGeneral", "Count", 0);
  i_ChannelCount = n;
  const int shown = std::clamp(n, 0, kMaxChannels);
  if (n > kMaxChannels && problem)
    *problem =
        QStringLiteral("lists %1 channels; only the first %2 are shown").arg(n).arg(kMaxChannels);
  BeginUpdate();
  for (int k = 1; k <= shown; ++k) {
    const std::string K = std::to_string(k);
    const QString name =
        QString::fromStdString(ini.get("TVChannel", "ChannelName" + K, "Default Name - " + K));
    const int index = ini.getInt("TVChannel", "ChannelIndex" + K, 1);
    const bool favourite = ini.get("TVChannel", "ChannelFavorite" + K, "N") == "Y";
    AddChannel(name, index, favourite);
  }
  EndUpdate();
  SetFavoriteFilter(b_FavoriteOnly);
}

void TFT_PlayList::LayoutRows() {
  // The TV list may show its favourites only.
  PlaceRows(Items, 2, kRowHeight,
            [this](const PlayList_Item* item) { return !b_FavoriteOnly || item->b_Favorite; });
}

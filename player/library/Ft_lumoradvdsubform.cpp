#include "library/Ft_lumoradvdsubform.h"

#include <QFileInfo>

#include "core/Ft_lumoradvdstate.h"
#include "platform/Window.h"
#include "player/library/TFT_PlayList.h"

namespace {
// Media types the play list takes, with their dots.
const char* const kPlayListExtensions[] = {
    ".avi", ".divx", ".div", ".mpeg", ".mpg", ".mp2", ".wmv", ".rm",  ".rmvb", ".rma", ".dat",
    ".asf", ".mov",  ".swf", ".wav",  ".wma", ".mp3", ".avs", ".vob", ".3gp",  ".mp4", ".3g2"};
}  // namespace

TFT_LumoraDVD_SubForm::TFT_LumoraDVD_SubForm(QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint) {
  FT_LumoraDVD_SubForm = this;
  setObjectName("FT_LumoraDVD_SubForm");
  setAcceptDrops(true);
  CreateComponents();
  if (!MyPlayList) {
    MyPlayList = new TFT_PlayList(this);
    MyPlayList->setObjectName("MyPlayList");
    MyPlayList->hide();
  }
  plat::RegisterWindow(this);
}

TFT_LumoraDVD_SubForm::~TFT_LumoraDVD_SubForm() {
  if (FT_LumoraDVD_SubForm == this) FT_LumoraDVD_SubForm = nullptr;
}

bool TFT_LumoraDVD_SubForm::IsPlayListFile(const std::string& path) {
  const QFileInfo info(QString::fromStdString(path));
  if (path.empty() || !info.isFile()) return false;
  const QString suffix = info.suffix().toLower();
  if (suffix.isEmpty()) return false;
  const std::string ext = "." + suffix.toStdString();
  for (const char* known : kPlayListExtensions)
    if (ext == known) return true;
  return false;
}

void TFT_LumoraDVD_SubForm::ClearPlayList() {
  if (MyPlayList) MyPlayList->ClearItems();
}

bool TFT_LumoraDVD_SubForm::AddToPlayList(const std::string& path, const std::string& title) {
  if (!MyPlayList || !IsPlayListFile(path)) return false;
  const QString full = QString::fromStdString(path);
  const QString name = title.empty() ? QFileInfo(full).fileName() : QString::fromStdString(title);
  auto* item = new PlayList_Item(MyPlayList);
  item->Path = full;
  item->SetCaption(" " + name);
  item->SetHint(full);
  item->SetShowHint(true);
  MyPlayList->AppendItem(item);
  return true;
}

std::string TFT_LumoraDVD_SubForm::ItemToPlay() {
  if (!MyPlayList || MyPlayList->Items.empty()) return "0";
  PlayList_Item* item =
      MyPlayList->SelectedItem ? MyPlayList->SelectedItem : MyPlayList->Items.front();
  MyPlayList->PlayingItem = item;
  return item->Path.toStdString();
}

std::string TFT_LumoraDVD_SubForm::NextItem() {
  if (!MyPlayList || MyPlayList->Items.empty()) return "0";
  const auto& items = MyPlayList->Items;
  size_t next = 0;
  if (MyPlayList->PlayingItem) {
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i] == MyPlayList->PlayingItem) next = i + 1;
  }
  if (next >= items.size()) {
    if (!b_Repeat) return "0";
    next = 0;
  }
  MyPlayList->PlayingItem = items[next];
  return items[next]->Path.toStdString();
}

void TFT_LumoraDVD_SubForm::SetBookmarkFilter(int filter) { i_BookmarkFilter = filter; }

// The DVD menu button's menu, the audio and subtitle menus, the chapter count, the automatic
// choice of streams in the user's language, and the playback-rate menu.
#include <QLocale>
#include <cstdlib>
#include <vector>

#include "platform/Locale.h"
#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/controlpanel/MenuMarks.h"
#include "player/core/EngineApi.h"
#include "player/core/Ft_lumoradvdplay.h"
#include "player/core/Ft_lumoradvdstate.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/widgets/TPopupMenu.h"
#include "player/widgets/TskImageButton.h"

namespace {

using menumarks::Mark;
using menumarks::Marked;
using menumarks::ShowMark;

constexpr int32_t kMenuRoot = 3;
constexpr int32_t kMenuTitle = 2;

void ShowStatusText(const std::string& text) {
  if (FT_LumoraDVD_MainForm) FT_LumoraDVD_MainForm->ShowStatus(text);
}

}  // namespace

long TFT_LumoraDVD_OperationForm::EntryNumber(const QObject* entry) {
  if (!entry) return 0;
  const QByteArray digits = entry->objectName().toLatin1().mid(2, 10).trimmed();
  return std::strtol(digits.constData(), nullptr, 10);
}

QString TFT_LumoraDVD_OperationForm::LanguageName(uint32_t lcid) {
  const std::string name = lcid ? plat::LanguageDisplayName(lcid) : std::string();
  if (!name.empty()) return QString::fromStdString(name);
  switch (lcid) {
    case 1031:
      return "German";
    case 1033:
      return "English";
    case 1034:
      return "Spanish";
    case 1036:
      return "French";
    case 1041:
      return "Japanese";
    case 1042:
      return "Korean";
    case 1043:
      return "Dutch";
    case 1053:
      return "Swedish";
    case 2052:
      return "Chinese";
    case 2070:
      return "Portuguese";
    default:
      return "Unknown";
  }
}

void TFT_LumoraDVD_OperationForm::StreamMenu::Clear() {
  if (menu_) menu_->Clear();
  if (item_) item_->Clear();
}

TMenuItem* TFT_LumoraDVD_OperationForm::StreamMenu::Add(const QString& name,
                                                        const QString& caption) {
  auto* entry = new TMenuItem();
  entry->setObjectName(name);
  entry->SetCaption(caption);
  if (menu_) menu_->Add(entry);
  if (item_) item_->Add(entry);
  return entry;
}

// ---------------------------------------------------------------------------------------------
// Disc menus, titles, chapters, angles

void TFT_LumoraDVD_OperationForm::skImageButton_MenuMouseUp(QObject*, TMouseButton button,
                                                            TShiftState, int, int) {
  if (button != mbLeft || PlayType != ptDVD) return;
  PopupAtCursor(PopupMenu_Menu);
}

void TFT_LumoraDVD_OperationForm::RootMenu1Click(QObject*) { JumpDVDMenu(kMenuRoot); }

void TFT_LumoraDVD_OperationForm::TitleMenu1Click(QObject*) { JumpDVDMenu(kMenuTitle); }

void TFT_LumoraDVD_OperationForm::OnTitleItemClick(QObject* entry) {
  repaint();
  if (!entry) return;
  const long n = EntryNumber(entry);
  if (n > 0 && JumpDVDTitle(static_cast<uint32_t>(n))) ShowStatusText("Title " + std::to_string(n));
}

void TFT_LumoraDVD_OperationForm::OnChapterItemClick(QObject* entry) {
  repaint();
  if (!entry) return;
  const long n = EntryNumber(entry);
  if (n > 0 && JumpDVDChapter(static_cast<uint32_t>(n)))
    ShowStatusText("Chapter " + std::to_string(n));
}

void TFT_LumoraDVD_OperationForm::OnAngleItemClick(QObject* entry) {
  repaint();
  if (!entry) return;
  const long n = EntryNumber(entry);
  if (n > 0) SelectDVDAngle(static_cast<uint32_t>(n));
}

void TFT_LumoraDVD_OperationForm::RefreshChapterCount() {
  navdisc::IDvdInfo2* info = DvdInfo();
  if (!info || !FT_LumoraDVD_MainForm) return;
  uint32_t chapters = 0;
  if (info->GetNumberOfChapters(static_cast<uint32_t>(FT_LumoraDVD_MainForm->i_CurrentTitle),
                                &chapters) >= 0)
    i_ChapterCount = static_cast<int32_t>(chapters);
}

// ---------------------------------------------------------------------------------------------
// Subtitles

bool TFT_LumoraDVD_OperationForm::FillSubpictureEntries(StreamMenu to) {
  navdisc::IDvdInfo2* info = DvdInfo();
  if (!info || !to.Valid()) return false;
  uint32_t count = 0, current = 0;
  int32_t disabled = 0;
  if (info->GetCurrentSubpicture(&count, &current, &disabled) < 0) return false;
  // A DVD has at most 32 sub-picture streams; a larger count is not believed.
  if (count > 32) return false;
  std::vector<QString> names;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t lcid = 0;
    if (info->GetSubpictureLanguage(i, &lcid) < 0) return false;
    names.push_back(LanguageName(lcid));
  }
  to.Clear();
  DisableSubpictureItem = to.Add("DisableSubpicture", "Disable Subtitle");
  Mark(DisableSubpictureItem, disabled != 0);
  DisableSubpictureItem->OnClick = [this](QObject* s) { OnSubpictureItemClick(s); };
  to.Add(QString(), "-");
  CurrentSubpictureItem = nullptr;
  for (uint32_t i = 0; i < count; ++i) {
    TMenuItem* item = to.Add("sp" + QString::number(i), names[i]);
    Mark(item, i == current);
    if (i == current) CurrentSubpictureItem = item;
    item->OnClick = [this](QObject* s) { OnSubpictureItemClick(s); };
  }
  return true;
}

bool TFT_LumoraDVD_OperationForm::BuildSubpictureMenu() {
  return PopupMenu_Subpicture && FillSubpictureEntries(PopupMenu_Subpicture);
}

void TFT_LumoraDVD_OperationForm::skImageButton_SubPictureMouseUp(QObject*, TMouseButton button,
                                                                  TShiftState, int, int) {
  if (button != mbLeft) return;
  if (BuildSubpictureMenu()) PopupAtCursor(PopupMenu_Subpicture);
}

void TFT_LumoraDVD_OperationForm::OnSubpictureItemClick(QObject* sender) {
  repaint();
  auto* entry = qobject_cast<TMenuItem*>(sender);
  navdisc::IDvdControl2* control = DvdControl();
  if (!control || !entry) {
    ShowMark(entry);
    return;
  }
  const bool isDisable =
      entry == DisableSubpictureItem || entry->objectName() == QLatin1String("DisableSubpicture");
  if (isDisable) {
    // The mark means "switched off": a marked entry switches them on.
    const bool off = Marked(entry);
    if (control->SetSubpictureState(off, 0, nullptr) == 0) Mark(entry, !off);
    ShowMark(entry);
    return;
  }
  if (entry == CurrentSubpictureItem) {
    // Clicking the current subtitle toggles its display.
    const bool off = Marked(DisableSubpictureItem);
    if (control->SetSubpictureState(off, 0, nullptr) == 0) Mark(DisableSubpictureItem, !off);
    ShowMark(entry);
    return;
  }
  const long n = EntryNumber(entry);
  if (n < 0 || control->SelectSubpictureStream(static_cast<uint32_t>(n), 0, nullptr) != 0) {
    ShowMark(entry);
    return;
  }
  if (CurrentSubpictureItem) Mark(CurrentSubpictureItem, false);
  Mark(entry, true);
  CurrentSubpictureItem = entry;
  if (DisableSubpictureItem && Marked(DisableSubpictureItem) &&
      control->SetSubpictureState(true, 0, nullptr) == 0)
    Mark(DisableSubpictureItem, false);
  b_SubpictureChosen = true;
}

// ---------------------------------------------------------------------------------------------
// Audio

bool TFT_LumoraDVD_OperationForm::FillAudioEntries(StreamMenu to) {
  navdisc::IDvdInfo2* info = DvdInfo();
  if (!info || !to.Valid()) return false;
  uint32_t count = 0, current = 0;
  if (info->GetCurrentAudio(&count, &current) < 0) return false;
  if (count > 8) return false;  // a DVD has at most eight audio streams
  std::vector<QString> names;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t lcid = 0;
    if (info->GetAudioLanguage(i, &lcid) < 0) return false;
    names.push_back(LanguageName(lcid));
  }
  to.Clear();
  CurrentAudioItem = nullptr;
  for (uint32_t i = 0; i < count; ++i) {
    TMenuItem* item = to.Add("lg" + QString::number(i), names[i]);
    Mark(item, i == current);
    if (i == current) CurrentAudioItem = item;
    item->OnClick = [this](QObject* s) { OnAudioItemClick(s); };
  }
  return true;
}

bool TFT_LumoraDVD_OperationForm::BuildAudioMenu() {
  return PopupMenu_Language && FillAudioEntries(PopupMenu_Language);
}

void TFT_LumoraDVD_OperationForm::skImageButton_LanguageMouseUp(QObject*, TMouseButton button,
                                                                TShiftState, int, int) {
  if (button != mbLeft) return;
  if (BuildAudioMenu()) PopupAtCursor(PopupMenu_Language);
}

void TFT_LumoraDVD_OperationForm::OnAudioItemClick(QObject* sender) {
  repaint();
  auto* entry = qobject_cast<TMenuItem*>(sender);
  navdisc::IDvdControl2* control = DvdControl();
  if (!control || !entry || entry == CurrentAudioItem) {
    ShowMark(entry);
    return;
  }
  const long n = EntryNumber(entry);
  if (n < 0 || control->SelectAudioStream(static_cast<uint32_t>(n), 0, nullptr) != 0) {
    ShowMark(entry);
    return;
  }
  if (CurrentAudioItem) Mark(CurrentAudioItem, false);
  Mark(entry, true);
  CurrentAudioItem = entry;
}

void TFT_LumoraDVD_OperationForm::SetSubpictureEntries(TMenuItem* current, TMenuItem* disable) {
  CurrentSubpictureItem = current;
  DisableSubpictureItem = disable;
  if (current) Mark(current, true);
  if (disable) Mark(disable, disable->isChecked());
}

void TFT_LumoraDVD_OperationForm::SetAudioEntry(TMenuItem* current) {
  CurrentAudioItem = current;
  if (current) Mark(current, true);
}

// ---------------------------------------------------------------------------------------------
// Automatic choice of streams

void TFT_LumoraDVD_OperationForm::AutoSelectStreams() {
  if (b_SubpictureChosen) return;
  const QString name = QString::fromStdString(plat::UserEnglishLanguageName());
  BuildAudioMenu();
  BuildSubpictureMenu();

  if (PopupMenu_Language && PopupMenu_Language->Count() > 0) {
    TMenuItem* pick = nullptr;
    for (int i = 0; i < PopupMenu_Language->Count() && !pick; ++i)
      if (PopupMenu_Language->Item(i)->Caption().contains(name)) pick = PopupMenu_Language->Item(i);
    OnAudioItemClick(pick ? pick : PopupMenu_Language->Item(0));
  }

  if (PopupMenu_Subpicture) {
    TMenuItem* pick = nullptr;
    // The first two entries are "Disable Subtitle" and the separator.
    for (int i = 2; i < PopupMenu_Subpicture->Count() && !pick; ++i)
      if (PopupMenu_Subpicture->Item(i)->Caption().contains(name))
        pick = PopupMenu_Subpicture->Item(i);
    if (!pick && PopupMenu_Subpicture->Count() > 2) pick = PopupMenu_Subpicture->Item(2);
    // The stream already on show is left as it is: clicking it would toggle the display at
    // every chapter.
    if (pick && pick != CurrentSubpictureItem) OnSubpictureItemClick(pick);
  }
}

// ---------------------------------------------------------------------------------------------
// Playback rate

bool TFT_LumoraDVD_OperationForm::BuildRateMenu() {
  if (!PopupMenu_Playbackrate) return true;
  PopupMenu_Playbackrate->Clear();
  const QLocale locale;
  for (int i = 0; i < kPlaybackRateCount; ++i) {
    TMenuItem* item =
        StreamMenu(PopupMenu_Playbackrate)
            .Add("pr" + QString::number(i), locale.toString(d_PlaybackRate[i], 'f', 2));
    Mark(item, i == i_CurrentPlaybackRateIndex);
    item->OnClick = [this](QObject* s) { OnRateItemClick(s); };
  }
  return true;
}

void TFT_LumoraDVD_OperationForm::skImageButton_PlaybackRateMouseUp(QObject*, TMouseButton,
                                                                    TShiftState, int, int) {
  if (!skImageButton_FastForward || !skImageButton_FastForward->isEnabled()) return;
  BuildRateMenu();
  PopupAtCursor(PopupMenu_Playbackrate);
}

void TFT_LumoraDVD_OperationForm::OnRateItemClick(QObject* entry) {
  repaint();
  if (entry) {
    const long index = EntryNumber(entry);
    i_CurrentPlaybackRateIndex =
        (index >= 0 && index < kPlaybackRateCount && SetPlaybackRate(d_PlaybackRate[index]))
            ? static_cast<int32_t>(index)
            : kNormalRateIndex;
  }
  ShowStatusText(s_PlaybackRate[i_CurrentPlaybackRateIndex]);
}

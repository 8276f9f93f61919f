#include "player/library/Ft_lumoradvdsubform.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QUrl>

#include "clipcore/Clipcore.h"
#include "platform/Drives.h"
#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"
#include "platform/Window.h"
#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/core/EngineApi.h"
#include "player/core/Ft_lumoradvdplay.h"
#include "player/core/Ft_lumoradvdstate.h"
#include "player/core/Resume.h"
#include "player/library/ListFile.h"
#include "player/library/TFT_Bookmark.h"
#include "player/library/TFT_PlayList.h"
#include "player/library/TFT_Snapshot.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/mainwindow/Ft_lumoradvdshadowform.h"
#include "player/settings/Ft_lumoradvdsetupform.h"
#include "player/widgets/TImage.h"
#include "player/widgets/TPanel.h"
#include "player/widgets/TPopupMenu.h"
#include "player/widgets/TTimer.h"
#include "player/widgets/TskImageButton.h"

bool b_TVFirstVisit = true;

namespace {

int Clamp(int v, int lo, int hi) {
  if (hi < lo) return lo;
  return v < lo ? lo : (v > hi ? hi : v);
}

QRect ScreenRect() {
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->geometry() : QRect(0, 0, 1024, 768);
}

// The main window's maximised flag and its side-panel close command, where it has them.
template <class Main>
bool IsMaximized(const Main* main) {
  if constexpr (requires { main->b_Maximized; })
    return main->b_Maximized;
  else
    return false;
}

template <class Main>
bool CloseThroughMain(Main* main) {
  if constexpr (requires { main->skImageButton_DePlayListClick(nullptr); }) {
    main->skImageButton_DePlayListClick(nullptr);
    return true;
  } else {
    return false;
  }
}

std::string ListPath(const char* name) { return plat::ProgramFolder() + name; }

}  // namespace

TFT_LumoraDVD_SubForm::TFT_LumoraDVD_SubForm(QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint) {
  FT_LumoraDVD_SubForm = this;
  setObjectName("FT_LumoraDVD_SubForm");
  CreateComponents();
  WireComponents();
  plat::RegisterWindow(this);
}

TFT_LumoraDVD_SubForm::~TFT_LumoraDVD_SubForm() {
  if (Timer_Snapshot) Timer_Snapshot->SetEnabled(false);
  // Lists never filled from their files are not written: that would empty the saved ones.
  if (b_ListsLoaded) SaveLists();
  rgn_TopLeft.reset();
  rgn_TopRight.reset();
  rgn_BottomLeft.reset();
  rgn_BottomRight.reset();
  if (FT_LumoraDVD_SubForm == this) FT_LumoraDVD_SubForm = nullptr;
}

bool TFT_LumoraDVD_SubForm::SaveLists() {
  bool ok = true;
  if (MyPlayList && !MyPlayList->SaveToFile(ListPath("PlayList.fpl"))) {
    ok = false;
    Report("The play list could not be saved to " +
           QString::fromStdString(ListPath("PlayList.fpl")) + ": " +
           listfile::WriteFailureReason(QString::fromStdString(plat::ProgramFolder())) +
           ". The file saved before is kept.");
  }
  QString problem;
  if (MyBookmark && !MyBookmark->SaveToFile(ListPath("Bookmark.bkm"), &problem)) {
    ok = false;
    Report(problem);
  }
  return ok;
}

void TFT_LumoraDVD_SubForm::Report(const QString& text) {
  plat::MessageBox(isVisible() ? this : nullptr, text.toStdString(), "LumoraDVD",
                   plat::MB_OK | plat::MB_ICONWARNING);
}

TskImageButton* TFT_LumoraDVD_SubForm::Button(const char* name) const {
  return findChild<TskImageButton*>(name);
}

void TFT_LumoraDVD_SubForm::ShowButton(const char* name, bool on) {
  if (TskImageButton* b = Button(name)) b->setVisible(on);
}

QRect TFT_LumoraDVD_SubForm::MainRect() const {
  return FT_LumoraDVD_MainForm ? FT_LumoraDVD_MainForm->geometry() : QRect();
}

bool TFT_LumoraDVD_SubForm::MainMaximized() const {
  return FT_LumoraDVD_MainForm && IsMaximized(FT_LumoraDVD_MainForm);
}

void TFT_LumoraDVD_SubForm::WireComponents() {
  auto click = [this](const char* name, void (TFT_LumoraDVD_SubForm::*handler)(QObject*)) {
    if (TskImageButton* b = Button(name))
      b->OnClick = [this, handler](QObject* s) { (this->*handler)(s); };
  };
  auto down = [this](const char* name, void (TFT_LumoraDVD_SubForm::*handler)(
                                           QObject*, TMouseButton, TShiftState, int, int)) {
    if (TskImageButton* b = Button(name))
      b->OnMouseDown = [this, handler](QObject* s, TMouseButton mb, TShiftState sh, int x, int y) {
        (this->*handler)(s, mb, sh, x, y);
      };
  };
  click("skImageButton_Close", &TFT_LumoraDVD_SubForm::skImageButton_CloseClick);
  click("skImageButton_Play", &TFT_LumoraDVD_SubForm::skImageButton_PlayClick);
  down("skImageButton_AddFile", &TFT_LumoraDVD_SubForm::skImageButton_AddFileMouseDown);
  down("skImageButton_DeleteFile", &TFT_LumoraDVD_SubForm::skImageButton_DeleteFileMouseDown);
  click("skImageButton_Random", &TFT_LumoraDVD_SubForm::skImageButton_RandomClick);
  click("skImageButton_DeRandom", &TFT_LumoraDVD_SubForm::skImageButton_DeRandomClick);
  click("skImageButton_Repeat", &TFT_LumoraDVD_SubForm::skImageButton_RepeatClick);
  click("skImageButton_DeRepeat", &TFT_LumoraDVD_SubForm::skImageButton_DeRepeatClick);
  click("skImageButton_AddBookmark", &TFT_LumoraDVD_SubForm::skImageButton_AddBookmarkClick);
  click("skImageButton_PlayBookmark", &TFT_LumoraDVD_SubForm::skImageButton_PlayBookmarkClick);
  down("skImageButton_DeleteBookmark",
       &TFT_LumoraDVD_SubForm::skImageButton_DeleteBookmarkMouseDown);
  click("skImageButton_Snapshoot_One", &TFT_LumoraDVD_SubForm::skImageButton_Snapshoot_OneClick);
  click("skImageButton_Snapshoot_Continuous",
        &TFT_LumoraDVD_SubForm::skImageButton_Snapshoot_ContinuousClick);
  click("skImageButton_StopSnapshoot", &TFT_LumoraDVD_SubForm::skImageButton_StopSnapshootClick);
  down("skImageButton_SaveSnapshoot", &TFT_LumoraDVD_SubForm::skImageButton_SaveSnapshootMouseDown);
  down("skImageButton_DeleteSnapshoot",
       &TFT_LumoraDVD_SubForm::skImageButton_DeleteSnapshootMouseDown);
  click("skImageButton_TV", &TFT_LumoraDVD_SubForm::skImageButton_TVClick);
  click("skImageButton_TVFavorit", &TFT_LumoraDVD_SubForm::skImageButton_TVFavoritClick);
  click("skImageButton_TVNormal", &TFT_LumoraDVD_SubForm::skImageButton_TVNormalClick);

  auto item = [this](const char* name, void (TFT_LumoraDVD_SubForm::*handler)(QObject*)) {
    if (auto* it = findChild<TMenuItem*>(name))
      it->OnClick = [this, handler](QObject* s) { (this->*handler)(s); };
  };
  item("AddFiles1", &TFT_LumoraDVD_SubForm::AddFiles1Click);
  item("AddDirectory1", &TFT_LumoraDVD_SubForm::AddDirectory1Click);
  item("DeleteSelected1", &TFT_LumoraDVD_SubForm::DeleteSelected1Click);
  item("DeleteAll1", &TFT_LumoraDVD_SubForm::DeleteAll1Click);
  item("RemainSelected1", &TFT_LumoraDVD_SubForm::RemainSelected1Click);
  item("SaveSelected1", &TFT_LumoraDVD_SubForm::SaveSelected1Click);
  item("SaveAll1", &TFT_LumoraDVD_SubForm::SaveAll1Click);
  if (Timer_Snapshot) Timer_Snapshot->SetOnTimer([this](QObject* s) { Timer_SnapshotTimer(s); });

  // Dragging the window by any of its five panels.
  for (const char* name :
       {"Panel_Top", "Panel_Bottom", "Panel_Left", "Panel_Right", "Panel_Center"})
    if (auto* p = findChild<TPanel*>(name)) p->installEventFilter(this);
  // Pictures on the panels pass their presses on to the panel beneath.
  for (const char* name :
       {"Image_Top", "Image_Bottom", "Image_Left", "Image_Right", "Image_Title_List",
        "Image_Title_Bookmark", "Image_Title_Snapshot", "Image_Title_TV"})
    if (auto* i = findChild<TImage*>(name)) i->setAttribute(Qt::WA_TransparentForMouseEvents);
  if (skImageButton_Resize) {
    // Where the press and each move happened, not where the pointer is by the time they are
    // handled: a busy player would otherwise leave the edge behind the pointer.
    skImageButton_Resize->OnMouseDown = [this](QObject*, TMouseButton, TShiftState, int x, int y) {
      ResizeMouseDown(skImageButton_Resize->mapToGlobal(QPoint(x, y)));
    };
    skImageButton_Resize->OnMouseMove = [this](QObject*, TShiftState shift, int x, int y) {
      // The button reports moves with no button held too; then the release went elsewhere
      // and the drag is over.
      if (!shift.buttons) {
        ResizeMouseUp();
        return;
      }
      ResizeMouseMove(skImageButton_Resize->mapToGlobal(QPoint(x, y)));
    };
    skImageButton_Resize->OnMouseUp = [this](QObject*, TMouseButton, TShiftState, int, int) {
      ResizeMouseUp();
    };
  }

  auto menuAt = [this](QPoint at) {
    if (PopupMenu_DelFile) PopupMenu_DelFile->Popup(at.x(), at.y());
  };
  MyPlayList->OnItemMenu = menuAt;
  MyPlayList->OnPlayRequest = [this](PlayList_Item*) {
    skImageButton_PlayClick(skImageButton_Play);
  };
  MyBookmark->OnItemMenu = menuAt;
  MyBookmark->OnPlayRequest = [this](Bookmark_Item*) {
    skImageButton_PlayBookmarkClick(skImageButton_PlayBookmark);
  };
  MySnapshot->OnItemMenu = menuAt;
  MyTVList->b_ItemMenu = false;
  MyTVList->OnPlayRequest = [this](PlayList_Item* entry) { TuneChannel(entry); };
  MyPlayList->setAcceptDrops(true);
  MyPlayList->installEventFilter(this);
}

bool TFT_LumoraDVD_SubForm::eventFilter(QObject* watched, QEvent* e) {
  if (watched == MyPlayList) {
    if (e->type() == QEvent::DragEnter) {
      auto* de = static_cast<QDragEnterEvent*>(e);
      if (de->mimeData()->hasUrls()) de->acceptProposedAction();
      return true;
    }
    if (e->type() == QEvent::Drop) {
      auto* de = static_cast<QDropEvent*>(e);
      for (const QUrl& url : de->mimeData()->urls())
        if (url.isLocalFile()) MyPlayList->AddItem(url.toLocalFile(), QString());
      de->acceptProposedAction();
      return true;
    }
    return false;
  }
  switch (e->type()) {
    case QEvent::MouseButtonPress:
      PanelMouseDown(static_cast<QMouseEvent*>(e)->globalPosition().toPoint());
      return false;
    case QEvent::MouseMove:
      PanelMouseMove(static_cast<QMouseEvent*>(e)->globalPosition().toPoint());
      return false;
    case QEvent::MouseButtonRelease:
      PanelMouseUp();
      return false;
    default:
      return false;
  }
}

// ---- Skin and lists ---------------------------------------------------------------------

void TFT_LumoraDVD_SubForm::LoadLists() {
  MyPlayList->b_Random = b_Random;
  MyPlayList->b_Repeat = b_Repeat;
  QString problem;
  if (!MyPlayList->LoadFromFile(ListPath("PlayList.fpl"), &problem))
    Report("PlayList.fpl is damaged (" + problem + "). " +
           QString::number(MyPlayList->Items.size()) +
           " entries could be read; the file as it was is kept as PlayList.fpl.damaged.");
  problem.clear();
  if (!MyBookmark->LoadFromFile(ListPath("Bookmark.bkm"), &problem))
    Report("Bookmark.bkm is damaged (" + problem + "). " +
           QString::number(MyBookmark->Items.size()) +
           " bookmarks could be read; the file as it was is kept as Bookmark.bkm.damaged.");
  MyBookmark->SetBookmarkFilter(0);
  ReloadChannels();
  b_ListsLoaded = true;
}

void TFT_LumoraDVD_SubForm::ReloadChannels() { ReloadChannels(ListPath("TVChannel.ini")); }

void TFT_LumoraDVD_SubForm::ReloadChannels(const std::string& file) {
  QString problem;
  MyTVList->ReloadChannels(file, &problem);
  if (!problem.isEmpty()) Report("TVChannel.ini " + problem + ".");
}

// ---- Pages ------------------------------------------------------------------------------

void TFT_LumoraDVD_SubForm::ShowPage(int page) {
  page = Clamp(page, 0, 3);
  ShowPageControls(page);
  if (page == 3 && b_TVFirstVisit && MyTVList->i_ChannelCount < 1) {
    b_TVFirstVisit = false;
    plat::MessageBox(this, "You need scan TV channel first!", "LumoraDVD",
                     plat::MB_OK | plat::MB_ICONINFORMATION);
    if (FT_LumoraDVD_MainForm)
      FT_LumoraDVD_MainForm->PopMenu_SetupClick(nullptr, TFT_LumoraDVD_SetupForm::kTVSetupPage);
  }
}

void TFT_LumoraDVD_SubForm::ShowPageControls(int page) {
  static const char* const kButtons[] = {"skImageButton_Play",
                                         "skImageButton_AddFile",
                                         "skImageButton_DeleteFile",
                                         "skImageButton_Random",
                                         "skImageButton_DeRandom",
                                         "skImageButton_Repeat",
                                         "skImageButton_DeRepeat",
                                         "skImageButton_PlayBookmark",
                                         "skImageButton_AddBookmark",
                                         "skImageButton_DeleteBookmark",
                                         "skImageButton_Snapshoot_One",
                                         "skImageButton_Snapshoot_Continuous",
                                         "skImageButton_StopSnapshoot",
                                         "skImageButton_SaveSnapshoot",
                                         "skImageButton_DeleteSnapshoot",
                                         "skImageButton_TV",
                                         "skImageButton_TVFavorit",
                                         "skImageButton_TVNormal"};
  for (const char* name : kButtons) ShowButton(name, false);
  const char* const titles[] = {"Image_Title_List", "Image_Title_Bookmark", "Image_Title_Snapshot",
                                "Image_Title_TV"};
  for (int i = 0; i < 4; ++i)
    if (auto* t = findChild<TImage*>(titles[i])) t->setVisible(i == page);
  QWidget* lists[] = {MyPlayList, MyBookmark, MySnapshot, MyTVList};
  for (int i = 0; i < 4; ++i) lists[i]->setVisible(i == page);
  switch (page) {
    case 0:
      ShowButton("skImageButton_Play", true);
      ShowButton("skImageButton_AddFile", true);
      ShowButton("skImageButton_DeleteFile", true);
      ShowButton(b_Random ? "skImageButton_DeRandom" : "skImageButton_Random", true);
      ShowButton(b_Repeat ? "skImageButton_DeRepeat" : "skImageButton_Repeat", true);
      break;
    case 1:
      ShowButton("skImageButton_PlayBookmark", true);
      ShowButton("skImageButton_AddBookmark", true);
      ShowButton("skImageButton_DeleteBookmark", true);
      break;
    case 2:
      ShowButton("skImageButton_Snapshoot_One", true);
      ShowButton("skImageButton_Snapshoot_Continuous", true);
      ShowButton("skImageButton_SaveSnapshoot", true);
      ShowButton("skImageButton_DeleteSnapshoot", true);
      break;
    default:
      ShowButton("skImageButton_TV", true);
      ShowButton(b_TVFavoriteView ? "skImageButton_TVNormal" : "skImageButton_TVFavorit", true);
      break;
  }
  i_CurrentPage = page;
  StopContinuous();
}

void TFT_LumoraDVD_SubForm::StopContinuous() {
  if (Timer_Snapshot) Timer_Snapshot->SetEnabled(false);
  ShowButton("skImageButton_StopSnapshoot", false);
  if (i_CurrentPage == 2) ShowButton("skImageButton_Snapshoot_Continuous", true);
}

void TFT_LumoraDVD_SubForm::skImageButton_CloseClick(QObject*) {
  if (!FT_LumoraDVD_MainForm || !CloseThroughMain(FT_LumoraDVD_MainForm)) close();
}

void TFT_LumoraDVD_SubForm::DeleteSelected1Click(QObject*) {
  repaint();
  if (i_CurrentPage == 0) MyPlayList->DeleteSelected();
  if (i_CurrentPage == 1) MyBookmark->DeleteSelected();
  if (i_CurrentPage == 2) MySnapshot->DeleteSelected();
}

void TFT_LumoraDVD_SubForm::DeleteAll1Click(QObject*) {
  repaint();
  if (i_CurrentPage == 0) MyPlayList->Clear();
  if (i_CurrentPage == 1) MyBookmark->Clear();
  if (i_CurrentPage == 2) MySnapshot->Clear();
}

void TFT_LumoraDVD_SubForm::RemainSelected1Click(QObject*) {
  repaint();
  if (i_CurrentPage == 0) MyPlayList->CropSelected();
  if (i_CurrentPage == 1) MyBookmark->CropSelected();
  if (i_CurrentPage == 2) MySnapshot->CropSelected();
}

// ---- Play list page ---------------------------------------------------------------------

bool TFT_LumoraDVD_SubForm::IsPlayListFile(const std::string& path) {
  return TFT_PlayList::IsMediaFile(QString::fromStdString(path));
}

void TFT_LumoraDVD_SubForm::ClearPlayList() { MyPlayList->Clear(); }

bool TFT_LumoraDVD_SubForm::AddToPlayList(const std::string& path, const std::string& title) {
  return MyPlayList->AddItem(QString::fromStdString(path), QString::fromStdString(title));
}

void TFT_LumoraDVD_SubForm::AddPathToPlayList(const std::string& path) {
  AddToPlayList(path, std::string());
}

void TFT_LumoraDVD_SubForm::AddDirectory(const std::string& folder) {
  QString dir = QString::fromStdString(folder);
  if (!dir.endsWith('/')) dir += '/';
  QDir d(dir);
  // By name, as Windows file systems list a folder: Linux file systems return entries in hash
  // or creation order, which would put a video CD's AVSEQ02.DAT before AVSEQ01.DAT.
  const QFileInfoList entries =
      d.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                      QDir::Name | QDir::IgnoreCase);
  for (const QFileInfo& e : entries) {
    // Links to folders could lead round in a circle.
    if (e.isDir() && !e.isSymLink())
      AddDirectory((dir + e.fileName()).toStdString());
    else if (e.isFile())
      MyPlayList->AddItem(dir + e.fileName(), QString());
    QCoreApplication::processEvents();
    if (!FT_LumoraDVD_SubForm) return;
  }
}

std::string TFT_LumoraDVD_SubForm::ItemToPlay() { return MyPlayList->ItemToPlay().toStdString(); }
std::string TFT_LumoraDVD_SubForm::NextItem() { return MyPlayList->NextItem().toStdString(); }
std::string TFT_LumoraDVD_SubForm::PreviousItem() {
  return MyPlayList->PreviousItem().toStdString();
}

void TFT_LumoraDVD_SubForm::MarkStopped() {
  MyPlayList->MarkStopped();
  MyBookmark->MarkStopped();
}

void TFT_LumoraDVD_SubForm::skImageButton_PlayClick(QObject*) {
  if (FT_LumoraDVD_OperationForm) FT_LumoraDVD_OperationForm->PlayFromControl(skImageButton_Play);
}

void TFT_LumoraDVD_SubForm::skImageButton_AddFileMouseDown(QObject*, TMouseButton button,
                                                           TShiftState, int, int) {
  if (button != mbLeft || b_AddingFiles || !PopupMenu_AddFile) return;
  const QPoint at = QCursor::pos();
  PopupMenu_AddFile->Popup(at.x(), at.y());
}

void TFT_LumoraDVD_SubForm::skImageButton_DeleteFileMouseDown(QObject*, TMouseButton button,
                                                              TShiftState, int, int) {
  if (MyPlayList->Items.empty()) return;
  if (MyPlayList->Items.size() == 1) {
    MyPlayList->Clear();
    return;
  }
  if (button != mbLeft || b_AddingFiles || !PopupMenu_DelFile) return;
  const QPoint at = QCursor::pos();
  PopupMenu_DelFile->Popup(at.x(), at.y());
}

void TFT_LumoraDVD_SubForm::skImageButton_RandomClick(QObject*) {
  b_Random = MyPlayList->b_Random = true;
  ShowButton("skImageButton_DeRandom", true);
  ShowButton("skImageButton_Random", false);
}

void TFT_LumoraDVD_SubForm::skImageButton_DeRandomClick(QObject*) {
  b_Random = MyPlayList->b_Random = false;
  ShowButton("skImageButton_DeRandom", false);
  ShowButton("skImageButton_Random", true);
}

void TFT_LumoraDVD_SubForm::skImageButton_RepeatClick(QObject*) {
  b_Repeat = MyPlayList->b_Repeat = true;
  ShowButton("skImageButton_DeRepeat", true);
  ShowButton("skImageButton_Repeat", false);
}

void TFT_LumoraDVD_SubForm::skImageButton_DeRepeatClick(QObject*) {
  b_Repeat = MyPlayList->b_Repeat = false;
  ShowButton("skImageButton_DeRepeat", false);
  ShowButton("skImageButton_Repeat", true);
}

void TFT_LumoraDVD_SubForm::AddFiles1Click(QObject*) {
  std::vector<std::string> files;
  const std::string filter =
      "All Supported Media "
      "Format|*.avi;*.divx;*.div;*.mpeg;*.mpg;*.wmv;*.rm;*rmvb;*.rma;*.dat;*.asf;*.mov;*.swf;*."
      "wav;*.wma;*.mp3;*.mp2;*.vob;*.avs;*.3gp;*.mp4;*.3g2|All Supported Video Media "
      "Format|*.avi;*.divx;*.div;*.mpeg;*.mpg;*.wmv;*.rm;*rmvb;*.dat;*.asf;*.mov;*.swf;*.vob;*."
      "avs;*.3gp;*.mp4;*.3g2|All Supported Audio Media Format|*.wav;*.wma;*.mp3;*.asf|All "
      "Files|*.*";
  if (!plat::GetOpenFileNames(this, "Load File to Play List", filter, files, true)) return;
  repaint();
  b_AddingFiles = true;
  for (const std::string& f : files) AddToPlayList(f, std::string());
  b_AddingFiles = false;
}

void TFT_LumoraDVD_SubForm::AddDirectory1Click(QObject*) {
  std::string folder = QDir::homePath().toStdString();
  if (!plat::BrowseForFolder(this, "Please select DVD directory:", folder)) return;
  b_AddingFiles = true;
  repaint();
  AddDirectory(folder);
  b_AddingFiles = false;
}

// ---- Bookmark page ----------------------------------------------------------------------

void TFT_LumoraDVD_SubForm::SetBookmarkFilter(int filter) {
  i_BookmarkFilter = filter;
  std::string label;
  MyBookmark->s_DiscLabel = ReadDiscLabel(CurrentPlayPath, label) ? QString::fromStdString(label)
                                                                  : QStringLiteral("DVD_DISC");
  MyBookmark->SetBookmarkFilter(filter);
}

void TFT_LumoraDVD_SubForm::skImageButton_AddBookmarkClick(QObject*) {
  std::unique_ptr<QImage> picture = TakeSnapshot();
  if (!picture) return;
  const int chapter = FT_LumoraDVD_MainForm ? FT_LumoraDVD_MainForm->i_CurrentChapter : 0;
  const int seconds = FT_LumoraDVD_OperationForm ? FT_LumoraDVD_OperationForm->i_CurrentSeconds : 0;
  QString path = QString::fromStdString(CurrentPlayPath);
  if (PlayType == ptDVD) {
    std::string label = "DVD_DISC";
    std::string read;
    if (ReadDiscLabel(CurrentPlayPath, read)) label = read;
    const std::string name =
        "BOOKMARK-CH" + std::to_string(chapter) + "-T" + std::to_string(seconds);
    const std::string folder = plat::ProgramFolder() + "Bookmark/";
    QDir().mkpath(QString::fromStdString(folder));
    if (!DVDBookmark((folder + label + ".bmk").c_str(), name.c_str(), true)) return;
    path = QString::fromStdString(name + "@" + label);
  }
  MyBookmark->AddBookmark(path, chapter, seconds, *picture);
}

void TFT_LumoraDVD_SubForm::skImageButton_PlayBookmarkClick(QObject*) {
  if (FT_LumoraDVD_OperationForm)
    FT_LumoraDVD_OperationForm->PlayFromControl(skImageButton_PlayBookmark);
}

bool TFT_LumoraDVD_SubForm::PlayBookmark() {
  Bookmark_Item* entry = MyBookmark->BookmarkToPlay();
  if (!entry) return false;
  TFT_LumoraDVD_OperationForm* panel = FT_LumoraDVD_OperationForm;
  const bool stopEnabled =
      panel && panel->skImageButton_Stop && panel->skImageButton_Stop->isEnabled();
  const std::string path = entry->Path.toStdString();
  if (entry->Path.contains("BOOKMARK") && entry->Path.contains("@")) {
    const size_t at = path.find('@');
    const std::string name = path.substr(0, at);
    const std::string label = path.substr(at + 1, 100);
    const std::string file = plat::ProgramFolder() + "Bookmark/" + label + ".bmk";
    if (!QFileInfo(QString::fromStdString(file)).isFile()) return false;
    std::string current;
    const bool sameDisc = ReadDiscLabel(CurrentPlayPath, current) && current == label;
    if (!(sameDisc && stopEnabled) && panel) {
      // Open the first drive whose disc carries the label; a disc folder played last (its
      // label is "DVD_DISC") is opened again, so its bookmarks work after a stop.
      bool opened = false;
      for (const plat::OpticalDrive& drive : plat::OpticalDrives()) {
        std::string driveLabel;
        plat::GetVolumeLabel(drive.root, driveLabel);
        if ((drive.root + driveLabel).find(label) == std::string::npos) continue;
        CurrentPlayPath = drive.root;
        SkipResume(true);  // the bookmark says where to go
        opened = panel->PlayDisc();
        SkipResume(false);
        break;
      }
      std::string lastLabel;
      if (!opened && !CurrentPlayPath.empty() &&
          QFileInfo(QString::fromStdString(CurrentPlayPath)).isDir()) {
        if (!ReadDiscLabel(CurrentPlayPath, lastLabel)) lastLabel = "DVD_DISC";
        if (lastLabel == label) {
          SkipResume(true);
          opened = panel->PlayDisc();
          SkipResume(false);
        }
      }
      if (opened) panel->EnablePlaybackControls(true);
    }
    return DVDBookmark(file.c_str(), name.c_str(), false);
  }
  if (!QFileInfo(entry->Path).isFile()) return false;
  if (path == CurrentPlayPath && stopEnabled) return SeekSeconds(entry->i_Seconds);
  const std::string before = CurrentPlayPath;
  CurrentPlayPath = path;
  SkipResume(true);
  const bool played = panel && panel->PlayCurrentFile();
  SkipResume(false);
  if (!played) {
    CurrentPlayPath = before;
    return false;
  }
  panel->EnablePlaybackControls(true);
  return SeekSeconds(entry->i_Seconds);
}

void TFT_LumoraDVD_SubForm::skImageButton_DeleteBookmarkMouseDown(QObject*, TMouseButton button,
                                                                  TShiftState, int, int) {
  if (MyBookmark->Items.empty()) return;
  if (MyBookmark->Items.size() == 1) {
    MyBookmark->Clear();
    return;
  }
  if (button != mbLeft || !PopupMenu_DelFile) return;
  const QPoint at = QCursor::pos();
  PopupMenu_DelFile->Popup(at.x(), at.y());
}

// ---- Snapshot page ----------------------------------------------------------------------

bool TFT_LumoraDVD_SubForm::TakeOneSnapshot() {
  std::unique_ptr<QImage> picture = TakeSnapshot();
  if (!picture) return false;
  int32_t w = 0, h = 0;
  const QSize shown = GetVideoSize(w, h) ? QSize(w, h) : QSize();
  MySnapshot->AddSnapshot(TFT_Snapshot::SnapshotFileName(QDateTime::currentDateTime()), *picture,
                          shown);
  return true;
}

void TFT_LumoraDVD_SubForm::skImageButton_Snapshoot_OneClick(QObject*) { TakeOneSnapshot(); }

void TFT_LumoraDVD_SubForm::skImageButton_Snapshoot_ContinuousClick(QObject*) {
  TakeOneSnapshot();
  if (Timer_Snapshot) Timer_Snapshot->SetEnabled(true);
  ShowButton("skImageButton_Snapshoot_Continuous", false);
  ShowButton("skImageButton_StopSnapshoot", true);
}

void TFT_LumoraDVD_SubForm::Timer_SnapshotTimer(QObject*) { TakeOneSnapshot(); }

void TFT_LumoraDVD_SubForm::skImageButton_StopSnapshootClick(QObject*) {
  if (Timer_Snapshot) Timer_Snapshot->SetEnabled(false);
  ShowButton("skImageButton_Snapshoot_Continuous", true);
  ShowButton("skImageButton_StopSnapshoot", false);
}

void TFT_LumoraDVD_SubForm::skImageButton_SaveSnapshootMouseDown(QObject*, TMouseButton button,
                                                                 TShiftState, int, int) {
  if (MySnapshot->Items.empty()) return;
  if (MySnapshot->Items.size() == 1) {
    SaveAll1Click(nullptr);
    return;
  }
  if (button != mbLeft || !PopupMenu_SaveFile) return;
  const QPoint at = QCursor::pos();
  PopupMenu_SaveFile->Popup(at.x(), at.y());
}

void TFT_LumoraDVD_SubForm::skImageButton_DeleteSnapshootMouseDown(QObject*, TMouseButton button,
                                                                   TShiftState, int, int) {
  if (MySnapshot->Items.empty()) return;
  if (MySnapshot->Items.size() == 1) {
    MySnapshot->Clear();
    return;
  }
  if (button != mbLeft || !PopupMenu_DelFile) return;
  const QPoint at = QCursor::pos();
  PopupMenu_DelFile->Popup(at.x(), at.y());
}

void TFT_LumoraDVD_SubForm::SaveSelected1Click(QObject*) {
  repaint();
  QString problem;
  if (!MySnapshot->SaveSelected(
          QString::fromStdString(plat::WithTrailingSlash(CurrentSnapshotPath)), &problem))
    Report(problem + " It stays in the list.");
}

void TFT_LumoraDVD_SubForm::SaveAll1Click(QObject*) {
  repaint();
  QString problem;
  if (!MySnapshot->SaveAll(QString::fromStdString(plat::WithTrailingSlash(CurrentSnapshotPath)),
                           &problem, [] { QCoreApplication::processEvents(); }))
    Report(problem + " The snapshots not saved stay in the list.");
}

// ---- TV page ----------------------------------------------------------------------------

void TFT_LumoraDVD_SubForm::TuneChannel(PlayList_Item* entry) {
  if (!entry) return;
  if (PlayType != ptTV) {
    TFT_LumoraDVD_OperationForm* panel = FT_LumoraDVD_OperationForm;
    if (panel) panel->skImageButton_StopClick(panel->skImageButton_Stop);
    if (!StartTV()) return;
    if (panel) panel->EnablePlaybackControls(true);
    if (FT_LumoraDVD_MainForm) FT_LumoraDVD_MainForm->ShowStatus("TV");
  }
  if (MyTVList->PlayingItem) MyTVList->PlayingItem->SetStyle(PlayList_Item::Normal);
  if (MyTVList->SelectedItem) MyTVList->SelectedItem->SetStyle(PlayList_Item::Normal);
  MyTVList->SelectedItem = nullptr;
  MyTVList->PlayingItem = entry;
  entry->SetStyle(PlayList_Item::Playing);
  SetTVChannel(entry->Path.toInt());
}

void TFT_LumoraDVD_SubForm::skImageButton_TVClick(QObject*) {
  if (MyTVList->SelectedItem) TuneChannel(MyTVList->SelectedItem);
}

void TFT_LumoraDVD_SubForm::skImageButton_TVFavoritClick(QObject*) {
  ShowButton("skImageButton_TVFavorit", false);
  ShowButton("skImageButton_TVNormal", true);
  MyTVList->SetFavoriteFilter(true);
  b_TVFavoriteView = true;
}

void TFT_LumoraDVD_SubForm::skImageButton_TVNormalClick(QObject*) {
  ShowButton("skImageButton_TVFavorit", true);
  ShowButton("skImageButton_TVNormal", false);
  MyTVList->SetFavoriteFilter(false);
  b_TVFavoriteView = false;
}

// ---- Placement: docking, dragging, resizing ---------------------------------------------

void TFT_LumoraDVD_SubForm::FitDockedHeight() {
  if (!isVisible() || !b_Docked || !FT_LumoraDVD_MainForm) return;
  const int h = FT_LumoraDVD_MainForm->height();
  resize(width(), h >= 130 ? h : 200);
}

void TFT_LumoraDVD_SubForm::PanelMouseDown(const QPoint& cursor) {
  if (MainMaximized() || !FT_LumoraDVD_MainForm) return;
  b_Dragging = true;
  // A press without a move must not act on what the previous drag left.
  b_ToggleDock = false;
  pt_DragStart = cursor;
  i_DragStartLeft = x();
  i_DragStartTop = y();
  if (QWidget* shadow = FT_LumoraDVD_ShadowForm) {
    const QRect main = MainRect();
    if (b_Docked)
      shadow->setGeometry(x(), y(), width(), i_FloatHeight);
    else
      shadow->setGeometry(main.left() - width(), main.top(), width(), main.height());
    shadow->lower();
  }
}

void TFT_LumoraDVD_SubForm::PanelMouseMove(const QPoint& cursor) {
  if (!b_Dragging) return;
  pt_DragNow = cursor;
  const QPoint d = pt_DragNow - pt_DragStart;
  const QRect main = MainRect();
  const bool inZone = cursor.y() > main.top() && cursor.y() < main.top() + main.height() &&
                      cursor.x() > main.left() - width() && cursor.x() < main.left();
  QWidget* shadow = FT_LumoraDVD_ShadowForm;
  if (b_Docked) {
    if (shadow) shadow->move(i_DragStartLeft + d.x(), i_DragStartTop + d.y());
    b_ToggleDock = !inZone;
  } else {
    move(i_DragStartLeft + d.x(), i_DragStartTop + d.y());
    if (shadow) shadow->move(main.left() - width(), main.top());
    b_ToggleDock = inZone;
  }
  if (shadow) {
    if (b_ToggleDock && !shadow->isVisible())
      shadow->show();
    else if (!b_ToggleDock)
      shadow->hide();
  }
  repaint();
  if (FT_LumoraDVD_MainForm) FT_LumoraDVD_MainForm->repaint();
  if (FT_LumoraDVD_OperationForm) FT_LumoraDVD_OperationForm->repaint();
}

void TFT_LumoraDVD_SubForm::PanelMouseUp() {
  if (!b_Dragging) return;
  b_Dragging = false;
  if (FT_LumoraDVD_ShadowForm) FT_LumoraDVD_ShadowForm->hide();
  if (b_ToggleDock) ToggleDock();
  b_ToggleDock = false;
  FitDockedHeight();
}

void TFT_LumoraDVD_SubForm::ToggleDock() {
  hide();
  const QRect main = MainRect();
  if (b_Docked) {
    const QRect screen = ScreenRect();
    const QRect shadow = FT_LumoraDVD_ShadowForm ? FT_LumoraDVD_ShadowForm->geometry() : geometry();
    setGeometry(Clamp(shadow.left(), 0, screen.width()), Clamp(shadow.top(), 0, screen.height()),
                width(), i_FloatHeight);
    if (skImageButton_Resize) skImageButton_Resize->show();
  } else {
    i_FloatHeight = height();
    setGeometry(main.left() - width(), main.top(), width(), main.height());
    if (skImageButton_Resize) skImageButton_Resize->hide();
  }
  b_Docked = !b_Docked;
  show();
}

void TFT_LumoraDVD_SubForm::ResizeMouseDown(const QPoint& cursor) {
  b_Resizing = !b_Docked;
  pt_DragStart = cursor;
  i_DragStartHeight = height();
}

void TFT_LumoraDVD_SubForm::ResizeMouseMove(const QPoint& cursor) {
  if (!b_Resizing) return;
  resize(width(), Clamp(i_DragStartHeight + (cursor.y() - pt_DragStart.y()), 400,
                        ScreenRect().height() - 100));
  repaint();
}

void TFT_LumoraDVD_SubForm::ResizeMouseUp() { b_Resizing = false; }

void TFT_LumoraDVD_SubForm::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  if (b_Docked && FT_LumoraDVD_MainForm) {
    const QRect main = MainRect();
    setGeometry(main.left() - width(), main.top(), width(), main.height());
  }
}

void TFT_LumoraDVD_SubForm::hideEvent(QHideEvent* e) {
  QWidget::hideEvent(e);
  StopContinuous();
}

void TFT_LumoraDVD_SubForm::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (width() == i_LastWidth && height() == i_LastHeight) return;
  if (height() < 130) {
    resize(width(), 200);
    return;  // the resize to 200 comes back here
  }
  if (b_ShapeWindow)
    ApplyWindowRegion();
  else {
    i_LastWidth = width();
    i_LastHeight = height();
  }
}

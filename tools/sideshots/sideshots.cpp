// Screenshots of the side panel's pages, docked beside the main window and floating, filled
// with a few entries of each kind. Run on a real X server; the whole screen is grabbed so the
// panel's shape and its place beside the main window are what a desktop shows.
//   sideshots SKIN_FOLDER OUTPUT_PREFIX
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <cstdio>

#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/core/Ft_lumoradvdstate.h"
#include "player/library/Ft_lumoradvdsubform.h"
#include "player/library/TFT_Bookmark.h"
#include "player/library/TFT_PlayList.h"
#include "player/library/TFT_Snapshot.h"
#include "player/mainwindow/Ft_lumoradvdfullscreenform.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/mainwindow/Ft_lumoradvdshadowform.h"
#include "tools/common/ShotSetup.h"

namespace {

QImage Frame(int w, int h, QColor c, const QString& text) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(c);
  QPainter p(&img);
  p.setPen(Qt::white);
  QFont f = p.font();
  f.setPixelSize(h / 4);
  p.setFont(f);
  p.drawText(img.rect(), Qt::AlignCenter, text);
  return img;
}

void Fill(TFT_LumoraDVD_SubForm* side, const QString& home) {
  for (const char* name : {"Holiday 2006.avi", "Concert.mpg", "Lecture - part 1.mp4",
                           "Lecture - part 2.mp4", "Song.mp3"}) {
    QFile f(home + name);
    f.open(QIODevice::WriteOnly);
    f.write("x");
    f.close();
    side->MyPlayList->AddItem(home + name, "");
  }
  side->MyPlayList->ItemToPlay();
  side->MyPlayList->ItemClick(side->MyPlayList->Items[2]);
  side->MyBookmark->AddBookmark(home + "Holiday 2006.avi", 0, 754,
                                Frame(640, 480, QColor(40, 90, 160), "beach"));
  side->MyBookmark->AddBookmark("BOOKMARK-CH3-T125@MOVIE", 3, 125,
                                Frame(720, 576, QColor(150, 60, 40), "ch 3"));
  side->MyBookmark->AddBookmark(home + "Concert.mpg", 0, 3725,
                                Frame(1280, 720, QColor(60, 130, 60), "stage"));
  for (int i = 0; i < 3; ++i)
    side->MySnapshot->AddSnapshot(QString("Snapshot-2006-12-1-9-5-%1.bmp").arg(30 + i),
                                  Frame(720, 576, QColor(30 + 60 * i, 70, 120), "shot"), QSize());
  QFile ini(home + "TVChannel.ini");
  ini.open(QIODevice::WriteOnly);
  ini.write(
      "[TVGeneral]\r\nCount=4\r\n[TVChannel]\r\nChannelName1=News\r\nChannelIndex1=2\r\n"
      "ChannelFavorite1=Y\r\nChannelName2=Sport\r\nChannelIndex2=5\r\nChannelFavorite2=N\r\n"
      "ChannelName3=Films\r\nChannelIndex3=9\r\nChannelFavorite3=Y\r\nChannelName4=Music\r\n"
      "ChannelIndex4=12\r\n");
  ini.close();
  side->ReloadChannels();
}

bool SaveScreen(const QString& path) {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return false;
  const QImage img = screen->grabWindow(0).toImage();
  const bool ok = !img.isNull() && img.save(path, "PNG");
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: sideshots SKIN_FOLDER OUTPUT_PREFIX\n");
    return 2;
  }
  QApplication app(argc, argv);
  QTemporaryDir home;
  b_TVFirstVisit = false;
  const QString out = QString::fromLocal8Bit(argv[2]);
  shots::UsePrivateHome(home, out);

  auto* main = CreatePlayerWindows();
  const bool ok = main->ApplySkin(argv[1]);
  std::printf("ApplySkin: %s\n", ok ? "ok" : "FAILED");
  TFT_LumoraDVD_SubForm* side = FT_LumoraDVD_SubForm;
  Fill(side, home.path() + "/");

  main->setGeometry(420, 80, 640, 480);
  main->show();
  shots::Pump(200);
  bool saved = true;
  const char* const names[] = {"playlist", "bookmarks", "snapshots", "tv"};
  for (int page = 0; page < 4; ++page) {
    side->ShowPage(page);
    if (!side->b_Docked) side->ToggleDock();
    side->show();
    shots::Pump(300);
    saved = SaveScreen(out + "-" + names[page] + "-docked.png") && saved;
    // Floating: dragged away from the main window to the left and down.
    side->PanelMouseDown(side->geometry().center());
    side->PanelMouseMove(side->geometry().center() + QPoint(-150, 120));
    side->PanelMouseUp();
    shots::Pump(300);
    saved = SaveScreen(out + "-" + names[page] + "-floating.png") && saved;
  }
  delete FT_LumoraDVD_FullScreenForm;
  delete FT_LumoraDVD_SubForm;
  delete FT_LumoraDVD_ShadowForm;
  delete FT_LumoraDVD_OperationForm;
  delete FT_LumoraDVD_MainForm;
  return ok && saved ? 0 : 1;
}

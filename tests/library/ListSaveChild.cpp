// Saves the play list and the bookmarks again and again, switching between two versions,
// until it is killed. `emit` writes version 0 or 1 once and ends.
//   list_save_child HOME emit 0|1
//   list_save_child HOME loop
#include <QApplication>
#include <QFile>
#include <QImage>
#include <cstdio>
#include <string>

#include "player/library/TFT_Bookmark.h"
#include "player/library/TFT_PlayList.h"

namespace {

void Fill(TFT_PlayList& list, TFT_Bookmark& marks, const std::string& home, int version) {
  list.Clear();
  marks.Clear();
  const int n = version == 0 ? 40 : 2500;
  for (int i = 0; i < n; ++i)
    list.AddItem(QString::fromStdString(home + "media.avi"),
                 QString("v%1 entry %2 ü").arg(version).arg(i));
  for (int i = 0; i < (version == 0 ? 3 : 30); ++i) {
    QImage pic(320, 240, QImage::Format_RGB32);
    pic.fill(QColor(version * 200, i * 8, 50));
    marks.AddBookmark(QString("/films/v%1-%2.avi").arg(version).arg(i), i, i * 60, pic);
  }
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc < 3) return 2;
  const std::string home = argv[1];
  const std::string mode = argv[2];
  TFT_PlayList list;
  TFT_Bookmark marks;
  marks.resize(200, 400);
  if (mode == "emit" && argc > 3) {
    Fill(list, marks, home, std::atoi(argv[3]));
    return list.SaveToFile(home + "PlayList.fpl") && marks.SaveToFile(home + "Bookmark.bkm") ? 0
                                                                                             : 1;
  }
  TFT_PlayList other;
  TFT_Bookmark otherMarks;
  otherMarks.resize(200, 400);
  Fill(list, marks, home, 1);
  Fill(other, otherMarks, home, 0);
  std::puts("ready");
  std::fflush(stdout);
  for (int round = 0;; ++round) {
    // The lists on disk are version 1 at the start: version 0 is written first.
    const bool first = round % 2 == 1;
    (first ? list : other).SaveToFile(home + "PlayList.fpl");
    (first ? marks : otherMarks).SaveToFile(home + "Bookmark.bkm");
  }
}

// skinshots SKIN_FOLDER OUTPUT_PREFIX: builds the real windows, applies the skin, shows them
// with some playback state on their faces and writes a PNG of each (window shapes shown over
// a checker pattern), a sheet of button states, and the whole screen when there is one.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
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
#include "player/mainwindow/Ft_lumoradvdcontrolframe.h"
#include "player/mainwindow/Ft_lumoradvdfullscreenform.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/mainwindow/Ft_lumoradvdshadowform.h"
#include "player/skin/Ft_updateplayerskin.h"
#include "player/skin/controls/Ftimagebutton.h"
#include "player/widgets/TPanel.h"
#include "player/widgets/TskImageButton.h"
#include "tools/common/ShotSetup.h"

namespace {

QImage Checker(QSize size) {
  QImage img(size, QImage::Format_RGB32);
  QPainter p(&img);
  for (int y = 0; y < size.height(); y += 8)
    for (int x = 0; x < size.width(); x += 8)
      p.fillRect(x, y, 8, 8, ((x + y) / 8) % 2 ? QColor(205, 205, 205) : QColor(235, 235, 235));
  return img;
}

// The window as drawn, with what its shape cuts away shown as a checker pattern.
QImage Shot(QWidget* w) {
  QImage drawn = w->grab().toImage();
  QImage out = Checker(drawn.size());
  QPainter p(&out);
  if (!w->mask().isEmpty()) p.setClipRegion(w->mask());
  p.drawImage(0, 0, drawn);
  return out;
}

bool Save(const QImage& img, const QString& path) {
  bool ok = img.save(path, "PNG");
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
  return ok;
}

void ShowTime(QWidget* root, int h, int m, int s) {
  const int value[6] = {s % 10, s / 10, m % 10, m / 10, h % 10, h / 10};
  const char* names[6] = {"DI_TimeSec1",  "DI_TimeSec10", "DI_TimeMin1",
                          "DI_TimeMin10", "DI_TimeHour1", "DI_TimeHour10"};
  for (int i = 0; i < 6; ++i)
    if (auto* d = root->findChild<TFT_DigitalImage*>(names[i])) d->ShowDigit(value[i]);
}

void ShowPlaying(QWidget* root) {
  ShowTime(root, 1, 23, 45);
  if (auto* bar = root->findChild<TFT_ProgressBar*>("ProgressBar")) {
    bar->setEnabled(true);
    bar->SetPosition(38, false);
  }
  if (auto* vol = root->findChild<TFT_ProgressBar*>("VolumeBar")) vol->SetPosition(70, false);
}

// A sheet of the four state pictures of some buttons, one row each.
QImage StateSheet(QWidget* root, const QStringList& names) {
  std::vector<TskImageButton*> buttons;
  int w = 0, h = 0;
  for (const QString& n : names)
    if (auto* b = root->findChild<TskImageButton*>(n)) {
      buttons.push_back(b);
      w = std::max(w, b->PicNormal().width());
      h = std::max(h, b->PicNormal().height());
    }
  QImage sheet =
      Checker(QSize(std::max(1, 4 * (w + 6)), std::max(1, int(buttons.size()) * (h + 6))));
  QPainter p(&sheet);
  for (size_t r = 0; r < buttons.size(); ++r) {
    const QImage pics[4] = {buttons[r]->PicNormal(), buttons[r]->PicMouseOn(),
                            buttons[r]->PicMouseDown(), buttons[r]->PicDisabled()};
    for (int c = 0; c < 4; ++c) p.drawImage(c * (w + 6) + 3, int(r) * (h + 6) + 3, pics[c]);
  }
  return sheet;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: skinshots SKIN_FOLDER OUTPUT_PREFIX\n");
    return 2;
  }
  QApplication app(argc, argv);
  QTemporaryDir home;
  const std::string folder = argv[1];
  const QString out = QString::fromLocal8Bit(argv[2]);
  shots::UsePrivateHome(home, out);

  auto* main = CreatePlayerWindows();
  main->b_DisplayControlPanel = true;
  const bool ok = main->ApplySkin(folder);
  std::printf("ApplySkin: %s\n", ok ? "ok" : "FAILED");

  TFT_LumoraDVD_ControlFrame* bar = FT_LumoraDVD_ControlFrame;
  TFT_LumoraDVD_OperationForm* panel = FT_LumoraDVD_OperationForm;
  TFT_LumoraDVD_SubForm* side = FT_LumoraDVD_SubForm;
  ShowPlaying(bar);
  ShowPlaying(panel);
  for (auto [name, digit] : {std::pair{"DI_Title10", 0}, std::pair{"DI_Title1", 3},
                             std::pair{"DI_Chapter10", 1}, std::pair{"DI_Chapter1", 2}})
    if (auto* d = panel->findChild<TFT_DigitalImage*>(name)) d->ShowDigit(digit);

  main->move(300, 60);
  main->show();
  shots::Pump(200);
  if (QWidget* strip = bar->parentWidget()) bar->move((strip->width() - bar->width()) / 2, 0);

  panel->move(300, 600);
  panel->show();

  // The play list page of the side panel, docked at the main window's left.
  for (QWidget* list :
       {static_cast<QWidget*>(side->MyBookmark), static_cast<QWidget*>(side->MySnapshot),
        static_cast<QWidget*>(side->MyTVList)})
    list->hide();
  for (const char* n : {"Image_Title_Bookmark", "Image_Title_Snapshot", "Image_Title_TV"})
    if (auto* w = side->findChild<QWidget*>(n)) w->hide();
  side->resize(side->width(), main->height());
  side->move(main->x() - side->width(), main->y());
  side->show();
  shots::Pump(400);

  bool saved = Save(Shot(main), out + "-main.png");
  saved = Save(Shot(panel), out + "-panel.png") && saved;
  saved = Save(Shot(bar), out + "-bar.png") && saved;
  saved = Save(Shot(side), out + "-side.png") && saved;
  saved = Save(StateSheet(bar, {"skImageButton_Play", "skImageButton_Pause", "skImageButton_Stop",
                                "skImageButton_Mute", "skImageButton_Ex"}),
               out + "-states.png") &&
          saved;
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QImage root = screen->grabWindow(0).toImage();
    if (!root.isNull() && root.width() > 1) saved = Save(root, out + "-screen.png") && saved;
  }

  // Full screen: the bar moves into the full-screen strip and slides up.
  TFT_LumoraDVD_FullScreenForm* full = FT_LumoraDVD_FullScreenForm;
  side->hide();
  panel->hide();
  full->setGeometry(0, 0, 1024, 600);
  bar->setParent(full->Panel_ControlPanel);
  ApplyFrameSkin(bar, folder);
  ReapplyButtonShapes(bar, folder);
  ShowPlaying(bar);
  full->Panel_ControlPanel->setFixedHeight(main->i_ControlPanelHeight);
  full->show();
  shots::Pump(200);
  bar->move((full->Panel_ControlPanel->width() - bar->width()) / 2, 0);
  bar->show();
  shots::Pump(300);
  QImage fs = Shot(full);
  saved = Save(fs.copy(0, fs.height() - 160, fs.width(), 160), out + "-fullscreen.png") && saved;

  delete FT_LumoraDVD_FullScreenForm;
  delete FT_LumoraDVD_SubForm;
  delete FT_LumoraDVD_ShadowForm;
  delete FT_LumoraDVD_OperationForm;
  delete FT_LumoraDVD_MainForm;
  return ok && saved ? 0 : 1;
}

// Shows the settings dialog on each of its pages and saves what the screen shows, for looking
// at the dialog at any scale (QT_SCALE_FACTOR). Usage: settings_screens OUTDIR
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdio>

#include "platform/Profile.h"
#include "platform/ProgramFolder.h"
#include "player/core/Ft_lumoradvdstate.h"
#include "player/settings/Ft_lumoradvdsetupform.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
    return 2;
  }
  QTemporaryDir home;
  qputenv("LUMORA_HOME", home.path().toUtf8());
  QApplication app(argc, argv);
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);
  // The shipped skins and a short channel list, as a user would have them.
  if (const char* bin = std::getenv("LUMORA_BIN_DIR"))
    QFile::link(QString(bin) + "/Skin", home.path() + "/Skin");
  plat::ProfileFile ini(plat::ProgramFolder() + "TVChannel.ini");
  ini.set("TVGeneral", "Count", "3");
  const char* names[] = {"News", "Movies", "Sport"};
  for (int k = 1; k <= 3; ++k) {
    const std::string K = std::to_string(k);
    ini.set("TVChannel", "ChannelName" + K, names[k - 1]);
    ini.set("TVChannel", "ChannelIndex" + K, std::to_string(k * 3 - 1));
    ini.set("TVChannel", "ChannelFavorite" + K, k == 2 ? "Y" : "N");
  }
  ini.save();
  CurrentSnapshotPath = plat::ProgramFolder() + "Snapshot/";
  CurrentSkinPath = plat::SkinRootFolder() + "Default/";
  l_Contrast = l_Saturation = 10;

  for (int page = 0; page < 3; ++page) {
    auto* d = new TFT_LumoraDVD_SetupForm();
    d->SelectPage(page);
    d->show();
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 700) app.processEvents(QEventLoop::AllEvents, 50);
    const QPixmap shot = d->grab();
    const QString file = out + QString("/setup-page%1.png").arg(page + 1);
    shot.save(file);
    std::printf("%s logical %dx%d, pixels %dx%d\n", qPrintable(file), d->width(), d->height(),
                shot.width(), shot.height());
    delete d;
  }
  return 0;
}

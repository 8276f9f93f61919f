// skingen OUTPUT_FOLDER [SKIN...]: draws the shipped skins into OUTPUT_FOLDER/<Name>/.
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Skins.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: skingen OUTPUT_FOLDER [Default] [Aqua] [Graphite]\n");
    return 2;
  }
  // Drawing text needs a GUI application, never a display.
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qargc = 1;
  QGuiApplication app(qargc, argv);
  const QString root = QString::fromLocal8Bit(argv[1]);
  auto wanted = [&](const char* name) {
    if (argc == 2) return true;
    for (int i = 2; i < argc; ++i)
      if (std::strcmp(argv[i], name) == 0) return true;
    return false;
  };
  bool ok = true;
  if (wanted("Default")) ok = skingen::BuildDefaultSkin(root) && ok;
  if (wanted("Aqua")) ok = skingen::BuildAquaSkin(root) && ok;
  if (wanted("Graphite")) ok = skingen::BuildGraphiteSkin(root) && ok;
  return ok ? 0 : 1;
}

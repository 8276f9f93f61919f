#include "player/skin/SkinCursors.h"

#include <map>

#include "platform/Cursor.h"
#include "player/skin/SkinRecord.h"

namespace {

std::map<int, QCursor>& Registry() {
  static std::map<int, QCursor> cursors;
  return cursors;
}

}  // namespace

int LoadSkinCursors(const std::string& skinFolder) {
  static const char* const kFiles[7] = {"MoveWE.cur", "MoveNS.cur", "DragWE.cur", "DragNS.cur",
                                        "Resize.cur", "Press.cur",  "Zoom.cur"};
  const std::string folder = skin::NormaliseFolder(skinFolder);
  int loaded = 0;
  for (int i = 0; i < 7; ++i) {
    const int number = kCursorMoveWE + i;
    Registry().erase(number);
    std::string path = skin::SkinFilePath(folder, std::string("Cursor/") + kFiles[i]);
    QCursor cursor;
    if (skin::SkinFileExists(path) && plat::LoadCursorFile(path, cursor)) {
      Registry()[number] = cursor;
      ++loaded;
    }
  }
  return loaded;
}

QCursor SkinCursor(int number) {
  auto it = Registry().find(number);
  return it == Registry().end() ? QCursor(Qt::ArrowCursor) : it->second;
}

bool HasSkinCursor(int number) { return Registry().count(number) > 0; }

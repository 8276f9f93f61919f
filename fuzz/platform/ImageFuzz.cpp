// Bitmap and cursor loaders on arbitrary bytes.
#include <QGuiApplication>
#include <cstddef>
#include <cstdint>

#include "platform/Bitmap.h"
#include "platform/Cursor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static int argc = 1;
  static char name[] = "fuzz";
  static char* argv[] = {name, nullptr};
  static QGuiApplication* app = new QGuiApplication(argc, argv);
  (void)app;
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QImage img = plat::BitmapFromData(bytes);
  (void)img;
  QCursor c;
  plat::CursorFromData(bytes, c);
  return 0;
}

// What every screenshot tool does before it draws: a private LUMORA_HOME and message boxes
// answered on stderr instead of waiting for a click. The windows come from CreatePlayerWindows.
#pragma once

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

#include "platform/MessageBox.h"
#include "player/core/PlayerWindows.h"

namespace shots {

// Lets the windows lay out and paint for ms milliseconds.
inline void Pump(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Points the player at home and makes the folder OUTPUT_PREFIX names; call after QApplication.
inline void UsePrivateHome(const QTemporaryDir& home, const QString& outputPrefix) {
  qputenv("LUMORA_HOME", home.path().toUtf8() + "/");
  plat::SetMessageBoxDouble([](const plat::MessageBoxRecord& r) {
    std::fprintf(stderr, "box: %s\n", r.text.c_str());
    return plat::IDOK;
  });
  QDir().mkpath(QFileInfo(outputPrefix).absolutePath());
}

}  // namespace shots

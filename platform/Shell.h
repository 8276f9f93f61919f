// Desktop services: links, pointer confinement and the screen saver.
#pragma once

#include <QPoint>
#include <QRect>
#include <functional>
#include <string>

namespace plat {

// Opens a web or mailto: link with the desktop's default program.
bool OpenUrl(const std::string& url);
// Tests: receive the links instead of the desktop; an empty function restores it.
void SetOpenUrlDouble(std::function<bool(const std::string& url)> open);

// Keeps the mouse pointer inside a screen rectangle (null releases it). The pointer is pulled
// back whenever it leaves, as the desktop offers no hard confinement to ordinary windows.
void ClipCursor(const QRect* screenRect);
bool CursorClip(QRect& out);  // false when the pointer is free
// Where a pointer at p is put back to so it lies inside r.
QPoint ClampIntoRect(const QPoint& p, const QRect& r);

// Keeps the screen saver off while inhibit is true (org.freedesktop.ScreenSaver over D-Bus,
// or the desktop portal where no screen saver answers). Never waits for the bus; false when
// there is no session bus, which is not an error for the player.
bool InhibitScreenSaver(bool inhibit);
// Whether the player currently asks for the screen saver to stay off.
bool ScreenSaverInhibited();

}  // namespace plat

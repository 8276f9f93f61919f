// The skin's cursors, registered under fixed numbers 1001 to 1007 (MoveWE, MoveNS, DragWE,
// DragNS, Resize, Press, Zoom). A number without a loaded file gives the default arrow.
#pragma once

#include <QCursor>
#include <string>

constexpr int kCursorMoveWE = 1001;
constexpr int kCursorMoveNS = 1002;
constexpr int kCursorDragWE = 1003;
constexpr int kCursorDragNS = 1004;
constexpr int kCursorResize = 1005;
constexpr int kCursorPress = 1006;
constexpr int kCursorZoom = 1007;

// Loads "Cursor/<name>.cur" of the skin folder for each number; a missing or unreadable
// file puts the default arrow back for that number. Returns how many files loaded.
int LoadSkinCursors(const std::string& skinFolder);
QCursor SkinCursor(int number);
bool HasSkinCursor(int number);

// BMP files and case-insensitive file lookup.
#pragma once

#include <QImage>
#include <string>

namespace plat {

// Null QImage on failure (any depth Qt reads); falls back to a case-insensitive lookup.
QImage LoadBitmap(const std::string& path);
// Decodes a picture held in memory (the file loader and the fuzzer use it).
QImage BitmapFromData(const QByteArray& data);
// 24-bit BMP, written whole (atomically) before returning.
bool SaveBitmap(const QImage& img, const std::string& path);
// Exact path if it exists, else a case-insensitive match of each component ('\' read as '/');
// "" if none.
std::string FindFileNoCase(const std::string& path);

}  // namespace plat

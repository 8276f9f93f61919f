// Cursors from .cur/.ico files.
#pragma once

#include <QCursor>
#include <string>

namespace plat {

// .cur/.ico via Qt's ico reader; the hot spot is read from the file's directory entry.
bool LoadCursorFile(const std::string& path, QCursor& out);
// Same from bytes already in memory (used by the file loader and the fuzzer).
bool CursorFromData(const QByteArray& data, QCursor& out);

}  // namespace plat

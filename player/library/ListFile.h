// Reading and writing the side panel's list files: plain text, CR LF lines, written whole
// and atomically, read only as far as they make sense.
#pragma once

#include <QString>
#include <string>
#include <vector>

namespace listfile {

// Larger list files are refused: no real list comes near it, and reading one would stall
// the start for a long time.
constexpr qint64 kMaxListBytes = 16 * 1024 * 1024;

struct ReadResult {
  std::vector<QString> lines;  // the readable lines, up to the first that is not text
  bool exists = false;
  bool damaged = false;  // something was refused or cut off
  QString problem;       // what was wrong, for the user
};

// Lines end with CR LF or LF. Reading stops at the first line holding a NUL or bytes that
// are not UTF-8.
ReadResult ReadLines(const std::string& path);

// Leading and trailing blanks and control characters removed.
QString Trimmed(const QString& s);

// Copies the file as it is to path + ".damaged" (replacing an older copy) so a later save
// cannot destroy what the user may still want. False when the copy failed.
bool KeepDamaged(const std::string& path);

// The whole text with CR LF after every line, replacing the file in one step.
bool WriteLines(const std::string& path, const std::vector<QString>& lines);

// Why a file could not be written into folder, in words for the user.
QString WriteFailureReason(const QString& folder);

}  // namespace listfile

#include "player/skin/SkinRecord.h"

#include <QFileInfo>
#include <algorithm>
#include <cctype>
#include <climits>

#include "platform/Bitmap.h"
#include "platform/Profile.h"

namespace skin {

ControlKind KindOfClass(std::string_view name) {
  if (name == "TskImageButton") return ControlKind::ImageButton;
  if (name == "TImage") return ControlKind::Image;
  if (name == "TFT_ProgressBar") return ControlKind::ProgressBar;
  if (name == "TFT_DynamicImageButton") return ControlKind::DynamicImageButton;
  if (name == "TFT_DigitalImage") return ControlKind::DigitalImage;
  if (name == "TFT_PlayList") return ControlKind::PlayList;
  if (name == "TFT_Bookmark") return ControlKind::Bookmark;
  if (name == "TFT_Snapshot") return ControlKind::Snapshot;
  return ControlKind::Other;
}

bool IsFrameKind(ControlKind kind) {
  switch (kind) {
    case ControlKind::ImageButton:
    case ControlKind::Image:
    case ControlKind::ProgressBar:
    case ControlKind::DynamicImageButton:
    case ControlKind::DigitalImage:
      return true;
    default:
      return false;
  }
}

ValueWord ClassifyValue(std::string_view value, ControlKind kind) {
  if (value == "Wrong") return ValueWord::Wrong;
  if (value == "Ignore") return ValueWord::Ignore;
  if (value == "Invisible" &&
      (kind == ControlKind::ImageButton || kind == ControlKind::DynamicImageButton))
    return ValueWord::Invisible;
  if (value == "Clear" && kind == ControlKind::Image) return ValueWord::Clear;
  return ValueWord::Record;
}

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

std::string RecordField(std::string_view value, int n) {
  if (n < 1) return std::string();
  std::string_view rest = value;
  // Skipping stops changing the text once the commas run out.
  for (int i = 1; i < n; ++i) {
    size_t comma = rest.find(',');
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  size_t comma = rest.find(',');
  if (comma == std::string_view::npos) return std::string();
  return std::string(Trim(rest.substr(0, comma)));
}

long RecordNumber(std::string_view field) {
  size_t i = 0;
  while (i < field.size() && std::isspace(static_cast<unsigned char>(field[i]))) ++i;
  bool negative = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
    negative = field[i] == '-';
    ++i;
  }
  long result = 0;
  bool saturated = false;
  for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
    int digit = field[i] - '0';
    if (saturated) continue;
    if (!negative) {
      if (result > (LONG_MAX - digit) / 10) {
        result = LONG_MAX;
        saturated = true;
      } else {
        result = result * 10 + digit;
      }
    } else {
      if (result < (LONG_MIN + digit) / 10) {
        result = LONG_MIN;
        saturated = true;
      } else {
        result = result * 10 - digit;
      }
    }
  }
  return result;
}

int RecordInt(std::string_view value, int n) {
  long v = RecordNumber(RecordField(value, n));
  return static_cast<int>(std::clamp<long>(v, INT_MIN, INT_MAX));
}

bool RecordFlag(std::string_view value, int n) { return RecordNumber(RecordField(value, n)) != 0; }

std::string NormaliseFolder(const std::string& folder) {
  std::string f = folder;
  std::replace(f.begin(), f.end(), '\\', '/');
  if (f.empty() || f.back() != '/') f += '/';
  return f;
}

std::string SkinFilePath(const std::string& folder, std::string_view field) {
  std::string path = folder + std::string(field);
  std::replace(path.begin(), path.end(), '\\', '/');
  if (field.empty() || QFileInfo::exists(QString::fromStdString(path))) return path;
  std::string found = plat::FindFileNoCase(path);
  return found.empty() ? path : found;
}

bool SkinFileExists(const std::string& path) {
  return !path.empty() && QFileInfo(QString::fromStdString(path)).isFile();
}

int ReadIniInteger(const plat::ProfileFile& ini, const std::string& section, const std::string& key,
                   int def) {
  if (!ini.has(section, key)) return def;
  std::string text = std::string(Trim(ini.get(section, key)));
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  int base = 10;
  if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  } else if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  }
  if (i >= text.size()) return def;
  long long v = 0;
  for (; i < text.size(); ++i) {
    int d;
    char c = text[i];
    if (c >= '0' && c <= '9') {
      d = c - '0';
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      d = c - 'a' + 10;
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      d = c - 'A' + 10;
    } else {
      return def;
    }
    v = v * base + d;
    if (v > 0xFFFFFFFFLL) return def;
  }
  if (base == 16 && !negative) return static_cast<int>(static_cast<uint32_t>(v));
  if (negative) v = -v;
  if (v < INT_MIN || v > INT_MAX) return def;
  return static_cast<int>(v);
}

}  // namespace skin

#include "platform/Profile.h"

#include <QString>
#include <climits>
#include <cstdint>
#include <fstream>
#include <mutex>
#include <sstream>

namespace plat {
namespace {

// A stray CR (a file cut after its last CR) counts as a blank too.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r'; }

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool IsAscii(const std::string& s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(const std::string& a, const std::string& b) {
  if (IsAscii(a) && IsAscii(b)) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    return true;
  }
  return QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()))
             .compare(QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size())),
                      Qt::CaseInsensitive) == 0;
}

// Cuts after kProfileValueMax characters without splitting a UTF-8 sequence.
std::string Cap(std::string s) {
  if (s.size() <= kProfileValueMax) return s;
  size_t chars = 0, i = 0;
  while (i < s.size()) {
    if (chars == kProfileValueMax) {
      s.resize(i);
      break;
    }
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    i += len;
    ++chars;
  }
  return s;
}

// Blanks trimmed, then one pair of matching enclosing quotes removed.
std::string CleanValue(const std::string& raw) {
  std::string v = Trim(raw);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return Cap(v);
}

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

// Guards read-modify-write of profile files within this process.
std::mutex& WriteMutex() {
  static std::mutex m;
  return m;
}

bool ReadWholeFile(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  out = ss.str();
  return true;
}

}  // namespace

int ProfileTextToInt(const std::string& text, int def) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    size_t j = i + 2;
    uint32_t v = 0;
    bool any = false;
    for (; j < n; ++j) {
      char c = text[j];
      int d = (c >= '0' && c <= '9')   ? c - '0'
              : (c >= 'a' && c <= 'f') ? c - 'a' + 10
              : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                       : -1;
      if (d < 0) break;
      v = (v << 4) | static_cast<uint32_t>(d);  // wraps to 32 bits: 0xFFFFFFFF is -1
      any = true;
    }
    if (any) {
      int32_t s = static_cast<int32_t>(v);
      return negative ? static_cast<int>(0u - static_cast<uint32_t>(s)) : s;
    }
    return 0;  // "0x" alone: the leading 0 is a digit
  }
  int64_t v = 0;
  bool any = false;
  for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (v <= INT64_MAX / 20) v = v * 10 + (text[i] - '0');
    any = true;
  }
  if (!any) return def;
  if (negative) v = -v;
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

ProfileFile::Line ProfileFile::classify(const std::string& raw) {
  Line l;
  l.raw = raw;
  size_t i = 0;
  while (i < raw.size() && IsBlank(raw[i])) ++i;
  if (i == raw.size()) return l;
  if (raw[i] == '[') {
    size_t close = raw.find(']', i + 1);
    l.kind = 1;
    l.name =
        Trim(raw.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1));
    return l;
  }
  if (raw[i] == ';' || raw[i] == '#') return l;  // comment
  size_t eq = raw.find('=', i);
  if (eq == std::string::npos) return l;
  l.kind = 2;
  l.name = Trim(raw.substr(i, eq - i));
  return l;
}

bool ProfileFile::load(const std::string& path) {
  path_ = path;
  std::string text;
  if (!ReadWholeFile(path, text)) {
    parse(std::string());
    return false;
  }
  parse(text);
  return true;
}

void ProfileFile::parse(const std::string& input) {
  lines_.clear();
  std::string text = input;
  bom_ = text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0;
  if (bom_) text.erase(0, 3);
  size_t firstNl = text.find('\n');
  crlf_ = firstNl == std::string::npos || (firstNl > 0 && text[firstNl - 1] == '\r');
  finalNewline_ = text.empty() || text.back() == '\n';
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    size_t end = nl == std::string::npos ? text.size() : nl;
    size_t contentEnd = end;
    // A CR LF file loses the CR of each line end; an LF file keeps every byte of its lines.
    if (crlf_ && nl != std::string::npos && contentEnd > pos && text[contentEnd - 1] == '\r')
      --contentEnd;
    lines_.push_back(classify(text.substr(pos, contentEnd - pos)));
    if (nl == std::string::npos) break;
    pos = nl + 1;
  }
}

int ProfileFile::findSection(const std::string& section) const {
  for (size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].kind == 1 && EqualNoCase(lines_[i].name, section)) return static_cast<int>(i);
  return -1;
}

int ProfileFile::sectionEnd(int header) const {
  size_t i = static_cast<size_t>(header) + 1;
  while (i < lines_.size() && lines_[i].kind != 1) ++i;
  return static_cast<int>(i);
}

int ProfileFile::findKey(int header, const std::string& key) const {
  int end = sectionEnd(header);
  for (int i = header + 1; i < end; ++i)
    if (lines_[i].kind == 2 && EqualNoCase(lines_[i].name, key)) return i;
  return -1;
}

bool ProfileFile::hasSection(const std::string& section) const { return findSection(section) >= 0; }

bool ProfileFile::has(const std::string& section, const std::string& key) const {
  int h = findSection(section);
  return h >= 0 && findKey(h, key) >= 0;
}

std::string ProfileFile::get(const std::string& section, const std::string& key,
                             const std::string& def) const {
  int h = findSection(section);
  int k = h >= 0 ? findKey(h, key) : -1;
  if (k < 0) return Cap(def);
  const std::string& raw = lines_[k].raw;
  return CleanValue(raw.substr(raw.find('=') + 1));
}

int ProfileFile::getInt(const std::string& section, const std::string& key, int def) const {
  if (!has(section, key)) return def;
  return ProfileTextToInt(get(section, key), def);
}

void ProfileFile::set(const std::string& section, const std::string& key,
                      const std::string& value) {
  int h = findSection(section);
  if (h < 0) {
    lines_.push_back(classify("[" + section + "]"));
    lines_.push_back(classify(key + "=" + value));
    finalNewline_ = true;
    return;
  }
  int k = findKey(h, key);
  if (k >= 0) {
    // Keep the stored spelling and indentation of the key.
    const std::string& raw = lines_[k].raw;
    std::string head = raw.substr(0, raw.find('='));
    while (!head.empty() && IsBlank(head.back())) head.pop_back();
    lines_[k] = classify(head + "=" + value);
    return;
  }
  // After the section's last non-blank line, so blank separators stay before the next header.
  int end = sectionEnd(h);
  int at = end;
  while (at > h + 1 && Trim(lines_[at - 1].raw).empty()) --at;
  lines_.insert(lines_.begin() + at, classify(key + "=" + value));
  if (at == static_cast<int>(lines_.size()) - 1) finalNewline_ = true;
}

bool ProfileFile::remove(const std::string& section, const std::string& key) {
  int h = findSection(section);
  int k = h >= 0 ? findKey(h, key) : -1;
  if (k < 0) return false;
  lines_.erase(lines_.begin() + k);
  return true;
}

bool ProfileFile::removeSection(const std::string& section) {
  int h = findSection(section);
  if (h < 0) return false;
  lines_.erase(lines_.begin() + h, lines_.begin() + sectionEnd(h));
  return true;
}

std::vector<std::string> ProfileFile::sectionNames() const {
  std::vector<std::string> out;
  for (const Line& l : lines_) {
    if (l.kind != 1) continue;
    bool seen = false;
    for (const auto& s : out) seen = seen || EqualNoCase(s, l.name);
    if (!seen) out.push_back(Cap(l.name));
  }
  return out;
}

std::vector<std::pair<std::string, std::string>> ProfileFile::section(
    const std::string& section) const {
  std::vector<std::pair<std::string, std::string>> out;
  int h = findSection(section);
  if (h < 0) return out;
  int end = sectionEnd(h);
  for (int i = h + 1; i < end; ++i) {
    if (lines_[i].kind != 2) continue;
    const std::string& raw = lines_[i].raw;
    out.emplace_back(lines_[i].name, CleanValue(raw.substr(raw.find('=') + 1)));
  }
  return out;
}

std::string ProfileFile::text() const {
  const char* eol = crlf_ ? "\r\n" : "\n";
  std::string out;
  if (bom_) out = "\xEF\xBB\xBF";
  for (size_t i = 0; i < lines_.size(); ++i) {
    out += lines_[i].raw;
    if (i + 1 < lines_.size() || finalNewline_) out += eol;
  }
  return out;
}

bool ProfileFile::save() const { return !path_.empty() && WriteFileAtomically(path_, text()); }

bool ProfileFile::saveAs(const std::string& path) {
  path_ = path;
  return save();
}

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& def, const std::string& file) {
  ProfileFile p(file);
  return p.get(section, key, def);
}

int GetPrivateProfileInt(const std::string& section, const std::string& key, int def,
                         const std::string& file) {
  ProfileFile p(file);
  return p.getInt(section, key, def);
}

bool WritePrivateProfileString(const std::string& section, const std::string* key,
                               const std::string* value, const std::string& file) {
  // A line break in a name or value would split the line and plant foreign keys or sections.
  if (file.empty() || HasLineBreak(section) || section.find(']') != std::string::npos) return false;
  if (key && (HasLineBreak(*key) || key->find('=') != std::string::npos || Trim(*key).empty()))
    return false;
  if (value && HasLineBreak(*value)) return false;

  std::lock_guard lk(WriteMutex());
  ProfileFile p;
  bool existed = p.load(file);
  const std::string before = p.text();
  if (!key) {
    if (!p.removeSection(section)) return true;
  } else if (!value) {
    if (!p.remove(section, *key)) return true;
  } else {
    p.set(Trim(section), Trim(*key), *value);
  }
  if (existed && p.text() == before) return true;
  return p.save();
}

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& file) {
  return WritePrivateProfileString(section, &key, &value, file);
}

bool WritePrivateProfileString(const std::string& section, const std::string& key, std::nullptr_t,
                               const std::string& file) {
  return WritePrivateProfileString(section, &key, nullptr, file);
}

bool WritePrivateProfileString(const std::string& section, std::nullptr_t, std::nullptr_t,
                               const std::string& file) {
  return WritePrivateProfileString(section, static_cast<const std::string*>(nullptr), nullptr,
                                   file);
}

std::vector<std::string> GetPrivateProfileSectionNames(const std::string& file) {
  ProfileFile p(file);
  return p.sectionNames();
}

std::vector<std::pair<std::string, std::string>> GetPrivateProfileSection(
    const std::string& section, const std::string& file) {
  ProfileFile p(file);
  return p.section(section);
}

}  // namespace plat

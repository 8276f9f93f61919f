// INI profile files with the semantics stored files rely on: case-insensitive sections and
// keys, trimmed values, one pair of enclosing quotes removed, foreign lines kept on write.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace plat {

// Longest value a read returns (a Windows profile buffer of 2048 with its terminator).
constexpr size_t kProfileValueMax = 2047;

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& def, const std::string& file);
// Optional blanks and sign, then decimal digits or 0x hex digits up to the first other
// character; def when the key is missing or has no digits.
int GetPrivateProfileInt(const std::string& section, const std::string& key, int def,
                         const std::string& file);
// key null: delete the section; value null: delete the key. Atomic (temp file + rename).
bool WritePrivateProfileString(const std::string& section, const std::string* key,
                               const std::string* value, const std::string& file);
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& file);
// Literal nullptr deletes, as with the pointer form.
bool WritePrivateProfileString(const std::string& section, const std::string& key, std::nullptr_t,
                               const std::string& file);
bool WritePrivateProfileString(const std::string& section, std::nullptr_t, std::nullptr_t,
                               const std::string& file);
std::vector<std::string> GetPrivateProfileSectionNames(const std::string& file);
std::vector<std::pair<std::string, std::string>> GetPrivateProfileSection(
    const std::string& section, const std::string& file);

// Parses the integer text the way GetPrivateProfileInt does.
int ProfileTextToInt(const std::string& text, int def);

// In-memory profile that keeps every line it does not change.
class ProfileFile {
 public:
  ProfileFile() = default;
  explicit ProfileFile(const std::string& path) { load(path); }

  // A missing file loads as empty (returns false, the model stays usable).
  bool load(const std::string& path);
  void parse(const std::string& text);
  const std::string& path() const { return path_; }
  void setPath(const std::string& path) { path_ = path; }

  bool hasSection(const std::string& section) const;
  bool has(const std::string& section, const std::string& key) const;
  std::string get(const std::string& section, const std::string& key,
                  const std::string& def = std::string()) const;
  int getInt(const std::string& section, const std::string& key, int def) const;
  void set(const std::string& section, const std::string& key, const std::string& value);
  bool remove(const std::string& section, const std::string& key);
  bool removeSection(const std::string& section);
  std::vector<std::string> sectionNames() const;
  std::vector<std::pair<std::string, std::string>> section(const std::string& section) const;

  std::string text() const;
  // Writes the whole file atomically to path() (temp file in the same folder, fsync, rename).
  bool save() const;
  bool saveAs(const std::string& path);

 private:
  struct Line {
    std::string raw;   // exact text without the line ending
    int kind = 0;      // 0 other, 1 section header, 2 key=value
    std::string name;  // section name or key (trimmed)
  };
  int findSection(const std::string& section) const;  // index of header line or -1
  int sectionEnd(int header) const;                   // one past the section's last line
  int findKey(int header, const std::string& key) const;
  static Line classify(const std::string& raw);

  std::vector<Line> lines_;
  std::string path_;
  bool crlf_ = true;
  bool bom_ = false;
  bool finalNewline_ = true;
};

// Writes data to path atomically: temp file in the same folder, fsync, rename.
// A symbolic link at path is followed (its target gets the new contents)
// unless followLink is false; then the link itself is replaced by a new file.
bool WriteFileAtomically(const std::string& path, const std::string& data, bool followLink = true);

// Removes the temporaries an interrupted WriteFileAtomically left for the
// given file names in folder ("<name>.tmp" and eight hex digits): only
// regular files of this user. Returns how many were removed.
int RemoveStaleTemporaries(const std::string& folder, const std::vector<std::string>& names);

}  // namespace plat

// Where files and discs were left when closed before their end, most recent first, so the next
// opening can go on from there. Kept in a small text file beside the other lists.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class ResumeList {
 public:
  static constexpr size_t kMaxEntries = 200;

  struct Entry {
    std::string key;  // a file's path, or "dvd:" with the disc's label and serial
    double seconds = 0;
  };

  // A missing file reads as an empty list; a damaged one keeps only the lines that still make
  // sense (none when the file is not one of ours), and the next save rebuilds it.
  void Load(const std::string& path);
  // Written whole and atomically.
  bool Save(const std::string& path) const;

  const Entry* Find(const std::string& key) const;
  // Moves or adds key to the front; returns the keys that fell off the end of the list.
  std::vector<std::string> Put(const std::string& key, double seconds);
  bool Remove(const std::string& key);
  const std::vector<Entry>& Entries() const { return entries_; }

  // Keys with line breaks or NULs cannot be stored in a line-based file.
  static bool IsStorableKey(const std::string& key);

 private:
  std::vector<Entry> entries_;
};

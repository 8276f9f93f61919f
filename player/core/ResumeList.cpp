#include "player/core/ResumeList.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "platform/Profile.h"

namespace {

const char kHeader[] = "LumoraDVD resume 1";
// Far beyond any film; a larger number is damage, not a position.
constexpr double kMaxSeconds = 1e7;
// The list holds 200 short lines; anything much bigger is not ours.
constexpr qint64 kMaxFileSize = 1 << 20;

}  // namespace

bool ResumeList::IsStorableKey(const std::string& key) {
  return !key.empty() && key.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

void ResumeList::Load(const std::string& path) {
  entries_.clear();
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize) return;
  const QString text = QString::fromUtf8(file.readAll());
  const QStringList lines = text.split('\n');
  if (lines.isEmpty() || lines.first().trimmed() != kHeader) return;
  for (qsizetype i = 1; i < lines.size() && entries_.size() < kMaxEntries; ++i) {
    QString line = lines[i];
    if (line.endsWith('\r')) line.chop(1);
    const qsizetype tab = line.indexOf('\t');
    if (tab <= 0) continue;
    bool ok = false;
    const double seconds = line.left(tab).toDouble(&ok);
    const std::string key = line.mid(tab + 1).toStdString();
    if (!ok || !std::isfinite(seconds) || seconds <= 0 || seconds > kMaxSeconds ||
        !IsStorableKey(key) || Find(key))
      continue;
    entries_.push_back({key, seconds});
  }
}

bool ResumeList::Save(const std::string& path) const {
  std::string data = std::string(kHeader) + "\r\n";
  for (const Entry& e : entries_)
    data += QString::number(e.seconds, 'f', 3).toStdString() + "\t" + e.key + "\r\n";
  return plat::WriteFileAtomically(path, data);
}

const ResumeList::Entry* ResumeList::Find(const std::string& key) const {
  auto it =
      std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.key == key; });
  return it == entries_.end() ? nullptr : &*it;
}

std::vector<std::string> ResumeList::Put(const std::string& key, double seconds) {
  std::vector<std::string> dropped;
  if (!IsStorableKey(key) || !std::isfinite(seconds) || seconds <= 0 || seconds > kMaxSeconds)
    return dropped;
  Remove(key);
  entries_.insert(entries_.begin(), {key, seconds});
  while (entries_.size() > kMaxEntries) {
    dropped.push_back(entries_.back().key);
    entries_.pop_back();
  }
  return dropped;
}

bool ResumeList::Remove(const std::string& key) {
  auto it =
      std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.key == key; });
  if (it == entries_.end()) return false;
  entries_.erase(it);
  return true;
}

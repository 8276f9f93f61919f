#include "player/core/Resume.h"

#include <QDir>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "navdisc/DvdInterfaces.h"
#include "platform/Drives.h"
#include "platform/Profile.h"
#include "platform/ProgramFolder.h"
#include "player/core/EngineApi.h"
#include "player/core/Ft_lumoradvdplay.h"
#include "player/core/Ft_lumoradvdstate.h"
#include "player/core/ResumeList.h"
#include "player/library/TFT_Bookmark.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"

namespace {

const char kDvdPrefix[] = "dvd:";
const char kDvdStream[] = "RESUME";

// What the current playback is remembered under; empty while nothing resumable plays.
std::string g_armedKey;
bool g_skipNext = false;

std::string DvdStateFile(const std::string& key) {
  // The key's label and serial, made safe for a file name.
  std::string name = key.substr(sizeof(kDvdPrefix) - 1);
  for (char& c : name)
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_')) c = '_';
  return plat::ProgramFolder() + "Resume/" + name + ".bmk";
}

bool IsDvdKey(const std::string& key) { return key.rfind(kDvdPrefix, 0) == 0; }

// Where the current playback stands, in seconds, and how long it is. False when it cannot tell
// or when a disc is not inside a title (menus are not resumed).
bool CurrentPosition(double& position, double& length) {
  if (PlayType == ptFile || PlayType == ptPlayList) {
    int32_t percent = 0;
    return GetPlayInfo(&length, &position, &percent);
  }
  if (PlayType == ptDVD) {
    navdisc::IDvdInfo2* info = DvdInfo();
    navdisc::DVD_DOMAIN domain{};
    navdisc::DVD_PLAYBACK_LOCATION2 at{};
    navdisc::DVD_HMSF_TIMECODE total{};
    uint32_t flags = 0;
    if (!info || info->GetCurrentDomain(&domain) < 0 || domain != navdisc::DVD_DOMAIN_Title ||
        info->GetCurrentLocation(&at) < 0 || info->GetTotalTitleTime(&total, &flags) < 0)
      return false;
    auto seconds = [](const navdisc::DVD_HMSF_TIMECODE& t) {
      return t.bHours * 3600.0 + t.bMinutes * 60.0 + t.bSeconds;
    };
    position = seconds(at.TimeCode);
    length = seconds(total);
    return true;
  }
  return false;
}

std::string TimeText(double seconds) {
  const int s = static_cast<int>(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
  return text;
}

void SaveList(const ResumeList& list) {
  QDir().mkpath(QString::fromStdString(plat::ProgramFolder()));
  list.Save(ResumeFilePath());  // an unwritable folder only costs the resume
}

}  // namespace

bool ResumeEnabled() {
  plat::ProfileFile ini;
  ini.load(TFT_LumoraDVD_MainForm::OptionFilePath());
  return ini.getInt("Resume", "Enabled", 1) != 0;
}

std::string ResumeFilePath() { return plat::ProgramFolder() + "Resume.lst"; }

bool WorthResuming(double position, double length) {
  if (!std::isfinite(position) || !std::isfinite(length) || length <= 0) return false;
  // Short pieces scale the margins down so they can still be resumed.
  const double start = std::min(5.0, 0.05 * length);
  const double end = std::min(10.0, 0.05 * length);
  return position >= start && position > 0 && position <= length - end;
}

std::string DiscResumeKey(const std::string& root) {
  std::string label;
  if (!ReadDiscLabel(root, label) || label.empty()) label = "DVD_DISC";
  std::string serial;
  if (!plat::GetDiscSerial(root, serial)) serial = "0";
  return std::string(kDvdPrefix) + label + ":" + serial;
}

void ResumeAfterStart() {
  g_armedKey.clear();
  const bool skip = g_skipNext;
  if (!ResumeEnabled()) return;
  if (PlayType == ptDVD)
    g_armedKey = DiscResumeKey(CurrentPlayPath);
  else if (PlayType == ptFile || PlayType == ptPlayList)
    g_armedKey = CurrentPlayPath;
  if (!ResumeList::IsStorableKey(g_armedKey)) {
    g_armedKey.clear();
    return;
  }
  if (skip) return;

  ResumeList list;
  list.Load(ResumeFilePath());
  const ResumeList::Entry* entry = list.Find(g_armedKey);
  if (!entry) return;
  bool resumed = false;
  if (IsDvdKey(g_armedKey)) {
    const std::string file = DvdStateFile(g_armedKey);
    resumed =
        QFile::exists(QString::fromStdString(file)) && DVDBookmark(file.c_str(), kDvdStream, false);
  } else {
    double length = 0, position = 0;
    int32_t percent = 0;
    // A file that has since become shorter is played from its start.
    resumed = GetPlayInfo(&length, &position, &percent) && WorthResuming(entry->seconds, length) &&
              SetPositions(entry->seconds);
  }
  if (!resumed || !FT_LumoraDVD_MainForm) return;
  // After the caller's own "Play", so the user sees where playback went on.
  const std::string text = "Resume " + TimeText(entry->seconds);
  QTimer::singleShot(0, FT_LumoraDVD_MainForm, [text] {
    if (FT_LumoraDVD_MainForm && PlayType != ptNone) FT_LumoraDVD_MainForm->ShowStatus(text);
  });
}

void RememberPlayPosition() {
  if (g_armedKey.empty()) return;
  const std::string key = g_armedKey;
  g_armedKey.clear();
  if (PlayState != psPlaying && PlayState != psPaused) return;
  double position = 0, length = 0;
  if (!CurrentPosition(position, length)) return;  // a disc in its menus keeps what it had
  if (!ResumeEnabled()) return;

  ResumeList list;
  list.Load(ResumeFilePath());
  if (!WorthResuming(position, length)) {
    // Watched to the end (or barely begun): the next opening starts afresh.
    if (list.Remove(key)) {
      if (IsDvdKey(key)) QFile::remove(QString::fromStdString(DvdStateFile(key)));
      SaveList(list);
    }
    return;
  }
  if (IsDvdKey(key)) {
    const std::string file = DvdStateFile(key);
    QDir().mkpath(QString::fromStdString(plat::ProgramFolder() + "Resume/"));
    if (!DVDBookmark(file.c_str(), kDvdStream, true)) return;
  }
  for (const std::string& dropped : list.Put(key, position))
    if (IsDvdKey(dropped)) QFile::remove(QString::fromStdString(DvdStateFile(dropped)));
  SaveList(list);
}

void SkipResume(bool skip) { g_skipNext = skip; }

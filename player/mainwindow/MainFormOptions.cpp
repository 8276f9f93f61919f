// Option.ini: the user's settings across runs, section GenOption.
#include <QFile>
#include <QLocale>
#include <cmath>
#include <limits>

#include "platform/Profile.h"
#include "platform/ProgramFolder.h"
#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/library/Ft_lumoradvdsubform.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"

namespace {

const char kSection[] = "GenOption";

int ReadInt(const plat::ProfileFile& ini, const char* key, int def) {
  return ini.getInt(kSection, key, def);
}

// The user's decimal separator is what gets written; a file written under
// another locale (or by hand with a point) still reads back.
double ReadDouble(const plat::ProfileFile& ini, const char* key, double def) {
  if (!ini.has(kSection, key)) return def;
  const QString text = QString::fromStdString(ini.get(kSection, key)).trimmed();
  bool ok = false;
  QLocale locale;
  locale.setNumberOptions(QLocale::RejectGroupSeparator);
  double v = locale.toDouble(text, &ok);
  if (!ok) v = QLocale::c().toDouble(text, &ok);
  if (!ok || !std::isfinite(v)) return def;
  return v;
}

std::string ReadPath(const plat::ProfileFile& ini, const char* key, const std::string& def) {
  if (!ini.has(kSection, key)) return def;
  return ini.get(kSection, key);
}

std::string FormatDouble(double v) {
  QLocale locale;
  locale.setNumberOptions(QLocale::OmitGroupSeparator);
  return locale.toString(v, 'g', 15).toStdString();
}

// Held as a double, written as an integer truncated toward zero.
std::string FormatTruncated(double v) {
  if (!std::isfinite(v)) return "0";
  const double lo = std::numeric_limits<int32_t>::min();
  const double hi = std::numeric_limits<int32_t>::max();
  return std::to_string(static_cast<int32_t>(ClampValue(std::trunc(v), lo, hi)));
}

}  // namespace

std::string TFT_LumoraDVD_MainForm::OptionFilePath() {
  return plat::ProgramFolder() + "Option.ini";
}

void TFT_LumoraDVD_MainForm::LoadOptions() {
  plat::ProfileFile ini;
  ini.load(OptionFilePath());  // a missing file reads as an empty one

  l_CurrentVolume = ClampValue(ReadInt(ini, "l_CurrentVolume", 70), 0, 100);
  l_CurrentBalance = ClampValue(ReadInt(ini, "l_CurrentBalance", 0), -50, 50);
  b_DisplayControlPanel = ReadInt(ini, "b_DisplayControlPanel", 0) != 0;
  b_MuteState = ReadInt(ini, "b_MuteState", 0) != 0;
  d_AspectRatio = ClampValue(ReadDouble(ini, "d_AspectRatio", 1.0), 0.1, 10.0);
  MyAspectRatioState = 0;  // every start keeps the picture's proportions
  CurrentSkinPath = ReadPath(ini, "CurrentSkinPath", plat::SkinRootFolder() + "Default/");
  CurrentSnapshotPath = ReadPath(ini, "CurrentSnapshotPath", plat::ProgramFolder() + "Snapshot/");
  l_Bringhtness = ClampValue(ReadInt(ini, "l_Bringhtness", 0), -2550, 2550);
  l_Contrast = ClampValue(ReadInt(ini, "l_Contrast", 10), 0, 100);
  l_Hue = ClampValue(ReadInt(ini, "l_Hue", 0), -1800, 1800);
  l_Saturation = ClampValue(ReadInt(ini, "l_Saturation", 10), 0, 100);
  const bool random = ReadInt(ini, "b_Random", 0) != 0;
  const bool repeat = ReadInt(ini, "b_Repeat", 0) != 0;
  if (FT_LumoraDVD_SubForm) {
    FT_LumoraDVD_SubForm->b_Random = random;
    FT_LumoraDVD_SubForm->b_Repeat = repeat;
  }
  AspectW = static_cast<double>(ReadInt(ini, "AspectW", 640));
  AspectH = static_cast<double>(ReadInt(ini, "AspectH", 480));
}

void TFT_LumoraDVD_MainForm::SaveOptions() {
  // One pass over an in-memory copy and one atomic write: an interrupted
  // exit leaves either the old file or the new one, never half of each.
  plat::ProfileFile ini;
  // A file that exists but cannot be read is left alone rather than
  // replaced by one that has lost its other sections.
  if (!ini.load(OptionFilePath()) && QFile::exists(QString::fromStdString(OptionFilePath())))
    return;
  ini.setPath(OptionFilePath());

  int32_t volume = l_CurrentVolume;
  if (FT_LumoraDVD_OperationForm && FT_LumoraDVD_OperationForm->i_VolumeBeforeMute > volume)
    volume = FT_LumoraDVD_OperationForm->i_VolumeBeforeMute;
  const bool random = FT_LumoraDVD_SubForm && FT_LumoraDVD_SubForm->b_Random;
  const bool repeat = FT_LumoraDVD_SubForm && FT_LumoraDVD_SubForm->b_Repeat;

  ini.set(kSection, "l_CurrentVolume", std::to_string(volume));
  ini.set(kSection, "l_CurrentBalance", std::to_string(l_CurrentBalance));
  ini.set(kSection, "b_MuteState", b_MuteState ? "1" : "0");
  ini.set(kSection, "b_DisplayControlPanel", b_DisplayControlPanel ? "1" : "0");
  ini.set(kSection, "CurrentSkinPath", CurrentSkinPath);
  ini.set(kSection, "d_AspectRatio", FormatDouble(d_AspectRatio));
  ini.set(kSection, "MyAspectRatioState", std::to_string(MyAspectRatioState));
  ini.set(kSection, "CurrentSnapshotPath", CurrentSnapshotPath);
  ini.set(kSection, "l_Bringhtness", std::to_string(l_Bringhtness));
  ini.set(kSection, "l_Contrast", std::to_string(l_Contrast));
  ini.set(kSection, "l_Hue", std::to_string(l_Hue));
  ini.set(kSection, "l_Saturation", std::to_string(l_Saturation));
  ini.set(kSection, "b_Random", random ? "1" : "0");
  ini.set(kSection, "b_Repeat", repeat ? "1" : "0");
  ini.set(kSection, "AspectW", FormatTruncated(AspectW));
  ini.set(kSection, "AspectH", FormatTruncated(AspectH));
  // A folder that cannot be written must not keep the player from quitting.
  ini.save();
}

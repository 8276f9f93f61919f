#include "platform/Locale.h"

#include <QLocale>
#include <cctype>

namespace plat {
namespace {

struct LangEntry {
  char code[3];
  uint32_t lcid;
  QLocale::Language language;
};

// The primary locale each DVD language code stands for in the system's tables.
const LangEntry kLanguages[] = {
    {"ar", 1025, QLocale::Arabic},     {"bg", 1026, QLocale::Bulgarian},
    {"ca", 1027, QLocale::Catalan},    {"zh", 2052, QLocale::Chinese},
    {"cs", 1029, QLocale::Czech},      {"da", 1030, QLocale::Danish},
    {"de", 1031, QLocale::German},     {"el", 1032, QLocale::Greek},
    {"en", 1033, QLocale::English},    {"es", 1034, QLocale::Spanish},
    {"fi", 1035, QLocale::Finnish},    {"fr", 1036, QLocale::French},
    {"he", 1037, QLocale::Hebrew},     {"hu", 1038, QLocale::Hungarian},
    {"is", 1039, QLocale::Icelandic},  {"it", 1040, QLocale::Italian},
    {"ja", 1041, QLocale::Japanese},   {"ko", 1042, QLocale::Korean},
    {"nl", 1043, QLocale::Dutch},      {"no", 1044, QLocale::NorwegianBokmal},
    {"pl", 1045, QLocale::Polish},     {"ro", 1048, QLocale::Romanian},
    {"ru", 1049, QLocale::Russian},    {"hr", 1050, QLocale::Croatian},
    {"sk", 1051, QLocale::Slovak},     {"sv", 1053, QLocale::Swedish},
    {"th", 1054, QLocale::Thai},       {"tr", 1055, QLocale::Turkish},
    {"id", 1057, QLocale::Indonesian}, {"uk", 1058, QLocale::Ukrainian},
    {"sl", 1060, QLocale::Slovenian},  {"vi", 1066, QLocale::Vietnamese},
    {"hi", 1081, QLocale::Hindi},      {"ms", 1086, QLocale::Malay},
    {"pt", 2070, QLocale::Portuguese},
};

}  // namespace

uint32_t LanguageCodeToLcid(const char code[2]) {
  if (!code) return 0;
  char a = static_cast<char>(std::tolower(static_cast<unsigned char>(code[0])));
  char b = static_cast<char>(std::tolower(static_cast<unsigned char>(code[1])));
  for (const auto& e : kLanguages)
    if (e.code[0] == a && e.code[1] == b) return e.lcid;
  return 0;
}

std::string LcidToLanguageCode(uint32_t lcid) {
  for (const auto& e : kLanguages)
    if (e.lcid == lcid) return std::string(e.code, 2);
  return {};
}

std::string LcidToLanguageName(uint32_t lcid) {
  for (const auto& e : kLanguages)
    if (e.lcid == lcid) return QLocale::languageToString(e.language).toStdString();
  return {};
}

std::string LanguageDisplayName(uint32_t lcid) {
  for (const auto& e : kLanguages) {
    if (e.lcid != lcid) continue;
    const QLocale user;
    // The user's own language by its own name ("français" on a French desktop); Qt's native
    // English name carries the country, so English stays "English".
    QString name = (user.language() == e.language && e.language != QLocale::English)
                       ? QLocale(e.language).nativeLanguageName()
                       : QLocale::languageToString(e.language);
    if (name.isEmpty()) name = QLocale::languageToString(e.language);
    // Windows' name buffer holds 50 characters.
    return name.left(50).toStdString();
  }
  return {};
}

std::string UserEnglishLanguageName() {
  const QLocale::Language lang = QLocale().language();
  if (lang == QLocale::C || lang == QLocale::AnyLanguage) return "English";
  return QLocale::languageToString(lang).left(30).toStdString();
}

std::vector<uint32_t> KnownLcids() {
  std::vector<uint32_t> out;
  for (const auto& e : kLanguages) out.push_back(e.lcid);
  return out;
}

}  // namespace plat

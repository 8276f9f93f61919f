// DVD language codes, Windows locale identifiers and language names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// ISO 639-1 two letters (either case) -> Windows LCID; 0 if unknown.
uint32_t LanguageCodeToLcid(const char code[2]);
// LCID -> two-letter code ("" if unknown).
std::string LcidToLanguageCode(uint32_t lcid);
// English name from QLocale ("English", "French"); "" if unknown.
std::string LcidToLanguageName(uint32_t lcid);
std::vector<uint32_t> KnownLcids();
// The language's full name in the user's display language (QLocale's default locale), at most
// 50 characters; "" when the identifier is 0 or unknown. Qt names languages in English or in
// their own tongue, so a language other than the user's own is named in English unless the
// user's language is that language.
std::string LanguageDisplayName(uint32_t lcid);
// English name of the user's default language ("English"); the C locale counts as English.
std::string UserEnglishLanguageName();

}  // namespace plat

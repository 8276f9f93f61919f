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

}  // namespace plat

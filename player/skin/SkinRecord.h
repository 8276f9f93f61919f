// Reading Skin.ini control records: field extraction, numbers, flags, value words and the
// file fields, which name files relative to the skin folder.
#pragma once

#include <string>
#include <string_view>

namespace plat {
class ProfileFile;
}

namespace skin {

// The recognised control kinds, matched by exact class name (a subclass is not its base).
enum class ControlKind {
  Other,
  ImageButton,         // TskImageButton
  Image,               // TImage
  ProgressBar,         // TFT_ProgressBar
  DynamicImageButton,  // TFT_DynamicImageButton
  DigitalImage,        // TFT_DigitalImage
  PlayList,            // TFT_PlayList
  Bookmark,            // TFT_Bookmark
  Snapshot,            // TFT_Snapshot
};

ControlKind KindOfClass(std::string_view className);
// The first five kinds; the control bar looks up only these.
bool IsFrameKind(ControlKind kind);

enum class ValueWord { Record, Wrong, Ignore, Invisible, Clear };

// A value word the kind accepts; a word the kind does not accept reads as a record
// (whose first field then names no file). Words compare exactly, case included.
ValueWord ClassifyValue(std::string_view value, ControlKind kind);

// Field n (1-based) of a record: the text between comma n-1 and comma n, trimmed of every
// character with a code of 32 or below. A field without its ending comma is empty.
std::string RecordField(std::string_view value, int n);

// Decimal number the way strtol reads it: leading white space, optional sign, digits up to
// the first other character; 0 when there are none. Saturates instead of overflowing.
long RecordNumber(std::string_view field);
// Number field n of a record, limited to the int range so geometry stays sane.
int RecordInt(std::string_view value, int n);
bool RecordFlag(std::string_view value, int n);

// The skin folder followed by the field text, '\' read as '/'; a name missing under its exact
// spelling is looked up without regard to case. Returns the path to use.
std::string SkinFilePath(const std::string& folder, std::string_view field);
// A regular file (the skin folder itself, named by an empty field, never counts).
bool SkinFileExists(const std::string& path);

// Folder text with '/' separators and a final '/'.
std::string NormaliseFolder(const std::string& folder);

// An integer key read the way the options are: the whole value must be a decimal integer
// (or 0x hex) with optional sign; anything else counts as absent and gives def.
int ReadIniInteger(const plat::ProfileFile& ini, const std::string& section, const std::string& key,
                   int def);

}  // namespace skin

// The hand-off file a second start writes for the running player, and the
// rule that turns a path inside VIDEO_TS into the DVD's folder.
#pragma once

#include <string>
#include <vector>

// A path naming an .IFO file inside a VIDEO_TS folder becomes the folder that
// holds the DVD; anything else comes back unchanged.
std::string ApplyDVDFolderRule(const std::string& path);

// One argument per line, CR LF, replaced atomically; a link at the name is
// replaced, not followed.
bool WriteHandOffFile(const std::string& file, const std::vector<std::string>& lines);
// Lines ended by CR LF or LF; false when the file cannot be read or is not a
// plausible hand-off: too large, a link, or not a regular file of this user.
bool ReadHandOffFile(const std::string& file, std::vector<std::string>& lines);
bool ParseHandOffText(const std::string& text, std::vector<std::string>& lines);

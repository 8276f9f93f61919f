// Where the program keeps its files.
#pragma once

#include <string>

namespace plat {

// Ends with '/': $LUMORA_HOME if set; else the executable's folder when writable;
// else ~/.local/share/LumoraDVD/ (created).
std::string ProgramFolder();
// Folder holding the installed skins, ends with '/'.
std::string SkinRootFolder();
// The executable's folder, ends with '/'.
std::string ExecutableFolder();
// Makes sure a folder path ends with '/' (and uses '/' instead of '\').
std::string WithTrailingSlash(const std::string& folder);

}  // namespace plat

// Why something was refused (a disc, a file, a skin), for a user to send with a problem
// report. Silent unless LUMORA_LOG=1 is set; the message boxes a user sees stay as they are.
#pragma once

#include <string>

namespace plat {

// True when the environment asks for diagnostics (LUMORA_LOG=1), read on each call so that a
// command-line tool can turn them on for itself.
bool DiagnosticsEnabled();

// Writes "LumoraDVD: <who>: <what>" as one line on stderr when diagnostics are enabled.
void Diagnose(const std::string& who, const std::string& what);

}  // namespace plat

// What the player does with its command line before it becomes the player:
// the long options, and disc addresses turned into paths the open code knows.
#pragma once

#include <string>
#include <vector>

enum class CommandLineAction { kRun, kHelp, kVersion, kError };

// Rewrites args in place for kRun. The "-pf"/"-pd" forms are left exactly as
// given. For kError, error holds the one-line reason.
CommandLineAction PrepareCommandLine(std::vector<std::string>& args, std::string& error);

// "dvd://" + path: the path (a folder, an image or a device); "dvd://" alone:
// the first optical drive. Anything else is returned unchanged.
std::string DiscAddressToPath(const std::string& arg);

// A file or device that holds a whole disc, opened as a DVD rather than a clip.
bool IsDiscImageOrDevice(const std::string& path);

const char* CommandLineUsage();
const char* ProgramVersion();

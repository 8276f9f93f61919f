// The player's entry point, the single-instance hand-off and the command line.
#pragma once

#include <string>
#include <vector>

constexpr char kMainWindowCaption[] = "Lumora DVD Player Main Window";
constexpr char kApplicationTitle[] = "Brivo Player";
constexpr char kHandOffFileName[] = "OpenOtherFile.tmp";

// The whole program: returns the process exit code (-1 for a second start).
int RunPlayer(int argc, char** argv);

// Arguments 1..n of this process, as HandleCommandLine sees them.
const std::vector<std::string>& CommandLineArguments();
void SetCommandLineArguments(std::vector<std::string> args);

// A path naming an .IFO file inside a VIDEO_TS folder becomes the folder that
// holds the DVD; anything else comes back unchanged.
std::string ApplyDVDFolderRule(const std::string& path);

std::string HandOffFilePath();
// One argument per line, CR LF, replaced atomically.
bool WriteHandOffFile(const std::string& file, const std::vector<std::string>& lines);
// Lines ended by CR LF or LF; false when the file cannot be read or is not a
// plausible hand-off (too large).
bool ReadHandOffFile(const std::string& file, std::vector<std::string>& lines);
bool ParseHandOffText(const std::string& text, std::vector<std::string>& lines);

// Writes the state a hand-off produced to $LUMORA_TEST_REPORT, if set.
void WriteTestReport(const char* event);

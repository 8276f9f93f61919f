// The player's entry point, the single-instance hand-off and the command line.
#pragma once

#include <string>
#include <vector>

constexpr char kMainWindowCaption[] = "Lumora DVD Player Main Window";
constexpr char kApplicationTitle[] = "Brivo Player";
constexpr char kHandOffFileName[] = "OpenOtherFile.tmp";

// The whole program: returns the process exit code (-1 for a second start).
int RunPlayer(int argc, char** argv);

// A terminating signal has arrived; the start sequence stops at its next step.
bool TerminationRequested();

// Arguments 1..n of this process, as HandleCommandLine sees them.
const std::vector<std::string>& CommandLineArguments();
void SetCommandLineArguments(std::vector<std::string> args);

#include "player/core/HandOffFile.h"

std::string HandOffFilePath();

// Writes the state a hand-off produced to $LUMORA_TEST_REPORT, if set.
void WriteTestReport(const char* event);

// Going on where the user left off: a file or disc closed before its end is remembered, and the
// next opening starts from there with a status text saying so.
#pragma once

#include <string>

// Option.ini [Resume] Enabled, on unless set to 0.
bool ResumeEnabled();
std::string ResumeFilePath();
// Whether a stop at position (seconds) of something length long is worth coming back to: not
// at its very start and not in its last stretch.
bool WorthResuming(double position, double length);
// The key a disc is remembered under: its label and its serial.
std::string DiscResumeKey(const std::string& root);

// Called by the controller right after a successful start: remembers what plays and goes on
// from where it was left.
void ResumeAfterStart();
// Called before the engines stop (and when the main window closes): keeps the position, or
// forgets it when the end or the start was reached.
void RememberPlayPosition();
// While set, starts go where their caller takes them (a bookmark), not to the remembered place.
void SkipResume(bool skip);

// Checks a DVD-Video volume before libdvdnav plays it. libdvdnav trusts the disc's navigation
// data and stops the whole process through assertions when program maps, cell tables or
// navigation commands point where they must not; a damaged or hostile disc must fail to open
// instead. The checks follow what the navigator does with the data: every program chain of the
// video manager and the title sets, the title and part tables, the pre, post and cell commands
// and the button commands of the menus, each judged in the domain it runs in.
#pragma once

#include <cstdint>
#include <string>

namespace navdisc {

// path: a VIDEO_TS folder, the folder holding it, an ISO image or a device. True when the
// volume can be handed to libdvdnav; otherwise false with the first problem found in *why
// (may be null). Runs in a child process (libdvdread itself crashes on some damaged IFO
// files): the structure checks below, then libdvdnav's start-up path and the start of each
// title. A check that crashes, or takes longer than 30 seconds, refuses the disc.
bool ValidateDisc(const std::string& path, std::string* why);

// The structure checks alone, in the calling process: the IFO files and the menu VOBs'
// navigation packets. For fuzzing and tests; a hostile IFO may crash libdvdread in here.
bool CheckDiscStructure(const std::string& path, std::string* why);

// libdvdnav's start-up path and the first blocks of each title, in the calling process; false
// with a reason when libdvdnav cannot open the disc. For fuzzing the checks above: a crash in
// here after CheckDiscStructure passed is a gap in them.
bool DryRunDisc(const std::string& path, std::string& why);

// Where the navigator stands when a button is pressed.
enum class NavDomain { kFirstPlay, kVideoManagerMenu, kTitleSetMenu, kTitle };

// True when the 8-byte navigation command of a button may run in domain: libdvdnav asserts on
// jumps and calls made from the wrong domain (a title jump from inside a title, a title-set
// jump from the video manager, a call from a menu), which a stale or hostile button brings
// about. Commands that do not decode are refused too.
bool ButtonCommandFitsDomain(const uint8_t command[8], NavDomain domain);

}  // namespace navdisc

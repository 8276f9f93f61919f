// Checks a DVD-Video volume before libdvdnav plays it. libdvdnav trusts the disc's navigation
// data and stops the whole process through assertions when program maps, cell tables or
// navigation commands point where they must not; a damaged or hostile disc must fail to open
// instead, or be played only where it is sound. The checks follow what the navigator does with
// the data: every program chain of the video manager and the title sets, the title and part
// tables, the pre, post and cell commands and the button commands of the menus, each judged in
// the domain it runs in. Damage the navigator would walk into by itself (the start-up path, a
// command that jumps into a damaged part) still refuses the disc.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace navdisc {

// The parts of an accepted disc that may be played. A damaged title set, or a title naming
// what is not there, is left out instead of refusing the whole disc; menus whose pictures or
// buttons cannot be read are skipped and the disc starts at its first playable title.
struct DiscLimits {
  bool menus = true;            // the first-play program and the menus may be shown
  bool firstPlay = true;        // false: the first-play program is damaged and must never run;
                                // the disc is seen without it (FirstPlayBypass) and starts at
                                // its first playable title
  std::vector<uint8_t> titles;  // [t - 1]: 1 when title t may be played
  std::vector<uint8_t> sets;    // [s - 1]: 1 when title set s may be entered

  bool Whole() const;
  bool TitleAllowed(int title) const;
  bool SetAllowed(int set) const;
  int FirstTitle() const;  // 0 when none may be played
  // As one line and back, for the answer of the checking process.
  std::string Encode() const;
  static bool Decode(const std::string& text, DiscLimits& limits);
};

// path: a VIDEO_TS folder, the folder holding it, an ISO image or a device. True when the
// volume can be handed to libdvdnav; otherwise false with the first problem found in *why
// (may be null). Runs in a child process (libdvdread itself crashes on some damaged IFO
// files): the structure checks below, then libdvdnav's start-up path and the start of each
// title. A check that crashes, or takes longer than 30 seconds, refuses the disc.
// Without limits any damage refuses the disc. With limits, only damage that leaves nothing to
// play does; *limits then tells what to keep away from, and *why names the first damage.
bool ValidateDisc(const std::string& path, std::string* why, DiscLimits* limits = nullptr);

// The structure checks alone, in the calling process: the IFO files and the menu VOBs'
// navigation packets. For fuzzing and tests; a hostile IFO may crash libdvdread in here.
bool CheckDiscStructure(const std::string& path, std::string* why, DiscLimits* limits = nullptr);

// libdvdnav's start-up path and the first blocks of each title allowed, in the calling process;
// false with a reason when libdvdnav cannot open the disc. For fuzzing the checks above: a crash
// in here after CheckDiscStructure passed is a gap in them.
bool DryRunDisc(const std::string& path, std::string& why, const DiscLimits* limits = nullptr);

// Where the navigator stands when a button is pressed.
enum class NavDomain { kFirstPlay, kVideoManagerMenu, kTitleSetMenu, kTitle };

// True when the 8-byte navigation command of a button may run in domain: libdvdnav asserts on
// jumps and calls made from the wrong domain (a title jump from inside a title, a title-set
// jump from the video manager, a call from a menu), which a stale or hostile button brings
// about. Commands that do not decode are refused too.
bool ButtonCommandFitsDomain(const uint8_t command[8], NavDomain domain);

// The same, and the command does not lead into a title or title set that limits bar.
bool ButtonCommandAllowed(const uint8_t command[8], NavDomain domain, const DiscLimits& limits);

}  // namespace navdisc

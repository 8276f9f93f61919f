// The navigation commands of a DVD as the navigator decodes them: the link a command may take.
#pragma once

#include <dvdread/ifo_types.h>

namespace navdisc::cmd {

// The navigator's link and jump kinds. The first block carries the values of the DVD
// "link sub-instruction" codes; codes without a meaning (4, 8, 14, 15) leave libdvdnav's
// command loop spinning forever, so they are refused.
enum LinkKind {
  kNoLink = 0,
  kTopC = 1,
  kNextC = 2,
  kPrevC = 3,
  kTopPG = 5,
  kNextPG = 6,
  kPrevPG = 7,
  kTopPGC = 9,
  kNextPGC = 10,
  kPrevPGC = 11,
  kGoUpPGC = 12,
  kTailPGC = 13,
  kRSM = 16,
  kPGCN = 100,
  kPTTN,
  kPGN,
  kCN,
  kExit,
  kJumpTT,
  kJumpVTS_TT,
  kJumpVTS_PTT,
  kJumpSS_FP,
  kJumpSS_VMGM_MENU,
  kJumpSS_VTSM,
  kJumpSS_VMGM_PGC,
  kCallSS_FP,
  kCallSS_VMGM_MENU,
  kCallSS_VTSM,
  kCallSS_VMGM_PGC,
};

struct Link {
  int kind = kNoLink;
  int d1 = 0, d2 = 0, d3 = 0;
};

// The link a command may take, whatever its condition evaluates to. False for a command the
// navigator cannot decode.
bool DecodeCommand(const vm_cmd_t& cmd, Link& link, bool& hasLink);

}  // namespace navdisc::cmd

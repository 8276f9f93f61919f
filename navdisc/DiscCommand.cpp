#include "navdisc/DiscCommand.h"

#include <algorithm>
#include <cstdint>

#include "navdisc/DiscValidator.h"

namespace navdisc {
namespace cmd {
namespace {

// Bits of a 64-bit command, numbered 63 (first bit of the first byte) down to 0.
uint32_t Bits(uint64_t insn, int start, int count) {
  return static_cast<uint32_t>((insn >> (start + 1 - count)) & ((uint64_t{1} << count) - 1));
}

bool LinkInstruction(uint64_t insn, Link& link) {
  switch (Bits(insn, 51, 4)) {
    case 1: {
      const uint32_t op = Bits(insn, 4, 5);
      if (op > 16) return false;  // the navigator ignores these
      link.kind = static_cast<int>(op);
      return true;
    }
    case 4:
      link = {kPGCN, static_cast<int>(Bits(insn, 14, 15))};
      return true;
    case 5:
      link = {kPTTN, static_cast<int>(Bits(insn, 9, 10))};
      return true;
    case 6:
      link = {kPGN, static_cast<int>(Bits(insn, 6, 7))};
      return true;
    case 7:
      link = {kCN, static_cast<int>(Bits(insn, 7, 8))};
      return true;
  }
  return false;
}

bool JumpInstruction(uint64_t insn, Link& link) {
  auto v = [&](int s, int c) { return static_cast<int>(Bits(insn, s, c)); };
  switch (Bits(insn, 51, 4)) {
    case 1:
      link = {kExit};
      return true;
    case 2:
      link = {kJumpTT, v(22, 7)};
      return true;
    case 3:
      link = {kJumpVTS_TT, v(22, 7)};
      return true;
    case 5:
      link = {kJumpVTS_PTT, v(22, 7), v(41, 10)};
      return true;
    case 6:
      switch (Bits(insn, 23, 2)) {
        case 0:
          link = {kJumpSS_FP};
          return true;
        case 1:
          link = {kJumpSS_VMGM_MENU, v(19, 4)};
          return true;
        case 2:
          link = {kJumpSS_VTSM, v(31, 8), v(39, 8), v(19, 4)};
          return true;
        default:
          link = {kJumpSS_VMGM_PGC, v(46, 15)};
          return true;
      }
    case 8:
      switch (Bits(insn, 23, 2)) {
        case 0:
          link = {kCallSS_FP, v(31, 8)};
          return true;
        case 1:
          link = {kCallSS_VMGM_MENU, v(19, 4), v(31, 8)};
          return true;
        case 2:
          link = {kCallSS_VTSM, v(19, 4), v(31, 8)};
          return true;
        default:
          link = {kCallSS_VMGM_PGC, v(46, 15), v(31, 8)};
          return true;
      }
  }
  return false;
}

}  // namespace

// The link a command may take, whatever its condition evaluates to. False for a command the
// navigator cannot decode.
bool DecodeCommand(const vm_cmd_t& cmd, Link& link, bool& hasLink) {
  uint64_t insn = 0;
  for (uint8_t b : cmd.bytes) insn = insn << 8 | b;
  link = {};
  hasLink = false;
  switch (Bits(insn, 63, 3)) {
    case 0:
      return true;
    case 1:
      hasLink = Bits(insn, 60, 1) ? JumpInstruction(insn, link) : LinkInstruction(insn, link);
      break;
    case 2:
    case 3:
      if (Bits(insn, 51, 4)) hasLink = LinkInstruction(insn, link);
      break;
    case 4:
    case 5:
    case 6: {
      const uint32_t op = Bits(insn, 4, 5);
      if (op <= 16) {
        link.kind = static_cast<int>(op);
        hasLink = true;
      }
      break;
    }
    default:
      return false;
  }
  if (hasLink && link.kind < kPGCN &&
      (link.kind == 4 || link.kind == 8 || link.kind == 14 || link.kind == 15))
    return false;
  return true;
}

}  // namespace cmd

using namespace cmd;

bool ButtonCommandFitsDomain(const uint8_t command[8], NavDomain domain) {
  if (!command) return false;
  vm_cmd_t cmd;
  std::copy(command, command + 8, cmd.bytes);
  Link l;
  bool has = false;
  if (!DecodeCommand(cmd, l, has)) return false;
  if (!has) return true;
  const bool title = domain == NavDomain::kTitle;
  const bool vmgm = domain == NavDomain::kVideoManagerMenu;
  const bool vtsm = domain == NavDomain::kTitleSetMenu;
  const bool fp = domain == NavDomain::kFirstPlay;
  switch (l.kind) {
    case kPTTN:
      return title;
    case kJumpTT:
      return vmgm || fp;
    case kJumpVTS_TT:
    case kJumpVTS_PTT:
      return vtsm || title;
    case kJumpSS_FP:
      return vmgm || vtsm;
    case kJumpSS_VMGM_MENU:
    case kJumpSS_VMGM_PGC:
      return !title;
    case kJumpSS_VTSM:
      return l.d1 != 0 ? (vtsm || vmgm || fp) : vtsm;
    case kCallSS_FP:
    case kCallSS_VMGM_MENU:
    case kCallSS_VTSM:
    case kCallSS_VMGM_PGC:
      return title;
    default:
      return true;
  }
}

bool ButtonCommandAllowed(const uint8_t command[8], NavDomain domain, const DiscLimits& limits) {
  if (!ButtonCommandFitsDomain(command, domain)) return false;
  vm_cmd_t cmd;
  std::copy(command, command + 8, cmd.bytes);
  Link l;
  bool has = false;
  if (!DecodeCommand(cmd, l, has) || !has) return true;
  if (l.kind == kJumpTT) return limits.TitleAllowed(l.d1);
  if (l.kind == kJumpSS_VTSM && l.d1 != 0) return limits.SetAllowed(l.d1);
  return true;
}

}  // namespace navdisc

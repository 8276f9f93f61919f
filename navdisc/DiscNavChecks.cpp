// The validator's checks of navigation commands and buttons: every jump and link must lead
// somewhere the navigator can go.
#include <dvdread/nav_read.h>
#include <dvdread/nav_types.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "navdisc/DiscValidatorChecks.h"

namespace navdisc::check {

bool Validator::CheckCommands(const pgc_t* pgc, Domain domain, int vtsN, const std::string& name) {
  const pgc_command_tbl_t* tbl = pgc->command_tbl;
  if (!tbl) return true;
  struct Set {
    const vm_cmd_t* cmds;
    int count;
    Place place;
    const char* label;
  };
  const Set sets[] = {{tbl->pre_cmds, tbl->nr_of_pre, Place::kPre, "pre"},
                      {tbl->post_cmds, tbl->nr_of_post, Place::kPost, "post"},
                      {tbl->cell_cmds, tbl->nr_of_cell, Place::kCell, "cell"}};
  for (const Set& s : sets) {
    if (s.count && !s.cmds) return Fail(name + ": command table missing");
    for (int i = 0; i < s.count; ++i) {
      Link link;
      bool has = false;
      const std::string cn = name + " " + s.label + " command " + std::to_string(i + 1);
      if (!DecodeCommand(s.cmds[i], link, has)) return Fail(cn + " cannot be decoded");
      if (!has) continue;
      if (s.place != Place::kCell) {
        if (!CheckLink(link, {domain, vtsN, pgc, s.place, 0, cn})) return false;
        continue;
      }
      // A cell command runs when a cell naming it ends; judge it for each such cell.
      for (int c = 0; c < pgc->nr_of_cells; ++c)
        if (pgc->cell_playback[c].cell_cmd_nr == i + 1 &&
            !CheckLink(link, {domain, vtsN, pgc, Place::kCell, c + 1, cn}))
          return false;
    }
  }
  return true;
}

bool Validator::CheckResumeCell(int cell, const Where& w) {
  if (cell == 0 && w.place == Place::kPre)
    return Fail(w.name + ": call without a cell to resume at");
  if (cell > w.pgc->nr_of_cells) return Fail(w.name + ": resume cell past the last cell");
  return true;
}

bool Validator::CheckLink(const Link& l, const Where& w) {
  const pgc_t* pgc = w.pgc;
  const bool pre = w.place == Place::kPre, post = w.place == Place::kPost;
  const bool inCell = w.place == Place::kCell || w.place == Place::kButton;
  const int programs = pgc->nr_of_programs, cells = pgc->nr_of_cells;
  const Domain d = w.domain;
  const bool titleDomain = d == Domain::kVTST;
  const ifo_handle_t* own = w.vtsN ? vts_[static_cast<size_t>(w.vtsN)] : vmg_;
  auto bad = [&](const char* what) { return Fail(w.name + ": " + what); };

  switch (l.kind) {
    case kNoLink:
      // Taken from pre or post commands it leaves the navigator in a chain without a cell
      // to play, and libdvdnav then reads cell 0.
      return (pre || post) ? bad("ends its chain's commands without going anywhere") : true;
    case kExit:
      return true;
    case kTopC:
      return (pre || post) ? bad("restarts a cell outside any cell") : true;
    case kNextC:
      return post ? bad("links past the last cell") : true;
    case kPrevC:
      return (!inCell || w.cellN <= 1) ? bad("links before the first cell") : true;
    case kTopPG:
      return (post && programs == 0) ? bad("restarts a missing program") : true;
    case kNextPG:
      return post ? bad("links past the last program") : true;
    case kPrevPG:
      return (!inCell || ProgramOfCell(pgc, w.cellN) <= 1) ? bad("links before the first program")
                                                           : true;
    case kTopPGC:
      return pre ? bad("restarts its own chain from its pre commands") : true;
    case kNextPGC:
      return pgc->next_pgc_nr == 0 ? bad("links to a missing next chain") : true;
    case kPrevPGC:
      return pgc->prev_pgc_nr == 0 ? bad("links to a missing previous chain") : true;
    case kGoUpPGC:
      return pgc->goup_pgc_nr == 0 ? bad("links to a missing parent chain") : true;
    case kTailPGC:
      return post ? bad("links to its own post commands") : true;
    case kRSM:
      return true;
    case kPGCN: {
      int count;
      if (titleDomain)
        count = own->vts_pgcit ? own->vts_pgcit->nr_of_pgci_srp : 0;
      else
        count = MenuPgcCount(d == Domain::kVTSM ? own : vmg_);
      return (l.d1 < 1 || l.d1 > count) ? bad("links to a missing program chain") : true;
    }
    case kPTTN:
      return titleDomain ? true : bad("links to a part outside a title");
    case kPGN:
      if (l.d1 < 1 || l.d1 > programs + 1 || (post && l.d1 > programs))
        return bad("links to a missing program");
      return true;
    case kCN:
      if (l.d1 < 1 || l.d1 > cells + 1 || (post && l.d1 > cells))
        return bad("links to a missing cell");
      return true;
    case kJumpTT:
      if (d != Domain::kVMGM && d != Domain::kFirstPlay) return bad("title jump from a title set");
      if (l.d1 < 1 || l.d1 > TitleCount()) return bad("jumps to a missing title");
      // A button is refused when pressed; a command would take the navigator there itself.
      return (w.place != Place::kButton && TitleBarred(l.d1))
                 ? bad("jumps to a title that cannot be played")
                 : true;
    case kJumpVTS_TT:
    case kJumpVTS_PTT:
      return (d == Domain::kVTSM || titleDomain) ? true : bad("title-set jump outside a title set");
    case kJumpSS_FP:
      if (d != Domain::kVMGM && d != Domain::kVTSM) return bad("first-play jump from here");
      return (vmg_->first_play_pgc || MenuPgcCount(vmg_) >= 1)
                 ? true
                 : bad("jumps to a missing first play");
    case kJumpSS_VMGM_MENU:
      if (titleDomain) return bad("menu jump from a title");
      return (!vmg_->pgci_ut || MenuExists(vmg_, l.d1)) ? true : bad("jumps to a missing menu");
    case kJumpSS_VMGM_PGC:
    case kCallSS_VMGM_PGC: {
      if ((l.kind == kCallSS_VMGM_PGC) != titleDomain) return bad("menu chain jump from here");
      if (l.kind == kCallSS_VMGM_PGC && !CheckResumeCell(l.d2, w)) return false;
      if (!vmg_->pgci_ut) return true;
      return (l.d1 < 1 || l.d1 > MenuPgcCount(vmg_)) ? bad("jumps to a missing menu chain") : true;
    }
    case kJumpSS_VTSM: {
      int target = w.vtsN;
      if (l.d1 != 0) {
        if (titleDomain) return bad("title-set menu jump from a title");
        if (d == Domain::kVTSM && l.d1 != w.vtsN) return bad("menu jump to another title set");
        if (l.d1 >= static_cast<int>(vts_.size())) return bad("menu jump to a missing title set");
        target = l.d1;
        if (SetBarred(target))
          return w.place == Place::kButton ? true : bad("jumps into a damaged title set");
      } else if (d != Domain::kVTSM) {
        return bad("title-set menu jump from outside a title set");
      }
      const ifo_handle_t* h = vts_[static_cast<size_t>(target)];
      return (!h->pgci_ut || MenuExists(h, l.d3)) ? true : bad("jumps to a missing menu");
    }
    case kCallSS_FP:
      if (!titleDomain) return bad("call from outside a title");
      if (!CheckResumeCell(l.d1, w)) return false;
      return (vmg_->first_play_pgc || MenuPgcCount(vmg_) >= 1) ? true
                                                               : bad("calls a missing first play");
    case kCallSS_VMGM_MENU:
      if (!titleDomain) return bad("call from outside a title");
      if (!CheckResumeCell(l.d2, w)) return false;
      return (!vmg_->pgci_ut || MenuExists(vmg_, l.d1)) ? true : bad("calls a missing menu");
    case kCallSS_VTSM:
      if (!titleDomain) return bad("call from outside a title");
      if (!CheckResumeCell(l.d2, w)) return false;
      return (!own->pgci_ut || MenuExists(own, l.d1)) ? true : bad("calls a missing menu");
  }
  return bad("unknown link");
}

bool Validator::CheckButtons(const pgc_t* pgc, Domain domain, int vtsN, const std::string& name) {
  // Buttons live in the navigation packets of the menu VOBs; title buttons are not read
  // (title VOBs are large).
  if (domain != Domain::kVMGM && domain != Domain::kVTSM) return true;
  if (pgc->nr_of_cells == 0) return true;
  dvd_file_t* file = DVDOpenFile(dvd_, vtsN, DVD_READ_MENU_VOBS);
  if (!file) return Fail(name + ": menu VOB cannot be opened");
  const ssize_t size = DVDFileSize(file);
  bool ok = true;
  std::vector<unsigned char> sector(DVD_VIDEO_LB_LEN);
  for (int c = 0; ok && c < pgc->nr_of_cells; ++c) {
    const cell_playback_t& cp = pgc->cell_playback[c];
    if (size < 0 || cp.last_sector >= static_cast<uint32_t>(size)) {
      ok = Fail(name + " cell " + std::to_string(c + 1) + " lies past the end of its VOB");
      break;
    }
    for (uint32_t s = cp.first_sector; ok && s <= cp.last_sector; ++s) {
      if (++scannedSectors_ > kMaxScannedSectors) break;
      if (DVDReadBlocks(file, static_cast<int>(s), 1, sector.data()) != 1) {
        ok = Fail(name + ": menu VOB cannot be read");
        break;
      }
      const unsigned char* p = sector.data();
      // A navigation pack: pack header, system header, then the PCI private stream 2 packet.
      if (!(p[0] == 0 && p[1] == 0 && p[2] == 1 && p[3] == 0xba && p[0x26] == 0 && p[0x27] == 0 &&
            p[0x28] == 1 && p[0x29] == 0xbf && p[0x2c] == 0))
        continue;
      pci_t pci;
      navRead_PCI(&pci, sector.data() + 0x2d);
      const int buttons = std::min<int>(pci.hli.hl_gi.btn_ns, 36);
      if (pci.hli.hl_gi.hli_ss == 0) continue;
      for (int b = 0; ok && b < buttons; ++b) {
        Link link;
        bool has = false;
        const std::string bn =
            name + " cell " + std::to_string(c + 1) + " button " + std::to_string(b + 1);
        if (!DecodeCommand(pci.hli.btnit[b].cmd, link, has)) {
          ok = Fail(bn + " cannot be decoded");
        } else if (has) {
          ok = CheckLink(link, {domain, vtsN, pgc, Place::kButton, c + 1, bn});
        }
      }
    }
  }
  DVDCloseFile(file);
  return ok;
}

}  // namespace navdisc::check

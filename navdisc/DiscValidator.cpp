// The structure checks: the IFO tables and the menus' navigation data, judged as the navigator
// will use them.
#include "navdisc/DiscValidator.h"

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <dvdread/ifo_types.h>
#include <dvdread/nav_read.h>
#include <dvdread/nav_types.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "navdisc/DiscCommand.h"

namespace navdisc {
namespace {

using namespace cmd;

enum class Domain { kFirstPlay, kVMGM, kVTSM, kVTST };
enum class Place { kPre, kPost, kCell, kButton };

struct Where {
  Domain domain;
  int vtsN;  // 0 for the video manager
  const pgc_t* pgc;
  Place place;
  int cellN;  // cell and button commands: the cell they belong to
  std::string name;
};

class Validator {
 public:
  explicit Validator(dvd_reader_t* dvd) : dvd_(dvd) {}
  // Runs in the check's child process; a fault of libdvdread's on closing a handle whose read
  // failed ends only that child, and the disc is refused.
  ~Validator() {
    for (ifo_handle_t* h : vts_)
      if (h) ifoClose(h);
    if (vmg_) ifoClose(vmg_);
  }

  // False when nothing of the disc may be played; otherwise the damaged parts are barred.
  bool Run();
  // The reason of a refusal, else the first damage found.
  const std::string& why() const { return fatal_ ? last_ : damage_; }
  DiscLimits Limits() const;

 private:
  bool Fail(const std::string& msg) {
    last_ = msg;
    return false;
  }
  // The problem just found costs the disc part of itself.
  void Damaged() {
    if (damage_.empty()) damage_ = last_;
  }
  void BarSet(int s) {
    Damaged();
    setBad_[static_cast<size_t>(s)] = true;
  }
  bool SetBarred(int s) const {
    return s < 1 || s >= static_cast<int>(setBad_.size()) || setBad_[static_cast<size_t>(s)];
  }
  bool TitleBarred(int t) const {
    return t < 1 || t > static_cast<int>(titleBad_.size()) || titleBad_[static_cast<size_t>(t - 1)];
  }
  bool OpenVmg();
  bool OpenSet(int i);
  bool TablesFitFile(int title, const std::string& name);
  void CheckTitles();
  int TitleAngles(int s, int ttn) const;
  bool CheckParts(int s);
  bool CheckMenus(int s, bool buttons);
  // With unreadable, cells whose sectors are out of order do not fail the chain: they are
  // reported there (libdvdnav fails to read them but goes on) and the rest is checked.
  bool CheckPgc(const pgc_t* pgc, Domain domain, int vtsN, const std::string& name,
                bool* unreadable = nullptr);
  bool CheckStartWithoutFirstPlay();
  bool CheckCommands(const pgc_t* pgc, Domain domain, int vtsN, const std::string& name);
  bool CheckLink(const Link& link, const Where& w);
  bool CheckResumeCell(int cell, const Where& w);
  bool CheckButtons(const pgc_t* pgc, Domain domain, int vtsN, const std::string& name);
  // Smallest number of program chains over the menu language units (any of them may be
  // chosen); -1 when the volume has no such menus.
  int MenuPgcCount(const ifo_handle_t* h) const;
  bool MenuExists(const ifo_handle_t* h, int menuId) const;
  const pgci_ut_t* MenuTable(int vtsN) const {
    const ifo_handle_t* h = vtsN ? vts_[vtsN] : vmg_;
    return h ? h->pgci_ut : nullptr;
  }
  int ProgramOfCell(const pgc_t* pgc, int cellN) const {
    int pg = 0;
    while (pg < pgc->nr_of_programs && cellN >= pgc->program_map[pg]) ++pg;
    return pg;
  }
  int TitleCount() const { return vmg_->tt_srpt ? vmg_->tt_srpt->nr_of_srpts : 0; }

  dvd_reader_t* dvd_;
  ifo_handle_t* vmg_ = nullptr;
  std::vector<ifo_handle_t*> vts_;  // [0] unused; a barred set's is not to be used
  std::vector<bool> setBad_;        // [0] unused
  std::vector<bool> titleBad_;      // [t - 1]
  bool menusBad_ = false;
  bool firstPlayBad_ = false;
  bool fatal_ = false;
  std::string last_, damage_;
  size_t scannedSectors_ = 0;
};

// Menu VOB sectors read for button commands; menus are small, this bounds a hostile disc.
constexpr size_t kMaxScannedSectors = 32768;
constexpr int kMaxTitleSets = 99;

// libdvdread sizes its allocations from the "last byte" fields of the IFO tables: a damaged
// one asks for gigabytes, or for less than the table's own header (a negative size). Each table the
// navigator reads must end inside its file. The file checked is the one libdvdread will use: the
// IFO when its header is intact, else the backup.
bool Validator::TablesFitFile(int title, const std::string& name) {
  static const char* kVmgId = "DVDVIDEO-VMG";
  static const char* kVtsId = "DVDVIDEO-VTS";
  // Sector pointers in the header, and where a table keeps its last byte.
  struct Table {
    int pointer;
    int lastByteAt;
  };
  static const Table kVmgTables[] = {{0xC4, 4}, {0xC8, 4}, {0xCC, 4},
                                     {0xD0, 4}, {0xD8, 4}, {0xDC, 0}};
  static const Table kVtsTables[] = {{0xC8, 4}, {0xCC, 4}, {0xD0, 4}, {0xD4, 4},
                                     {0xD8, 4}, {0xDC, 0}, {0xE0, 4}, {0xE4, 0}};
  const char* id = title ? kVtsId : kVmgId;
  for (dvd_read_domain_t domain : {DVD_READ_INFO_FILE, DVD_READ_INFO_BACKUP_FILE}) {
    dvd_file_t* file = DVDOpenFile(dvd_, title, domain);
    if (!file) continue;
    const ssize_t blocks = DVDFileSize(file);
    const uint64_t size = blocks > 0 ? static_cast<uint64_t>(blocks) * DVD_VIDEO_LB_LEN : 0;
    unsigned char head[0x100] = {};
    const bool intact =
        size >= sizeof head && DVDFileSeek(file, 0) == 0 &&
        DVDReadBytes(file, head, sizeof head) == static_cast<ssize_t>(sizeof head) &&
        std::equal(id, id + 12, head);
    if (!intact) {
      DVDCloseFile(file);
      continue;
    }
    auto be32 = [](const unsigned char* p) {
      return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
    };
    bool ok = true;
    for (const Table& t :
         title ? std::span<const Table>(kVtsTables) : std::span<const Table>(kVmgTables)) {
      const uint64_t at = uint64_t{be32(head + t.pointer)} * DVD_VIDEO_LB_LEN;
      if (at == 0) continue;
      unsigned char tableHead[8];
      if (at + 8 > size ||
          DVDFileSeek(file, static_cast<int32_t>(at)) != static_cast<int32_t>(at) ||
          DVDReadBytes(file, tableHead, 8) != 8 || be32(tableHead + t.lastByteAt) >= size - at ||
          be32(tableHead + t.lastByteAt) + 1 < static_cast<uint32_t>(t.lastByteAt) + 4) {
        ok = false;
        break;
      }
    }
    DVDCloseFile(file);
    return ok ? true : Fail(name + ": a table runs past the end of its file");
  }
  return true;  // neither file has a usable header: libdvdread refuses it by itself
}

bool Validator::OpenVmg() {
  // The same reads, in the same order, as libdvdnav's start; what fails here fails there.
  if (!TablesFitFile(0, "VIDEO_TS.IFO")) return false;
  vmg_ = ifoOpenVMGI(dvd_);
  if (!vmg_ || !vmg_->vmgi_mat) return Fail("VIDEO_TS.IFO cannot be read");
  if (!ifoRead_FP_PGC(vmg_)) return Fail("the first-play program chain cannot be read");
  if (!ifoRead_TT_SRPT(vmg_) || !vmg_->tt_srpt) return Fail("the title table cannot be read");
  if (!ifoRead_PGCI_UT(vmg_)) return Fail("the video-manager menus cannot be read");
  const int sets = vmg_->vmgi_mat->vmg_nr_of_title_sets;
  if (sets < 1 || sets > kMaxTitleSets) return Fail("the disc names no usable title set");
  vts_.assign(static_cast<size_t>(sets) + 1, nullptr);
  setBad_.assign(static_cast<size_t>(sets) + 1, false);
  return true;
}

// A title set is read as libdvdnav reads it when it enters the set.
bool Validator::OpenSet(int i) {
  const std::string n = "title set " + std::to_string(i);
  if (!TablesFitFile(i, n)) return false;
  ifo_handle_t* h = ifoOpenVTSI(dvd_, i);
  vts_[static_cast<size_t>(i)] = h;
  if (!h || !h->vtsi_mat) return Fail(n + " cannot be read");
  if (!ifoRead_VTS_PTT_SRPT(h) || !h->vts_ptt_srpt) return Fail(n + ": part table unreadable");
  if (!ifoRead_PGCIT(h) || !h->vts_pgcit) return Fail(n + ": program chains unreadable");
  if (!ifoRead_PGCI_UT(h)) return Fail(n + ": menus unreadable");
  if (!ifoRead_VOBU_ADMAP(h)) return Fail(n + ": menu address map unreadable");
  if (!ifoRead_TITLE_VOBU_ADMAP(h)) return Fail(n + ": title address map unreadable");
  return true;
}

int Validator::MenuPgcCount(const ifo_handle_t* h) const {
  if (!h || !h->pgci_ut || h->pgci_ut->nr_of_lus == 0 || !h->pgci_ut->lu) return -1;
  int count = 0xffff;
  for (int i = 0; i < h->pgci_ut->nr_of_lus; ++i) {
    const pgcit_t* t = h->pgci_ut->lu[i].pgcit;
    count = std::min(count, t ? static_cast<int>(t->nr_of_pgci_srp) : 0);
  }
  return count;
}

bool Validator::MenuExists(const ifo_handle_t* h, int menuId) const {
  if (MenuPgcCount(h) < 1) return false;
  const int id = menuId | 0x80;
  for (int i = 0; i < h->pgci_ut->nr_of_lus; ++i) {
    const pgcit_t* t = h->pgci_ut->lu[i].pgcit;
    bool found = false;
    for (int k = 0; t && t->pgci_srp && k < t->nr_of_pgci_srp && !found; ++k)
      found = t->pgci_srp[k].entry_id == id && t->pgci_srp[k].pgc;
    if (!found) return false;
  }
  return true;
}

// A title naming what is not there is barred alone.
void Validator::CheckTitles() {
  const tt_srpt_t* tt = vmg_->tt_srpt;
  const int count = tt->title ? tt->nr_of_srpts : 0;
  titleBad_.assign(static_cast<size_t>(count), false);
  for (int t = 0; t < count; ++t) {
    const title_info_t& ti = tt->title[t];
    const std::string n = "title " + std::to_string(t + 1);
    bool ok = true;
    if (ti.title_set_nr < 1 || ti.title_set_nr >= static_cast<int>(setBad_.size())) {
      ok = Fail(n + " names a missing title set");
    } else if (SetBarred(ti.title_set_nr)) {
      titleBad_[static_cast<size_t>(t)] = true;  // the set's own damage was recorded
      continue;
    } else {
      const vts_ptt_srpt_t* ptt = vts_[ti.title_set_nr]->vts_ptt_srpt;
      if (ti.vts_ttn < 1 || ti.vts_ttn > ptt->nr_of_srpts || !ptt->title) {
        ok = Fail(n + " names a missing title of its title set");
      } else {
        // libdvdnav, told of angles a title does not have, reads it from outside its file
        // and crashes.
        const int real = TitleAngles(ti.title_set_nr, ti.vts_ttn);
        if (ti.nr_of_angles > real)
          ok = Fail(n + " claims " + std::to_string(ti.nr_of_angles) + " angles but has " +
                    std::to_string(real));
      }
    }
    if (!ok) {
      Damaged();
      titleBad_[static_cast<size_t>(t)] = true;
    }
  }
}

// The most cells of an angle block in the chains of title ttn of set s (checked already), at
// least 1.
int Validator::TitleAngles(int s, int ttn) const {
  const ifo_handle_t* h = vts_[static_cast<size_t>(s)];
  const ttu_t& ttu = h->vts_ptt_srpt->title[ttn - 1];
  int most = 1;
  for (int p = 0; p < ttu.nr_of_ptts; ++p) {
    const pgc_t* pgc = h->vts_pgcit->pgci_srp[ttu.ptt[p].pgcn - 1].pgc;
    int run = 0;
    for (int c = 0; c < pgc->nr_of_cells; ++c) {
      const cell_playback_t& cp = pgc->cell_playback[c];
      run = cp.block_type == 1 ? (cp.block_mode == 1 ? 1 : run + 1) : 0;
      most = std::max(most, run);
    }
  }
  return most;
}

// The part table of title set s, whose parts any title of the set may be started at.
bool Validator::CheckParts(int s) {
  const ifo_handle_t* h = vts_[static_cast<size_t>(s)];
  const vts_ptt_srpt_t* ptt = h->vts_ptt_srpt;
  const pgcit_t* pgcit = h->vts_pgcit;
  if (!pgcit->pgci_srp && pgcit->nr_of_pgci_srp) return Fail("title set program chains missing");
  if (ptt->nr_of_srpts && !ptt->title) return Fail("part table missing");
  for (int t = 0; t < ptt->nr_of_srpts; ++t) {
    const ttu_t& ttu = ptt->title[t];
    if (ttu.nr_of_ptts && !ttu.ptt) return Fail("part table missing");
    for (int p = 0; p < ttu.nr_of_ptts; ++p) {
      const ptt_info_t& pi = ttu.ptt[p];
      const std::string n = "title set " + std::to_string(s) + " title " + std::to_string(t + 1) +
                            " part " + std::to_string(p + 1);
      if (pi.pgcn < 1 || pi.pgcn > pgcit->nr_of_pgci_srp || !pgcit->pgci_srp[pi.pgcn - 1].pgc)
        return Fail(n + " names a missing program chain");
      const pgc_t* pgc = pgcit->pgci_srp[pi.pgcn - 1].pgc;
      if (pi.pgn < 1 || pi.pgn > pgc->nr_of_programs) return Fail(n + " names a missing program");
    }
  }
  return true;
}

bool Validator::CheckPgc(const pgc_t* pgc, Domain domain, int vtsN, const std::string& name,
                         bool* unreadable) {
  if (!pgc) return Fail(name + " is missing");
  const int programs = pgc->nr_of_programs, cells = pgc->nr_of_cells;
  if (programs > cells) return Fail(name + ": more programs than cells");
  if (cells > 0 && programs == 0) return Fail(name + ": cells without a program");
  if (programs > 0) {
    if (!pgc->program_map) return Fail(name + ": program map missing");
    if (pgc->program_map[0] != 1) return Fail(name + ": first program does not start at cell 1");
    for (int i = 1; i < programs; ++i)
      if (pgc->program_map[i] <= pgc->program_map[i - 1] || pgc->program_map[i] > cells)
        return Fail(name + ": program map out of order or past the last cell");
  }
  std::vector<bool> badCell(static_cast<size_t>(cells), false);
  if (cells > 0) {
    if (!pgc->cell_playback || !pgc->cell_position) return Fail(name + ": cell tables missing");
    for (int c = 0; c < cells; ++c) {
      const cell_playback_t& cp = pgc->cell_playback[c];
      const std::string cn = name + " cell " + std::to_string(c + 1);
      // Outside angle blocks the type must be 0; inside, only angle blocks exist.
      if ((cp.block_mode == 0) != (cp.block_type == 0) || cp.block_type > 1)
        Fail(cn + ": inconsistent block mode and type");
      else if (cp.first_sector > cp.last_sector || cp.last_vobu_start_sector < cp.first_sector ||
               cp.last_vobu_start_sector > cp.last_sector)
        Fail(cn + ": sectors out of order");
      else
        continue;
      // libdvdnav aborts on such a cell when it plays it, and reads past the end of its
      // file: a chain that is only entered (menus the engine does not read) may keep it.
      if (!unreadable || c == 0) return false;
      if (!*unreadable) Damaged();
      *unreadable = true;
      badCell[static_cast<size_t>(c)] = true;
    }
  }
  if (!CheckCommands(pgc, domain, vtsN, name)) return false;
  if (!unreadable || !*unreadable) return true;
  // Entering the chain runs its pre commands (and, through a tail link, its post commands)
  // without reading it: none may send the navigator to a damaged cell.
  const pgc_command_tbl_t* tbl = pgc->command_tbl;
  if (!tbl) return true;
  const std::span<const vm_cmd_t> pre(tbl->pre_cmds, tbl->pre_cmds ? tbl->nr_of_pre : 0);
  const std::span<const vm_cmd_t> post(tbl->post_cmds, tbl->post_cmds ? tbl->nr_of_post : 0);
  for (const auto& list : {pre, post}) {
    for (const vm_cmd_t& c : list) {
      Link l;
      bool has = false;
      DecodeCommand(c, l, has);
      if (!has) continue;
      int cell = 0;  // the cell the link plays; -1 when that cannot be told here
      switch (l.kind) {
        case kCN:
          cell = l.d1;
          break;
        case kPGN:
          cell = l.d1 >= 1 && l.d1 <= programs ? pgc->program_map[l.d1 - 1] : 0;
          break;
        case kTopC:
        case kNextC:
        case kPrevC:
        case kTopPG:
        case kNextPG:
        case kPrevPG:
        case kTailPGC:
          cell = -1;
          break;
        default:
          break;
      }
      if (cell < 0 || (cell >= 1 && cell <= cells && badCell[static_cast<size_t>(cell - 1)]))
        return Fail(name + ": a command leads into a damaged cell");
    }
  }
  return true;
}

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

// The menus of title set s (video manager: 0): their program chains, and with buttons the
// buttons of their navigation packets.
bool Validator::CheckMenus(int s, bool buttons) {
  const ifo_handle_t* h = s ? vts_[static_cast<size_t>(s)] : vmg_;
  const std::string set = s ? "title set " + std::to_string(s) : std::string("video manager");
  if (!h->pgci_ut) return true;
  if (h->pgci_ut->nr_of_lus && !h->pgci_ut->lu) return Fail(set + ": menu table missing");
  for (int lu = 0; lu < h->pgci_ut->nr_of_lus; ++lu) {
    const pgcit_t* t = h->pgci_ut->lu[lu].pgcit;
    if (!t) return Fail(set + ": menu language unit missing");
    for (int k = 0; k < t->nr_of_pgci_srp; ++k) {
      const std::string name = set + " menu chain " + std::to_string(k + 1);
      const Domain d = s ? Domain::kVTSM : Domain::kVMGM;
      // Menu cells that cannot be read cost the menus, not the disc: they are skipped.
      bool unreadable = false;
      if (buttons ? !CheckButtons(t->pgci_srp[k].pgc, d, s, name)
                  : !CheckPgc(t->pgci_srp[k].pgc, d, s, name, &unreadable))
        return false;
      if (unreadable) menusBad_ = true;
    }
  }
  return true;
}

bool Validator::Run() {
  fatal_ = true;
  if (!OpenVmg()) return false;
  const int sets = static_cast<int>(vts_.size()) - 1;
  // A damaged title set is kept out of reach: its titles, and its menus with it.
  for (int s = 1; s <= sets; ++s) {
    if (!OpenSet(s) || !CheckParts(s)) {
      BarSet(s);
      continue;
    }
    const pgcit_t* t = vts_[static_cast<size_t>(s)]->vts_pgcit;
    for (int k = 0; k < t->nr_of_pgci_srp && !SetBarred(s); ++k)
      if (!CheckPgc(t->pgci_srp[k].pgc, Domain::kVTST, s,
                    "title set " + std::to_string(s) + " title chain " + std::to_string(k + 1)))
        BarSet(s);
    if (!SetBarred(s) && !CheckMenus(s, false)) BarSet(s);
  }
  CheckTitles();
  if (std::all_of(titleBad_.begin(), titleBad_.end(), [](bool b) { return b; })) {
    if (titleBad_.empty()) Fail("the disc has no titles");
    return false;  // the reason of the last title barred stands
  }
  // The start-up path and the video manager's menus run before anything can be chosen. A
  // damaged first-play program is hidden from the navigator instead: it then starts in the
  // video manager's first menu chain, which must hold up in the first play's place.
  if (vmg_->first_play_pgc &&
      !CheckPgc(vmg_->first_play_pgc, Domain::kFirstPlay, 0, "first-play chain")) {
    Damaged();
    firstPlayBad_ = true;
  }
  if (!CheckMenus(0, false)) return false;
  if (firstPlayBad_ && !CheckStartWithoutFirstPlay()) return false;
  // Menu pictures and buttons that cannot be read: the disc is played without its menus.
  for (int s = 0; s <= sets && !menusBad_; ++s)
    if (!SetBarred(s) || s == 0) menusBad_ = !CheckMenus(s, true);
  if (menusBad_) Damaged();
  fatal_ = false;
  return true;
}

// libdvdnav, without a first-play program, plays the video manager's menu chain 1 in the
// first-play domain; without that chain it has nothing to start from.
bool Validator::CheckStartWithoutFirstPlay() {
  const pgci_ut_t* ut = vmg_->pgci_ut;
  if (MenuPgcCount(vmg_) < 1)
    return Fail("the first-play chain is damaged and no menu can start the disc in its place");
  for (int lu = 0; lu < ut->nr_of_lus; ++lu) {
    const pgc_t* pgc = ut->lu[lu].pgcit->pgci_srp[0].pgc;
    if (!CheckPgc(pgc, Domain::kFirstPlay, 0, "video manager menu chain 1 in the first play"))
      return false;
  }
  return true;
}

DiscLimits Validator::Limits() const {
  DiscLimits l;
  l.menus = !menusBad_;
  l.firstPlay = !firstPlayBad_;
  for (bool b : titleBad_) l.titles.push_back(b ? 0 : 1);
  for (size_t s = 1; s < setBad_.size(); ++s) l.sets.push_back(setBad_[s] ? 0 : 1);

  return l;
}

void QuietLog(void*, dvd_logger_level_t, const char*, va_list) {}

}  // namespace

bool DiscLimits::Whole() const {
  return menus && firstPlay &&
         std::all_of(titles.begin(), titles.end(), [](uint8_t t) { return t; }) &&
         std::all_of(sets.begin(), sets.end(), [](uint8_t s) { return s; });
}

bool DiscLimits::TitleAllowed(int title) const {
  return title >= 1 && (titles.empty() || (title <= static_cast<int>(titles.size()) &&
                                           titles[static_cast<size_t>(title - 1)]));
}

bool DiscLimits::SetAllowed(int set) const {
  return set >= 1 && (sets.empty() ||
                      (set <= static_cast<int>(sets.size()) && sets[static_cast<size_t>(set - 1)]));
}

int DiscLimits::FirstTitle() const {
  if (titles.empty()) return 1;
  for (size_t t = 0; t < titles.size(); ++t)
    if (titles[t]) return static_cast<int>(t) + 1;
  return 0;
}

std::string DiscLimits::Encode() const {
  std::string text(1, menus ? 'm' : '-');
  text += firstPlay ? 'f' : '-';
  text += ' ';
  for (uint8_t t : titles) text += t ? '1' : '0';
  text += ' ';
  for (uint8_t s : sets) text += s ? '1' : '0';
  return text;
}

bool DiscLimits::Decode(const std::string& text, DiscLimits& limits) {
  // "mf 111 11": menus and first play, then titles and title sets.
  const size_t a = text.find(' '), b = a == std::string::npos ? a : text.find(' ', a + 1);
  if (a != 2 || b == std::string::npos || (text[0] != 'm' && text[0] != '-') ||
      (text[1] != 'f' && text[1] != '-'))
    return false;
  DiscLimits l;
  l.menus = text[0] == 'm';
  l.firstPlay = text[1] == 'f';
  for (size_t i = a + 1; i < text.size(); ++i) {
    if (i == b) continue;
    if (text[i] != '0' && text[i] != '1') return false;
    (i < b ? l.titles : l.sets).push_back(text[i] == '1' ? 1 : 0);
  }
  limits = std::move(l);
  return true;
}

bool CheckDiscStructure(const std::string& path, std::string* why, DiscLimits* limits) {
  std::string reason;
  bool ok = false;
  struct stat st {};
  if (path.empty()) {
    reason = "no path";
  } else if (::stat(path.c_str(), &st) != 0) {
    reason = "not found";  // also spares libdvdread's complaint and its leak on this path
  } else {
    static const dvd_logger_cb kLogger = {QuietLog};
    dvd_reader_t* dvd = DVDOpen2(nullptr, &kLogger, path.c_str());
    if (!dvd) {
      reason = "not a DVD-Video volume";
    } else {
      {
        Validator v(dvd);
        ok = v.Run();
        reason = v.why();
        // Without limits to honour, any damage refuses the disc.
        if (ok && !limits && !reason.empty()) ok = false;
        if (ok && limits) *limits = v.Limits();
      }
      DVDClose(dvd);
    }
  }
  if (why) *why = ok && (!limits || limits->Whole()) ? std::string() : reason;
  return ok;
}
}  // namespace navdisc

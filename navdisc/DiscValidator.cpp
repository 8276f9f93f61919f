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
#include "navdisc/DiscValidatorChecks.h"

namespace navdisc {
namespace check {

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

}  // namespace check

namespace {

using check::Validator;

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

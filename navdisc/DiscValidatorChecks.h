// The disc check's validator, shared by the files that hold its checks; not exported.
#pragma once

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <dvdread/ifo_types.h>

#include <cstddef>
#include <string>
#include <vector>

#include "navdisc/DiscCommand.h"
#include "navdisc/DiscValidator.h"

namespace navdisc::check {

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

}  // namespace navdisc::check

// The navigator over libdvdnav.
#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "navdisc/DiscValidator.h"
#include "navdisc/graph/FirstPlayBypass.h"
#include "navdisc/graph/Navigator.h"

namespace navdisc::graph {
namespace {

// libdvdread prints to stdout unless given a logger; keep only the last error line.
void LogToNowhere(void* priv, dvdnav_logger_level_t level, const char* fmt, va_list args) {
  if (level != DVDNAV_LOGGER_LEVEL_ERROR || !priv) return;
  char line[512];
  std::vsnprintf(line, sizeof line, fmt, args);
  *static_cast<std::string*>(priv) = line;
}
const dvdnav_logger_cb kLogger = {LogToNowhere};
void ReadLogToNowhere(void*, dvd_logger_level_t, const char*, va_list) {}
const dvd_logger_cb kReadLogger = {ReadLogToNowhere};

class DvdnavNavigator final : public INavigator {
 public:
  ~DvdnavNavigator() override { Close(); }

  bool Open(const std::string& path, std::string& why) override {
    bypass_.reset();
    limits_ = DiscLimits();
    return OpenNav(path, why);
  }

  bool NextBlock(uint8_t* buf, int32_t& event, int32_t& len) override {
    if (!nav_) return false;
    // Stopped at a barred menu, libdvdnav stands ready to read it: nothing more is read until a
    // jump reopens the disc.
    if (stoppedAtMenu_) {
      event = DVDNAV_STOP;
      len = 0;
      return true;
    }
    if (dvdnav_get_next_block(nav_, buf, &event, &len) != DVDNAV_STATUS_OK) {
      // Nothing read yet: libdvdnav's machine did not start (a first-play program that leads
      // nowhere), and it will refuse every jump until the disc is seen without that program.
      if (!readSinceOpen_) neverStarted_ = true;
      return false;
    }
    readSinceOpen_ = true;
    switch (event) {
      case DVDNAV_NAV_PACKET:
        // The first packet read after a change describes where the navigator now stands.
        pciFresh_ = true;
        break;
      case DVDNAV_STOP:
        stopped_ = true;
        pciFresh_ = false;
        break;
      case DVDNAV_VTS_CHANGE:
      case DVDNAV_CELL_CHANGE:
        // Menus the check barred are never read (their cells may be what libdvdnav aborts
        // on): the disc ends where it would show one, as a disc without menus would.
        if (!limits_.menus && (dvdnav_is_domain_vmgm(nav_) || dvdnav_is_domain_vtsm(nav_))) {
          event = DVDNAV_STOP;
          len = 0;
          stopped_ = stoppedAtMenu_ = true;
          pciFresh_ = false;
          break;
        }
        stopped_ = false;
        pciFresh_ = false;
        break;
      case DVDNAV_HOP_CHANNEL:  // a button or the machine itself jumped
        pciFresh_ = false;
        break;
      default:
        break;
    }
    return true;
  }
  std::string Error() override {
    const char* e = nav_ ? dvdnav_err_to_string(nav_) : nullptr;
    return e ? e : "no disc";
  }
  void StillSkip() override {
    if (nav_) dvdnav_still_skip(nav_);
  }
  void WaitSkip() override {
    if (nav_) dvdnav_wait_skip(nav_);
  }
  // Title, part and time jumps leave libdvdnav reporting the still it jumped from. Skipping it
  // would arm a skip that swallows the next still met (a menu reached later stops instead of
  // waiting); a command activation without a button clears just the still.
  void DropStill() override {
    if (!nav_) return;
    vm_cmd_t nop{};
    dvdnav_button_activate_cmd(nav_, 0, &nop);
  }
  bool Reset() override {
    std::string why;
    return !path_.empty() && OpenNav(path_, why);
  }

  void Limit(const DiscLimits& limits) override {
    limits_ = limits;
    // libdvdnav runs the first-play program before any jump; one the check found damaged would
    // bring it down, so the disc is seen without it from now on. Without that view nothing is
    // read (the check made one, so only a disc changed since then gets here).
    if (!limits_.firstPlay && !bypass_ && nav_) {
      std::string why;
      bypass_ = FirstPlayBypass::Create(path_, why);
      if (!bypass_ || !OpenNav(path_, why)) {
        bypass_.reset();
        Close();
      }
    }
  }

  bool HasFirstPlay() override {
    // Menus that cannot be shown, or a first play that must not run, are passed by as on a
    // disc without a first play.
    if (!limits_.menus || !limits_.firstPlay) return false;
    // libdvdnav starts such a disc in the menu; the player wants to know.
    dvd_reader_t* dvd = DVDOpen2(nullptr, &kReadLogger, path_.c_str());
    if (!dvd) return true;
    bool has = true;
    if (ifo_handle_t* vmg = ifoOpenVMGI(dvd)) {
      has = vmg->vmgi_mat && vmg->vmgi_mat->first_play_pgc != 0;
      ifoClose(vmg);
    }
    DVDClose(dvd);
    return has;
  }

  bool CurrentTitle(int32_t& title, int32_t& part) override {
    title = part = 0;
    return nav_ && dvdnav_current_title_info(nav_, &title, &part) == DVDNAV_STATUS_OK;
  }
  int Domain() override {
    if (!nav_ || stopped_) return 5;
    if (dvdnav_is_domain_vts(nav_)) return 4;
    if (dvdnav_is_domain_vtsm(nav_)) return 3;
    if (dvdnav_is_domain_vmgm(nav_)) return 2;
    return 1;
  }
  int64_t CurrentTime90k() override { return nav_ ? dvdnav_get_current_time(nav_) : 0; }
  bool TitleCount(int32_t& titles) override {
    return nav_ && dvdnav_get_number_of_titles(nav_, &titles) == DVDNAV_STATUS_OK;
  }
  bool PartCount(int32_t title, int32_t& parts) override {
    return nav_ && dvdnav_get_number_of_parts(nav_, title, &parts) == DVDNAV_STATUS_OK;
  }
  bool TitleDuration90k(int32_t title, uint64_t& duration) override {
    // Describing a title reads its title set's IFO, which may be the damage that barred it.
    if (!nav_ || !limits_.TitleAllowed(title)) return false;
    uint64_t* times = nullptr;
    duration = 0;
    uint32_t n = dvdnav_describe_title_chapters(nav_, title, &times, &duration);
    free(times);
    return n > 0;
  }
  bool AngleInfo(int32_t& current, int32_t& count) override {
    return nav_ && dvdnav_get_angle_info(nav_, &current, &count) == DVDNAV_STATUS_OK;
  }
  std::string VolumeLabel() override {
    const char* s = nullptr;
    if (nav_ && dvdnav_get_title_string(nav_, &s) == DVDNAV_STATUS_OK && s) return s;
    return "";
  }

  // libdvdnav's virtual machine is gone after a stop and its jumps crash on it: a new title,
  // chapter or menu starts from a freshly opened disc.
  bool TitlePlay(int32_t title) override {
    if (!limits_.TitleAllowed(title) || !RestartIfStopped()) return false;
    pciFresh_ = false;
    return dvdnav_title_play(nav_, title) == DVDNAV_STATUS_OK;
  }
  bool PartPlay(int32_t title, int32_t part) override {
    if (!limits_.TitleAllowed(title) || !RestartIfStopped()) return false;
    pciFresh_ = false;
    return dvdnav_part_play(nav_, title, part) == DVDNAV_STATUS_OK;
  }
  // Searching and angles need a place in a title; there is none after a stop.
  bool TimeSearch(uint64_t t) override {
    if (!nav_ || stopped_) return false;
    pciFresh_ = false;
    return dvdnav_time_search(nav_, t) == DVDNAV_STATUS_OK;
  }
  bool MenuCall(DVDMenuID_t menu) override {
    if ((!limits_.menus && menu != DVD_MENU_Escape) || !RestartIfStopped()) return false;
    pciFresh_ = false;
    return dvdnav_menu_call(nav_, menu) == DVDNAV_STATUS_OK;
  }
  bool AngleChange(int32_t angle) override {
    if (!nav_ || stopped_) return false;
    pciFresh_ = false;
    return dvdnav_angle_change(nav_, angle) == DVDNAV_STATUS_OK;
  }

  pci_t* CurrentPci() override { return nav_ ? dvdnav_get_current_nav_pci(nav_) : nullptr; }
  bool CurrentButton(int32_t& button) override {
    return nav_ && dvdnav_get_current_highlight(nav_, &button) == DVDNAV_STATUS_OK;
  }
  bool SelectRelative(int d) override {
    pci_t* pci = MenuPci();
    if (!pci) return false;
    // A move onto an auto-action button presses it.
    int32_t cur = 0;
    if (CurrentButton(cur) && cur >= 1 && cur <= pci->hli.hl_gi.btn_ns) {
      const btni_t& from = pci->hli.btnit[cur - 1];
      int to = d == 1 ? from.up : d == 2 ? from.down : d == 3 ? from.left : d == 4 ? from.right : 0;
      if (to >= 1 && to <= pci->hli.hl_gi.btn_ns && pci->hli.btnit[to - 1].auto_action_mode &&
          !ButtonFits(pci, to))
        return false;
    }
    dvdnav_status_t st = DVDNAV_STATUS_ERR;
    switch (d) {
      case 1:
        st = dvdnav_upper_button_select(nav_, pci);
        break;
      case 2:
        st = dvdnav_lower_button_select(nav_, pci);
        break;
      case 3:
        st = dvdnav_left_button_select(nav_, pci);
        break;
      case 4:
        st = dvdnav_right_button_select(nav_, pci);
        break;
    }
    return st == DVDNAV_STATUS_OK;
  }
  bool Activate() override {
    pci_t* pci = MenuPci();
    int32_t b = 0;
    return pci && CurrentButton(b) && ButtonFits(pci, b) &&
           dvdnav_button_activate(nav_, pci) == DVDNAV_STATUS_OK;
  }
  bool MouseSelect(int32_t x, int32_t y) override {
    pci_t* pci = MenuPci();
    return pci && ButtonAt(pci, x, y) > 0 &&
           dvdnav_mouse_select(nav_, pci, x, y) == DVDNAV_STATUS_OK;
  }
  bool MouseActivate(int32_t x, int32_t y) override {
    pci_t* pci = MenuPci();
    if (!pci) return false;
    int b = ButtonAt(pci, x, y);
    return b > 0 && ButtonFits(pci, b) &&
           dvdnav_button_select_and_activate(nav_, pci, b) == DVDNAV_STATUS_OK;
  }

  int VideoAspect() override { return nav_ ? dvdnav_get_video_aspect(nav_) : 0; }
  bool VideoSize(uint32_t& w, uint32_t& h) override {
    return nav_ && dvdnav_get_video_resolution(nav_, &w, &h) == DVDNAV_STATUS_OK;
  }
  // dvdnav's "logical stream" lookups take the logical number and answer the physical one.
  int AudioPhysical(int logical) override {
    return nav_ && logical >= 0 && logical < 8 ? dvdnav_get_audio_logical_stream(nav_, logical)
                                               : -1;
  }
  int SpuPhysical(int logical) override {
    return nav_ && logical >= 0 && logical < 32 ? dvdnav_get_spu_logical_stream(nav_, logical) : -1;
  }
  int ActiveAudioPhysical() override { return nav_ ? dvdnav_get_active_audio_stream(nav_) : -1; }
  int ActiveSpuPhysical() override { return nav_ ? dvdnav_get_active_spu_stream(nav_) : -1; }
  uint16_t AudioLanguage(int logical) override {
    return nav_ ? dvdnav_audio_stream_to_lang(nav_, static_cast<uint8_t>(logical)) : 0xffff;
  }
  uint16_t SpuLanguage(int logical) override {
    return nav_ ? dvdnav_spu_stream_to_lang(nav_, static_cast<uint8_t>(logical)) : 0xffff;
  }
  bool AudioAttr(int logical, audio_attr_t& attr) override {
    return nav_ &&
           dvdnav_get_audio_attr(nav_, static_cast<uint8_t>(logical), &attr) == DVDNAV_STATUS_OK;
  }
  bool SpuAttr(int logical, subp_attr_t& attr) override {
    return nav_ &&
           dvdnav_get_spu_attr(nav_, static_cast<uint8_t>(logical), &attr) == DVDNAV_STATUS_OK;
  }

 private:
  void Close() {
    if (nav_) dvdnav_close(nav_);
    nav_ = nullptr;
  }
  // Opens libdvdnav on path, or on the view without a first-play program once one is made.
  bool OpenNav(const std::string& path, std::string& why) {
    Close();
    path_ = path;
    lastLog_.clear();
    if (!limits_.firstPlay && !bypass_) {
      why = "the first-play program of " + path + " must not run";
      return false;
    }
    const std::string& target = bypass_ ? bypass_->Folder() : path;
    if (dvdnav_open2(&nav_, &lastLog_, &kLogger, target.c_str()) != DVDNAV_STATUS_OK || !nav_) {
      why = lastLog_.empty() ? "cannot open " + path : lastLog_;
      nav_ = nullptr;
      return false;
    }
    dvdnav_set_readahead_flag(nav_, 1);
    dvdnav_set_PGC_positioning_flag(nav_, 1);
    dvdnav_menu_language_select(nav_, const_cast<char*>("en"));
    dvdnav_audio_language_select(nav_, const_cast<char*>("en"));
    dvdnav_spu_language_select(nav_, const_cast<char*>("en"));
    stopped_ = stoppedAtMenu_ = false;
    pciFresh_ = false;
    readSinceOpen_ = false;
    neverStarted_ = false;
    return true;
  }
  // Before a jump: a disc whose machine never started is reopened without its first-play
  // program; one that stopped is reopened as it is.
  bool RestartIfStopped() {
    if (!nav_) return false;
    if (neverStarted_ && !bypass_) {
      std::string why;
      bypass_ = FirstPlayBypass::Create(path_, why);
      if (!bypass_) return false;
      if (!OpenNav(path_, why)) {
        bypass_.reset();
        return false;
      }
      return true;
    }
    return !stopped_ || Reset();
  }
  // The highlight information of the menu the navigator stands in, or null. The PCI libdvdnav
  // hands out is the last one read: after a jump it still describes the place left behind,
  // and pressing its buttons runs a menu's commands where they must not run (libdvdnav then
  // aborts). It is taken only once a navigation packet has been read since the last change.
  pci_t* MenuPci() {
    if (!nav_ || stopped_ || !pciFresh_ || !limits_.menus) return nullptr;
    if (!dvdnav_is_domain_vmgm(nav_) && !dvdnav_is_domain_vtsm(nav_)) return nullptr;
    pci_t* pci = dvdnav_get_current_nav_pci(nav_);
    if (!pci || pci->hli.hl_gi.hli_ss == 0 || pci->hli.hl_gi.btn_ns == 0) return nullptr;
    return pci;
  }
  // True when button b's command may run in the current menu domain, and does not lead into
  // a title or title set the disc check barred.
  bool ButtonFits(const pci_t* pci, int b) {
    int count = std::min<int>(pci->hli.hl_gi.btn_ns, 36);
    if (b < 1 || b > count) return false;
    NavDomain d =
        dvdnav_is_domain_vmgm(nav_) ? NavDomain::kVideoManagerMenu : NavDomain::kTitleSetMenu;
    return ButtonCommandAllowed(pci->hli.btnit[b - 1].cmd.bytes, d, limits_);
  }
  // The button whose rectangle holds (x, y), the one with the nearest centre when several do;
  // 0 for none.
  static int ButtonAt(const pci_t* pci, int32_t x, int32_t y) {
    int count = std::min<int>(pci->hli.hl_gi.btn_ns, 36);
    int best = 0;
    int64_t bestDist = 0;
    for (int b = 1; b <= count; ++b) {
      const btni_t& bt = pci->hli.btnit[b - 1];
      if (x < int32_t(bt.x_start) || x > int32_t(bt.x_end) || y < int32_t(bt.y_start) ||
          y > int32_t(bt.y_end))
        continue;
      int64_t dx = 2 * int64_t(x) - bt.x_start - bt.x_end;
      int64_t dy = 2 * int64_t(y) - bt.y_start - bt.y_end;
      int64_t dist = dx * dx + dy * dy;
      if (!best || dist < bestDist) {
        best = b;
        bestDist = dist;
      }
    }
    return best;
  }
  dvdnav_t* nav_ = nullptr;
  std::string path_;
  std::string lastLog_;
  bool stopped_ = false;
  bool stoppedAtMenu_ = false;  // stopped where a menu the check barred begins
  bool pciFresh_ = false;       // a navigation packet was read since the last jump or change
  bool readSinceOpen_ = false;  // a block came since the disc was (re)opened
  bool neverStarted_ = false;   // the first read after opening failed
  std::unique_ptr<FirstPlayBypass> bypass_;
  DiscLimits limits_;  // the whole disc unless the disc check barred parts of it
};

std::mutex g_factoryMu;
NavigatorFactory g_factory;

}  // namespace

std::unique_ptr<INavigator> CreateDvdnavNavigator() { return std::make_unique<DvdnavNavigator>(); }

void SetNavigatorFactory(NavigatorFactory f) {
  std::lock_guard lock(g_factoryMu);
  g_factory = std::move(f);
}

std::unique_ptr<INavigator> CreateNavigator() {
  std::lock_guard lock(g_factoryMu);
  return g_factory ? g_factory() : CreateDvdnavNavigator();
}

}  // namespace navdisc::graph

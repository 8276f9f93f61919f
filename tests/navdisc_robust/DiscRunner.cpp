// Plays a disc the way a user would, in a process of its own, so that a test can watch it
// from outside: the parent sees a signal or a hang where a damaged disc brought it down.
//
//   navdisc_disc_runner nav PATH [--no-validate]
//       validate, then drive libdvdnav directly: read the whole disc through its menus,
//       press every button, play every part of every title, search, call menus.
//
// Exit status: 0 played to the end, 3 refused or failed cleanly, 2 usage.
#include <dvdnav/dvdnav.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "navdisc/DiscValidator.h"

namespace {

void QuietLog(void*, dvdnav_logger_level_t, const char*, va_list) {}

// Reads until a still frame that waits for the user, the end of the disc, an error or the
// block budget; answers waits and short stills as a player does.
enum class Stop { kStill, kEnd, kError, kBudget };

Stop ReadOn(dvdnav_t* nav, int budget) {
  static uint8_t buf[DVD_VIDEO_LB_LEN];
  for (int i = 0; i < budget; ++i) {
    int event = 0, len = 0;
    if (dvdnav_get_next_block(nav, buf, &event, &len) != DVDNAV_STATUS_OK) return Stop::kError;
    switch (event) {
      case DVDNAV_STILL_FRAME: {
        auto* still = reinterpret_cast<dvdnav_still_event_t*>(buf);
        if (still->length == 0xff) return Stop::kStill;
        dvdnav_still_skip(nav);
        break;
      }
      case DVDNAV_WAIT:
        dvdnav_wait_skip(nav);
        break;
      case DVDNAV_STOP:
        return Stop::kEnd;
      case DVDNAV_NAV_PACKET:
        dvdnav_get_current_nav_pci(nav);
        dvdnav_get_current_nav_dsi(nav);
        break;
      case DVDNAV_VTS_CHANGE:
        dvdnav_get_video_aspect(nav);
        for (uint8_t s = 0; s < 8; ++s) {
          dvdnav_audio_stream_to_lang(nav, s);
          dvdnav_spu_stream_to_lang(nav, s);
        }
        break;
      default:
        break;
    }
  }
  return Stop::kBudget;
}

int RunNav(const std::string& path, bool validate) {
  if (validate) {
    std::string why;
    if (!navdisc::ValidateDisc(path, &why)) {
      std::printf("refused: %s\n", why.c_str());
      return 3;
    }
  }
  dvdnav_t* nav = nullptr;
  static const dvdnav_logger_cb kLogger = {QuietLog};
  if (dvdnav_open2(&nav, nullptr, &kLogger, path.c_str()) != DVDNAV_STATUS_OK) {
    std::printf("open failed\n");
    return 3;
  }
  int failures = 0;
  // Start-up into the first menu, then every button of it and back.
  Stop s = ReadOn(nav, 20000);
  for (int button = 1; button <= 4 && s == Stop::kStill; ++button) {
    pci_t* pci = dvdnav_get_current_nav_pci(nav);
    dvdnav_upper_button_select(nav, pci);
    dvdnav_lower_button_select(nav, pci);
    dvdnav_mouse_select(nav, pci, 360, 180);
    dvdnav_button_select_and_activate(nav, pci, button);
    dvdnav_still_skip(nav);
    s = ReadOn(nav, 20000);
    if (s == Stop::kError) ++failures;
    if (dvdnav_menu_call(nav, DVD_MENU_Title) == DVDNAV_STATUS_OK) s = ReadOn(nav, 20000);
  }
  // Every part of every title, with the searches and menu calls a player makes there.
  int32_t titles = 0;
  if (dvdnav_get_number_of_titles(nav, &titles) == DVDNAV_STATUS_OK) {
    for (int32_t t = 1; t <= titles && t <= 99; ++t) {
      uint64_t* times = nullptr;
      uint64_t duration = 0;
      const uint32_t chapters = dvdnav_describe_title_chapters(nav, t, &times, &duration);
      std::free(times);
      int32_t parts = 0;
      dvdnav_get_number_of_parts(nav, t, &parts);
      for (int32_t p = 1; p <= parts && p <= 99; ++p) {
        if (dvdnav_part_play(nav, t, p) != DVDNAV_STATUS_OK) continue;
        const Stop first = ReadOn(nav, 300);
        if (first == Stop::kError) ++failures;
        // A stopped navigator has no program chain: searching in it crashes libdvdnav, so a
        // player starts it again instead.
        if (first == Stop::kEnd || first == Stop::kError) {
          dvdnav_reset(nav);
          continue;
        }
        dvdnav_next_pg_search(nav);
        ReadOn(nav, 200);
        dvdnav_prev_pg_search(nav);
        ReadOn(nav, 200);
        dvdnav_time_search(nav, duration / 2);
        ReadOn(nav, 200);
        if (dvdnav_menu_call(nav, DVD_MENU_Root) == DVDNAV_STATUS_OK) {
          ReadOn(nav, 2000);
          dvdnav_menu_call(nav, DVD_MENU_Escape);
          ReadOn(nav, 2000);
        }
      }
      if (chapters && dvdnav_title_play(nav, t) == DVDNAV_STATUS_OK) {
        const Stop end = ReadOn(nav, 20000);
        if (end == Stop::kError) ++failures;
        if (end == Stop::kEnd || end == Stop::kError) dvdnav_reset(nav);
      }
    }
  }
  dvdnav_close(nav);
  std::printf("played, %d read failures\n", failures);
  return failures ? 3 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "nav") == 0)
    return RunNav(argv[2], !(argc >= 4 && std::strcmp(argv[3], "--no-validate") == 0));
  std::fprintf(stderr, "usage: %s nav PATH [--no-validate]\n", argv[0]);
  return 2;
}

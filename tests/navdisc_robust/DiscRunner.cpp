// Plays a disc the way a user would, in a process of its own, so that a test can watch it
// from outside: the parent sees a signal or a hang where a damaged disc brought it down.
//
//   navdisc_disc_runner nav PATH [--no-validate]
//       validate, then drive libdvdnav directly: read the whole disc through its menus,
//       press every button, play every part of every title, search, call menus.
//   navdisc_disc_runner walk PATH SEED COUNT
//       COUNT random commands through the exports (seeded), then PlayDVD: the engine must
//       still answer with events (exit 4 if it does not).
//   navdisc_disc_runner engine PATH
//       open the disc through the engine's exports as the player does (headless, null audio)
//       and use it for a moment: menus, buttons, titles, chapters, seeks, rates, stop.
//   navdisc_disc_runner play PATH [TITLE...]
//       open and play as the player does, answering the engine's box as a user would; with
//       titles, jump to each in turn. Waits each time for playing time to advance in a title,
//       and prints what was seen: boxes, jump answers, titles entered, time events, stops.
//       A last "end" waits for playing to end by itself (a stop or an error).
//
// Exit status: 0 played to the end, 3 refused or failed cleanly, 2 usage.
#include <dvdnav/dvdnav.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "navdisc/DiscValidator.h"
#include "navdisc/DvdTypes.h"
#include "navdisc/Navdisc.h"
#include "navdisc/graph/FirstPlayBypass.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"

namespace {

void QuietLog(void*, dvdnav_logger_level_t, const char*, va_list) {}

// Reads until a still frame that waits for the user, the end of the disc, an error or the
// block budget; answers waits and short stills as a player does.
enum class Stop { kStill, kEnd, kError, kBudget };

// Without menus (a disc whose check barred them) reading ends where one begins, as in the
// engine.
Stop ReadOn(dvdnav_t* nav, int budget, bool menus = true) {
  static uint8_t buf[DVD_VIDEO_LB_LEN];
  for (int i = 0; i < budget; ++i) {
    int event = 0, len = 0;
    if (dvdnav_get_next_block(nav, buf, &event, &len) != DVDNAV_STATUS_OK) return Stop::kError;
    if (!menus && (event == DVDNAV_VTS_CHANGE || event == DVDNAV_CELL_CHANGE) &&
        (dvdnav_is_domain_vmgm(nav) || dvdnav_is_domain_vtsm(nav)))
      return Stop::kEnd;
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

// With the disc check, what it barred is left alone as the engine leaves it: the menus, the
// titles, and buttons leading to them.
int RunNav(const std::string& path, bool validate) {
  navdisc::DiscLimits limits;
  if (validate) {
    std::string why;
    if (!navdisc::ValidateDisc(path, &why, &limits)) {
      std::printf("refused: %s\n", why.c_str());
      return 3;
    }
  }
  // A first-play program the check barred is kept from libdvdnav as the engine keeps it.
  std::unique_ptr<navdisc::graph::FirstPlayBypass> view;
  if (!limits.firstPlay) {
    std::string why;
    view = navdisc::graph::FirstPlayBypass::Create(path, why);
    if (!view) {
      std::printf("open failed: %s\n", why.c_str());
      return 3;
    }
  }
  dvdnav_t* nav = nullptr;
  static const dvdnav_logger_cb kLogger = {QuietLog};
  if (dvdnav_open2(&nav, nullptr, &kLogger, (view ? view->Folder() : path).c_str()) !=
      DVDNAV_STATUS_OK) {
    std::printf("open failed\n");
    return 3;
  }
  int failures = 0;
  // Start-up into the first menu, then every button of it and back.
  Stop s = limits.menus ? ReadOn(nav, 20000) : Stop::kEnd;
  for (int button = 1; button <= 4 && s == Stop::kStill; ++button) {
    pci_t* pci = dvdnav_get_current_nav_pci(nav);
    dvdnav_upper_button_select(nav, pci);
    dvdnav_lower_button_select(nav, pci);
    dvdnav_mouse_select(nav, pci, 360, 180);
    const navdisc::NavDomain domain = dvdnav_is_domain_vmgm(nav)
                                          ? navdisc::NavDomain::kVideoManagerMenu
                                          : navdisc::NavDomain::kTitleSetMenu;
    if (!validate ||
        (button <= pci->hli.hl_gi.btn_ns &&
         navdisc::ButtonCommandAllowed(pci->hli.btnit[button - 1].cmd.bytes, domain, limits)))
      dvdnav_button_select_and_activate(nav, pci, button);
    dvdnav_still_skip(nav);
    s = ReadOn(nav, 20000);
    if (s == Stop::kError) ++failures;
    if (limits.menus && dvdnav_menu_call(nav, DVD_MENU_Title) == DVDNAV_STATUS_OK)
      s = ReadOn(nav, 20000);
  }
  // Every part of every title, with the searches and menu calls a player makes there.
  int32_t titles = 0;
  if (dvdnav_get_number_of_titles(nav, &titles) == DVDNAV_STATUS_OK) {
    for (int32_t t = 1; t <= titles && t <= 99; ++t) {
      if (!limits.TitleAllowed(t)) continue;
      uint64_t* times = nullptr;
      uint64_t duration = 0;
      const uint32_t chapters = dvdnav_describe_title_chapters(nav, t, &times, &duration);
      std::free(times);
      int32_t parts = 0;
      dvdnav_get_number_of_parts(nav, t, &parts);
      for (int32_t p = 1; p <= parts && p <= 99; ++p) {
        if (dvdnav_part_play(nav, t, p) != DVDNAV_STATUS_OK) continue;
        const Stop first = ReadOn(nav, 300, limits.menus);
        if (first == Stop::kError) ++failures;
        // A stopped navigator has no program chain: searching in it crashes libdvdnav, so a
        // player starts it again instead.
        if (first == Stop::kEnd || first == Stop::kError) {
          dvdnav_reset(nav);
          continue;
        }
        // Where reading ended (a menu the engine does not read), so does searching.
        dvdnav_next_pg_search(nav);
        bool on = ReadOn(nav, 200, limits.menus) != Stop::kEnd;
        if (on) dvdnav_prev_pg_search(nav);
        on = on && ReadOn(nav, 200, limits.menus) != Stop::kEnd;
        if (on) dvdnav_time_search(nav, duration / 2);
        on = on && ReadOn(nav, 200, limits.menus) != Stop::kEnd;
        if (!on) {
          dvdnav_reset(nav);
          continue;
        }
        if (limits.menus && dvdnav_menu_call(nav, DVD_MENU_Root) == DVDNAV_STATUS_OK) {
          ReadOn(nav, 2000, limits.menus);
          dvdnav_menu_call(nav, DVD_MENU_Escape);
          ReadOn(nav, 2000, limits.menus);
        }
      }
      if (chapters && dvdnav_title_play(nav, t) == DVDNAV_STATUS_OK) {
        const Stop end = ReadOn(nav, 20000, limits.menus);
        if (end == Stop::kError) ++failures;
        if (end == Stop::kEnd || end == Stop::kError) dvdnav_reset(nav);
      }
    }
  }
  dvdnav_close(nav);
  std::printf("played, %d read failures\n", failures);
  return failures ? 3 : 0;
}

int g_events = 0;
int g_times = 0, g_stops = 0, g_errors = 0, g_title = 0, g_domain = 0;
void CountEvent(int32_t code, int32_t p1, int32_t) {
  ++g_events;
  if (code == navdisc::EC_DVD_TITLE_CHANGE) g_title = p1;
  if (code == navdisc::EC_DVD_DOMAIN_CHANGE) g_domain = p1;
  if (code == navdisc::EC_DVD_CURRENT_HMSF_TIME || code == navdisc::EC_DVD_CURRENT_TIME) ++g_times;
  if (code == navdisc::EC_DVD_PLAYBACK_STOPPED) ++g_stops;
  if (code == navdisc::EC_DVD_ERROR) ++g_errors;
}

void Pump(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) plat::PumpMessages(20);
}

const LumoraRect kWholeWindow{0, 0, 720, 576};

// Opens the disc through the exports into a window of its own and starts playing, as the
// player does; the window's handle, or 0 when the engine refuses the disc.
HWND OpenAndPlay(const std::string& path, QWidget& window) {
  window.resize(720, 576);
  const HWND h = plat::RegisterWindow(&window, [](unsigned msg, WPARAM, LPARAM, LRESULT&) {
    if (msg != WM_DVD_GRAPH_EVENT) return false;
    GetDVDEvent(&CountEvent);
    return true;
  });
  if (!InitialDVDGraph(h) || !RenderDVDPath(path.c_str())) {
    DestroyDVDGraph();
    std::printf("refused\n");
    return 0;
  }
  PutDVDOwner(h, &kWholeWindow, true);
  PlayDVD();
  return h;
}

int RunEngine(const std::string& path, int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("LUMORA_AUDIO")) qputenv("LUMORA_AUDIO", "null");
  QApplication app(argc, argv);
  // The engine's box (a disc played without its menus) is answered as a user would.
  plat::SetMessageBoxDouble([](const plat::MessageBoxRecord&) { return plat::IDOK; });
  QWidget window;
  const HWND h = OpenAndPlay(path, window);
  if (!h) return 3;
  Pump(400);
  SelectRelativeButton(2);
  HandleMouseEvent(360, 300, false);
  SelectRelativeButton(0);
  Pump(300);
  JumpDVDMenu(3);
  Pump(100);
  JumpDVDMenu(3);
  JumpDVDTitle(1);
  Pump(100);
  JumpDVDChapter(2);
  SetDVDPositions(9.0);
  SetDVDProgress(50);
  PutDVDPlaybackRatio(2.0);
  Pump(200);
  PlayDVD();
  JumpDVDTitle(3);
  HandleMouseEvent(360, 180, true);
  JumpDVDMenu(2);
  Pump(200);
  PauseDVD();
  StopDVD();
  PlayDVD();
  Pump(100);
  StopDVD();
  StopDVD();
  DestroyDVDGraph();
  std::printf("played, %d events\n", g_events);
  return 0;
}

// Pumps until two more time events come in title `title` (any title for 0; or a menu shown
// when menus count), or playing stops or fails. True when it plays.
bool AwaitPlaying(int title, bool menus = false) {
  const int times = g_times, stops = g_stops, errors = g_errors;
  auto inMenu = [&] {
    return menus && (g_domain == navdisc::DVD_DOMAIN_VideoManagerMenu ||
                     g_domain == navdisc::DVD_DOMAIN_VideoTitleSetMenu);
  };
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < 30000 && g_stops == stops && g_errors == errors && !inMenu() &&
         (g_times < times + 2 || (title ? g_title != title : g_title == 0)))
    plat::PumpMessages(20);
  return g_stops == stops && g_errors == errors && g_times >= times + 2 &&
         (title ? g_title == title : g_title != 0);
}

int RunPlay(const std::string& path, const std::vector<uint32_t>& titles, int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("LUMORA_AUDIO")) qputenv("LUMORA_AUDIO", "null");
  QApplication app(argc, argv);
  static int boxes = 0;
  plat::SetMessageBoxDouble([](const plat::MessageBoxRecord&) {
    ++boxes;
    return plat::IDOK;
  });
  QWidget window;
  if (!OpenAndPlay(path, window)) return 3;
  AwaitPlaying(0, true);
  std::printf("start: boxes %d, %s %d, times %d, stops %d, errors %d\n", boxes,
              g_title ? "title" : "domain", g_title ? g_title : g_domain, g_times, g_stops,
              g_errors);
  for (uint32_t title : titles) {
    if (title == 0) {  // "end"
      const int stops = g_stops, errors = g_errors;
      QElapsedTimer t;
      t.start();
      while (t.elapsed() < 60000 && g_stops == stops && g_errors == errors) plat::PumpMessages(20);
      std::printf("end: title %d, stops %d, errors %d\n", g_title, g_stops - stops,
                  g_errors - errors);
      continue;
    }
    const bool jumped = JumpDVDTitle(title);
    const bool plays = jumped && AwaitPlaying(static_cast<int>(title));
    std::printf("title %u: jump %d, plays %d, title %d, times %d, stops %d, errors %d\n", title,
                jumped, plays, g_title, g_times, g_stops, g_errors);
  }
  StopDVD();
  DestroyDVDGraph();
  return 0;
}

int RunWalk(const std::string& path, unsigned seed, int count, int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (qEnvironmentVariableIsEmpty("LUMORA_AUDIO")) qputenv("LUMORA_AUDIO", "null");
  QApplication app(argc, argv);
  // The engine's own box (a disc without a working first play) is answered as a user would.
  plat::SetMessageBoxDouble([](const plat::MessageBoxRecord&) { return plat::IDOK; });
  QWidget window;
  const HWND h = OpenAndPlay(path, window);
  if (!h) return 3;
  std::mt19937 rng(seed);
  static const double kRates[] = {0.25, 0.5, 1.0, 2.0, 4.0, 8.0, 16.0, -2.0, 0.0};
  static const int32_t kMenus[] = {2, 3, 4, 5, 6, 7, 0, 99};
  uint8_t attributes[108];
  for (int i = 0; i < count; ++i) {
    switch (rng() % 18) {
      case 0:
        PlayDVD();
        break;
      case 1:
        PauseDVD();
        break;
      case 2:
        StopDVD();
        break;
      case 3:
        JumpDVDMenu(kMenus[rng() % 8]);
        break;
      case 4:
        JumpDVDTitle(rng() % 5);
        break;
      case 5:
        JumpDVDChapter(rng() % 5);
        break;
      case 6:
        SetDVDPositions(static_cast<double>(rng() % 160) / 10.0 - 1.0);
        break;
      case 7:
        SetDVDProgress(static_cast<int32_t>(rng() % 120) - 10);
        break;
      case 8:
        PutDVDPlaybackRatio(kRates[rng() % 9]);
        break;
      case 9:
        SelectRelativeButton(static_cast<int32_t>(rng() % 6));
        break;
      case 10:
        HandleMouseEvent(static_cast<int32_t>(rng() % 800) - 40,
                         static_cast<int32_t>(rng() % 640) - 30, rng() % 4 == 0);
        break;
      case 11:
        StepDVD(rng() % 2 == 0);
        break;
      case 12:
        SelectDVDAngle(rng() % 3);
        break;
      case 13:
        GetDVDCurrentAttributes(attributes);
        break;
      case 14:
        SetDVDVolumeAndBalance(-static_cast<int32_t>(rng() % 10001),
                               static_cast<int32_t>(rng() % 20001) - 10000);
        break;
      case 15: {
        const LumoraRect r{0, 0, 320 + static_cast<int32_t>(rng() % 400), 240};
        PutDVDOwner(h, rng() % 3 ? &r : nullptr, true);
        break;
      }
      default:
        plat::PumpMessages(static_cast<int>(rng() % 15));
        break;
    }
  }
  // Responsive at the end: playing again makes the engine post events.
  PutDVDOwner(h, &kWholeWindow, true);
  PlayDVD();
  JumpDVDTitle(1);
  PlayDVD();
  const int before = g_events;
  QElapsedTimer t;
  t.start();
  while (g_events == before && t.elapsed() < 10000) plat::PumpMessages(20);
  const bool alive = g_events > before;
  StopDVD();
  DestroyDVDGraph();
  std::printf("walked %d commands, %s\n", count, alive ? "responsive" : "no events after play");
  return alive ? 0 : 4;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "nav") == 0)
    return RunNav(argv[2], !(argc >= 4 && std::strcmp(argv[3], "--no-validate") == 0));
  if (argc >= 3 && std::strcmp(argv[1], "engine") == 0) return RunEngine(argv[2], argc, argv);
  if (argc >= 3 && std::strcmp(argv[1], "play") == 0) {
    std::vector<uint32_t> titles;
    for (int i = 3; i < argc; ++i)
      titles.push_back(
          std::strcmp(argv[i], "end") == 0 ? 0u : static_cast<uint32_t>(std::atoi(argv[i])));
    return RunPlay(argv[2], titles, argc, argv);
  }
  if (argc >= 5 && std::strcmp(argv[1], "walk") == 0)
    return RunWalk(argv[2], static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)),
                   std::atoi(argv[4]), argc, argv);
  std::fprintf(stderr,
               "usage: %s nav|engine PATH [--no-validate] | walk PATH SEED COUNT | "
               "play PATH [TITLE...]\n",
               argv[0]);
  return 2;
}

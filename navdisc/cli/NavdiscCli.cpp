// navdisc-cli: drives libNavdisc the way the player does, from a command script, and prints
// every engine event. Loads the library by name, as the player does.
//
//   navdisc-cli [--window WxH] [--lib PATH] DISC [COMMAND ...]
//   navdisc-cli [--window WxH] DISC -f SCRIPT      (one command a line; '#' starts a comment)
//
// Commands: play | pause | stop | step | rate R | seek SECONDS | progress PERCENT |
//   menu ID | title N | chapter N | angle N | button DIR (0 activate, 1 up, 2 down, 3 left,
//   4 right) | mouse X Y [click] | bookmark save|load FILE NAME | snapshot FILE |
//   volume VOL BAL | picture brightness|contrast|hue|saturation VALUE | owner [L T W H] |
//   audio STREAM | subtitle STREAM|off |
//   attributes | streams | wait MS | waitfor EVENT_NAME [MS] | grab FILE | quit
#include <dlfcn.h>

#include <QApplication>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "navdisc/Navdisc.h"
#include "platform/Locale.h"
#include "platform/MessageBox.h"
#include "platform/VideoSurface.h"
#include "platform/Window.h"

namespace {

// The 28 exports, once, for the table of pointers and for looking them up.
// clang-format off
#define NAVDISC_EXPORTS(X) \
  X(InitialDVDGraph) \
  X(DestroyDVDGraph) \
  X(RenderDVDPath) \
  X(PlayDVD) \
  X(PauseDVD) \
  X(StepDVD) \
  X(StopDVD) \
  X(PutDVDPlaybackRatio) \
  X(PutDVDOwner) \
  X(SetDVDPositions) \
  X(SetDVDProgress) \
  X(HandleMouseEvent) \
  X(GetDVDEvent) \
  X(JumpDVDMenu) \
  X(JumpDVDChapter) \
  X(JumpDVDTitle) \
  X(SelectDVDAngle) \
  X(DVDBookmark) \
  X(GetDVDCurrentAttributes) \
  X(GetIDvdInfo2) \
  X(GetIDvdControl2) \
  X(SelectRelativeButton) \
  X(SnapshootDVDToFile) \
  X(SetDVDVolumeAndBalance) \
  X(SetDVDVideoBrightness) \
  X(SetDVDVideoContrast) \
  X(SetDVDVideoHue) \
  X(SetDVDVideoSaturation)
// clang-format on

struct Api {
#define NAVDISC_FN(name) decltype(&::name) name = nullptr;
  NAVDISC_EXPORTS(NAVDISC_FN)
#undef NAVDISC_FN
};
Api api;

bool Load(const std::string& lib) {
  void* h = dlopen(lib.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h) {
    std::fprintf(stderr, "navdisc-cli: %s\n", dlerror());
    return false;
  }
  bool ok = true;
  auto get = [&](auto& fn, const char* name) {
    fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(h, name));
    if (!fn) {
      std::fprintf(stderr, "navdisc-cli: %s lacks %s\n", lib.c_str(), name);
      ok = false;
    }
  };
#define NAVDISC_GET(name) get(api.name, #name);
  NAVDISC_EXPORTS(NAVDISC_GET)
#undef NAVDISC_GET
  return ok;
}

std::vector<std::string> g_seen;  // names of the events printed so far

void OnEvent(int32_t code, int32_t p1, int32_t p2) {
  const char* name = navdisc::EventCodeName(code);
  std::string n = *name ? name : "EC_0x" + QString::number(code, 16).toStdString();
  g_seen.push_back(n);
  if (code == navdisc::EC_DVD_CURRENT_HMSF_TIME) {
    auto u = static_cast<uint32_t>(p1);
    std::printf("event %s %u:%02u:%02u.%02u\n", n.c_str(), u & 0xff, (u >> 8) & 0xff,
                (u >> 16) & 0xff, (u >> 24) & 0xff);
  } else if (code == navdisc::EC_DVD_DOMAIN_CHANGE) {
    static const char* kDomains[] = {"?",     "FirstPlay", "VideoManagerMenu", "VideoTitleSetMenu",
                                     "Title", "Stop"};
    std::printf("event %s %d (%s)\n", n.c_str(), p1, p1 >= 1 && p1 <= 5 ? kDomains[p1] : "?");
  } else {
    std::printf("event %s p1=%d p2=%d\n", n.c_str(), p1, p2);
  }
  std::fflush(stdout);
}

void PrintStreams() {
  navdisc::IDvdInfo2* info = api.GetIDvdInfo2();
  if (!info) {
    std::printf("streams: no DVD information\n");
    return;
  }
  uint32_t nv = 0, vol = 0, titles = 0, avail = 0, cur = 0;
  navdisc::DVD_DISC_SIDE side;
  if (info->GetDVDVolumeInfo(&nv, &vol, &side, &titles) == 0) std::printf("titles %u\n", titles);
  if (info->GetCurrentAudio(&avail, &cur) >= 0) {
    std::printf("audio %u streams, current %u:", avail, cur);
    for (uint32_t i = 0; i < avail; ++i) {
      uint32_t lcid = 0;
      info->GetAudioLanguage(i, &lcid);
      std::printf(" %u=%s", i, plat::LcidToLanguageName(lcid).c_str());
    }
    std::printf("\n");
  }
  int32_t off = 0;
  if (info->GetCurrentSubpicture(&avail, &cur, &off) >= 0) {
    std::printf("subpicture %u streams, current %u%s:", avail, cur, off ? " (off)" : "");
    for (uint32_t i = 0; i < avail; ++i) {
      uint32_t lcid = 0;
      info->GetSubpictureLanguage(i, &lcid);
      std::printf(" %u=%s", i, plat::LcidToLanguageName(lcid).c_str());
    }
    std::printf("\n");
  }
  if (info->GetCurrentAngle(&avail, &cur) >= 0) std::printf("angle %u of %u\n", cur, avail);
}

struct Cli {
  HWND window = 0;
  QWidget* widget = nullptr;

  bool Run(const std::vector<std::string>& words) {
    if (words.empty()) return true;
    const std::string& c = words[0];
    auto arg = [&](size_t i) { return i < words.size() ? words[i] : std::string(); };
    auto num = [&](size_t i) { return std::atof(arg(i).c_str()); };
    bool r = true;
    if (c == "play")
      r = api.PlayDVD();
    else if (c == "pause")
      r = api.PauseDVD();
    else if (c == "stop")
      r = api.StopDVD();
    else if (c == "step")
      r = api.StepDVD(true);
    else if (c == "rate")
      r = api.PutDVDPlaybackRatio(num(1));
    else if (c == "seek")
      r = api.SetDVDPositions(num(1));
    else if (c == "progress")
      r = api.SetDVDProgress(static_cast<int32_t>(num(1)));
    else if (c == "menu")
      r = api.JumpDVDMenu(static_cast<int32_t>(num(1)));
    else if (c == "title")
      r = api.JumpDVDTitle(static_cast<uint32_t>(num(1)));
    else if (c == "chapter")
      r = api.JumpDVDChapter(static_cast<uint32_t>(num(1)));
    else if (c == "angle")
      r = api.SelectDVDAngle(static_cast<uint32_t>(num(1)));
    else if (c == "button")
      r = api.SelectRelativeButton(static_cast<int32_t>(num(1)));
    else if (c == "mouse")
      r = api.HandleMouseEvent(int32_t(num(1)), int32_t(num(2)), arg(3) == "click");
    else if (c == "bookmark")
      r = api.DVDBookmark(arg(2).c_str(), arg(3).c_str(), arg(1) == "save");
    else if (c == "snapshot")
      r = api.SnapshootDVDToFile(arg(1).c_str());
    else if (c == "volume")
      r = api.SetDVDVolumeAndBalance(int32_t(num(1)), int32_t(num(2)));
    else if (c == "picture") {
      std::string w = arg(1);
      double v = num(2);
      r = w == "brightness"   ? api.SetDVDVideoBrightness(v)
          : w == "contrast"   ? api.SetDVDVideoContrast(v)
          : w == "hue"        ? api.SetDVDVideoHue(v)
          : w == "saturation" ? api.SetDVDVideoSaturation(v)
                              : false;
    } else if (c == "owner") {
      if (words.size() >= 5) {
        LumoraRect rc{int32_t(num(1)), int32_t(num(2)), int32_t(num(3)), int32_t(num(4))};
        r = api.PutDVDOwner(window, &rc, true);
      } else {
        r = api.PutDVDOwner(window, nullptr, true);
      }
    } else if (c == "audio") {
      auto* control = api.GetIDvdControl2();
      r = control && control->SelectAudioStream(static_cast<uint32_t>(num(1)), 0, nullptr) == 0;
    } else if (c == "subtitle") {
      auto* control = api.GetIDvdControl2();
      if (!control)
        r = false;
      else if (arg(1) == "off")
        r = control->SetSubpictureState(false, 0, nullptr) == 0;
      else
        r = control->SelectSubpictureStream(static_cast<uint32_t>(num(1)), 0, nullptr) == 0 &&
            control->SetSubpictureState(true, 0, nullptr) == 0;
    } else if (c == "attributes") {
      uint8_t buf[108] = {};
      r = api.GetDVDCurrentAttributes(buf);
      uint32_t ax, ay, h;
      std::memcpy(&ax, buf + 8, 4);
      std::memcpy(&ay, buf + 12, 4);
      std::memcpy(&h, buf + 40, 4);
      std::printf("attributes aspect %u:%u, %u lines\n", ax, ay, h);
    } else if (c == "streams") {
      PrintStreams();
    } else if (c == "wait") {
      plat::PumpMessages(static_cast<int>(num(1)));
    } else if (c == "waitfor") {
      int ms = words.size() > 2 ? static_cast<int>(num(2)) : 10000;
      size_t from = g_seen.size();
      r = false;
      for (int t = 0; t < ms && !r; t += 20) {
        plat::PumpMessages(20);
        for (size_t i = from; i < g_seen.size() && !r; ++i) r = g_seen[i] == arg(1);
      }
    } else if (c == "grab") {
      r = widget && widget->grab().save(QString::fromStdString(arg(1)));
    } else if (c == "quit") {
      return false;
    } else {
      std::printf("unknown command %s\n", c.c_str());
      r = false;
    }
    std::printf("%s -> %s\n", c.c_str(), r ? "true" : "false");
    std::fflush(stdout);
    return true;
  }
};

std::vector<std::string> Split(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> out;
  for (std::string w; in >> w;) {
    if (w[0] == '#') break;
    out.push_back(w);
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("LUMORA_LOG", "1", 1);  // the engine says why it refuses a disc
  std::string lib = "libNavdisc.so", geometry, disc, script;
  std::vector<std::string> commands;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--window" && i + 1 < argc)
      geometry = argv[++i];
    else if (a == "--lib" && i + 1 < argc)
      lib = argv[++i];
    else if (a == "-f" && i + 1 < argc)
      script = argv[++i];
    else if (disc.empty() && a.rfind("-", 0) != 0)
      disc = a;
    else
      commands.push_back(a);
  }
  if (disc.empty()) {
    std::fprintf(stderr,
                 "usage: navdisc-cli [--window WxH] [--lib PATH] DISC [-f SCRIPT] [COMMAND ...]\n");
    return 2;
  }
  if (geometry.empty() && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (!Load(lib)) return 1;

  int w = 720, h = 405;
  if (!geometry.empty()) std::sscanf(geometry.c_str(), "%dx%d", &w, &h);
  QWidget window;
  window.setWindowTitle("navdisc-cli");
  window.resize(w, h);
  window.setStyleSheet("background: black");
  if (!geometry.empty()) window.show();
  if (geometry.empty()) {
    // Nobody can close a box without a screen: print it and answer OK.
    plat::SetMessageBoxDouble([](const plat::MessageBoxRecord& r) {
      std::printf("messagebox \"%s\": %s\n", r.caption.c_str(), r.text.c_str());
      std::fflush(stdout);
      return plat::IDOK;
    });
  }
  Cli cli;
  cli.widget = &window;
  cli.window = plat::RegisterWindow(&window, [](unsigned msg, WPARAM, LPARAM, LRESULT&) {
    if (msg != WM_DVD_GRAPH_EVENT) return false;
    api.GetDVDEvent(&OnEvent);
    return true;
  });
  plat::PumpMessages(50);

  bool ok = api.InitialDVDGraph(cli.window) && api.RenderDVDPath(disc.c_str());
  std::printf("render %s -> %s\n", disc.c_str(), ok ? "true" : "false");
  std::fflush(stdout);
  if (!ok) {
    api.DestroyDVDGraph();
    return 1;
  }
  api.PutDVDOwner(cli.window, nullptr, true);
  api.SetDVDVolumeAndBalance(0, 0);

  std::vector<std::vector<std::string>> lines;
  for (const std::string& c : commands) {
    std::vector<std::string> words = Split(c);
    if (!words.empty()) lines.push_back(words);
  }
  if (!script.empty()) {
    std::ifstream in(script);
    if (!in) {
      std::fprintf(stderr, "navdisc-cli: cannot read %s\n", script.c_str());
      api.DestroyDVDGraph();
      return 1;
    }
    for (std::string line; std::getline(in, line);)
      if (auto words = Split(line); !words.empty()) lines.push_back(words);
  }
  for (auto& words : lines)
    if (!cli.Run(words)) break;
  api.StopDVD();
  api.DestroyDVDGraph();
  return 0;
}

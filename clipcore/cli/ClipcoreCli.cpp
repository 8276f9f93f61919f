// clipcore-cli: drives the media engine from a small command script and prints what it reports.
//
//   clipcore-cli [--hidden] [--size WxH] [--script FILE|-] [FILE | --tv]
//
// A FILE or --tv is opened and played first. Without a script the program waits for the end
// of the media. Script lines (blank lines and '#' comments are skipped):
//   open PATH | tv | start PATH | play [rate] | pause | step [n] | seek SECONDS | seekpct P
//   rate R | volume CENTIBELS [BALANCE] | brightness|contrast|hue|saturation VALUE
//   snapshot PATH | owner X Y W H [keep] | scan | scanstop | channel N | info | frames
//   wait MS | waitend [MS] | waitscan [MS] | stop | close | quit
// Output: one line per command result ("ok CMD ..." / "fail CMD"), per engine event
// ("event CODE P1 P2"), per scan message ("scan found N", "scan end C") and per position
// report ("pos POSITION LENGTH PERCENT"), and a closing "usage cpu=S rss=KB" line.
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "clipcore/Clipcore.h"
#include "platform/VideoSurface.h"
#include "platform/Window.h"

namespace {

HWND g_window = 0;
int g_lastEvent = 0;       // last media event code seen
bool g_scanEnded = false;  // a scan-end message arrived

void OnEvent(int32_t code, int32_t p1, int32_t p2) {
  std::printf("event %d %d %d\n", code, p1, p2);
  std::fflush(stdout);
  g_lastEvent = code;
}

void PrintPosition() {
  double length = 0, position = 0;
  int32_t percent = 0;
  if (GetPlayInfo(&length, &position, &percent))
    std::printf("pos %.3f %.3f %d\n", position, length, percent);
  else
    std::printf("pos none\n");
  std::fflush(stdout);
}

// Pumps messages until done() or ms elapse, reporting the position every 500 ms.
template <typename Done>
bool WaitFor(int ms, Done done) {
  QElapsedTimer timer;
  timer.start();
  qint64 nextReport = 500;
  while (!done()) {
    if (ms >= 0 && timer.elapsed() >= ms) return false;
    plat::PumpMessages(10);
    if (timer.elapsed() >= nextReport) {
      PrintPosition();
      nextReport += 500;
    }
  }
  return true;
}

// Frames the surface has painted; a --hidden window paints none.
uint64_t FramesShown() { return plat::PresentedFrameCount(g_window); }

bool Open(const std::string& path, bool tv) {
  if (!InitialGraph(g_window)) return false;
  if (!(tv ? RenderTV() : RenderFile(path.c_str()))) {
    DestroyGraph();
    return false;
  }
  if (!PutOwner(g_window, nullptr, true)) {
    DestroyGraph();
    return false;
  }
  SetFileVolumeAndBalance(0, 0);
  return true;
}

void PrintInfo() {
  int32_t w = 0, h = 0;
  bool seek = false;
  if (GetFileInfo(&w, &h, &seek))
    std::printf("size %d %d seek %d\n", w, h, seek ? 1 : 0);
  else
    std::printf("size none\n");
  PrintPosition();
}

int Number(const std::vector<std::string>& a, size_t i, int def) {
  return i < a.size() ? std::atoi(a[i].c_str()) : def;
}
double Real(const std::vector<std::string>& a, size_t i, double def) {
  return i < a.size() ? std::atof(a[i].c_str()) : def;
}

// Runs one script line; false for "quit".
bool Run(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> a;
  for (std::string w; in >> w;) a.push_back(w);
  if (a.empty() || a[0][0] == '#') return true;
  const std::string& cmd = a[0];
  // The rest of the line, for paths with blanks.
  std::string rest;
  if (a.size() > 1) rest = line.substr(line.find(a[1], line.find(cmd) + cmd.size()));
  while (!rest.empty() && (rest.back() == '\r' || rest.back() == ' ')) rest.pop_back();
  auto report = [&](bool ok) { std::printf("%s %s\n", ok ? "ok" : "fail", cmd.c_str()); };

  if (cmd == "quit") return false;
  if (cmd == "open" || cmd == "tv") {
    QElapsedTimer t;
    t.start();
    const bool ok = Open(rest, cmd == "tv");
    std::printf("%s %s %lld\n", ok ? "ok" : "fail", cmd.c_str(), (long long)t.elapsed());
    if (ok) PrintInfo();
  } else if (cmd == "start") {
    // What the player does to start a file, timed to the first frame on the surface.
    QElapsedTimer t;
    t.start();
    const uint64_t before = FramesShown();
    qint64 stage[4] = {0, 0, 0, 0};
    bool ok = InitialGraph(g_window);
    stage[0] = t.elapsed();
    ok = ok && RenderFile(rest.c_str());
    stage[1] = t.elapsed();
    ok = ok && PutOwner(g_window, nullptr, true) && SetFileVolumeAndBalance(0, 0);
    stage[2] = t.elapsed();
    ok = ok && PlayFile(1.0);
    stage[3] = t.elapsed();
    if (ok) ok = WaitFor(10000, [&] { return FramesShown() > before; });
    std::printf("%s start %lld\n", ok ? "ok" : "fail", (long long)t.elapsed());
    if (ok) {
      std::printf("firstframe %lld\n", (long long)t.elapsed());
      std::printf("stages graph=%lld render=%lld owner=%lld play=%lld\n", stage[0], stage[1],
                  stage[2], stage[3]);
    }
  } else if (cmd == "play") {
    report(PlayFile(Real(a, 1, 1.0)));
  } else if (cmd == "pause") {
    report(PauseFile());
  } else if (cmd == "step") {
    report(StepFile(Number(a, 1, 1)));
  } else if (cmd == "seek") {
    report(SetPositions(Real(a, 1, 0)));
  } else if (cmd == "seekpct") {
    double length = 0;
    const bool ok =
        GetPlayInfo(&length, nullptr, nullptr) && SetPositions(Number(a, 1, 0) * length * 0.01);
    report(ok);
  } else if (cmd == "rate") {
    const double want = Real(a, 1, 1.0);
    const double got = PutFilePlaybackRatio(want);
    std::printf("%s rate %g\n", got == want ? "ok" : "fail", got);
  } else if (cmd == "volume") {
    report(SetFileVolumeAndBalance(Number(a, 1, 0), Number(a, 2, 0)));
  } else if (cmd == "brightness") {
    report(SetFileVideoBrightness(Real(a, 1, 0)));
  } else if (cmd == "contrast") {
    report(SetFileVideoContrast(Real(a, 1, 1)));
  } else if (cmd == "hue") {
    report(SetFileVideoHue(Real(a, 1, 0)));
  } else if (cmd == "saturation") {
    report(SetFileVideoSaturation(Real(a, 1, 1)));
  } else if (cmd == "snapshot") {
    report(SnapshootToFile(rest.c_str()));
  } else if (cmd == "owner") {
    const LumoraRect r{Number(a, 1, 0), Number(a, 2, 0), Number(a, 3, 0), Number(a, 4, 0)};
    report(PutOwner(g_window, a.size() > 4 ? &r : nullptr, a.size() > 5 && a[5] == "keep"));
  } else if (cmd == "scan") {
    g_scanEnded = false;
    report(ScanChannel(false));
  } else if (cmd == "scanstop") {
    report(ScanChannel(true));
  } else if (cmd == "channel") {
    report(SetTVChannel(Number(a, 1, 0)));
  } else if (cmd == "info") {
    PrintInfo();
  } else if (cmd == "frames") {
    std::printf("frames %llu\n", (unsigned long long)FramesShown());
  } else if (cmd == "wait") {
    WaitFor(Number(a, 1, 0), [] { return false; });
  } else if (cmd == "waitend") {
    g_lastEvent = 0;
    report(WaitFor(Number(a, 1, 60000), [] { return g_lastEvent == 1 || g_lastEvent == 3; }));
  } else if (cmd == "waitscan") {
    report(WaitFor(Number(a, 1, 60000), [] { return g_scanEnded; }));
  } else if (cmd == "stop") {
    StopFile();
    report(true);
  } else if (cmd == "close") {
    StopFile();
    DestroyGraph();
    report(true);
  } else {
    std::printf("fail unknown command %s\n", cmd.c_str());
  }
  std::fflush(stdout);
  return true;
}

int Usage() {
  std::fprintf(stderr,
               "usage: clipcore-cli [--hidden] [--size WxH] [--script FILE|-] [FILE | --tv]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("LUMORA_LOG", "1", 1);  // the engine says why it refuses a file
  if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);

  bool hidden = false, tv = false;
  int width = 640, height = 360;
  std::string script, source;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--hidden") {
      hidden = true;
    } else if (arg == "--tv") {
      tv = true;
    } else if (arg == "--size" && i + 1 < argc) {
      if (std::sscanf(argv[++i], "%dx%d", &width, &height) != 2 || width < 1 || height < 1 ||
          width > 8192 || height > 8192)
        return Usage();
    } else if (arg == "--script" && i + 1 < argc) {
      script = argv[++i];
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage();
    } else {
      source = arg;
    }
  }

  QWidget window;
  window.resize(width, height);
  g_window = plat::RegisterWindow(&window, [](unsigned msg, WPARAM w, LPARAM l, LRESULT&) {
    if (msg == WM_MEDIA_GRAPH_EVENT) {
      GetGraphEvent(&OnEvent);
      return true;
    }
    if (msg == WM_TV_SCAN_PROGRESS) {
      if (w) {
        std::printf("scan found %ld\n", (long)l);
      } else {
        std::printf("scan end %ld\n", (long)l);
        g_scanEnded = true;
      }
      std::fflush(stdout);
      return true;
    }
    return false;
  });
  if (!hidden) window.show();

  int status = 0;
  if (!source.empty() || tv) {
    const bool ok = Open(source, tv) && PlayFile(1.0);
    std::printf("%s open %s\n", ok ? "ok" : "fail", tv ? "tv" : source.c_str());
    std::fflush(stdout);
    if (!ok) status = 1;
    if (ok) PrintInfo();
    if (ok && script.empty()) Run("waitend 86400000");
  }
  if (!script.empty()) {
    std::ifstream file;
    std::istream* in = &std::cin;
    if (script != "-") {
      file.open(script);
      if (!file) {
        std::fprintf(stderr, "clipcore-cli: cannot read %s\n", script.c_str());
        return 2;
      }
      in = &file;
    }
    for (std::string line; std::getline(*in, line);) {
      if (!Run(line)) break;
    }
  }
  StopFile();
  DestroyGraph();

  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  const double cpu =
      ru.ru_utime.tv_sec + ru.ru_stime.tv_sec + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
  std::printf("usage cpu=%.3f rss=%ld\n", cpu, ru.ru_maxrss);
  return status;
}

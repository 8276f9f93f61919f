// Whole-engine figures on the sample disc: decoding throughput (no pacing), time to the first
// picture after render and play, after a menu button and after a seek, and peak memory.
// Prints "name value unit" lines; bench/navdisc/run.sh compares them with other players.
#include <sys/resource.h>

#include <QApplication>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <string>

#include "navdisc/DiscValidator.h"
#include "navdisc/Ft_graphgroupclass.h"
#include "navdisc/Navdisc.h"
#include "navdisc/graph/AudioDecoder.h"
#include "navdisc/graph/FilterGraph.h"
#include "navdisc/graph/NavigatorSource.h"
#include "navdisc/graph/VideoDecoder.h"
#include "navdisc/graph/VideoRenderer.h"
#include "platform/Window.h"

using namespace navdisc;
using namespace navdisc::graph;
using Clock = std::chrono::steady_clock;

namespace {

// Counts what arrives, as fast as it arrives.
class CountingSink : public Filter {
 public:
  CountingSink(Major major, Subtype sub) : Filter("{BE0C0001-0000-0000-0000-000000000000}") {
    AddPin("In", PinDir::Input, {{major, sub}});
  }
  void Receive(Pin*, Sample&& s) override {
    if (s.kind == Sample::Kind::Data) ++count;
  }
  std::atomic<uint64_t> count{0};
};

double Ms(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

double CpuSeconds() {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  return ru.ru_utime.tv_sec + ru.ru_stime.tv_sec +
         (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

// Demux + decode + colour conversion of titles 1 and 2, unpaced.
void Throughput(const std::string& disc) {
  FilterGraph g;
  auto src = std::make_shared<NavigatorSource>(CreateDvdnavNavigator());
  std::string why;
  if (!src->Open(disc, why)) {
    std::printf("error cannot open %s: %s\n", disc.c_str(), why.c_str());
    return;
  }
  auto vdec = std::make_shared<VideoDecoder>();
  auto adec = std::make_shared<AudioDecoder>();
  auto vsink = std::make_shared<CountingSink>(Major::Video, Subtype::RGB32);
  auto asink = std::make_shared<CountingSink>(Major::Audio, Subtype::PCM);
  g.AddFilter(src, "DVD Navigator");
  g.AddFilter(vdec, "v");
  g.AddFilter(adec, "a");
  g.AddFilter(vsink, "vs");
  g.AddFilter(asink, "as");
  auto outs = src->Pins(PinDir::Output);
  g.ConnectDirect(outs[0], vdec->Pins(PinDir::Input)[0]);
  g.ConnectDirect(outs[1], vdec->Pins(PinDir::Input)[1]);
  g.ConnectDirect(outs[2], adec->Pins(PinDir::Input)[0]);
  g.ConnectDirect(vdec->Pins(PinDir::Output)[0], vsink->Pins(PinDir::Input)[0]);
  g.ConnectDirect(adec->Pins(PinDir::Output)[0], asink->Pins(PinDir::Input)[0]);
  src->PlayTitle(1, 0, nullptr);
  auto t0 = Clock::now();
  double cpu0 = CpuSeconds();
  g.Run();
  // Titles 1 and 2 hold 550 pictures; stop when they are through or after 20 s.
  while (vsink->count < 550 && Ms(t0, Clock::now()) < 20000) {
    DVD_DOMAIN d;
    src->GetCurrentDomain(&d);
    if (d != DVD_DOMAIN_Title && vsink->count > 0) {
      int32_t n = static_cast<int32_t>(vsink->count);
      if (n >= 300 && n < 550) src->PlayTitle(2, 0, nullptr);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  double ms = Ms(t0, Clock::now());
  double cpu = CpuSeconds() - cpu0;
  g.Stop();
  std::printf("decode_frames %llu frames\n", static_cast<unsigned long long>(vsink->count));
  std::printf("decode_fps %.0f frames/s\n", vsink->count * 1000.0 / ms);
  // CPU time is what a busy machine does not distort.
  std::printf("decode_cpu_fps %.0f frames/cpu-s\n", vsink->count / cpu);
}

uint64_t Shown() {
  auto* r = CurrentGroup() ? CurrentGroup()->Renderer() : nullptr;
  return r ? r->ShownCount() : 0;
}

// Waits until a new picture of the title domain (or any, when anyDomain) is shown.
bool WaitShown(uint64_t after, int ms, bool title) {
  auto t0 = Clock::now();
  while (Ms(t0, Clock::now()) < ms) {
    if (Shown() > after) {
      if (!title) return true;
      int64_t tt = CurrentGroup()->Renderer()->LastShown().titleTime;
      if (tt >= 0) return true;
    }
    plat::PumpMessages(1);
  }
  return false;
}

void Latencies(const std::string& disc, QWidget& window, HWND h) {
  auto t0 = Clock::now();
  if (!InitialDVDGraph(h) || !RenderDVDPath(disc.c_str())) {
    std::printf("error cannot render %s\n", disc.c_str());
    return;
  }
  std::printf("render_only %.1f ms\n", Ms(t0, Clock::now()));
  if (!PutDVDOwner(h, nullptr, true) || !PlayDVD()) {
    std::printf("error cannot start %s\n", disc.c_str());
    return;
  }
  bool ok = WaitShown(0, 5000, false);
  auto t1 = Clock::now();
  std::printf("first_frame_after_render_play %.1f ms%s\n", Ms(t0, t1), ok ? "" : " (timeout)");
  // The menu is up; activate button 1 (title 1).
  plat::PumpMessages(500);
  uint64_t before = Shown();
  t0 = Clock::now();
  SelectRelativeButton(0);
  ok = WaitShown(before, 5000, true);
  std::printf("button_to_first_title_frame %.1f ms%s\n", Ms(t0, Clock::now()),
              ok ? "" : " (timeout)");
  plat::PumpMessages(1000);
  before = Shown();
  t0 = Clock::now();
  SetDVDPositions(8.0);
  ok = false;
  while (Ms(t0, Clock::now()) < 5000 && !ok) {
    plat::PumpMessages(1);
    ok = Shown() > before && CurrentGroup()->Renderer()->LastShown().titleTime >= 7500000;
  }
  std::printf("seek_to_first_frame %.1f ms%s\n", Ms(t0, Clock::now()), ok ? "" : " (timeout)");
  StopDVD();
  DestroyDVDGraph();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: navdisc-bench DISC\n");
    return 2;
  }
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (!qEnvironmentVariableIsSet("LUMORA_AUDIO")) qputenv("LUMORA_AUDIO", "null");
  QApplication app(argc, argv);
  std::string disc = argv[1];
  Throughput(disc);
  QWidget window;
  window.resize(1280, 720);
  window.show();
  HWND h = plat::RegisterWindow(&window, [](unsigned msg, WPARAM, LPARAM, LRESULT&) {
    if (msg != WM_DVD_GRAPH_EVENT) return false;
    GetDVDEvent(nullptr);
    return true;
  });
  Latencies(disc, window, h);
  // The damaged-disc check that every render runs first (its share of the first picture).
  auto tv = Clock::now();
  std::string why;
  ValidateDisc(disc, &why);
  std::printf("validate_disc %.1f ms\n", Ms(tv, Clock::now()));
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  std::printf("peak_rss %.1f MiB\n", ru.ru_maxrss / 1024.0);
  return 0;
}

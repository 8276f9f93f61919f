// The exported C functions: one graph at a time, every call on the UI thread.
#include "clipcore/Clipcore.h"

#include <memory>

#include "clipcore/MediaGraph.h"
#include "platform/Window.h"

namespace {

std::unique_ptr<clipcore::MediaGraph> g_graph;
// Changes whenever the graph goes away, so an event pump notices a teardown from its callback.
uint64_t g_generation = 0;

clipcore::MediaGraph* Graph() { return g_graph.get(); }

bool SetPictureValue(double clipcore::Picture::*field, double value) {
  auto* g = Graph();
  if (!g) return false;
  clipcore::Picture p = g->picture();
  p.*field = value;
  return g->SetPicture(p);
}

}  // namespace

extern "C" {

bool InitialGraph(HWND mainWindow) {
  if (!plat::IsWindow(mainWindow)) return false;
  if (auto* g = Graph()) {
    g->SetNotifyWindow(mainWindow);
    return true;
  }
  g_graph = clipcore::MediaGraph::Create(mainWindow);
  return g_graph != nullptr;
}

bool RenderFile(const char* path) {
  auto* g = Graph();
  return g && path && g->RenderFile(path);
}

bool RenderTV(void) {
  auto* g = Graph();
  return g && g->RenderTV();
}

bool PlayFile(double rate) {
  auto* g = Graph();
  return g && g->Play(rate);
}

bool PauseFile(void) {
  auto* g = Graph();
  return g && g->Pause();
}

void StopFile(void) {
  if (auto* g = Graph()) g->Stop();
}

bool StepFile(int32_t frames) {
  auto* g = Graph();
  return g && g->Step(frames);
}

bool SetPositions(double seconds) {
  auto* g = Graph();
  return g && g->Seek(seconds);
}

bool GetPlayInfo(double* length, double* position, int32_t* percent) {
  auto* g = Graph();
  double len = 0, pos = 0;
  int32_t pct = 0;
  if (!g || !g->PlayInfo(len, pos, pct)) return false;
  if (length) *length = len;
  if (position) *position = pos;
  if (percent) *percent = pct;
  return true;
}

bool GetFileInfo(int32_t* width, int32_t* height, bool* canSeek) {
  auto* g = Graph();
  int32_t w = 0, h = 0;
  bool seek = false;
  if (!g || !g->FileInfo(w, h, seek)) return false;
  if (width) *width = w;
  if (height) *height = h;
  if (canSeek) *canSeek = seek;
  return true;
}

double PutFilePlaybackRatio(double rate) {
  auto* g = Graph();
  return g ? g->SetRate(rate) : 0.0;
}

bool PutOwner(HWND window, const LumoraRect* rect, bool keepProportions) {
  auto* g = Graph();
  return g && g->SetOwner(window, rect, keepProportions);
}

bool SetFileVolumeAndBalance(int32_t volume, int32_t balance) {
  auto* g = Graph();
  return g && g->SetVolumeAndBalance(volume, balance);
}

bool SetFileVideoBrightness(double value) {
  return SetPictureValue(&clipcore::Picture::brightness, value);
}

bool SetFileVideoContrast(double value) {
  return SetPictureValue(&clipcore::Picture::contrast, value);
}

bool SetFileVideoHue(double value) { return SetPictureValue(&clipcore::Picture::hue, value); }

bool SetFileVideoSaturation(double value) {
  return SetPictureValue(&clipcore::Picture::saturation, value);
}

bool SnapshootToFile(const char* path) {
  auto* g = Graph();
  return g && path && g->Snapshot(path);
}

bool GetGraphEvent(ClipcoreEventCallback callback) {
  auto* g = Graph();
  if (!g) return false;
  g->NotificationTaken();
  g->Pump();
  const uint64_t generation = g_generation;
  clipcore::MediaEvent e;
  while (g_generation == generation && Graph() == g && g->PopEvent(e)) {
    if (callback) callback(e.code, e.p1, e.p2);
  }
  return true;
}

bool ScanChannel(bool stop) {
  auto* g = Graph();
  return g && g->Scan(stop);
}

bool SetTVChannel(int32_t channel) {
  auto* g = Graph();
  return g && g->SetChannel(channel);
}

void DestroyGraph(void) {
  if (!g_graph) return;
  ++g_generation;
  // Reset before destruction so calls made during teardown see no graph.
  std::unique_ptr<clipcore::MediaGraph> old = std::move(g_graph);
  old.reset();
}

}  // extern "C"

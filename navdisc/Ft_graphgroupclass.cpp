#include "navdisc/Ft_graphgroupclass.h"

#include <sys/stat.h>

#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "navdisc/BookmarkStore.h"
#include "navdisc/DiscValidator.h"
#include "navdisc/graph/AudioDecoder.h"
#include "navdisc/graph/Builder.h"
#include "navdisc/graph/FilterGraph.h"
#include "navdisc/graph/NavigatorSource.h"
#include "navdisc/graph/VideoDecoder.h"
#include "navdisc/graph/VideoRenderer.h"
#include "platform/Diagnostics.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"

namespace navdisc {

using namespace graph;

namespace {
DVDGraphGroup* g_group = nullptr;
uint64_t g_generation = 0;
constexpr size_t kMaxPath = 512;

bool Ok(HRESULT hr) { return hr == S_OK; }

// What the navigator opens for a path: the folder as given, a VIDEO_TS folder, an ISO image
// or a device node. An empty path means the first optical drive.
std::string DiscPath(const char* path) {
  std::string p = path;
  if (p.empty()) {
    struct stat st;
    return ::stat("/dev/dvd", &st) == 0 ? "/dev/dvd" : "/dev/sr0";
  }
  return p;
}
}  // namespace

DVDGraphGroup* CurrentGroup() { return g_group; }
uint64_t GroupGeneration() { return g_generation; }

DVDGraphGroup::DVDGraphGroup() = default;

DVDGraphGroup::~DVDGraphGroup() {
  state = gsUnusable;
  // Interfaces go in a fixed order; the graph (and with it every filter) last.
  audioDecoderControl = nullptr;
  videoDecoderControl = nullptr;
  videoDecoder.reset();
  audioDecoder.reset();
  frameStep = nullptr;
  basicAudio = nullptr;
  if (videoWindow) {
    videoWindow->put_Visible(false);
    videoWindow->put_Owner(0);
  }
  videoWindow = nullptr;
  line21Decoder = nullptr;
  mediaControl = nullptr;
  dvdControl = nullptr;
  dvdInfo = nullptr;
  events = nullptr;
  graph = nullptr;
  graphBuilder.reset();
  ownerWindow = 0;
}

VideoRenderer* DVDGraphGroup::Renderer() const {
  return graph ? dynamic_cast<VideoRenderer*>(graph->FindFilterByName("Video Renderer").get())
               : nullptr;
}

bool DVDGraphGroup::Initial(HWND notify) {
  graphBuilder = std::make_unique<DvdGraphBuilder>();
  graph = graphBuilder->GetFiltergraph();
  if (!graph) return false;
  events = &graph->Events();
  mediaControl = graph;
  basicAudio = graph;
  notifyWindow = notify;
  return Ok(events->SetNotifyWindow(notify, WM_DVD_GRAPH_EVENT, 0));
}

bool DVDGraphGroup::Render(const char* path) {
  if (!path || !graphBuilder) return false;
  if (std::strlen(path) > kMaxPath) {  // would name another folder if cut short
    plat::Diagnose("Navdisc",
                   "refused a path of " + std::to_string(std::strlen(path)) + " bytes: too long");
    return false;
  }
  std::string disc = DiscPath(path);
  std::string why;
  // libdvdnav aborts the process on some damaged navigation data: such parts of a disc are
  // barred, and a disc with nothing left to play fails here.
  limits = DiscLimits();
  if (!ValidateDisc(disc, &why, &limits)) {
    plat::Diagnose("Navdisc", "refused " + disc + ": " + why);
    return false;
  }
  if (!limits.Whole()) plat::Diagnose("Navdisc", "playing " + disc + " in part: " + why);
  RenderStatus status;
  if (FAILED(graphBuilder->RenderDvdVideoVolume(disc, AM_DVD_HWDEC_PREFER, &status))) {
    plat::Diagnose("Navdisc", "refused " + disc + ": the DVD graph could not be built");
    return false;
  }
  if (auto* nav = dynamic_cast<NavigatorSource*>(graph->FindFilterByName("DVD Navigator").get()))
    nav->SetDiscLimits(limits);
  if (FAILED(ReplaceDecoders())) return false;
  void* p = nullptr;
  if (!Ok(graphBuilder->GetDvdInterface("IDvdInfo2", &p))) return false;
  dvdInfo = static_cast<IDvdInfo2*>(p);
  if (!Ok(graphBuilder->GetDvdInterface("IDvdControl2", &p))) return false;
  dvdControl = static_cast<IDvdControl2*>(p);
  if (!Ok(graphBuilder->GetDvdInterface("IVideoWindow", &p))) return false;
  videoWindow = static_cast<IVideoWindow*>(p);
  if (!Ok(graphBuilder->GetDvdInterface("IAMLine21Decoder", &p))) return false;
  line21Decoder = static_cast<IAMLine21Decoder*>(p);
  line21Decoder->SetServiceState(AM_L21_CCSTATE_Off);
  state = gsStopped;
  if (!Ok(dvdControl->SetOption(DVD_ResetOnStop, false))) return false;
  return Ok(dvdControl->SetOption(DVD_HMSF_TimeCodeEvents, true));
}

HRESULT DVDGraphGroup::ReplaceDecoders() {
  auto nav = graph->FindFilterByName("DVD Navigator");
  if (!nav) return E_FAIL;
  Pin *videoPin = nullptr, *spuPin = nullptr, *audioPin = nullptr;
  auto pins = nav->Pins(PinDir::Output);
  if (pins.size() < 3) return E_FAIL;
  for (size_t i = 0; i < 3; ++i) {
    Pin* p = pins[i];
    // A navigator stream without a decoder cannot be rewired.
    if (!p->ConnectedTo()) return VFW_E_NOT_CONNECTED;
    const MediaType& t = p->ConnectionType();
    if (t.subtype == Subtype::MPEG2_VIDEO ||
        (t.major == Major::Video && t.subtype != Subtype::DVD_SUBPICTURE))
      videoPin = p;
    else if (t.subtype != Subtype::DVD_SUBPICTURE)
      audioPin = p;
    else
      spuPin = p;
  }
  if (!videoPin || !spuPin || !audioPin) return E_FAIL;
  Filter* vdec = videoPin->ConnectedTo()->Owner();
  Filter* sdec = spuPin->ConnectedTo()->Owner();
  Filter* adec = audioPin->ConnectedTo()->Owner();
  ClassId vcls = vdec->Clsid(), scls = sdec->Clsid(), acls = adec->Clsid();

  Pin *rendererIn = nullptr, *line21In = nullptr, *audioRendererIn = nullptr;
  for (Pin* o : vdec->Pins(PinDir::Output)) {
    if (!o->ConnectedTo()) continue;
    if (o->ConnectionType().major == Major::Video) rendererIn = o->ConnectedTo();
    if (o->ConnectionType().major == Major::AUXLine21Data) line21In = o->ConnectedTo();
  }
  for (Pin* o : adec->Pins(PinDir::Output))
    if (o->ConnectedTo() && o->ConnectionType().major == Major::Audio)
      audioRendererIn = o->ConnectedTo();
  if (vcls != kVideoDecoderClsid && !line21In)
    for (Pin* o : sdec->Pins(PinDir::Output))
      if (o->ConnectedTo() && o->ConnectionType().major == Major::AUXLine21Data)
        line21In = o->ConnectedTo();

  auto& reg = FilterRegistry::Instance();
  HRESULT result = S_OK;
  if (vcls != kVideoDecoderClsid || scls != vcls) {
    auto mine = reg.Create(kVideoDecoderClsid);
    if (!mine || FAILED(graph->AddFilter(mine, "Brivo VideoDEC"))) return E_FAIL;
    bool separateSpu = scls != vcls;
    graph->RemoveFilter(vdec);
    if (separateSpu) graph->RemoveFilter(sdec);
    auto ins = mine->Pins(PinDir::Input);
    auto outs = mine->Pins(PinDir::Output);
    result = graph->Connect(videoPin, ins[0]);
    if (SUCCEEDED(result)) result = graph->Connect(spuPin, ins[1]);
    if (SUCCEEDED(result)) result = graph->Connect(outs[0], rendererIn);
    if (SUCCEEDED(result)) result = graph->Connect(outs[1], line21In);
    if (FAILED(result)) return result;
    videoDecoder = mine;
  } else {
    videoDecoder = graph->FindFilterByName(vdec->Name());
  }
  videoDecoderControl = videoDecoder ? static_cast<IVideoDecoderControl*>(
                                           videoDecoder->QueryInterface(kVideoDecoderControlIid))
                                     : nullptr;

  if (acls != kAudioDecoderClsid) {
    auto mine = reg.Create(kAudioDecoderClsid);
    if (!mine) {
      plat::MessageBox(nullptr, kAudioDecErrorText, kAudioDecErrorCaption, plat::MB_OKCANCEL);
      return REGDB_E_CLASSNOTREG;
    }
    if (FAILED(graph->AddFilter(mine, "Brivo AUDIODEC"))) return E_FAIL;
    graph->RemoveFilter(adec);
    result = graph->Connect(audioPin, mine->Pins(PinDir::Input)[0]);
    if (SUCCEEDED(result)) result = graph->Connect(mine->Pins(PinDir::Output)[0], audioRendererIn);
    if (FAILED(result)) return result;
    audioDecoder = mine;
  } else {
    audioDecoder = graph->FindFilterByName(adec->Name());
  }
  audioDecoderControl = audioDecoder ? static_cast<IAudioDecoderControl*>(
                                           audioDecoder->QueryInterface(kAudioDecoderControlIid))
                                     : nullptr;
  if (!audioDecoderControl) return E_NOINTERFACE;
  audioDecoderControl->SetDynamicRange(1);
  audioDecoderControl->SetDownmix(1);
  return result;
}

bool DVDGraphGroup::PutOwner(HWND window, const LumoraRect* rect, bool) {
  if (!videoWindow) return false;
  bool newOwner = window != ownerWindow;
  if (newOwner) {
    if (FAILED(videoWindow->put_Visible(false)) || FAILED(videoWindow->put_Owner(window)))
      return false;
    if (!window) {
      ownerWindow = 0;
      return true;
    }
    if (FAILED(videoWindow->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS)) ||
        FAILED(videoWindow->put_MessageDrain(window)))
      return false;
  }
  LumoraRect target;
  if (rect) {
    target = *rect;
  } else {
    QWidget* w = plat::WidgetFromHandle(window);
    if (!w) return false;
    target = {0, 0, w->width(), w->height()};
  }
  if (target.width <= 0 || target.height <= 0) return false;
  if (FAILED(videoWindow->SetWindowPosition(target.left, target.top, target.width, target.height)))
    return false;
  if (newOwner) {
    if (FAILED(videoWindow->put_Visible(true))) return false;
    ownerWindow = window;
  }
  return true;
}

// ---- transport ----

bool DVDGraphGroup::Stop() {
  if (!mediaControl || !dvdControl || !Usable()) return false;
  if (state == gsStopPaused || state == gsStopped) {
    HRESULT a = dvdControl->SetOption(DVD_ResetOnStop, true);
    HRESULT b = mediaControl->Stop();
    HRESULT c = dvdControl->SetOption(DVD_ResetOnStop, false);
    state = gsStopped;
    return SUCCEEDED(a) && SUCCEEDED(b) && SUCCEEDED(c);
  }
  HRESULT hr = mediaControl->Pause();
  state = gsStopPaused;
  return SUCCEEDED(hr);
}

bool DVDGraphGroup::Pause() {
  if (!mediaControl || !dvdControl || !Usable()) return false;
  if (SUCCEEDED(mediaControl->Run())) state = state == gsPaused ? gsPlaying : gsPaused;
  if (FAILED(mediaControl->Pause())) return false;
  state = gsPaused;
  return true;
}

bool DVDGraphGroup::Play() {
  if (!mediaControl || !dvdControl || !Usable()) return false;
  HRESULT hr = S_OK;
  switch (state) {
    case gsStopped:
      dvdControl->PlayForwards(1.0, DVD_CMD_FLAG_None, nullptr);
      hr = mediaControl->Run();
      break;
    case gsStopPaused:
      hr = mediaControl->Run();
      break;
    case gsPaused:
      dvdControl->PlayForwards(1.0, DVD_CMD_FLAG_Flush, nullptr);
      hr = mediaControl->Run();
      break;
    case gsScanning:
      hr = dvdControl->PlayForwards(1.0, DVD_CMD_FLAG_Flush, nullptr);
      break;
    case gsPlaying:
      return true;
    default:
      return false;
  }
  if (FAILED(hr)) return false;
  state = gsPlaying;
  return true;
}

bool DVDGraphGroup::Step(bool forward) {
  if (!Usable()) return false;
  if (!forward) return true;
  if (!dvdControl) return false;
  if (!frameStep) {
    frameStep = static_cast<IVideoFrameStep*>(graph->QueryFilters("IVideoFrameStep"));
    if (!frameStep) return false;
  }
  if (frameStep->CanStep(0, nullptr) != S_OK) return false;
  if (!Pause()) return false;
  return Ok(frameStep->Step(1, nullptr));
}

bool DVDGraphGroup::PutRate(double rate) {
  if (!dvdControl || (state != gsPlaying && state != gsScanning)) return false;
  HRESULT hr = rate > 0 ? dvdControl->PlayForwards(rate, DVD_CMD_FLAG_None, nullptr)
                        : dvdControl->PlayBackwards(-rate, DVD_CMD_FLAG_None, nullptr);
  if (SUCCEEDED(hr)) {
    state = gsScanning;
    return true;
  }
  return SUCCEEDED(dvdControl->PlayForwards(1.0, DVD_CMD_FLAG_None, nullptr));
}

bool DVDGraphGroup::SetPositions(double seconds) {
  if (!dvdControl || !Usable() || !(seconds >= 0)) return false;
  if (seconds >= 256.0 * 3600) return false;  // the time code holds at most 255 hours
  auto t = static_cast<uint32_t>(seconds);
  DVD_HMSF_TIMECODE tc{static_cast<uint8_t>(t / 3600), static_cast<uint8_t>((t / 60) % 60),
                       static_cast<uint8_t>(t % 60), 0};
  return Ok(dvdControl->PlayAtTime(&tc, DVD_CMD_FLAG_Flush, nullptr));
}

bool DVDGraphGroup::SetProgress(int32_t percent) {
  if (!dvdControl || !Usable() || percent < 0 || percent > 100) return false;
  int64_t t = int64_t(percent) * titleLength / 100;
  return SetPositions(static_cast<double>(t));
}

bool DVDGraphGroup::MouseEvent(int32_t x, int32_t y, bool click) {
  if (!dvdInfo || !dvdControl || !Usable()) return false;
  VideoRenderer* r = Renderer();
  POINT pt{};
  if (!r || !r->MapToPicture(x, y, pt.x, pt.y)) return false;
  uint32_t button = 0;
  if (dvdInfo->GetButtonAtPosition(pt, &button) != S_OK) return false;
  if (click) return Ok(dvdControl->ActivateAtPosition(pt));
  dvdControl->SelectAtPosition(pt);
  return true;
}

bool DVDGraphGroup::JumpMenu(int32_t menu) {
  if (!dvdControl || !Usable()) return false;
  if (menu == DVD_MENU_Root || menu == DVD_MENU_Title) {
    if (inMenu) {
      if (FAILED(dvdControl->Resume(DVD_CMD_FLAG_Flush, nullptr))) return false;
      inMenu = false;
    } else {
      if (state != gsPlaying && state != gsScanning) return false;
      IDvdCmd* cmd = nullptr;
      if (FAILED(dvdControl->ShowMenu(static_cast<DVD_MENU_ID>(menu), DVD_CMD_FLAG_Flush, &cmd)))
        return false;
      if (cmd) cmd->WaitForEnd();
      delete cmd;
      inMenu = true;
    }
    state = gsPlaying;
    return true;
  }
  IDvdCmd* cmd = nullptr;
  if (FAILED(dvdControl->ShowMenu(static_cast<DVD_MENU_ID>(menu), DVD_CMD_FLAG_Flush, &cmd)))
    return false;
  if (cmd) cmd->WaitForEnd();
  delete cmd;
  inMenu = true;
  return true;
}

bool DVDGraphGroup::JumpChapter(uint32_t n) {
  return dvdControl && state != gsUnusable &&
         Ok(dvdControl->PlayChapter(n, DVD_CMD_FLAG_Block, nullptr));
}

bool DVDGraphGroup::JumpTitle(uint32_t n) {
  return dvdControl && state != gsUnusable &&
         Ok(dvdControl->PlayChapterInTitle(n, 1, DVD_CMD_FLAG_Flush | DVD_CMD_FLAG_Block, nullptr));
}

bool DVDGraphGroup::SelectAngle(uint32_t n) {
  return dvdControl && state != gsUnusable &&
         Ok(dvdControl->SelectAngle(n, DVD_CMD_FLAG_None, nullptr));
}

bool DVDGraphGroup::RelativeButton(int32_t direction) {
  if (!dvdControl || !Usable()) return false;
  if (direction == 0) return Ok(dvdControl->ActivateButton());
  if (direction < DVD_Relative_Upper || direction > DVD_Relative_Right) return false;
  return Ok(dvdControl->SelectRelativeButton(static_cast<DVD_RELATIVE_BUTTON>(direction)));
}

// ---- events ----

uint32_t DVDGraphGroup::TitleSeconds() {
  DVD_HMSF_TIMECODE tc{};
  uint32_t flags = 0;
  if (!dvdInfo || FAILED(dvdInfo->GetTotalTitleTime(&tc, &flags))) return 0;
  return uint32_t(tc.bHours) * 3600 + uint32_t(tc.bMinutes) * 60 + tc.bSeconds;
}

bool DVDGraphGroup::PumpEvents(NavdiscEventCallback callback) {
  DVDGraphGroup* g = g_group;
  if (!g || !g->events) return false;
  if (callback && callback != g->eventCallback) g->eventCallback = callback;
  const uint64_t generation = g_generation;
  int32_t code;
  intptr_t p1, p2;
  while (g_group == g && g_generation == generation &&
         g->events->GetEvent(&code, &p1, &p2, 0) == S_OK) {
    switch (code) {
      case EC_DVD_DOMAIN_CHANGE:
        if (p1 == DVD_DOMAIN_VideoManagerMenu || p1 == DVD_DOMAIN_VideoTitleSetMenu)
          g->inMenu = true;
        else if (p1 == DVD_DOMAIN_Title)
          g->inMenu = false;
        break;
      case EC_DVD_TITLE_CHANGE:
      case EC_DVD_CHAPTER_START:
        g->titleLength = static_cast<int32_t>(g->TitleSeconds());
        p2 = g->titleLength;
        break;
      case EC_DVD_ERROR:
      case EC_DVD_DISC_EJECTED:
        g->Stop();
        break;
      case EC_DVD_NO_FP_PGC:
        plat::MessageBox(nullptr, kNoFirstPlayText, kNoFirstPlayCaption, plat::MB_OK);
        // The box runs its own message loop; the graph may be gone when it closes.
        if (g_group != g || g_generation != generation) return true;
        // Title 1, or the first one a damaged disc still plays.
        if (g->dvdControl)
          g->dvdControl->PlayTitle(static_cast<uint32_t>(std::max(1, g->limits.FirstTitle())),
                                   DVD_CMD_FLAG_None, nullptr);
        break;
      default:
        break;
    }
    if (g->eventCallback) {
      g->eventCallback(code, static_cast<int32_t>(p1), static_cast<int32_t>(p2));
      if (g_group != g || g_generation != generation) return true;
    }
    g->events->FreeEventParams(code, p1, p2);
  }
  return true;
}

// ---- attributes, bookmarks, snapshot, sound, picture ----

bool DVDGraphGroup::CurrentAttributes(void* buffer) {
  if (!dvdInfo || !buffer || !Usable()) return false;
  auto* bytes = static_cast<uint8_t*>(buffer);
  DVD_VideoAttributes v{};
  DVD_AudioAttributes a{};
  DVD_SubpictureAttributes s{};
  HRESULT hr = dvdInfo->GetCurrentVideoAttributes(&v);
  dvdInfo->GetAudioAttributes(DVD_STREAM_DATA_CURRENT, &a);
  dvdInfo->GetSubpictureAttributes(DVD_STREAM_DATA_CURRENT, &s);
  std::memcpy(bytes, &v, 52);
  std::memcpy(bytes + 52, &a, 40);
  std::memcpy(bytes + 92, &s, 16);
  return Ok(hr);
}

bool DVDGraphGroup::Bookmark(const char* file, const char* stream, bool save) {
  if (!file || !stream || !*stream || !Usable()) return false;
  if (std::strlen(file) > kMaxPath || std::strlen(stream) > kMaxPath) return false;
  if (save) {
    if (!dvdInfo) return false;
    std::shared_ptr<IDvdState> st;
    if (!Ok(dvdInfo->GetState(&st)) || !st) return false;
    return SaveBookmarkStream(file, stream, st->Save());
  }
  if (!dvdControl) return false;
  std::vector<uint8_t> bytes;
  NavdiscStateRecord record;
  if (!LoadBookmarkStream(file, stream, bytes) ||
      !DeserializeState(bytes.data(), bytes.size(), record))
    return false;
  class Loaded final : public IDvdState {
   public:
    explicit Loaded(NavdiscStateRecord r) : r_(r) {}
    const NavdiscStateRecord& Record() const override { return r_; }
    std::vector<uint8_t> Save() const override { return SerializeState(r_); }
    NavdiscStateRecord r_;
  } loaded(record);
  return Ok(dvdControl->SetState(&loaded, DVD_CMD_FLAG_Block, nullptr));
}

bool DVDGraphGroup::Snapshot(const char* path) {
  if (!path || !Usable()) return false;
  bool have = videoDecoderControl != nullptr;
  if (have) videoDecoderControl->SnapshotToFile(path);
  // The caller looks for the file; give a slow disk the same grace as always.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  return have;
}

bool DVDGraphGroup::VolumeAndBalance(int32_t volume, int32_t balance) {
  if (!basicAudio || !Usable()) return false;
  HRESULT a = basicAudio->put_Volume(volume);
  HRESULT b = basicAudio->put_Balance(balance);
  return Ok(a) && Ok(b);
}

bool DVDGraphGroup::Picture(int which, double value) {
  if (!videoDecoderControl || !Usable()) return false;
  HRESULT hr = E_INVALIDARG;
  switch (which) {
    case 0:
      hr = videoDecoderControl->SetBrightness(value);
      break;
    case 1:
      hr = videoDecoderControl->SetContrast(value);
      break;
    case 2:
      hr = videoDecoderControl->SetHue(value);
      break;
    case 3:
      hr = videoDecoderControl->SetSaturation(value);
      break;
  }
  if (!Ok(hr)) return false;
  // A still menu decodes nothing more; without this a change shows only after the next
  // picture, and the settings dialog's preview and Cancel show nothing there.
  if (auto* nav = dynamic_cast<NavigatorSource*>(graph->FindFilterByName("DVD Navigator").get()))
    nav->RequestRepaint();
  return true;
}

}  // namespace navdisc

// ---- the exported functions ----

using navdisc::DVDGraphGroup;
using navdisc::g_group;

extern "C" {

NAVDISC_API bool InitialDVDGraph(HWND notifyWindow) {
  if (g_group) return true;
  g_group = new DVDGraphGroup();
  return g_group->Initial(notifyWindow);
}

NAVDISC_API void DestroyDVDGraph(void) {
  if (!g_group) return;
  DVDGraphGroup* g = g_group;
  g->MarkUnusable();
  g_group = nullptr;
  ++navdisc::g_generation;
  delete g;
}

NAVDISC_API bool RenderDVDPath(const char* path) { return g_group && g_group->Render(path); }
NAVDISC_API bool PlayDVD(void) { return g_group && g_group->Play(); }
NAVDISC_API bool PauseDVD(void) { return g_group && g_group->Pause(); }
NAVDISC_API bool StepDVD(bool forward) { return g_group && g_group->Step(forward); }
NAVDISC_API bool StopDVD(void) { return g_group && g_group->Stop(); }
NAVDISC_API bool PutDVDPlaybackRatio(double rate) { return g_group && g_group->PutRate(rate); }
NAVDISC_API bool PutDVDOwner(HWND window, const LumoraRect* rect, bool keep) {
  return g_group && g_group->PutOwner(window, rect, keep);
}
NAVDISC_API bool SetDVDPositions(double seconds) {
  return g_group && g_group->SetPositions(seconds);
}
NAVDISC_API bool SetDVDProgress(int32_t percent) {
  return g_group && g_group->SetProgress(percent);
}
NAVDISC_API bool HandleMouseEvent(int32_t x, int32_t y, bool click) {
  return g_group && g_group->MouseEvent(x, y, click);
}
NAVDISC_API bool GetDVDEvent(NavdiscEventCallback callback) {
  return DVDGraphGroup::PumpEvents(callback);
}
NAVDISC_API bool JumpDVDMenu(int32_t menu) { return g_group && g_group->JumpMenu(menu); }
NAVDISC_API bool JumpDVDChapter(uint32_t chapter) {
  return g_group && g_group->JumpChapter(chapter);
}
NAVDISC_API bool JumpDVDTitle(uint32_t title) { return g_group && g_group->JumpTitle(title); }
NAVDISC_API bool SelectDVDAngle(uint32_t angle) { return g_group && g_group->SelectAngle(angle); }
NAVDISC_API bool DVDBookmark(const char* file, const char* stream, bool save) {
  return g_group && g_group->Bookmark(file, stream, save);
}
NAVDISC_API bool GetDVDCurrentAttributes(void* buffer108) {
  return g_group && g_group->CurrentAttributes(buffer108);
}
NAVDISC_API NavdiscDvdInfo GetIDvdInfo2(void) { return g_group ? g_group->DvdInfo() : nullptr; }
NAVDISC_API NavdiscDvdControl GetIDvdControl2(void) {
  return g_group ? g_group->DvdControl() : nullptr;
}
NAVDISC_API bool SelectRelativeButton(int32_t direction) {
  return g_group && g_group->RelativeButton(direction);
}
NAVDISC_API bool SnapshootDVDToFile(const char* path) { return g_group && g_group->Snapshot(path); }
NAVDISC_API bool SetDVDVolumeAndBalance(int32_t volume, int32_t balance) {
  return g_group && g_group->VolumeAndBalance(volume, balance);
}
NAVDISC_API bool SetDVDVideoBrightness(double v) { return g_group && g_group->Picture(0, v); }
NAVDISC_API bool SetDVDVideoContrast(double v) { return g_group && g_group->Picture(1, v); }
NAVDISC_API bool SetDVDVideoHue(double v) { return g_group && g_group->Picture(2, v); }
NAVDISC_API bool SetDVDVideoSaturation(double v) { return g_group && g_group->Picture(3, v); }

}  // extern "C"

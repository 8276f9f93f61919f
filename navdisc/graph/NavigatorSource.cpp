#include "navdisc/graph/NavigatorSource.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "navdisc/graph/AudioRenderer.h"
#include "navdisc/graph/FilterGraph.h"
#include "navdisc/graph/VideoDecoder.h"
#include "navdisc/graph/VideoRenderer.h"
#include "platform/Locale.h"

namespace navdisc::graph {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kBlock = 2048;
constexpr size_t kPesPadding = 64;  // AV_INPUT_BUFFER_PADDING_SIZE

class DvdState final : public IDvdState {
 public:
  explicit DvdState(NavdiscStateRecord r) : r_(r) {}
  const NavdiscStateRecord& Record() const override { return r_; }
  std::vector<uint8_t> Save() const override { return SerializeState(r_); }

 private:
  NavdiscStateRecord r_;
};

uint32_t LangToLcid(uint16_t lang) {
  if (lang == 0xffff || lang == 0) return 0;
  char code[2] = {static_cast<char>(lang >> 8), static_cast<char>(lang & 0xff)};
  return plat::LanguageCodeToLcid(code);
}

template <class T>
std::shared_ptr<const void> Payload(T v) {
  return std::make_shared<const T>(std::move(v));
}

}  // namespace

class NavigatorSource::Cmd final : public IDvdCmd {
 public:
  Cmd(NavigatorSource* src, uint64_t seq) : src_(src), seq_(seq) {}
  HRESULT WaitForEnd() override {
    std::unique_lock lock(src_->mu_);
    bool done = src_->doneCv_.wait_for(lock, std::chrono::seconds(3), [&] {
      return src_->quit_ || src_->doneSeq_ >= seq_ || src_->run_ == Run::Stopped || src_->idle_;
    });
    return done ? S_OK : S_FALSE;
  }

 private:
  NavigatorSource* src_;
  uint64_t seq_;
};

NavigatorSource::NavigatorSource(std::unique_ptr<INavigator> nav)
    : Filter(kNavigatorClsid), nav_(std::move(nav)) {
  AddPin("Video", PinDir::Output, {{Major::DvdEncryptedPack, Subtype::MPEG2_VIDEO}});
  AddPin("SubPicture", PinDir::Output, {{Major::DvdEncryptedPack, Subtype::DVD_SUBPICTURE}});
  AddPin("AC3", PinDir::Output,
         {{Major::DvdEncryptedPack, Subtype::DOLBY_AC3},
          {Major::DvdEncryptedPack, Subtype::MPEG1_AUDIO},
          {Major::DvdEncryptedPack, Subtype::DVD_LPCM_AUDIO},
          {Major::DvdEncryptedPack, Subtype::DTS}});
  thread_ = std::thread([this] { Loop(); });
}

NavigatorSource::~NavigatorSource() { Removed(); }

void NavigatorSource::Removed() {
  {
    std::lock_guard lock(mu_);
    if (quit_ && !thread_.joinable()) return;
    quit_ = true;
  }
  cv_.notify_all();
  doneCv_.notify_all();
  Filter::BeginFlush();
  if (thread_.joinable()) thread_.join();
}

bool NavigatorSource::Open(const std::string& path, std::string& why) {
  std::lock_guard lock(navMu_);
  if (!nav_) {
    why = "no navigator";
    return false;
  }
  if (!nav_->Open(path, why)) return false;
  path_ = path;
  aspect_ = nav_->VideoAspect();
  return true;
}

void* NavigatorSource::QueryInterface(const std::string& iid) {
  if (iid == "IDvdControl2") return static_cast<IDvdControl2*>(this);
  if (iid == "IDvdInfo2") return static_cast<IDvdInfo2*>(this);
  return nullptr;
}

HRESULT NavigatorSource::Run() {
  std::lock_guard lock(mu_);
  run_ = Run::Running;
  cv_.notify_all();
  return S_OK;
}

HRESULT NavigatorSource::Pause() {
  std::lock_guard lock(mu_);
  run_ = Run::Paused;
  cv_.notify_all();
  return S_OK;
}

HRESULT NavigatorSource::Stop() {
  {
    std::lock_guard lock(mu_);
    run_ = Run::Stopped;
    cv_.notify_all();
  }
  doneCv_.notify_all();
  if (resetOnStop_) {
    std::lock_guard lock(navMu_);
    if (!nav_->Reset()) return E_FAIL;
    domain_ = 0;
    title_ = part_ = 0;
    firstPlayChecked_ = everRead_ = false;
    packsSinceOpen_ = 0;
    noFirstPlayPosted_ = false;
    lastVobuEnd_ = -1;
    navTitleTime90_ = -1;
    inStill_ = false;
    backwards_ = false;
    rate_ = 1.0;
    std::lock_guard l2(mu_);
    idle_ = false;
  }
  flushPending_ = true;
  return S_OK;
}

// ---- reading thread ----

void NavigatorSource::DeliverAll(Sample&& s) {
  for (Pin* p : Pins(PinDir::Output)) {
    Sample copy = s;
    p->Deliver(std::move(copy));
  }
}

void NavigatorSource::DeliverControl(int type, std::shared_ptr<const void> payload) {
  Sample s;
  s.kind = Sample::Kind::Control;
  s.controlType = type;
  s.control = std::move(payload);
  Pins(PinDir::Output)[0]->Deliver(std::move(s));
}

void NavigatorSource::Loop() {
  std::vector<uint8_t> buf(kBlock * 2);
  while (true) {
    uint64_t seq;
    bool running;
    {
      std::unique_lock lock(mu_);
      cv_.wait(lock, [&] { return quit_ || (run_ != Run::Stopped && !idle_); });
      if (quit_) break;
      seq = cmdSeq_;
      running = run_ == Run::Running;
    }
    if (flushPending_.exchange(false)) {
      DeliverAll(MakeSignal(Sample::Kind::Flush));
      if (Graph()) Graph()->Clock().Unanchor();
    }
    if (audioFlushPending_.exchange(false))
      Pins(PinDir::Output)[2]->Deliver(MakeSignal(Sample::Kind::Flush));
    if (selectionDirty_.exchange(false)) PushStreamSelection();
    if (actionPending_.exchange(false)) {
      int32_t b = 0;
      {
        std::lock_guard lock(navMu_);
        nav_->CurrentButton(b);
      }
      DeliverControl(kCtlHighlight, Payload(HighlightInfo{b, true}));
    }
    if (!firstPlayChecked_) {
      firstPlayChecked_ = true;
      bool has;
      {
        std::lock_guard lock(navMu_);
        has = nav_->HasFirstPlay();
      }
      if (!has && !noFirstPlayPosted_) {
        noFirstPlayPosted_ = true;
        {
          std::lock_guard lock(mu_);
          idle_ = true;
          doneSeq_ = std::max(doneSeq_, seq);
        }
        doneCv_.notify_all();
        if (Graph()) Graph()->Notify(EC_DVD_NO_FP_PGC, 0, 0);
        continue;
      }
    }
    if (backwards_ && running && Clock::now() >= nextReverseStep_) {
      // Backwards play: jump back by rate x step every step and show the key frame there.
      nextReverseStep_ = Clock::now() + std::chrono::milliseconds(400);
      bool jumped = false;
      {
        std::lock_guard lock(navMu_);
        if (nav_->Domain() == DVD_DOMAIN_Title) {
          int64_t now90 = nav_->CurrentTime90k();
          int64_t back = static_cast<int64_t>(-rate_ * 0.4 * 90000) + 45000;
          int64_t target = std::max<int64_t>(0, now90 - back);
          jumped = nav_->TimeSearch(static_cast<uint64_t>(target));
          if (target == 0) {
            backwards_ = false;
            rate_ = 1.0;
          }
        }
      }
      if (jumped) {
        Filter::BeginFlush();
        DeliverAll(MakeSignal(Sample::Kind::Flush));
        if (Graph()) Graph()->Clock().Unanchor();
      }
    }

    int32_t event = DVDNAV_NOP, len = 0;
    bool ok;
    {
      std::lock_guard lock(navMu_);
      ok = nav_->NextBlock(buf.data(), event, len);
    }
    {
      std::lock_guard lock(mu_);
      doneSeq_ = std::max(doneSeq_, seq);
    }
    doneCv_.notify_all();
    if (!ok) {
      std::string why;
      {
        std::lock_guard lock(navMu_);
        why = nav_->Error();
      }
      bool firstRead = !everRead_;
      {
        std::lock_guard lock(mu_);
        idle_ = true;
      }
      if (!Graph()) continue;
      if (firstRead && !noFirstPlayPosted_) {
        // A first-play program that leads nowhere: the player starts title 1.
        noFirstPlayPosted_ = true;
        Graph()->Notify(EC_DVD_NO_FP_PGC, 0, 0);
      } else {
        bool gone = !path_.empty() && ::access(path_.c_str(), R_OK) != 0;
        Graph()->Notify(gone ? EC_DVD_DISC_EJECTED : EC_DVD_ERROR, gone ? 0 : 1, 0);
      }
      continue;
    }
    everRead_ = true;
    HandleEvent(event, buf.data(), len);
  }
}

bool NavigatorSource::WaitDrained(int maxMs) {
  auto until = Clock::now() + std::chrono::milliseconds(maxMs);
  while (Clock::now() < until) {
    {
      std::lock_guard lock(mu_);
      if (quit_ || run_ == Run::Stopped) return false;
    }
    if (flushPending_) return false;
    bool drained = true;
    if (Graph())
      for (auto& f : Graph()->Filters()) {
        if (auto* v = dynamic_cast<VideoRenderer*>(f.get())) drained = drained && v->Drained();
        if (auto* a = dynamic_cast<AudioRenderer*>(f.get())) drained = drained && a->Drained();
      }
    if (drained) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

void NavigatorSource::HandleEvent(int32_t event, uint8_t* buf, int32_t len) {
  // A highlight moved by the viewer, or a pause in the stream, does not end a still.
  if (event != DVDNAV_STILL_FRAME && event != DVDNAV_HIGHLIGHT && event != DVDNAV_NOP && inStill_) {
    inStill_ = false;
    if (Graph()) Graph()->Notify(EC_DVD_STILL_OFF, 0, 0);
  }
  switch (event) {
    case DVDNAV_BLOCK_OK:
      ++packsSinceOpen_;
      Demux(buf, len);
      break;
    case DVDNAV_NAV_PACKET: {
      ++packsSinceOpen_;
      NavPacketInfo info{};
      int32_t button = -1;
      {
        std::lock_guard lock(navMu_);
        pci_t* pci = nav_->CurrentPci();
        if (!pci) break;
        info.pci = *pci;
        int d = nav_->Domain();
        info.menu = d == DVD_DOMAIN_VideoManagerMenu || d == DVD_DOMAIN_VideoTitleSetMenu;
        navTitleTime90_ = d == DVD_DOMAIN_Title ? nav_->CurrentTime90k() : -1;
        if (info.menu && highlightSent_ < 0 && !nav_->CurrentButton(button)) button = 0;
      }
      // libdvdnav announces a highlight only when the button number changes; a menu entered
      // with the number the last one left behind must still show its button.
      if (!info.menu) highlightSent_ = -1;
      if (button >= 0) {
        highlightSent_ = button;
        DeliverControl(kCtlHighlight, Payload(HighlightInfo{button, false}));
      }
      int64_t s = info.pci.pci_gi.vobu_s_ptm, e = info.pci.pci_gi.vobu_e_ptm;
      if (lastVobuEnd_ < 0)
        ptsOffset_ = 90000 - s;
      else if (s != lastVobuEnd_)
        ptsOffset_ += lastVobuEnd_ - s;
      lastVobuEnd_ = e > s ? e : s;
      vobuStart90_ = s;
      DeliverControl(kCtlNavPacket, Payload(info));
      break;
    }
    case DVDNAV_STILL_FRAME: {
      int length = reinterpret_cast<dvdnav_still_event_t*>(buf)->length;
      if (!inStill_) {
        inStill_ = true;
        DeliverAll(MakeSignal(Sample::Kind::EndOfStream));
        stillDeadline_ = Clock::now() + std::chrono::seconds(length);
        if (Graph()) Graph()->Notify(EC_DVD_STILL_ON, length == 0xff ? 0 : 1, 0);
      }
      bool running;
      uint64_t seq;
      {
        std::lock_guard lock(mu_);
        running = run_ == Run::Running;
        seq = cmdSeq_;
      }
      if (!running) stillDeadline_ += std::chrono::milliseconds(100);
      if (length != 0xff && running && Clock::now() >= stillDeadline_ && WaitDrained(1000)) {
        std::lock_guard lock(navMu_);
        nav_->StillSkip();
        break;
      }
      // Held: wake on a command (a new highlight must be drawn) or poll the deadline.
      std::unique_lock lock(mu_);
      cv_.wait_for(lock, std::chrono::milliseconds(100), [&] {
        return quit_ || cmdSeq_ != seq || flushPending_ || run_ == Run::Stopped;
      });
      break;
    }
    case DVDNAV_WAIT:
      WaitDrained(1000);
      {
        std::lock_guard lock(navMu_);
        nav_->WaitSkip();
      }
      break;
    case DVDNAV_SPU_CLUT_CHANGE: {
      ClutInfo clut;
      std::memcpy(clut.yuv, buf, sizeof clut.yuv);
      DeliverControl(kCtlClut, Payload(clut));
      break;
    }
    case DVDNAV_SPU_STREAM_CHANGE: {
      auto* e = reinterpret_cast<dvdnav_spu_stream_change_event_t*>(buf);
      menuSpuWide_ = e->physical_wide;
      menuSpuLetterbox_ = e->physical_letterbox;
      PushStreamSelection();
      break;
    }
    case DVDNAV_AUDIO_STREAM_CHANGE:
      PushStreamSelection();
      break;
    case DVDNAV_HIGHLIGHT: {
      auto* e = reinterpret_cast<dvdnav_highlight_event_t*>(buf);
      highlightSent_ = e->display ? static_cast<int>(e->buttonN) : 0;
      DeliverControl(kCtlHighlight,
                     Payload(HighlightInfo{e->display ? static_cast<int>(e->buttonN) : 0, false}));
      if (Graph()) Graph()->Notify(EC_DVD_BUTTON_CHANGE, 0, e->buttonN);
      break;
    }
    case DVDNAV_VTS_CHANGE: {
      DeliverAll(MakeSignal(Sample::Kind::EndOfStream));
      {
        std::lock_guard lock(navMu_);
        aspect_ = nav_->VideoAspect();
      }
      DeliverControl(kCtlVideoFormat, Payload(VideoFormat{aspect_ == 3 ? 16.0 / 9.0 : 4.0 / 3.0}));
      CheckPosition();
      PushStreamSelection();
      break;
    }
    case DVDNAV_CELL_CHANGE:
      CheckPosition();
      break;
    case DVDNAV_HOP_CHANNEL:
      highlightSent_ = -1;
      Filter::BeginFlush();
      DeliverAll(MakeSignal(Sample::Kind::Flush));
      if (Graph()) Graph()->Clock().Unanchor();
      break;
    case DVDNAV_STOP: {
      if (packsSinceOpen_ == 0 && !noFirstPlayPosted_) {
        // A first-play program that leads nowhere stops before the first block.
        noFirstPlayPosted_ = true;
        {
          std::lock_guard lock(mu_);
          idle_ = true;
        }
        if (Graph()) Graph()->Notify(EC_DVD_NO_FP_PGC, 0, 0);
        break;
      }
      DeliverAll(MakeSignal(Sample::Kind::EndOfStream));
      CheckPosition();
      {
        std::lock_guard lock(mu_);
        idle_ = true;
      }
      if (Graph()) Graph()->Notify(EC_DVD_PLAYBACK_STOPPED, 0, 0);
      break;
    }
    default:
      break;
  }
}

void NavigatorSource::CheckPosition() {
  int d;
  int32_t t = 0, p = 0;
  {
    std::lock_guard lock(navMu_);
    d = nav_->Domain();
    if (d == DVD_DOMAIN_Title) nav_->CurrentTitle(t, p);
  }
  FilterGraph* g = Graph();
  if (d != domain_) {
    // A title entered from a menu (or after a stop) starts again for the player, even the one
    // it left: its window fits the title's picture again and shows the chapter playing now.
    if (d == DVD_DOMAIN_Title) title_ = part_ = 0;
    domain_ = d;
    if (g) g->Notify(EC_DVD_DOMAIN_CHANGE, d, 0);
  }
  if (d != DVD_DOMAIN_Title || t <= 0) return;
  if (t != title_) {
    DeliverAll(MakeSignal(Sample::Kind::EndOfStream));
    title_ = t;
    part_ = p;
    if (g) {
      g->Notify(EC_DVD_TITLE_CHANGE, t, 0);
      g->Notify(EC_DVD_CHAPTER_START, p, 0);
    }
  } else if (p != part_) {
    part_ = p;
    if (g) g->Notify(EC_DVD_CHAPTER_START, p, 0);
  }
}

void NavigatorSource::PushStreamSelection() {
  SpuSelect sel;
  int audio;
  {
    std::lock_guard lock(navMu_);
    int d = nav_->Domain();
    int al = audioLogical_;
    audio = al >= 0 && d == DVD_DOMAIN_Title ? nav_->AudioPhysical(al) : -1;
    if (audio < 0) audio = nav_->ActiveAudioPhysical();
    if (audio < 0) audio = 0;
    int active = nav_->ActiveSpuPhysical();
    sel.menu = d == DVD_DOMAIN_VideoManagerMenu || d == DVD_DOMAIN_VideoTitleSetMenu;
    if (sel.menu) {
      // A 16:9 menu carries its widescreen buttons in their own sub-stream.
      sel.physical =
          (aspect_ == 3 ? menuSpuWide_ : (active >= 0 ? active & 0x1f : menuSpuWide_)) & 0x1f;
      sel.shown = true;
    } else {
      int sl = spuLogical_;
      sel.physical = sl >= 0 ? nav_->SpuPhysical(sl) : (active >= 0 ? active & 0x1f : -1);
      int shown = spuShown_;
      sel.shown = shown >= 0 ? shown == 1 : (active >= 0 && !(active & 0x80));
    }
  }
  if (audio != audioPhysical_.exchange(audio))
    Pins(PinDir::Output)[2]->Deliver(MakeSignal(Sample::Kind::Flush));
  DeliverControl(kCtlSpuSelect, Payload(sel));
}

void NavigatorSource::Demux(const uint8_t* pack, int32_t len) {
  if (len < 14 || pack[0] != 0 || pack[1] != 0 || pack[2] != 1 || pack[3] != 0xBA) return;
  size_t pos = (pack[4] & 0xC0) == 0x40 ? 14 + (pack[13] & 7) : 12;
  const size_t n = static_cast<size_t>(len);
  while (pos + 6 <= n) {
    if (pack[pos] != 0 || pack[pos + 1] != 0 || pack[pos + 2] != 1) break;
    int sid = pack[pos + 3];
    size_t plen = size_t(pack[pos + 4]) << 8 | pack[pos + 5];
    size_t body = pos + 6, end = std::min(n, body + plen);
    pos = end;
    if (sid == 0xBB || sid == 0xBE || sid == 0xBF) continue;
    if (body + 3 > end || (pack[body] & 0xC0) != 0x80) continue;
    int flags = pack[body + 1];
    size_t payload = body + 3 + pack[body + 2];
    if (payload > end) continue;
    int64_t pts = -1;
    if ((flags & 0x80) && body + 8 <= end) {
      const uint8_t* p = pack + body + 3;
      pts = (int64_t(p[0] & 0x0e) << 29) | (int64_t(p[1]) << 22) | (int64_t(p[2] & 0xfe) << 14) |
            (int64_t(p[3]) << 7) | (p[4] >> 1);
    }
    if (sid == 0xE0) {
      EmitPes(0xE0, pack + payload, end - payload, pts);
    } else if (sid >= 0xC0 && sid <= 0xC7) {
      EmitPes(sid, pack + payload, end - payload, pts);
    } else if (sid == 0xBD && payload < end) {
      int sub = pack[payload];
      if (sub >= 0x20 && sub <= 0x3f)
        EmitPes(sub, pack + payload + 1, end - payload - 1, pts);
      else if (((sub >= 0x80 && sub <= 0x8f) || (sub >= 0xa0 && sub <= 0xa7)) && payload + 4 <= end)
        EmitPes(sub, pack + payload + 4, end - payload - 4, pts);
    }
  }
}

void NavigatorSource::EmitPes(int streamId, const uint8_t* data, size_t size, int64_t pts90) {
  if (size == 0) return;
  Pin* out;
  if (streamId == 0xE0) {
    out = Pins(PinDir::Output)[0];
  } else if (streamId >= 0x20 && streamId <= 0x3f) {
    out = Pins(PinDir::Output)[1];
  } else {
    int a = audioPhysical_;
    if (streamId != 0x80 + a && streamId != 0x88 + a && streamId != 0xa0 + a &&
        streamId != 0xc0 + a)
      return;
    out = Pins(PinDir::Output)[2];
  }
  Sample s;
  s.kind = Sample::Kind::Data;
  s.streamId = streamId;
  s.data.reserve(size + kPesPadding);
  s.data.assign(data, data + size);
  s.data.resize(size + kPesPadding, 0);
  s.payload = size;
  if (pts90 >= 0) {
    s.time = (pts90 + ptsOffset_) * 100 / 9;
    if (navTitleTime90_ >= 0)
      s.titleTime = std::max<int64_t>(0, navTitleTime90_ + (pts90 - vobuStart90_)) * 100 / 9;
  }
  out->Deliver(std::move(s));
}

// ---- commands (UI thread) ----

void NavigatorSource::LeaveStill() {
  if (inStill_) nav_->DropStill();
}

void NavigatorSource::Wake() {
  {
    std::lock_guard lock(mu_);
    ++cmdSeq_;
    idle_ = false;
  }
  cv_.notify_all();
}

void NavigatorSource::RequestFlush() {
  flushPending_ = true;
  Filter::BeginFlush();
  if (Graph()) Graph()->Clock().Kick();
}

HRESULT NavigatorSource::Finish(bool ok, uint32_t flags, IDvdCmd** cmd, HRESULT failure) {
  if (!ok) return failure;
  uint64_t seq;
  {
    std::lock_guard lock(mu_);
    seq = cmdSeq_;
  }
  if (cmd) *cmd = new Cmd(this, seq);
  if (flags & DVD_CMD_FLAG_Block) Cmd(this, seq).WaitForEnd();
  return S_OK;
}

HRESULT NavigatorSource::SetOption(DVD_OPTION_FLAG flag, bool value) {
  switch (flag) {
    case DVD_ResetOnStop:
      resetOnStop_ = value;
      return S_OK;
    case DVD_HMSF_TimeCodeEvents:
      if (Graph()) Graph()->timeCodeEvents = value;
      return S_OK;
    case DVD_NotifyParentalLevelChange:
      return S_OK;
  }
  return E_INVALIDARG;
}

HRESULT NavigatorSource::PlayForwards(double speed, uint32_t flags, IDvdCmd** cmd) {
  if (!(speed > 0) || speed > 16.0) return E_INVALIDARG;
  bool wasBack = backwards_.exchange(false);
  rate_ = speed;
  if (Graph()) Graph()->Clock().SetRate(speed);
  auto* vdec =
      Graph() ? static_cast<IVideoDecoderControl*>(Graph()->QueryFilters(kVideoDecoderControlIid))
              : nullptr;
  // Past 4x only key frames are decoded; the rest could not be shown in time anyway.
  if (vdec) vdec->SetKeyFramesOnly(speed > 4.0);
  if (wasBack || (flags & DVD_CMD_FLAG_Flush)) RequestFlush();
  Wake();
  if (Graph())
    Graph()->Notify(EC_DVD_PLAYBACK_RATE_CHANGE, static_cast<intptr_t>(speed * 10000), 0);
  return Finish(true, flags, cmd);
}

HRESULT NavigatorSource::PlayBackwards(double speed, uint32_t flags, IDvdCmd** cmd) {
  if (!(speed > 0) || speed > 16.0) return E_INVALIDARG;
  {
    std::lock_guard lock(navMu_);
    if (!InTitle()) return VFW_E_DVD_INVALIDDOMAIN;
  }
  rate_ = -speed;
  backwards_ = true;
  nextReverseStep_ = Clock::now();
  if (Graph()) Graph()->Clock().SetRate(1.0);
  auto* vdec =
      Graph() ? static_cast<IVideoDecoderControl*>(Graph()->QueryFilters(kVideoDecoderControlIid))
              : nullptr;
  if (vdec) vdec->SetKeyFramesOnly(true);
  Wake();
  if (Graph())
    Graph()->Notify(EC_DVD_PLAYBACK_RATE_CHANGE, static_cast<intptr_t>(-speed * 10000), 0);
  return Finish(true, flags, cmd);
}

HRESULT NavigatorSource::PlayAtTime(const DVD_HMSF_TIMECODE* tc, uint32_t flags, IDvdCmd** cmd) {
  if (!tc || tc->bMinutes > 59 || tc->bSeconds > 59) return E_INVALIDARG;
  bool ok;
  {
    std::lock_guard lock(navMu_);
    if (!InTitle()) return VFW_E_DVD_INVALIDDOMAIN;
    int32_t t, p;
    uint64_t dur = 0;
    nav_->CurrentTitle(t, p);
    uint64_t target = (uint64_t(tc->bHours) * 3600 + tc->bMinutes * 60 + tc->bSeconds) * 90000;
    if (nav_->TitleDuration90k(t, dur) && target >= dur) return E_INVALIDARG;
    ok = nav_->TimeSearch(target);
    if (ok) LeaveStill();
  }
  if (ok) RequestFlush();
  Wake();
  return Finish(ok, flags, cmd);
}

HRESULT NavigatorSource::PlayTitle(uint32_t title, uint32_t flags, IDvdCmd** cmd) {
  bool ok;
  {
    std::lock_guard lock(navMu_);
    int32_t n = 0;
    if (!nav_->TitleCount(n) || title < 1 || title > uint32_t(n)) return E_INVALIDARG;
    ok = nav_->TitlePlay(static_cast<int32_t>(title));
    if (ok) LeaveStill();
  }
  if (ok) RequestFlush();
  Wake();
  return Finish(ok, flags, cmd);
}

HRESULT NavigatorSource::PlayChapter(uint32_t chapter, uint32_t flags, IDvdCmd** cmd) {
  int32_t t = 0, p = 0;
  {
    std::lock_guard lock(navMu_);
    if (!InTitle() || !nav_->CurrentTitle(t, p) || t <= 0) return VFW_E_DVD_INVALIDDOMAIN;
  }
  return PlayChapterInTitle(static_cast<uint32_t>(t), chapter, flags, cmd);
}

HRESULT NavigatorSource::PlayChapterInTitle(uint32_t title, uint32_t chapter, uint32_t flags,
                                            IDvdCmd** cmd) {
  bool ok;
  {
    std::lock_guard lock(navMu_);
    int32_t n = 0, parts = 0;
    if (!nav_->TitleCount(n) || title < 1 || title > uint32_t(n)) return E_INVALIDARG;
    if (!nav_->PartCount(static_cast<int32_t>(title), parts) || chapter < 1 ||
        chapter > uint32_t(parts))
      return E_INVALIDARG;
    ok = nav_->PartPlay(static_cast<int32_t>(title), static_cast<int32_t>(chapter));
    if (ok) LeaveStill();
  }
  if (ok) RequestFlush();
  Wake();
  return Finish(ok, flags, cmd);
}

HRESULT NavigatorSource::ShowMenu(DVD_MENU_ID menu, uint32_t flags, IDvdCmd** cmd) {
  if (menu < DVD_MENU_Title || menu > DVD_MENU_Chapter) return E_INVALIDARG;
  bool ok;
  {
    std::lock_guard lock(navMu_);
    ok = nav_->MenuCall(static_cast<DVDMenuID_t>(menu));
    if (ok) LeaveStill();
  }
  if (ok) RequestFlush();
  Wake();
  return Finish(ok, flags, cmd, VFW_E_DVD_OPERATION_INHIBITED);
}

HRESULT NavigatorSource::Resume(uint32_t flags, IDvdCmd** cmd) {
  bool ok;
  {
    std::lock_guard lock(navMu_);
    int d = nav_->Domain();
    if (d != DVD_DOMAIN_VideoManagerMenu && d != DVD_DOMAIN_VideoTitleSetMenu)
      return VFW_E_DVD_INVALIDDOMAIN;
    ok = nav_->MenuCall(DVD_MENU_Escape) && nav_->Domain() == DVD_DOMAIN_Title;
    if (ok) LeaveStill();
  }
  if (ok) RequestFlush();
  Wake();
  return Finish(ok, flags, cmd);
}

HRESULT NavigatorSource::SelectRelativeButton(DVD_RELATIVE_BUTTON dir) {
  if (dir < DVD_Relative_Upper || dir > DVD_Relative_Right) return E_INVALIDARG;
  bool ok;
  {
    std::lock_guard lock(navMu_);
    ok = nav_->SelectRelative(dir);
  }
  Wake();
  return ok ? S_OK : VFW_E_DVD_NO_BUTTON;
}

HRESULT NavigatorSource::ActivateButton() {
  bool ok;
  {
    std::lock_guard lock(navMu_);
    ok = nav_->Activate();
  }
  if (ok) actionPending_ = true;
  Wake();
  return ok ? S_OK : VFW_E_DVD_NO_BUTTON;
}

HRESULT NavigatorSource::SelectAtPosition(POINT pt) {
  uint32_t b;
  if (GetButtonAtPosition(pt, &b) != S_OK) return VFW_E_DVD_NO_BUTTON;
  bool ok;
  {
    std::lock_guard lock(navMu_);
    ok = nav_->MouseSelect(pt.x, pt.y);
  }
  Wake();
  return ok ? S_OK : VFW_E_DVD_NO_BUTTON;
}

HRESULT NavigatorSource::ActivateAtPosition(POINT pt) {
  uint32_t b;
  if (GetButtonAtPosition(pt, &b) != S_OK) return VFW_E_DVD_NO_BUTTON;
  bool ok;
  {
    std::lock_guard lock(navMu_);
    ok = nav_->MouseActivate(pt.x, pt.y);
  }
  if (ok) actionPending_ = true;
  Wake();
  return ok ? S_OK : VFW_E_DVD_NO_BUTTON;
}

HRESULT NavigatorSource::SelectAngle(uint32_t angle, uint32_t flags, IDvdCmd** cmd) {
  bool ok;
  int32_t cur = 0, count = 0;
  {
    std::lock_guard lock(navMu_);
    if (!InTitle()) return VFW_E_DVD_INVALIDDOMAIN;
    if (!nav_->AngleInfo(cur, count) || angle < 1 || angle > uint32_t(count)) return E_INVALIDARG;
    ok = nav_->AngleChange(static_cast<int32_t>(angle));
  }
  if (ok && Graph()) Graph()->Notify(EC_DVD_ANGLE_CHANGE, count, angle);
  Wake();
  return Finish(ok, flags, cmd);
}

HRESULT NavigatorSource::SelectAudioStream(uint32_t stream, uint32_t flags, IDvdCmd** cmd) {
  if (stream >= AudioCount()) return E_INVALIDARG;
  audioLogical_ = static_cast<int>(stream);
  selectionDirty_ = true;
  // Drop the buffered sound of the old stream so the new one is heard at once.
  Pins(PinDir::Output)[2]->BeginFlush();
  audioFlushPending_ = true;
  Wake();
  if (Graph()) Graph()->Notify(EC_DVD_AUDIO_STREAM_CHANGE, stream, 0);
  return Finish(true, flags, cmd);
}

HRESULT NavigatorSource::SelectSubpictureStream(uint32_t stream, uint32_t flags, IDvdCmd** cmd) {
  if (stream >= SpuCount()) return E_INVALIDARG;
  spuLogical_ = static_cast<int>(stream);
  selectionDirty_ = true;
  Wake();
  if (Graph()) Graph()->Notify(EC_DVD_SUBPICTURE_STREAM_CHANGE, stream, SpuShown());
  return Finish(true, flags, cmd);
}

HRESULT NavigatorSource::SetSubpictureState(bool on, uint32_t flags, IDvdCmd** cmd) {
  spuShown_ = on ? 1 : 0;
  selectionDirty_ = true;
  Wake();
  return Finish(true, flags, cmd);
}

HRESULT NavigatorSource::SetState(IDvdState* state, uint32_t flags, IDvdCmd** cmd) {
  if (!state) return E_POINTER;
  const NavdiscStateRecord r = state->Record();
  bool ok;
  {
    std::lock_guard lock(navMu_);
    int32_t n = 0, parts = 0;
    if (!nav_->TitleCount(n) || r.title < 1 || r.title > uint32_t(n)) return E_INVALIDARG;
    nav_->PartCount(static_cast<int32_t>(r.title), parts);
    int32_t chapter = r.chapter >= 1 && r.chapter <= uint32_t(parts) ? int32_t(r.chapter) : 1;
    ok = nav_->PartPlay(static_cast<int32_t>(r.title), chapter);
    if (ok) LeaveStill();
    uint64_t dur = 0;
    if (ok && r.seconds > 0 &&
        (!nav_->TitleDuration90k(static_cast<int32_t>(r.title), dur) || r.seconds * 90000ull < dur))
      nav_->TimeSearch(uint64_t(r.seconds) * 90000);
    int32_t cur = 0, count = 0;
    if (ok && r.angle > 1 && nav_->AngleInfo(cur, count) && r.angle <= uint32_t(count))
      nav_->AngleChange(static_cast<int32_t>(r.angle));
  }
  if (!ok) return E_FAIL;
  audioLogical_ = r.audio;
  spuLogical_ = r.subpicture;
  spuShown_ = r.subpictureOn ? 1 : 0;
  selectionDirty_ = true;
  RequestFlush();
  Wake();
  return Finish(true, flags, cmd);
}

// ---- information ----

uint32_t NavigatorSource::AudioCount() {
  std::lock_guard lock(navMu_);
  // Outside titles the navigator maps every stream to the menu's one sound track.
  if (!InTitle()) return 1;
  uint32_t n = 0;
  for (int k = 0; k < 8 && nav_->AudioPhysical(k) >= 0; ++k) ++n;
  return n;
}

uint32_t NavigatorSource::SpuCount() {
  std::lock_guard lock(navMu_);
  // Menu sub-pictures are buttons, not subtitles to choose from.
  if (!InTitle()) return 0;
  uint32_t n = 0;
  for (int k = 0; k < 32 && nav_->SpuPhysical(k) >= 0; ++k) ++n;
  return n;
}

int NavigatorSource::CurrentAudioLogical() {
  if (audioLogical_ >= 0) return audioLogical_;
  std::lock_guard lock(navMu_);
  int phys = nav_->ActiveAudioPhysical();
  for (int k = 0; k < 8; ++k)
    if (nav_->AudioPhysical(k) == phys) return k;
  return 0;
}

int NavigatorSource::CurrentSpuLogical() {
  if (spuLogical_ >= 0) return spuLogical_;
  std::lock_guard lock(navMu_);
  int phys = nav_->ActiveSpuPhysical();
  if (phys < 0) return 0;
  for (int k = 0; k < 32; ++k)
    if (nav_->SpuPhysical(k) == (phys & 0x1f)) return k;
  return 0;
}

bool NavigatorSource::SpuShown() {
  if (spuShown_ >= 0) return spuShown_ == 1;
  std::lock_guard lock(navMu_);
  int phys = nav_->ActiveSpuPhysical();
  return phys >= 0 && !(phys & 0x80);
}

HRESULT NavigatorSource::GetCurrentDomain(DVD_DOMAIN* domain) {
  if (!domain) return E_POINTER;
  std::lock_guard lock(navMu_);
  *domain = static_cast<DVD_DOMAIN>(nav_->Domain());
  return S_OK;
}

HRESULT NavigatorSource::GetCurrentLocation(DVD_PLAYBACK_LOCATION2* loc) {
  if (!loc) return E_POINTER;
  std::lock_guard lock(navMu_);
  int32_t t = 0, p = 0;
  if (!InTitle() || !nav_->CurrentTitle(t, p)) return VFW_E_DVD_INVALIDDOMAIN;
  int64_t secs = nav_->CurrentTime90k() / 90000;
  loc->TitleNum = static_cast<uint32_t>(t);
  loc->ChapterNum = static_cast<uint32_t>(p);
  loc->TimeCode = {static_cast<uint8_t>(secs / 3600), static_cast<uint8_t>((secs / 60) % 60),
                   static_cast<uint8_t>(secs % 60), 0};
  loc->TimeCodeFlags = DVD_TC_FLAG_25fps;
  return S_OK;
}

HRESULT NavigatorSource::GetTotalTitleTime(DVD_HMSF_TIMECODE* tc, uint32_t* flags) {
  if (!tc) return E_POINTER;
  std::lock_guard lock(navMu_);
  int32_t t = 0, p = 0;
  uint64_t dur = 0;
  if (!InTitle() || !nav_->CurrentTitle(t, p) || !nav_->TitleDuration90k(t, dur))
    return VFW_E_DVD_INVALIDDOMAIN;
  uint64_t secs = dur / 90000;
  tc->bHours = static_cast<uint8_t>(std::min<uint64_t>(secs / 3600, 255));
  tc->bMinutes = static_cast<uint8_t>((secs / 60) % 60);
  tc->bSeconds = static_cast<uint8_t>(secs % 60);
  tc->bFrames = static_cast<uint8_t>((dur % 90000) * 25 / 90000);
  if (flags) *flags = DVD_TC_FLAG_25fps;
  return S_OK;
}

HRESULT NavigatorSource::GetCurrentButton(uint32_t* available, uint32_t* current) {
  if (!available || !current) return E_POINTER;
  std::lock_guard lock(navMu_);
  pci_t* pci = nav_->CurrentPci();
  int32_t b = 0;
  *available = pci ? pci->hli.hl_gi.btn_ns : 0;
  *current = nav_->CurrentButton(b) && *available ? static_cast<uint32_t>(b) : 0;
  return S_OK;
}

HRESULT NavigatorSource::GetCurrentAudio(uint32_t* available, uint32_t* current) {
  if (!available || !current) return E_POINTER;
  *available = AudioCount();
  *current = static_cast<uint32_t>(CurrentAudioLogical());
  return S_OK;
}

HRESULT NavigatorSource::GetCurrentSubpicture(uint32_t* available, uint32_t* current,
                                              int32_t* isDisabled) {
  if (!available || !current || !isDisabled) return E_POINTER;
  *available = SpuCount();
  *current = static_cast<uint32_t>(CurrentSpuLogical());
  *isDisabled = SpuShown() ? 0 : 1;
  return S_OK;
}

HRESULT NavigatorSource::GetCurrentAngle(uint32_t* available, uint32_t* current) {
  if (!available || !current) return E_POINTER;
  std::lock_guard lock(navMu_);
  int32_t cur = 0, count = 0;
  if (!InTitle() || !nav_->AngleInfo(cur, count)) {
    *available = 1;
    *current = 1;
    return S_OK;
  }
  *available = static_cast<uint32_t>(std::max(count, 1));
  *current = static_cast<uint32_t>(std::max(cur, 1));
  return S_OK;
}

HRESULT NavigatorSource::GetAudioLanguage(uint32_t stream, uint32_t* lcid) {
  if (!lcid) return E_POINTER;
  if (stream >= AudioCount()) return E_INVALIDARG;
  std::lock_guard lock(navMu_);
  *lcid = LangToLcid(nav_->AudioLanguage(static_cast<int>(stream)));
  return S_OK;
}

HRESULT NavigatorSource::GetSubpictureLanguage(uint32_t stream, uint32_t* lcid) {
  if (!lcid) return E_POINTER;
  if (stream >= SpuCount()) return E_INVALIDARG;
  std::lock_guard lock(navMu_);
  *lcid = LangToLcid(nav_->SpuLanguage(static_cast<int>(stream)));
  return S_OK;
}

HRESULT NavigatorSource::GetDVDVolumeInfo(uint32_t* numVolumes, uint32_t* volume,
                                          DVD_DISC_SIDE* side, uint32_t* numTitles) {
  std::lock_guard lock(navMu_);
  int32_t n = 0;
  if (!nav_->TitleCount(n)) return E_FAIL;
  if (numVolumes) *numVolumes = 1;
  if (volume) *volume = 1;
  if (side) *side = DVD_SIDE_A;
  if (numTitles) *numTitles = static_cast<uint32_t>(n);
  return S_OK;
}

HRESULT NavigatorSource::GetNumberOfChapters(uint32_t title, uint32_t* chapters) {
  if (!chapters) return E_POINTER;
  std::lock_guard lock(navMu_);
  int32_t n = 0, parts = 0;
  if (!nav_->TitleCount(n) || title < 1 || title > uint32_t(n)) return E_INVALIDARG;
  if (!nav_->PartCount(static_cast<int32_t>(title), parts)) return E_FAIL;
  *chapters = static_cast<uint32_t>(parts);
  return S_OK;
}

HRESULT NavigatorSource::GetCurrentVideoAttributes(DVD_VideoAttributes* a) {
  if (!a) return E_POINTER;
  std::lock_guard lock(navMu_);
  uint32_t w = 0, h = 0;
  if (!nav_->VideoSize(w, h) || w == 0 || h == 0) return E_FAIL;
  *a = {};
  bool wide = nav_->VideoAspect() == 3;
  a->fPanscanPermitted = wide;
  a->fLetterboxPermitted = wide;
  a->ulAspectX = wide ? 16 : 4;
  a->ulAspectY = wide ? 9 : 3;
  a->ulFrameRate = h == 576 ? 50 : 60;  // fields per second
  a->ulFrameHeight = h == 576 ? 625 : 525;
  a->Compression = DVD_VideoCompression_MPEG2;
  a->ulSourceResolutionX = w;
  a->ulSourceResolutionY = h;
  return S_OK;
}

HRESULT NavigatorSource::GetAudioAttributes(uint32_t stream, DVD_AudioAttributes* a) {
  if (!a) return E_POINTER;
  int logical =
      stream == DVD_STREAM_DATA_CURRENT ? CurrentAudioLogical() : static_cast<int>(stream);
  if (logical < 0 || uint32_t(logical) >= AudioCount()) return E_INVALIDARG;
  std::lock_guard lock(navMu_);
  audio_attr_t at{};
  if (!nav_->AudioAttr(logical, at)) return E_FAIL;
  *a = {};
  switch (at.audio_format) {
    case 0:
      a->AudioFormat = DVD_AudioFormat_AC3;
      break;
    case 2:
      a->AudioFormat = DVD_AudioFormat_MPEG1;
      break;
    case 3:
      a->AudioFormat = DVD_AudioFormat_MPEG2;
      break;
    case 4:
      a->AudioFormat = DVD_AudioFormat_LPCM;
      break;
    case 6:
      a->AudioFormat = DVD_AudioFormat_DTS;
      break;
    default:
      a->AudioFormat = DVD_AudioFormat_Other;
      break;
  }
  a->Language = LangToLcid(nav_->AudioLanguage(logical));
  a->LanguageExtension = at.code_extension;
  a->fHasMultichannelInfo = at.multichannel_extension;
  a->dwFrequency = at.sample_frequency == 1 ? 96000 : 48000;
  a->bQuantization = at.quantization == 0 ? 16 : at.quantization == 1 ? 20 : 24;
  a->bNumberOfChannels = static_cast<uint8_t>(at.channels + 1);
  return S_OK;
}

HRESULT NavigatorSource::GetSubpictureAttributes(uint32_t stream, DVD_SubpictureAttributes* a) {
  if (!a) return E_POINTER;
  int logical = stream == DVD_STREAM_DATA_CURRENT ? CurrentSpuLogical() : static_cast<int>(stream);
  *a = {};
  if (logical < 0 || uint32_t(logical) >= SpuCount()) {
    // A title without sub-pictures still answers, with an empty description.
    return stream == DVD_STREAM_DATA_CURRENT ? S_FALSE : E_INVALIDARG;
  }
  std::lock_guard lock(navMu_);
  subp_attr_t at{};
  if (!nav_->SpuAttr(logical, at)) return E_FAIL;
  a->Type = at.type;
  a->CodingMode = at.code_mode;
  a->Language = LangToLcid(nav_->SpuLanguage(logical));
  a->LanguageExtension = at.code_extension;
  return S_OK;
}

HRESULT NavigatorSource::GetButtonAtPosition(POINT pt, uint32_t* button) {
  if (!button) return E_POINTER;
  std::lock_guard lock(navMu_);
  pci_t* pci = nav_->CurrentPci();
  if (!pci) return VFW_E_DVD_NO_BUTTON;
  int n = std::min<int>(pci->hli.hl_gi.btn_ns, 36);
  for (int i = 0; i < n; ++i) {
    const btni_t& b = pci->hli.btnit[i];
    if (pt.x >= int(b.x_start) && pt.x <= int(b.x_end) && pt.y >= int(b.y_start) &&
        pt.y <= int(b.y_end)) {
      *button = static_cast<uint32_t>(i + 1);
      return S_OK;
    }
  }
  return VFW_E_DVD_NO_BUTTON;
}

HRESULT NavigatorSource::GetState(std::shared_ptr<IDvdState>* state) {
  if (!state) return E_POINTER;
  NavdiscStateRecord r;
  {
    std::lock_guard lock(navMu_);
    int32_t t = 0, p = 0;
    if (!InTitle() || !nav_->CurrentTitle(t, p) || t <= 0) return VFW_E_DVD_INVALIDDOMAIN;
    r.title = static_cast<uint32_t>(t);
    r.chapter = static_cast<uint32_t>(p);
    r.seconds = static_cast<uint32_t>(nav_->CurrentTime90k() / 90000);
    int32_t cur = 1, count = 1;
    if (nav_->AngleInfo(cur, count) && cur > 0) r.angle = static_cast<uint32_t>(cur);
  }
  // The picture on screen is a little behind the reading position.
  if (Graph())
    for (auto& f : Graph()->Filters())
      if (auto* v = dynamic_cast<VideoRenderer*>(f.get())) {
        int64_t shown = v->LastShown().titleTime;
        if (shown >= 0) r.seconds = static_cast<uint32_t>(shown / 1000000);
      }
  r.audio = audioLogical_;
  r.subpicture = spuLogical_;
  r.subpictureOn = SpuShown() ? 1 : 0;
  *state = std::make_shared<DvdState>(r);
  return S_OK;
}

std::string NavigatorSource::VolumeLabel() {
  std::lock_guard lock(navMu_);
  return nav_->VolumeLabel();
}

}  // namespace navdisc::graph

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

template <class T>
std::shared_ptr<const void> Payload(T v) {
  return std::make_shared<const T>(std::move(v));
}

}  // namespace

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

void NavigatorSource::SetDiscLimits(const DiscLimits& limits) {
  std::lock_guard lock(navMu_);
  if (nav_) nav_->Limit(limits);
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
  if (Graph()) Graph()->ReleasePictureEvents();
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
      // What was read before the jump will not be shown; its events still count.
      if (Graph()) Graph()->ReleasePictureEvents();
      DeliverAll(MakeSignal(Sample::Kind::Flush));
      if (Graph()) Graph()->Clock().Unanchor();
    }
    if (Graph()) Graph()->PostOverduePictureEvents();
    if (audioFlushPending_.exchange(false))
      Pins(PinDir::Output)[2]->Deliver(MakeSignal(Sample::Kind::Flush));
    if (selectionDirty_.exchange(false)) PushStreamSelection();
    if (repaintPending_.exchange(false) && inStill_) DeliverControl(kCtlRepaint, nullptr);
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
        if (Graph()) Graph()->ReleasePictureEvents();
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
      // A title or chapter that began with this cell begins with this unit's first picture.
      if (Graph()) Graph()->StampPictureEvents((s + ptsOffset_) * 100 / 9);
      DeliverControl(kCtlNavPacket, Payload(info));
      break;
    }
    case DVDNAV_STILL_FRAME: {
      int length = reinterpret_cast<dvdnav_still_event_t*>(buf)->length;
      if (!inStill_) {
        inStill_ = true;
        DeliverAll(MakeSignal(Sample::Kind::EndOfStream));
        stillDeadline_ = Clock::now() + std::chrono::seconds(length);
        // As the platform has it: whether buttons end the still, and its length in seconds
        // (all bits set: until the viewer acts).
        bool buttons;
        {
          std::lock_guard lock(navMu_);
          pci_t* pci = nav_->CurrentPci();
          buttons = pci && pci->hli.hl_gi.btn_ns > 0;
        }
        if (Graph())
          Graph()->Notify(EC_DVD_STILL_ON, buttons ? 1 : 0,
                          length == 0xff ? static_cast<intptr_t>(0xffffffffu) : length);
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
      // The number of buttons the menu offers, then the one selected (0: none).
      int buttons = 0;
      {
        std::lock_guard lock(navMu_);
        pci_t* pci = nav_->CurrentPci();
        buttons = pci ? std::min<int>(pci->hli.hl_gi.btn_ns, 36) : 0;
      }
      if (Graph())
        Graph()->Notify(EC_DVD_BUTTON_CHANGE, buttons,
                        buttons > 0 && e->buttonN <= uint32_t(buttons) ? e->buttonN : 0);
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
      if (Graph()) Graph()->ReleasePictureEvents();
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
      g->NotifyWithPicture(EC_DVD_TITLE_CHANGE, t, 0);
      g->NotifyWithPicture(EC_DVD_CHAPTER_START, p, 0);
    }
  } else if (p != part_) {
    part_ = p;
    if (g) g->NotifyWithPicture(EC_DVD_CHAPTER_START, p, 0);
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

}  // namespace navdisc::graph

// NavigatorSource commands: called on the UI thread; they steer the navigator under navMu_ and
// wake the reading thread, which does the actual reading.
#include <chrono>

#include "navdisc/graph/FilterGraph.h"
#include "navdisc/graph/NavigatorSource.h"
#include "navdisc/graph/VideoDecoder.h"

namespace navdisc::graph {
namespace {
using Clock = std::chrono::steady_clock;
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

void NavigatorSource::RequestRepaint() {
  repaintPending_ = true;
  // Wakes a held still without Wake(): an idle source must stay idle.
  {
    std::lock_guard lock(mu_);
    ++cmdSeq_;
  }
  cv_.notify_all();
}

void NavigatorSource::RequestFlush() {
  // Downstream must be flushing before the reading thread can see the request: its flush
  // sample is what ends the flushing, and one that arrived first would leave the renderers
  // dropping everything after it.
  Filter::BeginFlush();
  flushPending_ = true;
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
  const int logical = AudioLogicalAt(stream);
  if (logical < 0) return E_INVALIDARG;
  audioLogical_ = logical;
  selectionDirty_ = true;
  // Drop the buffered sound of the old stream so the new one is heard at once.
  Pins(PinDir::Output)[2]->BeginFlush();
  audioFlushPending_ = true;
  Wake();
  if (Graph()) Graph()->Notify(EC_DVD_AUDIO_STREAM_CHANGE, stream, 0);
  return Finish(true, flags, cmd);
}

HRESULT NavigatorSource::SelectSubpictureStream(uint32_t stream, uint32_t flags, IDvdCmd** cmd) {
  const int logical = SpuLogicalAt(stream);
  if (logical < 0) return E_INVALIDARG;
  spuLogical_ = logical;
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

}  // namespace navdisc::graph

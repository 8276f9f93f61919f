#include "navdisc/graph/FilterGraph.h"

#include <algorithm>
#include <functional>
#include <set>

#include "platform/Window.h"

namespace navdisc::graph {

// ---- MediaClock ----

int64_t MediaClock::NowLocked() const {
  if (!anchored_) return kUnanchored;
  if (!running_) return base_;
  auto us = std::chrono::duration_cast<std::chrono::microseconds>(Wall::now() - baseWall_).count();
  return base_ + static_cast<int64_t>(static_cast<double>(us) * rate_);
}

int64_t MediaClock::Now() const {
  std::lock_guard lock(mu_);
  return NowLocked();
}

void MediaClock::Anchor(int64_t t) {
  std::lock_guard lock(mu_);
  anchored_ = true;
  base_ = t;
  baseWall_ = Wall::now();
  cv_.notify_all();
}

bool MediaClock::AnchorIfUnset(int64_t t) {
  std::lock_guard lock(mu_);
  if (anchored_) return false;
  anchored_ = true;
  base_ = t;
  baseWall_ = Wall::now();
  cv_.notify_all();
  return true;
}

void MediaClock::Unanchor() {
  std::lock_guard lock(mu_);
  anchored_ = false;
  cv_.notify_all();
}

void MediaClock::SetRunning(bool running) {
  std::lock_guard lock(mu_);
  if (running == running_) return;
  base_ = anchored_ ? NowLocked() : base_;
  baseWall_ = Wall::now();
  running_ = running;
  cv_.notify_all();
}

bool MediaClock::Running() const {
  std::lock_guard lock(mu_);
  return running_;
}

void MediaClock::SetRate(double rate) {
  std::lock_guard lock(mu_);
  if (anchored_) base_ = NowLocked();
  baseWall_ = Wall::now();
  rate_ = rate > 0 ? rate : 1.0;
  cv_.notify_all();
}

double MediaClock::Rate() const {
  std::lock_guard lock(mu_);
  return rate_;
}

bool MediaClock::WaitUntil(int64_t t, Wall::time_point deadline) const {
  std::unique_lock lock(mu_);
  int64_t now = NowLocked();
  if (now != kUnanchored && now >= t) return true;
  Wall::time_point until = deadline;
  if (now != kUnanchored && running_) {
    auto need = std::chrono::microseconds(static_cast<int64_t>((t - now) / rate_) + 1);
    until = std::min(deadline, Wall::now() + need);
  }
  cv_.wait_until(lock, until);
  now = NowLocked();
  return now != kUnanchored && now >= t;
}

void MediaClock::Kick() {
  std::lock_guard lock(mu_);
  cv_.notify_all();
}

// ---- EventQueue ----

HRESULT EventQueue::GetEvent(int32_t* code, intptr_t* p1, intptr_t* p2, int32_t timeoutMs) {
  if (!code || !p1 || !p2) return E_POINTER;
  std::unique_lock lock(mu_);
  if (q_.empty() && timeoutMs != 0) {
    if (timeoutMs < 0)
      cv_.wait(lock, [&] { return !q_.empty(); });
    else
      cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return !q_.empty(); });
  }
  if (q_.empty()) return E_FAIL;
  Ev e = q_.front();
  q_.pop_front();
  *code = e.code;
  *p1 = e.p1;
  *p2 = e.p2;
  return S_OK;
}

HRESULT EventQueue::SetNotifyWindow(HWND window, unsigned msg, intptr_t instance) {
  std::lock_guard lock(mu_);
  window_ = window;
  msg_ = msg;
  instance_ = instance;
  return S_OK;
}

void EventQueue::Notify(int32_t code, intptr_t p1, intptr_t p2) {
  HWND w;
  unsigned msg;
  intptr_t inst;
  {
    std::lock_guard lock(mu_);
    q_.push_back({code, p1, p2});
    w = window_;
    msg = msg_;
    inst = instance_;
  }
  cv_.notify_all();
  if (w) plat::PostMessage(w, msg, 0, inst);
}

size_t EventQueue::Pending() const {
  std::lock_guard lock(mu_);
  return q_.size();
}

void EventQueue::Clear() {
  std::lock_guard lock(mu_);
  q_.clear();
}

// ---- FilterGraph ----

void FilterGraph::Notify(int32_t code, intptr_t p1, intptr_t p2) {
  switch (code) {
    case EC_DVD_DOMAIN_CHANGE:
    case EC_DVD_PLAYBACK_STOPPED:
    case EC_DVD_ERROR:
    case EC_DVD_DISC_EJECTED:
    case EC_DVD_NO_FP_PGC:
      ReleasePictureEvents();
      break;
    default:
      break;
  }
  events_.Notify(code, p1, p2);
}

void FilterGraph::NotifyWithPicture(int32_t code, intptr_t p1, intptr_t p2) {
  std::lock_guard lock(pictureMu_);
  pictureEvents_.push_back({code, p1, p2, kUnstamped, std::chrono::steady_clock::now()});
}

void FilterGraph::StampPictureEvents(int64_t streamTime) {
  std::lock_guard lock(pictureMu_);
  for (PictureEvent& e : pictureEvents_)
    if (e.time == kUnstamped) e.time = streamTime;
}

void FilterGraph::PicturePresented(int64_t streamTime) {
  // Posted under the lock so that events keep their order against a concurrent release.
  std::lock_guard lock(pictureMu_);
  while (!pictureEvents_.empty() && pictureEvents_.front().time != kUnstamped &&
         pictureEvents_.front().time <= streamTime) {
    const PictureEvent e = pictureEvents_.front();
    pictureEvents_.pop_front();
    events_.Notify(e.code, e.p1, e.p2);
  }
}

void FilterGraph::ReleasePictureEvents() {
  std::lock_guard lock(pictureMu_);
  for (const PictureEvent& e : pictureEvents_) events_.Notify(e.code, e.p1, e.p2);
  pictureEvents_.clear();
}

void FilterGraph::PostOverduePictureEvents() {
  const auto overdue = std::chrono::steady_clock::now() - std::chrono::seconds(2);
  std::lock_guard lock(pictureMu_);
  while (!pictureEvents_.empty() && pictureEvents_.front().time == kUnstamped &&
         pictureEvents_.front().queued < overdue) {
    const PictureEvent e = pictureEvents_.front();
    pictureEvents_.pop_front();
    events_.Notify(e.code, e.p1, e.p2);
  }
}

FilterGraph::FilterGraph() = default;

FilterGraph::~FilterGraph() {
  Stop();
  std::vector<std::shared_ptr<Filter>> all;
  {
    std::lock_guard lock(mu_);
    all = filters_;
  }
  for (auto& f : all) RemoveFilter(f.get());
}

HRESULT FilterGraph::AddFilter(std::shared_ptr<Filter> f, const std::string& name) {
  if (!f) return E_POINTER;
  std::lock_guard lock(mu_);
  if (f->graph_) return E_INVALIDARG;
  std::string unique = name;
  for (int n = 2; FindFilterByName(unique); ++n) unique = name + " " + std::to_string(n);
  f->name_ = unique;
  f->graph_ = this;
  filters_.push_back(std::move(f));
  return S_OK;
}

HRESULT FilterGraph::RemoveFilter(Filter* f) {
  if (!f) return E_POINTER;
  std::shared_ptr<Filter> keep;
  {
    std::lock_guard lock(mu_);
    auto it =
        std::find_if(filters_.begin(), filters_.end(), [&](const auto& x) { return x.get() == f; });
    if (it == filters_.end()) return E_INVALIDARG;
    keep = *it;
    f->Removed();
    for (Pin* p : f->Pins()) Disconnect(p);
    filters_.erase(it);
    f->graph_ = nullptr;
  }
  return S_OK;
}

std::shared_ptr<Filter> FilterGraph::FindFilterByName(const std::string& name) const {
  std::lock_guard lock(mu_);
  for (const auto& f : filters_)
    if (f->Name() == name) return f;
  return nullptr;
}

std::vector<std::shared_ptr<Filter>> FilterGraph::Filters() const {
  std::lock_guard lock(mu_);
  return filters_;
}

HRESULT FilterGraph::ConnectDirect(Pin* out, Pin* in) {
  if (!out || !in) return E_POINTER;
  if (out->Direction() != PinDir::Output || in->Direction() != PinDir::Input) return E_INVALIDARG;
  if (out->peer_ || in->peer_) return VFW_E_CANNOT_CONNECT;
  for (const MediaType& t : out->Types()) {
    if (in->Accepts(t)) {
      std::lock_guard lock(mu_);
      out->peer_ = in;
      in->peer_ = out;
      out->connType_ = in->connType_ = t;
      return S_OK;
    }
  }
  return VFW_E_CANNOT_CONNECT;
}

HRESULT FilterGraph::Connect(Pin* out, Pin* in) {
  HRESULT hr = ConnectDirect(out, in);
  if (SUCCEEDED(hr) || !out || !in || out->peer_ || in->peer_) return hr;
  // One intermediate filter: a registered decoder that takes the output's type.
  for (const MediaType& t : out->Types()) {
    ClassId mid = FilterRegistry::Instance().FindDecoder(t);
    if (mid.empty()) continue;
    auto f = FilterRegistry::Instance().Create(mid);
    if (!f || FAILED(AddFilter(f, f->Clsid()))) continue;
    bool ok = false;
    for (Pin* fin : f->Pins(PinDir::Input)) {
      if (SUCCEEDED(ConnectDirect(out, fin))) {
        for (Pin* fout : f->Pins(PinDir::Output))
          if (SUCCEEDED(ConnectDirect(fout, in))) ok = true;
        break;
      }
    }
    if (ok) return S_OK;
    RemoveFilter(f.get());
  }
  return VFW_E_CANNOT_CONNECT;
}

HRESULT FilterGraph::Disconnect(Pin* p) {
  if (!p) return E_POINTER;
  std::lock_guard lock(mu_);
  if (Pin* peer = p->peer_) {
    peer->peer_ = nullptr;
    peer->connType_ = {};
  }
  p->peer_ = nullptr;
  p->connType_ = {};
  return S_OK;
}

std::vector<std::shared_ptr<Filter>> FilterGraph::DownstreamFirst() const {
  std::lock_guard lock(mu_);
  std::vector<std::shared_ptr<Filter>> order;
  std::set<Filter*> seen;
  std::function<void(const std::shared_ptr<Filter>&)> visit =
      [&](const std::shared_ptr<Filter>& f) {
        if (!seen.insert(f.get()).second) return;
        for (Pin* p : f->Pins(PinDir::Output)) {
          if (!p->ConnectedTo()) continue;
          Filter* down = p->ConnectedTo()->Owner();
          for (const auto& g : filters_)
            if (g.get() == down) visit(g);
        }
        order.push_back(f);
      };
  for (const auto& f : filters_) visit(f);
  return order;
}

HRESULT FilterGraph::Run() {
  HRESULT result = S_OK;
  for (auto& f : DownstreamFirst())
    if (HRESULT hr = f->Run(); FAILED(hr)) result = hr;
  clock_.SetRunning(true);
  state_ = State::Running;
  return result;
}

HRESULT FilterGraph::Pause() {
  clock_.SetRunning(false);
  HRESULT result = S_OK;
  for (auto& f : DownstreamFirst())
    if (HRESULT hr = f->Pause(); FAILED(hr)) result = hr;
  state_ = State::Paused;
  return result;
}

HRESULT FilterGraph::Stop() {
  clock_.SetRunning(false);
  HRESULT result = S_OK;
  for (auto& f : DownstreamFirst())
    if (HRESULT hr = f->Stop(); FAILED(hr)) result = hr;
  state_ = State::Stopped;
  return result;
}

void* FilterGraph::QueryFilters(const std::string& iid) const {
  for (const auto& f : Filters())
    if (void* p = f->QueryInterface(iid)) return p;
  return nullptr;
}

HRESULT FilterGraph::put_Volume(long v) {
  auto* a = static_cast<IBasicAudio*>(QueryFilters("IBasicAudio"));
  return a ? a->put_Volume(v) : E_NOINTERFACE;
}
HRESULT FilterGraph::put_Balance(long b) {
  auto* a = static_cast<IBasicAudio*>(QueryFilters("IBasicAudio"));
  return a ? a->put_Balance(b) : E_NOINTERFACE;
}
HRESULT FilterGraph::get_Volume(long* v) {
  auto* a = static_cast<IBasicAudio*>(QueryFilters("IBasicAudio"));
  return a ? a->get_Volume(v) : E_NOINTERFACE;
}
HRESULT FilterGraph::get_Balance(long* b) {
  auto* a = static_cast<IBasicAudio*>(QueryFilters("IBasicAudio"));
  return a ? a->get_Balance(b) : E_NOINTERFACE;
}

}  // namespace navdisc::graph

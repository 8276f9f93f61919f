// The filter graph with its reference clock, event queue, transport and audio control.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "navdisc/DvdInterfaces.h"
#include "navdisc/graph/Filter.h"

namespace navdisc::graph {

// Stream-time clock shared by the renderers. Not anchored until the first sample after a
// flush arrives; then runs at `rate` while the graph runs.
class MediaClock {
 public:
  static constexpr int64_t kUnanchored = INT64_MIN;
  int64_t Now() const;  // us of stream time, or kUnanchored
  void Anchor(int64_t streamTime);
  bool AnchorIfUnset(int64_t streamTime);  // true when this call anchored it
  void Unanchor();
  void SetRunning(bool running);
  bool Running() const;
  void SetRate(double rate);
  double Rate() const;
  // Waits until Now() >= t, the clock changes, or `deadline`; returns Now() >= t.
  bool WaitUntil(int64_t t, std::chrono::steady_clock::time_point deadline) const;
  void Kick();  // wakes waiters (flush, stop)

 private:
  using Wall = std::chrono::steady_clock;
  int64_t NowLocked() const;
  mutable std::mutex mu_;
  mutable std::condition_variable cv_;
  bool running_ = false;
  bool anchored_ = false;
  double rate_ = 1.0;
  int64_t base_ = 0;
  Wall::time_point baseWall_;
};

// The engine's own event queue: worker threads add events, the UI thread drains them.
class EventQueue : public IMediaEventEx {
 public:
  HRESULT GetEvent(int32_t* code, intptr_t* p1, intptr_t* p2, int32_t timeoutMs) override;
  HRESULT FreeEventParams(int32_t, intptr_t, intptr_t) override { return S_OK; }
  HRESULT SetNotifyWindow(HWND window, unsigned msg, intptr_t instance) override;
  // Any thread: queues the event and posts the notify message.
  void Notify(int32_t code, intptr_t p1, intptr_t p2);
  size_t Pending() const;
  void Clear();

 private:
  struct Ev {
    int32_t code;
    intptr_t p1, p2;
  };
  mutable std::mutex mu_;
  std::condition_variable cv_;
  std::deque<Ev> q_;
  HWND window_ = 0;
  unsigned msg_ = 0;
  intptr_t instance_ = 0;
};

class FilterGraph : public IMediaControl, public IBasicAudio {
 public:
  FilterGraph();
  ~FilterGraph() override;

  HRESULT AddFilter(std::shared_ptr<Filter> f, const std::string& name);
  HRESULT RemoveFilter(Filter* f);
  std::shared_ptr<Filter> FindFilterByName(const std::string& name) const;
  std::vector<std::shared_ptr<Filter>> Filters() const;
  // Direct connection when the types agree, otherwise through one intermediate filter
  // from the registry that takes the output's type and offers a type the input takes.
  HRESULT Connect(Pin* out, Pin* in);
  HRESULT ConnectDirect(Pin* out, Pin* in);
  HRESULT Disconnect(Pin* p);

  // IMediaControl
  HRESULT Run() override;
  HRESULT Pause() override;
  HRESULT Stop() override;
  enum class State { Stopped, Paused, Running };
  State GraphState() const { return state_; }

  // IBasicAudio: forwarded to the audio renderer.
  HRESULT put_Volume(long volume) override;
  HRESULT put_Balance(long balance) override;
  HRESULT get_Volume(long* volume) override;
  HRESULT get_Balance(long* balance) override;

  // Asks every filter for an interface, in graph order; null if none has it.
  void* QueryFilters(const std::string& iid) const;

  // EC_DVD_CURRENT_HMSF_TIME events from the renderer (the navigator's option).
  std::atomic<bool> timeCodeEvents{false};

  MediaClock& Clock() { return clock_; }
  EventQueue& Events() { return events_; }
  // Posts an event at once. Events that change what plays (domain, stop, errors) first post
  // the picture events still waiting, so the player hears everything in order.
  void Notify(int32_t code, intptr_t p1, intptr_t p2);

  // Events that belong to a picture (title and chapter starts) reach the player when that
  // picture is shown, not when the disc was read, which runs a second ahead.
  void NotifyWithPicture(int32_t code, intptr_t p1, intptr_t p2);  // its picture still to come
  void StampPictureEvents(int64_t streamTime);  // the stream time of that picture
  void PicturePresented(int64_t streamTime);    // posts those whose picture is up
  void ReleasePictureEvents();                  // posts them all now (flush, stop, end)
  // Posts events whose picture never came (no video, a still) after a while.
  void PostOverduePictureEvents();

 private:
  // Filters ordered renderers first, so state changes reach the sinks before the source.
  std::vector<std::shared_ptr<Filter>> DownstreamFirst() const;
  mutable std::recursive_mutex mu_;
  std::vector<std::shared_ptr<Filter>> filters_;
  State state_ = State::Stopped;
  MediaClock clock_;
  EventQueue events_;

  struct PictureEvent {
    int32_t code;
    intptr_t p1, p2;
    int64_t time;  // stream time of its picture; kUnstamped until known
    std::chrono::steady_clock::time_point queued;
  };
  static constexpr int64_t kUnstamped = INT64_MIN;
  std::mutex pictureMu_;
  std::deque<PictureEvent> pictureEvents_;
};

}  // namespace navdisc::graph

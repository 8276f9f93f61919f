// One playback graph: a libmpv core playing a file or the TV tuner into a window's video surface.
#pragma once

#include <QPointer>
#include <QSize>
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "clipcore/Adjustments.h"
#include "clipcore/ChannelScanner.h"
#include "clipcore/FrameRenderer.h"
#include "clipcore/Tuner.h"
#include "platform/Types.h"

struct mpv_handle;
struct mpv_render_context;
struct mpv_event;
class QWidget;

namespace clipcore {

struct MediaEvent {
  int32_t code, p1, p2;
};

class OwnerWatcher;

// All members run on the UI thread.
class MediaGraph {
 public:
  // Null when libmpv cannot be set up.
  static std::unique_ptr<MediaGraph> Create(HWND notifyWindow);
  ~MediaGraph();

  void SetNotifyWindow(HWND window) { notify_ = window; }

  bool RenderFile(const std::string& path);
  bool RenderTV();
  bool Play(double rate);
  bool Pause();
  void Stop();
  bool Step(int frames);
  bool Seek(double seconds);
  bool PlayInfo(double& length, double& position, int32_t& percent);
  bool FileInfo(int32_t& width, int32_t& height, bool& canSeek);
  double SetRate(double rate);
  bool SetOwner(HWND window, const LumoraRect* rect, bool keepProportions);
  bool SetVolumeAndBalance(int32_t volume, int32_t balance);
  bool SetPicture(const Picture& picture);
  const Picture& picture() const { return picture_; }
  bool Snapshot(const std::string& path);
  bool Scan(bool stop);
  bool SetChannel(int32_t channel);

  // Reads libmpv's queued events into the graph's own queue.
  void Pump();
  bool PopEvent(MediaEvent& out);
  // The notification for the events now waiting has been taken.
  void NotificationTaken() { notifyPosted_ = false; }

  // For tests and the command-line tool.
  double MpvVolume() const;
  std::string MpvString(const char* property) const;
  uint64_t FramesRendered() const { return renderer_ ? renderer_->FramesRendered() : 0; }
  bool IsOpen() const { return open_; }

 private:
  explicit MediaGraph(HWND notifyWindow);
  bool Init();
  static void OnWakeup(void* self);
  void PostNotification();
  void Handle(const mpv_event& e);
  bool Load(const std::string& url, bool waitForPicture);
  bool HasVideo() const;
  void TuneExactSeeks();
  void SetSeekOffset(double seconds);
  bool RetryLateSeek();
  void UpdateTarget();
  void ReleaseOwner();

  mpv_handle* mpv_ = nullptr;
  mpv_render_context* render_ = nullptr;
  std::unique_ptr<FrameRenderer> renderer_;
  std::atomic<HWND> notify_{0};
  std::atomic<bool> notifyPosted_{false};
  std::atomic<int64_t> lastPostMs_{0};
  std::deque<MediaEvent> events_;

  // The entry libmpv plays for us, and what became of it.
  int64_t entry_ = -1;
  bool loading_ = false;
  bool loaded_ = false;
  bool loadFailed_ = false;
  int loadError_ = 0;  // libmpv's reason when loading failed
  bool videoReady_ = false;
  bool started_ = false;  // the file's first start is done: no restart of its own is still due
  bool open_ = false;
  bool tv_ = false;
  double speed_ = 1.0;
  double pendingSeek_ = -1.0;  // reported as the position until the seek has been carried out
  double seekOffset_ = 0.0;    // how far before the target the demuxer starts an exact seek
  int seekRetries_ = 0;        // of the current seek, after landing late

  HWND owner_ = 0;
  std::shared_ptr<plat::VideoSink> sink_;
  bool ownerRect_ = false;
  LumoraRect rect_{};
  bool keep_ = true;
  QPointer<OwnerWatcher> watcher_;

  Picture picture_;
  std::string audioFilter_;
  std::string videoFilter_;

  std::unique_ptr<Tuner> tuner_;
  std::unique_ptr<ChannelScanner> scanner_;
};

}  // namespace clipcore

#include "clipcore/MediaGraph.h"

#include <mpv/client.h>
#include <mpv/render.h>

#include <QEvent>
#include <QFileInfo>
#include <QWidget>
#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "clipcore/Clipcore.h"
#include "platform/Bitmap.h"
#include "platform/Diagnostics.h"
#include "platform/Window.h"

namespace clipcore {

// Follows the owner window's size while the picture fills the whole window.
class OwnerWatcher : public QObject {
 public:
  OwnerWatcher(QWidget* w, std::function<void()> onResize)
      : QObject(w), onResize_(std::move(onResize)) {
    w->installEventFilter(this);
  }
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Resize && o == parent()) onResize_();
    return false;
  }

 private:
  std::function<void()> onResize_;
};

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kLoadTimeout = std::chrono::seconds(10);
constexpr auto kPictureTimeout = std::chrono::seconds(5);
constexpr auto kStartTimeout = std::chrono::seconds(2);

double GetDouble(mpv_handle* mpv, const char* name, double def) {
  double v = 0;
  if (mpv_get_property(mpv, name, MPV_FORMAT_DOUBLE, &v) < 0 || !std::isfinite(v)) return def;
  return v;
}

int64_t GetInt(mpv_handle* mpv, const char* name, int64_t def) {
  int64_t v = 0;
  if (mpv_get_property(mpv, name, MPV_FORMAT_INT64, &v) < 0) return def;
  return v;
}

bool GetFlag(mpv_handle* mpv, const char* name) {
  int v = 0;
  if (mpv_get_property(mpv, name, MPV_FORMAT_FLAG, &v) < 0) return false;
  return v != 0;
}

const mpv_node* MapItem(const mpv_node& map, const char* key) {
  if (map.format != MPV_FORMAT_NODE_MAP || !map.u.list) return nullptr;
  for (int i = 0; i < map.u.list->num; ++i) {
    if (std::strcmp(map.u.list->keys[i], key) == 0) return &map.u.list->values[i];
  }
  return nullptr;
}

int64_t MapInt(const mpv_node& map, const char* key, int64_t def) {
  const mpv_node* n = MapItem(map, key);
  return n && n->format == MPV_FORMAT_INT64 ? n->u.int64 : def;
}

}  // namespace

std::unique_ptr<MediaGraph> MediaGraph::Create(HWND notifyWindow) {
  std::unique_ptr<MediaGraph> g(new MediaGraph(notifyWindow));
  if (!g->Init()) return nullptr;
  return g;
}

MediaGraph::MediaGraph(HWND notifyWindow) : notify_(notifyWindow) {}

bool MediaGraph::Init() {
  // libmpv refuses to run with a numeric locale other than "C" (Qt sets the user's).
  std::setlocale(LC_NUMERIC, "C");
  mpv_ = mpv_create();
  if (!mpv_) return false;
  const bool verbose = std::getenv("LUMORA_MPV_LOG") != nullptr;
  auto opt = [this](const char* name, const char* value) {
    mpv_set_option_string(mpv_, name, value);
  };
  opt("config", "no");
  opt("terminal", verbose ? "yes" : "no");
  if (verbose) {
    opt("msg-level", "all=v");
    opt("msg-time", "yes");
  }
  opt("load-scripts", "no");
  opt("ytdl", "no");
  opt("osc", "no");
  opt("osd-level", "0");
  opt("input-default-bindings", "no");
  opt("input-vo-keyboard", "no");
  opt("idle", "yes");
  opt("keep-open", "no");
  opt("audio-display", "no");
  opt("sub-auto", "no");
  opt("audio-file-auto", "no");
  opt("hwdec", "no");
  opt("hr-seek", "yes");
  opt("sw-fast", "yes");
  opt("vo", "libmpv");
  opt("pause", "yes");
  // A machine without a sound device still plays, silently, instead of ending every file.
  opt("audio-fallback-to-null", "yes");
  const char* audio = std::getenv("LUMORA_AUDIO");
  const std::string ao = audio ? audio : "";
  if (ao == "null") {
    opt("ao", "null");
  } else if (ao.rfind("pcm:", 0) == 0) {
    // Sound written to a WAV file, so what reaches the speakers can be examined.
    opt("ao", "pcm");
    opt("ao-pcm-file", ao.substr(4).c_str());
  }
  if (mpv_initialize(mpv_) < 0) return false;

  mpv_render_param params[] = {
      {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_SW)},
      {MPV_RENDER_PARAM_INVALID, nullptr}};
  if (mpv_render_context_create(&render_, mpv_, params) < 0) {
    render_ = nullptr;
    return false;
  }
  renderer_ = std::make_unique<FrameRenderer>(render_);
  mpv_set_wakeup_callback(mpv_, &MediaGraph::OnWakeup, this);
  return true;
}

MediaGraph::~MediaGraph() {
  scanner_.reset();
  if (mpv_) mpv_set_wakeup_callback(mpv_, nullptr, nullptr);
  renderer_.reset();
  if (render_) mpv_render_context_free(render_);
  if (mpv_) mpv_terminate_destroy(mpv_);
  tuner_.reset();
  ReleaseOwner();
}

void MediaGraph::OnWakeup(void* self) {
  // An mpv thread: post only; the events are read on the UI thread.
  static_cast<MediaGraph*>(self)->PostNotification();
}

void MediaGraph::PostNotification() {
  // One message stands for any number of events; should it go unanswered (a window that
  // dropped it), a later event posts again after a while rather than never.
  const int64_t now =
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
          .count();
  if (notifyPosted_.exchange(true) && now - lastPostMs_.load() < 250) return;
  lastPostMs_ = now;
  if (!plat::PostMessage(notify_, WM_MEDIA_GRAPH_EVENT, 0, 0)) notifyPosted_ = false;
}

void MediaGraph::Pump() {
  for (;;) {
    mpv_event* e = mpv_wait_event(mpv_, 0);
    if (!e || e->event_id == MPV_EVENT_NONE) return;
    Handle(*e);
  }
}

bool MediaGraph::PopEvent(MediaEvent& out) {
  if (events_.empty()) return false;
  out = events_.front();
  events_.pop_front();
  return true;
}

void MediaGraph::Handle(const mpv_event& e) {
  switch (e.event_id) {
    case MPV_EVENT_FILE_LOADED:
      if (loading_) loaded_ = true;
      break;
    case MPV_EVENT_VIDEO_RECONFIG:
      if (GetInt(mpv_, "video-params/dw", 0) > 0) videoReady_ = true;
      break;
    case MPV_EVENT_PLAYBACK_RESTART:
      if (loading_) started_ = true;
      // Should a restart from before the seek still be queued, it is handled while the seek is
      // under way; judging the seek by it would take the target for where it landed.
      if (pendingSeek_ >= 0 && GetFlag(mpv_, "seeking")) break;
      if (!RetryLateSeek()) pendingSeek_ = -1.0;
      break;
    case MPV_EVENT_END_FILE: {
      const auto* end = static_cast<const mpv_event_end_file*>(e.data);
      if (!end || end->playlist_entry_id != entry_) break;  // a file we replaced
      if (loading_) {
        loadFailed_ = true;
        loadError_ = end->error;
        break;
      }
      const bool wasOpen = open_;
      open_ = false;
      loaded_ = false;
      pendingSeek_ = -1.0;
      if (!wasOpen) break;
      if (end->reason == MPV_END_FILE_REASON_EOF) {
        events_.push_back({CLIPCORE_EC_COMPLETE, 0, 0});
        PostNotification();
      } else if (end->reason == MPV_END_FILE_REASON_ERROR) {
        events_.push_back({CLIPCORE_EC_ERRORABORT, end->error, 0});
        PostNotification();
      }
      break;
    }
    default:
      break;
  }
}

bool MediaGraph::Load(const std::string& url, bool waitForPicture) {
  Pump();  // whatever is queued belongs to what played before
  loading_ = true;
  loaded_ = loadFailed_ = videoReady_ = started_ = false;
  loadError_ = 0;
  open_ = false;
  pendingSeek_ = -1.0;
  mpv_set_property_string(mpv_, "pause", "yes");
  const char* cmd[] = {"loadfile", url.c_str(), "replace", nullptr};
  mpv_node result{};
  if (const int rc = mpv_command_ret(mpv_, cmd, &result); rc < 0) {
    loading_ = false;
    plat::Diagnose("Clipcore", "refused " + url + ": " + mpv_error_string(rc));
    return false;
  }
  entry_ = MapInt(result, "playlist_entry_id", -1);
  mpv_free_node_contents(&result);

  auto waitFor = [this](const bool& done, Clock::duration limit) {
    const auto deadline = Clock::now() + limit;
    while (!done && !loadFailed_) {
      const auto left = std::chrono::duration<double>(deadline - Clock::now()).count();
      if (left <= 0) return;
      mpv_event* e = mpv_wait_event(mpv_, left);
      if (e && e->event_id != MPV_EVENT_NONE) Handle(*e);
    }
  };
  waitFor(loaded_, kLoadTimeout);
  // The picture's size is known once the first frame is decoded; the caller sizes its window
  // from it right after this returns.
  if (loaded_ && !loadFailed_ && waitForPicture && HasVideo())
    waitFor(videoReady_, kPictureTimeout);
  // A seek asked for right after this must not be judged by the file's own first start.
  if (loaded_ && !loadFailed_) waitFor(started_, kStartTimeout);
  loading_ = false;
  if (!loaded_ || loadFailed_) {
    plat::Diagnose("Clipcore", "refused " + url + ": " +
                                   (loadFailed_ ? std::string(mpv_error_string(loadError_))
                                                : std::string("libmpv did not open it in time")));
    const char* stop[] = {"stop", nullptr};
    mpv_command(mpv_, stop);
    return false;
  }
  open_ = true;
  TuneExactSeeks();
  return true;
}

void MediaGraph::TuneExactSeeks() {
  // Program and transport streams have no index: the demuxer finds a time by reading
  // timestamps and starts at the first key frame after it, so an exact seek would land up to
  // a GOP late. Starting the demuxer earlier lets the decoder run up to the frame asked for.
  // ("mpeg" and "mpegts" here; "mpegvideo" for elementary streams.)
  const bool byTimestamp = MpvString("file-format").find("mpeg") != std::string::npos;
  SetSeekOffset(byTimestamp ? 1.0 : 0.0);
  seekRetries_ = 0;
}

void MediaGraph::SetSeekOffset(double seconds) {
  seekOffset_ = seconds;
  mpv_set_property(mpv_, "hr-seek-demuxer-offset", MPV_FORMAT_DOUBLE, &seekOffset_);
}

// Called once a seek has been carried out: a picture that came out later than a frame after
// the target means the demuxer started past it, so the seek is made again from further back.
bool MediaGraph::RetryLateSeek() {
  if (pendingSeek_ < 0 || seekRetries_ >= 3 || seekOffset_ >= 8.0) return false;
  const double pos = GetDouble(mpv_, "time-pos", -1.0);
  double fps = GetDouble(mpv_, "container-fps", 0.0);
  if (!(fps > 1.0 && fps < 1000.0)) fps = 25.0;
  const double length = GetDouble(mpv_, "duration", 0.0);
  if (pos < 0 || pos <= pendingSeek_ + 1.5 / fps) return false;
  if (length > 0 && pendingSeek_ >= length - 1.0 / fps) return false;
  ++seekRetries_;
  SetSeekOffset(std::max(1.0, seekOffset_ * 2));
  char arg[64];
  std::snprintf(arg, sizeof arg, "%.6f", pendingSeek_);
  const char* cmd[] = {"seek", arg, "absolute+exact", nullptr};
  return mpv_command(mpv_, cmd) >= 0;
}

bool MediaGraph::HasVideo() const {
  const std::string vid = MpvString("vid");
  return !vid.empty() && vid != "no";
}

bool MediaGraph::RenderFile(const std::string& path) {
  // Only files: an absolute path also keeps libmpv from reading a name such as "av://..." as
  // one of its protocols.
  const QFileInfo file(QString::fromLocal8Bit(path.c_str()));
  if (path.empty() || !file.isFile()) {
    plat::Diagnose("Clipcore", "refused " + path + ": not a file");
    return false;
  }
  tv_ = false;
  return Load(file.absoluteFilePath().toLocal8Bit().toStdString(), true);
}

bool MediaGraph::RenderTV() {
  if (!tuner_) tuner_ = OpenDefaultTuner();
  if (!tuner_) return false;
  tv_ = true;
  if (Load(tuner_->StreamUrl(), true)) return true;
  tv_ = false;
  return false;
}

bool MediaGraph::Play(double rate) {
  Pump();
  if (!open_) return false;
  // Setting the speed waits for the playback core, so only when it changes.
  if (!tv_ && std::isfinite(rate) && rate > 0 && rate != speed_) SetRate(rate);
  return mpv_set_property_string(mpv_, "pause", "no") >= 0;
}

bool MediaGraph::Pause() {
  Pump();
  if (!open_) return false;
  return mpv_set_property_string(mpv_, "pause", "yes") >= 0;
}

void MediaGraph::Stop() {
  if (!open_ && !loaded_) return;
  const char* cmd[] = {"stop", nullptr};
  mpv_command(mpv_, cmd);
  open_ = loaded_ = false;
  pendingSeek_ = -1.0;
}

bool MediaGraph::Step(int frames) {
  Pump();
  if (!open_ || frames < 1 || !HasVideo()) return false;
  frames = std::min(frames, 100);
  for (int i = 0; i < frames; ++i) {
    const char* cmd[] = {"frame-step", nullptr};
    if (mpv_command(mpv_, cmd) < 0) return false;
  }
  return true;
}

bool MediaGraph::Seek(double seconds) {
  Pump();
  if (!open_ || tv_ || !std::isfinite(seconds) || !GetFlag(mpv_, "seekable")) return false;
  const double length = GetDouble(mpv_, "duration", 0.0);
  double target = std::max(0.0, seconds);
  if (length > 0) target = std::min(target, length);
  char arg[64];
  std::snprintf(arg, sizeof arg, "%.6f", target);
  const char* cmd[] = {"seek", arg, "absolute+exact", nullptr};
  if (mpv_command(mpv_, cmd) < 0) return false;
  pendingSeek_ = target;
  seekRetries_ = 0;
  return true;
}

bool MediaGraph::PlayInfo(double& length, double& position, int32_t& percent) {
  Pump();
  if (!open_) return false;
  length = std::max(0.0, GetDouble(mpv_, "duration", 0.0));
  position = pendingSeek_ >= 0 ? pendingSeek_ : std::max(0.0, GetDouble(mpv_, "time-pos", 0.0));
  if (length > 0) position = std::min(position, length);
  percent =
      length > 0 ? static_cast<int32_t>(std::clamp(position * 100.0 / length, 0.0, 100.0)) : 0;
  return true;
}

bool MediaGraph::FileInfo(int32_t& width, int32_t& height, bool& canSeek) {
  Pump();
  if (!open_) return false;
  // Display size: the sample aspect ratio is already applied.
  width = static_cast<int32_t>(std::max<int64_t>(0, GetInt(mpv_, "video-params/dw", 0)));
  height = static_cast<int32_t>(std::max<int64_t>(0, GetInt(mpv_, "video-params/dh", 0)));
  canSeek = !tv_ && GetFlag(mpv_, "seekable");
  return true;
}

double MediaGraph::SetRate(double rate) {
  if (!open_) return 0.0;
  if (tv_) return 1.0;  // a live picture only runs at its own pace
  if (std::isfinite(rate) && rate > 0) {
    const double r = std::clamp(rate, 0.01, 100.0);
    mpv_set_property(mpv_, "speed", MPV_FORMAT_DOUBLE, const_cast<double*>(&r));
  }
  speed_ = GetDouble(mpv_, "speed", 1.0);
  return speed_;
}

void MediaGraph::ReleaseOwner() {
  if (watcher_) delete watcher_.data();
  if (owner_) plat::ReleaseVideoSink(owner_);
  owner_ = 0;
  sink_.reset();
}

bool MediaGraph::SetOwner(HWND window, const LumoraRect* rect, bool keepProportions) {
  QWidget* w = plat::WidgetFromHandle(window);
  if (!w) return false;
  if (rect && (rect->width < 0 || rect->height < 0)) return false;
  if (window != owner_) {
    ReleaseOwner();
    sink_ = plat::AcquireVideoSink(window);
    if (!sink_) return false;
    owner_ = window;
    watcher_ = new OwnerWatcher(w, [this] { UpdateTarget(); });
  }
  ownerRect_ = rect != nullptr;
  if (rect) rect_ = *rect;
  keep_ = keepProportions;
  if (!plat::SetVideoPlacement(window, rect, keepProportions)) return false;
  // The renderer letterboxes inside the target itself, so the frame fills the rectangle.
  mpv_set_property_string(mpv_, "keepaspect", keep_ ? "yes" : "no");
  UpdateTarget();
  return true;
}

void MediaGraph::UpdateTarget() {
  QSize size;
  QWidget* w = plat::WidgetFromHandle(owner_);
  if (ownerRect_) {
    size = QSize(rect_.width, rect_.height);
  } else if (w) {
    size = w->size();
  }
  // mpv draws in device pixels, so a scaled desktop still gets the picture's full detail.
  if (w) {
    const qreal dpr = w->devicePixelRatioF();
    size = QSize(static_cast<int>(std::lround(size.width() * dpr)),
                 static_cast<int>(std::lround(size.height() * dpr)));
  }
  // Keeps a pathological rectangle from asking for gigabytes of frame.
  size = size.boundedTo(QSize(8192, 8192));
  renderer_->SetTarget(sink_, size);
}

bool MediaGraph::SetVolumeAndBalance(int32_t volume, int32_t balance) {
  double v = VolumeToMpv(volume);
  if (mpv_set_property(mpv_, "volume", MPV_FORMAT_DOUBLE, &v) < 0) return false;
  const std::string filter = BalanceFilter(balance);
  if (filter != audioFilter_) {
    if (mpv_set_property_string(mpv_, "af", filter.c_str()) < 0) return false;
    audioFilter_ = filter;
  }
  return true;
}

bool MediaGraph::SetPicture(const Picture& picture) {
  const Picture p = ClampPicture(picture);
  const std::string filter = PictureFilter(p);
  if (filter != videoFilter_) {
    if (mpv_set_property_string(mpv_, "vf", filter.c_str()) < 0) return false;
    videoFilter_ = filter;
  }
  picture_ = p;
  return true;
}

bool MediaGraph::Snapshot(const std::string& path) {
  Pump();
  if (!open_ || path.empty() || !HasVideo()) return false;
  const char* cmd[] = {"screenshot-raw", "video", nullptr};
  mpv_node result{};
  if (mpv_command_ret(mpv_, cmd, &result) < 0) return false;
  const int64_t w = MapInt(result, "w", 0), h = MapInt(result, "h", 0);
  const int64_t stride = MapInt(result, "stride", 0);
  const mpv_node* data = MapItem(result, "data");
  const mpv_node* format = MapItem(result, "format");
  bool ok = false;
  if (w > 0 && h > 0 && w <= 16384 && h <= 16384 && stride >= w * 4 && data &&
      data->format == MPV_FORMAT_BYTE_ARRAY && data->u.ba &&
      data->u.ba->size >= size_t(stride * (h - 1) + w * 4) && format &&
      format->format == MPV_FORMAT_STRING && std::strcmp(format->u.string, "bgr0") == 0) {
    QImage img(int(w), int(h), QImage::Format_RGB32);
    const auto* src = static_cast<const uchar*>(data->u.ba->data);
    for (int y = 0; y < h; ++y) {
      auto* dst = reinterpret_cast<uint32_t*>(img.scanLine(y));
      const auto* row = reinterpret_cast<const uint32_t*>(src + y * stride);
      // The fourth byte is undefined in bgr0; Qt wants it opaque.
      for (int x = 0; x < w; ++x) dst[x] = row[x] | 0xff000000u;
    }
    ok = plat::SaveBitmap(img, path);
  }
  mpv_free_node_contents(&result);
  return ok;
}

bool MediaGraph::Scan(bool stop) {
  if (stop) {
    if (scanner_) scanner_->Cancel();
    return true;
  }
  if (scanner_ && scanner_->Running()) return true;
  if (!tuner_) tuner_ = OpenDefaultTuner();
  if (!tuner_) return false;
  scanner_ = std::make_unique<ChannelScanner>(*tuner_, notify_, WM_TV_SCAN_PROGRESS);
  return scanner_->Start();
}

bool MediaGraph::SetChannel(int32_t channel) {
  if (!tuner_) tuner_ = OpenDefaultTuner();
  if (!tuner_ || !tuner_->Tune(channel)) return false;
  if (tv_ && open_ && tuner_->ReloadAfterTune()) {
    Pump();
    const char* cmd[] = {"loadfile", nullptr, "replace", nullptr};
    const std::string url = tuner_->StreamUrl();
    cmd[1] = url.c_str();
    mpv_node result{};
    if (mpv_command_ret(mpv_, cmd, &result) < 0) return false;
    entry_ = MapInt(result, "playlist_entry_id", -1);
    mpv_free_node_contents(&result);
  }
  return true;
}

double MediaGraph::MpvVolume() const { return GetDouble(mpv_, "volume", -1.0); }

std::string MediaGraph::MpvString(const char* property) const {
  char* s = mpv_get_property_string(mpv_, property);
  if (!s) return {};
  std::string out = s;
  mpv_free(s);
  return out;
}

}  // namespace clipcore

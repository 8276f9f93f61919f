#include "navdisc/graph/AudioRenderer.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "navdisc/graph/FilterGraph.h"

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
}

namespace navdisc::graph {
namespace {
constexpr int kRate = 48000;
constexpr size_t kMaxQueuedFrames = kRate * 3 / 2;  // 1.5 s ahead of the clock

uint32_t OpenDevice() {
  const char* mode = std::getenv("LUMORA_AUDIO");
  if (mode && std::strcmp(mode, "null") == 0) return 0;
  if (!SDL_WasInit(SDL_INIT_AUDIO) && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
  SDL_AudioSpec want{}, have{};
  want.freq = kRate;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 1024;
  SDL_AudioDeviceID dev = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (dev == 0) return 0;
  SDL_PauseAudioDevice(dev, 0);
  return dev;
}

double DbGain(long hundredthsDb) {
  if (hundredthsDb <= -10000) return 0.0;
  return std::pow(10.0, static_cast<double>(hundredthsDb) / 2000.0);
}
}  // namespace

AudioRenderer::AudioRenderer() : Filter(kAudioRendererClsid) {
  AddPin("Audio Input pin", PinDir::Input, {{Major::Audio, Subtype::PCM}});
  device_ = OpenDevice();
  StartWorker();
}

AudioRenderer::~AudioRenderer() {
  if (FilterGraph* g = Graph()) g->Clock().Kick();
  StopWorker();
  if (device_) SDL_CloseAudioDevice(device_);
  FreeTempo();
}

void AudioRenderer::FreeTempo() {
  avfilter_graph_free(&tempo_);
  av_frame_free(&tempoFrame_);
  tempoIn_ = tempoOut_ = nullptr;
  tempoRate_ = 0;
}

bool AudioRenderer::Stretch(std::vector<int16_t>& pcm, double rate) {
  if (rate != tempoRate_) {
    FreeTempo();
    tempo_ = avfilter_graph_alloc();
    tempoFrame_ = av_frame_alloc();
    char chain[96];
    // atempo takes 0.5 .. 100; slower rates chain two of them.
    if (rate < 0.5)
      std::snprintf(chain, sizeof chain, "atempo=0.5,atempo=%.6f", rate / 0.5);
    else
      std::snprintf(chain, sizeof chain, "atempo=%.6f", rate);
    AVFilterInOut* in = avfilter_inout_alloc();
    AVFilterInOut* out = avfilter_inout_alloc();
    bool ok = tempo_ && tempoFrame_ && in && out &&
              avfilter_graph_create_filter(
                  &tempoIn_, avfilter_get_by_name("abuffer"), "in",
                  "sample_rate=48000:sample_fmt=s16:channel_layout=stereo:time_base=1/48000",
                  nullptr, tempo_) >= 0 &&
              avfilter_graph_create_filter(&tempoOut_, avfilter_get_by_name("abuffersink"), "out",
                                           nullptr, nullptr, tempo_) >= 0;
    if (ok) {
      out->name = av_strdup("in");
      out->filter_ctx = tempoIn_;
      in->name = av_strdup("out");
      in->filter_ctx = tempoOut_;
      ok = avfilter_graph_parse_ptr(tempo_, chain, &in, &out, nullptr) >= 0 &&
           avfilter_graph_config(tempo_, nullptr) >= 0;
    }
    avfilter_inout_free(&in);
    avfilter_inout_free(&out);
    if (!ok) {
      FreeTempo();
      return false;
    }
    tempoRate_ = rate;
  }
  AVFrame* f = av_frame_alloc();
  f->format = AV_SAMPLE_FMT_S16;
  f->sample_rate = kRate;
  av_channel_layout_default(&f->ch_layout, 2);
  f->nb_samples = static_cast<int>(pcm.size() / 2);
  if (av_frame_get_buffer(f, 0) < 0) {
    av_frame_free(&f);
    return false;
  }
  std::memcpy(f->data[0], pcm.data(), pcm.size() * sizeof(int16_t));
  int rc = av_buffersrc_add_frame(tempoIn_, f);
  av_frame_free(&f);
  if (rc < 0) return false;
  pcm.clear();
  while (av_buffersink_get_frame(tempoOut_, tempoFrame_) >= 0) {
    auto* p = reinterpret_cast<const int16_t*>(tempoFrame_->data[0]);
    pcm.insert(pcm.end(), p, p + size_t(tempoFrame_->nb_samples) * 2);
    av_frame_unref(tempoFrame_);
  }
  return true;
}

void AudioRenderer::Removed() {
  std::lock_guard lock(mu_);
  stopped_ = true;
  ClearQueue();
}

void* AudioRenderer::QueryInterface(const std::string& iid) {
  if (iid == "IBasicAudio") return static_cast<IBasicAudio*>(this);
  return nullptr;
}

void AudioRenderer::Receive(Pin*, Sample&& s) {
  std::unique_lock lock(mu_);
  if (s.kind == Sample::Kind::Flush) {
    flushing_ = false;
    if (device_) SDL_ClearQueuedAudio(device_);
    ClearQueue();
    return;
  }
  if (s.kind != Sample::Kind::Data || s.controlType != kCtlAudioChunk || !s.control) return;
  auto c = std::static_pointer_cast<const AudioChunk>(s.control);
  const size_t frames = c->pcm.size() / 2;
  if (Enqueue(lock, std::move(c), [&] { return queuedSamples_ < kMaxQueuedFrames; }))
    queuedSamples_ += frames;
}

void AudioRenderer::BeginFlush() {
  std::lock_guard lock(mu_);
  flushing_ = true;
  ClearQueue();
}

HRESULT AudioRenderer::Run() {
  std::lock_guard lock(mu_);
  stopped_ = false;
  if (device_) SDL_PauseAudioDevice(device_, 0);
  cv_.notify_all();
  return S_OK;
}

HRESULT AudioRenderer::Pause() {
  std::lock_guard lock(mu_);
  stopped_ = false;
  if (device_) SDL_PauseAudioDevice(device_, 1);
  cv_.notify_all();
  return S_OK;
}

HRESULT AudioRenderer::Stop() {
  std::lock_guard lock(mu_);
  stopped_ = true;
  if (device_) SDL_ClearQueuedAudio(device_);
  ClearQueue();
  return S_OK;
}

void AudioRenderer::Gains(double& left, double& right) const {
  double g = DbGain(volume_);
  long b = balance_;
  left = g * (b > 0 ? DbGain(-b) : 1.0);
  right = g * (b < 0 ? DbGain(b) : 1.0);
}

void AudioRenderer::Output(std::vector<int16_t>& pcm) {
  double l, r;
  Gains(l, r);
  FilterGraph* g = Graph();
  double rate = g ? g->Clock().Rate() : 1.0;
  // Up to twice the speed the sound keeps its pitch; faster play is silent.
  bool audible = rate == 1.0 || (rate <= 2.0 && Stretch(pcm, rate));
  if (!audible) l = r = 0;
  int peak = 0;
  for (size_t i = 0; i + 1 < pcm.size(); i += 2) {
    pcm[i] = static_cast<int16_t>(std::lround(pcm[i] * l));
    pcm[i + 1] = static_cast<int16_t>(std::lround(pcm[i + 1] * r));
    peak = std::max({peak, std::abs(int(pcm[i])), std::abs(int(pcm[i + 1]))});
  }
  if (peak > peak_) peak_ = peak;
  played_ += pcm.size() / 2;
  if (device_ && audible && !pcm.empty())
    SDL_QueueAudio(device_, pcm.data(), static_cast<uint32_t>(pcm.size() * sizeof(int16_t)));
}

bool AudioRenderer::Due(Lock& lock, const Item& chunk) {
  FilterGraph* g = Graph();
  MediaClock* clock = g ? &g->Clock() : nullptr;
  if (!clock) return true;
  clock->AnchorIfUnset(chunk->time);
  return WaitOnClock(lock, *clock, chunk, chunk->time);
}

void AudioRenderer::Taken(const AudioChunk& chunk) {
  queuedSamples_ -= std::min(queuedSamples_, chunk.pcm.size() / 2);
}

void AudioRenderer::Present(const AudioChunk& chunk) {
  std::vector<int16_t> pcm = chunk.pcm;
  Output(pcm);
}

HRESULT AudioRenderer::put_Volume(long v) {
  if (v < -10000 || v > 0) return E_INVALIDARG;
  volume_ = v;
  return S_OK;
}
HRESULT AudioRenderer::put_Balance(long b) {
  if (b < -10000 || b > 10000) return E_INVALIDARG;
  balance_ = b;
  return S_OK;
}
HRESULT AudioRenderer::get_Volume(long* v) {
  if (!v) return E_POINTER;
  *v = volume_;
  return S_OK;
}
HRESULT AudioRenderer::get_Balance(long* b) {
  if (!b) return E_POINTER;
  *b = balance_;
  return S_OK;
}

}  // namespace navdisc::graph

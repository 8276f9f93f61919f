// Audio renderer: plays 48 kHz stereo PCM through SDL2 audio, paced by the graph clock,
// or discards it at the same pace (null output, LUMORA_AUDIO=null or no sound device).
#pragma once

#include <atomic>

#include "navdisc/DvdInterfaces.h"
#include "navdisc/graph/Filter.h"
#include "navdisc/graph/QueuedWorker.h"
#include "navdisc/graph/Samples.h"

struct AVFilterGraph;
struct AVFilterContext;
struct AVFrame;

namespace navdisc::graph {

inline const ClassId kAudioRendererClsid = "{79376820-07D0-11CF-A24D-0020AFD79767}";

class AudioRenderer final : public Filter, public IBasicAudio, QueuedWorker<AudioChunk> {
 public:
  AudioRenderer();
  ~AudioRenderer() override;

  void Receive(Pin* in, Sample&& s) override;
  void BeginFlush() override;
  HRESULT Run() override;
  HRESULT Pause() override;
  HRESULT Stop() override;
  void* QueryInterface(const std::string& iid) override;
  void Removed() override;

  HRESULT put_Volume(long volume) override;
  HRESULT put_Balance(long balance) override;
  HRESULT get_Volume(long* volume) override;
  HRESULT get_Balance(long* balance) override;

  bool NullOutput() const { return device_ == 0; }
  using QueuedWorker::Drained;
  // Samples handed to the output so far (muted or not), and their peak level; for tests.
  uint64_t PlayedSamples() const { return played_; }
  int PeakLevel() const { return peak_; }
  void ResetPeak() { peak_ = 0; }
  // Gains applied to the left and right channel (0..1), from volume and balance.
  void Gains(double& left, double& right) const;

 private:
  bool Due(Lock& lock, const Item& chunk) override;
  void Taken(const AudioChunk& chunk) override;
  void Cleared() override { queuedSamples_ = 0; }
  void Present(const AudioChunk& chunk) override;
  void Output(std::vector<int16_t>& pcm);
  // Slow and moderately fast play keep their sound at its pitch (FFmpeg's atempo);
  // false when no tempo graph could be built for `rate`.
  bool Stretch(std::vector<int16_t>& pcm, double rate);
  void FreeTempo();
  AVFilterGraph* tempo_ = nullptr;
  AVFilterContext* tempoIn_ = nullptr;
  AVFilterContext* tempoOut_ = nullptr;
  AVFrame* tempoFrame_ = nullptr;
  double tempoRate_ = 0;

  size_t queuedSamples_ = 0;
  std::atomic<long> volume_{0}, balance_{0};
  uint32_t device_ = 0;  // SDL audio device, 0 = null output
  std::atomic<uint64_t> played_{0};
  std::atomic<int> peak_{0};
};

}  // namespace navdisc::graph

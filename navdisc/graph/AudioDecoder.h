// The engine's audio decoder: AC-3, MPEG audio, LPCM and DTS (FFmpeg) to 48 kHz 16-bit PCM,
// down-mixed to the output's two channels.
#pragma once

#include <atomic>

#include "navdisc/DvdInterfaces.h"
#include "navdisc/graph/Filter.h"

struct AVCodecContext;
struct AVCodecParserContext;
struct AVFrame;
struct AVPacket;
struct SwrContext;

namespace navdisc::graph {

inline const ClassId kAudioDecoderClsid = "{C7D3E0A2-1B44-4F9E-8E57-3A2B9C6D5F21}";
inline const std::string kAudioDecoderControlIid = "{C7D3E0A2-1B44-4F9E-8E57-3A2B9C6D5F22}";

// The audio decoder's control interface; the order of its methods is fixed.
class IAudioDecoderControl {
 public:
  virtual ~IAudioDecoderControl() = default;
  virtual HRESULT SetDownmix(int32_t mode) = 0;  // 1: two-channel down-mix (the only mode)
  virtual HRESULT GetDownmix(int32_t* mode) = 0;
  virtual HRESULT SetDynamicRange(int32_t mode) = 0;  // 1: compressed (AC-3 DRC), 0: full
  virtual HRESULT GetDynamicRange(int32_t* mode) = 0;
  virtual HRESULT GetDecodedSamples(uint64_t* n) = 0;
};

class AudioDecoder final : public Filter, public IAudioDecoderControl {
 public:
  AudioDecoder();
  ~AudioDecoder() override;

  void Receive(Pin* in, Sample&& s) override;
  void* QueryInterface(const std::string& iid) override;

  HRESULT SetDownmix(int32_t mode) override;
  HRESULT GetDownmix(int32_t* mode) override;
  HRESULT SetDynamicRange(int32_t mode) override;
  HRESULT GetDynamicRange(int32_t* mode) override;
  HRESULT GetDecodedSamples(uint64_t* n) override;

 private:
  bool OpenFor(int streamId);
  void Close();
  void Emit(AVFrame* f);

  AVCodecContext* ctx_ = nullptr;
  AVCodecParserContext* parser_ = nullptr;  // PES payloads -> whole frames
  void Send(const uint8_t* data, int size, int64_t pts);
  int codecId_ = 0;  // AVCodecID of ctx_
  AVPacket* pkt_ = nullptr;
  AVFrame* frame_ = nullptr;
  SwrContext* swr_ = nullptr;
  int swrRate_ = 0, swrFmt_ = -1;
  uint64_t swrLayout_ = 0;
  int64_t nextTime_ = -1;
  std::atomic<int32_t> downmix_{1}, drc_{1};
  std::atomic<uint64_t> decoded_{0};
};

}  // namespace navdisc::graph

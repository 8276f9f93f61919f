#include "navdisc/graph/AudioDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include "navdisc/graph/Samples.h"

namespace navdisc::graph {
namespace {

AVCodecID CodecFor(int streamId) {
  if (streamId >= 0x80 && streamId <= 0x87) return AV_CODEC_ID_AC3;
  if (streamId >= 0x88 && streamId <= 0x8f) return AV_CODEC_ID_DTS;
  if (streamId >= 0xa0 && streamId <= 0xa7) return AV_CODEC_ID_PCM_DVD;
  if (streamId >= 0xc0 && streamId <= 0xc7) return AV_CODEC_ID_MP2;
  return AV_CODEC_ID_NONE;
}

}  // namespace

AudioDecoder::AudioDecoder() : Filter(kAudioDecoderClsid) {
  AddPin("Audio Input", PinDir::Input,
         {{Major::DvdEncryptedPack, Subtype::DOLBY_AC3},
          {Major::DvdEncryptedPack, Subtype::MPEG1_AUDIO},
          {Major::DvdEncryptedPack, Subtype::DVD_LPCM_AUDIO},
          {Major::DvdEncryptedPack, Subtype::DTS}});
  AddPin("Audio Output", PinDir::Output, {{Major::Audio, Subtype::PCM}});
  pkt_ = av_packet_alloc();
  frame_ = av_frame_alloc();
}

AudioDecoder::~AudioDecoder() {
  Close();
  av_packet_free(&pkt_);
  av_frame_free(&frame_);
}

void* AudioDecoder::QueryInterface(const std::string& iid) {
  if (iid == kAudioDecoderControlIid) return static_cast<IAudioDecoderControl*>(this);
  return nullptr;
}

void AudioDecoder::Close() {
  avcodec_free_context(&ctx_);
  if (parser_) av_parser_close(parser_);
  parser_ = nullptr;
  swr_free(&swr_);
  codecId_ = 0;
  swrFmt_ = -1;
}

bool AudioDecoder::OpenFor(int streamId) {
  AVCodecID id = CodecFor(streamId);
  if (id == AV_CODEC_ID_NONE) return false;
  if (ctx_ && codecId_ == id) return true;
  Close();
  const AVCodec* c = avcodec_find_decoder(id);
  if (!c) return false;
  ctx_ = avcodec_alloc_context3(c);
  ctx_->pkt_timebase = {1, 1000000};
  AVDictionary* opts = nullptr;
  if (id == AV_CODEC_ID_AC3) {
    av_dict_set(&opts, "drc_scale", drc_ ? "1" : "0", 0);
    av_dict_set(&opts, "downmix", "stereo", 0);
  }
  if (avcodec_open2(ctx_, c, &opts) < 0) {
    av_dict_free(&opts);
    Close();
    return false;
  }
  av_dict_free(&opts);
  codecId_ = id;
  if (id != AV_CODEC_ID_PCM_DVD) parser_ = av_parser_init(id);
  return true;
}

void AudioDecoder::Receive(Pin*, Sample&& s) {
  if (s.kind == Sample::Kind::Flush) {
    if (ctx_) avcodec_flush_buffers(ctx_);
    if (parser_) {
      av_parser_close(parser_);
      parser_ = av_parser_init(codecId_);
    }
    nextTime_ = -1;
    DeliverTo(Major::Audio, MakeSignal(Sample::Kind::Flush));
    return;
  }
  if (s.kind == Sample::Kind::EndOfStream) {
    DeliverTo(Major::Audio, MakeSignal(Sample::Kind::EndOfStream));
    return;
  }
  if (s.kind != Sample::Kind::Data || !OpenFor(s.streamId)) return;
  int64_t pts = s.time >= 0 ? s.time : AV_NOPTS_VALUE;
  int size = static_cast<int>(EnsurePadding(s, AV_INPUT_BUFFER_PADDING_SIZE));
  const uint8_t* data = s.data.data();
  if (!parser_) {
    Send(data, size, pts);
    return;
  }
  while (size > 0) {
    uint8_t* out = nullptr;
    int outSize = 0;
    int used = av_parser_parse2(parser_, ctx_, &out, &outSize, data, size, pts, pts, 0);
    if (used < 0) break;
    data += used;
    size -= used;
    pts = AV_NOPTS_VALUE;
    if (outSize > 0) Send(out, outSize, parser_->pts);
  }
}

void AudioDecoder::Send(const uint8_t* data, int size, int64_t pts) {
  pkt_->data = const_cast<uint8_t*>(data);
  pkt_->size = size;
  pkt_->pts = pts;
  if (avcodec_send_packet(ctx_, pkt_) < 0) return;
  while (avcodec_receive_frame(ctx_, frame_) == 0) {
    Emit(frame_);
    av_frame_unref(frame_);
  }
}

void AudioDecoder::Emit(AVFrame* f) {
  if (f->nb_samples <= 0 || f->sample_rate <= 0) return;
  uint64_t layout = f->ch_layout.order == AV_CHANNEL_ORDER_NATIVE ? f->ch_layout.u.mask : 0;
  if (!swr_ || swrRate_ != f->sample_rate || swrFmt_ != f->format || swrLayout_ != layout) {
    swr_free(&swr_);
    AVChannelLayout out = AV_CHANNEL_LAYOUT_STEREO;
    AVChannelLayout in;
    if (layout)
      av_channel_layout_from_mask(&in, layout);
    else
      av_channel_layout_default(&in, f->ch_layout.nb_channels);
    if (swr_alloc_set_opts2(&swr_, &out, AV_SAMPLE_FMT_S16, 48000, &in,
                            static_cast<AVSampleFormat>(f->format), f->sample_rate, 0,
                            nullptr) < 0 ||
        swr_init(swr_) < 0) {
      swr_free(&swr_);
      av_channel_layout_uninit(&in);
      return;
    }
    av_channel_layout_uninit(&in);
    swrRate_ = f->sample_rate;
    swrFmt_ = f->format;
    swrLayout_ = layout;
  }
  int maxOut = swr_get_out_samples(swr_, f->nb_samples);
  if (maxOut <= 0) return;
  AudioChunk chunk;
  chunk.pcm.resize(size_t(maxOut) * 2);
  uint8_t* out[1] = {reinterpret_cast<uint8_t*>(chunk.pcm.data())};
  int n =
      swr_convert(swr_, out, maxOut, const_cast<const uint8_t**>(f->extended_data), f->nb_samples);
  if (n <= 0) return;
  chunk.pcm.resize(size_t(n) * 2);
  int64_t t = f->best_effort_timestamp;
  if (t == AV_NOPTS_VALUE) t = nextTime_ >= 0 ? nextTime_ : 0;
  chunk.time = t;
  nextTime_ = t + int64_t(n) * 1000000 / 48000;
  decoded_ += n;
  Sample out2;
  out2.kind = Sample::Kind::Data;
  out2.time = t;
  out2.controlType = kCtlAudioChunk;
  out2.control = std::make_shared<const AudioChunk>(std::move(chunk));
  DeliverTo(Major::Audio, std::move(out2));
}

HRESULT AudioDecoder::SetDownmix(int32_t mode) {
  if (mode != 1) return E_INVALIDARG;
  downmix_ = mode;
  return S_OK;
}
HRESULT AudioDecoder::GetDownmix(int32_t* mode) {
  if (!mode) return E_POINTER;
  *mode = downmix_;
  return S_OK;
}
HRESULT AudioDecoder::SetDynamicRange(int32_t mode) {
  if (mode != 0 && mode != 1) return E_INVALIDARG;
  drc_ = mode;
  return S_OK;
}
HRESULT AudioDecoder::GetDynamicRange(int32_t* mode) {
  if (!mode) return E_POINTER;
  *mode = drc_;
  return S_OK;
}
HRESULT AudioDecoder::GetDecodedSamples(uint64_t* n) {
  if (!n) return E_POINTER;
  *n = decoded_;
  return S_OK;
}

}  // namespace navdisc::graph

#include "navdisc/graph/VideoDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "navdisc/graph/VideoRenderer.h"
#include "platform/Bitmap.h"

namespace navdisc::graph {
namespace {

uint32_t ClutToArgb(uint32_t yuv, int alpha15) {
  double y = (yuv >> 16) & 0xff, cr = (yuv >> 8) & 0xff, cb = yuv & 0xff;
  auto clamp = [](double v) { return static_cast<uint32_t>(std::clamp(std::lround(v), 0L, 255L)); };
  uint32_t r = clamp(y + 1.402 * (cr - 128));
  uint32_t g = clamp(y - 0.344136 * (cb - 128) - 0.714136 * (cr - 128));
  uint32_t b = clamp(y + 1.772 * (cb - 128));
  return uint32_t(alpha15 * 17) << 24 | r << 16 | g << 8 | b;
}

inline uint32_t Blend(uint32_t dst, uint32_t src) {
  uint32_t a = src >> 24;
  if (a == 0) return dst;
  if (a == 255) return src | 0xff000000u;
  uint32_t ia = 255 - a;
  uint32_t r = (((src >> 16) & 0xff) * a + ((dst >> 16) & 0xff) * ia) / 255;
  uint32_t g = (((src >> 8) & 0xff) * a + ((dst >> 8) & 0xff) * ia) / 255;
  uint32_t b = ((src & 0xff) * a + (dst & 0xff) * ia) / 255;
  return 0xff000000u | r << 16 | g << 8 | b;
}

template <class T>
std::shared_ptr<const void> Payload(T v) {
  return std::make_shared<const T>(std::move(v));
}

}  // namespace

// The decoded sub-pictures of every stream. The reading thread adds to it; the renderer draws
// from it when it shows a title picture, so each sub-picture appears with the first picture
// of its own time and leaves with its stop time, however early the video was decoded.
class SubpictureOverlay final : public PictureOverlay {
 public:
  struct Sub {
    int x = 0, y = 0, w = 0, h = 0;
    std::vector<uint8_t> codes;          // 2-bit pixel values
    std::array<uint32_t, 4> argb{};      // the sub-picture's own colours
    int64_t start = 0, end = INT64_MAX;  // stream time (us)
    bool forced = false;
  };
  // The button highlighted in a menu: its rectangle and the colours of its state.
  struct Button {
    int x0 = -1, y0 = -1, x1 = -1, y1 = -1;
    uint32_t argb[4] = {};
  };

  QImage Compose(const QImage& base, int64_t time) const override {
    std::lock_guard lock(mu);
    std::vector<const Sub*> active;
    if (auto it = subs.find(physical); it != subs.end())
      for (const Sub& s : it->second)
        if (time >= s.start && time < s.end && (shown || s.forced)) active.push_back(&s);
    return Draw(base, active, Button{});
  }
  // A menu shows its latest sub-picture (the buttons) whatever the time.
  QImage ComposeMenu(const QImage& base, const Button& button) const {
    std::lock_guard lock(mu);
    auto it = subs.find(physical);
    if (it == subs.end() || it->second.empty()) return base;
    return Draw(base, {&it->second.back()}, button);
  }

  mutable std::mutex mu;
  std::map<int, std::deque<Sub>> subs;  // by physical stream
  int physical = -1;                    // the stream shown
  bool shown = false;                   // non-forced sub-pictures too

 private:
  static QImage Draw(const QImage& base, const std::vector<const Sub*>& active, const Button& b) {
    if (active.empty() || base.isNull()) return base;
    QImage img = base.copy();
    const int W = img.width(), H = img.height();
    for (const Sub* s : active) {
      for (int y = 0; y < s->h; ++y) {
        int py = s->y + y;
        if (py < 0 || py >= H) continue;
        auto* line = reinterpret_cast<uint32_t*>(img.scanLine(py));
        const uint8_t* codes = s->codes.data() + size_t(y) * s->w;
        for (int x = 0; x < s->w; ++x) {
          int px = s->x + x;
          if (px < 0 || px >= W) continue;
          uint8_t c = codes[x];
          bool inButton = px >= b.x0 && px <= b.x1 && py >= b.y0 && py <= b.y1;
          line[px] = Blend(line[px], inButton ? b.argb[c] : s->argb[c]);
        }
      }
    }
    return img;
  }
};

VideoDecoder::VideoDecoder()
    : Filter(kVideoDecoderClsid), subs_(std::make_shared<SubpictureOverlay>()) {
  AddPin("Video Input", PinDir::Input,
         {{Major::DvdEncryptedPack, Subtype::MPEG2_VIDEO}, {Major::Video, Subtype::MPEG2_VIDEO}});
  AddPin("SubPicture Input", PinDir::Input,
         {{Major::DvdEncryptedPack, Subtype::DVD_SUBPICTURE},
          {Major::Video, Subtype::DVD_SUBPICTURE}});
  AddPin("Video Output", PinDir::Output, {{Major::Video, Subtype::RGB32}});
  AddPin("~Line21 Output", PinDir::Output, {{Major::AUXLine21Data, Subtype::Line21_BytePair}});

  if (const AVCodec* c = avcodec_find_decoder(AV_CODEC_ID_MPEG2VIDEO)) {
    video_ = avcodec_alloc_context3(c);
    video_->pkt_timebase = {1, 1000000};
    video_->thread_count = 1;
    if (avcodec_open2(video_, c, nullptr) < 0) avcodec_free_context(&video_);
  }
  parser_ = av_parser_init(AV_CODEC_ID_MPEG2VIDEO);
  pkt_ = av_packet_alloc();
  frame_ = av_frame_alloc();
  source_ = av_frame_alloc();
  std::lock_guard lock(adjMu_);
  RebuildTables();
}

VideoDecoder::~VideoDecoder() {
  avcodec_free_context(&video_);
  if (parser_) av_parser_close(parser_);
  CloseSpuDecoders();
  av_packet_free(&pkt_);
  av_frame_free(&frame_);
  av_frame_free(&source_);
  sws_freeContext(sws_);
}

void* VideoDecoder::QueryInterface(const std::string& iid) {
  if (iid == kVideoDecoderControlIid) return static_cast<IVideoDecoderControl*>(this);
  return nullptr;
}

void VideoDecoder::CloseSpuDecoders() {
  for (auto& [id, ctx] : spus_) avcodec_free_context(&ctx);
  spus_.clear();
}

AVCodecContext* VideoDecoder::SpuDecoder(int physical) {
  if (auto it = spus_.find(physical); it != spus_.end()) return it->second;
  const AVCodec* c = avcodec_find_decoder(AV_CODEC_ID_DVD_SUBTITLE);
  if (!c) return nullptr;
  AVCodecContext* spu = avcodec_alloc_context3(c);
  spu->pkt_timebase = {1, 1000000};
  AVDictionary* opts = nullptr;
  if (haveClut_) {
    std::string pal;
    for (int i = 0; i < 16; ++i) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "%06x", ClutToArgb(clut_[i], 15) & 0xffffff);
      pal += (i ? "," : "") + std::string(hex);
    }
    av_dict_set(&opts, "palette", pal.c_str(), 0);
  }
  if (avcodec_open2(spu, c, &opts) < 0) avcodec_free_context(&spu);
  av_dict_free(&opts);
  spus_[physical] = spu;
  return spu;
}

void VideoDecoder::Receive(Pin* in, Sample&& s) {
  switch (s.kind) {
    case Sample::Kind::Flush:
      if (video_) avcodec_flush_buffers(video_);
      if (parser_) av_parser_close(parser_);
      parser_ = av_parser_init(AV_CODEC_ID_MPEG2VIDEO);
      for (auto& [id, ctx] : spus_)
        if (ctx) avcodec_flush_buffers(ctx);
      {
        std::lock_guard lock(subs_->mu);
        subs_->subs.clear();
      }
      spuPts_.clear();
      lastTime_ = -1;
      DeliverTo(Major::Video, MakeSignal(Sample::Kind::Flush));
      DeliverTo(Major::AUXLine21Data, MakeSignal(Sample::Kind::Flush));
      return;
    case Sample::Kind::EndOfStream:
      DrainVideo();
      DeliverTo(Major::Video, MakeSignal(Sample::Kind::EndOfStream));
      return;
    case Sample::Kind::Control:
      switch (s.controlType) {
        case kCtlNavPacket: {
          auto* nav = static_cast<const NavPacketInfo*>(s.control.get());
          bool changed = !havePci_ || menu_ != nav->menu ||
                         std::memcmp(&pci_.hli, &nav->pci.hli, sizeof pci_.hli) != 0;
          pci_ = nav->pci;
          havePci_ = true;
          menu_ = nav->menu;
          if (!menu_) hl_ = {};
          if (changed && menu_) Redraw();
          return;
        }
        case kCtlClut: {
          auto* c = static_cast<const ClutInfo*>(s.control.get());
          if (haveClut_ && std::memcmp(clut_, c->yuv, sizeof clut_) == 0) return;
          std::memcpy(clut_, c->yuv, sizeof clut_);
          haveClut_ = true;
          CloseSpuDecoders();
          return;
        }
        case kCtlHighlight:
          hl_ = *static_cast<const HighlightInfo*>(s.control.get());
          Redraw();
          return;
        case kCtlSpuSelect: {
          auto sel = *static_cast<const SpuSelect*>(s.control.get());
          spuSel_ = sel;
          {
            std::lock_guard lock(subs_->mu);
            subs_->physical = sel.physical;
            subs_->shown = sel.shown;
          }
          Redraw();
          return;
        }
        case kCtlVideoFormat:
          aspect_ = static_cast<const VideoFormat*>(s.control.get())->displayAspect;
          return;
        case kCtlRepaint:
          Repaint();
          return;
      }
      return;
    case Sample::Kind::Data:
      break;
  }
  auto ins = Pins(PinDir::Input);
  if (in == ins[0])
    DecodeVideo(s);
  else if (in == ins[1])
    DecodeSpu(s);
}

void VideoDecoder::DecodeVideo(Sample& s) {
  if (!video_) return;
  if (s.time >= 0) titleOffset_ = s.titleTime >= 0 ? s.titleTime - s.time : INT64_MIN;
  int64_t pts = s.time >= 0 ? s.time : AV_NOPTS_VALUE;
  int size = static_cast<int>(EnsurePadding(s, AV_INPUT_BUFFER_PADDING_SIZE));
  const uint8_t* data = s.data.data();
  if (!parser_) {
    SendVideo(data, size, pts);
    return;
  }
  while (size > 0) {
    uint8_t* out = nullptr;
    int outSize = 0;
    int used = av_parser_parse2(parser_, video_, &out, &outSize, data, size, pts, pts, 0);
    if (used < 0) break;
    data += used;
    size -= used;
    pts = AV_NOPTS_VALUE;
    if (outSize > 0) SendVideo(out, outSize, parser_->pts);
  }
}

void VideoDecoder::SendVideo(const uint8_t* data, int size, int64_t pts) {
  pkt_->data = const_cast<uint8_t*>(data);
  pkt_->size = size;
  pkt_->pts = pts;
  if (avcodec_send_packet(video_, pkt_) < 0) return;
  while (avcodec_receive_frame(video_, frame_) == 0) {
    EmitFrame(frame_);
    av_frame_unref(frame_);
  }
}

void VideoDecoder::DrainVideo() {
  if (!video_) return;
  if (parser_) {
    uint8_t* out = nullptr;
    int outSize = 0;
    av_parser_parse2(parser_, video_, &out, &outSize, nullptr, 0, AV_NOPTS_VALUE, AV_NOPTS_VALUE,
                     0);
    if (outSize > 0) SendVideo(out, outSize, parser_->pts);
    av_parser_close(parser_);
    parser_ = av_parser_init(AV_CODEC_ID_MPEG2VIDEO);
  }
  if (avcodec_send_packet(video_, nullptr) == 0) {
    while (avcodec_receive_frame(video_, frame_) == 0) {
      EmitFrame(frame_);
      av_frame_unref(frame_);
    }
  }
  avcodec_flush_buffers(video_);
}

void VideoDecoder::EmitFrame(AVFrame* f) {
  ++decoded_;
  double fps = video_->framerate.num > 0 ? av_q2d(video_->framerate) : 25.0;
  frameDuration_ = static_cast<int64_t>(1e6 / fps * (1.0 + f->repeat_pict / 2.0));
  int64_t t = f->best_effort_timestamp;
  if (t == AV_NOPTS_VALUE) t = lastTime_ >= 0 ? lastTime_ + frameDuration_ : 0;
  lastTime_ = t;
  if (f->sample_aspect_ratio.num > 0 && f->sample_aspect_ratio.den > 0 && f->height > 0)
    aspect_ = av_q2d(f->sample_aspect_ratio) * f->width / f->height;

  QImage img = Convert(f);
  if (img.isNull()) return;
  av_frame_unref(source_);
  if (av_frame_ref(source_, f) < 0) av_frame_unref(source_);
  base_ = img;
  baseTime_ = t;
  baseTitleTime_ = titleOffset_ != INT64_MIN ? std::max<int64_t>(0, t + titleOffset_) : -1;

  baseFrameRate_ = fps;
  DeliverBase(false);

  if (AVFrameSideData* sd = av_frame_get_side_data(f, AV_FRAME_DATA_A53_CC)) {
    Line21Data cc;
    cc.bytes.assign(sd->data, sd->data + sd->size);
    Sample l21;
    l21.kind = Sample::Kind::Data;
    l21.time = t;
    l21.controlType = kCtlLine21;
    l21.control = Payload(std::move(cc));
    DeliverTo(Major::AUXLine21Data, std::move(l21));
  }
}

QImage VideoDecoder::Convert(const AVFrame* f) {
  if (!sws_ || swsW_ != f->width || swsH_ != f->height || swsFmt_ != f->format) {
    sws_freeContext(sws_);
    sws_ = sws_getContext(f->width, f->height, static_cast<AVPixelFormat>(f->format), f->width,
                          f->height, AV_PIX_FMT_RGB32, SWS_POINT, nullptr, nullptr, nullptr);
    swsW_ = f->width;
    swsH_ = f->height;
    swsFmt_ = f->format;
  }
  if (!sws_) return {};
  QImage img = TakePicture(f->width, f->height);
  if (img.isNull()) return {};
  const uint8_t* src[4] = {f->data[0], f->data[1], f->data[2], nullptr};
  int strides[4] = {f->linesize[0], f->linesize[1], f->linesize[2], 0};
  {
    std::lock_guard lock(adjMu_);
    if (adjust_ && f->format == AV_PIX_FMT_YUV420P) {
      int cw = (f->width + 1) / 2, ch = (f->height + 1) / 2;
      scratch_.resize(size_t(f->width) * f->height + 2 * size_t(cw) * ch);
      uint8_t* y = scratch_.data();
      uint8_t* u = y + size_t(f->width) * f->height;
      uint8_t* v = u + size_t(cw) * ch;
      for (int r = 0; r < f->height; ++r) {
        const uint8_t* in = f->data[0] + size_t(r) * f->linesize[0];
        uint8_t* out = y + size_t(r) * f->width;
        for (int c = 0; c < f->width; ++c) out[c] = ylut_[in[c]];
      }
      for (int r = 0; r < ch; ++r) {
        const uint8_t* iu = f->data[1] + size_t(r) * f->linesize[1];
        const uint8_t* iv = f->data[2] + size_t(r) * f->linesize[2];
        for (int c = 0; c < cw; ++c) {
          uint16_t m = uvlut_[size_t(iu[c]) << 8 | iv[c]];
          u[size_t(r) * cw + c] = m >> 8;
          v[size_t(r) * cw + c] = m & 0xff;
        }
      }
      src[0] = y;
      src[1] = u;
      src[2] = v;
      strides[0] = f->width;
      strides[1] = strides[2] = cw;
    }
    // Written in place: the pool is the only other holder and never reads it.
    uint8_t* dst[4] = {const_cast<uint8_t*>(img.constBits()), nullptr, nullptr, nullptr};
    int dstStride[4] = {static_cast<int>(img.bytesPerLine()), 0, 0, 0};
    sws_scale(sws_, src, strides, 0, f->height, dst, dstStride);
  }
  return img;
}

void VideoDecoder::Repaint() {
  if (!source_->data[0]) return;
  QImage img = Convert(source_);
  if (img.isNull()) return;
  base_ = img;
  Redraw();
}

QImage VideoDecoder::TakePicture(int width, int height) {
  for (QImage& p : pool_)
    if (p.isDetached() && p.width() == width && p.height() == height) return p;
  std::erase_if(pool_, [&](const QImage& p) { return p.width() != width || p.height() != height; });
  QImage fresh(width, height, QImage::Format_RGB32);
  if (pool_.size() < 40) pool_.push_back(fresh);  // the renderer's queue and a few more
  return fresh;
}

void VideoDecoder::DecodeSpu(Sample& s) {
  int physical = s.streamId - 0x20;
  if (physical < 0 || physical > 31) return;
  AVCodecContext* spu = SpuDecoder(physical);
  if (!spu) return;
  // A sub-picture spans several packets and only the first carries its time; the decoder
  // answers with the last one.
  if (s.time >= 0) spuPts_[physical] = s.time;
  pkt_->size = static_cast<int>(EnsurePadding(s, AV_INPUT_BUFFER_PADDING_SIZE));
  pkt_->data = s.data.data();
  pkt_->pts = s.time >= 0 ? s.time : AV_NOPTS_VALUE;
  AVSubtitle sub{};
  int got = 0;
  if (avcodec_decode_subtitle2(spu, &sub, &got, pkt_) < 0 || !got) return;
  auto pts = spuPts_.find(physical);
  int64_t base = pts != spuPts_.end() ? pts->second : (lastTime_ >= 0 ? lastTime_ : 0);
  {
    std::lock_guard lock(subs_->mu);
    std::deque<SubpictureOverlay::Sub>& list = subs_->subs[physical];
    for (SubpictureOverlay::Sub& old : list)
      if (old.end == INT64_MAX) old.end = base + int64_t(sub.start_display_time) * 1000;
    for (unsigned i = 0; i < sub.num_rects; ++i) {
      AVSubtitleRect* r = sub.rects[i];
      if (r->type != SUBTITLE_BITMAP || r->w <= 0 || r->h <= 0) continue;
      SubpictureOverlay::Sub out;
      out.x = r->x;
      out.y = r->y;
      out.w = r->w;
      out.h = r->h;
      out.codes.resize(size_t(r->w) * r->h);
      for (int y = 0; y < r->h; ++y)
        for (int x = 0; x < r->w; ++x)
          out.codes[size_t(y) * r->w + x] = r->data[0][size_t(y) * r->linesize[0] + x] & 3;
      const uint32_t* pal = reinterpret_cast<const uint32_t*>(r->data[1]);
      for (int k = 0; k < 4 && k < r->nb_colors; ++k) out.argb[k] = pal[k];
      out.start = base + int64_t(sub.start_display_time) * 1000;
      out.end = sub.end_display_time > sub.start_display_time && sub.end_display_time != UINT32_MAX
                    ? base + int64_t(sub.end_display_time) * 1000
                    : INT64_MAX;
      out.forced = (r->flags & AV_SUBTITLE_FLAG_FORCED) != 0;
      list.push_back(std::move(out));
    }
    // Pictures are decoded well ahead of their showing, so keep a few seconds' worth.
    while (list.size() > 16) list.pop_front();
  }
  avsubtitle_free(&sub);
  if (menu_ && physical == spuSel_.physical) Redraw();
}

// Menus are drawn here with their highlighted button; a title picture takes the overlay along
// and gets its sub-pictures when it is shown.
QImage VideoDecoder::Compose(VideoFrame& frame) {
  if (base_.isNull()) return base_;
  if (!menu_) {
    frame.overlay = subs_;
    return base_;
  }
  SubpictureOverlay::Button button;
  if (havePci_ && haveClut_ && hl_.button > 0 && hl_.button <= pci_.hli.hl_gi.btn_ns) {
    const btni_t& b = pci_.hli.btnit[hl_.button - 1];
    if (b.btn_coln > 0 && b.btn_coln <= 3) {
      uint32_t coli = pci_.hli.btn_colit.btn_coli[b.btn_coln - 1][hl_.action ? 1 : 0];
      for (int c = 0; c < 4; ++c)
        button.argb[c] = ClutToArgb(clut_[(coli >> (16 + 4 * c)) & 0xf], (coli >> (4 * c)) & 0xf);
      button.x0 = b.x_start;
      button.x1 = b.x_end;
      button.y0 = b.y_start;
      button.y1 = b.y_end;
    }
  }
  return subs_->ComposeMenu(base_, button);
}

void VideoDecoder::Redraw() {
  if (!base_.isNull()) DeliverBase(true);
}

void VideoDecoder::DeliverBase(bool redraw) {
  VideoFrame vf;
  vf.image = Compose(vf);
  vf.displayAspect = aspect_;
  vf.time = baseTime_;
  vf.titleTime = baseTitleTime_;
  vf.duration = frameDuration_;
  vf.frameRate = baseFrameRate_;
  vf.immediate = redraw;
  {
    std::lock_guard lock(lastMu_);
    lastComposed_ = vf.image;
  }
  Sample out;
  out.kind = Sample::Kind::Data;
  out.time = baseTime_;
  // A redraw belongs to no new moment of the title.
  out.titleTime = redraw ? -1 : vf.titleTime;
  out.controlType = kCtlVideoFrame;
  out.control = Payload(std::move(vf));
  DeliverTo(Major::Video, std::move(out));
}

void VideoDecoder::RebuildTables() {
  adjust_ = brightness_ != 0 || contrast_ != 1 || hue_ != 0 || saturation_ != 1;
  for (int y = 0; y < 256; ++y)
    ylut_[y] = static_cast<uint8_t>(
        std::clamp(std::lround((y - 128) * contrast_ + 128 + brightness_), 0L, 255L));
  if (!adjust_) {
    uvlut_.clear();
    return;
  }
  uvlut_.resize(65536);
  double rad = hue_ * M_PI / 180.0;
  double cs = std::cos(rad) * saturation_, sn = std::sin(rad) * saturation_;
  for (int u = 0; u < 256; ++u)
    for (int v = 0; v < 256; ++v) {
      double du = u - 128, dv = v - 128;
      long nu = std::clamp(std::lround(128 + cs * du - sn * dv), 0L, 255L);
      long nv = std::clamp(std::lround(128 + sn * du + cs * dv), 0L, 255L);
      uvlut_[size_t(u) << 8 | v] = static_cast<uint16_t>(nu << 8 | nv);
    }
}

HRESULT VideoDecoder::GetVideoSize(int32_t* w, int32_t* h, double* aspect) {
  if (!w || !h || !aspect) return E_POINTER;
  *w = swsW_;
  *h = swsH_;
  *aspect = aspect_;
  return swsW_ > 0 ? S_OK : S_FALSE;
}

HRESULT VideoDecoder::ResetPicture() {
  std::lock_guard lock(adjMu_);
  brightness_ = 0;
  contrast_ = saturation_ = 1;
  hue_ = 0;
  RebuildTables();
  return S_OK;
}

#define NAVDISC_SETTER(Name, field, lo, hi)         \
  HRESULT VideoDecoder::Set##Name(double v) {       \
    if (!(v >= lo && v <= hi)) return E_INVALIDARG; \
    std::lock_guard lock(adjMu_);                   \
    field = v;                                      \
    RebuildTables();                                \
    return S_OK;                                    \
  }                                                 \
  HRESULT VideoDecoder::Get##Name(double* v) {      \
    if (!v) return E_POINTER;                       \
    std::lock_guard lock(adjMu_);                   \
    *v = field;                                     \
    return S_OK;                                    \
  }
NAVDISC_SETTER(Brightness, brightness_, -255.0, 255.0)
NAVDISC_SETTER(Contrast, contrast_, 0.0, 10.0)
NAVDISC_SETTER(Hue, hue_, -180.0, 180.0)
NAVDISC_SETTER(Saturation, saturation_, 0.0, 10.0)
#undef NAVDISC_SETTER

HRESULT VideoDecoder::GetFrameCount(uint64_t* n) {
  if (!n) return E_POINTER;
  *n = decoded_;
  return S_OK;
}

HRESULT VideoDecoder::SetKeyFramesOnly(bool on) {
  keyOnly_ = on;
  if (video_) video_->skip_frame = on ? AVDISCARD_NONKEY : AVDISCARD_DEFAULT;
  return S_OK;
}

HRESULT VideoDecoder::GetKeyFramesOnly(bool* on) {
  if (!on) return E_POINTER;
  *on = keyOnly_;
  return S_OK;
}

HRESULT VideoDecoder::GetCurrentPicture(QImage* picture) {
  if (!picture) return E_POINTER;
  VideoFrame shown;
  Pin* out = Pins(PinDir::Output)[0];
  if (out->ConnectedTo())
    if (auto* r = dynamic_cast<VideoRenderer*>(out->ConnectedTo()->Owner())) shown = r->LastShown();
  if (shown.image.isNull()) {
    std::lock_guard lock(lastMu_);
    shown.image = lastComposed_;
    shown.displayAspect = aspect_;
  }
  if (shown.image.isNull()) return E_FAIL;
  int h = shown.image.height();
  int w = shown.displayAspect > 0 ? static_cast<int>(std::lround(h * shown.displayAspect))
                                  : shown.image.width();
  *picture = w == shown.image.width()
                 ? shown.image
                 : shown.image.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return S_OK;
}

HRESULT VideoDecoder::SnapshotToFile(const char* path) {
  if (!path || !*path) return E_POINTER;
  QImage pic;
  if (FAILED(GetCurrentPicture(&pic))) return E_FAIL;
  return plat::SaveBitmap(pic, path) ? S_OK : E_FAIL;
}

}  // namespace navdisc::graph

// The engine's video decoder: MPEG-2 video and DVD sub-pictures (FFmpeg), menu button
// highlights, picture adjustments and snapshots. Outputs composed RGB pictures and the
// closed-caption bytes of the stream.
#pragma once

#include <QImage>
#include <array>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "navdisc/DvdInterfaces.h"
#include "navdisc/graph/Filter.h"
#include "navdisc/graph/Samples.h"

struct AVCodecContext;
struct AVCodecParserContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;

namespace navdisc::graph {

inline const ClassId kVideoDecoderClsid = "{B2A1D6E4-5C3F-4E7A-9D21-6F0C8B4A7E11}";
inline const std::string kVideoDecoderControlIid = "{B2A1D6E4-5C3F-4E7A-9D21-6F0C8B4A7E12}";

// The video decoder's control interface; the order of its methods is fixed.
class IVideoDecoderControl {
 public:
  virtual ~IVideoDecoderControl() = default;
  virtual HRESULT GetVideoSize(int32_t* width, int32_t* height, double* aspect) = 0;  // 1
  virtual HRESULT ResetPicture() = 0;                                                 // 2
  virtual HRESULT SetBrightness(double v) = 0;              // 3: -255..255, 0 neutral
  virtual HRESULT SetContrast(double v) = 0;                // 4: 0..10, 1 neutral
  virtual HRESULT SetHue(double v) = 0;                     // 5: -180..180 degrees
  virtual HRESULT SetSaturation(double v) = 0;              // 6: 0..10, 1 neutral
  virtual HRESULT GetBrightness(double* v) = 0;             // 7
  virtual HRESULT GetContrast(double* v) = 0;               // 8
  virtual HRESULT GetHue(double* v) = 0;                    // 9
  virtual HRESULT GetSaturation(double* v) = 0;             // 10
  virtual HRESULT GetFrameCount(uint64_t* decoded) = 0;     // 11
  virtual HRESULT SetKeyFramesOnly(bool on) = 0;            // 12
  virtual HRESULT GetKeyFramesOnly(bool* on) = 0;           // 13
  virtual HRESULT GetCurrentPicture(QImage* picture) = 0;   // 14: as shown, display size
  virtual HRESULT SnapshotToFile(const char* bmpPath) = 0;  // 15
};

class SubpictureOverlay;

class VideoDecoder final : public Filter, public IVideoDecoderControl {
 public:
  VideoDecoder();
  ~VideoDecoder() override;

  void Receive(Pin* in, Sample&& s) override;
  void* QueryInterface(const std::string& iid) override;

  HRESULT GetVideoSize(int32_t* width, int32_t* height, double* aspect) override;
  HRESULT ResetPicture() override;
  HRESULT SetBrightness(double v) override;
  HRESULT SetContrast(double v) override;
  HRESULT SetHue(double v) override;
  HRESULT SetSaturation(double v) override;
  HRESULT GetBrightness(double* v) override;
  HRESULT GetContrast(double* v) override;
  HRESULT GetHue(double* v) override;
  HRESULT GetSaturation(double* v) override;
  HRESULT GetFrameCount(uint64_t* decoded) override;
  HRESULT SetKeyFramesOnly(bool on) override;
  HRESULT GetKeyFramesOnly(bool* on) override;
  HRESULT GetCurrentPicture(QImage* picture) override;
  HRESULT SnapshotToFile(const char* bmpPath) override;

 private:
  void DecodeVideo(Sample& s);
  void DrainVideo();
  void EmitFrame(AVFrame* f);
  QImage Convert(const AVFrame* f);  // to RGB with the picture values; null on failure
  void Repaint();                    // the shown picture again, with the current values
  void DecodeSpu(Sample& s);
  AVCodecContext* SpuDecoder(int physical);
  void CloseSpuDecoders();
  void Redraw();
  // base_ composed with its overlays and handed on; a redraw is shown at once.
  void DeliverBase(bool redraw);
  QImage Compose(VideoFrame& frame);  // the picture to send; a title's takes the overlay
  void RebuildTables();               // picture adjustment LUTs; caller holds adjMu_

  AVCodecContext* video_ = nullptr;
  AVCodecParserContext* parser_ = nullptr;  // PES payloads -> whole pictures
  void SendVideo(const uint8_t* data, int size, int64_t pts);
  std::map<int, AVCodecContext*> spus_;  // every sub-picture stream, so a switch shows at once
  AVPacket* pkt_ = nullptr;
  AVFrame* frame_ = nullptr;
  SwsContext* sws_ = nullptr;
  int swsW_ = 0, swsH_ = 0, swsFmt_ = -1;

  // Last decoded picture before overlays, for redraws during stills, and the decoded frame
  // it came from, so new picture values can be applied to a still.
  QImage base_;
  AVFrame* source_ = nullptr;
  int64_t baseTime_ = 0;
  int64_t baseTitleTime_ = -1;
  double baseFrameRate_ = 25.0;
  int64_t lastTime_ = -1;
  int64_t frameDuration_ = 40000;
  int64_t titleOffset_ = INT64_MIN;  // titleTime - time of the latest input
  double aspect_ = 4.0 / 3.0;
  uint64_t decoded_ = 0;
  bool keyOnly_ = false;

  // Menu and sub-picture state.
  pci_t pci_{};
  bool havePci_ = false;
  bool menu_ = false;
  uint32_t clut_[16] = {};
  bool haveClut_ = false;
  HighlightInfo hl_;
  SpuSelect spuSel_;
  // Decoded sub-pictures and the stream chosen; shared with the pictures that show them.
  std::shared_ptr<SubpictureOverlay> subs_;
  std::map<int, int64_t> spuPts_;  // per stream: the time of the sub-picture being assembled

  // Picture adjustments.
  std::mutex adjMu_;
  double brightness_ = 0, contrast_ = 1, hue_ = 0, saturation_ = 1;
  bool adjust_ = false;
  std::array<uint8_t, 256> ylut_{};
  std::vector<uint16_t> uvlut_;  // (u << 8 | v) -> (u' << 8 | v')
  std::vector<uint8_t> scratch_;

  // Pictures are reused once every other holder let go (saves a fresh 1.6 MB per frame).
  std::vector<QImage> pool_;
  QImage TakePicture(int width, int height);

  std::mutex lastMu_;
  QImage lastComposed_;
};

}  // namespace navdisc::graph

// Payloads of the samples that flow between the engine's filters.
#pragma once

#include <dvdnav/dvdnav.h>

#include <QImage>
#include <cstdint>
#include <memory>
#include <vector>

namespace navdisc::graph {

enum ControlType : int {
  kCtlNone = 0,
  kCtlVideoFrame,   // VideoFrame (Data sample to the video renderer)
  kCtlAudioChunk,   // AudioChunk (Data sample to the audio renderer)
  kCtlNavPacket,    // NavPacketInfo (video decoder)
  kCtlClut,         // ClutInfo (video decoder)
  kCtlHighlight,    // HighlightInfo (video decoder)
  kCtlSpuSelect,    // SpuSelect (video decoder)
  kCtlVideoFormat,  // VideoFormat (video decoder)
  kCtlLine21,       // Line21Data (line-21 decoder)
  kCtlRepaint,      // none (video decoder): picture values changed during a still
};

// Draws what lies over a title picture (its sub-pictures) at the moment the picture is shown,
// so their timing follows the picture's clock rather than the order the disc was read in.
class PictureOverlay {
 public:
  virtual ~PictureOverlay() = default;
  virtual QImage Compose(const QImage& base, int64_t time) const = 0;
};

struct VideoFrame {
  QImage image;              // composed picture (RGB32), coded size
  double displayAspect = 0;  // width / height as shown
  int64_t time = 0;          // stream time (us)
  int64_t titleTime = -1;    // us from the start of the title, -1 outside titles
  int64_t duration = 40000;  // us
  double frameRate = 25.0;   // of the stream (29.97 on NTSC discs), not of this frame
  bool immediate = false;    // a redraw (new highlight): present now, leave the clock alone
  std::shared_ptr<const PictureOverlay> overlay;  // drawn over `image` when shown
};

struct AudioChunk {
  std::vector<int16_t> pcm;  // interleaved stereo, 48 kHz
  int64_t time = 0;          // stream time (us) of the first sample
};

struct NavPacketInfo {
  pci_t pci;
  bool menu = false;  // a menu domain (buttons may be shown)
};

struct ClutInfo {
  uint32_t yuv[16];  // 0x00YYCrCb
};

struct HighlightInfo {
  int button = 0;  // 1-based; 0 = none shown
  bool action = false;
};

struct SpuSelect {
  int physical = -1;   // sub-picture stream to decode (0..31), -1 = none
  bool shown = false;  // show non-forced sub-pictures
  bool menu = false;
};

struct VideoFormat {
  double displayAspect = 4.0 / 3.0;
};

struct Line21Data {
  std::vector<uint8_t> bytes;  // CEA-608 byte pairs (cc_type, b1, b2 triplets)
};

}  // namespace navdisc::graph

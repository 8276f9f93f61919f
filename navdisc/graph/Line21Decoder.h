// Line-21 decoder: takes the closed-caption bytes of the video stream and keeps the caption
// text (pop-on captions of the first field). Its service starts on; the engine turns it off.
#pragma once

#include <mutex>
#include <string>

#include "navdisc/DvdInterfaces.h"
#include "navdisc/graph/Filter.h"

namespace navdisc::graph {

inline const ClassId kLine21DecoderClsid = "{6E8D4A20-310C-11D0-B79A-00AA003767A7}";

class Line21Decoder final : public Filter, public IAMLine21Decoder {
 public:
  Line21Decoder();
  void Receive(Pin* in, Sample&& s) override;
  void* QueryInterface(const std::string& iid) override;
  HRESULT GetServiceState(AM_LINE21_CCSTATE* state) override;
  HRESULT SetServiceState(AM_LINE21_CCSTATE state) override;
  // The caption now on screen ("" when none or when the service is off).
  std::string Caption() const;
  // Feeds CEA-608 data as (cc_type, byte 1, byte 2) triplets.
  void Feed(const uint8_t* triplets, size_t size);

 private:
  mutable std::mutex mu_;
  AM_LINE21_CCSTATE state_ = AM_L21_CCSTATE_On;
  std::string loading_, shown_;
  uint8_t lastCtl1_ = 0, lastCtl2_ = 0;
};

}  // namespace navdisc::graph

#include "navdisc/graph/Line21Decoder.h"

#include "navdisc/graph/Samples.h"

namespace navdisc::graph {

Line21Decoder::Line21Decoder() : Filter(kLine21DecoderClsid) {
  AddPin("Line21 Input", PinDir::Input, {{Major::AUXLine21Data, Subtype::Line21_BytePair}});
}

void* Line21Decoder::QueryInterface(const std::string& iid) {
  if (iid == "IAMLine21Decoder") return static_cast<IAMLine21Decoder*>(this);
  return nullptr;
}

HRESULT Line21Decoder::GetServiceState(AM_LINE21_CCSTATE* state) {
  if (!state) return E_POINTER;
  std::lock_guard lock(mu_);
  *state = state_;
  return S_OK;
}

HRESULT Line21Decoder::SetServiceState(AM_LINE21_CCSTATE state) {
  if (state != AM_L21_CCSTATE_On && state != AM_L21_CCSTATE_Off) return E_INVALIDARG;
  std::lock_guard lock(mu_);
  state_ = state;
  if (state == AM_L21_CCSTATE_Off) loading_.clear(), shown_.clear();
  return S_OK;
}

std::string Line21Decoder::Caption() const {
  std::lock_guard lock(mu_);
  return state_ == AM_L21_CCSTATE_On ? shown_ : std::string();
}

void Line21Decoder::Receive(Pin*, Sample&& s) {
  if (s.kind == Sample::Kind::Flush) {
    std::lock_guard lock(mu_);
    loading_.clear();
    shown_.clear();
    return;
  }
  if (s.kind != Sample::Kind::Data || s.controlType != kCtlLine21 || !s.control) return;
  const auto* d = static_cast<const Line21Data*>(s.control.get());
  Feed(d->bytes.data(), d->bytes.size());
}

void Line21Decoder::Feed(const uint8_t* p, size_t size) {
  std::lock_guard lock(mu_);
  if (state_ != AM_L21_CCSTATE_On) return;
  for (size_t i = 0; i + 3 <= size; i += 3) {
    bool valid = p[i] & 0x04;
    int type = p[i] & 0x03;
    if (!valid || type != 0) continue;  // first field only
    uint8_t b1 = p[i + 1] & 0x7f, b2 = p[i + 2] & 0x7f;
    if (b1 == 0 && b2 == 0) continue;
    if (b1 >= 0x10 && b1 <= 0x1f) {
      // Control codes come twice in a row; act on the first.
      if (b1 == lastCtl1_ && b2 == lastCtl2_) {
        lastCtl1_ = lastCtl2_ = 0;
        continue;
      }
      lastCtl1_ = b1;
      lastCtl2_ = b2;
      uint8_t chan = b1 & ~0x08;
      if (chan == 0x14 && b2 == 0x2f) {  // end of caption: show what was loaded
        shown_ = loading_;
        loading_.clear();
      } else if (chan == 0x14 && b2 == 0x2c) {  // erase displayed memory
        shown_.clear();
      } else if (chan == 0x14 && b2 == 0x2e) {  // erase non-displayed memory
        loading_.clear();
      } else if (b2 >= 0x40 && !loading_.empty() && loading_.back() != '\n') {
        loading_ += '\n';  // preamble address code: a new row
      }
      continue;
    }
    lastCtl1_ = lastCtl2_ = 0;
    if (b1 >= 0x20) loading_ += static_cast<char>(b1);
    if (b2 >= 0x20) loading_ += static_cast<char>(b2);
    if (loading_.size() > 256) loading_.erase(0, loading_.size() - 256);
  }
}

}  // namespace navdisc::graph

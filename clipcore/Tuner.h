// Analogue TV tuners: a V4L2 tuner card, or a simulated one for machines without hardware.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "clipcore/ChannelTable.h"

namespace clipcore {

// Tune and Signal may be called from the scanning thread while the UI thread tunes.
class Tuner {
 public:
  virtual ~Tuner() = default;
  virtual const ChannelTable& Table() const = 0;
  virtual bool Tune(int channel) = 0;
  virtual int CurrentChannel() const = 0;  // 0 before the first successful Tune
  // Signal strength 0..65535 at the current frequency.
  virtual int Signal() = 0;
  // Time the tuner needs after Tune before Signal means anything.
  virtual std::chrono::milliseconds SettleTime() const = 0;
  // What libmpv plays for the current channel.
  virtual std::string StreamUrl() const = 0;
  // True when the stream must be reopened after Tune (the picture does not follow by itself).
  virtual bool ReloadAfterTune() const = 0;
};

// Channels whose signal counts as a station.
constexpr int kSignalThreshold = 0x4000;

// /dev/video* nodes that are capture devices with an analogue TV tuner, in device order.
std::vector<std::string> FindTunerDevices();
std::unique_ptr<Tuner> OpenV4l2Tuner(const std::string& device);
// list: comma-separated channel numbers that carry a signal, e.g. "2,5,9".
std::unique_ptr<Tuner> MakeSimulatedTuner(const std::string& list);
// LUMORA_TV selects: "sim:2,5,9", "none", a device path; unset means the first tuner found.
// Null when there is no tuner.
std::unique_ptr<Tuner> OpenDefaultTuner();

}  // namespace clipcore

#include <QFile>
#include <algorithm>
#include <atomic>
#include <set>
#include <sstream>

#include "clipcore/Tuner.h"

namespace clipcore {
namespace {

constexpr const char* kFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

// Every channel number shows its own tint and its number; channels without a station show snow.
class SimulatedTuner : public Tuner {
 public:
  SimulatedTuner(std::set<int> stations, ChannelTable table)
      : stations_(std::move(stations)), table_(std::move(table)) {
    // Starts on its first station, as a set that remembers its last channel would.
    if (!stations_.empty() && table_.Contains(*stations_.begin())) channel_ = *stations_.begin();
  }

  const ChannelTable& Table() const override { return table_; }
  bool Tune(int channel) override {
    if (!table_.Contains(channel)) return false;
    channel_ = channel;
    return true;
  }
  int CurrentChannel() const override { return channel_; }
  int Signal() override { return stations_.count(channel_.load()) ? 65535 : 0; }
  std::chrono::milliseconds SettleTime() const override { return std::chrono::milliseconds(5); }
  bool ReloadAfterTune() const override { return true; }

  std::string StreamUrl() const override {
    const int ch = channel_;
    std::ostringstream g;
    if (!stations_.count(ch)) {
      g << "av://lavfi:color=c=gray:s=640x480:r=25,noise=alls=90:allf=t+u,format=yuv420p";
      return g.str();
    }
    g << "av://lavfi:testsrc2=s=640x480:r=25,hue=h=" << (ch * 47) % 360 << ",drawtext=";
    if (QFile::exists(kFont)) g << "fontfile=" << kFont << ":";
    g << "text='CH " << ch
      << "':fontsize=120:fontcolor=white:box=1:boxcolor=black:x=(w-tw)/2:y=(h-th)/2"
      << ",format=yuv420p";
    return g.str();
  }

 private:
  std::set<int> stations_;
  ChannelTable table_;
  std::atomic<int> channel_{0};
};

}  // namespace

std::unique_ptr<Tuner> MakeSimulatedTuner(const std::string& list) {
  std::set<int> stations;
  std::stringstream in(list);
  std::string item;
  while (std::getline(in, item, ',')) {
    try {
      size_t used = 0;
      const int n = std::stoi(item, &used);
      if (n >= 1 && n <= 999) stations.insert(n);
    } catch (...) {
      // Garbage in the list is skipped; the rest still counts.
    }
  }
  const int last = std::max(69, stations.empty() ? 0 : *stations.rbegin());
  return std::make_unique<SimulatedTuner>(std::move(stations), ChannelTable::Numbered(1, last));
}

}  // namespace clipcore

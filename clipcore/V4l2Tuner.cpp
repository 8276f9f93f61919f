#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QDir>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "clipcore/Tuner.h"

namespace clipcore {
namespace {

int Ioctl(int fd, unsigned long request, void* arg) {
  int r;
  do {
    r = ioctl(fd, request, arg);
  } while (r == -1 && errno == EINTR);
  return r;
}

bool HasAnalogueTuner(int fd, v4l2_tuner* out) {
  v4l2_capability cap{};
  if (Ioctl(fd, VIDIOC_QUERYCAP, &cap) != 0) return false;
  const uint32_t caps =
      (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
  if (!(caps & V4L2_CAP_TUNER) || !(caps & V4L2_CAP_VIDEO_CAPTURE)) return false;
  v4l2_tuner tuner{};
  tuner.index = 0;
  if (Ioctl(fd, VIDIOC_G_TUNER, &tuner) != 0) return false;
  if (tuner.type != V4L2_TUNER_ANALOG_TV) return false;
  if (out) *out = tuner;
  return true;
}

class V4l2Tuner : public Tuner {
 public:
  V4l2Tuner(std::string device, int fd, const v4l2_tuner& info, ChannelTable table)
      : device_(std::move(device)), fd_(fd), info_(info), table_(std::move(table)) {}
  ~V4l2Tuner() override { close(fd_); }

  const ChannelTable& Table() const override { return table_; }

  bool Tune(int channel) override {
    const auto kHz = table_.FrequencyKHz(channel);
    if (!kHz) return false;
    // Units are 62.5 kHz, or 62.5 Hz for tuners with the low-frequency capability.
    const bool low = info_.capability & V4L2_TUNER_CAP_LOW;
    const uint64_t units = low ? uint64_t(*kHz) * 16 : uint64_t(*kHz) * 16 / 1000;
    const uint64_t lo = info_.rangelow, hi = info_.rangehigh;
    if (hi > lo && (units < lo || units > hi)) return false;
    v4l2_frequency f{};
    f.tuner = 0;
    f.type = V4L2_TUNER_ANALOG_TV;
    f.frequency = static_cast<uint32_t>(units);
    std::lock_guard<std::mutex> lock(mutex_);
    if (Ioctl(fd_, VIDIOC_S_FREQUENCY, &f) != 0) return false;
    channel_ = channel;
    return true;
  }

  int CurrentChannel() const override { return channel_; }

  int Signal() override {
    v4l2_tuner t{};
    t.index = 0;
    std::lock_guard<std::mutex> lock(mutex_);
    if (Ioctl(fd_, VIDIOC_G_TUNER, &t) != 0) return 0;
    return std::clamp<int>(t.signal, 0, 65535);
  }

  // Tuners need a moment for the PLL and the AFC to lock before the signal is meaningful.
  std::chrono::milliseconds SettleTime() const override { return std::chrono::milliseconds(150); }
  std::string StreamUrl() const override { return "av://v4l2:" + device_; }
  bool ReloadAfterTune() const override { return false; }

 private:
  std::string device_;
  int fd_;
  v4l2_tuner info_;
  ChannelTable table_;
  std::mutex mutex_;
  std::atomic<int> channel_{0};
};

ChannelTable TableFor(int fd) {
  if (const char* name = std::getenv("LUMORA_TV_TABLE")) {
    if (auto t = ChannelTable::ByName(name)) return *t;
  }
  v4l2_std_id std = 0;
  if (Ioctl(fd, VIDIOC_G_STD, &std) == 0 && (std & V4L2_STD_NTSC) && !(std & V4L2_STD_PAL))
    return ChannelTable::NtscCable();
  return ChannelTable::PalBG();
}

}  // namespace

std::vector<std::string> FindTunerDevices() {
  std::vector<std::pair<int, std::string>> found;
  const QStringList nodes = QDir("/dev").entryList({"video*"}, QDir::System | QDir::Files);
  for (const QString& node : nodes) {
    bool ok = false;
    const int index = node.mid(5).toInt(&ok);
    if (!ok) continue;
    const std::string path = "/dev/" + node.toStdString();
    const int fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    if (HasAnalogueTuner(fd, nullptr)) found.emplace_back(index, path);
    close(fd);
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> out;
  for (auto& f : found) out.push_back(f.second);
  return out;
}

std::unique_ptr<Tuner> OpenV4l2Tuner(const std::string& device) {
  const int fd = open(device.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  v4l2_tuner info{};
  if (!HasAnalogueTuner(fd, &info)) {
    close(fd);
    return nullptr;
  }
  ChannelTable table = TableFor(fd);
  return std::make_unique<V4l2Tuner>(device, fd, info, std::move(table));
}

std::unique_ptr<Tuner> OpenDefaultTuner() {
  const char* env = std::getenv("LUMORA_TV");
  const std::string choice = env ? env : "";
  if (choice == "none") return nullptr;
  if (choice.rfind("sim:", 0) == 0) return MakeSimulatedTuner(choice.substr(4));
  if (!choice.empty()) return OpenV4l2Tuner(choice);
  for (const std::string& device : FindTunerDevices()) {
    if (auto t = OpenV4l2Tuner(device)) return t;
  }
  return nullptr;
}

}  // namespace clipcore

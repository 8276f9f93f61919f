#include "clipcore/ChannelScanner.h"

#include "platform/Window.h"

namespace clipcore {

ChannelScanner::ChannelScanner(Tuner& tuner, HWND window, unsigned msg)
    : tuner_(tuner), window_(window), msg_(msg) {}

ChannelScanner::~ChannelScanner() { Cancel(); }

bool ChannelScanner::Start() {
  if (running_) return false;
  if (thread_.joinable()) thread_.join();  // a scan that ended by itself
  {
    std::lock_guard<std::mutex> lock(mutex_);
    cancel_ = false;
  }
  running_ = true;
  thread_ = std::thread([this] { Run(); });
  return true;
}

void ChannelScanner::Cancel() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    cancel_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void ChannelScanner::Run() {
  bool cancelled = false;
  for (const Channel& ch : tuner_.Table().channels()) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (cancel_) {
        cancelled = true;
        break;
      }
    }
    if (!tuner_.Tune(ch.number)) continue;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      if (wake_.wait_for(lock, tuner_.SettleTime(), [this] { return cancel_; })) {
        cancelled = true;
        break;
      }
    }
    if (tuner_.Signal() >= kSignalThreshold) plat::PostMessage(window_, msg_, 1, ch.number);
  }
  plat::PostMessage(window_, msg_, 0, cancelled ? 1 : 0);
  running_ = false;
}

}  // namespace clipcore

// Walks a tuner's channel table on a worker thread and reports stations by posted messages.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "clipcore/Tuner.h"
#include "platform/Types.h"

namespace clipcore {

class ChannelScanner {
 public:
  // Posts msg to window: (1, channel) per station found, then (0, cancelled ? 1 : 0).
  ChannelScanner(Tuner& tuner, HWND window, unsigned msg);
  ~ChannelScanner();  // cancels and waits

  // False when a scan already runs.
  bool Start();
  // Ends a running scan early; returns once the worker has stopped.
  void Cancel();
  bool Running() const { return running_; }

 private:
  void Run();

  Tuner& tuner_;
  HWND window_;
  unsigned msg_;
  std::thread thread_;
  std::atomic<bool> running_{false};
  std::mutex mutex_;
  std::condition_variable wake_;
  bool cancel_ = false;
};

}  // namespace clipcore

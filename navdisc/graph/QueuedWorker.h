// A renderer's queue and the thread that empties it: items are taken in order, each once the
// graph clock says it is due, and handed to the output outside the lock, so a slow output never
// holds up delivery, flushing or stopping.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "navdisc/graph/FilterGraph.h"

namespace navdisc::graph {

template <class T>
class QueuedWorker {
 public:
  // True once everything queued has been handed to the output.
  bool Drained() const {
    std::lock_guard lock(mu_);
    return q_.empty() && !busy_;
  }

 protected:
  using Item = std::shared_ptr<const T>;
  using Lock = std::unique_lock<std::mutex>;

  QueuedWorker() = default;
  // The owner stops the thread in its own destructor, while the hooks' state still exists.
  virtual ~QueuedWorker() = default;
  QueuedWorker(const QueuedWorker&) = delete;
  QueuedWorker& operator=(const QueuedWorker&) = delete;

  void StartWorker() {
    thread_ = std::thread([this] { Loop(); });
  }
  void StopWorker() {
    {
      std::lock_guard lock(mu_);
      quit_ = true;
    }
    cv_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

  // With the lock held: waits until `hasRoom` or the queue refuses items (quit, flushing,
  // stopped), then queues the item; false when it was refused.
  template <class HasRoom>
  bool Enqueue(Lock& lock, Item item, HasRoom hasRoom) {
    cv_.wait(lock, [&] { return quit_ || flushing_ || stopped_ || hasRoom(); });
    if (quit_ || flushing_ || stopped_) return false;
    q_.push_back(std::move(item));
    cv_.notify_all();
    return true;
  }

  // With the lock held.
  void ClearQueue() {
    q_.clear();
    Cleared();
    cv_.notify_all();
  }

  // With the lock held: lets go of the lock while waiting on the clock for `time` (at most
  // 50 ms, so flushes and stops are seen); true when `item` is still next and due.
  bool WaitOnClock(Lock& lock, MediaClock& clock, const Item& item, int64_t time) {
    lock.unlock();
    const bool due =
        clock.WaitUntil(time, std::chrono::steady_clock::now() + std::chrono::milliseconds(50));
    lock.lock();
    return due && !q_.empty() && q_.front() == item;
  }

  // With the lock held, for the next item: true to hand it over now; false to look at the queue
  // again (the hook may have waited, or dropped the item itself).
  virtual bool Due(Lock& lock, const Item& item) = 0;
  // With the lock held, when the queue is found empty: true to look at it again (the hook may
  // have let go of the lock).
  virtual bool Emptied(Lock& lock) { return false; }
  // With the lock held, once `item` has left the queue.
  virtual void Taken(const T& item) {}
  // With the lock held, after the queue was emptied.
  virtual void Cleared() {}
  // Without the lock: shows or plays the item.
  virtual void Present(const T& item) = 0;

  mutable std::mutex mu_;
  std::condition_variable cv_;
  std::deque<Item> q_;
  bool quit_ = false;
  bool flushing_ = false;
  bool stopped_ = true;
  bool busy_ = false;

 private:
  void Loop() {
    Lock lock(mu_);
    while (!quit_) {
      if (q_.empty() && Emptied(lock)) continue;
      if (q_.empty() || stopped_) {
        busy_ = false;
        cv_.wait(lock);
        continue;
      }
      busy_ = true;
      Item item = q_.front();
      if (!Due(lock, item)) continue;
      q_.pop_front();
      Taken(*item);
      cv_.notify_all();
      lock.unlock();
      Present(*item);
      lock.lock();
    }
  }

  std::thread thread_;
};

}  // namespace navdisc::graph

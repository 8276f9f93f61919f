// The framework's timer: runs while Enabled, Interval is above 0 and OnTimer is set.
#pragma once

#include <QObject>
#include <QTimer>

#include "player/widgets/Components.h"

class TTimer : public QObject {
  Q_OBJECT
 public:
  explicit TTimer(QObject* parent = nullptr);

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  // Milliseconds; setting it restarts a running timer.
  int Interval() const { return interval_; }
  void SetInterval(int ms);
  void SetOnTimer(TNotifyEvent handler);

  // True while the timer really fires.
  bool Active() const { return timer_.isActive(); }

  TNotifyEvent OnTimer;

 private:
  void Update();

  QTimer timer_;
  int interval_ = 1000;
  bool enabled_ = true;
};

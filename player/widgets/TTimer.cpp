#include "player/widgets/TTimer.h"

TTimer::TTimer(QObject* parent) : QObject(parent) {
  components::Register(this);
  connect(&timer_, &QTimer::timeout, this, [this] {
    // Copy first: the handler may replace itself.
    TNotifyEvent handler = OnTimer;
    if (handler) handler(this);
  });
}

void TTimer::SetEnabled(bool on) {
  if (enabled_ == on) return;
  enabled_ = on;
  Update();
}

void TTimer::SetInterval(int ms) {
  if (interval_ == ms) return;
  interval_ = ms;
  Update();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
  OnTimer = std::move(handler);
  Update();
}

void TTimer::Update() {
  timer_.stop();
  if (enabled_ && interval_ > 0 && OnTimer) timer_.start(interval_);
}

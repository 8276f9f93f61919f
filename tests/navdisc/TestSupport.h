// Shared helpers for the engine suites: a Qt application, a registered owner window whose
// message handler pumps the engine's events, and the sample discs.
#pragma once

#include <gtest/gtest.h>

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "navdisc/Ft_graphgroupclass.h"
#include "navdisc/Navdisc.h"

namespace navtest {

struct Event {
  int32_t code, p1, p2;
};

// Every event the pump delivered, in order.
std::vector<Event>& Events();
void ClearEvents();
void RecordEvent(int32_t code, int32_t p1, int32_t p2);
// Runs inside the engine's callback for every event from now on (empty: none).
void SetEventHook(std::function<void(const Event&)> hook);
// Pumps messages until pred holds or ms pass; returns pred().
bool PumpUntil(const std::function<bool()>& pred, int ms = 8000);
// Waits for an event with this code (and p1 when given) after index `from`.
bool WaitEvent(int32_t code, int ms = 8000, int32_t p1 = INT32_MIN, size_t from = 0);
const Event* LastEvent(int32_t code);

// A window as the player's main window: 1156 drains the engine's queue.
class OwnerWindow {
 public:
  OwnerWindow(int w = 720, int h = 576);
  ~OwnerWindow();
  HWND handle() const { return handle_; }
  QWidget* widget() const { return widget_.get(); }
  // How many graph notifications this window received.
  int Notifications() const { return *count_; }

 private:
  std::unique_ptr<QWidget> widget_;
  HWND handle_ = 0;
  std::shared_ptr<int> count_ = std::make_shared<int>(0);
};

// <fixtures>/sample-dvd/VIDEO_TS/ and its siblings; "" when the fixtures are missing.
std::string FixturePath(const std::string& relative);

// Builds the graph for a disc as the player does (init, render, owner, play); false on failure.
bool StartDisc(OwnerWindow& w, const std::string& path, bool play = true);

// Ends any graph and restores the engine's registry and navigator factory.
class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

}  // namespace navtest

#include <gtest/gtest.h>

#include <QThread>
#include <QWidget>
#include <atomic>
#include <thread>
#include <vector>

#include "TestApp.h"
#include "platform/Window.h"

using namespace plat;

namespace {

struct Seen {
  unsigned msg;
  WPARAM w;
  LPARAM l;
  bool onUiThread;
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureApp(); }
  MessageHandler Recorder(std::vector<Seen>& seen, LRESULT answer = 0) {
    return [&seen, answer](unsigned m, WPARAM w, LPARAM l, LRESULT& r) {
      seen.push_back({m, w, l, QThread::currentThread() == qApp->thread()});
      r = answer;
      return true;
    };
  }
};

TEST_F(WindowTest, HandlesAreUniqueAndDieWithTheWidget) {
  auto* a = new QWidget;
  auto* b = new QWidget;
  HWND ha = RegisterWindow(a);
  HWND hb = RegisterWindow(b);
  EXPECT_NE(ha, 0u);
  EXPECT_NE(ha, hb);
  EXPECT_EQ(RegisterWindow(a), ha);
  EXPECT_EQ(WidgetFromHandle(ha), a);
  EXPECT_EQ(HandleFromWidget(b), hb);
  EXPECT_TRUE(IsWindow(ha));
  delete a;
  EXPECT_FALSE(IsWindow(ha));
  EXPECT_EQ(WidgetFromHandle(ha), nullptr);
  EXPECT_EQ(HandleFromWidget(a), 0u);
  // A new widget never inherits a dead handle.
  auto* c = new QWidget;
  EXPECT_NE(RegisterWindow(c), ha);
  UnregisterWindow(hb);
  EXPECT_FALSE(IsWindow(hb));
  EXPECT_FALSE(PostMessage(hb, WM_USER, 0, 0));
  delete b;
  delete c;
}

TEST_F(WindowTest, PostedMessagesArriveLaterInOrderOnTheUiThread) {
  std::vector<Seen> seen;
  QWidget w;
  HWND h = RegisterWindow(&w, Recorder(seen));
  EXPECT_TRUE(PostMessage(h, WM_USER + 1, 1, -1));
  std::thread worker([h] {
    for (int i = 0; i < 50; ++i) PostMessage(h, WM_USER + 2, static_cast<WPARAM>(i), 0);
  });
  worker.join();
  EXPECT_TRUE(seen.empty());  // nothing is delivered inside PostMessage
  PumpMessages();
  ASSERT_EQ(seen.size(), 51u);
  EXPECT_EQ(seen[0].msg, WM_USER + 1u);
  EXPECT_EQ(seen[0].l, -1);
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(seen[1 + i].w, static_cast<WPARAM>(i));
    EXPECT_TRUE(seen[1 + i].onUiThread);
  }
  EXPECT_EQ(PendingMessageCount(), 0u);
}

TEST_F(WindowTest, UnknownOrDestroyedWindowsGetNothing) {
  EXPECT_FALSE(PostMessage(0, WM_USER, 0, 0));
  EXPECT_FALSE(PostMessage(0xdead0, WM_USER, 0, 0));
  EXPECT_EQ(SendMessage(0xdead0, WM_USER, 0, 0), 0);

  std::vector<Seen> seen;
  auto* w = new QWidget;
  HWND h = RegisterWindow(w, Recorder(seen));
  EXPECT_TRUE(PostMessage(h, WM_USER, 0, 0));
  delete w;  // the pending message must be dropped, not delivered to freed memory
  PumpMessages();
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(PendingMessageCount(), 0u);
}

TEST_F(WindowTest, HandlerMayDestroyItsWindowAndPostAgain) {
  std::vector<unsigned> order;
  auto* w = new QWidget;
  HWND h = 0;
  h = RegisterWindow(w, [&](unsigned m, WPARAM, LPARAM, LRESULT&) {
    order.push_back(m);
    if (m == 1) PostMessage(h, 3, 0, 0);
    if (m == 2) delete w;
    return true;
  });
  PostMessage(h, 1, 0, 0);
  PostMessage(h, 2, 0, 0);
  PumpMessages();
  PumpMessages();
  EXPECT_EQ(order, (std::vector<unsigned>{1, 2}));
}

TEST_F(WindowTest, SendMessageRunsTheHandlerOnTheUiThreadAndReturnsItsResult) {
  std::vector<Seen> seen;
  QWidget w;
  HWND h = RegisterWindow(&w, Recorder(seen, 77));
  EXPECT_EQ(SendMessage(h, WM_USER + 5, 2, 3), 77);
  ASSERT_EQ(seen.size(), 1u);  // directly, on the UI thread

  std::atomic<LRESULT> fromWorker{-1};
  std::atomic<bool> finished{false};
  std::thread worker([&] {
    fromWorker = SendMessage(h, WM_USER + 6, 4, 5);
    finished = true;
  });
  // The worker stays blocked until the UI thread handles the message.
  while (seen.size() < 2) PumpMessages(5);
  worker.join();
  EXPECT_TRUE(finished);
  EXPECT_EQ(fromWorker.load(), 77);
  EXPECT_EQ(seen[1].msg, WM_USER + 6u);
  EXPECT_TRUE(seen[1].onUiThread);
}

TEST_F(WindowTest, SendMessageFromAWorkerReturnsWhenTheWindowDies) {
  auto* w = new QWidget;
  bool called = false;
  HWND h = RegisterWindow(w, [&](unsigned, WPARAM, LPARAM, LRESULT& r) {
    called = true;
    r = 5;
    return true;
  });
  std::atomic<LRESULT> result{-1};
  std::thread worker([&] { result = SendMessage(h, WM_USER, 0, 0); });
  while (PendingMessageCount() == 0) QThread::msleep(1);
  delete w;
  PumpMessages();
  worker.join();
  EXPECT_FALSE(called);
  EXPECT_EQ(result.load(), 0);
}

TEST_F(WindowTest, UnhandledMessagesAnswerZero) {
  QWidget w;
  HWND h = RegisterWindow(&w, [](unsigned m, WPARAM, LPARAM, LRESULT& r) {
    r = 9;
    return m == 1;
  });
  EXPECT_EQ(SendMessage(h, 1, 0, 0), 9);
  QWidget plain;
  EXPECT_EQ(SendMessage(RegisterWindow(&plain), 1, 0, 0), 0);
  SetMessageHandler(RegisterWindow(&plain), [](unsigned, WPARAM, LPARAM, LRESULT& r) {
    r = 4;
    return true;
  });
  EXPECT_EQ(SendMessage(HandleFromWidget(&plain), 1, 0, 0), 4);
}

}  // namespace

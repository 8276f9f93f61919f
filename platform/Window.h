// Integer window handles and posted/sent messages, delivered on the UI thread.
#pragma once

#include <functional>

#include "platform/Types.h"

class QWidget;

namespace plat {

// Returns true when the message was handled; result is what SendMessage returns.
using MessageHandler = std::function<bool(unsigned msg, WPARAM w, LPARAM l, LRESULT& result)>;

// Non-zero unique handle; the handle dies with the widget. Registering a widget twice returns
// its existing handle (and replaces the handler when one is given). UI thread.
HWND RegisterWindow(QWidget* w, MessageHandler handler = {});
void SetMessageHandler(HWND h, MessageHandler handler);
void UnregisterWindow(HWND h);
QWidget* WidgetFromHandle(HWND h);        // UI thread only; nullptr if unknown
HWND HandleFromWidget(const QWidget* w);  // 0 if not registered
bool IsWindow(HWND h);                    // any thread

// Any thread. Delivered later on the UI thread, in posting order; false if h is unknown.
bool PostMessage(HWND h, unsigned msg, WPARAM w, LPARAM l);
// UI thread: calls the handler directly. Other threads: block until the UI thread handled it.
// Returns 0 when the window is unknown, has no handler, or dies before handling it.
LRESULT SendMessage(HWND h, unsigned msg, WPARAM w, LPARAM l);
// Processes pending events and posted messages; with maxMs > 0 keeps doing so for that long.
void PumpMessages(int maxMs = 0);

// Number of posted messages not yet delivered (all windows).
size_t PendingMessageCount();

}  // namespace plat

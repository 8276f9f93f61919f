// Single instance across processes: a per-user local socket named after the main caption.
#pragma once

#include <QObject>
#include <string>

#include "platform/Types.h"

class QLocalServer;
class QLocalSocket;

namespace plat {

// A live player with that main window caption owns the per-user socket.
bool FindRunningInstance(const std::string& caption);
// Sends one fixed-size record; true once it was written to the socket.
bool PostToRunningInstance(const std::string& caption, unsigned msg, WPARAM w, LPARAM l);

// The per-user runtime folder ($LUMORA_RUNTIME_DIR, $XDG_RUNTIME_DIR or /tmp/lumora-<uid>/),
// ends with '/'; "" when it cannot be made safe.
std::string InstanceRuntimeFolder();
// Full socket path for the caption.
std::string InstanceSocketPath(const std::string& caption);

// Record on the wire: "LMR1", version, msg, wParam, lParam, all little endian, 24 bytes.
constexpr int kInstanceRecordSize = 24;
constexpr uint32_t kInstanceRecordVersion = 1;

class InstanceServer : public QObject {
  Q_OBJECT
 public:
  explicit InstanceServer(QObject* parent = nullptr);
  ~InstanceServer() override;
  // Owns the socket for caption; good records become PostMessage(target, ...).
  bool Listen(const std::string& caption, HWND target);
  void Close();
  bool IsListening() const;
  // Records accepted and rejected so far.
  int AcceptedCount() const { return accepted_; }
  int RejectedCount() const { return rejected_; }

 private:
  void onNewConnection();
  void onReadyRead(QLocalSocket* s);
  void reject(QLocalSocket* s, const char* why);

  QLocalServer* server_ = nullptr;
  HWND target_ = 0;
  int accepted_ = 0;
  int rejected_ = 0;
};

}  // namespace plat

// Single instance across processes: a per-user local socket named after the main caption.
#pragma once

#include <QObject>
#include <string>

#include "platform/Types.h"

class QByteArray;
class QLocalServer;
class QLocalSocket;

namespace plat {

// A live player with that main window caption owns the per-user socket.
bool FindRunningInstance(const std::string& caption);
// Sends one fixed-size record; true once it was written to the socket.
bool PostToRunningInstance(const std::string& caption, unsigned msg, WPARAM w, LPARAM l);

// The per-user runtime folder ($LUMORA_RUNTIME_DIR, $XDG_RUNTIME_DIR or /tmp/lumora-<uid>/),
// ends with '/'; "" when it cannot be made safe. An existing folder that is
// not private to this user is left as it is: a private "lumora-<uid>/" inside
// it is used instead when that is safe, otherwise the next candidate.
std::string InstanceRuntimeFolder();
// Full socket path for the caption.
std::string InstanceSocketPath(const std::string& caption);

// The lock that makes "is a player running?" and "become the player" one
// step. The first caller in any process wins and this process keeps it until
// ReleaseInstanceLock or its end; calling again from the winner answers
// kOwned. kUnavailable: no runtime folder, nothing to coordinate with.
enum class InstanceLockState { kOwned, kHeldByOther, kUnavailable };
InstanceLockState AcquireInstanceLock(const std::string& caption);
void ReleaseInstanceLock(const std::string& caption);

// Later starts take turns talking to the running player, so one's hand-off
// is taken before the next is written. Waits up to timeoutMs for the turn.
class InstanceTurn {
 public:
  InstanceTurn() = default;
  InstanceTurn(const InstanceTurn&) = delete;
  InstanceTurn& operator=(const InstanceTurn&) = delete;
  ~InstanceTurn();
  bool Take(const std::string& caption, int timeoutMs);
  void Release();

 private:
  int fd_ = -1;
};

// Record on the wire: "LMR1", version, msg, wParam, lParam, all little endian, 24 bytes.
constexpr int kInstanceRecordSize = 24;
constexpr uint32_t kInstanceRecordVersion = 1;
// A record exactly as the server reads it; false for anything that is not one.
bool DecodeInstanceRecord(const QByteArray& record, unsigned& msg, WPARAM& w, LPARAM& l);
QByteArray EncodeInstanceRecord(unsigned msg, WPARAM w, LPARAM l);

class InstanceServer : public QObject {
  Q_OBJECT
 public:
  explicit InstanceServer(QObject* parent = nullptr);
  ~InstanceServer() override;
  // Owns the socket for caption; good records become PostMessage(target, ...).
  // Takes the instance lock first; false when another process holds it.
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
  std::string caption_;  // set while listening
  HWND target_ = 0;
  int accepted_ = 0;
  int rejected_ = 0;
};

}  // namespace plat

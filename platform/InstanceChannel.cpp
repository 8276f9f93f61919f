#include "platform/InstanceChannel.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/ProgramFolder.h"
#include "platform/Window.h"

namespace plat {
namespace {

constexpr char kMagic[4] = {'L', 'M', 'R', '1'};
constexpr int kConnectTimeoutMs = 1000;
constexpr int kRecordTimeoutMs = 2000;

bool IsPrivateFolder(const std::string& folder) {
  struct stat st;
  return lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() &&
         (st.st_mode & 077) == 0;
}

// The folder itself when it is a real directory of ours closed to everybody
// else. A folder the player makes here is closed by it; an existing one is
// never changed: when it is shared (say a sticky 1777 folder) a private
// "lumora-<uid>/" inside it serves, as long as nobody else can move that away.
std::string PrivateFolder(const std::string& folder, bool create) {
  if (create && mkdir(folder.c_str(), 0700) == 0) chmod(folder.c_str(), 0700);
  struct stat st;
  if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return {};
  if (IsPrivateFolder(folder)) return folder;
  const bool trustedOwner = st.st_uid == getuid() || st.st_uid == 0;
  const bool othersCanRename = (st.st_mode & 022) != 0 && (st.st_mode & S_ISVTX) == 0;
  if (!trustedOwner || othersCanRename) {
    qWarning("instance channel: %s is not private to this user, not used", folder.c_str());
    return {};
  }
  const std::string sub = folder + "lumora-" + std::to_string(getuid()) + "/";
  if (mkdir(sub.c_str(), 0700) == 0) chmod(sub.c_str(), 0700);
  if (IsPrivateFolder(sub)) return sub;
  qWarning("instance channel: %s is not private to this user, not used", sub.c_str());
  return {};
}

// A lock file of ours in the private runtime folder; -1 when it is anything else.
int OpenLockFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
  if (fd < 0) return -1;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != getuid()) {
    close(fd);
    return -1;
  }
  return fd;
}

std::string LockPath(const std::string& caption, const char* suffix) {
  const std::string socket = InstanceSocketPath(caption);
  return socket.empty() ? std::string() : socket + suffix;
}

std::mutex g_lockMutex;
std::map<std::string, int> g_heldLocks;  // lock path -> descriptor holding it

void PutLE(char* p, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

uint64_t GetLE(const char* p, int bytes) {
  uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v |= static_cast<uint64_t>(static_cast<uint8_t>(p[i])) << (8 * i);
  return v;
}

// Layout: magic[4], version u16, msg u16, wParam u64, lParam i64.
QByteArray EncodeRecord(unsigned msg, WPARAM w, LPARAM l) {
  QByteArray rec(kInstanceRecordSize, '\0');
  char* p = rec.data();
  std::memcpy(p, kMagic, 4);
  PutLE(p + 4, kInstanceRecordVersion, 2);
  PutLE(p + 6, msg, 2);
  PutLE(p + 8, static_cast<uint64_t>(w), 8);
  PutLE(p + 16, static_cast<uint64_t>(l), 8);
  return rec;
}

bool DecodeRecord(const QByteArray& rec, unsigned& msg, WPARAM& w, LPARAM& l) {
  if (rec.size() != kInstanceRecordSize) return false;
  const char* p = rec.constData();
  if (std::memcmp(p, kMagic, 4) != 0) return false;
  if (GetLE(p + 4, 2) != kInstanceRecordVersion) return false;
  msg = static_cast<unsigned>(GetLE(p + 6, 2));
  w = static_cast<WPARAM>(GetLE(p + 8, 8));
  l = static_cast<LPARAM>(GetLE(p + 16, 8));
  return true;
}

bool PeerIsSameUser(QLocalSocket* s) {
  struct ucred cred;
  socklen_t len = sizeof cred;
  if (getsockopt(static_cast<int>(s->socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &cred, &len) !=
      0)
    return false;
  return cred.uid == getuid();
}

bool ConnectTo(QLocalSocket& s, const std::string& caption) {
  const std::string path = InstanceSocketPath(caption);
  if (path.empty()) return false;
  s.connectToServer(QString::fromStdString(path));
  return s.waitForConnected(kConnectTimeoutMs);
}

const char* kSocketProperty = "lumoraRecord";

}  // namespace

bool DecodeInstanceRecord(const QByteArray& record, unsigned& msg, WPARAM& w, LPARAM& l) {
  return DecodeRecord(record, msg, w, l);
}

QByteArray EncodeInstanceRecord(unsigned msg, WPARAM w, LPARAM l) {
  return EncodeRecord(msg, w, l);
}

std::string InstanceRuntimeFolder() {
  for (const char* var : {"LUMORA_RUNTIME_DIR", "XDG_RUNTIME_DIR"}) {
    const QByteArray v = qgetenv(var);
    if (v.isEmpty()) continue;
    const std::string folder = PrivateFolder(WithTrailingSlash(v.toStdString()),
                                             std::strcmp(var, "LUMORA_RUNTIME_DIR") == 0);
    if (!folder.empty()) return folder;
  }
  const std::string folder = "/tmp/lumora-" + std::to_string(getuid()) + "/";
  // Here only the folder itself will do: /tmp is shared, and one made there by
  // somebody else must not lend us a sub-folder either.
  if (mkdir(folder.c_str(), 0700) == 0) chmod(folder.c_str(), 0700);
  return IsPrivateFolder(folder) ? folder : std::string();
}

InstanceLockState AcquireInstanceLock(const std::string& caption) {
  const std::string path = LockPath(caption, ".lock");
  if (path.empty()) return InstanceLockState::kUnavailable;
  std::lock_guard lk(g_lockMutex);
  if (g_heldLocks.count(path)) return InstanceLockState::kOwned;
  const int fd = OpenLockFile(path);
  if (fd < 0) return InstanceLockState::kUnavailable;
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
    g_heldLocks[path] = fd;
    return InstanceLockState::kOwned;
  }
  const int err = errno;
  close(fd);
  return err == EWOULDBLOCK ? InstanceLockState::kHeldByOther : InstanceLockState::kUnavailable;
}

void ReleaseInstanceLock(const std::string& caption) {
  const std::string path = LockPath(caption, ".lock");
  std::lock_guard lk(g_lockMutex);
  auto it = g_heldLocks.find(path);
  if (it == g_heldLocks.end()) return;
  close(it->second);  // closing the only descriptor drops the lock
  g_heldLocks.erase(it);
}

InstanceTurn::~InstanceTurn() { Release(); }

void InstanceTurn::Release() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

bool InstanceTurn::Take(const std::string& caption, int timeoutMs) {
  Release();
  const std::string path = LockPath(caption, ".turn");
  if (path.empty()) return false;
  const int fd = OpenLockFile(path);
  if (fd < 0) return false;
  QElapsedTimer waited;
  waited.start();
  for (;;) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
      fd_ = fd;
      return true;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) break;
    if (waited.elapsed() >= timeoutMs) break;
    usleep(5000);
  }
  close(fd);
  return false;
}

std::string InstanceSocketPath(const std::string& caption) {
  const std::string folder = InstanceRuntimeFolder();
  if (folder.empty()) return {};
  // A hash keeps any caption within the socket path limit and free of odd characters.
  const QByteArray hash =
      QCryptographicHash::hash(QByteArray::fromStdString(caption), QCryptographicHash::Sha256)
          .toHex()
          .left(24);
  return folder + "lumora-" + hash.toStdString() + ".sock";
}

bool FindRunningInstance(const std::string& caption) {
  QLocalSocket s;
  if (!ConnectTo(s, caption)) return false;
  s.disconnectFromServer();
  return true;
}

bool PostToRunningInstance(const std::string& caption, unsigned msg, WPARAM w, LPARAM l) {
  if (msg > 0xFFFF) return false;  // window messages fit in 16 bits on the wire
  QLocalSocket s;
  if (!ConnectTo(s, caption)) return false;
  const QByteArray rec = EncodeRecord(msg, w, l);
  if (s.write(rec) != rec.size()) return false;
  bool ok = true;
  while (s.bytesToWrite() > 0 && ok) ok = s.waitForBytesWritten(kConnectTimeoutMs);
  s.disconnectFromServer();
  if (s.state() != QLocalSocket::UnconnectedState) s.waitForDisconnected(kConnectTimeoutMs);
  return ok;
}

InstanceServer::InstanceServer(QObject* parent) : QObject(parent) {}

InstanceServer::~InstanceServer() { Close(); }

bool InstanceServer::IsListening() const { return server_ && server_->isListening(); }

void InstanceServer::Close() {
  if (server_) {
    server_->close();  // also removes the socket file
    delete server_;
    server_ = nullptr;
  }
  if (!caption_.empty()) ReleaseInstanceLock(caption_);
  caption_.clear();
}

bool InstanceServer::Listen(const std::string& caption, HWND target) {
  Close();
  const std::string path = InstanceSocketPath(caption);
  if (path.empty()) return false;
  // Two players starting at once: only the holder of the lock may listen.
  const InstanceLockState lock = AcquireInstanceLock(caption);
  if (lock == InstanceLockState::kHeldByOther) {
    qWarning("instance channel: another player holds %s.lock", path.c_str());
    return false;
  }
  bool ok = false;
  if (FindRunningInstance(caption)) {
    qWarning("instance channel: another player already owns %s", path.c_str());
  } else {
    // Whatever is left there belongs to a player that is gone.
    QLocalServer::removeServer(QString::fromStdString(path));
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    ok = server_->listen(QString::fromStdString(path));
    if (!ok) {
      qWarning("instance channel: cannot listen on %s: %s", path.c_str(),
               qPrintable(server_->errorString()));
      delete server_;
      server_ = nullptr;
    } else {
      chmod(path.c_str(), 0600);
      target_ = target;
      connect(server_, &QLocalServer::newConnection, this, &InstanceServer::onNewConnection);
    }
  }
  // The lock stays with this process either way: it is the one trying to be the player.
  if (ok) caption_ = caption;
  return ok;
}

void InstanceServer::onNewConnection() {
  while (QLocalSocket* s = server_ ? server_->nextPendingConnection() : nullptr) {
    connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
    if (!PeerIsSameUser(s)) {
      reject(s, "peer is another user");
      continue;
    }
    s->setProperty(kSocketProperty, QByteArray());
    // A record that does not arrive whole in time is dropped.
    auto* timer = new QTimer(s);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, s, [this, s]() {
      if (!s->property(kSocketProperty).toByteArray().isEmpty() || s->bytesAvailable() > 0)
        reject(s, "record not completed in time");
      else
        s->abort();
    });
    timer->start(kRecordTimeoutMs);
    connect(s, &QLocalSocket::readyRead, this, [this, s]() { onReadyRead(s); });
    connect(s, &QLocalSocket::disconnected, this, [this, s]() {
      // Read what came with the hang-up; a partial record is refused.
      if (s->bytesAvailable() > 0) onReadyRead(s);
      if (s->property("lumoraDone").toBool()) return;
      if (!s->property(kSocketProperty).toByteArray().isEmpty()) reject(s, "half-sent record");
    });
    if (s->bytesAvailable() > 0) onReadyRead(s);
  }
}

void InstanceServer::onReadyRead(QLocalSocket* s) {
  if (s->property("lumoraDone").toBool()) {
    s->readAll();
    return;
  }
  QByteArray buf = s->property(kSocketProperty).toByteArray();
  buf += s->read(kInstanceRecordSize + 1 - buf.size());
  if (buf.size() > kInstanceRecordSize || s->bytesAvailable() > 0) {
    reject(s, "oversized record");
    return;
  }
  s->setProperty(kSocketProperty, buf);
  if (buf.size() < kInstanceRecordSize) return;
  unsigned msg = 0;
  WPARAM w = 0;
  LPARAM l = 0;
  if (!DecodeRecord(buf, msg, w, l)) {
    reject(s, "garbled record");
    return;
  }
  s->setProperty("lumoraDone", true);
  ++accepted_;
  if (!PostMessage(target_, msg, w, l))
    qWarning("instance channel: target window is gone, message %u dropped", msg);
}

void InstanceServer::reject(QLocalSocket* s, const char* why) {
  if (s->property("lumoraDone").toBool()) return;
  s->setProperty("lumoraDone", true);
  ++rejected_;
  qWarning("instance channel: %s ignored", why);
  s->abort();
}

}  // namespace plat

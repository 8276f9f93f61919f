#include "platform/InstanceChannel.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <cerrno>
#include <cstring>

#include "platform/ProgramFolder.h"
#include "platform/Window.h"

namespace plat {
namespace {

constexpr char kMagic[4] = {'L', 'M', 'R', '1'};
constexpr int kConnectTimeoutMs = 1000;
constexpr int kRecordTimeoutMs = 2000;

// Makes sure folder is a real directory owned by us and closed to everybody else.
bool MakePrivateFolder(const std::string& folder, bool create) {
  if (create) mkdir(folder.c_str(), 0700);
  struct stat st;
  if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  if (st.st_uid != getuid()) {
    qWarning("instance channel: %s belongs to another user, not used", folder.c_str());
    return false;
  }
  if ((st.st_mode & 077) != 0 && chmod(folder.c_str(), 0700) != 0) return false;
  return true;
}

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

std::string InstanceRuntimeFolder() {
  for (const char* var : {"LUMORA_RUNTIME_DIR", "XDG_RUNTIME_DIR"}) {
    const QByteArray v = qgetenv(var);
    if (v.isEmpty()) continue;
    std::string folder = WithTrailingSlash(v.toStdString());
    if (MakePrivateFolder(folder, std::strcmp(var, "LUMORA_RUNTIME_DIR") == 0)) return folder;
  }
  std::string folder = "/tmp/lumora-" + std::to_string(getuid()) + "/";
  return MakePrivateFolder(folder, true) ? folder : std::string();
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
}

bool InstanceServer::Listen(const std::string& caption, HWND target) {
  Close();
  const std::string path = InstanceSocketPath(caption);
  if (path.empty()) return false;
  // Two players starting at once: the lock makes the check and the listen one step.
  const std::string lockPath = path + ".lock";
  int lockFd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lockFd >= 0) flock(lockFd, LOCK_EX);
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
  if (lockFd >= 0) {
    flock(lockFd, LOCK_UN);
    close(lockFd);
  }
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

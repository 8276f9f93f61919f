#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <cstring>
#include <memory>
#include <vector>

#include "TestApp.h"
#include "platform/InstanceChannel.h"
#include "platform/Window.h"

using namespace plat;

namespace {

const char kCaption[] = "Lumora DVD Player Main Window";

struct Got {
  unsigned msg;
  WPARAM w;
  LPARAM l;
};

class InstanceChannelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApp();
    qputenv("LUMORA_RUNTIME_DIR", (dir.path() + "/run").toLocal8Bit());
    window = std::make_unique<QWidget>();
    h = RegisterWindow(window.get(), [this](unsigned m, WPARAM w, LPARAM l, LRESULT&) {
      got.push_back({m, w, l});
      return true;
    });
  }
  void TearDown() override { qunsetenv("LUMORA_RUNTIME_DIR"); }

  // Runs the helper while this process keeps serving its socket.
  int Helper(const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(QCoreApplication::applicationDirPath() + "/platform_instance_helper", args);
    if (!p.waitForStarted(5000)) return -1;
    while (p.state() != QProcess::NotRunning) PumpMessages(10);
    PumpMessages(50);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
  }
  static QString Hex(const QByteArray& b) { return QString::fromLatin1(b.toHex()); }
  static QByteArray Record(uint16_t msg, uint64_t w, int64_t l, const char* magic = "LMR1") {
    QByteArray r(24, '\0');
    std::memcpy(r.data(), magic, 4);
    r[4] = 1;
    r[6] = static_cast<char>(msg & 0xFF);
    r[7] = static_cast<char>(msg >> 8);
    for (int i = 0; i < 8; ++i) r[8 + i] = static_cast<char>(w >> (8 * i));
    for (int i = 0; i < 8; ++i) r[16 + i] = static_cast<char>(static_cast<uint64_t>(l) >> (8 * i));
    return r;
  }

  QTemporaryDir dir;
  std::unique_ptr<QWidget> window;
  HWND h = 0;
  std::vector<Got> got;
};

TEST_F(InstanceChannelTest, SecondProcessFindsThePlayerAndPostsToIt) {
  EXPECT_FALSE(FindRunningInstance(kCaption));
  EXPECT_EQ(Helper({"find", kCaption}), 1);
  InstanceServer server;
  ASSERT_TRUE(server.Listen(kCaption, h));
  EXPECT_EQ(Helper({"find", kCaption}), 0);
  EXPECT_EQ(Helper({"find", "Some Other Caption"}), 1);
  EXPECT_EQ(Helper({"post", kCaption, "1158", "0x1122334455667788", "-5"}), 0);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].msg, 1158u);
  EXPECT_EQ(got[0].w, static_cast<WPARAM>(0x1122334455667788ULL));
  EXPECT_EQ(got[0].l, -5);
  EXPECT_EQ(server.AcceptedCount(), 1);

  // Folder and socket are closed to other users.
  struct stat st;
  ASSERT_EQ(stat(InstanceRuntimeFolder().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  ASSERT_EQ(stat(InstanceSocketPath(kCaption).c_str(), &st), 0);
  EXPECT_TRUE(S_ISSOCK(st.st_mode));
  EXPECT_EQ(st.st_mode & 077, 0u);

  // Only one owner per caption.
  InstanceServer second;
  EXPECT_FALSE(second.Listen(kCaption, h));
  server.Close();
  EXPECT_FALSE(FindRunningInstance(kCaption));
}

TEST_F(InstanceChannelTest, BadRecordsAreIgnored) {
  InstanceServer server;
  ASSERT_TRUE(server.Listen(kCaption, h));
  const QString path = QString::fromStdString(InstanceSocketPath(kCaption));
  const QByteArray good = Record(1158, 1, 2);
  EXPECT_EQ(Helper({"raw", path, Hex(Record(1158, 0, 0, "XXXX"))}), 0);  // garbled
  EXPECT_EQ(Helper({"raw", path, Hex(good + good)}), 0);                 // oversized
  EXPECT_EQ(Helper({"raw", path, Hex(good.left(10))}), 0);               // half, then hang-up
  QByteArray badVersion = good;
  badVersion[4] = 9;
  EXPECT_EQ(Helper({"raw", path, Hex(badVersion)}), 0);
  EXPECT_EQ(Helper({"raw", path, Hex(good.left(10)), "2600"}), 0);  // half, then silence
  EXPECT_TRUE(got.empty());
  EXPECT_EQ(server.RejectedCount(), 5);
  // The server still works afterwards.
  EXPECT_EQ(Helper({"raw", path, Hex(good)}), 0);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].l, 2);
}

TEST_F(InstanceChannelTest, StaleSocketOfACrashedPlayerDoesNotBlock) {
  const std::string path = InstanceSocketPath(kCaption);
  ASSERT_FALSE(path.empty());
  int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  close(fd);  // bound, never listening: what a killed process leaves behind
  EXPECT_FALSE(FindRunningInstance(kCaption));
  EXPECT_FALSE(PostToRunningInstance(kCaption, 1158, 0, 0));
  InstanceServer server;
  EXPECT_TRUE(server.Listen(kCaption, h));
  EXPECT_TRUE(PostToRunningInstance(kCaption, 1158, 7, 0));
  PumpMessages(50);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].w, 7u);
  EXPECT_FALSE(PostToRunningInstance(kCaption, 0x10000, 0, 0));
}

TEST_F(InstanceChannelTest, OtherUsersAreRefused) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  InstanceServer server;
  ASSERT_TRUE(server.Listen(kCaption, h));
  const std::string path = InstanceSocketPath(kCaption);
  // Open everything up so only the peer check stands in the way.
  chmod(InstanceRuntimeFolder().c_str(), 0777);
  chmod(dir.path().toLocal8Bit().constData(), 0777);
  chmod(path.c_str(), 0666);
  EXPECT_EQ(Helper({"raw", QString::fromStdString(path), Hex(Record(1158, 0, 0)), "0", "65534"}),
            0);
  EXPECT_TRUE(got.empty());
  EXPECT_EQ(server.RejectedCount(), 1);

  // A runtime folder that belongs to someone else is passed over for the next one.
  const QString foreign = dir.path() + "/foreign";
  const QString xdg = dir.path() + "/xdg";
  ASSERT_EQ(mkdir(foreign.toLocal8Bit().constData(), 0700), 0);
  ASSERT_EQ(mkdir(xdg.toLocal8Bit().constData(), 0700), 0);
  ASSERT_EQ(chown(foreign.toLocal8Bit().constData(), 65534, 65534), 0);
  const QByteArray oldXdg = qgetenv("XDG_RUNTIME_DIR");
  qputenv("LUMORA_RUNTIME_DIR", foreign.toLocal8Bit());
  qputenv("XDG_RUNTIME_DIR", xdg.toLocal8Bit());
  EXPECT_EQ(InstanceRuntimeFolder(), xdg.toStdString() + "/");
  InstanceServer other;
  EXPECT_TRUE(other.Listen(kCaption, h));
  EXPECT_EQ(InstanceSocketPath(kCaption).rfind(xdg.toStdString(), 0), 0u);
  other.Close();
  if (oldXdg.isEmpty())
    qunsetenv("XDG_RUNTIME_DIR");
  else
    qputenv("XDG_RUNTIME_DIR", oldXdg);
}

// A runtime folder the player did not make is never changed: a private one is
// used as it is, a shared sticky one lends a private sub-folder, and one that
// others could rearrange is passed over.
TEST_F(InstanceChannelTest, ExistingRuntimeFoldersKeepTheirMode) {
  auto mode = [](const QString& path) {
    struct stat st;
    return lstat(path.toLocal8Bit().constData(), &st) == 0 ? st.st_mode & 07777 : 0u;
  };
  const QString sub = "lumora-" + QString::number(getuid()) + "/";
  const QString shared = dir.path() + "/shared";
  const QString open = dir.path() + "/open";
  const QString xdg = dir.path() + "/xdg";
  ASSERT_EQ(mkdir(shared.toLocal8Bit().constData(), 0700), 0);
  ASSERT_EQ(mkdir(open.toLocal8Bit().constData(), 0700), 0);
  ASSERT_EQ(mkdir(xdg.toLocal8Bit().constData(), 0700), 0);
  chmod(shared.toLocal8Bit().constData(), 01777);
  chmod(open.toLocal8Bit().constData(), 0777);
  const QByteArray oldXdg = qgetenv("XDG_RUNTIME_DIR");
  qputenv("XDG_RUNTIME_DIR", xdg.toLocal8Bit());

  qputenv("LUMORA_RUNTIME_DIR", shared.toLocal8Bit());
  EXPECT_EQ(InstanceRuntimeFolder(), (shared + "/" + sub).toStdString());
  EXPECT_EQ(mode(shared), 01777u);
  EXPECT_EQ(mode(shared + "/" + sub), 0700u);
  // The private folder, once there, must stay ours and closed.
  chmod((shared + "/" + sub).toLocal8Bit().constData(), 0755);
  EXPECT_EQ(InstanceRuntimeFolder(), xdg.toStdString() + "/");
  EXPECT_EQ(mode(shared + "/" + sub), 0755u);

  // World-writable without the sticky bit: anyone could swap the sub-folder.
  qputenv("LUMORA_RUNTIME_DIR", open.toLocal8Bit());
  EXPECT_EQ(InstanceRuntimeFolder(), xdg.toStdString() + "/");
  EXPECT_EQ(mode(open), 0777u);
  EXPECT_FALSE(QFileInfo::exists(open + "/" + sub));

  // A folder the player makes itself is closed by it.
  const QString made = dir.path() + "/made";
  qputenv("LUMORA_RUNTIME_DIR", made.toLocal8Bit());
  EXPECT_EQ(InstanceRuntimeFolder(), made.toStdString() + "/");
  EXPECT_EQ(mode(made), 0700u);

  if (oldXdg.isEmpty())
    qunsetenv("XDG_RUNTIME_DIR");
  else
    qputenv("XDG_RUNTIME_DIR", oldXdg);
}

// The lock is what decides which start is the player: the holder keeps it
// while listening, another process is refused, and it is free once closed.
TEST_F(InstanceChannelTest, OnlyTheLockHolderListens) {
  InstanceServer server;
  ASSERT_TRUE(server.Listen(kCaption, h));
  EXPECT_EQ(AcquireInstanceLock(kCaption), InstanceLockState::kOwned);
  EXPECT_EQ(Helper({"lock", kCaption}), 1);  // held here
  server.Close();
  EXPECT_EQ(Helper({"lock", kCaption}), 0);  // free again
  EXPECT_FALSE(FindRunningInstance(kCaption));
}

TEST_F(InstanceChannelTest, TurnsAreTakenOneAtATime) {
  InstanceTurn mine;
  ASSERT_TRUE(mine.Take(kCaption, 1000));
  EXPECT_EQ(Helper({"turn", kCaption, "100"}), 1);
  mine.Release();
  EXPECT_EQ(Helper({"turn", kCaption, "100"}), 0);
}

}  // namespace

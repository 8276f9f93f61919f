// Second process for the instance channel tests.
//   find CAPTION                 exit 0 when a player owns the caption
//   post CAPTION MSG W L         PostToRunningInstance
//   raw PATH HEX [hold-ms] [uid] connect to PATH, send the bytes, wait, hang up
//   lock CAPTION                 exit 0 when this process could take the instance lock
//   turn CAPTION MS              exit 0 when this process got a turn within MS
#include <unistd.h>

#include <QCoreApplication>
#include <QLocalSocket>
#include <QThread>
#include <cstdlib>
#include <string>

#include "platform/InstanceChannel.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc < 3) return 2;
  const std::string mode = argv[1];
  if (mode == "find") return plat::FindRunningInstance(argv[2]) ? 0 : 1;
  if (mode == "lock")
    return plat::AcquireInstanceLock(argv[2]) == plat::InstanceLockState::kOwned ? 0 : 1;
  if (mode == "turn" && argc == 4) {
    plat::InstanceTurn turn;
    return turn.Take(argv[2], std::atoi(argv[3])) ? 0 : 1;
  }
  if (mode == "post" && argc == 6)
    return plat::PostToRunningInstance(argv[2], std::strtoul(argv[3], nullptr, 0),
                                       std::strtoull(argv[4], nullptr, 0),
                                       std::strtoll(argv[5], nullptr, 0))
               ? 0
               : 1;
  if (mode == "raw" && argc >= 4) {
    if (argc >= 6) {
      const uid_t uid = static_cast<uid_t>(std::atoi(argv[5]));
      if (setgid(uid) != 0 || setuid(uid) != 0) return 3;
    }
    QLocalSocket s;
    s.connectToServer(QString::fromLocal8Bit(argv[2]));
    if (!s.waitForConnected(2000)) return 1;
    s.write(QByteArray::fromHex(argv[3]));
    s.waitForBytesWritten(2000);
    if (argc >= 5) QThread::msleep(std::atoi(argv[4]));
    s.disconnectFromServer();
    return 0;
  }
  return 2;
}

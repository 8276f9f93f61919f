#include "platform/ProgramFolder.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace plat {

std::string WithTrailingSlash(const std::string& folder) {
  std::string f = folder;
  for (char& c : f)
    if (c == '\\') c = '/';
  if (!f.empty() && f.back() != '/') f += '/';
  return f;
}

std::string ExecutableFolder() {
  QString dir;
  if (QCoreApplication::instance()) dir = QCoreApplication::applicationDirPath();
  if (dir.isEmpty()) {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n > 0) {
      buf[n] = 0;
      dir = QFileInfo(QString::fromLocal8Bit(buf)).absolutePath();
    }
  }
  if (dir.isEmpty()) dir = QDir::currentPath();
  return WithTrailingSlash(dir.toStdString());
}

std::string ProgramFolder() {
  const QByteArray home = qgetenv("LUMORA_HOME");
  if (!home.isEmpty()) {
    QDir().mkpath(QString::fromLocal8Bit(home));
    return WithTrailingSlash(home.toStdString());
  }
  const std::string exe = ExecutableFolder();
  if (access(exe.c_str(), W_OK) == 0) return exe;
  const QString data = QDir::homePath() + "/.local/share/LumoraDVD/";
  QDir().mkpath(data);
  return WithTrailingSlash(data.toStdString());
}

std::string SkinRootFolder() {
  const std::string program = ProgramFolder();
  const std::string own = program + "Skin/";
  if (QFileInfo(QString::fromStdString(own)).isDir()) return own;
  // A system install keeps its skins in the share folder beside bin/.
  const std::string exe = ExecutableFolder();
  for (const std::string& candidate : {exe + "../share/LumoraDVD/Skin/", exe + "Skin/",
                                       std::string("/usr/share/LumoraDVD/Skin/")}) {
    QFileInfo fi(QString::fromStdString(candidate));
    if (fi.isDir()) return WithTrailingSlash(fi.canonicalFilePath().toStdString());
  }
  return own;
}

}  // namespace plat

// A process killed at any moment while it saves the lists leaves each list file either as
// it was or as it was to become, never empty or cut off.
#include <gtest/gtest.h>
#include <signal.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <random>

namespace {

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool Emit(const QString& home, int version) {
  return QProcess::execute(LIST_SAVE_CHILD, {home + "/", "emit", QString::number(version)}) == 0;
}

TEST(ListKill, SigkillWhileSavingNeverLeavesAHalfWrittenList) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString home = dir.path();
  QFile media(home + "/media.avi");
  ASSERT_TRUE(media.open(QIODevice::WriteOnly));
  media.write("x");
  media.close();
  QDir().mkpath(home + "/Bookmark");

  // The two versions the looping process switches between.
  QByteArray play[2], marks[2];
  for (int v : {0, 1}) {
    ASSERT_TRUE(Emit(home, v));
    play[v] = Read(home + "/PlayList.fpl");
    marks[v] = Read(home + "/Bookmark.bkm");
    ASSERT_FALSE(play[v].isEmpty());
  }
  ASSERT_NE(play[0], play[1]);

  std::mt19937 rng(12345);
  std::uniform_int_distribution<int> wait(0, 300);
  int sawNew = 0, sawOld = 0;
  for (int round = 0; round < 50; ++round) {
    QProcess child;
    child.start(LIST_SAVE_CHILD, {home + "/", "loop"});
    ASSERT_TRUE(child.waitForStarted(5000));
    ASSERT_TRUE(child.waitForReadyRead(20000)) << "the saving process did not start";
    QThread::msleep(static_cast<unsigned long>(wait(rng)));
    ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
    child.waitForFinished(5000);

    const QByteArray p = Read(home + "/PlayList.fpl");
    const QByteArray b = Read(home + "/Bookmark.bkm");
    ASSERT_TRUE(p == play[0] || p == play[1]) << "round " << round << ": " << p.size() << " bytes";
    ASSERT_TRUE(b == marks[0] || b == marks[1])
        << "round " << round << ": " << b.size() << " bytes";
    (p == play[1] ? sawNew : sawOld)++;
    // Every picture a list names is a whole picture.
    for (const QByteArray& line : b.split('\n')) {
      if (!line.contains("bmbmp-")) continue;
      const QImage thumb(QString::fromUtf8(line.trimmed()), "BMP");
      ASSERT_FALSE(thumb.isNull()) << line.toStdString();
    }
  }
  // The kills landed on both sides of a save.
  EXPECT_GT(sawNew, 0);
  EXPECT_GT(sawOld, 0);
}

}  // namespace

// clipcore-cli, which the benchmarks drive: its script commands and what it prints.
#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include "Fixtures.h"

using namespace clipcore_test;

namespace {

QStringList RunCli(const QStringList& args, const QByteArray& script, const QStringList& env = {},
                   QString* errors = nullptr) {
  QProcess p;
  QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
  e.insert("QT_QPA_PLATFORM", "offscreen");
  e.insert("LUMORA_AUDIO", "null");
  for (const QString& kv : env) e.insert(kv.section('=', 0, 0), kv.section('=', 1));
  p.setProcessEnvironment(e);
  p.start(CLIPCORE_CLI, args);
  if (!p.waitForStarted()) return {};
  p.write(script);
  p.closeWriteChannel();
  if (!p.waitForFinished(60000)) p.kill();
  if (errors) *errors = QString::fromUtf8(p.readAllStandardError());
  return QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

TEST(ClipcoreCli, ScriptDrivesPlaybackAndPrintsEventsAndPositions) {
  DefaultEnvironment();
  const QString clip = QString::fromStdString(Clip());
  const QString shot = QString::fromStdString(FixtureDir() + "cli-shot.bmp");
  const QStringList out =
      RunCli({"--script", "-"}, QString("open %1\npause\nseek 9\ninfo\n"
                                        "snapshot %2\nrate 3\nplay\nwaitend 20000\n"
                                        "bogus\n")
                                    .arg(clip, shot)
                                    .toUtf8());
  ASSERT_FALSE(out.isEmpty());
  EXPECT_TRUE(out[0].startsWith("ok open ")) << out[0].toStdString();
  EXPECT_TRUE(out.contains("size 640 360 seek 1"));
  EXPECT_TRUE(out.contains("pos 9.000 10.000 90"));
  EXPECT_TRUE(out.contains("ok snapshot"));
  EXPECT_TRUE(out.contains("ok rate 3"));
  EXPECT_TRUE(out.contains("event 1 0 0"));
  EXPECT_TRUE(out.contains("fail unknown command bogus"));
  EXPECT_TRUE(out.last().startsWith("usage cpu="));
  EXPECT_EQ(QImage(shot).size(), QSize(640, 360));
}

TEST(ClipcoreCli, TvScanAndBadSources) {
  const QStringList tv = RunCli({"--tv", "--script", "-"}, "scan\nwaitscan 20000\nchannel 5\n",
                                {"LUMORA_TV=sim:5,2,9"});
  ASSERT_FALSE(tv.isEmpty());
  EXPECT_EQ(tv[0], "ok open tv");
  EXPECT_TRUE(tv.contains("size 640 480 seek 0"));
  // Position reports may come in between.
  EXPECT_EQ(tv.filter(QRegularExpression("^scan ")),
            (QStringList{"scan found 2", "scan found 5", "scan found 9", "scan end 0"}));
  EXPECT_TRUE(tv.contains("ok channel"));

  const QStringList none = RunCli({"--tv"}, "", {"LUMORA_TV=none"});
  ASSERT_FALSE(none.isEmpty());
  EXPECT_EQ(none[0], "fail open tv");
  const QStringList missing = RunCli({"/nonexistent/file.mp4"}, "");
  ASSERT_FALSE(missing.isEmpty());
  EXPECT_EQ(missing[0], "fail open /nonexistent/file.mp4");
  EXPECT_TRUE(RunCli({"--size", "0x0"}, "").isEmpty());
}

// The engine's reason for refusing a file reaches stderr, one line per refusal.
TEST(ClipcoreCli, RefusalsSayWhy) {
  QString errors;
  RunCli({"/nonexistent/file.mp4"}, "", {}, &errors);
  EXPECT_TRUE(errors.contains("LumoraDVD: Clipcore: refused /nonexistent/file.mp4: not a file\n"))
      << errors.toStdString();

  const QString garbage = QString::fromStdString(FixtureDir() + "garbage.mp4");
  QFile f(garbage);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(QByteArray(4096, 'x'));
  f.close();
  const QStringList out = RunCli({garbage}, "", {}, &errors);
  ASSERT_FALSE(out.isEmpty());
  EXPECT_EQ(out[0], "fail open " + garbage);
  const QRegularExpression why("LumoraDVD: Clipcore: refused \\S*garbage.mp4: \\S.*\n");
  EXPECT_TRUE(why.match(errors).hasMatch()) << errors.toStdString();
}

}  // namespace

// Hundreds of seeks, chapter and title jumps and bookmark restores at random intervals on the
// sample disc's title 1 (12 s, chapters at 0, 4 and 8 s). After each checked command the time
// events must come back, in the right chapter, and the title must never run off to its end.
// LUMORA_STRESS_COUNT and LUMORA_STRESS_SEED change the run.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <random>

#include "TestSupport.h"
#include "platform/Window.h"

using namespace navtest;

namespace {

int EnvInt(const char* name, int def) {
  const char* v = std::getenv(name);
  return v && *v ? std::atoi(v) : def;
}

class StressTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    disc_ = FixturePath("sample-dvd/VIDEO_TS/");
    if (disc_.empty()) GTEST_SKIP() << "sample DVD fixture missing";
  }
  std::string disc_;
};

struct Expect {
  int chapter;
  int fromSecond, toSecond;  // the first time event after the command lies in this range
};

TEST_F(StressTest, SeeksAndJumpsAlwaysResumeInTheRightChapter) {
  OwnerWindow w;
  ASSERT_TRUE(StartDisc(w, disc_));
  ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_DOMAIN_CHANGE));
  ASSERT_TRUE(JumpDVDTitle(1));
  ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_CURRENT_HMSF_TIME));

  // A bookmark in chapter 2, to come back to now and then.
  QTemporaryDir dir;
  const std::string marks = dir.filePath("stress.bmk").toStdString();
  ASSERT_TRUE(SetDVDPositions(5));
  ASSERT_TRUE(PumpUntil([] {
    const Event* e = LastEvent(navdisc::EC_DVD_CURRENT_HMSF_TIME);
    return e && ((e->p1 >> 16) & 0xff) == 5;
  }));
  ASSERT_TRUE(DVDBookmark(marks.c_str(), "B", true));

  const int count = EnvInt("LUMORA_STRESS_COUNT", 240);
  std::mt19937 rng(static_cast<unsigned>(EnvInt("LUMORA_STRESS_SEED", 20261209)));
  // Follows the player's view of the chapter through the events, in order.
  ASSERT_NE(LastEvent(navdisc::EC_DVD_CHAPTER_START), nullptr);
  size_t cursor = Events().size();
  int chapter = LastEvent(navdisc::EC_DVD_CHAPTER_START)->p1;
  bool leftTitle = false;
  auto scan = [&](size_t from, const Expect& want, bool& resumed) {
    for (; cursor < Events().size(); ++cursor) {
      const Event& e = Events()[cursor];
      if (e.code == navdisc::EC_DVD_CHAPTER_START) chapter = e.p1;
      if (e.code == navdisc::EC_DVD_DOMAIN_CHANGE && e.p1 != navdisc::DVD_DOMAIN_Title)
        leftTitle = true;
      if (e.code != navdisc::EC_DVD_CURRENT_HMSF_TIME || cursor < from) continue;
      const int s = (e.p1 >> 16) & 0xff;
      if (s >= want.fromSecond && s <= want.toSecond && chapter == want.chapter) resumed = true;
    }
  };

  int checked = 0;
  for (int i = 0; i < count; ++i) {
    const size_t from = Events().size();
    Expect want{};
    bool ok = false;
    const char* what = "";
    const int kind = static_cast<int>(rng() % 10);
    // Targets stay at least 1.5 s before a chapter's end, so a check never straddles two.
    const int c = 1 + static_cast<int>(rng() % 3);
    const double within = static_cast<double>(rng() % 20) / 10.0;
    if (kind < 5) {
      const double t = (c - 1) * 4 + within;
      ok = SetDVDPositions(t);
      want = {c, static_cast<int>(t), static_cast<int>(t) + 1};
      what = "seek";
    } else if (kind < 7) {
      ok = JumpDVDChapter(static_cast<uint32_t>(c));
      want = {c, (c - 1) * 4, (c - 1) * 4 + 1};
      what = "chapter";
    } else if (kind == 7) {
      ok = JumpDVDTitle(1);
      want = {1, 0, 1};
      what = "title";
    } else if (kind == 8) {
      const int percent = (c - 1) * 34 + static_cast<int>(rng() % 13);
      ok = SetDVDProgress(percent);
      const int t = percent * 12 / 100;
      want = {c, t, t + 1};
      what = "progress";
    } else {
      ok = DVDBookmark(marks.c_str(), "B", false);
      want = {2, 4, 6};
      what = "bookmark";
    }
    ASSERT_TRUE(ok) << what << " #" << i << " refused";
    if (rng() % 3 == 0) {
      // The next command follows at once or after a moment, before anything was checked.
      plat::PumpMessages(static_cast<int>(rng() % 80));
      bool ignored = false;
      scan(Events().size(), want, ignored);
      continue;
    }
    bool resumed = false;
    PumpUntil(
        [&] {
          scan(from, want, resumed);
          return resumed || leftTitle;
        },
        6000);
    ASSERT_FALSE(leftTitle) << what << " #" << i << ": the title ran to its end";
    ASSERT_TRUE(resumed) << what << " #" << i << ": no time event in seconds " << want.fromSecond
                         << ".." << want.toSecond << " of chapter " << want.chapter
                         << " (chapter now " << chapter << ")";
    ++checked;
    // Sometimes the title plays on for a while.
    if (rng() % 4 == 0) plat::PumpMessages(static_cast<int>(rng() % 400));
  }
  EXPECT_GT(checked, count / 2);
}

}  // namespace

// Damaged copies of the sample disc, each opened by the real engine in a process of its own:
// whatever the damage, the process must end by itself (played, or refused cleanly), never by a
// signal and never by hanging.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "navdisc/DiscValidator.h"

extern char** environ;
namespace fs = std::filesystem;

namespace {

struct RunResult {
  bool exited = false;  // ended by itself
  int code = -1;        // exit status when exited
  int signal = 0;       // the killing signal otherwise
  bool timedOut = false;
  std::string output;
  std::string errors;  // the end of stderr: a sanitizer's report lands there
};

std::string FixtureDir() {
  const char* d = std::getenv("LUMORA_FIXTURE_DIR");
  return d ? d : "";
}

std::string RunnerPath() {
  const char* d = std::getenv("LUMORA_BIN_DIR");
  return std::string(d ? d : ".") + "/navdisc_disc_runner";
}

RunResult RunChild(const std::vector<std::string>& args, std::chrono::seconds limit) {
  RunResult r;
  const fs::path out =
      fs::temp_directory_path() / ("lumora-runner-" + std::to_string(::getpid()) + ".txt");
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const fs::path err = fs::path(out).replace_extension(".err");
  posix_spawn_file_actions_addopen(&fa, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  if (rc != 0) return r;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  for (;;) {
    const pid_t w = ::waitpid(pid, &status, WNOHANG);
    if (w == pid) break;
    if (std::chrono::steady_clock::now() > deadline) {
      r.timedOut = true;
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (!r.timedOut && WIFEXITED(status)) {
    r.exited = true;
    r.code = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    r.signal = WTERMSIG(status);
  }
  std::ifstream in(out);
  r.output.assign(std::istreambuf_iterator<char>(in), {});
  fs::remove(out);
  std::ifstream errIn(err);
  std::string errors(std::istreambuf_iterator<char>(errIn), {});
  // libdvdnav is chatty on damaged discs; the end holds what matters.
  constexpr size_t kKeep = 6000;
  r.errors = errors.size() > kKeep ? errors.substr(errors.size() - kKeep) : errors;
  fs::remove(err);
  return r;
}

class DamagedDiscTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sample_ = FixtureDir() + "/sample-dvd/VIDEO_TS";
    ASSERT_TRUE(fs::exists(sample_ + "/VIDEO_TS.IFO"))
        << "sample disc missing; build the sample_fixtures target";
    ASSERT_TRUE(fs::exists(RunnerPath())) << RunnerPath();
    std::string tmpl = (fs::temp_directory_path() / "lumora-damaged-XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    work_ = tmpl;
  }
  void TearDown() override { fs::remove_all(work_); }

  // A fresh copy of the sample disc; returns its root (holding VIDEO_TS/).
  fs::path Copy(int n) {
    const fs::path root = work_ / ("disc" + std::to_string(n));
    fs::create_directories(root);
    fs::copy(sample_, root / "VIDEO_TS", fs::copy_options::recursive);
    return root;
  }
  static std::vector<uint8_t> Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
  }
  static void Write(const fs::path& p, const std::vector<uint8_t>& b) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  }

  // Flips bytes of an IFO file (and, mostly, of its backup too, or the reader would fall back
  // on it); most flips land on bytes that carry data rather than padding.
  void DamageIfo(const fs::path& root, std::mt19937& rng) {
    static const char* kIfos[] = {"VIDEO_TS", "VTS_01_0", "VTS_02_0"};
    const std::string base = kIfos[rng() % 3];
    const fs::path ifo = root / "VIDEO_TS" / (base + ".IFO");
    const fs::path bup = root / "VIDEO_TS" / (base + ".BUP");
    auto data = Read(ifo);
    std::vector<size_t> used;
    for (size_t i = 0x100; i < data.size(); ++i)
      if (data[i]) used.push_back(i);
    const int flips = 1 + static_cast<int>(rng() % 12);
    for (int k = 0; k < flips; ++k) {
      const size_t at =
          (rng() % 5 != 0 && !used.empty()) ? used[rng() % used.size()] : rng() % data.size();
      data[at] ^= static_cast<uint8_t>(1 + rng() % 255);
    }
    Write(ifo, data);
    if (rng() % 10 < 7) Write(bup, data);
  }

  // Flips bytes of a VOB, half of them in navigation packets (start of a sector).
  void DamageVob(const fs::path& root, std::mt19937& rng) {
    static const char* kVobs[] = {"VIDEO_TS.VOB", "VTS_01_0.VOB", "VTS_01_1.VOB", "VTS_02_1.VOB"};
    const fs::path vob = root / "VIDEO_TS" / kVobs[rng() % 4];
    auto data = Read(vob);
    const size_t sectors = data.size() / 2048;
    for (int k = 0; k < 64; ++k) {
      const size_t at =
          (k % 2) ? (rng() % sectors) * 2048 + 0x2d + rng() % 0x3d0 : rng() % data.size();
      data[at] ^= static_cast<uint8_t>(1 + rng() % 255);
    }
    Write(vob, data);
  }

  // Runs the engine on root; the process must end by itself with "played" or "refused".
  void ExpectCleanRun(const fs::path& root, const std::string& what) {
    const RunResult r = RunChild({RunnerPath(), "engine", root.string()}, std::chrono::seconds(60));
    EXPECT_FALSE(r.timedOut) << what << ": hung";
    EXPECT_TRUE(r.exited) << what << ": killed by signal " << r.signal;
    if (r.exited) {
      EXPECT_TRUE(r.code == 0 || r.code == 3)
          << what << ": exit " << r.code << " " << r.output << "\n"
          << r.errors;
    }
  }

  std::string sample_;
  fs::path work_;
};

TEST_F(DamagedDiscTest, IntactDiscPlaysThroughTheEngine) {
  const RunResult r =
      RunChild({RunnerPath(), "engine", Copy(0).string()}, std::chrono::seconds(60));
  ASSERT_TRUE(r.exited) << "signal " << r.signal;
  EXPECT_EQ(r.code, 0) << r.output << "\n" << r.errors;
  // The engine did post events while playing (domain, title and time changes at least).
  int events = 0;
  ASSERT_EQ(std::sscanf(r.output.c_str(), "played, %d events", &events), 1) << r.output;
  EXPECT_GT(events, 3);
}

TEST_F(DamagedDiscTest, FlippedIfoBytesNeverBringTheEngineDown) {
  std::mt19937 rng(20261209);
  for (int n = 0; n < 40; ++n) {
    const fs::path root = Copy(n);
    DamageIfo(root, rng);
    ExpectCleanRun(root, "IFO damage #" + std::to_string(n));
    fs::remove_all(root);
  }
}

TEST_F(DamagedDiscTest, FlippedVobBytesNeverBringTheEngineDown) {
  std::mt19937 rng(777);
  for (int n = 0; n < 12; ++n) {
    const fs::path root = Copy(n);
    DamageVob(root, rng);
    ExpectCleanRun(root, "VOB damage #" + std::to_string(n));
    fs::remove_all(root);
  }
}

struct CutCase {
  const char* file;
  double keep;  // fraction kept; negative: the file (and its backup) removed
};
const CutCase kCutCases[] = {{"VTS_01_1.VOB", 0.5}, {"VTS_01_1.VOB", 0.02}, {"VIDEO_TS.VOB", 0.3},
                             {"VTS_02_1.VOB", 0.0}, {"VTS_01_0.VOB", 0.1},  {"VTS_02_0.IFO", -1},
                             {"VTS_01_0.IFO", -1},  {"VIDEO_TS.IFO", 0.4},  {"VTS_01_0.IFO", 0.5},
                             {"VTS_02_0.IFO", 0.05}};

std::string Cut(const fs::path& root, const CutCase& c) {
  const fs::path f = root / "VIDEO_TS" / c.file;
  if (c.keep < 0) {
    fs::remove(f);
    if (f.extension() == ".IFO") fs::remove(fs::path(f).replace_extension(".BUP"));
  } else {
    fs::resize_file(f, static_cast<uintmax_t>(static_cast<double>(fs::file_size(f)) * c.keep));
  }
  return std::string(c.file) + (c.keep < 0 ? " missing" : " truncated");
}

TEST_F(DamagedDiscTest, TruncatedAndMissingFilesFailOrPlayCleanly) {
  int n = 0;
  for (const CutCase& c : kCutCases) {
    const fs::path root = Copy(n);
    const std::string what = Cut(root, c);
    ExpectCleanRun(root, what);
    fs::remove_all(root);
    ++n;
  }
}

// Menu buttons pressed just after a jump into a title, searches after the disc stopped:
// seeds whose walks once brought libdvdnav down on the intact disc.
TEST_F(DamagedDiscTest, RandomWalkOnTheIntactDiscNeverAborts) {
  for (const char* seed : {"2", "3", "5", "8"}) {
    const RunResult r =
        RunChild({RunnerPath(), "walk", sample_, seed, "2000"}, std::chrono::seconds(90));
    ASSERT_FALSE(r.timedOut) << "seed " << seed << ": hung";
    ASSERT_TRUE(r.exited) << "seed " << seed << ": killed by signal " << r.signal;
    EXPECT_EQ(r.code, 0) << "seed " << seed << ": " << r.output << "\n" << r.errors;
  }
  // A disc whose first-play program stops libdvdnav is played through another view of it;
  // stops and reopenings on that view must hold up as well.
  for (const char* seed : {"4", "6"}) {
    const RunResult r = RunChild({RunnerPath(), "walk", FixtureDir() + "/deadfp-dvd", seed, "2000"},
                                 std::chrono::seconds(90));
    ASSERT_FALSE(r.timedOut) << "dead first play, seed " << seed << ": hung";
    ASSERT_TRUE(r.exited) << "dead first play, seed " << seed << ": killed by signal " << r.signal;
    EXPECT_EQ(r.code, 0) << "dead first play, seed " << seed << ": " << r.output << "\n"
                         << r.errors;
  }
}

// Two thousand seeded commands of every kind, in and out of range, through the exports; the
// engine must neither die nor hang, and must answer a final play with events.
TEST_F(DamagedDiscTest, RandomWalkLeavesTheEngineResponsive) {
  for (const char* seed : {"1", "20261209"}) {
    const RunResult r =
        RunChild({RunnerPath(), "walk", Copy(std::atoi(seed) % 7).string(), seed, "2000"},
                 std::chrono::seconds(90));
    ASSERT_FALSE(r.timedOut) << "seed " << seed << ": hung";
    ASSERT_TRUE(r.exited) << "seed " << seed << ": killed by signal " << r.signal;
    EXPECT_EQ(r.code, 0) << "seed " << seed << ": " << r.output << "\n" << r.errors;
  }
}

// Figures for the whole damaged-copy set (LUMORA_DAMAGE_SURVEY=1; a few minutes): what the
// disc check lets through and how that plays, beside libdvdnav on its own. A copy is "ok" when
// every title and menu read without a failure, "partial" when some reads failed.
TEST_F(DamagedDiscTest, SurveyOfTheDamagedCopies) {
  if (!std::getenv("LUMORA_DAMAGE_SURVEY")) GTEST_SKIP() << "set LUMORA_DAMAGE_SURVEY=1";
  struct Tally {
    int ok = 0, partial = 0, refused = 0, crash = 0, hang = 0;
  } checked, alone;
  auto judge = [](const RunResult& r, Tally& t) -> std::string {
    if (r.timedOut) return ++t.hang, "hang";
    if (!r.exited) return ++t.crash, "crash";
    if (r.output.rfind("refused", 0) == 0 || r.output.rfind("open failed", 0) == 0)
      return ++t.refused, "refused";
    if (r.code == 0) return ++t.ok, "ok";
    return ++t.partial, "partial";
  };
  // One line per copy, so that a change in the figures can be traced to the copies behind it.
  auto survey = [&](const fs::path& root, const std::string& what) {
    const RunResult c = RunChild({RunnerPath(), "nav", root.string()}, std::chrono::seconds(60));
    const RunResult a =
        RunChild({RunnerPath(), "nav", root.string(), "--no-validate"}, std::chrono::seconds(60));
    const std::string vc = judge(c, checked), va = judge(a, alone);
    const size_t last = c.output.find_last_of('\n', c.output.size() >= 2 ? c.output.size() - 2 : 0);
    const std::string line = c.output.substr(last == std::string::npos ? 0 : last + 1);
    std::printf("%-28s checked %-8s alone %-8s %s", what.c_str(), vc.c_str(), va.c_str(),
                line.empty() ? "\n" : line.c_str());
    fs::remove_all(root);
  };
  std::mt19937 ifoRng(20261209);
  for (int n = 0; n < 40; ++n) {
    const fs::path root = Copy(n);
    DamageIfo(root, ifoRng);
    survey(root, "IFO damage #" + std::to_string(n));
  }
  std::mt19937 vobRng(777);
  for (int n = 0; n < 12; ++n) {
    const fs::path root = Copy(n);
    DamageVob(root, vobRng);
    survey(root, "VOB damage #" + std::to_string(n));
  }
  int n = 0;
  for (const CutCase& c : kCutCases) {
    const fs::path root = Copy(n++);
    survey(root, Cut(root, c));
  }
  std::printf("with the disc check: ok %d, partial %d, refused %d, crash %d, hang %d\n", checked.ok,
              checked.partial, checked.refused, checked.crash, checked.hang);
  std::printf("libdvdnav alone:     ok %d, partial %d, refused %d, crash %d, hang %d\n", alone.ok,
              alone.partial, alone.refused, alone.crash, alone.hang);
  EXPECT_EQ(checked.crash, 0);
  EXPECT_EQ(checked.hang, 0);
}

// The validator's own verdicts on damage whose effect on libdvdnav is known.
TEST_F(DamagedDiscTest, ValidatorRefusesNavigationDataTheNavigatorWouldAbortOn) {
  std::string why;
  EXPECT_TRUE(navdisc::ValidateDisc(sample_, &why)) << why;
  EXPECT_TRUE(navdisc::ValidateDisc(FixtureDir() + "/sample.iso", &why)) << why;
  EXPECT_TRUE(navdisc::ValidateDisc(FixtureDir() + "/nofp-dvd", &why)) << why;

  const fs::path root = Copy(1);
  const fs::path ifo = root / "VIDEO_TS" / "VTS_01_0.IFO";
  const fs::path bup = root / "VIDEO_TS" / "VTS_01_0.BUP";
  const auto good = Read(ifo);
  // Title-set program chain table (sector given at 0xCC), first chain's program map: point
  // the first program at a cell that does not exist.
  const size_t pgcit = 2048u * (size_t(good[0xCC]) << 24 | size_t(good[0xCD]) << 16 |
                                size_t(good[0xCE]) << 8 | good[0xCF]);
  const size_t pgc = pgcit + (size_t(good[pgcit + 12]) << 24 | size_t(good[pgcit + 13]) << 16 |
                              size_t(good[pgcit + 14]) << 8 | good[pgcit + 15]);
  const size_t map = pgc + (size_t(good[pgc + 0xE6]) << 8 | good[pgc + 0xE7]);
  ASSERT_EQ(good[map], 1);  // chapters of title 1 start at cells 1, 2, 3
  auto bad = good;
  bad[map] = 9;
  Write(ifo, bad);
  Write(bup, bad);
  EXPECT_FALSE(navdisc::ValidateDisc(root.string(), &why));
  EXPECT_NE(why.find("program"), std::string::npos) << why;
  EXPECT_FALSE(navdisc::CheckDiscStructure(root.string(), &why));

  // A cell claiming an angle block that is not one.
  bad = good;
  const size_t cells = pgc + (size_t(good[pgc + 0xE8]) << 8 | good[pgc + 0xE9]);
  bad[cells] = static_cast<uint8_t>((bad[cells] & 0x0f) | 0x40);  // block mode 1, type 0
  Write(ifo, bad);
  Write(bup, bad);
  EXPECT_FALSE(navdisc::ValidateDisc(root.string(), &why));
  EXPECT_NE(why.find("block"), std::string::npos) << why;

  // The title table naming a title set that is not on the disc.
  Write(ifo, good);
  Write(bup, good);
  const fs::path vmg = root / "VIDEO_TS" / "VIDEO_TS.IFO";
  auto v = Read(vmg);
  const size_t tt =
      2048u * (size_t(v[0xC4]) << 24 | size_t(v[0xC5]) << 16 | size_t(v[0xC6]) << 8 | v[0xC7]);
  v[tt + 8 + 6] = 7;  // title 1's title set number
  Write(vmg, v);
  Write(root / "VIDEO_TS" / "VIDEO_TS.BUP", v);
  EXPECT_FALSE(navdisc::ValidateDisc(root.string(), &why));
  EXPECT_NE(why.find("title set"), std::string::npos) << why;

  EXPECT_FALSE(navdisc::ValidateDisc((work_ / "nothing-here").string(), &why));
  EXPECT_FALSE(why.empty());
  EXPECT_FALSE(navdisc::ValidateDisc("/etc", &why));
}

// Navigation commands judged in the domain they run in: each of these made libdvdnav abort
// or crash when it was played.
TEST_F(DamagedDiscTest, ValidatorRefusesCommandsThatCannotRunWhereTheyStand) {
  auto be = [](const std::vector<uint8_t>& d, size_t at, int n) {
    size_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 8 | d[at + static_cast<size_t>(i)];
    return v;
  };
  struct Patch {
    const char* file;
    std::function<size_t(const std::vector<uint8_t>&)> where;
    std::vector<uint8_t> bytes;
    const char* expect;  // part of the reason given
  };
  // First command of the first-play chain (at 0x400 + its command table).
  auto fpCommand = [&](const std::vector<uint8_t>& d) {
    const size_t fp = be(d, 0x84, 4);
    return fp + be(d, fp + 0xE4, 2) + 8;
  };
  // Command of button 1 in the first navigation pack of the main menu.
  auto button1 = [](const std::vector<uint8_t>&) -> size_t { return 0x2d + 0x8e + 10; };
  // Post command of title set 1's first title chain.
  auto titlePost = [&](const std::vector<uint8_t>& d) {
    const size_t pgcit = 2048 * be(d, 0xCC, 4);
    const size_t pgc = pgcit + be(d, pgcit + 12, 4);
    const size_t tbl = pgc + be(d, pgc + 0xE4, 2);
    return tbl + 8 + 8 * be(d, tbl, 2);
  };
  const Patch patches[] = {
      // a link that goes nowhere, left in a chain without cells
      {"VIDEO_TS.IFO", fpCommand, {0xD0}, "without going anywhere"},
      // a title-set jump pressed in the video manager's menu
      {"VIDEO_TS.VOB", button1, {0x30, 0x03, 0, 0, 0, 1, 0, 0}, "button 1"},
      // a jump to title 9 of three
      {"VIDEO_TS.VOB", button1, {0x30, 0x02, 0, 0, 0, 9, 0, 0}, "missing title"},
      // a first-play jump from inside a title
      {"VTS_01_0.IFO", titlePost, {0x30, 0x06, 0, 0, 0, 0, 0, 0}, "first-play"},
      // a menu call that would resume at cell 9 of three
      {"VTS_01_0.IFO", titlePost, {0x30, 0x08, 0, 1, 9, 0xC0, 0, 0}, "resume cell"},
  };
  int n = 10;
  for (const Patch& p : patches) {
    const fs::path root = Copy(n++);
    const fs::path file = root / "VIDEO_TS" / p.file;
    auto data = Read(file);
    const size_t at = p.where(data);
    ASSERT_LE(at + p.bytes.size(), data.size());
    std::copy(p.bytes.begin(), p.bytes.end(), data.begin() + static_cast<long>(at));
    Write(file, data);
    if (file.extension() == ".IFO") Write(fs::path(file).replace_extension(".BUP"), data);
    std::string why;
    EXPECT_FALSE(navdisc::ValidateDisc(root.string(), &why)) << p.expect;
    EXPECT_NE(why.find(p.expect), std::string::npos) << why;
    fs::remove_all(root);
  }
}

// The damaged part of a disc is left out and the rest plays through the engine: menus that
// cannot be read are passed by for title 1 (after the engine's box), a title set that cannot
// be read or would abort the navigator keeps its titles out of reach. Without limits to honour,
// the check still refuses such discs.
TEST_F(DamagedDiscTest, DamagedPartsAreLeftOutAndTheRestPlays) {
  auto play = [&](const fs::path& root, std::vector<std::string> titles) {
    titles.insert(titles.begin(), {RunnerPath(), "play", root.string()});
    const RunResult r = RunChild(titles, std::chrono::seconds(150));
    EXPECT_TRUE(r.exited) << root << ": signal " << r.signal << (r.timedOut ? ", hung" : "");
    EXPECT_EQ(r.code, 0) << r.output << "\n" << r.errors;
    return r.output;
  };
  auto has = [](const std::string& out, const std::string& pattern) {
    return std::regex_search(out, std::regex(pattern));
  };
  std::string why;
  navdisc::DiscLimits limits;

  // The video manager's menu VOB cut short: no menus, every title.
  fs::path root = Copy(1);
  Cut(root, {"VIDEO_TS.VOB", 0.3});
  EXPECT_FALSE(navdisc::ValidateDisc(root.string(), &why));
  ASSERT_TRUE(navdisc::ValidateDisc(root.string(), &why, &limits)) << why;
  EXPECT_NE(why.find("VOB"), std::string::npos) << why;
  EXPECT_FALSE(limits.menus);
  EXPECT_EQ(limits.titles, (std::vector<uint8_t>{1, 1, 1}));
  std::string out = play(root, {"3", "end"});
  EXPECT_TRUE(has(out, "start: boxes 1, title 1, times [0-9]+, stops 0, errors 0")) << out;
  EXPECT_TRUE(has(out, "title 3: jump 1, plays 1")) << out;
  // Where the title leads into the menus it ends, as on a disc without them: they are not read.
  EXPECT_TRUE(has(out, "end: title 3, stops 1, errors 0")) << out;

  // Title set 2 without its IFO and BUP: its one title, title 3, is out of reach.
  root = Copy(2);
  Cut(root, {"VTS_02_0.IFO", -1});
  EXPECT_FALSE(navdisc::ValidateDisc(root.string(), &why));
  ASSERT_TRUE(navdisc::ValidateDisc(root.string(), &why, &limits)) << why;
  EXPECT_TRUE(limits.menus);
  EXPECT_EQ(limits.sets, (std::vector<uint8_t>{1, 0}));
  EXPECT_EQ(limits.titles, (std::vector<uint8_t>{1, 1, 0}));
  out = play(root, {"3", "2"});
  EXPECT_TRUE(has(out, "start: boxes 0, domain 2, times 0, stops 0, errors 0")) << out;
  EXPECT_TRUE(has(out, "title 3: jump 0")) << out;
  EXPECT_TRUE(has(out, "title 2: jump 1, plays 1")) << out;

  // Title set 1's first title chain with a program map libdvdnav aborts on: its titles go.
  root = Copy(3);
  const fs::path ifo = root / "VIDEO_TS" / "VTS_01_0.IFO";
  auto data = Read(ifo);
  auto be32 = [&](size_t at) {
    return size_t(data[at]) << 24 | size_t(data[at + 1]) << 16 | size_t(data[at + 2]) << 8 |
           data[at + 3];
  };
  const size_t pgcit = 2048 * be32(0xCC);
  const size_t pgc = pgcit + be32(pgcit + 12);
  const size_t map = pgc + (size_t(data[pgc + 0xE6]) << 8 | data[pgc + 0xE7]);
  ASSERT_EQ(data[map], 1);
  data[map] = 9;
  Write(ifo, data);
  Write(root / "VIDEO_TS" / "VTS_01_0.BUP", data);
  EXPECT_FALSE(navdisc::ValidateDisc(root.string(), &why));
  ASSERT_TRUE(navdisc::ValidateDisc(root.string(), &why, &limits)) << why;
  EXPECT_NE(why.find("title set 1"), std::string::npos) << why;
  EXPECT_EQ(limits.sets, (std::vector<uint8_t>{0, 1}));
  EXPECT_EQ(limits.titles, (std::vector<uint8_t>{0, 0, 1}));
  EXPECT_EQ(limits.FirstTitle(), 3);
  out = play(root, {"1", "3"});
  EXPECT_TRUE(has(out, "title 1: jump 0")) << out;
  EXPECT_TRUE(has(out, "title 3: jump 1, plays 1")) << out;
  // Its menu's buttons lead to the barred titles; pressing them must not bring it down, nor
  // must any other command.
  ExpectCleanRun(root, "title set 1 barred");
  const RunResult walk =
      RunChild({RunnerPath(), "walk", root.string(), "11", "2000"}, std::chrono::seconds(120));
  EXPECT_TRUE(walk.exited) << "walk: signal " << walk.signal << (walk.timedOut ? ", hung" : "");
  EXPECT_EQ(walk.code, 0) << walk.output;
}

// A damaged start-up path (the first-play program, the video manager's menu) no longer costs
// the disc: the engine's box, then title 1, and the rest of the disc by jumps. Neither the
// check nor the engine may run what libdvdnav aborts on; random commands must not either.
TEST_F(DamagedDiscTest, BrokenStartUpPathsGoStraightToTheFirstTitle) {
  auto be = [](const std::vector<uint8_t>& d, size_t at, int n) {
    size_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 8 | d[at + static_cast<size_t>(i)];
    return v;
  };
  auto damageVmg = [&](const fs::path& root, const std::function<void(std::vector<uint8_t>&)>& f) {
    const fs::path vmg = root / "VIDEO_TS" / "VIDEO_TS.IFO";
    auto data = Read(vmg);
    f(data);
    Write(vmg, data);
    Write(root / "VIDEO_TS" / "VIDEO_TS.BUP", data);
  };
  auto playsFromTitle1 = [&](const fs::path& root, const std::string& what) {
    const RunResult r =
        RunChild({RunnerPath(), "play", root.string(), "3", "2", "1"}, std::chrono::seconds(150));
    ASSERT_TRUE(r.exited) << what << ": signal " << r.signal << (r.timedOut ? ", hung" : "");
    EXPECT_EQ(r.code, 0) << what << ": " << r.output << "\n" << r.errors;
    EXPECT_NE(r.output.find("start: boxes 1, title 1,"), std::string::npos) << what << r.output;
    for (const char* t :
         {"title 3: jump 1, plays 1", "title 2: jump 1, plays 1", "title 1: jump 1, plays 1"})
      EXPECT_NE(r.output.find(t), std::string::npos) << what << ": " << t << "\n" << r.output;
    for (const char* seed : {"2", "3"}) {
      const RunResult walk =
          RunChild({RunnerPath(), "walk", root.string(), seed, "2000"}, std::chrono::seconds(120));
      EXPECT_TRUE(walk.exited) << what << ", walk " << seed << ": signal " << walk.signal
                               << (walk.timedOut ? ", hung" : "");
      EXPECT_EQ(walk.code, 0) << what << ", walk " << seed << ": " << walk.output;
    }
  };
  std::string why;
  navdisc::DiscLimits limits;

  // The first-play command jumps to a video-manager menu that does not exist (libdvdnav
  // asserts): the disc is seen without its first play; its menus stay.
  fs::path root = Copy(1);
  damageVmg(root, [&](std::vector<uint8_t>& d) {
    const size_t fp = be(d, 0x84, 4);
    const size_t cmd = fp + be(d, fp + 0xE4, 2) + 8;
    ASSERT_EQ(d[cmd + 1], 0x06);  // a jump between domains
    d[cmd + 5] = 0x41;            // to the video manager's menu 1
  });
  EXPECT_FALSE(navdisc::ValidateDisc(root.string(), &why));
  ASSERT_TRUE(navdisc::ValidateDisc(root.string(), &why, &limits)) << why;
  EXPECT_NE(why.find("first-play"), std::string::npos) << why;
  EXPECT_FALSE(limits.firstPlay);
  EXPECT_TRUE(limits.menus);
  EXPECT_EQ(limits.titles, (std::vector<uint8_t>{1, 1, 1}));
  playsFromTitle1(root, "first play to a missing menu");
  fs::remove_all(root);

  // The video manager's menu chain claims 184 cells where it has one: those past its table
  // lie anywhere and some have block modes libdvdnav aborts on. The menus are never read.
  root = Copy(2);
  damageVmg(root, [&](std::vector<uint8_t>& d) {
    const size_t ut = 2048 * be(d, 0xC8, 4);
    const size_t pgc = ut + be(d, ut + 12, 4) + be(d, ut + be(d, ut + 12, 4) + 12, 4);
    ASSERT_EQ(d[pgc + 3], 1);  // one cell
    d[pgc + 3] = 184;
  });
  EXPECT_FALSE(navdisc::ValidateDisc(root.string(), &why));
  ASSERT_TRUE(navdisc::ValidateDisc(root.string(), &why, &limits)) << why;
  EXPECT_NE(why.find("video manager menu chain 1 cell"), std::string::npos) << why;
  EXPECT_FALSE(limits.menus);
  EXPECT_TRUE(limits.firstPlay);
  EXPECT_EQ(limits.titles, (std::vector<uint8_t>{1, 1, 1}));
  playsFromTitle1(root, "menu cells past the table");
  // Title 3's end leads into that menu: playing stops there instead.
  const RunResult end =
      RunChild({RunnerPath(), "play", root.string(), "3", "end"}, std::chrono::seconds(150));
  ASSERT_TRUE(end.exited) << "signal " << end.signal << (end.timedOut ? ", hung" : "");
  EXPECT_NE(end.output.find("end: title 3, stops 1, errors 0"), std::string::npos) << end.output;
  fs::remove_all(root);

  // A first play that is damaged with nothing to start from in its place is still refused.
  root = Copy(3);
  damageVmg(root, [&](std::vector<uint8_t>& d) {
    const size_t fp = be(d, 0x84, 4);
    d[fp + be(d, fp + 0xE4, 2) + 8 + 5] = 0x41;
    const size_t ut = 2048 * be(d, 0xC8, 4);
    const size_t srp = ut + be(d, ut + 12, 4) + 8;
    d[srp + 4] = d[srp + 5] = d[srp + 6] = d[srp + 7] = 0xff;  // menu chain 1 out of the file
  });
  EXPECT_FALSE(navdisc::ValidateDisc(root.string(), &why, &limits));
  ExpectCleanRun(root, "no first play and no menu");
}

// A first play that leads nowhere is played past through a view of the disc without it. An
// image that is not mounted offers no such view: it is refused up front instead of showing the
// engine's box and then failing the jump to title 1.
TEST_F(DamagedDiscTest, AnUnmountedImageWhoseFirstPlayLeadsNowhereIsRefused) {
  const fs::path iso = work_ / "deadfp.iso";
  const std::string make = "genisoimage -quiet -dvd-video -udf -o '" + iso.string() + "' '" +
                           FixtureDir() + "/deadfp-dvd' >/dev/null 2>&1";
  if (std::system(make.c_str()) != 0) GTEST_SKIP() << "genisoimage missing";
  std::string why;
  navdisc::DiscLimits limits;
  EXPECT_FALSE(navdisc::ValidateDisc(iso.string(), &why, &limits));
  EXPECT_NE(why.find("first-play program leads nowhere"), std::string::npos) << why;
  const RunResult r = RunChild({RunnerPath(), "play", iso.string(), "1"}, std::chrono::seconds(60));
  ASSERT_TRUE(r.exited) << "signal " << r.signal << (r.timedOut ? ", hung" : "");
  EXPECT_EQ(r.code, 3) << r.output;
  EXPECT_EQ(r.output, "refused\n");
  // The same disc as a folder still plays, through the box, from title 1.
  EXPECT_TRUE(navdisc::ValidateDisc(FixtureDir() + "/deadfp-dvd", &why, &limits)) << why;
}

// A title whose entry claims angles it does not have: libdvdnav reads it from outside its file
// and crashes (random commands brought the engine down on every seed tried). Only that title
// is left out.
TEST_F(DamagedDiscTest, TitlesClaimingAnglesTheyLackAreLeftOut) {
  const fs::path root = Copy(4);
  for (const char* name : {"VIDEO_TS.IFO", "VIDEO_TS.BUP"}) {
    const fs::path f = root / "VIDEO_TS" / name;
    auto d = Read(f);
    const size_t tt =
        2048u * (size_t(d[0xC4]) << 24 | size_t(d[0xC5]) << 16 | size_t(d[0xC6]) << 8 | d[0xC7]);
    ASSERT_EQ(d[tt + 8 + 1], 1);  // title 1: one angle
    d[tt + 8 + 1] = 2;
    Write(f, d);
  }
  std::string why;
  navdisc::DiscLimits limits;
  EXPECT_FALSE(navdisc::ValidateDisc(root.string(), &why));
  ASSERT_TRUE(navdisc::ValidateDisc(root.string(), &why, &limits)) << why;
  EXPECT_NE(why.find("title 1 claims 2 angles but has 1"), std::string::npos) << why;
  EXPECT_EQ(limits.titles, (std::vector<uint8_t>{0, 1, 1}));
  for (const char* seed : {"1", "2", "3"}) {
    const RunResult walk =
        RunChild({RunnerPath(), "walk", root.string(), seed, "2000"}, std::chrono::seconds(120));
    EXPECT_TRUE(walk.exited) << "walk " << seed << ": signal " << walk.signal
                             << (walk.timedOut ? ", hung" : "");
    EXPECT_EQ(walk.code, 0) << "walk " << seed << ": " << walk.output;
  }
}

TEST_F(DamagedDiscTest, ValidatorLeavesHealthyVariantsAlone) {
  std::string why;
  EXPECT_TRUE(navdisc::ValidateDisc(FixtureDir() + "/deadfp-dvd", &why)) << why;
  EXPECT_TRUE(navdisc::CheckDiscStructure(sample_, &why)) << why;
  EXPECT_TRUE(why.empty());
  // A folder path given with or without VIDEO_TS, and with a trailing slash.
  EXPECT_TRUE(navdisc::ValidateDisc(sample_ + "/", &why)) << why;
  EXPECT_TRUE(navdisc::ValidateDisc(fs::path(sample_).parent_path().string(), &why)) << why;
}

}  // namespace

namespace {

using navdisc::NavDomain;

// Button commands checked against the domain they would run in, as the engine does before it
// presses a button: the cases are the jumps and calls libdvdnav asserts on.
TEST(ButtonCommandTest, JumpsAndCallsFitOnlyTheirDomains) {
  struct Case {
    std::array<uint8_t, 8> cmd;
    bool fp, vmgm, vtsm, title;
  };
  const Case cases[] = {
      {{0x30, 0x02, 0, 0, 0, 0x01, 0, 0}, true, true, false, false},    // jump title 1
      {{0x30, 0x03, 0, 0, 0, 0x01, 0, 0}, false, false, true, true},    // jump title-set title
      {{0x30, 0x08, 0, 1, 1, 0xC0, 0, 0}, false, false, false, true},   // call menu chain 1
      {{0x30, 0x06, 0, 0, 0, 0x42, 0, 0}, true, true, true, false},     // jump title menu
      {{0x30, 0x06, 0, 0, 0, 0x83, 0, 0}, false, false, true, false},   // jump own root menu
      {{0x30, 0x06, 0, 0, 0x02, 0x83, 0, 0}, true, true, true, false},  // jump set 2's menu
      {{0x30, 0x06, 0, 0, 0, 0x00, 0, 0}, false, true, true, false},    // jump to first play
      {{0x20, 0x05, 0, 0, 0, 0, 0, 0x02}, false, false, false, true},   // link part 2
      {{0x71, 0x00, 0, 0, 0, 0x01, 0, 0}, true, true, true, true},      // g0 = 1, no link
      {{0x20, 0x01, 0, 0, 0, 0, 0x04, 0x01}, true, true, true, true},   // link top cell, button 1
      {{0xE0, 0x00, 0, 0, 0, 0, 0, 0}, false, false, false, false},     // no such command type
      {{0x20, 0x01, 0, 0, 0, 0, 0, 0x04}, false, false, false, false},  // link code 4 is unused
  };
  int row = 0;
  for (const Case& c : cases) {
    EXPECT_EQ(navdisc::ButtonCommandFitsDomain(c.cmd.data(), NavDomain::kFirstPlay), c.fp) << row;
    EXPECT_EQ(navdisc::ButtonCommandFitsDomain(c.cmd.data(), NavDomain::kVideoManagerMenu), c.vmgm)
        << row;
    EXPECT_EQ(navdisc::ButtonCommandFitsDomain(c.cmd.data(), NavDomain::kTitleSetMenu), c.vtsm)
        << row;
    EXPECT_EQ(navdisc::ButtonCommandFitsDomain(c.cmd.data(), NavDomain::kTitle), c.title) << row;
    ++row;
  }
  EXPECT_FALSE(navdisc::ButtonCommandFitsDomain(nullptr, NavDomain::kTitle));
}

// Buttons leading into what a damaged disc's check barred are not pressed; others are.
TEST(ButtonCommandTest, ButtonsIntoBarredPartsAreRefused) {
  navdisc::DiscLimits limits;
  limits.titles = {0, 1, 1};
  limits.sets = {1, 0};
  const std::array<uint8_t, 8> title1{0x30, 0x02, 0, 0, 0, 0x01, 0, 0};
  const std::array<uint8_t, 8> title2{0x30, 0x02, 0, 0, 0, 0x02, 0, 0};
  const std::array<uint8_t, 8> set2Menu{0x30, 0x06, 0, 0, 0x02, 0x83, 0, 0};
  const std::array<uint8_t, 8> set1Menu{0x30, 0x06, 0, 0, 0x01, 0x83, 0, 0};
  const std::array<uint8_t, 8> g0{0x71, 0x00, 0, 0, 0, 0x01, 0, 0};
  const NavDomain vmgm = NavDomain::kVideoManagerMenu;
  EXPECT_FALSE(navdisc::ButtonCommandAllowed(title1.data(), vmgm, limits));
  EXPECT_TRUE(navdisc::ButtonCommandAllowed(title2.data(), vmgm, limits));
  EXPECT_FALSE(navdisc::ButtonCommandAllowed(set2Menu.data(), vmgm, limits));
  EXPECT_TRUE(navdisc::ButtonCommandAllowed(set1Menu.data(), vmgm, limits));
  EXPECT_TRUE(navdisc::ButtonCommandAllowed(g0.data(), vmgm, limits));
  // The domain rule still holds: a title jump is not pressed in a title set's menu.
  EXPECT_FALSE(navdisc::ButtonCommandAllowed(title2.data(), NavDomain::kTitleSetMenu, limits));
  // A whole disc bars nothing.
  EXPECT_TRUE(navdisc::ButtonCommandAllowed(title1.data(), vmgm, navdisc::DiscLimits()));
}

}  // namespace

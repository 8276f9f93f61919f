#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "navdisc/BookmarkStore.h"

namespace fs = std::filesystem;
using navdisc::LoadBookmarkStream;
using navdisc::SaveBookmarkStream;

namespace {

class BookmarkStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "lumora-bmk-XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
    file_ = (dir_ / "DVD_DISC.bmk").string();
  }
  void TearDown() override { fs::remove_all(dir_); }

  static std::vector<uint8_t> Bytes(std::initializer_list<int> v) {
    return std::vector<uint8_t>(v.begin(), v.end());
  }
  static std::vector<uint8_t> ReadFile(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
  }
  static void WriteFile(const std::string& p, const std::vector<uint8_t>& b) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  }
  size_t EntriesInDir() const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {}));
  }

  fs::path dir_;
  std::string file_;
};

TEST_F(BookmarkStoreTest, SavingIntoMissingFileCreatesItAndRestoresTheBytes) {
  std::vector<uint8_t> out = Bytes({9});
  EXPECT_FALSE(LoadBookmarkStream(file_, "BOOKMARK-CH1-T5", out));
  EXPECT_TRUE(out.empty());

  const auto data = Bytes({1, 2, 3, 250, 0, 7});
  ASSERT_TRUE(SaveBookmarkStream(file_, "BOOKMARK-CH1-T5", data));
  ASSERT_TRUE(fs::exists(file_));
  // A real compound file: the OLE2 signature.
  const auto raw = ReadFile(file_);
  ASSERT_GE(raw.size(), 8u);
  EXPECT_EQ(raw[0], 0xD0);
  EXPECT_EQ(raw[1], 0xCF);
  EXPECT_EQ(raw[7], 0xE1);

  ASSERT_TRUE(LoadBookmarkStream(file_, "BOOKMARK-CH1-T5", out));
  EXPECT_EQ(out, data);
  // No temporary files are left behind.
  EXPECT_EQ(EntriesInDir(), 1u);
}

TEST_F(BookmarkStoreTest, SecondNameKeepsFirstAndSameNameIsReplaced) {
  ASSERT_TRUE(SaveBookmarkStream(file_, "BOOKMARK-CH1-T5", Bytes({1})));
  ASSERT_TRUE(SaveBookmarkStream(file_, "BOOKMARK-CH3-T125", Bytes({3, 3})));
  std::vector<uint8_t> out;
  ASSERT_TRUE(LoadBookmarkStream(file_, "BOOKMARK-CH1-T5", out));
  EXPECT_EQ(out, Bytes({1}));
  ASSERT_TRUE(LoadBookmarkStream(file_, "BOOKMARK-CH3-T125", out));
  EXPECT_EQ(out, Bytes({3, 3}));

  // The same name again (a shorter stream) replaces it from its start, nothing left over.
  ASSERT_TRUE(SaveBookmarkStream(file_, "BOOKMARK-CH3-T125", Bytes({4})));
  ASSERT_TRUE(LoadBookmarkStream(file_, "BOOKMARK-CH3-T125", out));
  EXPECT_EQ(out, Bytes({4}));
  // Compound files do not tell names apart by case.
  ASSERT_TRUE(SaveBookmarkStream(file_, "bookmark-ch1-t5", Bytes({5})));
  ASSERT_TRUE(LoadBookmarkStream(file_, "BOOKMARK-CH1-T5", out));
  EXPECT_EQ(out, Bytes({5}));

  auto names = navdisc::ListBookmarkStreams(file_);
  EXPECT_EQ(names.size(), 2u);

  EXPECT_FALSE(LoadBookmarkStream(file_, "BOOKMARK-CH9-T1", out));
  EXPECT_TRUE(out.empty());
}

TEST_F(BookmarkStoreTest, ManyBookmarksAndLargerStreamsSurviveRewrites) {
  // Past the 4096-byte small-stream limit, so both storage kinds are exercised.
  std::vector<uint8_t> big(10000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 31 + 7);
  ASSERT_TRUE(SaveBookmarkStream(file_, "BIG", big));
  for (int i = 0; i < 40; ++i)
    ASSERT_TRUE(
        SaveBookmarkStream(file_, "BOOKMARK-CH" + std::to_string(i) + "-T" + std::to_string(i * 10),
                           std::vector<uint8_t>(static_cast<size_t>(i), uint8_t(i))));
  std::vector<uint8_t> out;
  ASSERT_TRUE(LoadBookmarkStream(file_, "BIG", out));
  EXPECT_EQ(out, big);
  for (int i = 0; i < 40; ++i) {
    ASSERT_TRUE(LoadBookmarkStream(
        file_, "BOOKMARK-CH" + std::to_string(i) + "-T" + std::to_string(i * 10), out));
    EXPECT_EQ(out, std::vector<uint8_t>(static_cast<size_t>(i), uint8_t(i)));
  }
  EXPECT_EQ(navdisc::ListBookmarkStreams(file_).size(), 41u);
}

TEST_F(BookmarkStoreTest, NamesThatCannotBeStoredAsGivenAreRefused) {
  const std::vector<uint8_t> data = Bytes({1});
  EXPECT_FALSE(SaveBookmarkStream(file_, "", data));
  EXPECT_FALSE(SaveBookmarkStream(file_, std::string(32, 'A'), data));  // would be truncated
  EXPECT_FALSE(SaveBookmarkStream(file_, "a/b", data));
  EXPECT_FALSE(SaveBookmarkStream(file_, "a\\b", data));
  EXPECT_FALSE(SaveBookmarkStream(file_, std::string("a\nb"), data));
  EXPECT_FALSE(SaveBookmarkStream(file_, "\xff\xfe", data));  // not UTF-8
  EXPECT_FALSE(
      SaveBookmarkStream(file_, "X", std::vector<uint8_t>(navdisc::kMaxBookmarkStreamSize + 1)));
  EXPECT_FALSE(fs::exists(file_));

  EXPECT_TRUE(SaveBookmarkStream(file_, std::string(31, 'A'), data));
  EXPECT_TRUE(SaveBookmarkStream(file_, "Lesezeichen-Kapitel-ä", data));
  std::vector<uint8_t> out;
  EXPECT_TRUE(LoadBookmarkStream(file_, std::string(31, 'A'), out));
  EXPECT_TRUE(LoadBookmarkStream(file_, "Lesezeichen-Kapitel-ä", out));

  // A folder that does not exist: a clean failure.
  EXPECT_FALSE(SaveBookmarkStream((dir_ / "no-such" / "x.bmk").string(), "A", data));
}

TEST_F(BookmarkStoreTest, DamagedFileIsNeverReadAsABookmarkAndIsKeptWhenSaving) {
  std::vector<uint8_t> garbage(3000);
  std::mt19937 rng(7);
  for (auto& b : garbage) b = static_cast<uint8_t>(rng());
  WriteFile(file_, garbage);

  std::vector<uint8_t> out;
  EXPECT_FALSE(LoadBookmarkStream(file_, "BOOKMARK-CH1-T5", out));
  EXPECT_TRUE(navdisc::ListBookmarkStreams(file_).empty());

  // Saving starts a new file but keeps the unreadable one beside it.
  ASSERT_TRUE(SaveBookmarkStream(file_, "BOOKMARK-CH1-T5", Bytes({1, 2})));
  ASSERT_TRUE(LoadBookmarkStream(file_, "BOOKMARK-CH1-T5", out));
  EXPECT_EQ(out, Bytes({1, 2}));
  EXPECT_EQ(ReadFile(file_ + ".damaged"), garbage);

  // An empty file is simply replaced.
  const std::string empty = (dir_ / "EMPTY.bmk").string();
  WriteFile(empty, {});
  EXPECT_FALSE(LoadBookmarkStream(empty, "A", out));
  ASSERT_TRUE(SaveBookmarkStream(empty, "A", Bytes({6})));
  ASSERT_TRUE(LoadBookmarkStream(empty, "A", out));
  EXPECT_EQ(out, Bytes({6}));
  EXPECT_FALSE(fs::exists(empty + ".damaged"));
}

TEST_F(BookmarkStoreTest, TruncatedOrBitFlippedFilesFailCleanly) {
  const auto first = Bytes({10, 20, 30, 40});
  std::vector<uint8_t> big(9000, 0x5a);
  ASSERT_TRUE(SaveBookmarkStream(file_, "FIRST", first));
  ASSERT_TRUE(SaveBookmarkStream(file_, "BIG", big));
  const auto good = ReadFile(file_);
  const std::string damaged = (dir_ / "damaged.bmk").string();

  // Cut anywhere: either the stream still reads back exactly, or the load fails.
  for (size_t len = 0; len < good.size(); len += 97) {
    WriteFile(damaged, std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(len)));
    std::vector<uint8_t> out;
    if (LoadBookmarkStream(damaged, "FIRST", out)) {
      EXPECT_EQ(out, first) << "cut at " << len;
    }
    if (LoadBookmarkStream(damaged, "BIG", out)) {
      EXPECT_EQ(out, big) << "cut at " << len;
    }
  }
  // Flipped bytes may change a stream's contents, but never its bound or the process.
  std::mt19937 rng(1234);
  for (int round = 0; round < 300; ++round) {
    auto bad = good;
    for (int k = 0; k < 4; ++k) bad[rng() % bad.size()] ^= static_cast<uint8_t>(1 + rng() % 255);
    WriteFile(damaged, bad);
    std::vector<uint8_t> out;
    for (const char* name : {"FIRST", "BIG"}) {
      if (LoadBookmarkStream(damaged, name, out)) {
        EXPECT_LE(out.size(), navdisc::kMaxBookmarkStreamSize);
      }
    }
    for (const auto& n : navdisc::ListBookmarkStreams(damaged)) EXPECT_FALSE(n.empty());
  }
  // The original was never touched.
  EXPECT_EQ(ReadFile(file_), good);
}

TEST_F(BookmarkStoreTest, SavingOverAPartlyDamagedFileWorksAndLosesNothing) {
  const auto first = Bytes({10, 20, 30, 40});
  std::vector<uint8_t> big(9000, 0x5a);
  ASSERT_TRUE(SaveBookmarkStream(file_, "FIRST", first));
  ASSERT_TRUE(SaveBookmarkStream(file_, "BIG", big));
  const auto good = ReadFile(file_);
  std::mt19937 rng(99);
  int partlyReadable = 0;
  for (int round = 0; round < 200; ++round) {
    auto bad = good;
    if (round % 2)
      bad.resize(bad.size() - 1 - rng() % (bad.size() / 2));
    else
      for (int k = 0; k < 4; ++k) bad[rng() % bad.size()] ^= static_cast<uint8_t>(1 + rng() % 255);
    const std::string path = (dir_ / ("d" + std::to_string(round) + ".bmk")).string();
    WriteFile(path, bad);
    std::vector<uint8_t> firstBefore;
    const bool hadFirst = LoadBookmarkStream(path, "FIRST", firstBefore);
    if (!navdisc::ListBookmarkStreams(path).empty()) ++partlyReadable;

    // A new bookmark can always be saved, and reads back.
    ASSERT_TRUE(SaveBookmarkStream(path, "NEW", Bytes({7, 7}))) << "round " << round;
    std::vector<uint8_t> out;
    ASSERT_TRUE(LoadBookmarkStream(path, "NEW", out)) << "round " << round;
    EXPECT_EQ(out, Bytes({7, 7}));
    // What was readable stays readable; when anything was left behind, the old bytes are kept.
    if (hadFirst) {
      ASSERT_TRUE(LoadBookmarkStream(path, "FIRST", out)) << "round " << round;
      EXPECT_EQ(out, firstBefore);
    }
    if (fs::exists(path + ".damaged")) {
      EXPECT_EQ(ReadFile(path + ".damaged"), bad) << "round " << round;
    } else {
      for (const auto& n : {std::string("FIRST"), std::string("BIG")}) {
        std::vector<uint8_t> before;
        WriteFile(path + ".check", bad);
        if (LoadBookmarkStream(path + ".check", n, before)) {
          EXPECT_TRUE(LoadBookmarkStream(path, n, out)) << n << " lost in round " << round;
        }
      }
    }
  }
  // The damage must have reached files that still open, or the case above was never met.
  EXPECT_GT(partlyReadable, 10);
}

TEST_F(BookmarkStoreTest, ForeignStoragesAndClassIdsAreKeptOnRewrite) {
  // A compound file written by something else, with a nested storage.
  gsf_init();
  const guint8 clsid[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  {
    GsfOutput* sink = gsf_output_stdio_new(file_.c_str(), nullptr);
    ASSERT_NE(sink, nullptr);
    GsfOutfile* root = gsf_outfile_msole_new(sink);
    gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(root), clsid);
    GsfOutput* sub = gsf_outfile_new_child(root, "Sub", TRUE);
    GsfOutput* inner = gsf_outfile_new_child(GSF_OUTFILE(sub), "inner", FALSE);
    gsf_output_write(inner, 3, reinterpret_cast<const guint8*>("abc"));
    gsf_output_close(inner);
    g_object_unref(inner);
    gsf_output_close(sub);
    g_object_unref(sub);
    gsf_output_close(GSF_OUTPUT(root));
    g_object_unref(root);
    if (!gsf_output_is_closed(sink)) gsf_output_close(sink);
    g_object_unref(sink);
  }
  ASSERT_TRUE(SaveBookmarkStream(file_, "BOOKMARK-CH2-T1", Bytes({2})));

  GsfInput* input = gsf_input_stdio_new(file_.c_str(), nullptr);
  ASSERT_NE(input, nullptr);
  GsfInfile* root = gsf_infile_msole_new(input, nullptr);
  g_object_unref(input);
  ASSERT_NE(root, nullptr);
  guint8 got[16] = {};
  EXPECT_TRUE(gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(root), got));
  EXPECT_EQ(0, memcmp(got, clsid, 16));
  GsfInput* inner = gsf_infile_child_by_vname(root, "Sub", "inner", nullptr);
  ASSERT_NE(inner, nullptr);
  ASSERT_EQ(gsf_input_size(inner), 3);
  guint8 buf[3];
  ASSERT_NE(gsf_input_read(inner, 3, buf), nullptr);
  EXPECT_EQ(0, memcmp(buf, "abc", 3));
  g_object_unref(inner);
  g_object_unref(root);

  // A storage is not a bookmark, even under the asked name.
  std::vector<uint8_t> out;
  EXPECT_FALSE(LoadBookmarkStream(file_, "Sub", out));
  EXPECT_EQ(navdisc::ListBookmarkStreams(file_), std::vector<std::string>{"BOOKMARK-CH2-T1"});
}

TEST_F(BookmarkStoreTest, StateRecordRoundTripsAndForeignStreamsAreRefused) {
  navdisc::NavdiscStateRecord s;
  s.title = 2;
  s.chapter = 3;
  s.seconds = 125;
  s.audio = 1;
  s.subpicture = 0;
  s.subpictureOn = 1;
  s.angle = 1;
  ASSERT_TRUE(navdisc::SaveBookmarkState(file_, "BOOKMARK-CH3-T125", s));
  navdisc::NavdiscStateRecord r;
  ASSERT_TRUE(navdisc::LoadBookmarkState(file_, "BOOKMARK-CH3-T125", r));
  EXPECT_EQ(r.title, 2u);
  EXPECT_EQ(r.chapter, 3u);
  EXPECT_EQ(r.seconds, 125u);
  EXPECT_EQ(r.audio, 1);
  EXPECT_EQ(r.subpicture, 0);
  EXPECT_EQ(r.subpictureOn, 1u);

  // A stream that is not the engine's record, or a cut-off record, restores nothing.
  auto bytes = navdisc::SerializeState(s);
  ASSERT_TRUE(
      SaveBookmarkStream(file_, "SHORT", std::vector<uint8_t>(bytes.begin(), bytes.end() - 1)));
  auto other = bytes;
  other[0] ^= 0xff;
  ASSERT_TRUE(SaveBookmarkStream(file_, "OTHER", other));
  navdisc::NavdiscStateRecord untouched;
  untouched.title = 77;
  EXPECT_FALSE(navdisc::LoadBookmarkState(file_, "SHORT", untouched));
  EXPECT_FALSE(navdisc::LoadBookmarkState(file_, "OTHER", untouched));
  EXPECT_FALSE(navdisc::LoadBookmarkState(file_, "MISSING", untouched));
  EXPECT_EQ(untouched.title, 77u);
}

}  // namespace

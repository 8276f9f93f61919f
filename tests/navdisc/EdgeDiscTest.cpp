// The NTSC test disc (scripts/make-test-dvds.sh): stream numbers with gaps, the frame rate in
// the events, sub-pictures against the picture, events against the picture shown.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <cstring>

#include "TestSupport.h"
#include "navdisc/graph/VideoRenderer.h"
#include "platform/Window.h"

using namespace navtest;
using navdisc::CurrentGroup;

namespace {

constexpr double kFps = 30000.0 / 1001.0;

class EdgeDiscTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    disc_ = FixturePath("ntsc-dvd/VIDEO_TS/");
    if (disc_.empty()) GTEST_SKIP() << "NTSC test disc missing";
  }
  // Starts the disc (first play goes to title 1) and, for another title, jumps there; returns
  // once a picture of that title is shown.
  void ToTitle(OwnerWindow& w, uint32_t n) {
    ASSERT_TRUE(StartDisc(w, disc_));
    ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_TITLE_CHANGE, 8000, 1));
    if (n != 1) {
      const size_t from = Events().size();
      ASSERT_TRUE(JumpDVDTitle(n));
      ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_TITLE_CHANGE, 8000, static_cast<int32_t>(n), from));
    }
    const size_t from = Events().size();
    ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_CURRENT_HMSF_TIME, 8000, INT32_MIN, from));
  }
  static void Audio(uint32_t& available, uint32_t& current) {
    available = current = 99;
    ASSERT_EQ(GetIDvdInfo2()->GetCurrentAudio(&available, &current), 0);
  }
  std::string disc_;
};

// The frame number burnt into a title picture, -1 when the bar code is not there.
int BurntInFrame(const QImage& img) {
  if (img.width() < 480 || img.height() < 48) return -1;
  int n = 0;
  for (int b = 0; b < 10; ++b) {
    const int grey = qGray(img.pixel(48 * b + 24, 24));
    if (grey > 160)
      n |= 1 << b;
    else if (grey > 96)
      return -1;
  }
  return n;
}

// Sub-picture text shows as bright pixels in the band that is otherwise black.
bool SubtitleShown(const QImage& img) {
  int bright = 0;
  for (int y = 380; y < 470 && y < img.height(); y += 2)
    for (int x = 100; x < 620 && x < img.width(); x += 2)
      if (qGray(img.pixel(x, y)) > 180) ++bright;
  return bright > 40;
}

TEST_F(EdgeDiscTest, AudioStreamsAreThoseTheTitleCarries) {
  OwnerWindow w;
  ToTitle(w, 1);
  uint32_t available, current;
  Audio(available, current);
  EXPECT_EQ(available, 2u);
  EXPECT_EQ(current, 0u);

  // Title 2 carries only audio stream 1 (LPCM, German): it is the one stream listed.
  const size_t from = Events().size();
  ASSERT_TRUE(JumpDVDTitle(2));
  ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_TITLE_CHANGE, 8000, 2, from));
  Audio(available, current);
  EXPECT_EQ(available, 1u);
  EXPECT_EQ(current, 0u);
  uint32_t lcid = 0;
  ASSERT_EQ(GetIDvdInfo2()->GetAudioLanguage(0, &lcid), 0);
  EXPECT_EQ(lcid, 1031u);  // German
  EXPECT_NE(GetIDvdInfo2()->GetAudioLanguage(1, &lcid), 0);
  EXPECT_EQ(GetIDvdControl2()->SelectAudioStream(0, 0, nullptr), 0);
  EXPECT_NE(GetIDvdControl2()->SelectAudioStream(1, 0, nullptr), 0);
  // Its attributes are those of the LPCM stream actually playing.
  uint8_t buffer[108] = {};
  ASSERT_TRUE(GetDVDCurrentAttributes(buffer));
  navdisc::DVD_AudioAttributes audio;
  std::memcpy(&audio, buffer + 52, sizeof audio);
  EXPECT_EQ(audio.AudioFormat, navdisc::DVD_AudioFormat_LPCM);
  EXPECT_EQ(audio.Language, 1031u);
  EXPECT_EQ(audio.dwFrequency, 48000u);
  EXPECT_EQ(audio.bNumberOfChannels, 2);

  // Back in title 1 the viewer picks the second stream; title 3 (another title set) has only
  // one stream, and reports that one as current.
  ASSERT_TRUE(JumpDVDTitle(1));
  ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_TITLE_CHANGE, 8000, 1, from));
  ASSERT_EQ(GetIDvdControl2()->SelectAudioStream(1, 0, nullptr), 0);
  Audio(available, current);
  EXPECT_EQ(current, 1u);
  const size_t again = Events().size();
  ASSERT_TRUE(JumpDVDTitle(3));
  ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_TITLE_CHANGE, 8000, 3, again));
  Audio(available, current);
  EXPECT_EQ(available, 1u);
  EXPECT_EQ(current, 0u);
  ASSERT_TRUE(GetDVDCurrentAttributes(buffer));
  std::memcpy(&audio, buffer + 52, sizeof audio);
  EXPECT_EQ(audio.AudioFormat, navdisc::DVD_AudioFormat_AC3);
  EXPECT_EQ(audio.Language, 1033u);
}

TEST_F(EdgeDiscTest, TimeEventsCarryTheDiscsFrameRate) {
  OwnerWindow w;
  ToTitle(w, 1);
  const size_t from = Events().size();
  ASSERT_TRUE(PumpUntil([&] {
    int n = 0;
    for (size_t i = from; i < Events().size(); ++i)
      n += Events()[i].code == navdisc::EC_DVD_CURRENT_HMSF_TIME;
    return n >= 2;
  }));
  for (size_t i = from; i < Events().size(); ++i) {
    const Event& e = Events()[i];
    if (e.code != navdisc::EC_DVD_CURRENT_HMSF_TIME) continue;
    EXPECT_EQ(e.p2, navdisc::DVD_TC_FLAG_30fps);
    EXPECT_LT(static_cast<uint32_t>(e.p1) >> 24, 30u);  // frames within the second
  }
  navdisc::DVD_HMSF_TIMECODE total{};
  uint32_t flags = 0;
  ASSERT_EQ(GetIDvdInfo2()->GetTotalTitleTime(&total, &flags), 0);
  EXPECT_EQ(flags, navdisc::DVD_TC_FLAG_30fps);
}

// One cue a second, each authored for n.000 to n.900 s: every picture shown inside a cue has
// it, every picture well outside has none.
TEST_F(EdgeDiscTest, SubtitlesShowForTheirWholeCue) {
  OwnerWindow w;
  ToTitle(w, 1);
  ASSERT_EQ(GetIDvdControl2()->SelectSubpictureStream(0, 0, nullptr), 0);
  ASSERT_EQ(GetIDvdControl2()->SetSubpictureState(true, 0, nullptr), 0);
  ASSERT_TRUE(SetDVDPositions(0));
  auto* renderer = CurrentGroup()->Renderer();
  int inside = 0, insideShown = 0, outside = 0, outsideShown = 0, last = -1;
  uint64_t seen = renderer->ShownCount();
  PumpUntil(
      [&] {
        if (renderer->ShownCount() == seen) return false;
        seen = renderer->ShownCount();
        const QImage img = renderer->LastShown().image;
        const int frame = BurntInFrame(img);
        if (frame < 0 || frame == last) return false;
        last = frame;
        const double t = frame / kFps, inCue = t - std::floor(t);
        const bool shown = SubtitleShown(img);
        if (t >= 1.0 && t < 9.9 && inCue < 0.9) {
          ++inside;
          insideShown += shown;
        } else if (t >= 0.3 && t < 9.9 && inCue > 0.9 + 1.5 / kFps) {
          ++outside;
          outsideShown += shown;
        }
        return t >= 9.8;
      },
      20000);
  ASSERT_GT(inside, 60) << "too few pictures shown to judge";
  const double visible = 100.0 * insideShown / inside;
  RecordProperty("subtitle_visible_percent", static_cast<int>(visible));
  std::printf(
      "sub-picture visible in %d of %d pictures inside its cue (%.1f%%), %d of %d outside\n",
      insideShown, inside, visible, outsideShown, outside);
  EXPECT_GE(visible, 90.0);
  EXPECT_LE(outsideShown, outside / 10);
}

// The chapter digit changes with the chapter's first picture: when the chapter-start event
// reaches the player, the picture shown is of that chapter (chapter 2 starts at 5 s), and no
// time event is ahead of the picture either.
TEST_F(EdgeDiscTest, ChapterEventsComeWithTheirPicture) {
  OwnerWindow w;
  ToTitle(w, 1);
  auto* renderer = CurrentGroup()->Renderer();
  int frameAtChapter = -1, timesAhead = 0, times = 0;
  SetEventHook([&](const Event& e) {
    const int frame = BurntInFrame(renderer->LastShown().image);
    if (e.code == navdisc::EC_DVD_CHAPTER_START && e.p1 == 2 && frameAtChapter < 0)
      frameAtChapter = frame;
    if (e.code == navdisc::EC_DVD_CURRENT_HMSF_TIME && frame >= 0) {
      ++times;
      const uint32_t tc = static_cast<uint32_t>(e.p1);
      const double at = ((tc & 0xff) * 3600 + ((tc >> 8) & 0xff) * 60 + ((tc >> 16) & 0xff));
      if (at > frame / kFps + 1.0 / kFps) ++timesAhead;
    }
  });
  for (int round = 0; round < 2; ++round) {
    frameAtChapter = -1;
    ASSERT_TRUE(SetDVDPositions(3));
    ASSERT_TRUE(PumpUntil([&] { return frameAtChapter >= 0; }, 8000));
    // 5 s is frame 149.85, so chapter 2 begins with frame 150 (one frame's grace).
    EXPECT_GE(frameAtChapter, 149) << "round " << round;
  }
  SetEventHook({});
  EXPECT_GT(times, 2);
  EXPECT_EQ(timesAhead, 0);
}

}  // namespace

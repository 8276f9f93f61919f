// The sample disc through the exported functions: menus and highlights, mouse, titles,
// chapters, time events, attributes, streams, snapshots, sound and bookmarks.
#include <gtest/gtest.h>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>

#include "TestSupport.h"
#include "navdisc/graph/AudioRenderer.h"
#include "navdisc/graph/FilterGraph.h"
#include "navdisc/graph/VideoRenderer.h"
#include "platform/Bitmap.h"
#include "platform/Locale.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"

using namespace navtest;
using navdisc::CurrentGroup;

namespace {

// The sample menus' buttons, in picture coordinates (x0, y0, x1, y1).
constexpr int kButtons[3][4] = {{200, 140, 520, 220}, {200, 260, 520, 340}, {200, 380, 520, 460}};

class DiscTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    disc_ = FixturePath("sample-dvd/VIDEO_TS/");
    if (disc_.empty()) GTEST_SKIP() << "sample DVD fixture missing";
  }
  // Plays the disc up to its video-manager menu with button 1 highlighted.
  void ToMenu(OwnerWindow& w) {
    ASSERT_TRUE(StartDisc(w, disc_));
    ASSERT_TRUE(
        WaitEvent(navdisc::EC_DVD_DOMAIN_CHANGE, 8000, navdisc::DVD_DOMAIN_VideoManagerMenu));
    ASSERT_TRUE(PumpUntil([] { return ShownColour(1).red() > 200; }));
  }
  // Plays title n from its start and waits until its pictures show.
  void ToTitle(OwnerWindow& w, uint32_t n) {
    ASSERT_TRUE(StartDisc(w, disc_));
    ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_DOMAIN_CHANGE));
    size_t from = Events().size();
    ASSERT_TRUE(JumpDVDTitle(n));
    ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_TITLE_CHANGE, 8000, static_cast<int32_t>(n), from));
    ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_CURRENT_HMSF_TIME, 8000, INT32_MIN, from));
  }
  // The colour of button b's frame (its left edge) in the picture now shown.
  static QColor ShownColour(int b) {
    auto* r = CurrentGroup() ? CurrentGroup()->Renderer() : nullptr;
    if (!r) return {};
    QImage img = r->LastShown().image;
    if (img.isNull()) return {};
    return img.pixelColor(kButtons[b - 1][0] + 2, (kButtons[b - 1][1] + kButtons[b - 1][3]) / 2);
  }
  static uint32_t CurrentButton() {
    uint32_t available = 0, current = 0;
    GetIDvdInfo2()->GetCurrentButton(&available, &current);
    return current;
  }
  static int64_t ShownTitleSeconds() {
    return CurrentGroup()->Renderer()->LastShown().titleTime / 1000000;
  }
  std::string disc_;
};

bool IsYellow(const QColor& c) { return c.red() > 200 && c.green() > 200 && c.blue() < 80; }
bool IsGrey(const QColor& c) {
  return std::abs(c.red() - c.green()) < 20 && std::abs(c.green() - c.blue()) < 20 &&
         c.red() > 90 && c.red() < 170;
}

TEST_F(DiscTest, MenuHighlightMovesAndActivates) {
  OwnerWindow w;
  ToMenu(w);
  EXPECT_TRUE(CurrentGroup()->InMenu());
  EXPECT_EQ(CurrentButton(), 1u);
  EXPECT_TRUE(IsYellow(ShownColour(1)));
  EXPECT_TRUE(IsGrey(ShownColour(2)));
  // The lower-button key moves the highlight, and the still picture is drawn again; the still
  // itself goes on.
  ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_STILL_ON));
  size_t from = Events().size();
  ASSERT_TRUE(SelectRelativeButton(2));
  EXPECT_EQ(CurrentButton(), 2u);
  ASSERT_TRUE(PumpUntil([] { return IsYellow(ShownColour(2)); }, 3000));
  EXPECT_TRUE(IsGrey(ShownColour(1)));
  ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_BUTTON_CHANGE, 3000, INT32_MIN, from));
  // The menu's three buttons, of which the second is now selected.
  EXPECT_EQ(LastEvent(navdisc::EC_DVD_BUTTON_CHANGE)->p1, 3);
  EXPECT_EQ(LastEvent(navdisc::EC_DVD_BUTTON_CHANGE)->p2, 2);
  // The still waits for the viewer, who has buttons to end it with.
  EXPECT_EQ(LastEvent(navdisc::EC_DVD_STILL_ON)->p1, 1);
  EXPECT_EQ(LastEvent(navdisc::EC_DVD_STILL_ON)->p2, -1);
  for (size_t i = from; i < Events().size(); ++i)
    EXPECT_NE(Events()[i].code, navdisc::EC_DVD_STILL_OFF);
  from = Events().size();
  ASSERT_TRUE(SelectRelativeButton(0));
  ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_TITLE_CHANGE, 8000, 2, from));
  EXPECT_EQ(LastEvent(navdisc::EC_DVD_TITLE_CHANGE)->p2, 10);  // title 2 lasts 10 s
  EXPECT_FALSE(CurrentGroup()->InMenu());
  EXPECT_FALSE(SelectRelativeButton(7));
}

TEST_F(DiscTest, TitleJumpFromTheStillMenuPlaysTheTitle) {
  OwnerWindow w;
  ToMenu(w);
  ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_STILL_ON));
  size_t from = Events().size();
  ASSERT_TRUE(JumpDVDTitle(1));
  ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_TITLE_CHANGE, 8000, 1, from));
  EXPECT_TRUE(WaitEvent(navdisc::EC_DVD_CURRENT_HMSF_TIME, 8000, INT32_MIN, from));
  EXPECT_GE(ShownTitleSeconds(), 0);
  // The still left behind must not cost the next one: the root menu opened a moment later
  // waits for the viewer instead of running out and stopping the disc.
  from = Events().size();
  ASSERT_TRUE(JumpDVDMenu(3));
  ASSERT_TRUE(
      WaitEvent(navdisc::EC_DVD_DOMAIN_CHANGE, 8000, navdisc::DVD_DOMAIN_VideoTitleSetMenu, from));
  ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_STILL_ON, 8000, INT32_MIN, from));
  // Its first button is highlighted although the number did not change since the last menu.
  EXPECT_TRUE(PumpUntil([] { return ShownColour(1).red() > 200; }, 3000));
  EXPECT_LT(ShownColour(2).red(), 200);
  PumpUntil([] { return false; }, 1500);
  for (size_t i = from; i < Events().size(); ++i) {
    EXPECT_NE(Events()[i].code, navdisc::EC_DVD_PLAYBACK_STOPPED);
    EXPECT_NE(Events()[i].code, navdisc::EC_DVD_STILL_OFF);
  }
  EXPECT_TRUE(CurrentGroup()->InMenu());
  from = Events().size();
  ASSERT_TRUE(SelectRelativeButton(2));
  ASSERT_TRUE(SelectRelativeButton(0));
  EXPECT_TRUE(WaitEvent(navdisc::EC_DVD_TITLE_CHANGE, 8000, 2, from));
}

TEST_F(DiscTest, MouseSelectsAndClicksThroughTheLetterbox) {
  // A 16:9 window showing the 4:3 menu in a centred 720x540 rectangle.
  OwnerWindow w(960, 540);
  ToMenu(w);
  LumoraRect rect{120, 0, 720, 540};
  ASSERT_TRUE(PutDVDOwner(w.handle(), &rect, true));
  auto toWindow = [&](int px, int py) {
    return std::pair<int, int>{rect.left + px * rect.width / 720,
                               rect.top + py * rect.height / 576};
  };
  // Beside every button, and outside the picture: false, nothing changes.
  size_t before = Events().size();
  for (const auto& b : kButtons) {
    auto [x, y] = toWindow(b[0] - 40, (b[1] + b[3]) / 2);
    EXPECT_FALSE(HandleMouseEvent(x, y, false));
    EXPECT_FALSE(HandleMouseEvent(x, y, true));
  }
  EXPECT_FALSE(HandleMouseEvent(10, 270, true));  // in the black bar
  plat::PumpMessages(300);
  EXPECT_EQ(CurrentButton(), 1u);
  for (size_t i = before; i < Events().size(); ++i)
    EXPECT_NE(Events()[i].code, navdisc::EC_DVD_TITLE_CHANGE);
  // Moving over button 2 selects it.
  auto [x2, y2] = toWindow(360, 300);
  EXPECT_TRUE(HandleMouseEvent(x2, y2, false));
  EXPECT_EQ(CurrentButton(), 2u);
  // A click at the centre of button 3 starts title 3.
  size_t from = Events().size();
  auto [x3, y3] = toWindow(360, 420);
  EXPECT_TRUE(HandleMouseEvent(x3, y3, true));
  EXPECT_TRUE(WaitEvent(navdisc::EC_DVD_TITLE_CHANGE, 8000, 3, from));
}

TEST_F(DiscTest, WideTitleAttributesAndLength) {
  OwnerWindow w;
  ToTitle(w, 1);
  EXPECT_EQ(LastEvent(navdisc::EC_DVD_TITLE_CHANGE)->p2, 12);
  EXPECT_EQ(CurrentGroup()->TitleLength(), 12);
  uint8_t buf[108];
  std::memset(buf, 0xee, sizeof buf);
  ASSERT_TRUE(GetDVDCurrentAttributes(buf));
  uint32_t ax, ay, lines;
  std::memcpy(&ax, buf + 8, 4);
  std::memcpy(&ay, buf + 12, 4);
  std::memcpy(&lines, buf + 40, 4);
  EXPECT_EQ(ax, 16u);
  EXPECT_EQ(ay, 9u);
  EXPECT_EQ(lines, 576u);
  uint32_t lcid;
  std::memcpy(&lcid, buf + 52 + 12, 4);  // the current audio stream's language
  EXPECT_EQ(lcid, 1033u);
  // The 4:3 title says so too.
  size_t from = Events().size();
  ASSERT_TRUE(JumpDVDTitle(3));
  ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_TITLE_CHANGE, 8000, 3, from));
  ASSERT_TRUE(GetDVDCurrentAttributes(buf));
  std::memcpy(&ax, buf + 8, 4);
  EXPECT_EQ(ax, 4u);
}

TEST_F(DiscTest, TimeEventsFollowThePicture) {
  OwnerWindow w;
  ToTitle(w, 1);
  size_t from = Events().size();
  int checked = 0;
  ASSERT_TRUE(PumpUntil(
      [&] {
        for (; from < Events().size(); ++from) {
          const Event& e = Events()[from];
          if (e.code != navdisc::EC_DVD_CURRENT_HMSF_TIME) continue;
          int64_t secs = (e.p1 & 0xff) * 3600 + ((e.p1 >> 8) & 0xff) * 60 + ((e.p1 >> 16) & 0xff);
          EXPECT_LE(std::llabs(secs - ShownTitleSeconds()), 1) << "event " << secs;
          ++checked;
        }
        return checked >= 3;
      },
      6000));
}

TEST_F(DiscTest, ChapterJumpAndMenuRoundTrip) {
  OwnerWindow w;
  ToTitle(w, 1);
  size_t from = Events().size();
  ASSERT_TRUE(JumpDVDChapter(3));
  ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_CHAPTER_START, 8000, 3, from));
  ASSERT_TRUE(PumpUntil([&] { return ShownTitleSeconds() >= 8; }, 10000));
  EXPECT_FALSE(JumpDVDChapter(9));
  // Root menu and back: playback resumes where it was.
  int64_t before = ShownTitleSeconds();
  from = Events().size();
  ASSERT_TRUE(JumpDVDMenu(3));
  ASSERT_TRUE(
      WaitEvent(navdisc::EC_DVD_DOMAIN_CHANGE, 8000, navdisc::DVD_DOMAIN_VideoTitleSetMenu, from));
  EXPECT_TRUE(CurrentGroup()->InMenu());
  from = Events().size();
  ASSERT_TRUE(JumpDVDMenu(3));
  ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_DOMAIN_CHANGE, 8000, navdisc::DVD_DOMAIN_Title, from));
  // Back in the title, the player hears which title and chapter play (it refits its window).
  EXPECT_TRUE(WaitEvent(navdisc::EC_DVD_TITLE_CHANGE, 8000, 1, from));
  EXPECT_TRUE(WaitEvent(navdisc::EC_DVD_CHAPTER_START, 8000, 3, from));
  ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_CURRENT_HMSF_TIME, 8000, INT32_MIN, from));
  EXPECT_LE(std::llabs(ShownTitleSeconds() - before), 1);
  EXPECT_EQ(CurrentGroup()->State(), navdisc::gsPlaying);
}

TEST_F(DiscTest, StreamLanguagesAndSelection) {
  OwnerWindow w;
  ToTitle(w, 1);
  auto* info = GetIDvdInfo2();
  auto* control = GetIDvdControl2();
  ASSERT_TRUE(info && control);
  uint32_t available = 0, current = 9, lcid = 0;
  ASSERT_EQ(info->GetCurrentAudio(&available, &current), navdisc::S_OK);
  EXPECT_EQ(available, 2u);
  EXPECT_EQ(current, 0u);
  ASSERT_EQ(info->GetAudioLanguage(0, &lcid), navdisc::S_OK);
  EXPECT_EQ(plat::LcidToLanguageName(lcid), "English");
  ASSERT_EQ(info->GetAudioLanguage(1, &lcid), navdisc::S_OK);
  EXPECT_EQ(plat::LcidToLanguageName(lcid), "French");
  EXPECT_LT(info->GetAudioLanguage(2, &lcid), 0);
  int32_t off = 0;
  ASSERT_EQ(info->GetCurrentSubpicture(&available, &current, &off), navdisc::S_OK);
  EXPECT_EQ(available, 2u);
  ASSERT_EQ(info->GetSubpictureLanguage(1, &lcid), navdisc::S_OK);
  EXPECT_EQ(lcid, 1036u);
  uint32_t titles = 0;
  ASSERT_EQ(info->GetDVDVolumeInfo(nullptr, nullptr, nullptr, &titles), navdisc::S_OK);
  EXPECT_EQ(titles, 3u);
  uint32_t chapters = 0;
  ASSERT_EQ(info->GetNumberOfChapters(1, &chapters), navdisc::S_OK);
  EXPECT_EQ(chapters, 3u);

  EXPECT_EQ(control->SelectAudioStream(1, 0, nullptr), navdisc::S_OK);
  ASSERT_EQ(info->GetCurrentAudio(&available, &current), navdisc::S_OK);
  EXPECT_EQ(current, 1u);
  EXPECT_NE(control->SelectAudioStream(5, 0, nullptr), navdisc::S_OK);
  // Subtitles on, French: the cue at 4.5-7.5 s shows over the picture.
  EXPECT_EQ(control->SelectSubpictureStream(1, 0, nullptr), navdisc::S_OK);
  EXPECT_EQ(control->SetSubpictureState(true, 0, nullptr), navdisc::S_OK);
  ASSERT_EQ(info->GetCurrentSubpicture(&available, &current, &off), navdisc::S_OK);
  EXPECT_EQ(current, 1u);
  EXPECT_EQ(off, 0);
}

TEST_F(DiscTest, SnapshotOfTheMenuMatchesTheDisc) {
  OwnerWindow w;
  ToMenu(w);
  QTemporaryDir dir;
  std::string shot = dir.filePath("shot.bmp").toStdString();
  ASSERT_TRUE(SnapshootDVDToFile(shot.c_str()));
  QImage mine = plat::LoadBitmap(shot);
  ASSERT_FALSE(mine.isNull());
  EXPECT_EQ(mine.size(), QSize(768, 576));  // 4:3 as displayed
  // The same frame decoded by ffmpeg from the menu's VOB.
  std::string ref = dir.filePath("ref.bmp").toStdString();
  int rc = QProcess::execute("ffmpeg", {"-hide_banner", "-loglevel", "error", "-y", "-i",
                                        QString::fromStdString(disc_ + "VIDEO_TS.VOB"), "-frames:v",
                                        "1", "-s", "768x576", QString::fromStdString(ref)});
  if (rc != 0) GTEST_SKIP() << "ffmpeg not available";
  QImage theirs = plat::LoadBitmap(ref);
  ASSERT_EQ(theirs.size(), mine.size());
  // Compare the heading, away from the button highlights the disc decoder does not draw.
  double diff = 0;
  int n = 0;
  for (int y = 20; y < 110; y += 2)
    for (int x = 0; x < 768; x += 2) {
      QColor a = mine.pixelColor(x, y), b = theirs.pixelColor(x, y);
      diff += std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
              std::abs(a.blue() - b.blue());
      n += 3;
    }
  EXPECT_LT(diff / n, 6.0);
  EXPECT_FALSE(SnapshootDVDToFile(nullptr));
}

TEST_F(DiscTest, VolumeAndBalanceAndPicture) {
  OwnerWindow w;
  ASSERT_TRUE(StartDisc(w, disc_, false));
  navdisc::graph::AudioRenderer* audio = nullptr;
  for (auto& f : CurrentGroup()->Graph()->Filters())
    if (auto* a = dynamic_cast<navdisc::graph::AudioRenderer*>(f.get())) audio = a;
  ASSERT_NE(audio, nullptr);
  double l, r;
  ASSERT_TRUE(SetDVDVolumeAndBalance(0, 0));
  audio->Gains(l, r);
  EXPECT_DOUBLE_EQ(l, 1.0);
  EXPECT_DOUBLE_EQ(r, 1.0);
  ASSERT_TRUE(SetDVDVolumeAndBalance(-2000, 10000));
  audio->Gains(l, r);
  EXPECT_NEAR(r, 0.1, 1e-9);
  EXPECT_NEAR(l, 0.0, 1e-9);
  ASSERT_TRUE(SetDVDVolumeAndBalance(-10000, 0));
  audio->Gains(l, r);
  EXPECT_EQ(l + r, 0.0);
  EXPECT_FALSE(SetDVDVolumeAndBalance(100, 0));
  EXPECT_FALSE(SetDVDVolumeAndBalance(0, 10001));
  EXPECT_TRUE(SetDVDVideoBrightness(-255.0));
  EXPECT_TRUE(SetDVDVideoContrast(10.0));
  EXPECT_TRUE(SetDVDVideoHue(180.0));
  EXPECT_TRUE(SetDVDVideoSaturation(0.0));
  EXPECT_FALSE(SetDVDVideoSaturation(11.0));
  EXPECT_FALSE(SetDVDVideoHue(-181.0));
}

TEST_F(DiscTest, BrightnessChangesTheStillMenuAtOnceAndBack) {
  // A still menu decodes nothing more, so a picture value must redraw what is shown, or the
  // settings dialog's preview and its Cancel show nothing until the viewer acts.
  OwnerWindow w;
  ToMenu(w);
  auto* r = CurrentGroup()->Renderer();
  auto background = [&] { return r->LastShown().image.pixelColor(10, 560); };
  const QColor before = background();
  ASSERT_TRUE(SetDVDVideoBrightness(120.0));
  ASSERT_TRUE(PumpUntil([&] { return background().red() > before.red() + 60; }, 3000));
  EXPECT_TRUE(IsYellow(ShownColour(1))) << "the highlight stays through the redraw";
  ASSERT_TRUE(SetDVDVideoBrightness(0.0));
  ASSERT_TRUE(PumpUntil([&] { return std::abs(background().red() - before.red()) <= 2; }, 3000));
  ASSERT_TRUE(SetDVDVideoContrast(0.0));  // every value, not brightness alone
  ASSERT_TRUE(PumpUntil([&] { return background().red() > before.red() + 60; }, 3000));
  EXPECT_EQ(CurrentButton(), 1u) << "a redraw is not a viewer's action";
}

TEST_F(DiscTest, BookmarkSavesAndRestoresThePlace) {
  OwnerWindow w;
  ToTitle(w, 1);
  size_t from = Events().size();
  ASSERT_TRUE(JumpDVDChapter(2));
  ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_CHAPTER_START, 8000, 2, from));
  ASSERT_TRUE(PumpUntil([&] { return ShownTitleSeconds() >= 5; }, 10000));
  QTemporaryDir dir;
  std::string file = dir.filePath("LUMORA.bmk").toStdString();
  ASSERT_TRUE(DVDBookmark(file.c_str(), "BOOKMARK-CH2-T5", true));
  EXPECT_TRUE(QFile::exists(QString::fromStdString(file)));
  EXPECT_FALSE(DVDBookmark(file.c_str(), "", true));
  from = Events().size();
  ASSERT_TRUE(JumpDVDTitle(3));
  ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_TITLE_CHANGE, 8000, 3, from));
  EXPECT_FALSE(DVDBookmark(file.c_str(), "BOOKMARK-CH9-T0", false));
  from = Events().size();
  ASSERT_TRUE(DVDBookmark(file.c_str(), "BOOKMARK-CH2-T5", false));
  ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_TITLE_CHANGE, 8000, 1, from));
  ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_CURRENT_HMSF_TIME, 8000, INT32_MIN, from));
  // The first pictures from the restored place may still be on their way on a busy machine;
  // a restore to the title's start would take seconds to get there.
  EXPECT_TRUE(PumpUntil([] { return std::llabs(ShownTitleSeconds() - 5) <= 1; }, 2500))
      << "shown at " << ShownTitleSeconds() << " s";
}

TEST_F(DiscTest, DiscWithoutFirstPlayShowsTipsThenTitleOne) {
  // Both a disc without a first-play program and one whose program stops libdvdnav before it
  // starts show the box once and then play title 1, whose menu answers afterwards.
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  QByteArray oldTmp = qgetenv("TMPDIR");
  qputenv("TMPDIR", tmp.path().toUtf8());
  for (const char* variant : {"nofp-dvd/VIDEO_TS/", "deadfp-dvd/VIDEO_TS/", "deadfp-dvd"}) {
    SCOPED_TRACE(variant);
    std::string path = FixturePath(variant);
    if (path.empty()) GTEST_SKIP() << "fixture missing";
    ClearEvents();
    plat::ClearRecordedMessageBoxes();
    {
      OwnerWindow w;
      ASSERT_TRUE(StartDisc(w, path));
      ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_NO_FP_PGC));
      ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_TITLE_CHANGE, 8000, 1));
      ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_CURRENT_HMSF_TIME));
      auto boxes = plat::RecordedMessageBoxes();
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].text, "EC_DVD_NO_FP_PGC->hr = m_pIDvdC2->PlayTitle");
      EXPECT_EQ(boxes[0].caption, "Tips");
      EXPECT_EQ(boxes[0].flags, plat::MB_OK);
      size_t from = Events().size();
      ASSERT_TRUE(JumpDVDMenu(3));
      EXPECT_TRUE(WaitEvent(navdisc::EC_DVD_DOMAIN_CHANGE, 8000,
                            navdisc::DVD_DOMAIN_VideoTitleSetMenu, from));
    }
    DestroyDVDGraph();
    // The disc seen without its first-play program leaves nothing behind.
    EXPECT_TRUE(QDir(tmp.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
  }
  if (oldTmp.isNull())
    qunsetenv("TMPDIR");
  else
    qputenv("TMPDIR", oldTmp);
}

TEST_F(DiscTest, IsoImageAndFolderPlayAlike) {
  std::string iso = FixturePath("sample.iso");
  if (iso.empty()) GTEST_SKIP() << "ISO fixture missing";
  OwnerWindow w;
  ASSERT_TRUE(StartDisc(w, iso));
  ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_DOMAIN_CHANGE, 8000, navdisc::DVD_DOMAIN_VideoManagerMenu));
  ASSERT_TRUE(SelectRelativeButton(0));
  ASSERT_TRUE(WaitEvent(navdisc::EC_DVD_TITLE_CHANGE, 8000, 1));
}

}  // namespace

// Where the picture goes: the aspect modes and zoom, with a real clip open.
#include "MainWindowTestSupport.h"
#include "platform/Shell.h"
#include "platform/VideoSurface.h"
#include "player/skin/SkinCursors.h"

namespace {

using mainwindow_test::MainWindowFixture;

// A two-second clip; sar stretches its pixels the way a 16:9 DVD picture does.
std::string Clip(int w, int h, const char* sar = "1/1") {
  const std::string dir = player_test::FixtureDir();
  std::string tag = std::to_string(w) + "x" + std::to_string(h) + "-" + sar;
  tag[tag.find('/')] = '_';
  const std::string path = dir + "clip-" + tag + ".mkv";
  if (QFile::exists(QString::fromStdString(path))) return path;
  const std::string tmp = dir + "tmp-" + std::to_string(getpid()) + "-" + tag + ".mkv";
  const std::string cmd =
      "ffmpeg -nostdin -loglevel error -y -f lavfi -i testsrc2=s=" + std::to_string(w) + "x" +
      std::to_string(h) + ":r=25:d=2,setsar=" + sar + " -c:v ffv1 '" + tmp + "'";
  if (std::system(cmd.c_str()) != 0 || std::rename(tmp.c_str(), path.c_str()) != 0) return {};
  return path;
}

struct Placement {
  bool hasRect = false;
  LumoraRect rect{0, 0, 0, 0};
  bool keep = false;
};

class VideoAreaTest : public MainWindowFixture {
 protected:
  // Opens a clip and waits until its shown width is known.
  void Open(int w, int h, int shownWidth = 0, const char* sar = "1/1") {
    const std::string clip = Clip(w, h, sar);
    ASSERT_FALSE(clip.empty());
    main_->b_DisplayControlPanel = true;
    ASSERT_TRUE(main_->ApplySkin(InstallShippedSkin("Default")));
    main_->show();
    PlayType = ptFile;  // the control panel says what it opens
    ASSERT_TRUE(StartFile(clip));
    int32_t vw = 0, vh = 0;
    for (int i = 0; i < 100 && !GetVideoSize(vw, vh); ++i) plat::PumpMessages(20);
    ASSERT_TRUE(GetVideoSize(vw, vh));
    ASSERT_EQ(vw, shownWidth ? shownWidth : w);
  }
  // Sizes the window so its video area is W x H (the skin's limits do not apply here).
  void VideoArea(int W, int H) {
    QWidget* video = main_->Panel_MainForm_Center;
    main_->resize(main_->width() + W - video->width(), main_->height() + H - video->height());
    ASSERT_EQ(video->size(), QSize(W, H));
  }
  Placement Placed() const {
    Placement p;
    EXPECT_TRUE(plat::GetVideoPlacement(h_CurrentPreviewWindow, p.hasRect, p.rect, p.keep));
    return p;
  }
  static void ExpectRect(const Placement& p, LumoraRect r) {
    ASSERT_TRUE(p.hasRect);
    EXPECT_EQ(p.rect.left, r.left);
    EXPECT_EQ(p.rect.top, r.top);
    EXPECT_EQ(p.rect.width, r.width);
    EXPECT_EQ(p.rect.height, r.height);
    EXPECT_FALSE(p.keep);
  }
};

TEST_F(VideoAreaTest, AspectModesPlaceThePictureAndFollowResizing) {
  // A 16:9 NTSC picture: 720 stored pixels shown 853 wide.
  Open(720, 480, 853, "32/27");
  VideoArea(640, 480);
  ASSERT_TRUE(main_->SetAspectMode(2));
  ExpectRect(Placed(), {-106, 0, 853, 480});

  d_AspectRatio = 1.333;
  ASSERT_TRUE(main_->SetAspectMode(3));
  VideoArea(1000, 400);  // the resize alone re-places the picture
  ExpectRect(Placed(), {233, 0, 533, 400});
  VideoArea(400, 1000);
  ExpectRect(Placed(), {0, 350, 400, 300});
  // A video area with no height counts as one pixel high for the proportion test.
  VideoArea(400, 0);
  ExpectRect(Placed(), {200, 0, 0, 0});

  ASSERT_TRUE(main_->SetAspectMode(0));
  Placement whole = Placed();
  EXPECT_FALSE(whole.hasRect);
  EXPECT_TRUE(whole.keep);
  ASSERT_TRUE(main_->SetAspectMode(1));
  whole = Placed();
  EXPECT_FALSE(whole.hasRect);
  EXPECT_FALSE(whole.keep);
  EXPECT_FALSE(main_->SetAspectMode(7));
  EXPECT_EQ(MyAspectRatioState, 1);
}

TEST_F(VideoAreaTest, NothingOpenLeavesTheModeAsItWas) {
  MyAspectRatioState = 0;
  EXPECT_FALSE(main_->SetAspectMode(1));
  EXPECT_EQ(MyAspectRatioState, 0);
  EXPECT_FALSE(main_->ZoomTo(2));
  const QSize before = main_->size();
  main_->FitWindowToVideo();
  EXPECT_EQ(main_->size(), before);
}

TEST_F(VideoAreaTest, FitWindowToVideoGivesTheVideoAreaThePictureSize) {
  Open(720, 400);
  main_->SetWindowSize(780, 580, false);
  main_->FitWindowToVideo();
  EXPECT_EQ(main_->Panel_MainForm_Center->size(), QSize(720, 400));
  EXPECT_TRUE(Screen().contains(main_->geometry()));
}

TEST_F(VideoAreaTest, ZoomByClicksWithTheSelectorThenZoomOut) {
  Open(320, 240);
  VideoArea(640, 480);
  QWidget* video = main_->Panel_MainForm_Center;
  auto* shadow = FT_LumoraDVD_ShadowForm;
  main_->EnterZoomMode();
  ASSERT_TRUE(main_->b_ZoomMode);
  ExpectRect(Placed(), {160, 120, 320, 240});
  EXPECT_TRUE(shadow->isVisible());
  EXPECT_EQ(shadow->size(), QSize(320, 240));
  // The pointer is held inside the video area.
  QRect clip;
  ASSERT_TRUE(plat::CursorClip(clip));
  EXPECT_EQ(clip, QRect(video->mapToGlobal(QPoint(0, 0)), video->size()));

  // The selector follows the pointer but stays inside the video area.
  const QPoint corner = video->mapToGlobal(QPoint(0, 0));
  Mouse(video, QEvent::MouseMove, corner + QPoint(5, 5), Qt::NoButton);
  EXPECT_EQ(shadow->pos(), corner);
  EXPECT_EQ(video->cursor().shape(), SkinCursor(kCursorZoom).shape());

  // Clicking with the selector on the picture's middle: factors 2, 4, 8, then nothing more.
  const QPoint middle = corner + QPoint(320, 240);
  const LumoraRect steps[3] = {{0, 0, 640, 480}, {-320, -240, 1280, 960}, {-960, -720, 2560, 1920}};
  for (int i = 0; i < 3; ++i) {
    Mouse(video, QEvent::MouseMove, middle, Qt::NoButton);
    Mouse(video, QEvent::MouseButtonPress, middle);
    Mouse(video, QEvent::MouseButtonRelease, middle);
    EXPECT_EQ(main_->i_ZoomLevel, i + 2);
    ExpectRect(Placed(), steps[i]);
    EXPECT_EQ(shadow->isVisible(), i < 2) << i;
  }
  Mouse(video, QEvent::MouseButtonRelease, middle);
  EXPECT_EQ(main_->i_ZoomLevel, 4);
  ExpectRect(Placed(), steps[2]);

  // A click on the selector's corner picks that quarter: it moves to the window's corner.
  ASSERT_TRUE(main_->ZoomOut());
  ASSERT_TRUE(main_->ZoomOut());
  EXPECT_EQ(main_->i_ZoomLevel, 2);
  ExpectRect(Placed(), {0, 0, 640, 480});
  EXPECT_TRUE(shadow->isVisible());
  Mouse(video, QEvent::MouseMove, corner, Qt::NoButton);
  Mouse(video, QEvent::MouseButtonRelease, corner);
  ExpectRect(Placed(), {0, 0, 1280, 960});

  // Zoom Out from level 2 is the native size, centred.
  ASSERT_TRUE(main_->ZoomOut());
  ASSERT_TRUE(main_->ZoomOut());
  EXPECT_EQ(main_->i_ZoomLevel, 1);
  ExpectRect(Placed(), {160, 120, 320, 240});
  EXPECT_FALSE(main_->ZoomOut());

  main_->LeaveZoomMode();
  EXPECT_FALSE(main_->b_ZoomMode);
  EXPECT_FALSE(shadow->isVisible());
  EXPECT_FALSE(plat::CursorClip(clip));
  EXPECT_FALSE(Placed().hasRect);
  // Out of zoom mode a click on the video area zooms nothing.
  Mouse(video, QEvent::MouseButtonRelease, middle);
  EXPECT_EQ(main_->i_ZoomLevel, 1);
}

TEST_F(VideoAreaTest, TheShadowWindowShowsOnlyItsOutlineOnceSized) {
  auto* shadow = FT_LumoraDVD_ShadowForm;
  shadow->resize(100, 60);
  shadow->show();
  EXPECT_TRUE(shadow->b_Resized);
  EXPECT_TRUE(shadow->mask().contains(QPoint(0, 0)));
  EXPECT_TRUE(shadow->mask().contains(QPoint(99, 59)));
  EXPECT_TRUE(shadow->mask().contains(QPoint(1, 30)));
  EXPECT_FALSE(shadow->mask().contains(QPoint(2, 30)));
  EXPECT_FALSE(shadow->mask().contains(QPoint(50, 30)));
  shadow->resize(200, 100);
  EXPECT_TRUE(shadow->mask().contains(QPoint(199, 99)));
  EXPECT_FALSE(shadow->mask().contains(QPoint(150, 50)));
}

}  // namespace

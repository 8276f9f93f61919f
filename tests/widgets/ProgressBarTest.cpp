#include <QCursor>
#include <QTest>
#include <cmath>
#include <memory>

#include "TestSupport.h"
#include "player/skin/controls/Ftimagebutton.h"

namespace {

struct Change {
  int pixel, value;
  bool dragging;
  bool operator==(const Change&) const = default;
};

void PrintTo(const Change& c, std::ostream* os) {
  *os << "{" << c.pixel << "," << c.value << "," << c.dragging << "}";
}

// A thumb picture whose bottom-left pixel (its see-through colour) is magenta.
QImage ThumbPic(int w, int h, QColor c) {
  QImage img = Solid(w, h, c);
  img.setPixel(0, h - 1, qRgb(255, 0, 255));
  return img;
}

// Track 200 x 12, insets 6 and 2, head 8 wide, thumb 10 wide: pixels 6..186 (extent 194).
class ProgressBarTest : public WidgetTest {
 protected:
  void Build(bool vertical, bool thumbAlways = false) {
    // Keep the pointer away so no stray enter event reaches the bar.
    QCursor::setPos(5000, 5000);
    form = std::make_unique<QWidget>();
    form->resize(400, 400);
    bar = new TFT_ProgressBar(form.get());
    bar->move(50, 50);
    bar->vertical = vertical;
    bar->thumbAlways = thumbAlways;
    ASSERT_TRUE(bar->SetThumbImages(ThumbPic(vertical ? 12 : 10, vertical ? 10 : 12, Qt::red),
                                    ThumbPic(10, 12, Qt::darkRed), QImage()));
    EXPECT_FALSE(bar->Ready());
    if (vertical) {
      ASSERT_TRUE(bar->SetTrackImages(Solid(12, 200, Qt::gray), Solid(8, 4, Qt::blue),
                                      Solid(8, 8, Qt::green), 2, 6, 12 - 2, 200 - 6));
    } else {
      ASSERT_TRUE(bar->SetTrackImages(Solid(200, 12, Qt::gray), Solid(4, 8, Qt::blue),
                                      Solid(8, 8, Qt::green), 6, 2, 200 - 6, 12 - 2));
    }
    EXPECT_TRUE(bar->Ready());
    bar->SetOnPositionChange([this](int p, int v, bool d, TFT_ProgressBar* sender) {
      EXPECT_EQ(sender, bar);
      changes.push_back({p, v, d});
    });
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  }

  std::unique_ptr<QWidget> form;
  TFT_ProgressBar* bar = nullptr;
  std::vector<Change> changes;
};

}  // namespace

TEST_F(ProgressBarTest, HorizontalPixelAndValueMapping) {
  Build(false);
  EXPECT_EQ(bar->size(), QSize(200, 12));
  EXPECT_EQ(bar->MinPixel(), 6);
  EXPECT_EQ(bar->ExtentPixel(), 194);
  EXPECT_EQ(bar->MaxPixel(), 186);
  EXPECT_EQ(bar->ThumbOffset(), -2);
  EXPECT_EQ(bar->GetPosition(), 0);
  EXPECT_FALSE(bar->Head()->isVisibleTo(bar));

  EXPECT_TRUE(bar->SetPosition(50, false));
  EXPECT_EQ(bar->PixelPosition(), 96);
  EXPECT_EQ(bar->GetPosition(), 50);
  EXPECT_EQ(bar->Head()->x(), 96);
  EXPECT_EQ(bar->Thumb()->x(), 94);
  EXPECT_EQ(bar->Fill()->geometry(), QRect(6, 2, 90, 8));
  EXPECT_TRUE(bar->Head()->isVisibleTo(bar));
  EXPECT_TRUE(changes.empty());  // told not to notify

  EXPECT_TRUE(bar->SetPositionF(100.0f));
  EXPECT_EQ(bar->PixelPosition(), 186);
  EXPECT_EQ(bar->GetPosition(), 100);
  EXPECT_FLOAT_EQ(bar->GetPositionF(), 100.0f);
  EXPECT_FALSE(bar->SetPositionF(100.5f));
  EXPECT_FALSE(bar->SetPositionF(-0.5f));
  EXPECT_FALSE(bar->SetPositionF(std::nanf("")));
  EXPECT_FALSE(bar->SetPosition(101, true));
  EXPECT_FALSE(bar->SetPosition(-1, true));
  EXPECT_EQ(bar->PixelPosition(), 186);

  // Values are quantised to pixels: 33 maps to pixel 65, which reads back as 32.
  EXPECT_TRUE(bar->SetPosition(33, true));
  EXPECT_EQ(bar->PixelPosition(), 65);
  EXPECT_EQ(bar->GetPosition(), 32);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0], (Change{65, 32, false}));
  EXPECT_TRUE(bar->SetPositionF(32.9f));  // the same pixel: nothing happens
  EXPECT_EQ(changes.size(), 1u);

  // Out-of-range pixels fail; pixels between max and extent are held at max.
  EXPECT_FALSE(bar->SetPixelPosition(5));
  EXPECT_FALSE(bar->SetPixelPosition(195));
  EXPECT_FALSE(bar->SetPixelPosition(-2));
  EXPECT_TRUE(bar->SetPixelPosition(190));
  EXPECT_EQ(bar->GetPosition(), 100);
  EXPECT_EQ(bar->Head()->x(), 186);

  // -1 empties the bar and stops notifying.
  changes.clear();
  EXPECT_TRUE(bar->SetPixelPosition(-1));
  EXPECT_EQ(bar->GetPosition(), 0);
  EXPECT_FLOAT_EQ(bar->GetPositionF(), 0.0f);
  EXPECT_FALSE(bar->Head()->isVisibleTo(bar));
  EXPECT_FALSE(bar->Fill()->isVisibleTo(bar));
  EXPECT_TRUE(bar->SetPixelPosition(100));
  EXPECT_TRUE(changes.empty());
}

TEST_F(ProgressBarTest, PaintsTrackFillAndHead) {
  Build(false, true);
  bar->SetPosition(50, false);
  QImage shot = Shot(bar);
  EXPECT_EQ(Px(shot, 3, 6), Rgb(Qt::gray));    // track before the inset
  EXPECT_EQ(Px(shot, 50, 6), Rgb(Qt::blue));   // fill stretched from 6 to 95
  EXPECT_EQ(Px(shot, 60, 1), Rgb(Qt::gray));   // above the fill
  EXPECT_EQ(Px(shot, 150, 6), Rgb(Qt::gray));  // beyond the head
  EXPECT_EQ(Px(shot, 94, 6), Rgb(Qt::red));    // thumb from 94 to 103
  EXPECT_EQ(Px(shot, 103, 6), Rgb(Qt::red));
  EXPECT_EQ(Px(shot, 104, 6), Rgb(Qt::gray));
}

TEST_F(ProgressBarTest, VerticalBarGrowsUpwards) {
  Build(true);
  EXPECT_EQ(bar->MinPixel(), 6);
  EXPECT_EQ(bar->MaxPixel(), 186);
  EXPECT_TRUE(bar->SetPosition(100, false));
  EXPECT_EQ(bar->Head()->y(), 6);
  EXPECT_EQ(bar->Fill()->geometry(), QRect(2, 14, 8, 180));  // from below the head to 194
  EXPECT_TRUE(bar->Fill()->isVisibleTo(bar));
  EXPECT_TRUE(bar->SetPosition(50, false));
  EXPECT_EQ(bar->PixelPosition(), 96);
  EXPECT_EQ(bar->GetPosition(), 50);
  EXPECT_TRUE(bar->SetPosition(0, false));
  EXPECT_EQ(bar->Head()->y(), 186);
  EXPECT_FALSE(bar->Head()->isVisibleTo(bar));
  EXPECT_FALSE(bar->Fill()->isVisibleTo(bar));
  EXPECT_EQ(bar->GetPosition(), 0);
  EXPECT_TRUE(bar->SetPosition(40, true));
  EXPECT_EQ(changes.size(), 1u);
  EXPECT_EQ(bar->Thumb()->y(), bar->Head()->y() - 2);
}

TEST_F(ProgressBarTest, TrackPressJumpsAndDragsFollowTheMouse) {
  Build(false);
  QTest::mousePress(bar->Track(), Qt::LeftButton, {}, QPoint(100, 6));
  EXPECT_TRUE(bar->Dragging());
  EXPECT_EQ(bar->PixelPosition(), 95);  // the 10-pixel thumb centred on the press
  EXPECT_EQ(bar->GetPosition(), 49);
  ASSERT_FALSE(changes.empty());
  EXPECT_EQ(changes.back(), (Change{95, 49, true}));

  changes.clear();
  QTest::mouseMove(bar->Track(), QPoint(130, 6));
  EXPECT_EQ(bar->PixelPosition(), 125);
  QTest::mouseMove(bar->Track(), QPoint(400, 30));  // far past the right end
  EXPECT_EQ(bar->PixelPosition(), 186);
  EXPECT_EQ(bar->GetPosition(), 100);
  for (const Change& c : changes) EXPECT_TRUE(c.dragging);
  ASSERT_FALSE(changes.empty());
  EXPECT_EQ(changes.back(), (Change{186, 100, true}));

  changes.clear();
  QTest::mouseMove(bar->Track(), QPoint(-300, 6));  // past the left end
  EXPECT_EQ(bar->PixelPosition(), 6);
  EXPECT_EQ(bar->GetPosition(), 0);
  EXPECT_FALSE(bar->Head()->isVisibleTo(bar));
  QTest::mouseRelease(bar->Track(), Qt::LeftButton, {}, QPoint(-300, 6));
  EXPECT_FALSE(bar->Dragging());
  ASSERT_FALSE(changes.empty());
  EXPECT_EQ(changes.back(), (Change{6, 0, false}));
  int releases = 0;
  for (const Change& c : changes) releases += !c.dragging;
  EXPECT_EQ(releases, 1);

  // Other buttons on the track do not move the bar.
  changes.clear();
  QTest::mouseClick(bar->Track(), Qt::RightButton, {}, QPoint(150, 6));
  EXPECT_EQ(bar->PixelPosition(), 6);
}

TEST_F(ProgressBarTest, ThumbDragAndDisabledBar) {
  Build(false, true);
  bar->SetPosition(50, false);
  ASSERT_TRUE(bar->Thumb()->isVisible());
  QTest::mousePress(bar->Thumb(), Qt::LeftButton, {}, QPoint(5, 5));
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0], (Change{96, 50, true}));  // the press reports whatever notify is
  EXPECT_EQ(Px(Shot(bar), 98, 6), Rgb(Qt::red));  // pressed picture: the normal copy
  QTest::mouseMove(bar->Thumb(), QPoint(25, 9));
  EXPECT_EQ(bar->PixelPosition(), 116);
  QTest::mouseRelease(bar->Thumb(), Qt::LeftButton, {}, QPoint(25, 9));
  EXPECT_EQ(changes.back(), (Change{116, 61, false}));
  EXPECT_FALSE(bar->Dragging());

  bar->setEnabled(false);
  changes.clear();
  QTest::mouseClick(bar->Track(), Qt::LeftButton, {}, QPoint(20, 6));
  EXPECT_EQ(bar->PixelPosition(), 116);
  EXPECT_TRUE(changes.empty());
}

TEST_F(ProgressBarTest, ThumbShowsOnlyOverTheBarUnlessAlways) {
  Build(false);
  bar->SetPosition(50, false);
  EXPECT_FALSE(bar->Thumb()->isVisibleTo(bar));
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(55, 55));
  QApplication::sendEvent(bar, &enter);
  EXPECT_TRUE(bar->MouseOverBar());
  EXPECT_TRUE(bar->Thumb()->isVisibleTo(bar));
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(bar, &leave);
  EXPECT_FALSE(bar->Thumb()->isVisibleTo(bar));

  QApplication::sendEvent(bar->Thumb(), &enter);
  EXPECT_TRUE(bar->MouseOverThumb());
  EXPECT_EQ(bar->Thumb()->Picture().pixel(1, 1), QColor(Qt::darkRed).rgb());
  QApplication::sendEvent(bar->Thumb(), &leave);
  EXPECT_EQ(bar->Thumb()->Picture().pixel(1, 1), QColor(Qt::red).rgb());

  // A new skin re-creates the thumb: the cursor the window gave it stays, the bar is empty
  // and places as before.
  bar->Thumb()->setCursor(Qt::SizeHorCursor);
  ASSERT_TRUE(bar->SetThumbImages(ThumbPic(10, 12, Qt::blue), QImage(), QImage()));
  EXPECT_EQ(bar->Thumb()->cursor().shape(), Qt::SizeHorCursor);
  EXPECT_TRUE(bar->Ready());
  EXPECT_EQ(bar->GetPosition(), 0);
  EXPECT_TRUE(bar->SetPosition(50, false));
  EXPECT_EQ(bar->Thumb()->x(), 94);
}

TEST_F(ProgressBarTest, IncompleteOrDegenerateBarsFailSafely) {
  TFT_ProgressBar bare;
  EXPECT_FALSE(bare.SetPixelPosition(10));
  EXPECT_FALSE(bare.SetPosition(10, true));
  EXPECT_FALSE(bare.SetThumbImages(QImage(), QImage(), QImage()));
  EXPECT_FALSE(
      bare.SetTrackImages(Solid(10, 10, Qt::gray), QImage(), Solid(2, 2, Qt::red), 0, 0, 10, 10));
  EXPECT_FALSE(bare.Ready());
  QTest::mouseClick(&bare, Qt::LeftButton, {}, QPoint(3, 3));

  // A head as long as the usable track: nowhere to move, but no division by zero.
  TFT_ProgressBar tight;
  ASSERT_TRUE(tight.SetThumbImages(Solid(4, 4, Qt::red), QImage(), QImage()));
  ASSERT_TRUE(tight.SetTrackImages(Solid(20, 4, Qt::gray), Solid(1, 4, Qt::blue),
                                   Solid(17, 4, Qt::green), 2, 0, 18, 4));
  EXPECT_LT(tight.MaxPixel(), tight.MinPixel());
  EXPECT_TRUE(tight.SetPosition(50, true));
  EXPECT_EQ(tight.GetPosition(), 0);
  EXPECT_TRUE(tight.SetPixelPosition(10));
  EXPECT_EQ(tight.GetPosition(), 0);
  EXPECT_EQ(tight.Head()->x(), 2);
}

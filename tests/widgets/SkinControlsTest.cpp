#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "TestSupport.h"
#include "player/skin/controls/Ftimagebutton.h"

namespace {

class DynamicButtonTest : public WidgetTest {
 protected:
  void SetUp() override {
    WidgetTest::SetUp();
    form = std::make_unique<QWidget>();
    form->resize(300, 100);
    button = new TFT_DynamicImageButton(form.get());
    form->show();
    // Record every frame the button puts on show.
    QObject::connect(button->PictureControl(), &TImage::PictureChanged,
                     [this] { shown.push_back(button->ShownFrame()); });
  }

  void Enter() {
    QEnterEvent e(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(button, &e);
  }
  void Leave() {
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(button, &e);
  }

  std::unique_ptr<QWidget> form;
  TFT_DynamicImageButton* button = nullptr;
  std::vector<int> shown;
};

}  // namespace

TEST_F(DynamicButtonTest, StripIsCutIntoFramesWithTheirRoles) {
  EXPECT_TRUE(button->isHidden());  // made hidden until a strip is cut
  ASSERT_TRUE(button->LoadFrames(Strip(5, 40, 16), 40));
  EXPECT_TRUE(button->Loaded());
  EXPECT_FALSE(button->isHidden());
  EXPECT_EQ(button->size(), QSize(40, 16));
  EXPECT_EQ(button->FrameCount(), 5);
  EXPECT_EQ(button->NormalFrame(), 0);
  EXPECT_EQ(button->PressedFrame(), 1);
  EXPECT_EQ(button->DisabledFrame(), 0);
  EXPECT_EQ(button->FirstAnimationFrame(), 2);
  EXPECT_EQ(button->RestFrame(), 2);
  EXPECT_EQ(button->ShownFrame(), 0);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(button->Frame(i).pixel(20, 8), FrameColour(i).rgb());
  EXPECT_EQ(Px(Shot(button), 10, 10), Rgb(FrameColour(0)));

  button->hasMaskFrame = true;
  button->hasDisabledFrame = true;
  ASSERT_TRUE(button->LoadFrames(Strip(5, 40, 16), 40));
  EXPECT_EQ(button->NormalFrame(), 1);
  EXPECT_EQ(button->PressedFrame(), 2);
  EXPECT_EQ(button->DisabledFrame(), 3);
  EXPECT_EQ(button->FirstAnimationFrame(), 4);
  EXPECT_EQ(button->RestFrame(), 4);
  EXPECT_EQ(Px(Shot(button), 10, 10), Rgb(FrameColour(1)));

  // 150 pixels at 40: four frames, the last one 30 pixels of picture.
  button->hasMaskFrame = false;
  button->hasDisabledFrame = false;
  ASSERT_TRUE(button->LoadFrames(Strip(4, 40, 16, 150), 40));
  ASSERT_EQ(button->FrameCount(), 4);
  EXPECT_EQ(button->Frame(3).size(), QSize(40, 16));
  EXPECT_EQ(button->Frame(3).pixel(29, 5), FrameColour(3).rgb());
  EXPECT_EQ(button->Frame(3).pixel(35, 5) & 0xFFFFFF, 0u);
}

TEST_F(DynamicButtonTest, StripTooNarrowLeavesTheButtonAsItWas) {
  ASSERT_TRUE(button->LoadFrames(Strip(5, 40, 16), 40));
  button->hasMaskFrame = true;
  button->hasDisabledFrame = true;
  // Mask, normal, pressed, disabled and one animation frame need 5 frames.
  EXPECT_FALSE(button->LoadFrames(Strip(4, 40, 16), 40));
  EXPECT_FALSE(button->Loaded());
  EXPECT_EQ(button->FrameCount(), 5);
  EXPECT_EQ(Px(Shot(button), 10, 10), Rgb(FrameColour(0)));
  EXPECT_FALSE(button->LoadFrames(Strip(5, 40, 16), 0));
  EXPECT_FALSE(button->LoadFrames(Strip(5, 40, 16), -40));
  EXPECT_FALSE(button->LoadFrames(QImage(), 40));
  EXPECT_FALSE(button->LoadFrames(Strip(5, 40, 16), 0x7FFFFFFF));
  // Not loaded: the mouse changes nothing.
  shown.clear();
  Enter();
  Leave();
  EXPECT_TRUE(shown.empty());
  EXPECT_FALSE(button->TimerRunning());
}

TEST_F(DynamicButtonTest, MaskFrameShapesTheButton) {
  QImage strip = Strip(5, 10, 10);
  for (int y = 0; y < 10; ++y) strip.setPixel(9, y, qRgb(255, 0, 255));
  button->hasMaskFrame = true;
  ASSERT_TRUE(button->LoadFrames(strip, 10));
  EXPECT_TRUE(button->mask().contains(QPoint(8, 5)));
  EXPECT_FALSE(button->mask().contains(QPoint(9, 5)));
  button->hasMaskFrame = false;
  ASSERT_TRUE(button->LoadFrames(strip, 10));
  EXPECT_TRUE(button->mask().isEmpty());  // the full rectangle again
}

TEST_F(DynamicButtonTest, HoverPlaysTheAnimationOnceThenRests) {
  ASSERT_TRUE(button->LoadFrames(Strip(5, 40, 16), 40));
  button->frameInterval = 5;
  shown.clear();
  Enter();
  EXPECT_TRUE(button->MouseInside());
  EXPECT_TRUE(button->TimerRunning());
  EXPECT_EQ(button->TimerInterval(), 5);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !button->TimerRunning(); }, 5000));
  // Rest frame on entering, frames 2..4, then back to rest.
  EXPECT_EQ(shown, (std::vector<int>{2, 3, 4, 2}));
  QTest::qWait(30);
  EXPECT_EQ(shown.size(), 4u);  // nothing more while the mouse stays

  // Leaving shows the normal frame; disabled, the disabled frame.
  Leave();
  EXPECT_EQ(button->ShownFrame(), 0);
  EXPECT_FALSE(button->MouseInside());
}

TEST_F(DynamicButtonTest, LoopPausesAndPlaysAgain) {
  ASSERT_TRUE(button->LoadFrames(Strip(5, 40, 16), 40));
  button->frameInterval = 5;
  button->loopPause = 30;
  button->loop = true;
  shown.clear();
  Enter();
  // After the run the timer waits loopPause and the run starts again.
  ASSERT_TRUE(QTest::qWaitFor([&] { return shown.size() >= 4; }, 5000));
  EXPECT_EQ(button->TimerInterval(), 30);
  EXPECT_TRUE(button->TimerRunning());
  ASSERT_TRUE(QTest::qWaitFor([&] { return shown.size() >= 8; }, 5000));
  EXPECT_EQ(std::vector<int>(shown.begin(), shown.begin() + 8),
            (std::vector<int>{2, 3, 4, 2, 3, 4, 2, 3}));
  Leave();
  EXPECT_FALSE(button->TimerRunning());
}

TEST_F(DynamicButtonTest, PressReleaseAndEnabledState) {
  ASSERT_TRUE(button->LoadFrames(Strip(5, 40, 16), 40));
  int clicks = 0;
  button->OnClick = [&](QObject*) { ++clicks; };
  button->frameInterval = 5;
  button->move(0, 0);
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(button->ShownFrame(), 1);
  EXPECT_FALSE(button->TimerRunning());
  EXPECT_EQ(button->FrameIndex(), 2);
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(button->ShownFrame(), 2);
  EXPECT_EQ(clicks, 1);  // the click still reaches the owner's handler

  button->SetButtonEnabled(false);
  EXPECT_FALSE(button->isEnabled());
  EXPECT_EQ(button->ShownFrame(), 0);  // no disabled frame: the normal one
  button->hasDisabledFrame = true;
  ASSERT_TRUE(button->LoadFrames(Strip(5, 40, 16), 40));
  button->SetButtonEnabled(true);
  button->SetButtonEnabled(false);
  EXPECT_EQ(button->ShownFrame(), 2);
  Leave();
  EXPECT_EQ(button->ShownFrame(), 2);
  shown.clear();
  Enter();  // a disabled button does not animate
  EXPECT_FALSE(button->TimerRunning());
  EXPECT_TRUE(shown.empty());
  button->SetButtonEnabled(true);
  EXPECT_EQ(button->ShownFrame(), 0);

  // A zero frame interval never fires.
  button->frameInterval = 0;
  Enter();
  EXPECT_FALSE(button->TimerRunning());
}

using DigitalImageTest = WidgetTest;

TEST_F(DigitalImageTest, ShowsDigitsFromItsBitmaps) {
  TFT_DigitalImage digit;
  EXPECT_TRUE(digit.Transparent());
  EXPECT_TRUE(digit.AutoSize());
  EXPECT_EQ(digit.ShownDigit(), -1);
  for (int d = 0; d < 10; d += 3)
    ASSERT_TRUE(digit.SetDigitBitmap(d, Solid(8 + d, 12, FrameColour(d))));
  EXPECT_FALSE(digit.SetDigitBitmap(10, Solid(8, 12, Qt::red)));
  EXPECT_FALSE(digit.SetDigitBitmap(-1, Solid(8, 12, Qt::red)));
  EXPECT_FALSE(digit.SetDigitBitmap(1, QImage()));

  QSignalSpy changed(&digit, &TImage::PictureChanged);
  EXPECT_TRUE(digit.ShowDigit(3));
  EXPECT_TRUE(digit.ShowDigit(3));
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(digit.size(), QSize(11, 12));
  EXPECT_EQ(digit.Picture().pixel(4, 4), FrameColour(3).rgb());

  EXPECT_FALSE(digit.ShowDigit(4));  // no bitmap: the picture stays
  EXPECT_FALSE(digit.ShowDigit(12));
  EXPECT_EQ(digit.ShownDigit(), 3);
  EXPECT_EQ(changed.count(), 1);

  // A new bitmap for the shown digit appears only once another digit was shown.
  ASSERT_TRUE(digit.SetDigitBitmap(0, Solid(8, 12, Qt::blue)));
  EXPECT_TRUE(digit.ShowDigit(0));
  ASSERT_TRUE(digit.SetDigitBitmap(0, Solid(8, 12, Qt::green)));
  EXPECT_TRUE(digit.ShowDigit(0));
  EXPECT_EQ(digit.Picture().pixel(1, 1), QColor(Qt::blue).rgb());
  EXPECT_TRUE(digit.ShowDigit(9));
  EXPECT_TRUE(digit.ShowDigit(0));
  EXPECT_EQ(digit.Picture().pixel(1, 1), QColor(Qt::green).rgb());
}

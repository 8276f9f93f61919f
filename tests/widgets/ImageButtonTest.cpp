#include <QDialog>
#include <QEnterEvent>
#include <QTest>
#include <memory>

#include "TestSupport.h"
#include "player/widgets/TskImageButton.h"

namespace {

class ImageButtonTest : public WidgetTest {
 protected:
  void SetUp() override {
    WidgetTest::SetUp();
    form = std::make_unique<QWidget>();
    form->resize(200, 100);
    form->setStyleSheet("");
    QPalette pal = form->palette();
    pal.setColor(QPalette::Window, Qt::yellow);
    form->setPalette(pal);
    form->setAutoFillBackground(true);
    button = new TskImageButton(form.get());
    button->move(20, 20);
    button->SetAutoSize(true);
    button->SetPicNormal(Solid(40, 20, Qt::blue));
    button->SetPicMouseOn(Solid(40, 20, Qt::green));
    button->SetPicMouseDown(Solid(40, 20, Qt::red));
    button->SetPicDisabled(Solid(40, 20, Qt::gray));
    button->OnClick = [this](QObject*) { ++clicks; };
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  }

  void Hover() {
    QEnterEvent e(QPointF(5, 5), QPointF(5, 5), QPointF(25, 25));
    QApplication::sendEvent(button, &e);
  }

  QRgb Shown() { return Px(Shot(button), 5, 5); }

  std::unique_ptr<QWidget> form;
  TskImageButton* button = nullptr;
  int clicks = 0;
};

}  // namespace

TEST_F(ImageButtonTest, StatePicturesFollowHoverPressAndEnabled) {
  EXPECT_EQ(button->size(), QSize(40, 20));
  EXPECT_EQ(Shown(), Rgb(Qt::blue));
  int enters = 0;
  button->OnMouseEnter = [&](QObject*) { ++enters; };
  Hover();
  EXPECT_TRUE(button->MouseOn());
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(Shown(), Rgb(Qt::green));
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(button->Pressed());
  EXPECT_EQ(Shown(), Rgb(Qt::red));
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(button->Pressed());
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(Shown(), Rgb(Qt::green));

  button->SetEnabled(false);
  EXPECT_EQ(Shown(), Rgb(Qt::gray));
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(clicks, 1);  // a disabled button raises no click
}

TEST_F(ImageButtonTest, MissingStatePicturesFallBackToNormal) {
  TskImageButton only(form.get());
  only.SetPicNormal(Solid(10, 10, Qt::blue));
  only.resize(10, 10);
  only.show();
  EXPECT_EQ(Px(Shot(&only), 2, 2), Rgb(Qt::blue));
  QTest::mousePress(&only, Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_EQ(Px(Shot(&only), 2, 2), Rgb(Qt::blue));
  QTest::mouseRelease(&only, Qt::LeftButton, {}, QPoint(2, 2));
  only.SetEnabled(false);
  EXPECT_EQ(Px(Shot(&only), 2, 2), Rgb(Qt::blue));

  // No picture at all: only the button's colour.
  TskImageButton empty(form.get());
  empty.SetColor(Qt::magenta);
  empty.resize(10, 10);
  EXPECT_EQ(Px(Shot(&empty), 2, 2), Rgb(Qt::magenta));
}

TEST_F(ImageButtonTest, PressDragOutAndReleaseOutsideIsNoClick) {
  int exits = 0, ups = 0;
  button->OnMouseExit = [&](QObject*) { ++exits; };
  button->OnMouseUp = [&](QObject*, TMouseButton b, TShiftState, int, int) {
    EXPECT_EQ(b, mbLeft);
    ++ups;
  };
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(button->Pressed());
  EXPECT_TRUE(button->RepeatTimerActive());
  QTest::mouseMove(button, QPoint(80, 5));
  EXPECT_FALSE(button->Pressed());
  EXPECT_FALSE(button->MouseOn());
  EXPECT_EQ(Shown(), Rgb(Qt::blue));
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(80, 5));
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(ups, 1);
  EXPECT_FALSE(button->RepeatTimerActive());
  EXPECT_EQ(Shown(), Rgb(Qt::blue));
}

TEST_F(ImageButtonTest, MouseDownReportsButtonsAndOnlyLeftPresses) {
  std::vector<std::tuple<TMouseButton, int, int>> downs;
  button->OnMouseDown = [&](QObject*, TMouseButton b, TShiftState, int x, int y) {
    downs.emplace_back(b, x, y);
  };
  QTest::mousePress(button, Qt::RightButton, {}, QPoint(7, 3));
  EXPECT_FALSE(button->Pressed());
  EXPECT_FALSE(button->RepeatTimerActive());
  QTest::mouseRelease(button, Qt::RightButton, {}, QPoint(7, 3));
  EXPECT_EQ(clicks, 0);
  QTest::mousePress(button, Qt::LeftButton, Qt::ShiftModifier, QPoint(9, 4));
  EXPECT_TRUE(button->hasFocus());  // a left press takes the focus
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(9, 4));
  ASSERT_EQ(downs.size(), 2u);
  EXPECT_EQ(downs[0], std::make_tuple(mbRight, 7, 3));
  EXPECT_EQ(downs[1], std::make_tuple(mbLeft, 9, 4));
  EXPECT_EQ(clicks, 1);
}

TEST_F(ImageButtonTest, SpaceAndEnterClickOnRelease) {
  button->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return button->hasFocus(); }, 2000));
  QTest::keyPress(button, Qt::Key_Space);
  EXPECT_TRUE(button->Pressed());
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(Shown(), Rgb(Qt::red));
  QTest::keyRelease(button, Qt::Key_Space);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(button->Pressed());
  QTest::keyClick(button, Qt::Key_Return);
  QTest::keyClick(button, Qt::Key_Enter);
  EXPECT_EQ(clicks, 3);
  QTest::keyClick(button, Qt::Key_A);
  QTest::keyRelease(button, Qt::Key_Space);  // a release without its press
  EXPECT_EQ(clicks, 3);
  button->SetEnabled(false);
  QTest::keyClick(button, Qt::Key_Space);
  EXPECT_EQ(clicks, 3);
}

TEST_F(ImageButtonTest, RepeatEventsRunOnlyWhileHeld) {
  int repeats = 0;
  button->SetMouseContinuouslyDownInterval(5);
  button->OnMouseContinuouslyDown = [&](QObject*) { ++repeats; };
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
  ASSERT_TRUE(QTest::qWaitFor([&] { return repeats >= 3; }, 5000));
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(button->RepeatTimerActive());
  int after = repeats;
  QTest::qWait(40);
  EXPECT_EQ(repeats, after);
  EXPECT_EQ(clicks, 1);

  // Leaving the button ends the repeats as well.
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(button->RepeatTimerActive());
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(button, &leave);
  EXPECT_FALSE(button->RepeatTimerActive());
  EXPECT_FALSE(button->Pressed());
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
}

TEST_F(ImageButtonTest, ModalResultGoesToTheOwningWindow) {
  QDialog dialog;
  auto* ok = new TskImageButton(&dialog);
  ok->SetPicNormal(Solid(10, 10, Qt::blue));
  ok->resize(10, 10);
  ok->SetModalResult(1);
  dialog.setModal(true);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QTest::mouseClick(ok, Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_EQ(dialog.result(), 1);
  EXPECT_EQ(dialog.property("ModalResult").toInt(), 1);
  EXPECT_FALSE(dialog.isVisible());

  button->SetModalResult(7);
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(form->property("ModalResult").toInt(), 7);
  EXPECT_TRUE(form->isVisible());  // an ordinary window stays open
}

TEST_F(ImageButtonTest, BackgroundStretchAndSeeThroughPictures) {
  auto* b = new TskImageButton(form.get());
  b->move(100, 10);
  b->resize(40, 20);
  b->SetColor(Qt::cyan);
  QImage pic = Solid(10, 10, Qt::blue);
  pic.setPixel(0, 0, QColor(Qt::red).rgb());
  pic.setPixel(4, 4, QColor(Qt::red).rgb());
  b->SetPicNormal(pic);
  b->show();
  QImage shot = Shot(form.get());
  EXPECT_EQ(Px(shot, 100 + 30, 10 + 15), Rgb(Qt::cyan));  // outside the picture: colour
  EXPECT_EQ(Px(shot, 100 + 4, 10 + 4), Rgb(Qt::red));
  b->SetTransparent(true);
  shot = Shot(form.get());
  EXPECT_EQ(Px(shot, 100 + 30, 10 + 15), Rgb(Qt::yellow));  // the parent shows through
  b->SetPicTransparent(true);
  shot = Shot(form.get());
  EXPECT_EQ(Px(shot, 100 + 4, 10 + 4), Rgb(Qt::yellow));  // top-left colour is see-through
  EXPECT_EQ(Px(shot, 100 + 5, 10 + 4), Rgb(Qt::blue));
  b->SetPicTransparent(false);
  b->SetStretch(true);
  shot = Shot(form.get());
  EXPECT_EQ(Px(shot, 100 + 39, 10 + 19), Rgb(Qt::blue));
  EXPECT_EQ(Px(shot, 100 + 17, 10 + 9), Rgb(Qt::red));  // (4,4) stretched by 4 and 2
}

TEST_F(ImageButtonTest, AutoSizeShapeAndFocusRectangle) {
  // Without a parent the size stays; with one it follows the normal picture.
  TskImageButton loose;
  loose.resize(5, 5);
  loose.SetAutoSize(true);
  loose.SetPicNormal(Solid(40, 20, Qt::blue));
  EXPECT_EQ(loose.size(), QSize(5, 5));
  button->resize(90, 90);
  button->SetPicNormal(Solid(40, 20, Qt::blue));
  EXPECT_EQ(button->size(), QSize(40, 20));

  QImage shaped = Solid(30, 10, Qt::blue);
  for (int y = 0; y < 10; ++y) shaped.setPixel(29, y, qRgb(255, 0, 255));
  shaped.setPixel(0, 0, qRgb(255, 0, 254));  // near the key colour is kept
  button->SetAutoSize(false);
  button->SetPicNormal(shaped);
  button->resize(60, 60);
  ASSERT_TRUE(button->ApplyShape());
  EXPECT_EQ(button->size(), QSize(30, 10));
  EXPECT_TRUE(button->mask().contains(QPoint(0, 0)));
  EXPECT_TRUE(button->mask().contains(QPoint(28, 9)));
  EXPECT_FALSE(button->mask().contains(QPoint(29, 5)));
  button->ClearShape();
  EXPECT_FALSE(button->HasShape());

  button->SetPicNormal(Solid(40, 20, Qt::blue));
  button->resize(40, 20);
  button->SetFocusedRectMargin(3);
  button->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([&] { return button->hasFocus(); }, 2000));
  QImage plain = Shot(button);
  button->SetDrawFocused(true);
  QImage focused = Shot(button);
  // Dots of the rectangle's left edge, 3 pixels in; nothing beside it.
  auto dots = [](const QImage& img, int x) {
    int n = 0;
    for (int y = 4; y < 16; ++y) n += Px(img, x, y) != Rgb(Qt::blue);
    return n;
  };
  EXPECT_EQ(dots(plain, 3), 0);
  EXPECT_GE(dots(focused, 3), 4);
  EXPECT_EQ(dots(focused, 2), 0);
  EXPECT_EQ(dots(focused, 10), 0);
  button->SetTabStop(false);
  EXPECT_EQ(dots(Shot(button), 3), 0);
}

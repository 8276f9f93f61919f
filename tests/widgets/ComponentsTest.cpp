#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "TestSupport.h"
#include "player/skin/controls/Ftimagebutton.h"
#include "player/widgets/Components.h"
#include "player/widgets/TImage.h"
#include "player/widgets/TLabel.h"
#include "player/widgets/TPanel.h"
#include "player/widgets/TPopupMenu.h"
#include "player/widgets/TTimer.h"
#include "player/widgets/TskImageButton.h"

using ComponentsTest = WidgetTest;

TEST_F(ComponentsTest, AlignmentFillsTheClientAreaInCreationOrder) {
  TPanel parent;
  parent.resize(200, 100);
  auto* top = new TPanel(&parent);
  top->resize(10, 10);
  top->SetAlign(alTop);
  auto* bottom = new TPanel(&parent);
  bottom->resize(10, 20);
  bottom->SetAlign(alBottom);
  auto* left = new TPanel(&parent);
  left->resize(30, 10);
  left->SetAlign(alLeft);
  auto* right = new TPanel(&parent);
  right->resize(40, 10);
  right->SetAlign(alRight);
  auto* client = new TPanel(&parent);
  client->SetAlign(alClient);
  auto* top2 = new TPanel(&parent);  // a second top control stacks below the first
  top2->resize(10, 5);
  top2->SetAlign(alTop);
  parent.show();

  EXPECT_EQ(top->geometry(), QRect(0, 0, 200, 10));
  EXPECT_EQ(top2->geometry(), QRect(0, 10, 200, 5));
  EXPECT_EQ(bottom->geometry(), QRect(0, 80, 200, 20));
  EXPECT_EQ(left->geometry(), QRect(0, 15, 30, 65));
  EXPECT_EQ(right->geometry(), QRect(160, 15, 40, 65));
  EXPECT_EQ(client->geometry(), QRect(30, 15, 130, 65));

  // The parent's resize and a hidden control realign the rest.
  parent.resize(300, 120);
  EXPECT_EQ(bottom->geometry(), QRect(0, 100, 300, 20));
  EXPECT_EQ(client->geometry(), QRect(30, 15, 230, 85));
  left->hide();
  EXPECT_EQ(client->geometry(), QRect(0, 15, 260, 85));
  // A bevel takes one pixel on every side.
  parent.SetBevelOuter(bvRaised);
  EXPECT_EQ(top->geometry(), QRect(1, 1, 298, 10));
}

TEST_F(ComponentsTest, ComponentsAreWalkedInCreationOrderWithoutOtherOwnersParts) {
  QWidget form;
  auto* panel = new TPanel(&form);
  panel->setObjectName("Panel_Center");
  auto* b1 = new TskImageButton(&form);
  b1->setObjectName("skImageButton_Play");
  auto* inner = new TImage(panel);  // deeper in the tree but created later
  inner->setObjectName("Image_Inner");
  auto* bar = new TFT_ProgressBar(panel);
  bar->setObjectName("ProgressBar");
  bar->SetThumbImages(Solid(10, 10, Qt::red), QImage(), QImage());
  bar->SetTrackImages(Solid(100, 10, Qt::gray), Solid(2, 4, Qt::blue), Solid(4, 4, Qt::green), 2, 2,
                      98, 8);
  auto* frame = new TPanel(panel);  // a frame holds its own components
  components::SetOwner(frame);
  frame->setObjectName("ControlFrame");
  auto* framed = new TskImageButton(frame);
  auto* timer = new TTimer(&form);
  timer->setObjectName("Timer_Status");
  auto* runtime = new TFT_DigitalImage(panel);  // made at run time, after all the others
  runtime->setObjectName("DI_TimeSec1");

  std::vector<QObject*> got = components::Components(&form);
  std::vector<QObject*> want = {panel, b1, inner, bar, frame, timer, runtime};
  EXPECT_EQ(got, want);
  EXPECT_STREQ(b1->metaObject()->className(), "TskImageButton");
  EXPECT_STREQ(runtime->metaObject()->className(), "TFT_DigitalImage");
  EXPECT_STREQ(bar->metaObject()->className(), "TFT_ProgressBar");
  // The frame's own walk finds its button.
  EXPECT_EQ(components::Components(frame), std::vector<QObject*>{framed});
  // Reparenting keeps the creation order.
  b1->setParent(panel);
  got = components::Components(&form);
  EXPECT_EQ(got, want);
}

TEST_F(ComponentsTest, ImageSizesStretchesAndKeysItsPicture) {
  TPanel parent;
  parent.SetColor(Qt::yellow);
  parent.resize(60, 40);
  auto* img = new TImage(&parent);
  img->SetAutoSize(true);
  QImage pic = Solid(20, 10, Qt::blue);
  pic.setPixel(0, 9, QColor(Qt::red).rgb());  // bottom-left: the see-through colour
  pic.setPixel(5, 5, QColor(Qt::red).rgb());
  QSignalSpy changed(img, &TImage::PictureChanged);
  img->SetPicture(pic);
  EXPECT_EQ(img->size(), QSize(20, 10));
  EXPECT_EQ(changed.count(), 1);

  QImage shot = Shot(&parent);
  EXPECT_EQ(Px(shot, 5, 5), Rgb(Qt::red));
  img->SetTransparent(true);
  shot = Shot(&parent);
  EXPECT_EQ(Px(shot, 5, 5), Rgb(Qt::yellow));
  EXPECT_EQ(Px(shot, 6, 5), Rgb(Qt::blue));

  img->SetAutoSize(false);
  img->SetTransparent(false);
  img->resize(40, 20);
  img->SetStretch(true);
  shot = Shot(&parent);
  EXPECT_EQ(Px(shot, 39, 19), Rgb(Qt::blue));  // a 20x10 picture reaches the far corner
  img->SetStretch(false);
  img->SetCenter(true);
  EXPECT_EQ(img->DestRect(), QRect(10, 5, 20, 10));
  shot = Shot(&parent);
  EXPECT_EQ(Px(shot, 2, 2), Rgb(Qt::yellow));
  EXPECT_EQ(Px(shot, 12, 7), Rgb(Qt::blue));
}

TEST_F(ComponentsTest, LabelAutoSizesToItsCaptionAndReportsClicks) {
  TPanel parent;
  parent.resize(300, 50);
  auto* label = new TLabel(&parent);
  label->SetCaption("x");
  int narrow = label->width();
  label->SetCaption("a much longer caption");
  EXPECT_GT(label->width(), narrow);
  EXPECT_GT(label->height(), 0);
  label->SetAutoSize(false);
  label->resize(50, 13);
  label->SetCaption("longer still, but fixed now");
  EXPECT_EQ(label->size(), QSize(50, 13));

  parent.show();
  int clicks = 0;
  label->OnClick = [&](QObject* s) {
    EXPECT_EQ(s, label);
    ++clicks;
  };
  QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseClick(label, Qt::RightButton, {}, QPoint(5, 5));
  EXPECT_EQ(clicks, 1);
}

TEST_F(ComponentsTest, PressesPassThroughDisabledControlsToTheirParent) {
  TPanel window;
  window.resize(300, 100);
  int presses = 0;
  window.OnMouseDown = [&](QObject*, TMouseButton, TShiftState, int, int) { ++presses; };
  auto* image = new TImage(&window);
  image->setGeometry(0, 0, 100, 100);
  auto* label = new TLabel(&window);
  label->SetAutoSize(false);
  label->setGeometry(100, 0, 100, 100);
  auto* panel = new TPanel(&window);
  panel->setGeometry(200, 0, 100, 100);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  for (QWidget* w :
       {static_cast<QWidget*>(image), static_cast<QWidget*>(label), static_cast<QWidget*>(panel)}) {
    SCOPED_TRACE(w->metaObject()->className());
    const QPoint at = w->rect().center();
    w->setEnabled(true);
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
    EXPECT_EQ(presses, 0) << "an enabled control keeps its presses";
    // A disabled background is how a skinned window is dragged by its face.
    w->setEnabled(false);
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
    EXPECT_EQ(presses, 1);
    presses = 0;
  }
}

TEST_F(ComponentsTest, TimerRunsOnlyWhenEnabledWithIntervalAndHandler) {
  TTimer timer;
  timer.SetInterval(5);
  EXPECT_FALSE(timer.Active());  // no handler yet
  int ticks = 0;
  timer.SetOnTimer([&](QObject*) { ++ticks; });
  EXPECT_TRUE(timer.Active());
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 5000));
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Active());
  timer.SetEnabled(true);
  timer.SetInterval(0);
  EXPECT_FALSE(timer.Active());
}

TEST_F(ComponentsTest, PopupMenuItemsClickAndRadioGroupsExclude) {
  TPopupMenu menu;
  auto* a = new TMenuItem;
  a->SetCaption("4:3");
  a->SetRadioItem(true);
  auto* b = new TMenuItem;
  b->SetCaption("16:9");
  b->SetRadioItem(true);
  auto* sep = new TMenuItem;
  sep->SetCaption("-");
  menu.Add(a);
  menu.Add(sep);
  menu.Insert(1, b);
  ASSERT_EQ(menu.Count(), 3);
  EXPECT_EQ(menu.Item(1), b);
  EXPECT_TRUE(sep->isSeparator());
  EXPECT_EQ(sep->Caption(), "-");
  EXPECT_TRUE(sep->text().isEmpty()) << "a style would draw the text beside the line";
  EXPECT_EQ(menu.Item(5), nullptr);

  QObject* clicked = nullptr;
  b->OnClick = [&](QObject* s) { clicked = s; };
  a->trigger();
  EXPECT_TRUE(a->Checked());
  b->trigger();
  EXPECT_EQ(clicked, b);
  EXPECT_TRUE(b->Checked());
  EXPECT_FALSE(a->Checked());

  auto* sub = new TMenuItem;
  a->Add(sub);
  EXPECT_EQ(a->Count(), 1);
  EXPECT_NE(a->SubMenu(), nullptr);
  a->Clear();
  EXPECT_EQ(a->Count(), 0);
  menu.Clear();
  EXPECT_EQ(menu.Count(), 0);
}

// The skin controls that plain image buttons cannot be: an animated strip button, a bitmap
// slider for position and volume, and a one-digit picture.
#pragma once

#include <QImage>
#include <QPoint>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "player/widgets/TImage.h"
#include "player/widgets/TPanel.h"

// A button animated from a strip of equal-width frames:
// [mask] normal, pressed, [disabled], animation frames...
class TFT_DynamicImageButton : public TPanel {
  Q_OBJECT
 public:
  explicit TFT_DynamicImageButton(QWidget* parent = nullptr);
  ~TFT_DynamicImageButton() override;

  // Cuts the strip (the caller keeps it) into frames of width frameWidth; set
  // hasMaskFrame and hasDisabledFrame first. False leaves the button not loaded.
  bool LoadFrames(const QImage& strip, int frameWidth);
  // Shows the normal frame on enabling, stops and shows the disabled frame on disabling.
  void SetButtonEnabled(bool on);

  bool hasMaskFrame = false;
  bool hasDisabledFrame = false;
  bool loop = false;
  int frameInterval = 100;  // milliseconds per animation frame; 0 never fires
  int loopPause = 2500;     // milliseconds before the animation repeats

  bool Loaded() const { return loaded_; }
  int FrameCount() const { return static_cast<int>(frames_.size()); }
  const QImage& Frame(int i) const { return frames_.at(i); }
  int FirstAnimationFrame() const { return firstAnimationFrame_; }
  int NormalFrame() const { return normalFrame_; }
  int PressedFrame() const { return pressedFrame_; }
  int RestFrame() const { return restFrame_; }
  int DisabledFrame() const { return disabledFrame_; }
  // Index of the frame on show, -1 before any.
  int ShownFrame() const { return shownFrame_; }
  int FrameIndex() const { return frameIndex_; }
  bool MouseInside() const { return mouseInside_; }
  bool TimerRunning() const { return timer_ && timer_->isActive(); }
  int TimerInterval() const { return timer_ ? timer_->interval() : -1; }
  TImage* PictureControl() const { return picture_; }

 protected:
  bool event(QEvent* e) override;

 private:
  void ShowFrame(int index);
  void EnsureTimer();
  void Tick();
  void ApplyShape();

  std::vector<QImage> frames_;
  TImage* picture_ = nullptr;
  std::unique_ptr<QTimer> timer_;
  int firstAnimationFrame_ = 0;
  int frameIndex_ = 0;
  int normalFrame_ = -1, pressedFrame_ = -1, restFrame_ = -1, disabledFrame_ = -1;
  int shownFrame_ = -1;
  bool loaded_ = false;
  bool mouseInside_ = false;
};

class TFT_ProgressBar;
// (pixel position, value, dragging, sender bar)
using TPositionChangeEvent = std::function<void(int, int, bool, TFT_ProgressBar*)>;

// A bitmap slider: track, stretched fill, head at the fill's end and a draggable thumb.
// Holds a value 0..100 quantised to its pixels.
class TFT_ProgressBar : public QWidget {
  Q_OBJECT
 public:
  explicit TFT_ProgressBar(QWidget* parent = nullptr);
  ~TFT_ProgressBar() override;

  // Set vertical and thumbAlways before the images.
  bool vertical = false;
  bool thumbAlways = false;
  bool notify = true;

  // hover and pressed may be null and then copy normal; false when normal is null.
  bool SetThumbImages(const QImage& normal, const QImage& hover, const QImage& pressed);
  // False when any picture is null. The bar takes the track's size.
  bool SetTrackImages(const QImage& track, const QImage& fill, const QImage& head, int insetX,
                      int insetY, int extentX, int extentY);
  // -1 empties the bar.
  bool SetPixelPosition(int pixel);
  bool SetPosition(int value, bool notifyChange);
  bool SetPositionF(float value);
  int GetPosition() const { return value_; }
  float GetPositionF() const { return floatValue_; }
  void SetOnPositionChange(TPositionChangeEvent f) { onPositionChange_ = std::move(f); }

  bool Ready() const { return ready_; }
  bool Dragging() const { return dragging_; }
  int PixelPosition() const { return pixelPosition_; }
  int MinPixel() const { return minPixel_; }
  int MaxPixel() const { return maxPixel_; }
  int ExtentPixel() const { return extentPixel_; }
  int ThumbOffset() const { return thumbOffset_; }
  int MinValue() const { return minValue_; }
  int MaxValue() const { return maxValue_; }
  bool MouseOverBar() const { return mouseOverBar_; }
  bool MouseOverThumb() const { return mouseOverThumb_; }

  // The parts, for cursors and inspection; null until their images are set.
  TImage* Thumb() const { return thumb_; }
  TImage* Track() const { return track_; }
  TImage* Fill() const { return fill_; }
  TImage* Head() const { return head_; }

 protected:
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  int AxisLength(const QWidget* w) const;
  int AxisLength(const QImage& img) const;
  void UpdateThumbOffset();
  void SetThumbStart(int start);
  void ShowThumbPicture(const QImage& img);
  int PixelForRatio(float ratio) const;
  void Notify(bool draggingFlag);
  void ThumbMouse(QEvent* e);
  void TrackMouse(QEvent* e);
  void DragMove(const QPointF& global);
  void ButtonUp();

  QImage thumbNormal_, thumbHover_, thumbPressed_;
  TImage* thumb_ = nullptr;
  TImage* track_ = nullptr;
  TImage* fill_ = nullptr;
  TImage* head_ = nullptr;
  TPositionChangeEvent onPositionChange_;
  QPoint pressPoint_;
  QPoint cursorPoint_;
  int minPixel_ = 0;
  int extentPixel_ = 0;
  int maxPixel_ = 0;
  int pixelPosition_ = 0;
  int value_ = 0;
  float floatValue_ = 0;
  int dragStartPixel_ = 0;
  int thumbOffset_ = 0;
  const int maxValue_ = 100;
  const int minValue_ = 0;
  bool ready_ = false;
  bool mouseOverBar_ = false;
  bool mouseOverThumb_ = false;
  bool dragging_ = false;
};

// A picture that shows one decimal digit from ten bitmaps.
class TFT_DigitalImage : public TImage {
  Q_OBJECT
 public:
  explicit TFT_DigitalImage(QWidget* parent = nullptr);

  // Copies bitmap into the digit's slot; false for a null bitmap or a digit outside 0..9.
  bool SetDigitBitmap(int digit, const QImage& bitmap);
  // False when the digit has no bitmap (the picture stays); the picture is replaced only
  // when the digit differs from the one shown.
  bool ShowDigit(int digit);
  int ShownDigit() const { return shownDigit_; }
  bool HasDigitBitmap(int digit) const;

 private:
  std::array<QImage, 10> digitBitmaps_;
  int shownDigit_ = -1;
};

// The four-state picture button every skinned window is built from.
#pragma once

#include <QImage>
#include <QPixmap>

#include "player/widgets/TskCustomButton.h"

class TskImageButton : public TskCustomButton {
  Q_OBJECT
 public:
  explicit TskImageButton(QWidget* parent = nullptr);

  // Each setter copies the picture, applies AutoSize and repaints.
  const QImage& PicNormal() const { return pics_[0]; }
  const QImage& PicMouseOn() const { return pics_[1]; }
  const QImage& PicMouseDown() const { return pics_[2]; }
  const QImage& PicDisabled() const { return pics_[3]; }
  void SetPicNormal(const QImage& img) { SetPic(0, img); }
  void SetPicMouseOn(const QImage& img) { SetPic(1, img); }
  void SetPicMouseDown(const QImage& img) { SetPic(2, img); }
  void SetPicDisabled(const QImage& img) { SetPic(3, img); }

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool on);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool on);
  // Draws the picture with its top-left pixel's colour see-through.
  bool PicTransparent() const { return picTransparent_; }
  void SetPicTransparent(bool on);

  // The picture the present state shows (empty when there is none to draw).
  const QImage& CurrentPicture() const;

  // Cuts the button to its normal picture (pixels of the key colour cut away) and sizes it
  // to the picture. Returns false, changing nothing, when there is no normal picture.
  bool ApplyShape(QRgb key = kKeyColour);
  // Drops any shape, as re-creating the button's window does.
  void ClearShape();
  bool HasShape() const { return !mask().isEmpty(); }

 protected:
  void PaintContent(QPainter& p) override;

 private:
  void SetPic(int index, const QImage& img);
  void ApplyAutoSize();
  const QPixmap& Drawn(int index) const;

  QImage pics_[4];
  mutable QPixmap drawn_[4];  // pictures as drawn, keyed when PicTransparent is on
  mutable bool drawnValid_[4] = {false, false, false, false};
  bool autoSize_ = false;
  bool stretch_ = false;
  bool picTransparent_ = false;
};

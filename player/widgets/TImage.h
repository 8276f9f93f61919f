// The framework's picture control.
#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include "player/widgets/Components.h"

class TImage : public QWidget, public TControlEvents {
  Q_OBJECT
 public:
  explicit TImage(QWidget* parent = nullptr);

  TAlign Align() const { return components::Align(this); }
  void SetAlign(TAlign a) { components::SetAlign(this, a); }

  // The picture is copied; an empty image clears it.
  const QImage& Picture() const { return picture_; }
  void SetPicture(const QImage& image);
  void ClearPicture() { SetPicture(QImage()); }
  bool HasPicture() const { return !picture_.isNull(); }

  // AutoSize: the control takes the picture's size whenever a picture is set.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool on);
  // Stretch: the picture fills the control; otherwise it is drawn at its own size.
  bool Stretch() const { return stretch_; }
  void SetStretch(bool on);
  // Center: an unstretched picture is centred; otherwise it sits at the top-left corner.
  bool Center() const { return center_; }
  void SetCenter(bool on);
  // Transparent: pixels of the picture's bottom-left colour let the background show.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool on);

  // Where the picture is drawn within the control.
  QRect DestRect() const;

 signals:
  // Emitted each time the shown picture is replaced.
  void PictureChanged();

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  void Rebuild();

  QImage picture_;
  QPixmap drawn_;  // the picture as drawn, with the transparent colour keyed out
  bool autoSize_ = false;
  bool stretch_ = false;
  bool center_ = false;
  bool transparent_ = false;
};

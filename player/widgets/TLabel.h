// The framework's text label.
#pragma once

#include <QString>
#include <QWidget>

#include "player/widgets/Components.h"

class TLabel : public QWidget, public TControlEvents {
  Q_OBJECT
 public:
  explicit TLabel(QWidget* parent = nullptr);

  TAlign Align() const { return components::Align(this); }
  void SetAlign(TAlign a) { components::SetAlign(this, a); }

  QString Caption() const { return caption_; }
  void SetCaption(const QString& c);

  // AutoSize (on by default): the label takes the size of its caption.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool on);

  // Transparent: no background is filled; otherwise it is filled with Color.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool on);
  QColor Color() const { return color_; }
  void SetColor(const QColor& c);
  QColor FontColor() const { return fontColor_; }
  void SetFontColor(const QColor& c);
  void SetFontName(const QString& family);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);

  // The hint is the tool tip; it shows only while ShowHint is on.
  QString Hint() const { return hint_; }
  void SetHint(const QString& h);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool on);

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  void AdjustBounds();

  QString caption_;
  QString hint_;
  QColor color_;
  QColor fontColor_ = Qt::black;
  TAlignment alignment_ = taLeftJustify;
  bool autoSize_ = true;
  bool transparent_ = false;
  bool showHint_ = false;
};

// The framework's panel: a plain container with a colour, an optional bevel and caption.
#pragma once

#include <QString>
#include <QWidget>

#include "player/widgets/Components.h"

class TPanel : public QWidget, public TControlEvents {
  Q_OBJECT
 public:
  explicit TPanel(QWidget* parent = nullptr);

  TAlign Align() const { return components::Align(this); }
  void SetAlign(TAlign a) { components::SetAlign(this, a); }

  QString Caption() const { return caption_; }
  void SetCaption(const QString& c);

  // Defaults to the palette's window colour.
  QColor Color() const { return color_; }
  void SetColor(const QColor& c);

  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut b);

  // With ParentBackground on nothing is filled: whatever the parent painted shows through.
  bool ParentBackground() const { return parentBackground_; }
  void SetParentBackground(bool on);

  // Reapplies the alignment of the children (the framework does it on every resize).
  void Realign() { components::AlignControls(this); }

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  QString caption_;
  QColor color_;
  TBevelCut bevelOuter_ = bvNone;
  bool parentBackground_ = false;
};

// Writes one skin folder: bitmaps, cursors and a Skin.ini whose records are made from the
// same geometry the pictures were drawn with.
#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

#include "Paint.h"

namespace skingen {

class SkinBuilder {
 public:
  SkinBuilder(const QString& root, const QString& name, const Palette& pal);

  const Palette& pal() const { return pal_; }
  QString folder() const { return folder_; }
  bool ok() const { return ok_; }

  // Saves a 24-bit BMP (or any bytes) under the skin folder; rel uses '/' on disk.
  void Save(const QImage& img, const QString& rel);
  void SaveBytes(const QByteArray& data, const QString& rel);
  void Set(const QString& section, const QString& key, const QString& value);
  bool WriteIni();

  // Button record; the pictures are drawn over `under` (what lies below the button).
  void Button(const QString& section, const QString& key, const QString& file, const QImage& under,
              QRect at, Icon icon, ButtonStyle style, const QString& hint, bool visible = true,
              bool enabled = true, bool shaped = false, qreal glyphScale = 0.62);
  // Button from ready-made state pictures.
  void ButtonFiles(const QString& section, const QString& key, const QString& file,
                   const QImage pics[4], QRect at, const QString& hint, bool visible, bool enabled,
                   bool shaped);
  void Image(const QString& section, const QString& key, const QString& file, const QImage& img,
             QPoint at, bool visible = true, bool enabled = true, bool transparent = false,
             bool sizeParent = false, QSize recordSize = QSize());
  // Progress or volume bar; `under` is the background at the bar's place (its size is the
  // track's). The groove runs from insetX to width - insetX.
  void Bar(const QString& section, const QString& key, const QString& file, const QImage& under,
           QPoint at, int insetX, int grooveHeight, bool thumbAlways, bool vertical = false);
  void Digits(const QString& section, const QString& key, const QString& prefix, QPoint at,
              bool visible = true);
  void DigitSet(const QString& prefix, int w, int h, qreal thickness);
  void Dynamic(const QString& section, const QString& key, const QString& file, const QImage& under,
               QPoint at, int animFrames, int intervalMs, int pauseMs);
  void List(const QString& section, const QString& key, const QString& prefix, int rowHeight,
            bool visible = true);
  void Word(const QString& section, const QString& key, const QString& word);
  void Cursors();
  // Draws the visible pictures placed in a section over bg, each shifted by `offset` (only the
  // keys listed, or all when the list is empty): how the window looks before any playback.
  void Compose(QImage& bg, const QString& section, QPoint offset = {},
               const QStringList& keys = {}) const;
  void Corners(const QString& prefix, int radius);

 private:
  static QString Ini(const QString& rel);  // file field text (skins use '\' between folders)

  QString folder_;
  Palette pal_;
  bool ok_ = true;
  struct Placed {
    QString section, key;
    QImage picture;
    QPoint at;
    bool visible;
  };
  void Place(const QString& section, const QString& key, const QImage& img, QPoint at,
             bool visible);

  std::vector<std::pair<QString, std::vector<std::pair<QString, QString>>>> sections_;
  std::vector<Placed> placed_;
};

}  // namespace skingen

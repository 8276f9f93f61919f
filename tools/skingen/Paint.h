// Drawing helpers shared by the skins: palettes, surfaces, buttons, digits, bars, cursors.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <vector>

namespace skingen {

constexpr QRgb kKey = 0xFFFF00FF;  // the keying colour: cut away by every skin shape

struct Palette {
  QColor frameTop, frameBottom;  // title strip gradient
  QColor edge, edgeHighlight, edgeShadow;
  QColor panelTop, panelBottom;  // control surfaces
  QColor lcd, lcdBorder, lcdOn, lcdOff, lcdLabel;
  QColor accent, accentDark, accentLight;
  QColor glyph, glyphHover, glyphPressed, glyphDisabled;
  QColor plateHover, platePressed;  // round plates behind hovered / pressed glyphs
  QColor groove, grooveShadow;
  QColor text, textDim;
  QColor video;  // idle picture background
  QColor listBack, listBackAlt;
  QColor wordAccent;  // second half of the wordmark
  QColor closeHover;  // plate of a hovered close button
};

enum class Icon {
  Play,
  Pause,
  Stop,
  Prev,
  Next,
  FastForward,
  Rewind,
  Step,
  Open,
  Eject,
  Mute,
  Volume,
  VolumeUp,
  VolumeDown,
  FullScreen,
  PlayList,
  Menu,
  Close,
  Minimise,
  Maximise,
  Restore,
  Settings,
  About,
  Mail,
  Home,
  Subtitle,
  Language,
  Rate,
  Bookmark,
  Snapshot,
  SnapshotBurst,
  SnapshotStop,
  Save,
  Tv,
  Star,
  List,
  Add,
  Delete,
  Shuffle,
  Repeat,
  More,
  Grip
};

// Icon glyph in the given box (the box is treated as a 24 x 24 design grid).
void DrawIcon(QPainter& p, Icon icon, const QRectF& box, const QColor& colour);

QImage NewImage(int w, int h, const QColor& fill = Qt::black);
QImage Crop(const QImage& src, const QRect& r);
void VerticalGradient(QImage& img, const QRect& r, const QColor& top, const QColor& bottom);
// Rounded panel with a 1-pixel light top edge and dark outline.
void Bevel(QPainter& p, const QRectF& r, qreal radius, const QColor& top, const QColor& bottom,
           const QColor& outline, const QColor& highlight);
void Text(QPainter& p, const QRectF& r, const QString& s, int pixelSize, const QColor& c,
          int flags = Qt::AlignCenter, bool bold = true, qreal spacing = 0);
// Wordmark "Lumora" + "DVD" with the accent on the second half.
void Wordmark(QPainter& p, const QRectF& r, int pixelSize, const Palette& pal,
              int flags = Qt::AlignCenter);

enum class ButtonStyle {
  Glyph,    // bare glyph, round plate on hover and press
  Round,    // filled round plate in every state
  Primary,  // accent-filled circle
  Active,   // accent glyph on a soft plate: a switch that is on
};
enum class ButtonState { Normal, Hover, Pressed, Disabled };

// A button picture drawn over the background that lies under it, so it blends in exactly.
QImage ButtonPicture(const QImage& under, Icon icon, ButtonStyle style, ButtonState state,
                     const Palette& pal, qreal glyphScale = 0.62);
// Pixels outside the ellipse of the picture become the keying colour (shaped buttons).
void KeyOutsideEllipse(QImage& img, qreal inset = 0.0);

// Seven-segment digit (0-9) on the display colour.
QImage SegmentDigit(int digit, int w, int h, const Palette& pal, qreal thickness);

// Strip of frames for the animated play button: mask, normal, pressed, disabled, animation.
QImage PlayStrip(const QImage& under, int frames, const Palette& pal);

// Windows cursor file (.cur) with a 32-bit picture and its AND mask.
QByteArray CursorFile(const QImage& picture, QPoint hotSpot);
enum class CursorKind { MoveWE, MoveNS, DragWE, DragNS, Resize, Press, Zoom };
QImage CursorPicture(CursorKind kind, const Palette& pal, QPoint* hotSpot);

// Corner mask: key colour outside a quarter circle of the given radius.
QImage CornerMask(int radius, Qt::Corner corner);
// Whole-window mask: key colour outside a rounded rectangle.
QImage RoundedMask(int w, int h, int radius);

}  // namespace skingen

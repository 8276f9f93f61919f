#include "Paint.h"

#include <QBuffer>
#include <QDataStream>
#include <QFont>
#include <QPainterPath>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace skingen {

QImage NewImage(int w, int h, const QColor& fill) {
  QImage img(std::max(1, w), std::max(1, h), QImage::Format_RGB32);
  img.fill(fill);
  return img;
}

QImage Crop(const QImage& src, const QRect& r) {
  QImage out = NewImage(r.width(), r.height(), Qt::black);
  QPainter p(&out);
  p.drawImage(QPoint(0, 0), src, r);
  return out;
}

void VerticalGradient(QImage& img, const QRect& r, const QColor& top, const QColor& bottom) {
  QPainter p(&img);
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  p.fillRect(r, g);
}

void Bevel(QPainter& p, const QRectF& r, qreal radius, const QColor& top, const QColor& bottom,
           const QColor& outline, const QColor& highlight) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  QRectF o = r.adjusted(0.5, 0.5, -0.5, -0.5);
  p.setPen(QPen(outline, 1));
  p.setBrush(g);
  p.drawRoundedRect(o, radius, radius);
  if (highlight.alpha() > 0) {
    p.setPen(QPen(highlight, 1));
    p.setBrush(Qt::NoBrush);
    QRectF h = o.adjusted(1, 1, -1, -1);
    QPainterPath path;
    path.moveTo(h.left() + radius, h.top());
    path.lineTo(h.right() - radius, h.top());
    p.drawPath(path);
  }
  p.restore();
}

void Text(QPainter& p, const QRectF& r, const QString& s, int pixelSize, const QColor& c, int flags,
          bool bold, qreal spacing) {
  p.save();
  p.setRenderHint(QPainter::TextAntialiasing);
  QFont f("DejaVu Sans");
  f.setPixelSize(pixelSize);
  f.setBold(bold);
  f.setHintingPreference(QFont::PreferFullHinting);
  if (spacing != 0) f.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
  p.setFont(f);
  p.setPen(c);
  p.drawText(r, flags, s);
  p.restore();
}

void Wordmark(QPainter& p, const QRectF& r, int pixelSize, const Palette& pal, int flags) {
  p.save();
  p.setRenderHint(QPainter::TextAntialiasing);
  QFont a("DejaVu Sans");
  a.setPixelSize(pixelSize);
  a.setBold(true);
  a.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
  QFont b = a;
  b.setBold(false);
  QFontMetricsF ma(a), mb(b);
  const QString first = "Lumora", second = "DVD";
  qreal w = ma.horizontalAdvance(first) + 2 + mb.horizontalAdvance(second);
  qreal x = r.left();
  if (flags & Qt::AlignHCenter) x = r.center().x() - w / 2;
  if (flags & Qt::AlignRight) x = r.right() - w;
  qreal base = r.center().y() + (ma.ascent() - ma.descent()) / 2;
  p.setFont(a);
  p.setPen(pal.text);
  p.drawText(QPointF(std::round(x), std::round(base)), first);
  p.setFont(b);
  p.setPen(pal.wordAccent);
  p.drawText(QPointF(std::round(x + ma.horizontalAdvance(first) + 2), std::round(base)), second);
  p.restore();
}

QImage ButtonPicture(const QImage& under, Icon icon, ButtonStyle style, ButtonState state,
                     const Palette& pal, qreal glyphScale) {
  QImage img = under.convertToFormat(QImage::Format_RGB32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal w = img.width(), h = img.height();
  const qreal d = std::min(w, h);
  QRectF plate((w - d) / 2 + 1, (h - d) / 2 + 1, d - 2, d - 2);
  bool pressed = state == ButtonState::Pressed;
  QColor glyph = pal.glyph;
  switch (style) {
    case ButtonStyle::Glyph:
      if (state == ButtonState::Hover) {
        p.setPen(Qt::NoPen);
        p.setBrush(icon == Icon::Close ? pal.closeHover : pal.plateHover);
        p.drawEllipse(plate);
        glyph = icon == Icon::Close ? QColor(255, 255, 255) : pal.glyphHover;
      } else if (pressed) {
        p.setPen(Qt::NoPen);
        p.setBrush(pal.platePressed);
        p.drawEllipse(plate);
        glyph = pal.glyphPressed;
      } else if (state == ButtonState::Disabled) {
        glyph = pal.glyphDisabled;
      }
      break;
    case ButtonStyle::Active: {
      QColor plateColour = pal.accent;
      plateColour.setAlpha(state == ButtonState::Hover ? 90 : 55);
      if (pressed) plateColour = pal.platePressed;
      glyph = pressed ? pal.glyphPressed : pal.accentLight;
      if (state == ButtonState::Disabled) {
        plateColour.setAlpha(20);
        glyph = pal.glyphDisabled;
      }
      p.setPen(Qt::NoPen);
      p.setBrush(plateColour);
      p.drawEllipse(plate);
      break;
    }
    case ButtonStyle::Round: {
      QColor top = pal.panelTop.lighter(135), bottom = pal.panelBottom.lighter(120);
      QColor rim = pal.edgeShadow;
      if (state == ButtonState::Hover) {
        top = top.lighter(125);
        bottom = bottom.lighter(125);
        glyph = pal.glyphHover;
        rim = pal.accent;
      } else if (pressed) {
        top = pal.platePressed;
        bottom = pal.platePressed.lighter(115);
        glyph = pal.glyphPressed;
      } else if (state == ButtonState::Disabled) {
        glyph = pal.glyphDisabled;
      }
      QLinearGradient g(plate.topLeft(), plate.bottomLeft());
      g.setColorAt(0, top);
      g.setColorAt(1, bottom);
      p.setPen(QPen(rim, 1));
      p.setBrush(g);
      p.drawEllipse(plate.adjusted(0.5, 0.5, -0.5, -0.5));
      break;
    }
    case ButtonStyle::Primary: {
      QColor top = pal.accentLight, bottom = pal.accent;
      glyph = QColor(255, 255, 255);
      if (state == ButtonState::Hover) {
        top = top.lighter(112);
        bottom = bottom.lighter(115);
      } else if (pressed) {
        top = pal.accentDark;
        bottom = pal.accent;
      } else if (state == ButtonState::Disabled) {
        top = pal.panelTop.lighter(140);
        bottom = pal.panelBottom.lighter(140);
        glyph = pal.glyphDisabled;
      }
      QLinearGradient g(plate.topLeft(), plate.bottomLeft());
      g.setColorAt(0, top);
      g.setColorAt(1, bottom);
      p.setPen(QPen(pal.edgeShadow, 1));
      p.setBrush(g);
      p.drawEllipse(plate.adjusted(0.5, 0.5, -0.5, -0.5));
      break;
    }
  }
  qreal gs = d * glyphScale;
  QRectF box((w - gs) / 2, (h - gs) / 2, gs, gs);
  if (pressed) box.translate(0, 1);
  DrawIcon(p, icon, box, glyph);
  return img;
}

void KeyOutsideEllipse(QImage& img, qreal inset) {
  const qreal cx = img.width() / 2.0, cy = img.height() / 2.0;
  const qreal rx = img.width() / 2.0 - inset, ry = img.height() / 2.0 - inset;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) {
      qreal dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
      if (dx * dx + dy * dy > 1.0) img.setPixel(x, y, kKey);
    }
  }
}

QImage SegmentDigit(int digit, int w, int h, const Palette& pal, qreal t) {
  static const int kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
  QImage img = NewImage(w, h, pal.lcd);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal m = 1.0, skew = 0.0;
  const qreal L = m, R = w - m, T = m, B = h - m, M = h / 2.0;
  auto horizontal = [&](qreal y) {
    QPolygonF poly;
    qreal x0 = L + t / 2 + 0.6, x1 = R - t / 2 - 0.6;
    poly << QPointF(x0, y) << QPointF(x0 + t / 2, y - t / 2) << QPointF(x1 - t / 2, y - t / 2)
         << QPointF(x1, y) << QPointF(x1 - t / 2, y + t / 2) << QPointF(x0 + t / 2, y + t / 2);
    return poly;
  };
  auto vertical = [&](qreal x, qreal y0, qreal y1) {
    QPolygonF poly;
    y0 += 0.6;
    y1 -= 0.6;
    poly << QPointF(x, y0) << QPointF(x + t / 2, y0 + t / 2) << QPointF(x + t / 2, y1 - t / 2)
         << QPointF(x, y1) << QPointF(x - t / 2, y1 - t / 2) << QPointF(x - t / 2, y0 + t / 2);
    return poly;
  };
  qreal xl = L + t / 2, xr = R - t / 2, yt = T + t / 2, yb = B - t / 2;
  QPolygonF seg[7] = {horizontal(yt),      vertical(xr, yt, M), vertical(xr, M, yb), horizontal(yb),
                      vertical(xl, M, yb), vertical(xl, yt, M), horizontal(M)};
  (void)skew;
  int bits = kSegments[std::clamp(digit, 0, 9)];
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 7; ++i) {
    p.setBrush((bits >> i) & 1 ? pal.lcdOn : pal.lcdOff);
    p.drawPolygon(seg[i]);
  }
  return img;
}

QImage PlayStrip(const QImage& under, int frames, const Palette& pal) {
  const int w = under.width(), h = under.height();
  const int anim = frames;
  QImage strip = NewImage(w * (4 + anim), h, Qt::black);
  QPainter sp(&strip);
  QRectF disc(3, 3, w - 6, h - 6);
  // Mask frame: key colour where the button is cut away, black where it stays.
  QImage mask = NewImage(w, h, Qt::black);
  KeyOutsideEllipse(mask, 0.0);
  sp.drawImage(0, 0, mask);
  auto frame = [&](int kind, qreal phase) {
    QImage f = under.convertToFormat(QImage::Format_RGB32);
    QPainter p(&f);
    p.setRenderHint(QPainter::Antialiasing);
    // Soft ring around the disc.
    QColor ring = pal.accent;
    ring.setAlpha(kind == 3 ? 0 : 70);
    p.setPen(QPen(ring, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(disc.adjusted(-1.5, -1.5, 1.5, 1.5));
    QColor top = pal.accentLight, bottom = pal.accent;
    if (kind == 1) {
      top = pal.accentDark;
      bottom = pal.accent;
    } else if (kind == 3) {
      top = pal.panelTop.lighter(140);
      bottom = pal.panelBottom.lighter(140);
    }
    QLinearGradient g(disc.topLeft(), disc.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(pal.edgeShadow, 1));
    p.setBrush(g);
    p.drawEllipse(disc);
    // Gloss on the upper half.
    if (kind != 3) {
      QLinearGradient gloss(disc.topLeft(), QPointF(disc.left(), disc.center().y()));
      gloss.setColorAt(0, QColor(255, 255, 255, 70));
      gloss.setColorAt(1, QColor(255, 255, 255, 0));
      p.setPen(Qt::NoPen);
      p.setBrush(gloss);
      p.drawEllipse(disc.adjusted(4, 2, -4, -disc.height() / 2));
    }
    if (kind == 2) {
      // Animation: a bright arc sweeping round the disc.
      QPen arc(QColor(255, 255, 255, 210), 3, Qt::SolidLine, Qt::RoundCap);
      p.setPen(arc);
      p.setBrush(Qt::NoBrush);
      int start = int(90 * 16 - phase * 360 * 16);
      p.drawArc(disc.adjusted(3, 3, -3, -3), start, 70 * 16);
      QColor halo = pal.accentLight;
      halo.setAlpha(int(60 + 60 * std::sin(phase * M_PI)));
      p.setPen(QPen(halo, 2));
      p.drawEllipse(disc.adjusted(-1.5, -1.5, 1.5, 1.5));
    }
    qreal gs = disc.width() * 0.46;
    QRectF box(disc.center().x() - gs / 2 + gs * 0.06, disc.center().y() - gs / 2, gs, gs);
    if (kind == 1) box.translate(0, 1);
    DrawIcon(p, Icon::Play, box, kind == 3 ? pal.glyphDisabled : QColor(255, 255, 255));
    return f;
  };
  sp.drawImage(w * 1, 0, frame(0, 0));
  sp.drawImage(w * 2, 0, frame(1, 0));
  sp.drawImage(w * 3, 0, frame(3, 0));
  for (int i = 0; i < anim; ++i) sp.drawImage(w * (4 + i), 0, frame(2, qreal(i) / anim));
  return strip;
}

QByteArray CursorFile(const QImage& picture, QPoint hot) {
  QImage img = picture.convertToFormat(QImage::Format_ARGB32);
  const int w = img.width(), h = img.height();
  const int maskStride = ((w + 31) / 32) * 4;
  const quint32 xorSize = quint32(w * h * 4), andSize = quint32(maskStride * h);
  QByteArray out;
  QDataStream s(&out, QIODevice::WriteOnly);
  s.setByteOrder(QDataStream::LittleEndian);
  // Directory: reserved, type 2 (cursor), one image.
  s << quint16(0) << quint16(2) << quint16(1);
  s << quint8(w >= 256 ? 0 : w) << quint8(h >= 256 ? 0 : h) << quint8(0) << quint8(0);
  s << quint16(hot.x()) << quint16(hot.y());
  s << quint32(40 + xorSize + andSize) << quint32(22);
  // Bitmap header: the height counts the picture and its mask.
  s << quint32(40) << qint32(w) << qint32(h * 2) << quint16(1) << quint16(32) << quint32(0)
    << quint32(xorSize + andSize) << qint32(0) << qint32(0) << quint32(0) << quint32(0);
  for (int y = h - 1; y >= 0; --y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < w; ++x) {
      QRgb c = line[x];
      s << quint8(qBlue(c)) << quint8(qGreen(c)) << quint8(qRed(c)) << quint8(qAlpha(c));
    }
  }
  for (int y = h - 1; y >= 0; --y) {
    QByteArray row(maskStride, 0);
    const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    for (int x = 0; x < w; ++x)
      if (qAlpha(line[x]) == 0) row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
    s.writeRawData(row.constData(), row.size());
  }
  return out;
}

namespace {

void Arrow(QPainterPath& path, QPointF tip, qreal angleDeg, qreal len, qreal half) {
  qreal a = qDegreesToRadians(angleDeg);
  QPointF dir(std::cos(a), std::sin(a)), n(-dir.y(), dir.x());
  QPointF base = tip - dir * len;
  path.moveTo(tip);
  path.lineTo(base + n * half);
  path.lineTo(base - n * half);
  path.closeSubpath();
}

void Outlined(QPainter& p, const QPainterPath& path, const QColor& fill, const QColor& line) {
  p.setPen(QPen(line, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
  p.setPen(Qt::NoPen);
  p.setBrush(fill);
  p.drawPath(path);
}

}  // namespace

QImage CursorPicture(CursorKind kind, const Palette& pal, QPoint* hot) {
  QImage img(32, 32, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QColor fill(250, 250, 250), line(10, 12, 16);
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  auto bar = [&](QPointF a, QPointF b, qreal width) {
    QPainterPath s;
    s.moveTo(a);
    s.lineTo(b);
    QPainterPathStroker st;
    st.setWidth(width);
    st.setCapStyle(Qt::FlatCap);
    path.addPath(st.createStroke(s));
  };
  switch (kind) {
    case CursorKind::MoveWE:
    case CursorKind::DragWE:
      Arrow(path, {3, 16}, 180, 7, 6);
      Arrow(path, {29, 16}, 0, 7, 6);
      bar({9, 16}, {23, 16}, 3);
      if (kind == CursorKind::DragWE) {
        bar({14, 9}, {14, 23}, 2);
        bar({18, 9}, {18, 23}, 2);
      }
      *hot = {16, 16};
      break;
    case CursorKind::MoveNS:
    case CursorKind::DragNS:
      Arrow(path, {16, 3}, 270, 7, 6);
      Arrow(path, {16, 29}, 90, 7, 6);
      bar({16, 9}, {16, 23}, 3);
      if (kind == CursorKind::DragNS) {
        bar({9, 14}, {23, 14}, 2);
        bar({9, 18}, {23, 18}, 2);
      }
      *hot = {16, 16};
      break;
    case CursorKind::Resize:
      Arrow(path, {5, 5}, 225, 8, 6);
      Arrow(path, {27, 27}, 45, 8, 6);
      bar({9.5, 9.5}, {22.5, 22.5}, 3);
      *hot = {16, 16};
      break;
    case CursorKind::Press: {
      // Pointing hand: finger up, palm below.
      path.addRoundedRect(QRectF(11, 3, 5, 16), 2.5, 2.5);
      path.addRoundedRect(QRectF(15, 10, 4.5, 10), 2.2, 2.2);
      path.addRoundedRect(QRectF(19, 11, 4.5, 9), 2.2, 2.2);
      path.addRoundedRect(QRectF(23, 12.5, 4, 8), 2, 2);
      path.addRoundedRect(QRectF(10, 15, 17.5, 13), 5, 5);
      path.addRoundedRect(QRectF(6, 14, 6, 4), 2, 2);
      *hot = {13, 3};
      break;
    }
    case CursorKind::Zoom: {
      path.addEllipse(QPointF(13, 13), 9, 9);
      QPainterPath inner;
      inner.addEllipse(QPointF(13, 13), 6, 6);
      path = path.subtracted(inner);
      bar({19.5, 19.5}, {28, 28}, 4.5);
      bar({10, 13}, {16, 13}, 2);
      bar({13, 10}, {13, 16}, 2);
      *hot = {13, 13};
      break;
    }
  }
  Outlined(p, path.simplified(), fill, line);
  if (kind == CursorKind::Zoom) {
    QColor lens = pal.accent;
    lens.setAlpha(60);
    p.setPen(Qt::NoPen);
    p.setBrush(lens);
    p.drawEllipse(QPointF(13, 13), 5.5, 5.5);
    p.setBrush(line);
    p.drawRect(QRectF(10, 12, 6, 2));
    p.drawRect(QRectF(12, 10, 2, 6));
  }
  return img;
}

QImage CornerMask(int r, Qt::Corner corner) {
  QImage img = NewImage(r, r, Qt::black);
  // Centre of the rounding circle, in the coordinates of this corner piece.
  qreal cx = (corner == Qt::TopLeftCorner || corner == Qt::BottomLeftCorner) ? r : 0;
  qreal cy = (corner == Qt::TopLeftCorner || corner == Qt::TopRightCorner) ? r : 0;
  for (int y = 0; y < r; ++y)
    for (int x = 0; x < r; ++x) {
      qreal dx = x + 0.5 - cx, dy = y + 0.5 - cy;
      if (dx * dx + dy * dy > qreal(r) * r) img.setPixel(x, y, kKey);
    }
  return img;
}

QImage RoundedMask(int w, int h, int r) {
  QImage img = NewImage(w, h, Qt::black);
  QPainter p(&img);
  const Qt::Corner corners[4] = {Qt::TopLeftCorner, Qt::TopRightCorner, Qt::BottomLeftCorner,
                                 Qt::BottomRightCorner};
  for (Qt::Corner c : corners) {
    QImage m = CornerMask(r, c);
    int x = (c == Qt::TopLeftCorner || c == Qt::BottomLeftCorner) ? 0 : w - r;
    int y = (c == Qt::TopLeftCorner || c == Qt::TopRightCorner) ? 0 : h - r;
    p.drawImage(x, y, m);
  }
  return img;
}

}  // namespace skingen

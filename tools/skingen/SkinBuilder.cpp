#include "SkinBuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainterPath>
#include <cstdio>

namespace skingen {

SkinBuilder::SkinBuilder(const QString& root, const QString& name, const Palette& pal)
    : folder_(QDir(root).filePath(name) + "/"), pal_(pal) {
  ok_ = QDir().mkpath(folder_);
}

QString SkinBuilder::Ini(const QString& rel) {
  QString s = rel;
  s.replace('/', '\\');
  return s;
}

void SkinBuilder::Save(const QImage& img, const QString& rel) {
  QString path = folder_ + rel;
  QDir().mkpath(QFileInfo(path).absolutePath());
  if (!img.convertToFormat(QImage::Format_RGB32).save(path, "BMP")) {
    std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(path));
    ok_ = false;
  }
}

void SkinBuilder::SaveBytes(const QByteArray& data, const QString& rel) {
  QString path = folder_ + rel;
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size()) {
    std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(path));
    ok_ = false;
  }
}

void SkinBuilder::Set(const QString& section, const QString& key, const QString& value) {
  for (auto& s : sections_) {
    if (s.first == section) {
      for (auto& kv : s.second) {
        if (kv.first == key) {
          kv.second = value;
          return;
        }
      }
      s.second.emplace_back(key, value);
      return;
    }
  }
  sections_.push_back({section, {{key, value}}});
}

bool SkinBuilder::WriteIni() {
  QByteArray text;
  for (const auto& s : sections_) {
    if (!text.isEmpty()) text += "\r\n";
    text += "[" + s.first.toUtf8() + "]\r\n";
    for (const auto& kv : s.second) text += kv.first.toUtf8() + "=" + kv.second.toUtf8() + "\r\n";
  }
  SaveBytes(text, "Skin.ini");
  return ok_;
}

namespace {

QString Record(const QStringList& fields) { return fields.join(',') + ","; }
QString N(int v) { return QString::number(v); }

}  // namespace

void SkinBuilder::Place(const QString& section, const QString& key, const QImage& img, QPoint at,
                        bool visible) {
  placed_.push_back({section, key, img, at, visible});
}

void SkinBuilder::Compose(QImage& bg, const QString& section, QPoint offset,
                          const QStringList& keys) const {
  QPainter p(&bg);
  for (const Placed& pl : placed_) {
    if (pl.section != section || !pl.visible) continue;
    if (!keys.isEmpty() && !keys.contains(pl.key)) continue;
    QImage img = pl.picture;
    if (img.pixel(0, 0) == kKey || img.pixel(img.width() / 2, 0) == kKey) {
      // Shaped pictures: leave the cut-away pixels out.
      img = img.convertToFormat(QImage::Format_ARGB32);
      for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
          if ((img.pixel(x, y) | 0xFF000000) == kKey) img.setPixel(x, y, 0);
    }
    p.drawImage(pl.at + offset, img);
  }
}

void SkinBuilder::ButtonFiles(const QString& section, const QString& key, const QString& file,
                              const QImage pics[4], QRect at, const QString& hint, bool visible,
                              bool enabled, bool shaped) {
  static const char* kSuffix[4] = {"", "On", "Down", "Off"};
  QStringList f;
  for (int i = 0; i < 4; ++i) {
    QString rel = file + kSuffix[i] + ".bmp";
    Save(pics[i], rel);
    f << Ini(rel);
  }
  Place(section, key, pics[0], at.topLeft(), visible);
  f << N(at.top()) << N(at.left()) << N(at.width()) << N(at.height()) << N(visible) << N(enabled)
    << N(shaped) << "0" << hint;
  Set(section, key, Record(f));
}

void SkinBuilder::Button(const QString& section, const QString& key, const QString& file,
                         const QImage& under, QRect at, Icon icon, ButtonStyle style,
                         const QString& hint, bool visible, bool enabled, bool shaped,
                         qreal glyphScale) {
  QImage base = Crop(under, at);
  QImage pics[4] = {ButtonPicture(base, icon, style, ButtonState::Normal, pal_, glyphScale),
                    ButtonPicture(base, icon, style, ButtonState::Hover, pal_, glyphScale),
                    ButtonPicture(base, icon, style, ButtonState::Pressed, pal_, glyphScale),
                    ButtonPicture(base, icon, style, ButtonState::Disabled, pal_, glyphScale)};
  if (shaped)
    for (QImage& p : pics) KeyOutsideEllipse(p, 0.0);
  ButtonFiles(section, key, file, pics, at, hint, visible, enabled, shaped);
}

void SkinBuilder::Image(const QString& section, const QString& key, const QString& file,
                        const QImage& img, QPoint at, bool visible, bool enabled, bool transparent,
                        bool sizeParent, QSize recordSize) {
  QString rel = file + ".bmp";
  Save(img, rel);
  QSize s = recordSize.isValid() ? recordSize : img.size();
  QStringList f{Ini(rel),     "",
                "",           "",
                N(at.y()),    N(at.x()),
                N(s.width()), N(s.height()),
                N(visible),   N(enabled),
                "0",          N(transparent),
                "",           sizeParent ? "1" : "0"};
  Set(section, key, Record(f));
}

void SkinBuilder::Bar(const QString& section, const QString& key, const QString& file,
                      const QImage& under, QPoint at, int insetX, int grooveH, bool thumbAlways,
                      bool vertical) {
  const int w = under.width(), h = under.height();
  const int insetY = (h - grooveH) / 2;
  const int knob = h;  // the thumb is as long as the track is high: a round knob
  QImage track = under.convertToFormat(QImage::Format_RGB32);
  {
    QPainter p(&track);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF groove(insetX, insetY, w - 2 * insetX, grooveH);
    p.setPen(Qt::NoPen);
    p.setBrush(pal_.grooveShadow);
    p.drawRoundedRect(groove.adjusted(-0.5, -0.5, 0.5, 0.5), grooveH / 2.0 + 0.5,
                      grooveH / 2.0 + 0.5);
    p.setBrush(pal_.groove);
    p.drawRoundedRect(groove.adjusted(0, 0.5, 0, 0), grooveH / 2.0, grooveH / 2.0);
  }
  QImage fill = NewImage(4, grooveH);
  VerticalGradient(fill, fill.rect(), pal_.accentLight, pal_.accent);
  // The head closes the fill with a round end; the thumb sits on it.
  QImage head = NewImage(knob, grooveH, pal_.groove);
  {
    QPainter p(&head);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, grooveH);
    g.setColorAt(0, pal_.accentLight);
    g.setColorAt(1, pal_.accent);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRect(QRectF(0, 0, knob / 2.0, grooveH));
    p.drawRoundedRect(QRectF(0, 0, knob, grooveH), grooveH / 2.0, grooveH / 2.0);
  }
  // Thumb pictures on a flat colour: their bottom-left pixel is the see-through colour.
  QColor keyColour = QColor(under.pixel(0, h / 2));
  if (keyColour == pal_.glyph || keyColour == Qt::white) keyColour = keyColour.darker(101);
  auto thumb = [&](int state) {
    QImage t = NewImage(knob, h, keyColour);
    QPainter p(&t);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF r(1, 1, knob - 2, h - 2);
    if (state == 1) {
      QColor glow = pal_.accent;
      glow.setAlpha(90);
      p.setPen(Qt::NoPen);
      p.setBrush(glow);
      p.drawEllipse(QRectF(0, 0, knob, h));
    }
    r = r.adjusted(1.5, 1.5, -1.5, -1.5);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, state == 2 ? pal_.accentLight : QColor(255, 255, 255));
    g.setColorAt(1, state == 2 ? pal_.accent : QColor(214, 220, 228));
    p.setPen(QPen(pal_.edgeShadow, 1));
    p.setBrush(g);
    p.drawEllipse(r);
    p.setPen(Qt::NoPen);
    p.setBrush(state == 2 ? QColor(255, 255, 255) : pal_.accent);
    p.drawEllipse(r.center(), r.width() / 6.0, r.height() / 6.0);
    // The corner must stay exactly the key colour.
    t.setPixel(0, h - 1, keyColour.rgb());
    return t;
  };
  Save(thumb(0), file + "Thumb.bmp");
  Save(thumb(1), file + "ThumbOn.bmp");
  Save(thumb(2), file + "ThumbDown.bmp");
  Save(track, file + "Track.bmp");
  Place(section, key, track, at, true);
  Save(fill, file + "Fill.bmp");
  Save(head, file + "Head.bmp");
  QStringList f{Ini(file + "Thumb.bmp"),
                Ini(file + "ThumbOn.bmp"),
                Ini(file + "ThumbDown.bmp"),
                Ini(file + "Track.bmp"),
                N(at.y()),
                N(at.x()),
                N(insetX),
                N(insetY),
                "",
                "",
                N(vertical),
                N(thumbAlways),
                "",
                Ini(file + "Fill.bmp"),
                Ini(file + "Head.bmp")};
  Set(section, key, Record(f));
}

void SkinBuilder::DigitSet(const QString& prefix, int w, int h, qreal thickness) {
  for (int d = 0; d <= 9; ++d) Save(SegmentDigit(d, w, h, pal_, thickness), prefix + N(d) + ".bmp");
}

void SkinBuilder::Digits(const QString& section, const QString& key, const QString& prefix,
                         QPoint at, bool visible) {
  Place(section, key, QImage(folder_ + prefix + "0.bmp"), at, visible);
  QStringList f{Ini(prefix), "", "", "", N(at.y()), N(at.x()), "", "", N(visible), "1", "", "0"};
  Set(section, key, Record(f));
}

void SkinBuilder::Dynamic(const QString& section, const QString& key, const QString& file,
                          const QImage& under, QPoint at, int animFrames, int intervalMs,
                          int pauseMs) {
  QImage strip = PlayStrip(under, animFrames, pal_);
  Save(strip, file + ".bmp");
  Place(section, key, strip.copy(under.width(), 0, under.width(), under.height()), at, true);
  QStringList f{Ini(file + ".bmp"),
                "",
                "",
                "",
                N(at.y()),
                N(at.x()),
                N(under.width()),
                N(pauseMs),
                "1",
                "1",
                "1",
                "1",
                "",
                N(intervalMs),
                "1"};
  Set(section, key, Record(f));
}

void SkinBuilder::List(const QString& section, const QString& key, const QString& prefix,
                       int rowHeight, bool visible) {
  const int column = 10;
  QImage thumb = NewImage(6, 40, pal_.listBack);
  {
    QPainter p(&thumb);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(pal_.accent);
    p.drawRoundedRect(QRectF(0, 0, 6, 40), 3, 3);
  }
  QImage track = NewImage(column, 64, pal_.listBack);
  {
    QPainter p(&track);
    p.fillRect(QRect(4, 0, 2, 64), pal_.groove);
  }
  QImage back = NewImage(8, 8, pal_.listBack);
  QImage bottom = NewImage(8, 6, pal_.listBack);
  VerticalGradient(bottom, bottom.rect(), pal_.listBack, pal_.edgeShadow);
  Save(thumb, prefix + "Thumb.bmp");
  Save(track, prefix + "Track.bmp");
  Save(back, prefix + "Back.bmp");
  Save(bottom, prefix + "Bottom.bmp");
  QStringList f{Ini(prefix + "Thumb.bmp"),
                Ini(prefix + "Track.bmp"),
                Ini(prefix + "Back.bmp"),
                Ini(prefix + "Bottom.bmp"),
                "",
                "2",
                N(column),
                N(rowHeight),
                N(visible)};
  Set(section, key, Record(f));
}

void SkinBuilder::Word(const QString& section, const QString& key, const QString& word) {
  Set(section, key, word);
}

void SkinBuilder::Cursors() {
  struct C {
    CursorKind kind;
    const char* file;
  };
  const C list[] = {{CursorKind::MoveWE, "MoveWE.cur"}, {CursorKind::MoveNS, "MoveNS.cur"},
                    {CursorKind::DragWE, "DragWE.cur"}, {CursorKind::DragNS, "DragNS.cur"},
                    {CursorKind::Resize, "Resize.cur"}, {CursorKind::Press, "Press.cur"},
                    {CursorKind::Zoom, "Zoom.cur"}};
  for (const C& c : list) {
    QPoint hot;
    QImage pic = CursorPicture(c.kind, pal_, &hot);
    SaveBytes(CursorFile(pic, hot), QString("Cursor/") + c.file);
  }
}

void SkinBuilder::Corners(const QString& prefix, int radius) {
  Save(CornerMask(radius, Qt::TopLeftCorner), prefix + "CLT.bmp");
  Save(CornerMask(radius, Qt::TopRightCorner), prefix + "CRT.bmp");
  Save(CornerMask(radius, Qt::BottomLeftCorner), prefix + "CLB.bmp");
  Save(CornerMask(radius, Qt::BottomRightCorner), prefix + "CRB.bmp");
}

}  // namespace skingen

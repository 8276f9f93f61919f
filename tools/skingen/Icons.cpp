// One icon family: filled transport shapes and 2-unit strokes on a 24-unit grid.
#include <QPainterPath>

#include "Paint.h"

namespace skingen {

namespace {

QPainterPath Tri(QPointF a, QPointF b, QPointF c) {
  QPainterPath p;
  p.moveTo(a);
  p.lineTo(b);
  p.lineTo(c);
  p.closeSubpath();
  return p;
}

QPainterPath RRect(qreal x, qreal y, qreal w, qreal h, qreal r) {
  QPainterPath p;
  p.addRoundedRect(QRectF(x, y, w, h), r, r);
  return p;
}

QPainterPath Speaker() {
  QPainterPath p;
  p.moveTo(3, 9);
  p.lineTo(7, 9);
  p.lineTo(12, 4.5);
  p.lineTo(12, 19.5);
  p.lineTo(7, 15);
  p.lineTo(3, 15);
  p.closeSubpath();
  return p;
}

QPainterPath Camera() {
  QPainterPath p;
  p.addRoundedRect(QRectF(2.5, 7, 19, 13), 2.5, 2.5);
  p.addRect(QRectF(8, 4.5, 8, 3));
  QPainterPath lens;
  lens.addEllipse(QPointF(12, 13.5), 4.2, 4.2);
  return p.united(QPainterPath()).subtracted(lens).united([] {
    QPainterPath dot;
    dot.addEllipse(QPointF(12, 13.5), 2.2, 2.2);
    return dot;
  }());
}

}  // namespace

void DrawIcon(QPainter& painter, Icon icon, const QRectF& box, const QColor& colour) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.translate(box.topLeft());
  painter.scale(box.width() / 24.0, box.height() / 24.0);
  QPen pen(colour, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  QPainterPath fill, stroke;
  auto line = [&](qreal x1, qreal y1, qreal x2, qreal y2) {
    stroke.moveTo(x1, y1);
    stroke.lineTo(x2, y2);
  };
  switch (icon) {
    case Icon::Play:
      fill = Tri({6, 3.5}, {20.5, 12}, {6, 20.5});
      break;
    case Icon::Pause:
      fill = RRect(5.5, 4, 4.5, 16, 1).united(RRect(14, 4, 4.5, 16, 1));
      break;
    case Icon::Stop:
      fill = RRect(5, 5, 14, 14, 1.5);
      break;
    case Icon::Prev:
      fill = Tri({19, 4.5}, {8, 12}, {19, 19.5}).united(RRect(5, 4.5, 3, 15, 0.8));
      break;
    case Icon::Next:
      fill = Tri({5, 4.5}, {16, 12}, {5, 19.5}).united(RRect(16, 4.5, 3, 15, 0.8));
      break;
    case Icon::FastForward:
      fill = Tri({2.5, 5.5}, {12, 12}, {2.5, 18.5}).united(Tri({12, 5.5}, {21.5, 12}, {12, 18.5}));
      break;
    case Icon::Rewind:
      fill = Tri({21.5, 5.5}, {12, 12}, {21.5, 18.5}).united(Tri({12, 5.5}, {2.5, 12}, {12, 18.5}));
      break;
    case Icon::Step:
      fill = Tri({5, 5}, {14.5, 12}, {5, 19}).united(RRect(16.5, 5, 3, 14, 0.8));
      break;
    case Icon::Open: {
      QPainterPath f;
      f.moveTo(2.5, 6);
      f.lineTo(9, 6);
      f.lineTo(11, 8);
      f.lineTo(21.5, 8);
      f.lineTo(21.5, 19);
      f.lineTo(2.5, 19);
      f.closeSubpath();
      stroke = f;
      line(2.5, 11, 21.5, 11);
      break;
    }
    case Icon::Eject:
      fill = Tri({12, 4}, {20.5, 13.5}, {3.5, 13.5}).united(RRect(3.5, 16.5, 17, 3.5, 0.8));
      break;
    case Icon::Mute:
      fill = Speaker();
      line(15.5, 9, 21, 15);
      line(21, 9, 15.5, 15);
      break;
    case Icon::Volume:
      fill = Speaker();
      stroke.moveTo(15.5, 8.5);
      stroke.quadTo(18, 12, 15.5, 15.5);
      stroke.moveTo(18.5, 5.5);
      stroke.quadTo(23, 12, 18.5, 18.5);
      break;
    case Icon::VolumeUp:
      fill = Speaker();
      line(15, 12, 22, 12);
      line(18.5, 8.5, 18.5, 15.5);
      break;
    case Icon::VolumeDown:
      fill = Speaker();
      line(15, 12, 22, 12);
      break;
    case Icon::FullScreen:
      stroke.moveTo(3.5, 9);
      stroke.lineTo(3.5, 3.5);
      stroke.lineTo(9, 3.5);
      stroke.moveTo(15, 3.5);
      stroke.lineTo(20.5, 3.5);
      stroke.lineTo(20.5, 9);
      stroke.moveTo(20.5, 15);
      stroke.lineTo(20.5, 20.5);
      stroke.lineTo(15, 20.5);
      stroke.moveTo(9, 20.5);
      stroke.lineTo(3.5, 20.5);
      stroke.lineTo(3.5, 15);
      break;
    case Icon::PlayList:
      line(3, 6, 15, 6);
      line(3, 11, 15, 11);
      line(3, 16, 10, 16);
      fill = Tri({14, 13}, {21.5, 17.5}, {14, 22});
      break;
    case Icon::Menu:
      stroke.addRoundedRect(QRectF(3, 4, 18, 16), 2, 2);
      line(7, 9, 17, 9);
      line(7, 12.5, 17, 12.5);
      line(7, 16, 13, 16);
      break;
    case Icon::Close:
      line(6, 6, 18, 18);
      line(18, 6, 6, 18);
      break;
    case Icon::Minimise:
      line(6, 17, 18, 17);
      break;
    case Icon::Maximise:
      stroke.addRoundedRect(QRectF(5, 5, 14, 14), 1.5, 1.5);
      line(5, 8, 19, 8);
      break;
    case Icon::Restore:
      stroke.addRoundedRect(QRectF(4, 9, 11, 11), 1.5, 1.5);
      stroke.moveTo(9, 9);
      stroke.lineTo(9, 4);
      stroke.lineTo(20, 4);
      stroke.lineTo(20, 15);
      stroke.lineTo(15, 15);
      break;
    case Icon::Settings: {
      QPainterPath gear;
      const int teeth = 8;
      for (int i = 0; i < teeth * 2; ++i) {
        qreal a = i * M_PI / teeth - M_PI / (teeth * 2);
        qreal r = (i % 2 == 0) ? 10 : 7.6;
        QPointF pnt(12 + r * std::cos(a), 12 + r * std::sin(a));
        qreal a2 = (i + 1) * M_PI / teeth - M_PI / (teeth * 2);
        QPointF pnt2(12 + r * std::cos(a2), 12 + r * std::sin(a2));
        if (i == 0)
          gear.moveTo(pnt);
        else
          gear.lineTo(pnt);
        gear.lineTo(pnt2);
      }
      gear.closeSubpath();
      QPainterPath hole;
      hole.addEllipse(QPointF(12, 12), 3.4, 3.4);
      fill = gear.subtracted(hole);
      break;
    }
    case Icon::About:
      stroke.addEllipse(QPointF(12, 12), 9, 9);
      line(12, 11, 12, 16.5);
      fill.addEllipse(QPointF(12, 7.7), 1.3, 1.3);
      break;
    case Icon::Mail:
      stroke.addRoundedRect(QRectF(3, 5.5, 18, 13), 1.5, 1.5);
      stroke.moveTo(3.5, 6.5);
      stroke.lineTo(12, 13);
      stroke.lineTo(20.5, 6.5);
      break;
    case Icon::Home:
      stroke.moveTo(3, 11.5);
      stroke.lineTo(12, 3.5);
      stroke.lineTo(21, 11.5);
      stroke.moveTo(5.5, 10);
      stroke.lineTo(5.5, 20);
      stroke.lineTo(18.5, 20);
      stroke.lineTo(18.5, 10);
      stroke.moveTo(10, 20);
      stroke.lineTo(10, 14.5);
      stroke.lineTo(14, 14.5);
      stroke.lineTo(14, 20);
      break;
    case Icon::Subtitle:
      stroke.addRoundedRect(QRectF(2.5, 5, 19, 14), 2.5, 2.5);
      line(6, 12, 11, 12);
      line(13.5, 12, 18, 12);
      line(6, 15.5, 14, 15.5);
      break;
    case Icon::Language:
      stroke.addEllipse(QPointF(12, 12), 9, 9);
      stroke.addEllipse(QRectF(8, 3, 8, 18));
      line(3, 12, 21, 12);
      break;
    case Icon::Rate: {
      stroke.moveTo(3.5, 17);
      stroke.arcTo(QRectF(3, 4.5, 18, 18), 180, -180);
      line(12, 13.5, 16.5, 8.5);
      fill.addEllipse(QPointF(12, 13.5), 2, 2);
      break;
    }
    case Icon::Bookmark: {
      QPainterPath b;
      b.moveTo(6, 3);
      b.lineTo(18, 3);
      b.lineTo(18, 21);
      b.lineTo(12, 16);
      b.lineTo(6, 21);
      b.closeSubpath();
      fill = b;
      break;
    }
    case Icon::Snapshot:
      fill = Camera();
      break;
    case Icon::SnapshotBurst:
      fill = Camera();
      fill.translate(2, 1.5);
      stroke.moveTo(2, 17);
      stroke.lineTo(2, 6);
      stroke.lineTo(4.5, 6);
      fill = fill.united(RRect(0, 0, 0.01, 0.01, 0));
      break;
    case Icon::SnapshotStop:
      fill = Camera();
      break;
    case Icon::Save:
      line(12, 3.5, 12, 15);
      stroke.moveTo(7, 10.5);
      stroke.lineTo(12, 15.5);
      stroke.lineTo(17, 10.5);
      line(4, 20, 20, 20);
      break;
    case Icon::Tv:
      stroke.addRoundedRect(QRectF(2.5, 6, 19, 13), 2, 2);
      stroke.moveTo(8, 2.5);
      stroke.lineTo(12, 6);
      stroke.lineTo(16, 2.5);
      line(8, 21.5, 16, 21.5);
      break;
    case Icon::Star: {
      QPainterPath s;
      for (int i = 0; i < 10; ++i) {
        qreal a = -M_PI / 2 + i * M_PI / 5;
        qreal r = (i % 2 == 0) ? 10 : 4.2;
        QPointF pnt(12 + r * std::cos(a), 12.8 + r * std::sin(a));
        if (i == 0)
          s.moveTo(pnt);
        else
          s.lineTo(pnt);
      }
      s.closeSubpath();
      fill = s;
      break;
    }
    case Icon::List:
      for (int i = 0; i < 3; ++i) {
        fill.addEllipse(QPointF(4.5, 6.5 + i * 5.5), 1.4, 1.4);
        line(8.5, 6.5 + i * 5.5, 20.5, 6.5 + i * 5.5);
      }
      break;
    case Icon::Add:
      line(12, 4.5, 12, 19.5);
      line(4.5, 12, 19.5, 12);
      break;
    case Icon::Delete:
      line(4.5, 6.5, 19.5, 6.5);
      line(9.5, 6.5, 10, 3.5);
      line(10, 3.5, 14, 3.5);
      line(14, 3.5, 14.5, 6.5);
      stroke.moveTo(6.5, 6.5);
      stroke.lineTo(7.5, 20.5);
      stroke.lineTo(16.5, 20.5);
      stroke.lineTo(17.5, 6.5);
      line(10.5, 10, 10.5, 17);
      line(13.5, 10, 13.5, 17);
      break;
    case Icon::Shuffle:
      stroke.moveTo(3, 7);
      stroke.lineTo(7, 7);
      stroke.cubicTo(13, 7, 11, 17, 17, 17);
      stroke.lineTo(19.5, 17);
      stroke.moveTo(3, 17);
      stroke.lineTo(7, 17);
      stroke.cubicTo(13, 17, 11, 7, 17, 7);
      stroke.lineTo(19.5, 7);
      fill = Tri({18.5, 3.5}, {22.5, 7}, {18.5, 10.5})
                 .united(Tri({18.5, 13.5}, {22.5, 17}, {18.5, 20.5}));
      break;
    case Icon::Repeat:
      stroke.moveTo(4, 12);
      stroke.lineTo(4, 10);
      stroke.quadTo(4, 7, 7, 7);
      stroke.lineTo(17.5, 7);
      stroke.moveTo(20, 12);
      stroke.lineTo(20, 14);
      stroke.quadTo(20, 17, 17, 17);
      stroke.lineTo(6.5, 17);
      fill = Tri({16.5, 3.5}, {20.5, 7}, {16.5, 10.5})
                 .united(Tri({7.5, 13.5}, {3.5, 17}, {7.5, 20.5}));
      break;
    case Icon::More:
      for (int i = 0; i < 3; ++i) fill.addEllipse(QPointF(5.5 + i * 6.5, 12), 2, 2);
      break;
    case Icon::Grip:
      for (int row = 0; row < 3; ++row)
        for (int col = 0; col <= row; ++col)
          fill.addRect(QRectF(17 - col * 6, 5 + row * 6, 3.5, 3.5));
      break;
  }
  if (icon == Icon::SnapshotStop) {
    // Camera with a stop badge.
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(fill);
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(15, 14, 8, 8), 1, 1);
    fill = QPainterPath();
  }
  if (icon == Icon::SnapshotBurst) {
    painter.setPen(pen);
    painter.drawPath(stroke);
    stroke = QPainterPath();
  }
  if (!fill.isEmpty()) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(fill);
  }
  if (!stroke.isEmpty()) {
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(stroke);
  }
  painter.restore();
}

}  // namespace skingen

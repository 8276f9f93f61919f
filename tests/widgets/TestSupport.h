// Shared helpers of the widget tests: one application, pictures made to order, pixels.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QWidget>

// The application made by TestMain.cpp.
inline QApplication& App() { return *qApp; }

class WidgetTest : public ::testing::Test {
 protected:
  void SetUp() override { App(); }
};

inline QImage Solid(int w, int h, QColor c) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(c);
  return img;
}

// A strip of n frames of width w, frame i filled with a colour that encodes i.
inline QColor FrameColour(int i) { return QColor(10 + 20 * i, 200 - 10 * i, 50); }
inline QImage Strip(int n, int w, int h, int totalWidth = -1) {
  QImage img(totalWidth < 0 ? n * w : totalWidth, h, QImage::Format_RGB32);
  QPainter p(&img);
  for (int i = 0; i * w < img.width(); ++i) p.fillRect(i * w, 0, w, h, FrameColour(i));
  return img;
}

// What the widget shows, painted off screen.
inline QImage Shot(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

inline QRgb Px(const QImage& img, int x, int y) { return img.pixel(x, y) & 0x00FFFFFFu; }
inline QRgb Rgb(QColor c) { return c.rgb() & 0x00FFFFFFu; }

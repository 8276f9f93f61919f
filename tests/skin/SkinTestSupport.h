// A throw-away skin folder with bitmaps made to order, and a recording message box.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "platform/MessageBox.h"

class TempSkin {
 public:
  TempSkin() { folder_ = dir_.path().toStdString() + "/"; }
  const std::string& folder() const { return folder_; }

  void Bitmap(const std::string& rel, int w, int h, QColor c = QColor(40, 80, 120)) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    Save(img, rel);
  }
  void Save(const QImage& img, const std::string& rel) {
    QString path = QString::fromStdString(folder_ + rel);
    QDir().mkpath(QFileInfo(path).absolutePath());
    ASSERT_TRUE(img.save(path, "BMP")) << rel;
  }
  void Ini(const std::string& text) {
    QFile f(QString::fromStdString(folder_ + "Skin.ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.c_str());
  }

 private:
  QTemporaryDir dir_;
  std::string folder_;
};

// Records every box and answers OK, without showing anything.
class BoxRecorder {
 public:
  BoxRecorder() {
    plat::ClearRecordedMessageBoxes();
    plat::SetMessageBoxDouble([](const plat::MessageBoxRecord&) { return plat::IDOK; });
  }
  ~BoxRecorder() { plat::SetMessageBoxDouble({}); }
  std::vector<plat::MessageBoxRecord> Boxes() const { return plat::RecordedMessageBoxes(); }
};

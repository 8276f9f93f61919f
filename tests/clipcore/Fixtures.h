// Sample media for the engine tests, made with ffmpeg once per build in <build>/fixtures/clipcore/.
#pragma once

#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/Window.h"

namespace clipcore_test {

// The test environment CTest is meant to give; set here too so a test run directly (or by a
// runner that dropped the variables) neither looks for a sound device nor writes into /tmp.
inline void DefaultEnvironment() {
  setenv("LUMORA_AUDIO", "null", 0);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
#ifdef CLIPCORE_TEST_FIXTURE_DIR
  setenv("LUMORA_FIXTURE_DIR", CLIPCORE_TEST_FIXTURE_DIR, 0);
#endif
}

inline std::string FixtureDir() {
  const char* env = std::getenv("LUMORA_FIXTURE_DIR");
  std::string dir = std::string(env ? env : QDir::tempPath().toStdString()) + "/clipcore/";
  QDir().mkpath(QString::fromStdString(dir));
  return dir;
}

// Runs ffmpeg into a temporary name and renames, so a half-made file is never reused.
inline std::string MakeMedia(const std::string& name, const std::string& args) {
  const std::string path = FixtureDir() + name;
  if (QFile::exists(QString::fromStdString(path))) return path;
  // Test processes run in parallel: each writes its own temporary file, and the atomic
  // rename means a reader only ever sees a whole one.
  const std::string tmp = FixtureDir() + "tmp-" + std::to_string(getpid()) + "-" + name;
  const std::string cmd = "ffmpeg -nostdin -loglevel error -y " + args + " '" + tmp + "'";
  if (std::system(cmd.c_str()) != 0) {
    std::remove(tmp.c_str());
    return {};
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) return {};
  return path;
}

// 10 seconds, 640x360 at 25 frames/s, H.264 video and AAC sound; the index comes first, so a
// copy cut short still opens.
inline std::string Clip() {
  return MakeMedia("clip640.mp4",
                   "-f lavfi -i testsrc2=s=640x360:r=25:d=10 -f lavfi -i sine=f=440:d=10 "
                   "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 25 -c:a aac -shortest "
                   "-movflags +faststart");
}

// 10 seconds at 25 frames/s, 640x360, whose frame number is burnt in twice: as digits for a
// person, and as a 10-bit bar code along the top (bit b is the 48-pixel box at x = 48 b,
// white = 1) for the tests. kind: "mpg" (MPEG-2 program stream), "vob" (DVD program stream
// with AC-3), "ts" or "long.ts" (MPEG-2 transport stream) or "mp4" (H.264); GOPs with B-frames.
inline std::string FramedClip(const std::string& kind) {
  std::string vf = "drawbox=x=0:y=0:w=480:h=48:color=black:t=fill";
  for (int b = 0; b < 10; ++b)
    vf += ",drawbox=x=" + std::to_string(48 * b) +
          ":y=0:w=48:h=48:color=white:t=fill:enable='mod(floor(n/pow(2\\," + std::to_string(b) +
          "))\\,2)'";
  vf +=
      ",drawtext=fontfile=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf:fontsize=40:"
      "fontcolor=white:box=1:boxcolor=black:x=500:y=4:text='%{frame_num}'";
  std::string codec;
  if (kind == "mpg")
    codec = "-c:v mpeg2video -g 15 -bf 2 -b:v 3M -c:a mp2 -f mpeg";
  else if (kind == "vob")
    codec = "-c:v mpeg2video -g 15 -bf 2 -b:v 3M -c:a ac3 -f vob";
  else if (kind == "ts")
    codec = "-c:v mpeg2video -g 12 -bf 2 -b:v 3M -c:a mp2 -f mpegts";
  else if (kind == "long.ts")  // three seconds between key frames, as broadcasts may have
    codec = "-c:v mpeg2video -g 75 -bf 2 -b:v 3M -c:a mp2 -f mpegts";
  else
    codec = "-c:v libx264 -preset ultrafast -g 50 -bf 2 -pix_fmt yuv420p -c:a aac -f mp4";
  return MakeMedia("framed." + kind,
                   "-f lavfi -i testsrc2=s=640x360:r=25:d=10 -f lavfi -i "
                   "sine=f=440:d=10 -vf \"" +
                       vf + "\" " + codec);
}

// The frame number burnt into a picture of FramedClip, -1 when there is no such bar code.
inline int BurntInFrame(const QImage& img) {
  if (img.width() < 480 || img.height() < 48) return -1;
  int n = 0;
  for (int b = 0; b < 10; ++b) {
    const int grey = qGray(img.pixel(48 * b + 24, 24));
    if (grey > 160)
      n |= 1 << b;
    else if (grey > 96)
      return -1;  // neither black nor white: not a bar code
  }
  return n;
}

inline std::string Tone() {
  return MakeMedia("tone.mp3", "-f lavfi -i sine=f=440:d=3 -c:a libmp3lame");
}

// The first two fifths of the clip: its media data stops at about four seconds.
inline std::string Truncated() {
  const std::string path = FixtureDir() + "truncated640.mp4";
  if (!QFile::exists(QString::fromStdString(path))) {
    QFile in(QString::fromStdString(Clip()));
    if (!in.open(QIODevice::ReadOnly)) return {};
    const QByteArray head = in.read(in.size() * 2 / 5);
    const std::string tmp = FixtureDir() + "tmp-" + std::to_string(getpid()) + "-truncated640.mp4";
    QFile out(QString::fromStdString(tmp));
    if (!out.open(QIODevice::WriteOnly)) return {};
    out.write(head);
    out.close();
    if (std::rename(tmp.c_str(), path.c_str()) != 0) return {};
  }
  return path;
}

inline std::string NotMedia() {
  const std::string path = FixtureDir() + "notmedia.mp4";
  QFile out(QString::fromStdString(path));
  if (out.open(QIODevice::WriteOnly)) {
    for (int i = 0; i < 2000; ++i) out.write("This is a list of words, not a movie.\n");
  }
  return path;
}

// A frame of the clip decoded by ffmpeg itself, to compare pictures with.
inline QImage ReferenceFrame(double seconds) {
  const std::string name = "ref-" + std::to_string(int(seconds * 1000)) + ".bmp";
  const std::string path = MakeMedia(
      name, "-ss " + std::to_string(seconds) + " -i '" + Clip() + "' -frames:v 1 -pix_fmt bgr24");
  return QImage(QString::fromStdString(path));
}

// Mean absolute difference per channel, 0..255; -1 when the sizes differ.
inline double MeanDifference(const QImage& a, const QImage& b) {
  if (a.size() != b.size() || a.isNull()) return -1;
  const QImage x = a.convertToFormat(QImage::Format_RGB32);
  const QImage y = b.convertToFormat(QImage::Format_RGB32);
  double sum = 0;
  for (int r = 0; r < x.height(); ++r) {
    const QRgb* p = reinterpret_cast<const QRgb*>(x.constScanLine(r));
    const QRgb* q = reinterpret_cast<const QRgb*>(y.constScanLine(r));
    for (int c = 0; c < x.width(); ++c)
      sum += std::abs(qRed(p[c]) - qRed(q[c])) + std::abs(qGreen(p[c]) - qGreen(q[c])) +
             std::abs(qBlue(p[c]) - qBlue(q[c]));
  }
  return sum / (3.0 * x.width() * x.height());
}

inline double MeanLuma(const QImage& img) {
  double sum = 0;
  for (int r = 0; r < img.height(); ++r)
    for (int c = 0; c < img.width(); ++c) sum += qGray(img.pixel(c, r));
  return img.isNull() ? 0 : sum / (img.width() * img.height());
}

}  // namespace clipcore_test

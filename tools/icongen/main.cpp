// icongen SVG OUTDIR SIZE...: draws the application icon from its SVG into
// OUTDIR/<size>/<name>.png, the bitmap sizes a desktop icon theme wants beside the scalable one.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: icongen SVG OUTDIR SIZE...\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString svg = QString::fromLocal8Bit(argv[1]);
  QSvgRenderer renderer(svg);
  if (!renderer.isValid()) {
    std::fprintf(stderr, "icongen: cannot read %s\n", argv[1]);
    return 1;
  }
  const QString name = QFileInfo(svg).completeBaseName() + ".png";
  for (int i = 3; i < argc; ++i) {
    const int size = QString::fromLocal8Bit(argv[i]).toInt();
    if (size <= 0 || size > 1024) {
      std::fprintf(stderr, "icongen: bad size %s\n", argv[i]);
      return 2;
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    const QString dir = QString::fromLocal8Bit(argv[2]) + "/" + QString::number(size);
    QDir().mkpath(dir);
    if (!image.save(dir + "/" + name)) {
      std::fprintf(stderr, "icongen: cannot write %s/%s\n", qPrintable(dir), qPrintable(name));
      return 1;
    }
  }
  return 0;
}

// A file manager stand-in for user flows: a small window at X,Y that starts a drag of the
// given files (text/uri-list) when pressed, so real pointer input carries an XDND drop to
// whatever window it ends over. Prints "dropped" or "refused" and ends.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <QWidget>
#include <cstdio>

namespace {

class Source : public QWidget {
 public:
  explicit Source(QList<QUrl> urls)
      : QWidget(nullptr, Qt::FramelessWindowHint), urls_(std::move(urls)) {
    setWindowRole("LumoraFlowDropSource");
  }

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(255, 128, 0)); }
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() != Qt::LeftButton) return;
    auto* mime = new QMimeData;
    mime->setUrls(urls_);
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    const Qt::DropAction done = drag->exec(Qt::CopyAction);
    std::printf("%s\n", done == Qt::IgnoreAction ? "refused" : "dropped");
    std::fflush(stdout);
    QApplication::quit();
  }

 private:
  QList<QUrl> urls_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 4) {
    std::fprintf(stderr, "usage: lumora-dropsource X Y FILE_OR_URL...\n");
    return 2;
  }
  QList<QUrl> urls;
  for (int i = 3; i < argc; ++i) {
    const QString a = QString::fromLocal8Bit(argv[i]);
    urls << (a.startsWith('/') ? QUrl::fromLocalFile(a) : QUrl(a));
  }
  Source w(urls);
  w.setGeometry(atoi(argv[1]), atoi(argv[2]), 60, 60);
  w.show();
  return app.exec();
}

// Long lists: loading and showing them, adding to and scrolling them.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "platform/Bitmap.h"
#include "player/library/TFT_Bookmark.h"
#include "player/library/TFT_PlayList.h"

namespace {

struct Files {
  QTemporaryDir dir;
  std::string home;
  std::string media;
  Files() : home(dir.path().toStdString() + "/"), media(home + "clip.mp4") {
    QFile f(QString::fromStdString(media));
    f.open(QIODevice::WriteOnly);
    f.write("x");
  }
  std::string PlayList(int n) {
    QByteArray text;
    for (int i = 0; i < n; ++i)
      text +=
          " entry " + QByteArray::number(i) + "\r\n" + QByteArray::fromStdString(media) + "\r\n";
    return Write("PlayList.fpl", text);
  }
  std::string Bookmarks(int n) {
    QDir().mkpath(QString::fromStdString(home + "Bookmark"));
    QByteArray text;
    for (int i = 0; i < n; ++i) {
      const std::string thumb = home + "Bookmark/bmbmp-" + std::to_string(i + 1) + ".bmp";
      QImage pic(62, 48, QImage::Format_RGB32);
      pic.fill(QColor(i % 255, 80, 160));
      plat::SaveBitmap(pic, thumb);
      text += "/films/film" + QByteArray::number(i) + ".avi\r\n" + QByteArray::number(i % 30) +
              "\r\n" + QByteArray::number(i * 7) + "\r\n" + QByteArray::fromStdString(thumb) +
              "\r\n";
    }
    return Write("Bookmark.bkm", text);
  }
  std::string Write(const char* name, const QByteArray& text) {
    QFile f(QString::fromStdString(home + name));
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text);
    return home + name;
  }
};

// A window the size of the side panel's list area, shown and painted.
template <class List>
std::unique_ptr<List> Shown() {
  auto list = std::make_unique<List>();
  list->resize(199, 386);
  list->show();
  return list;
}

void Settle(QWidget* w) {
  w->repaint();
  QCoreApplication::processEvents();
}

void BM_LoadAndShowPlayList10000(benchmark::State& state) {
  Files files;
  const std::string file = files.PlayList(10000);
  for (auto _ : state) {
    auto list = Shown<TFT_PlayList>();
    list->LoadFromFile(file);
    Settle(list.get());
    if (list->Items.size() != 10000) state.SkipWithError("not all entries loaded");
    state.PauseTiming();
    list.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LoadAndShowPlayList10000)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LoadAndShowBookmarks500(benchmark::State& state) {
  Files files;
  const std::string file = files.Bookmarks(500);
  for (auto _ : state) {
    auto list = Shown<TFT_Bookmark>();
    list->LoadFromFile(file);
    Settle(list.get());
    if (list->Items.size() != 500) state.SkipWithError("not all bookmarks loaded");
    state.PauseTiming();
    list.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LoadAndShowBookmarks500)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_AddToPlayList10000(benchmark::State& state) {
  Files files;
  auto list = Shown<TFT_PlayList>();
  list->LoadFromFile(files.PlayList(10000));
  const QString media = QString::fromStdString(files.media);
  for (auto _ : state) {
    list->AddItem(media, "added");
    Settle(list.get());
  }
}
BENCHMARK(BM_AddToPlayList10000)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_ScrollPlayList10000(benchmark::State& state) {
  Files files;
  auto list = Shown<TFT_PlayList>();
  list->LoadFromFile(files.PlayList(10000));
  int top = 0;
  for (auto _ : state) {
    top = (top + 37) % 380;
    list->SetThumbTop(top);
    Settle(list.get());
  }
}
BENCHMARK(BM_ScrollPlayList10000)->Unit(benchmark::kMillisecond)->Iterations(50);

// "Delete All" on the long play list.
void BM_ClearPlayList10000(benchmark::State& state) {
  Files files;
  const std::string file = files.PlayList(10000);
  for (auto _ : state) {
    state.PauseTiming();
    auto list = Shown<TFT_PlayList>();
    list->LoadFromFile(file);
    Settle(list.get());
    state.ResumeTiming();
    list->Clear();
    Settle(list.get());
    state.PauseTiming();
    list.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ClearPlayList10000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

// Time to apply a shipped skin to all windows, and how much memory the skinned windows hold.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <string>

#include "platform/MessageBox.h"
#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/core/Ft_lumoradvdstate.h"
#include "player/library/Ft_lumoradvdsubform.h"
#include "player/mainwindow/Ft_lumoradvdfullscreenform.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/mainwindow/Ft_lumoradvdshadowform.h"

namespace {

long ResidentKiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * 4;
}

std::string SkinFolder(const char* name) {
  return qEnvironmentVariable("LUMORA_BIN_DIR", QCoreApplication::applicationDirPath())
             .toStdString() +
         "/Skin/" + name + "/";
}

void ApplyToAllWindows(benchmark::State& state, const char* skinName) {
  QTemporaryDir home;
  qputenv("LUMORA_HOME", home.path().toUtf8() + "/");
  plat::SetMessageBoxDouble([](const plat::MessageBoxRecord&) { return plat::IDOK; });
  const long before = ResidentKiB();
  auto* main = new TFT_LumoraDVD_MainForm();
  new TFT_LumoraDVD_OperationForm();
  new TFT_LumoraDVD_ShadowForm();
  new TFT_LumoraDVD_SubForm();
  new TFT_LumoraDVD_FullScreenForm();
  const std::string folder = SkinFolder(skinName);
  bool ok = main->ApplySkin(folder);
  const long skinned = ResidentKiB();
  for (auto _ : state) {
    ok = main->ApplySkin(folder) && ok;
    benchmark::DoNotOptimize(ok);
  }
  if (!ok) state.SkipWithError("the skin did not apply");
  state.counters["windows_rss_KiB"] = double(skinned - before);
  state.counters["rss_after_KiB"] = double(ResidentKiB() - before);
  delete FT_LumoraDVD_FullScreenForm;
  delete FT_LumoraDVD_SubForm;
  delete FT_LumoraDVD_ShadowForm;
  delete FT_LumoraDVD_OperationForm;
  delete FT_LumoraDVD_MainForm;
  plat::SetMessageBoxDouble({});
}

void BM_ApplyDefaultSkin(benchmark::State& state) { ApplyToAllWindows(state, "Default"); }
void BM_ApplyAquaSkin(benchmark::State& state) { ApplyToAllWindows(state, "Aqua"); }
BENCHMARK(BM_ApplyDefaultSkin)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_ApplyAquaSkin)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

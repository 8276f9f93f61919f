#include "TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdlib>

#include "navdisc/graph/Filter.h"
#include "navdisc/graph/Navigator.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"

namespace navtest {
namespace {

class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "navdisc_tests";
    static char* argv[] = {name, nullptr};
    // Defaults for a run outside CTest: no screen, no sound card.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("LUMORA_AUDIO", "null", 0);
    if (!QApplication::instance()) new QApplication(argc, argv);
  }
};
const auto* const kEnv = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

std::vector<Event> g_events;
std::function<void(const Event&)> g_hook;

void OnEvent(int32_t code, int32_t p1, int32_t p2) { RecordEvent(code, p1, p2); }

}  // namespace

std::vector<Event>& Events() { return g_events; }
void ClearEvents() { g_events.clear(); }
void RecordEvent(int32_t code, int32_t p1, int32_t p2) {
  g_events.push_back({code, p1, p2});
  if (g_hook) g_hook(g_events.back());
}
void SetEventHook(std::function<void(const Event&)> hook) { g_hook = std::move(hook); }

bool PumpUntil(const std::function<bool()>& pred, int ms) {
  for (int t = 0; t < ms; t += 10) {
    if (pred()) return true;
    plat::PumpMessages(10);
  }
  return pred();
}

bool WaitEvent(int32_t code, int ms, int32_t p1, size_t from) {
  return PumpUntil(
      [&] {
        for (size_t i = from; i < g_events.size(); ++i)
          if (g_events[i].code == code && (p1 == INT32_MIN || g_events[i].p1 == p1)) return true;
        return false;
      },
      ms);
}

const Event* LastEvent(int32_t code) {
  for (auto it = g_events.rbegin(); it != g_events.rend(); ++it)
    if (it->code == code) return &*it;
  return nullptr;
}

OwnerWindow::OwnerWindow(int w, int h) : widget_(std::make_unique<QWidget>()) {
  widget_->resize(w, h);
  widget_->show();
  handle_ =
      plat::RegisterWindow(widget_.get(), [count = count_](unsigned msg, WPARAM, LPARAM, LRESULT&) {
        if (msg != WM_DVD_GRAPH_EVENT) return false;
        ++*count;
        GetDVDEvent(&OnEvent);
        return true;
      });
}

OwnerWindow::~OwnerWindow() {
  DestroyDVDGraph();
  plat::PumpMessages(0);
}

std::string FixturePath(const std::string& relative) {
  // The build puts the fixtures beside bin/.
  const char* env = std::getenv("LUMORA_FIXTURE_DIR");
  std::string dir =
      env && *env ? env : QCoreApplication::applicationDirPath().toStdString() + "/../fixtures";
  std::string path = dir + "/" + relative;
  return QFileInfo::exists(QString::fromStdString(path)) ? path : std::string();
}

bool StartDisc(OwnerWindow& w, const std::string& path, bool play) {
  if (!InitialDVDGraph(w.handle()) || !RenderDVDPath(path.c_str())) return false;
  if (!PutDVDOwner(w.handle(), nullptr, true)) return false;
  SetDVDVolumeAndBalance(0, 0);
  return !play || PlayDVD();
}

void EngineTest::SetUp() {
  ClearEvents();
  plat::ClearRecordedMessageBoxes();
  plat::SetMessageBoxDouble([](const plat::MessageBoxRecord&) { return plat::IDOK; });
}

void EngineTest::TearDown() {
  SetEventHook({});
  DestroyDVDGraph();
  plat::PumpMessages(0);
  navdisc::graph::SetNavigatorFactory({});
  navdisc::graph::FilterRegistry::Instance().ResetToDefaults();
  plat::SetMessageBoxDouble({});
}

}  // namespace navtest

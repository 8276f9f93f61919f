#include <QApplication>
#include <QEvent>
#include <QWidget>

#include "player/core/Ft_lumoradvdmain.h"
#include "player/desktop/Mpris.h"

namespace {

// Each top-level window carries its instance name as its X window role, so session
// managers, window-manager rules and the user-flow tests can tell the windows apart.
class WindowRoleNamer : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
      auto* w = static_cast<QWidget*>(watched);
      if (w->isWindow() && !w->objectName().isEmpty() && w->windowRole() != w->objectName())
        w->setWindowRole(w->objectName());
    }
    return false;
  }
};

void InstallWindowRoles() {
  auto* namer = new WindowRoleNamer;
  namer->setParent(qApp);  // goes with the application
  qApp->installEventFilter(namer);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallWindowRoles)
Q_COREAPP_STARTUP_FUNCTION(StartDesktopIntegration)

int main(int argc, char** argv) { return RunPlayer(argc, argv); }

#include "core/Ft_lumoradvdmain.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <exception>

#include "controlpanel/Ft_lumoradvdoperationform.h"
#include "core/Ft_lumoradvdplay.h"
#include "core/Ft_lumoradvdstate.h"
#include "core/PlayerWindows.h"
#include "library/Ft_lumoradvdsubform.h"
#include "mainwindow/Ft_lumoradvdfullscreenform.h"
#include "mainwindow/Ft_lumoradvdmainform.h"
#include "mainwindow/Ft_lumoradvdshadowform.h"
#include "platform/InstanceChannel.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "platform/ProgramFolder.h"

namespace {

std::vector<std::string> g_arguments;

int g_signalPipe[2] = {-1, -1};

void OnTerminateSignal(int) {
  const char byte = 1;
  // Only async-signal-safe work here; the UI thread does the rest.
  if (g_signalPipe[1] >= 0) (void)!write(g_signalPipe[1], &byte, 1);
}

// SIGTERM and SIGINT close the main window the ordinary way, so the options
// and lists are saved.
void InstallTerminateHandlers(QObject* parent) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, parent);
  QObject::connect(notifier, &QSocketNotifier::activated, parent, [] {
    char buffer[16];
    (void)!read(g_signalPipe[0], buffer, sizeof buffer);
    ClosePlayback();
    if (FT_LumoraDVD_MainForm) FT_LumoraDVD_MainForm->close();
    // Ends every event loop, a modal message box's included.
    QCoreApplication::exit(0);
  });
  struct sigaction action {};
  action.sa_handler = OnTerminateSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

// A relative path means the second start's working folder, which the
// running player does not share.
std::string AbsoluteIfExisting(const std::string& arg) {
  const QFileInfo info(QString::fromStdString(arg));
  if (arg.empty() || info.isAbsolute() || !info.exists()) return arg;
  return info.absoluteFilePath().toStdString();
}

int SecondStart(const std::vector<std::string>& args) {
  if (args.empty()) return -1;
  std::vector<std::string> lines;
  lines.reserve(args.size());
  for (const std::string& a : args) lines.push_back(AbsoluteIfExisting(a));
  if (!WriteHandOffFile(HandOffFilePath(), lines)) {
    std::fprintf(stderr, "LumoraDVD: cannot write %s\n", HandOffFilePath().c_str());
    return -1;
  }
  if (!plat::PostToRunningInstance(kMainWindowCaption, WM_OPEN_OTHER_FILE, 0, 0))
    std::fprintf(stderr, "LumoraDVD: the running player did not take the hand-off\n");
  return -1;
}

void ChooseWindowSystem() {
  // The skinned windows place themselves and each other, which needs X11.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "xcb");
}

std::string JsonEscape(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace

const std::vector<std::string>& CommandLineArguments() { return g_arguments; }

void SetCommandLineArguments(std::vector<std::string> args) { g_arguments = std::move(args); }

std::string HandOffFilePath() { return plat::ProgramFolder() + kHandOffFileName; }

void WriteTestReport(const char* event) {
  const QByteArray target = qgetenv("LUMORA_TEST_REPORT");
  if (target.isEmpty()) return;
  const bool handOffExists = QFile::exists(QString::fromStdString(HandOffFilePath()));
  std::string json = "{\"event\":\"" + JsonEscape(event) + "\",\"CurrentPlayPath\":\"" +
                     JsonEscape(CurrentPlayPath) + "\",\"PlayType\":" + std::to_string(PlayType) +
                     ",\"PlayState\":" + std::to_string(PlayState) +
                     ",\"handOffExists\":" + (handOffExists ? "true" : "false") + "}\n";
  // Appended so a test sees every hand-off in order.
  QFile f(QString::fromLocal8Bit(target));
  if (f.open(QIODevice::WriteOnly | QIODevice::Append)) f.write(json.data(), json.size());
}

int RunPlayer(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);

  if (plat::FindRunningInstance(kMainWindowCaption)) return SecondStart(args);

  ChooseWindowSystem();
  int exitCode = 0;
  QApplication app(argc, argv);
  try {
    QApplication::setApplicationName(kApplicationTitle);
    QApplication::setApplicationDisplayName(kApplicationTitle);
    SetCommandLineArguments(args);

    TFT_LumoraDVD_MainForm* main = CreatePlayerWindows();
    main->setAttribute(Qt::WA_DeleteOnClose, false);
    main->setWindowTitle(QString::fromLatin1(kMainWindowCaption));

    plat::InstanceServer server;
    if (!server.Listen(kMainWindowCaption, main->Handle()))
      std::fprintf(stderr, "LumoraDVD: cannot listen for later starts\n");
    InstallTerminateHandlers(&app);

    if (main->StartSequence()) exitCode = QApplication::exec();
    ClosePlayback();
    DestroyPlayerWindows();
  } catch (const std::exception& e) {
    plat::MessageBox(nullptr, e.what(), kApplicationTitle, plat::MB_ICONERROR | plat::MB_OK);
  } catch (...) {
    plat::MessageBox(nullptr, "", kApplicationTitle, plat::MB_ICONERROR | plat::MB_OK);
  }
  (void)exitCode;
  return 0;
}

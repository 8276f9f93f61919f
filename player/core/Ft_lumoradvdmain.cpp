#include "player/core/Ft_lumoradvdmain.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <exception>

#include "platform/InstanceChannel.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "platform/ProgramFolder.h"
#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/core/CommandLine.h"
#include "player/core/Ft_lumoradvdplay.h"
#include "player/core/Ft_lumoradvdstate.h"
#include "player/core/PlayerWindows.h"
#include "player/library/Ft_lumoradvdsubform.h"
#include "player/mainwindow/Ft_lumoradvdfullscreenform.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/mainwindow/Ft_lumoradvdshadowform.h"

namespace {

std::vector<std::string> g_arguments;

int g_signalPipe[2] = {-1, -1};
std::atomic<bool> g_terminateSignal{false};
bool g_startupDone = false;
bool g_terminationHandled = false;

// Every signal whose default would end the player without saving. SIGPIPE is
// not among them: a closed output pipe is no reason to quit, so it is ignored.
constexpr int kTerminatingSignals[] = {SIGTERM, SIGINT,  SIGHUP,  SIGQUIT, SIGUSR1,
                                       SIGUSR2, SIGALRM, SIGXCPU, SIGXFSZ, SIGVTALRM};

void OnTerminateSignal(int) {
  // Only async-signal-safe work here; the UI thread does the rest, once.
  if (g_terminateSignal.exchange(true)) return;
  const char byte = 1;
  if (g_signalPipe[1] >= 0) (void)!write(g_signalPipe[1], &byte, 1);
}

// Installed as soon as this process is the player, so a signal at any later
// point of start-up is noticed.
void InstallTerminateHandlers() {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_signalPipe) != 0) {
    g_signalPipe[0] = g_signalPipe[1] = -1;
  }
  struct sigaction action {};
  action.sa_handler = OnTerminateSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int sig : kTerminatingSignals) sigaction(sig, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);
}

// The ordinary close of the main window (it saves the options and lists), once.
void EndOnSignal() {
  if (g_terminationHandled) return;
  g_terminationHandled = true;
  ClosePlayback();
  if (FT_LumoraDVD_MainForm) FT_LumoraDVD_MainForm->close();
  // Ends every event loop, a modal box's included.
  QCoreApplication::exit(0);
}

void WatchTerminateSignals(QObject* parent) {
  if (g_signalPipe[0] < 0) return;
  auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, parent);
  QObject::connect(notifier, &QSocketNotifier::activated, parent, [] {
    char buffer[16];
    while (read(g_signalPipe[0], buffer, sizeof buffer) > 0) {
    }
    // During start-up only the box or loop that runs is ended; the start
    // sequence stops at its next step and the close follows from there, so
    // what is saved is what the player actually took (the fallback skin).
    if (!g_startupDone) {
      QCoreApplication::exit(0);
      return;
    }
    EndOnSignal();
  });
}

// A relative path means the second start's working folder, which the
// running player does not share.
std::string AbsoluteIfExisting(const std::string& arg) {
  const QFileInfo info(QString::fromStdString(arg));
  if (arg.empty() || info.isAbsolute() || !info.exists()) return arg;
  return info.absoluteFilePath().toStdString();
}

// How long a later start keeps trying: the running player may still be
// building its windows, or other starts may be handing over before it.
// A loaded machine can take many seconds to bring the player's message loop
// up; the bounds only keep a start from lingering forever.
constexpr int kFindPlayerMs = 30000;
constexpr int kTurnWaitMs = 60000;
constexpr int kTakenWaitMs = 30000;

enum class HandOff { kDelivered, kNoPlayer, kFailed };

// The running player deletes the hand-off file once it has acted on it.
void WaitUntilTaken(const std::string& file) {
  QElapsedTimer waited;
  waited.start();
  struct stat st;
  while (lstat(file.c_str(), &st) == 0 && waited.elapsed() < kTakenWaitMs) usleep(5000);
}

HandOff SecondStart(const std::vector<std::string>& args) {
  // The hand-off file has one name: starts take turns, each waiting until the
  // player has taken its file, so none overwrites another's unread paths.
  plat::InstanceTurn turn;
  if (!turn.Take(kMainWindowCaption, kTurnWaitMs)) {
    std::fprintf(stderr, "LumoraDVD: too many starts at once, %zu path(s) not handed over\n",
                 args.size());
    return HandOff::kFailed;
  }
  // Nothing is written before the player listens, so a start that becomes the
  // player after all leaves no file behind.
  if (!plat::FindRunningInstance(kMainWindowCaption)) return HandOff::kNoPlayer;
  std::vector<std::string> lines;
  lines.reserve(args.size());
  for (const std::string& a : args) lines.push_back(AbsoluteIfExisting(a));
  const std::string file = HandOffFilePath();
  if (!WriteHandOffFile(file, lines)) {
    std::fprintf(stderr, "LumoraDVD: cannot write %s\n", file.c_str());
    return HandOff::kFailed;
  }
  if (!plat::PostToRunningInstance(kMainWindowCaption, WM_OPEN_OTHER_FILE, 0, 0)) {
    unlink(file.c_str());
    return HandOff::kNoPlayer;
  }
  WaitUntilTaken(file);
  return HandOff::kDelivered;
}

// Becomes the player, or hands the arguments to the one that is (false).
bool BecomeThePlayer(const std::vector<std::string>& args) {
  QElapsedTimer waited;
  waited.start();
  for (;;) {
    // Taking the lock is the check: of starts racing here exactly one wins.
    if (plat::AcquireInstanceLock(kMainWindowCaption) != plat::InstanceLockState::kHeldByOther)
      return true;
    if (args.empty()) return false;
    if (SecondStart(args) != HandOff::kNoPlayer) return false;
    if (waited.elapsed() > kFindPlayerMs) {
      std::fprintf(stderr, "LumoraDVD: the running player did not take the hand-off\n");
      return false;
    }
    usleep(20000);
  }
}

// What an interrupted atomic save of the player's own files leaves behind.
void RemoveStaleTemporaries() {
  const std::string folder = plat::ProgramFolder();
  plat::RemoveStaleTemporaries(folder, {"Option.ini", "PlayList.fpl", "Bookmark.bkm",
                                        "TVChannel.ini", "Resume.lst", kHandOffFileName});
  plat::RemoveStaleTemporaries(folder + "Bookmark/", {"*.bmk", "*.bmp"});
  plat::RemoveStaleTemporaries(folder + "Resume/", {"*.bmk"});
}

void ChooseWindowSystem() {
  // The skinned windows place themselves and each other, which needs X11.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "xcb");
  // Skin bitmaps and their masks are pixel pictures: a desktop scaled by 150% shows them at 2x
  // (whole device pixels per skin pixel), never at a fraction that smears their edges.
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
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

bool TerminationRequested() { return g_terminateSignal.load(); }

int RunPlayer(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);

  // Answered here, before any look for a running player or a display.
  std::string error;
  switch (PrepareCommandLine(args, error)) {
    case CommandLineAction::kHelp:
      std::fputs(CommandLineUsage(), stdout);
      return 0;
    case CommandLineAction::kVersion:
      std::printf("LumoraDVD %s\n", ProgramVersion());
      return 0;
    case CommandLineAction::kError:
      std::fprintf(stderr, "LumoraDVD: %s\nTry 'LumoraDVD --help' for more information.\n",
                   error.c_str());
      return 2;
    case CommandLineAction::kRun:
      break;
  }

  if (!BecomeThePlayer(args)) return -1;
  InstallTerminateHandlers();

  ChooseWindowSystem();
  int exitCode = 0;
  // Qt sees only the program name: every argument is a path to the player,
  // "-platform" and "-style" included. The platform comes from the environment.
  static char fallbackName[] = "LumoraDVD";
  int qtArgc = 1;
  char* qtArgv[] = {argc > 0 && argv[0] ? argv[0] : fallbackName, nullptr};
  QApplication app(qtArgc, qtArgv);
  WatchTerminateSignals(&app);
  RemoveStaleTemporaries();
  try {
    // No display name: Qt would append it to every window title.
    QApplication::setApplicationName(kApplicationTitle);
    SetCommandLineArguments(args);

    TFT_LumoraDVD_MainForm* main = CreatePlayerWindows();
    main->setAttribute(Qt::WA_DeleteOnClose, false);
    main->setWindowTitle(QString::fromLatin1(kMainWindowCaption));

    plat::InstanceServer server;
    if (!server.Listen(kMainWindowCaption, main->Handle()))
      std::fprintf(stderr, "LumoraDVD: cannot listen for later starts\n");

    const bool started = main->StartSequence();
    g_startupDone = true;
    if (started && !TerminationRequested()) exitCode = QApplication::exec();
    // A signal during start-up ends here, with the ordinary close.
    if (TerminationRequested()) EndOnSignal();
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

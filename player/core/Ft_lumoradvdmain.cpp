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

// A hand-off holds a few paths; anything far larger is not one of ours.
constexpr qint64 kHandOffMaxBytes = 1 << 20;

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
  QObject::connect(notifier, &QSocketNotifier::activated, parent, [notifier] {
    char buffer[16];
    (void)!read(g_signalPipe[0], buffer, sizeof buffer);
    notifier->setEnabled(false);
    ClosePlayback();
    if (FT_LumoraDVD_MainForm)
      FT_LumoraDVD_MainForm->close();
    else
      QApplication::quit();
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

std::string ApplyDVDFolderRule(const std::string& path) {
  std::string upper = path;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  const size_t slash = upper.find_last_of('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = upper.find_last_of('.');
  if (dot == std::string::npos || dot < nameStart) return path;
  if (upper.compare(dot, std::string::npos, ".IFO") != 0) return path;
  const size_t p = upper.find("VIDEO_TS");
  if (p == std::string::npos) return path;
  return path.substr(0, p);
}

std::string HandOffFilePath() { return plat::ProgramFolder() + kHandOffFileName; }

bool WriteHandOffFile(const std::string& file, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  return plat::WriteFileAtomically(file, text);
}

bool ParseHandOffText(const std::string& text, std::vector<std::string>& lines) {
  lines.clear();
  size_t start = 0;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    const bool last = end == std::string::npos;
    if (last) end = text.size();
    size_t stop = end;
    if (stop > start && text[stop - 1] == '\r') --stop;
    lines.emplace_back(text, start, stop - start);
    if (last) break;
    start = end + 1;
  }
  return true;
}

bool ReadHandOffFile(const std::string& file, std::vector<std::string>& lines) {
  lines.clear();
  QFile f(QString::fromStdString(file));
  if (!f.open(QIODevice::ReadOnly)) return false;
  if (f.size() > kHandOffMaxBytes) return false;
  const QByteArray data = f.read(kHandOffMaxBytes + 1);
  if (data.size() > kHandOffMaxBytes) return false;
  return ParseHandOffText(data.toStdString(), lines);
}

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

    auto* main = new TFT_LumoraDVD_MainForm();
    main->setAttribute(Qt::WA_DeleteOnClose, false);
    new TFT_LumoraDVD_OperationForm();
    new TFT_LumoraDVD_ShadowForm();
    new TFT_LumoraDVD_SubForm();
    new TFT_LumoraDVD_FullScreenForm();
    main->setWindowTitle(QString::fromLatin1(kMainWindowCaption));

    plat::InstanceServer server;
    if (!server.Listen(kMainWindowCaption, main->Handle()))
      std::fprintf(stderr, "LumoraDVD: cannot listen for later starts\n");
    InstallTerminateHandlers(&app);

    if (main->StartSequence()) exitCode = QApplication::exec();
    ClosePlayback();
    delete FT_LumoraDVD_FullScreenForm;
    delete FT_LumoraDVD_SubForm;
    delete FT_LumoraDVD_ShadowForm;
    delete FT_LumoraDVD_OperationForm;
    delete FT_LumoraDVD_MainForm;
  } catch (const std::exception& e) {
    plat::MessageBox(nullptr, e.what(), kApplicationTitle, plat::MB_ICONERROR | plat::MB_OK);
  } catch (...) {
    plat::MessageBox(nullptr, "", kApplicationTitle, plat::MB_ICONERROR | plat::MB_OK);
  }
  (void)exitCode;
  return 0;
}

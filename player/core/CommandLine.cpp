#include "player/core/CommandLine.h"

#include <sys/stat.h>

#include <QByteArray>
#include <QUrl>

namespace {

bool StartsWithNoCase(const std::string& s, const char* prefix) {
  for (size_t i = 0; prefix[i]; ++i) {
    if (i >= s.size()) return false;
    char c = s[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

bool EndsWithNoCase(const std::string& s, const char* suffix) {
  const std::string tail(suffix);
  if (s.size() < tail.size()) return false;
  return StartsWithNoCase(s.substr(s.size() - tail.size()), suffix);
}

std::string FirstOpticalDrive() {
  struct stat st;
  return ::stat("/dev/dvd", &st) == 0 ? "/dev/dvd" : "/dev/sr0";
}

}  // namespace

const char* ProgramVersion() { return LUMORA_VERSION; }

const char* CommandLineUsage() {
  return "Usage: LumoraDVD [path ...]\n"
         "       LumoraDVD -pf path\n"
         "       LumoraDVD -pd anything\n"
         "       LumoraDVD --help | --version\n"
         "\n"
         "A path is a media file, a DVD folder, a VIDEO_TS folder or .IFO file, an .iso\n"
         "image, or a disc address: dvd:// (the first optical drive), dvd:///dev/sr0,\n"
         "dvd:///path/to/folder-or-image. Several paths fill the play list.\n"
         "-pf plays the path that follows; -pd with one more argument starts without\n"
         "opening anything. \"--\" ends the options: what follows is taken as paths.\n"
         "When a player is already running, the paths are handed to it.\n"
         "\n"
         "  --help     print this text and exit\n"
         "  --version  print the version and exit\n";
}

std::string DiscAddressToPath(const std::string& arg) {
  if (!StartsWithNoCase(arg, "dvd://")) return arg;
  // File managers hand over addresses percent-encoded.
  std::string path =
      QUrl::fromPercentEncoding(QByteArray::fromStdString(arg.substr(6))).toStdString();
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  if (path.empty() || path == "/") return FirstOpticalDrive();
  // The disc folder is what the player opens, not the VIDEO_TS folder in it.
  if (EndsWithNoCase(path, "/video_ts") && path.size() > 9) path.resize(path.size() - 9);
  return path;
}

bool IsDiscImageOrDevice(const std::string& path) {
  if (path.empty()) return false;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return false;
  if (S_ISBLK(st.st_mode)) return true;
  return S_ISREG(st.st_mode) && EndsWithNoCase(path, ".iso");
}

CommandLineAction PrepareCommandLine(std::vector<std::string>& args, std::string& error) {
  // The two switches take their second argument as it stands, whatever it looks like.
  if (args.size() == 2 && (args[0] == "-pf" || args[0] == "-pd")) return CommandLineAction::kRun;
  std::vector<std::string> paths;
  paths.reserve(args.size());
  bool optionsEnded = false;
  for (const std::string& a : args) {
    if (!optionsEnded && a.compare(0, 2, "--") == 0) {
      if (a == "--") {
        optionsEnded = true;
        continue;
      }
      if (a == "--help") return CommandLineAction::kHelp;
      if (a == "--version") return CommandLineAction::kVersion;
      error = "unknown option '" + a + "'";
      return CommandLineAction::kError;
    }
    paths.push_back(DiscAddressToPath(a));
  }
  args = std::move(paths);
  return CommandLineAction::kRun;
}

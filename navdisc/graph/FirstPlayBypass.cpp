// The disc view without a first-play program (see the header).
#include "navdisc/graph/FirstPlayBypass.h"

#include <mntent.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace navdisc::graph {
namespace fs = std::filesystem;
namespace {

constexpr char kVmgMagic[] = "DVDVIDEO-VMG";
constexpr size_t kMagicLen = sizeof kVmgMagic - 1;
// A video-manager IFO is a few hundred kilobytes at most; anything far larger is not one.
constexpr uintmax_t kMaxIfoBytes = 64u << 20;

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

// The VIDEO_TS folder of a folder disc: the folder itself, its VIDEO_TS child (any case) or, for
// a path naming VIDEO_TS.IFO, the folder holding it. Empty when path is no folder disc.
std::string VideoTsFolder(const std::string& path) {
  std::error_code ec;
  fs::path p(path);
  if (fs::is_regular_file(p, ec)) {
    return Lower(p.filename().string()) == "video_ts.ifo" ? p.parent_path().string() : "";
  }
  if (!fs::is_directory(p, ec)) return "";
  if (Lower(p.filename().string()) == "video_ts" ||
      (p.filename().empty() && Lower(p.parent_path().filename().string()) == "video_ts"))
    return p.string();
  for (const auto& entry : fs::directory_iterator(p, ec)) {
    if (entry.is_directory(ec) && Lower(entry.path().filename().string()) == "video_ts")
      return entry.path().string();
  }
  return "";
}

// The canonical form of a path, or "" when it does not exist.
std::string Canonical(const std::string& path) {
  std::error_code ec;
  fs::path p = fs::canonical(path, ec);
  return ec ? std::string() : p.string();
}

}  // namespace

std::string MountedFolder(const std::string& path, const std::string& mounts,
                          const std::string& sysBlock) {
  std::string target = Canonical(path);
  if (target.empty()) return "";
  FILE* table = ::setmntent(mounts.c_str(), "r");
  if (!table) return "";
  std::string found;
  struct mntent entry {};
  char buf[4096];
  while (found.empty() && ::getmntent_r(table, &entry, buf, sizeof buf)) {
    std::string device = entry.mnt_fsname;
    bool match = device.rfind('/', 0) == 0 && Canonical(device) == target;
    if (!match && device.rfind("/dev/loop", 0) == 0) {
      std::ifstream backing(fs::path(sysBlock) / fs::path(device).filename() / "loop" /
                            "backing_file");
      std::string file;
      match = std::getline(backing, file) && Canonical(file) == target;
    }
    if (match) found = entry.mnt_dir;
  }
  ::endmntent(table);
  return found;
}

std::unique_ptr<FirstPlayBypass> FirstPlayBypass::Create(const std::string& path,
                                                         std::string& why) {
  std::unique_ptr<FirstPlayBypass> view(new FirstPlayBypass);
  std::string videoTs = VideoTsFolder(path);
  if (videoTs.empty()) {
    std::string folder = MountedFolder(path);
    if (!folder.empty()) videoTs = VideoTsFolder(folder);
  }
  if (videoTs.empty()) {
    why = path + " is neither a folder disc nor mounted";
    return nullptr;
  }
  if (!view->MakeShadowFolder(videoTs, why)) return nullptr;
  return view;
}

FirstPlayBypass::~FirstPlayBypass() {
  if (!shadow_.empty()) {
    std::error_code ec;
    fs::remove_all(shadow_, ec);  // links and the two copies only; never the disc's files
  }
}

bool FirstPlayBypass::MakeShadowFolder(const std::string& videoTs, std::string& why) {
  std::error_code ec;
  fs::path source = fs::absolute(videoTs, ec);
  std::string pattern = (fs::temp_directory_path(ec) / "lumora-disc-XXXXXX").string();
  if (ec || !::mkdtemp(pattern.data())) {
    why = "cannot create a temporary folder";
    return false;
  }
  shadow_ = pattern;
  fs::path target = fs::path(shadow_) / "VIDEO_TS";
  if (!fs::create_directory(target, ec)) {
    why = "cannot create " + target.string();
    return false;
  }
  bool patched = false;
  for (const auto& entry : fs::directory_iterator(source, ec)) {
    if (!entry.is_regular_file(ec)) continue;
    std::string name = entry.path().filename().string();
    std::string lower = Lower(name);
    fs::path dest = target / name;
    if (lower == "video_ts.ifo" || lower == "video_ts.bup") {
      if (entry.file_size(ec) > kMaxIfoBytes) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      if (!in.good() && !in.eof()) continue;
      if (bytes.size() >= kFirstPlayPointerOffset + 4 &&
          bytes.compare(0, kMagicLen, kVmgMagic) == 0) {
        std::memset(bytes.data() + kFirstPlayPointerOffset, 0, 4);
        patched = true;
      }
      std::ofstream out(dest, std::ios::binary);
      out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
      if (!out) {
        why = "cannot write " + dest.string();
        return false;
      }
    } else {
      fs::create_symlink(entry.path(), dest, ec);
      if (ec) {
        why = "cannot link " + entry.path().string();
        return false;
      }
    }
  }
  if (!patched) {
    why = "no readable VIDEO_TS.IFO in " + source.string();
    return false;
  }
  return true;
}

}  // namespace navdisc::graph

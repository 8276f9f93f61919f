#include "platform/Drives.h"

#include <blkid/blkid.h>
#include <cdio/iso9660.h>
#include <cdio/logging.h>
#include <fcntl.h>
#include <libudev.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStorageInfo>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/ProgramFolder.h"
#include "platform/Window.h"

namespace plat {
namespace {

std::mutex g_mutex;
std::function<std::vector<OpticalDrive>()> g_drivesDouble;
std::function<bool(const std::string&, std::string&)> g_labelDouble;
std::function<bool(const std::string&, bool)> g_trayDouble;

std::atomic<int> g_probeTimeoutMs{1500};

// Runs a probe that may block on a slow or dead drive on its own thread and waits at most the
// probe timeout for it; a late probe finishes in the background and its result is dropped.
template <typename Result>
std::optional<Result> RunWithTimeout(std::function<Result()> probe) {
  struct Shared {
    std::mutex m;
    std::condition_variable cv;
    std::optional<Result> result;
  };
  auto shared = std::make_shared<Shared>();
  std::thread([shared, probe = std::move(probe)]() {
    Result r = probe();
    std::lock_guard lk(shared->m);
    shared->result = std::move(r);
    shared->cv.notify_all();
  }).detach();
  std::unique_lock lk(shared->m);
  shared->cv.wait_for(lk, std::chrono::milliseconds(g_probeTimeoutMs.load()),
                      [&] { return shared->result.has_value(); });
  return shared->result;
}

bool IsBlockDevice(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISBLK(st.st_mode);
}

// A drive that reports no disc, an open tray or an audio CD is answered at once, without
// reading the medium. Images and other files pass.
bool MediumMayHoldData(const std::string& path) {
  if (!IsBlockDevice(path)) return true;
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = true;
  const int drive = ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT);
  if (drive == CDS_NO_DISC || drive == CDS_TRAY_OPEN || drive == CDS_DRIVE_NOT_READY) ok = false;
  if (ok) {
    const int disc = ioctl(fd, CDROM_DISC_STATUS, 0);
    if (disc == CDS_AUDIO || disc == CDS_NO_INFO) ok = false;
  }
  ::close(fd);
  return ok;
}

int DriveNumber(const QString& name) {
  bool ok = false;
  int n = name.mid(2).toInt(&ok);
  return ok ? n : 1 << 30;
}

// Label of a device node or image file from its ISO 9660 / UDF descriptor.
bool ProbeLabelNow(const std::string& path, std::string& label) {
  blkid_probe pr = blkid_new_probe_from_filename(path.c_str());
  if (!pr) return false;  // no medium, no permission, no such file
  blkid_probe_enable_superblocks(pr, 1);
  blkid_probe_set_superblocks_flags(pr, BLKID_SUBLKS_LABEL | BLKID_SUBLKS_TYPE);
  bool ok = false;
  if (blkid_do_safeprobe(pr) == 0) {
    ok = true;
    const char* value = nullptr;
    size_t len = 0;
    label.clear();
    if (blkid_probe_lookup_value(pr, "LABEL", &value, &len) == 0 && value) label = value;
  }
  blkid_free_probe(pr);
  return ok;
}

bool ProbeLabel(const std::string& path, std::string& label) {
  if (!MediumMayHoldData(path)) return false;
  auto r = RunWithTimeout<std::optional<std::string>>([path]() -> std::optional<std::string> {
    std::string l;
    if (!ProbeLabelNow(path, l)) return std::nullopt;
    return l;
  });
  if (!r || !*r) return false;
  label = **r;
  return true;
}

// libcdio's own log handler ends the process on a read error; an unreadable disc must only
// count as unreadable.
void QuietCdioLog(cdio_log_level_t, const char*) {}

// Top-level folder of an ISO 9660 image or disc (the UDF bridge of a DVD carries one too).
bool IsoHasFolder(const std::string& path, const std::string& folder) {
  static std::once_flag quiet;
  std::call_once(quiet, [] { cdio_log_set_handler(&QuietCdioLog); });
  if (!MediumMayHoldData(path)) return false;
  auto r = RunWithTimeout<bool>([path, folder]() {
    iso9660_t* iso = iso9660_open(path.c_str());
    if (!iso) return false;
    bool found = false;
    const std::string name = "/" + folder;
    if (iso9660_stat_t* st = iso9660_ifs_stat_translate(iso, name.c_str())) {
      found = st->type == iso9660_stat_s::_STAT_DIR;
      iso9660_stat_free(st);
    }
    iso9660_close(iso);
    return found;
  });
  return r.value_or(false);
}

bool TrayCommand(const std::string& device, bool open) {
  std::function<bool(const std::string&, bool)> dbl;
  {
    std::lock_guard lk(g_mutex);
    dbl = g_trayDouble;
  }
  if (dbl) return dbl(device, open);
  int fd = ::open(device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ioctl(fd, open ? CDROMEJECT : CDROMCLOSETRAY, 0) == 0;
  ::close(fd);
  return ok;
}

}  // namespace

std::vector<OpticalDrive> OpticalDrives() {
  std::function<std::vector<OpticalDrive>()> dbl;
  {
    std::lock_guard lk(g_mutex);
    dbl = g_drivesDouble;
  }
  if (dbl) return dbl();

  QByteArray sys = qgetenv("LUMORA_SYSFS_BLOCK");
  if (sys.isEmpty()) sys = "/sys/block";
  std::string devDir = qEnvironmentVariable("LUMORA_DEV_DIR").toStdString();
  if (devDir.empty()) devDir = "/dev";
  if (devDir.back() != '/') devDir += '/';
  QStringList names = QDir(QString::fromLocal8Bit(sys))
                          .entryList({"sr*"}, QDir::Dirs | QDir::System | QDir::NoDotAndDotDot);
  // sr2 before sr10.
  std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
    return DriveNumber(a) != DriveNumber(b) ? DriveNumber(a) < DriveNumber(b) : a < b;
  });
  const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
  std::vector<OpticalDrive> out;
  for (const QString& n : names) {
    OpticalDrive d;
    d.name = n.toStdString();
    d.device = devDir + d.name;
    d.root = d.device;
    for (const QStorageInfo& v : volumes) {
      if (QString::fromLocal8Bit(v.device()) == QString::fromStdString(d.device) && v.isReady()) {
        d.root = WithTrailingSlash(v.rootPath().toStdString());
        d.mounted = true;
        break;
      }
    }
    out.push_back(std::move(d));
  }
  return out;
}

bool GetVolumeLabel(const std::string& root, std::string& label) {
  std::function<bool(const std::string&, std::string&)> dbl;
  {
    std::lock_guard lk(g_mutex);
    dbl = g_labelDouble;
  }
  if (dbl) return dbl(root, label);
  if (root.empty()) return false;
  QFileInfo fi(QString::fromStdString(root));
  if (!fi.exists()) return false;
  if (!fi.isDir()) return ProbeLabel(root, label);
  // A mounted disc: ask its device. Any other folder is readable and has no label.
  QStorageInfo si(fi.absoluteFilePath());
  const std::string device = si.device().toStdString();
  if (si.isValid() &&
      WithTrailingSlash(si.rootPath().toStdString()) ==
          WithTrailingSlash(fi.absoluteFilePath().toStdString()) &&
      device.rfind("/dev/sr", 0) == 0) {
    if (ProbeLabel(device, label)) return true;
    label = si.name().toStdString();
    return true;
  }
  label.clear();
  return true;
}

bool GetDiscSerial(const std::string& root, std::string& serial) {
  if (root.empty()) return false;
  const QFileInfo fi(QString::fromStdString(root));
  if (!fi.exists()) return false;
  QByteArray data;
  if (fi.isDir()) {
    std::string videoTs;
    QDir dir(fi.absoluteFilePath());
    if (DiscHasFolder(root, "VIDEO_TS", &videoTs)) dir.setPath(QString::fromStdString(videoTs));
    QString ifo;
    for (const QString& e : dir.entryList(QDir::Files | QDir::Hidden))
      if (e.compare("VIDEO_TS.IFO", Qt::CaseInsensitive) == 0) ifo = dir.filePath(e);
    QFile file(ifo);
    // The disc's table of contents; a real one is a few kilobytes.
    if (ifo.isEmpty() || !file.open(QIODevice::ReadOnly)) return false;
    data = file.read(1 << 20);
  } else {
    if (!MediumMayHoldData(root)) return false;
    auto r = RunWithTimeout<QByteArray>([root]() {
      QFile file(QString::fromStdString(root));
      constexpr qint64 kDescriptorOffset = 16 * 2048;
      if (!file.open(QIODevice::ReadOnly) || !file.seek(kDescriptorOffset)) return QByteArray();
      return file.read(2048);
    });
    if (!r) return false;
    data = *r;
    // Type 1 and "CD001": anything else is not a disc's descriptor.
    if (data.size() != 2048 || data[0] != 1 || data.mid(1, 5) != "CD001") return false;
  }
  if (data.isEmpty()) return false;
  serial = QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex().left(16).toStdString();
  return true;
}

bool DiscHasFolder(const std::string& root, const std::string& folder, std::string* path) {
  if (root.empty() || folder.empty()) return false;
  const QFileInfo fi(QString::fromStdString(root));
  if (!fi.exists()) return false;
  if (!fi.isDir()) {
    if (!IsoHasFolder(root, folder)) return false;
    if (path) *path = root;
    return true;
  }
  // Mounted ISO 9660 discs without Rock Ridge show their names in lower case.
  const QDir dir(fi.absoluteFilePath());
  const QString want = QString::fromStdString(folder);
  QString found;
  if (QFileInfo(dir.filePath(want)).isDir()) {
    found = want;
  } else {
    for (const QString& e : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
      if (e.compare(want, Qt::CaseInsensitive) == 0) {
        found = e;
        break;
      }
  }
  if (found.isEmpty()) return false;
  if (path) *path = WithTrailingSlash(root) + found.toStdString() + "/";
  return true;
}

void SetProbeTimeout(int milliseconds) { g_probeTimeoutMs = std::max(1, milliseconds); }

bool OpenTray(const std::string& device) { return TrayCommand(device, true); }
bool CloseTray(const std::string& device) { return TrayCommand(device, false); }

void SetDrivesDouble(std::function<std::vector<OpticalDrive>()> drives) {
  std::lock_guard lk(g_mutex);
  g_drivesDouble = std::move(drives);
}
void SetVolumeLabelDouble(std::function<bool(const std::string&, std::string&)> label) {
  std::lock_guard lk(g_mutex);
  g_labelDouble = std::move(label);
}
void SetTrayDouble(std::function<bool(const std::string&, bool)> tray) {
  std::lock_guard lk(g_mutex);
  g_trayDouble = std::move(tray);
}

WPARAM ClassifyDiscEvent(const std::string& action, const std::string& devName,
                         const std::vector<std::string>& props) {
  const std::string base = devName.substr(devName.find_last_of('/') + 1);
  if (base.rfind("sr", 0) != 0) return 0;
  auto has = [&](const char* kv) {
    return std::find(props.begin(), props.end(), kv) != props.end();
  };
  if (action != "change") return 0;
  // The kernel reports a tray or medium change; udev's cdrom_id then says what is in.
  if (!has("DISK_MEDIA_CHANGE=1") && !has("DISK_EJECT_REQUEST=1")) return 0;
  if (has("DISK_EJECT_REQUEST=1")) return kDeviceRemoval;
  return has("ID_CDROM_MEDIA=1") ? kDeviceArrival : kDeviceRemoval;
}

DriveMonitor::DriveMonitor(QObject* parent) : QObject(parent) {}
DriveMonitor::~DriveMonitor() { Stop(); }

bool DriveMonitor::Start(HWND target) {
  Stop();
  target_ = target;
  udev_ = udev_new();
  if (!udev_) return false;
  monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
  if (!monitor_ || udev_monitor_filter_add_match_subsystem_devtype(monitor_, "block", "disk") < 0 ||
      udev_monitor_enable_receiving(monitor_) < 0) {
    Stop();
    return false;
  }
  notifier_ = new QSocketNotifier(udev_monitor_get_fd(monitor_), QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this]() { onReadable(); });
  return true;
}

void DriveMonitor::Stop() {
  delete notifier_;
  notifier_ = nullptr;
  if (monitor_) udev_monitor_unref(monitor_);
  monitor_ = nullptr;
  if (udev_) udev_unref(udev_);
  udev_ = nullptr;
}

void DriveMonitor::onReadable() {
  if (!monitor_) return;
  udev_device* dev = udev_monitor_receive_device(monitor_);
  if (!dev) return;
  const char* action = udev_device_get_action(dev);
  const char* node = udev_device_get_devnode(dev);
  std::vector<std::string> props;
  for (udev_list_entry* e = udev_device_get_properties_list_entry(dev); e;
       e = udev_list_entry_get_next(e)) {
    const char* v = udev_list_entry_get_value(e);
    props.push_back(std::string(udev_list_entry_get_name(e)) + "=" + (v ? v : ""));
  }
  const std::string devNode = node ? node : "";
  const WPARAM what = ClassifyDiscEvent(action ? action : "", devNode, props);
  udev_device_unref(dev);
  if (!what) return;
  const auto drives = OpticalDrives();
  for (size_t i = 0; i < drives.size(); ++i) {
    if (drives[i].device == devNode) {
      PostMessage(target_, kWmDeviceChange, what, static_cast<LPARAM>(i));
      return;
    }
  }
}

}  // namespace plat

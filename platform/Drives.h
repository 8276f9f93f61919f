// Optical drives: discovery, volume labels, trays and disc-change notices.
#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "platform/Types.h"

class QSocketNotifier;
struct udev;
struct udev_monitor;

namespace plat {

struct OpticalDrive {
  std::string name;    // kernel device name, "sr0"
  std::string device;  // device node, "/dev/sr0"
  std::string root;    // mount point of its disc ending with '/', else the device node
  bool mounted = false;
};

// The drives the kernel reports (/sys/block/sr*, or $LUMORA_SYSFS_BLOCK), in device order.
// Device nodes are looked for in /dev, or in $LUMORA_DEV_DIR (where a test may put a disc image
// under a drive's name).
std::vector<OpticalDrive> OpticalDrives();
// Volume label of a drive root, device node or disc image. False when there is no readable
// disc (no disc, tray open, an audio CD, a drive that does not answer in time); true with an
// empty label for a folder or an unlabelled disc.
bool GetVolumeLabel(const std::string& root, std::string& label);
// A fingerprint that tells one disc from another that carries the same label: for a folder or
// mounted disc a digest of its VIDEO_TS.IFO, for a device node or image a digest of its ISO 9660
// primary volume descriptor (label, size and dates). False when neither can be read.
bool GetDiscSerial(const std::string& root, std::string& serial);
// Whether a drive root, folder, device node or disc image holds the top-level folder `folder`
// (matched without regard to case). For a folder, `path` gets the sub-folder's real path
// ending with '/'; for a device or image it gets the root unchanged, which the DVD engine opens
// directly.
bool DiscHasFolder(const std::string& root, const std::string& folder, std::string* path = nullptr);
// Slow drives: how long a probe of a device may keep the caller waiting before it counts as
// unreadable (the probe itself finishes on its own thread).
void SetProbeTimeout(int milliseconds);
// Tray commands on the drive's device node; false when the drive refuses or is missing.
bool OpenTray(const std::string& device);
bool CloseTray(const std::string& device);

// Tests: stand-ins for the machine's drives, labels and trays; empty functions restore them.
void SetDrivesDouble(std::function<std::vector<OpticalDrive>()> drives);
void SetVolumeLabelDouble(std::function<bool(const std::string& root, std::string& label)> label);
void SetTrayDouble(std::function<bool(const std::string& device, bool open)> tray);

// Device-change message posted by DriveMonitor: wParam is kDeviceArrival or kDeviceRemoval,
// lParam the drive's index in OpticalDrives().
constexpr unsigned kWmDeviceChange = WM_DEVICECHANGE;
constexpr WPARAM kDeviceArrival = 0x8000;
constexpr WPARAM kDeviceRemoval = 0x8004;

// What a udev block-device event means for the player: 0 (nothing), kDeviceArrival or
// kDeviceRemoval. props holds the event's properties as "KEY=value".
WPARAM ClassifyDiscEvent(const std::string& action, const std::string& devName,
                         const std::vector<std::string>& props);

// Watches udev for discs put in or taken out and posts kWmDeviceChange to the target window.
class DriveMonitor : public QObject {
 public:
  explicit DriveMonitor(QObject* parent = nullptr);
  ~DriveMonitor() override;
  // False when udev cannot be reached (containers); the player then simply gets no notices.
  bool Start(HWND target);
  void Stop();

 private:
  void onReadable();
  ::udev* udev_ = nullptr;
  ::udev_monitor* monitor_ = nullptr;
  QSocketNotifier* notifier_ = nullptr;
  HWND target_ = 0;
};

}  // namespace plat

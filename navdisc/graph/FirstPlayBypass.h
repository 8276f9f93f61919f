// A view of a disc whose first-play program chain is hidden from libdvdnav.
//
// libdvdnav runs the first-play program before anything else. When that program ends without
// leading anywhere, libdvdnav's machine never starts: every read fails and it refuses every
// jump, so not even title 1 can be played. With the first-play pointer of VIDEO_TS.IFO (and of
// its backup) read as zero, libdvdnav starts in the video-manager menu instead, and titles can
// be jumped to as on any disc. The disc itself is never written.
//
// A folder disc is seen through a private shadow folder: links to every file of its VIDEO_TS
// folder, except patched copies of VIDEO_TS.IFO and .BUP. A disc in a drive or an image file is
// seen the same way through the folder it is mounted on (desktops mount inserted discs, and
// images through a loop device). An image or device that is not mounted has no such view:
// libdvdread 6.1 reads them only by path, and its stream callbacks are used only through
// libdvdcss, so there is no place to change four bytes without copying the whole image.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace navdisc::graph {

class FirstPlayBypass {
 public:
  // Null, with why set, when path offers no such view.
  static std::unique_ptr<FirstPlayBypass> Create(const std::string& path, std::string& why);
  ~FirstPlayBypass();
  FirstPlayBypass(const FirstPlayBypass&) = delete;
  FirstPlayBypass& operator=(const FirstPlayBypass&) = delete;

  // The folder to hand to libdvdnav in place of the disc; removed with this object.
  const std::string& Folder() const { return shadow_; }

 private:
  FirstPlayBypass() = default;
  bool MakeShadowFolder(const std::string& videoTs, std::string& why);

  std::string shadow_;  // the shadow root, holding VIDEO_TS
};

// The folder where the device node or image file `path` is mounted, from a mount table in the
// format of /proc/self/mounts; images count when a loop device whose backing file (read below
// sysBlock) is path is mounted. Empty when it is not mounted.
std::string MountedFolder(const std::string& path, const std::string& mounts = "/proc/self/mounts",
                          const std::string& sysBlock = "/sys/block");

// Offset of the first-play pointer in VIDEO_TS.IFO and its backup.
inline constexpr uint32_t kFirstPlayPointerOffset = 0x84;

}  // namespace navdisc::graph

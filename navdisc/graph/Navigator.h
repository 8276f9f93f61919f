// The DVD navigator behind the navigator source filter. The real one wraps libdvdnav; tests
// put a double in its place to exercise angles, long titles and failures.
// Not thread-safe: the navigator source serialises every call with its own lock.
#pragma once

#include <dvdnav/dvdnav.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "navdisc/DiscValidator.h"

namespace navdisc::graph {

class INavigator {
 public:
  virtual ~INavigator() = default;
  virtual bool Open(const std::string& path, std::string& why) = 0;
  // One step of the virtual machine: fills buf (2048 bytes) and returns a DVDNAV_* event
  // code in `event`; false on a read or program failure (Error() tells why).
  virtual bool NextBlock(uint8_t* buf, int32_t& event, int32_t& len) = 0;
  virtual std::string Error() = 0;
  virtual void StillSkip() = 0;  // ends the still the navigator stands in
  virtual void WaitSkip() = 0;
  // After a jump out of a still: forgets that still without skipping any still to come.
  virtual void DropStill() = 0;
  virtual bool Reset() = 0;  // back to the start of the disc (first play)
  // False when the disc has no first-play program chain.
  virtual bool HasFirstPlay() = 0;
  // Keeps the navigator away from the parts of a damaged disc the disc check barred: their
  // titles, title sets and menus cannot be jumped to, and their buttons are not pressed.
  virtual void Limit(const DiscLimits& limits) { (void)limits; }

  // Position and domain.
  virtual bool CurrentTitle(int32_t& title, int32_t& part) = 0;  // title 0 in menus
  virtual int Domain() = 0;                                      // 1..5, as DVD_DOMAIN
  virtual int64_t CurrentTime90k() = 0;                          // from the start of the PGC
  virtual bool TitleCount(int32_t& titles) = 0;
  virtual bool PartCount(int32_t title, int32_t& parts) = 0;
  virtual bool TitleDuration90k(int32_t title, uint64_t& duration) = 0;
  virtual bool AngleInfo(int32_t& current, int32_t& count) = 0;
  virtual std::string VolumeLabel() = 0;

  // Jumps.
  virtual bool TitlePlay(int32_t title) = 0;
  virtual bool PartPlay(int32_t title, int32_t part) = 0;
  virtual bool TimeSearch(uint64_t time90k) = 0;
  virtual bool MenuCall(DVDMenuID_t menu) = 0;  // DVD_MENU_Escape resumes from a menu
  virtual bool AngleChange(int32_t angle) = 0;

  // Buttons of the current menu, in picture coordinates.
  virtual pci_t* CurrentPci() = 0;
  virtual bool CurrentButton(int32_t& button) = 0;
  virtual bool SelectRelative(int direction) = 0;  // 1 up, 2 down, 3 left, 4 right
  virtual bool Activate() = 0;
  virtual bool MouseSelect(int32_t x, int32_t y) = 0;
  virtual bool MouseActivate(int32_t x, int32_t y) = 0;

  // Picture and streams of the current domain.
  virtual int VideoAspect() = 0;  // 0 = 4:3, 3 = 16:9
  virtual bool VideoSize(uint32_t& w, uint32_t& h) = 0;
  virtual int AudioPhysical(int logical) = 0;  // -1 when absent
  virtual int SpuPhysical(int logical) = 0;    // for the current aspect (wide), -1 when absent
  virtual int ActiveAudioPhysical() = 0;
  virtual int ActiveSpuPhysical() = 0;  // 0x80 set: not shown
  virtual uint16_t AudioLanguage(int logical) = 0;
  virtual uint16_t SpuLanguage(int logical) = 0;
  virtual bool AudioAttr(int logical, audio_attr_t& attr) = 0;
  virtual bool SpuAttr(int logical, subp_attr_t& attr) = 0;
};

// Creates the navigator for a render; replaceable by tests.
using NavigatorFactory = std::function<std::unique_ptr<INavigator>()>;
void SetNavigatorFactory(NavigatorFactory f);  // empty = libdvdnav
std::unique_ptr<INavigator> CreateNavigator();

std::unique_ptr<INavigator> CreateDvdnavNavigator();

}  // namespace navdisc::graph

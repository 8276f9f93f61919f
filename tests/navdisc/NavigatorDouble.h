// A navigator without a disc: one title-domain program chain of a chosen length, a chosen
// number of angles, and a record of every jump asked of it.
#pragma once

#include <algorithm>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "navdisc/graph/Navigator.h"

namespace navtest {

struct NavScript {
  std::mutex mu;
  int32_t titles = 2, parts = 4, title = 1, part = 1, angles = 3, angle = 1;
  uint64_t duration90k = 3601ull * 90000;
  int domain = 4;
  bool failReads = false;  // NextBlock fails (a read error)
  bool cellChangePending = true;
  bool emitAudioPacks = false;  // alternate AC-3 packs of streams 0x80 and 0x81
  int packsEmitted = 0;
  std::vector<uint64_t> timeSearches;
  std::vector<int> menuCalls;
  int resets = 0;
  int64_t time90k = 0;
};

class NavigatorDouble final : public navdisc::graph::INavigator {
 public:
  explicit NavigatorDouble(std::shared_ptr<NavScript> s) : s_(std::move(s)) {}
  bool Open(const std::string&, std::string&) override { return true; }
  bool NextBlock(uint8_t* buf, int32_t& event, int32_t& len) override {
    len = 0;
    std::lock_guard lock(s_->mu);
    if (s_->failReads) return false;
    if (s_->cellChangePending) {
      s_->cellChangePending = false;
      event = DVDNAV_CELL_CHANGE;
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (s_->emitAudioPacks) {
      int sub = 0x80 + (s_->packsEmitted++ & 1);
      len = MakeAudioPack(buf, sub);
      event = DVDNAV_BLOCK_OK;
      return true;
    }
    event = DVDNAV_NOP;
    return true;
  }
  // One 2048-byte MPEG-2 pack holding a private-stream-1 PES of sub-stream `sub`.
  static int32_t MakeAudioPack(uint8_t* b, int sub) {
    std::fill(b, b + 2048, 0);
    const uint8_t pack[14] = {0, 0, 1, 0xBA, 0x44, 0, 4, 0, 4, 1, 1, 0x89, 0xc3, 0xf8};
    std::copy(pack, pack + 14, b);
    uint8_t* p = b + 14;
    const int payload = 64;
    int len = 3 + 0 + 1 + 3 + payload;  // PES header flags, no PTS, sub-stream header, data
    p[0] = 0;
    p[1] = 0;
    p[2] = 1;
    p[3] = 0xBD;
    p[4] = static_cast<uint8_t>(len >> 8);
    p[5] = static_cast<uint8_t>(len & 0xff);
    p[6] = 0x81;
    p[7] = 0;
    p[8] = 0;
    p[9] = static_cast<uint8_t>(sub);
    p[10] = 1;
    p[11] = 0;
    p[12] = 1;
    for (int i = 0; i < payload; ++i) p[13 + i] = static_cast<uint8_t>(sub);
    return 2048;
  }
  std::string Error() override { return "read error"; }
  void StillSkip() override {}
  void WaitSkip() override {}
  void DropStill() override {}
  bool Reset() override {
    std::lock_guard lock(s_->mu);
    ++s_->resets;
    s_->cellChangePending = true;
    return true;
  }
  bool HasFirstPlay() override { return true; }
  bool CurrentTitle(int32_t& t, int32_t& p) override {
    std::lock_guard lock(s_->mu);
    t = s_->domain == 4 ? s_->title : 0;
    p = s_->domain == 4 ? s_->part : 0;
    return true;
  }
  int Domain() override {
    std::lock_guard lock(s_->mu);
    return s_->domain;
  }
  int64_t CurrentTime90k() override {
    std::lock_guard lock(s_->mu);
    return s_->time90k;
  }
  bool TitleCount(int32_t& n) override {
    std::lock_guard lock(s_->mu);
    n = s_->titles;
    return true;
  }
  bool PartCount(int32_t, int32_t& n) override {
    std::lock_guard lock(s_->mu);
    n = s_->parts;
    return true;
  }
  bool TitleDuration90k(int32_t, uint64_t& d) override {
    std::lock_guard lock(s_->mu);
    d = s_->duration90k;
    return true;
  }
  bool AngleInfo(int32_t& cur, int32_t& count) override {
    std::lock_guard lock(s_->mu);
    cur = s_->angle;
    count = s_->angles;
    return true;
  }
  std::string VolumeLabel() override { return "DOUBLE"; }
  bool TitlePlay(int32_t t) override { return PartPlay(t, 1); }
  bool PartPlay(int32_t t, int32_t p) override {
    std::lock_guard lock(s_->mu);
    s_->title = t;
    s_->part = p;
    s_->domain = 4;
    s_->cellChangePending = true;
    return true;
  }
  bool TimeSearch(uint64_t t) override {
    std::lock_guard lock(s_->mu);
    s_->timeSearches.push_back(t);
    s_->time90k = static_cast<int64_t>(t);
    return true;
  }
  bool MenuCall(DVDMenuID_t menu) override {
    std::lock_guard lock(s_->mu);
    s_->menuCalls.push_back(menu);
    s_->domain = menu == DVD_MENU_Escape ? 4 : 3;
    s_->cellChangePending = true;
    return true;
  }
  bool AngleChange(int32_t a) override {
    std::lock_guard lock(s_->mu);
    if (a < 1 || a > s_->angles) return false;
    s_->angle = a;
    return true;
  }
  pci_t* CurrentPci() override { return nullptr; }
  bool CurrentButton(int32_t& b) override {
    b = 0;
    return false;
  }
  bool SelectRelative(int) override { return false; }
  bool Activate() override { return false; }
  bool MouseSelect(int32_t, int32_t) override { return false; }
  bool MouseActivate(int32_t, int32_t) override { return false; }
  int VideoAspect() override { return 3; }
  bool VideoSize(uint32_t& w, uint32_t& h) override {
    w = 720;
    h = 576;
    return true;
  }
  int AudioPhysical(int logical) override { return logical >= 0 && logical < 2 ? logical : -1; }
  int SpuPhysical(int logical) override { return logical == 0 ? 0 : -1; }
  int ActiveAudioPhysical() override { return 0; }
  int ActiveSpuPhysical() override { return 0x80; }
  uint16_t AudioLanguage(int logical) override { return logical == 0 ? 0x656e : 0x6672; }
  uint16_t SpuLanguage(int) override { return 0x6465; }
  bool AudioAttr(int, audio_attr_t& a) override {
    a = {};
    return true;
  }
  bool SpuAttr(int, subp_attr_t& a) override {
    a = {};
    return true;
  }

 private:
  std::shared_ptr<NavScript> s_;
};

}  // namespace navtest

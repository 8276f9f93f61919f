// The "DVD Navigator" source filter: runs the navigator on a reading thread, splits the
// disc's packs into video, sub-picture and audio, follows stills, waits, highlights and
// domain changes, and offers IDvdControl2 and IDvdInfo2.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "navdisc/DvdInterfaces.h"
#include "navdisc/graph/Filter.h"
#include "navdisc/graph/Navigator.h"
#include "navdisc/graph/Samples.h"

namespace navdisc::graph {

inline const ClassId kNavigatorClsid = "{9B8C4620-2C1A-11D0-8493-00A02438AD48}";

class NavigatorSource final : public Filter, public IDvdControl2, public IDvdInfo2 {
 public:
  explicit NavigatorSource(std::unique_ptr<INavigator> nav);
  ~NavigatorSource() override;

  // Opens the disc; false with a reason when the navigator refuses it.
  bool Open(const std::string& path, std::string& why);
  // What of the disc may be played (see INavigator::Limit).
  void SetDiscLimits(const DiscLimits& limits);

  HRESULT Run() override;
  HRESULT Pause() override;
  HRESULT Stop() override;
  void* QueryInterface(const std::string& iid) override;
  void Removed() override;
  // The picture values changed: a still is drawn again with them (moving video takes them
  // with its next picture). Any thread.
  void RequestRepaint();

  // IDvdControl2
  HRESULT SetOption(DVD_OPTION_FLAG flag, bool value) override;
  HRESULT PlayForwards(double speed, uint32_t flags, IDvdCmd** cmd) override;
  HRESULT PlayBackwards(double speed, uint32_t flags, IDvdCmd** cmd) override;
  HRESULT PlayAtTime(const DVD_HMSF_TIMECODE* time, uint32_t flags, IDvdCmd** cmd) override;
  HRESULT PlayTitle(uint32_t title, uint32_t flags, IDvdCmd** cmd) override;
  HRESULT PlayChapter(uint32_t chapter, uint32_t flags, IDvdCmd** cmd) override;
  HRESULT PlayChapterInTitle(uint32_t title, uint32_t chapter, uint32_t flags,
                             IDvdCmd** cmd) override;
  HRESULT ShowMenu(DVD_MENU_ID menu, uint32_t flags, IDvdCmd** cmd) override;
  HRESULT Resume(uint32_t flags, IDvdCmd** cmd) override;
  HRESULT SelectRelativeButton(DVD_RELATIVE_BUTTON dir) override;
  HRESULT ActivateButton() override;
  HRESULT SelectAtPosition(POINT pt) override;
  HRESULT ActivateAtPosition(POINT pt) override;
  HRESULT SelectAngle(uint32_t angle, uint32_t flags, IDvdCmd** cmd) override;
  HRESULT SelectAudioStream(uint32_t stream, uint32_t flags, IDvdCmd** cmd) override;
  HRESULT SelectSubpictureStream(uint32_t stream, uint32_t flags, IDvdCmd** cmd) override;
  HRESULT SetSubpictureState(bool on, uint32_t flags, IDvdCmd** cmd) override;
  HRESULT SetState(IDvdState* state, uint32_t flags, IDvdCmd** cmd) override;

  // IDvdInfo2
  HRESULT GetCurrentDomain(DVD_DOMAIN* domain) override;
  HRESULT GetCurrentLocation(DVD_PLAYBACK_LOCATION2* loc) override;
  HRESULT GetTotalTitleTime(DVD_HMSF_TIMECODE* time, uint32_t* flags) override;
  HRESULT GetCurrentButton(uint32_t* available, uint32_t* current) override;
  HRESULT GetCurrentAudio(uint32_t* available, uint32_t* current) override;
  HRESULT GetCurrentSubpicture(uint32_t* available, uint32_t* current,
                               int32_t* isDisabled) override;
  HRESULT GetCurrentAngle(uint32_t* available, uint32_t* current) override;
  HRESULT GetAudioLanguage(uint32_t stream, uint32_t* lcid) override;
  HRESULT GetSubpictureLanguage(uint32_t stream, uint32_t* lcid) override;
  HRESULT GetDVDVolumeInfo(uint32_t* numVolumes, uint32_t* volume, DVD_DISC_SIDE* side,
                           uint32_t* numTitles) override;
  HRESULT GetNumberOfChapters(uint32_t title, uint32_t* chapters) override;
  HRESULT GetCurrentVideoAttributes(DVD_VideoAttributes* attr) override;
  HRESULT GetAudioAttributes(uint32_t stream, DVD_AudioAttributes* attr) override;
  HRESULT GetSubpictureAttributes(uint32_t stream, DVD_SubpictureAttributes* attr) override;
  HRESULT GetButtonAtPosition(POINT pt, uint32_t* button) override;
  HRESULT GetState(std::shared_ptr<IDvdState>* state) override;

  // The volume label (empty for a folder).
  std::string VolumeLabel();
  // Current playing rate: > 0 forwards, < 0 backwards.
  double Rate() const { return rate_; }
  bool ResetOnStop() const { return resetOnStop_; }

 private:
  class Cmd;
  void Loop();
  void HandleEvent(int32_t event, uint8_t* buf, int32_t len);
  void Demux(const uint8_t* pack, int32_t len);
  void EmitPes(int streamId, const uint8_t* data, size_t size, int64_t pts90);
  void CheckPosition();  // domain, title and chapter changes -> events
  void PushStreamSelection();
  void DeliverAll(Sample&& s);
  void DeliverControl(int type, std::shared_ptr<const void> payload);
  // After a jump: drop what is buffered downstream and wake the reading thread.
  void RequestFlush();
  void Wake();
  bool WaitDrained(int maxMs);
  // Stream numbers on the disc of the streams the current program chain carries, in order.
  std::vector<int> AudioStreams();
  std::vector<int> SpuStreams();
  uint32_t AudioCount();
  uint32_t SpuCount();
  int CurrentAudioLogical();
  int CurrentSpuLogical();
  int AudioLogicalAt(uint32_t index);  // -1 past the list
  uint32_t TimecodeRate();             // DVD_TC_FLAG_25fps or _30fps (under navMu_)
  int SpuLogicalAt(uint32_t index);
  bool SpuShown();
  HRESULT Finish(bool ok, uint32_t flags, IDvdCmd** cmd, HRESULT failure = E_FAIL);
  bool InTitle() { return nav_->Domain() == DVD_DOMAIN_Title; }

  std::unique_ptr<INavigator> nav_;
  std::recursive_mutex navMu_;  // every navigator call

  std::thread thread_;
  std::mutex mu_;
  std::condition_variable cv_;
  bool quit_ = false;
  enum class Run { Stopped, Paused, Running } run_ = Run::Stopped;
  bool idle_ = false;     // stopped at the end of the disc or after an error
  uint64_t cmdSeq_ = 0;   // bumped by every command (wakes stills)
  uint64_t doneSeq_ = 0;  // the last command the reading thread has acted on
  std::condition_variable doneCv_;
  std::atomic<bool> flushPending_{false};
  std::atomic<bool> audioFlushPending_{false};
  std::atomic<bool> selectionDirty_{true};
  std::atomic<bool> actionPending_{false};
  std::atomic<bool> repaintPending_{false};

  // Position, as the reading thread last saw it (under navMu_).
  int domain_ = 0;
  int32_t title_ = 0, part_ = 0;
  bool firstPlayChecked_ = false;
  bool everRead_ = false;
  uint64_t packsSinceOpen_ = 0;  // blocks and NAV packets since the disc was opened or reset
  bool noFirstPlayPosted_ = false;

  // Timestamps: stream time = pts + offset, continuous across cells.
  int64_t ptsOffset_ = 0;
  int64_t lastVobuEnd_ = -1;
  int64_t navTitleTime90_ = -1;  // title time at the start of the current VOBU
  int64_t vobuStart90_ = 0;
  int aspect_ = 0;

  // Streams: the engine's own choice (-1 = the disc's).
  std::atomic<int> audioLogical_{-1};
  std::atomic<int> spuLogical_{-1};
  std::atomic<int> spuShown_{-1};  // -1 disc, 0 off, 1 on
  std::atomic<int> audioPhysical_{0};
  int menuSpuWide_ = 0, menuSpuLetterbox_ = 0;
  int highlightSent_ = -1;  // button last handed to the decoder; -1 after a jump or a title

  std::atomic<double> rate_{1.0};
  std::atomic<bool> backwards_{false};
  std::chrono::steady_clock::time_point nextReverseStep_;
  std::atomic<bool> resetOnStop_{false};

  // Stills.
  std::atomic<bool> inStill_{false};
  // A jump out of a still: libdvdnav would otherwise hold the new place as a still too.
  void LeaveStill();
  std::chrono::steady_clock::time_point stillDeadline_;
  std::string path_;
};

}  // namespace navdisc::graph

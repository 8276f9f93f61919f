// NavigatorSource information: read-only questions about the disc and the current position.
#include <algorithm>
#include <vector>

#include "navdisc/graph/FilterGraph.h"
#include "navdisc/graph/NavigatorSource.h"
#include "navdisc/graph/VideoRenderer.h"
#include "platform/Locale.h"

namespace navdisc::graph {
namespace {

class DvdState final : public IDvdState {
 public:
  explicit DvdState(NavdiscStateRecord r) : r_(r) {}
  const NavdiscStateRecord& Record() const override { return r_; }
  std::vector<uint8_t> Save() const override { return SerializeState(r_); }

 private:
  NavdiscStateRecord r_;
};

uint32_t LangToLcid(uint16_t lang) {
  if (lang == 0xffff || lang == 0) return 0;
  char code[2] = {static_cast<char>(lang >> 8), static_cast<char>(lang & 0xff)};
  return plat::LanguageCodeToLcid(code);
}

}  // namespace

// The player numbers the streams it lists 0, 1, ...; those are the streams the program chain
// marks present, in order, whatever their numbers on the disc (a title may carry stream 1
// alone). Internally a stream keeps its number on the disc.
std::vector<int> NavigatorSource::AudioStreams() {
  std::lock_guard lock(navMu_);
  // Outside titles the navigator maps every stream to the menu's one sound track.
  if (!InTitle()) return {0};
  std::vector<int> present;
  for (int k = 0; k < 8; ++k)
    if (nav_->AudioPhysical(k) >= 0) present.push_back(k);
  return present;
}

std::vector<int> NavigatorSource::SpuStreams() {
  std::lock_guard lock(navMu_);
  // Menu sub-pictures are buttons, not subtitles to choose from.
  if (!InTitle()) return {};
  std::vector<int> present;
  for (int k = 0; k < 32; ++k)
    if (nav_->SpuPhysical(k) >= 0) present.push_back(k);
  return present;
}

uint32_t NavigatorSource::AudioCount() { return static_cast<uint32_t>(AudioStreams().size()); }
uint32_t NavigatorSource::SpuCount() { return static_cast<uint32_t>(SpuStreams().size()); }

namespace {
// The disc's stream number of list entry `index`, -1 past the list.
int StreamAt(const std::vector<int>& streams, uint32_t index) {
  return index < streams.size() ? streams[index] : -1;
}
uint32_t IndexOf(const std::vector<int>& streams, int logical) {
  auto it = std::find(streams.begin(), streams.end(), logical);
  return it == streams.end() ? 0 : static_cast<uint32_t>(it - streams.begin());
}
}  // namespace

int NavigatorSource::CurrentAudioLogical() {
  const std::vector<int> streams = AudioStreams();
  // The viewer's choice holds where the title carries that stream; elsewhere (another title
  // set) the navigator's own choice plays.
  const int chosen = audioLogical_;
  if (chosen >= 0 && std::find(streams.begin(), streams.end(), chosen) != streams.end())
    return chosen;
  std::lock_guard lock(navMu_);
  int phys = nav_->ActiveAudioPhysical();
  for (int k : streams)
    if (nav_->AudioPhysical(k) == phys) return k;
  return streams.empty() ? 0 : streams.front();
}

int NavigatorSource::CurrentSpuLogical() {
  const std::vector<int> streams = SpuStreams();
  const int chosen = spuLogical_;
  if (chosen >= 0 && std::find(streams.begin(), streams.end(), chosen) != streams.end())
    return chosen;
  std::lock_guard lock(navMu_);
  int phys = nav_->ActiveSpuPhysical();
  if (phys >= 0)
    for (int k : streams)
      if (nav_->SpuPhysical(k) == (phys & 0x1f)) return k;
  return streams.empty() ? 0 : streams.front();
}

int NavigatorSource::AudioLogicalAt(uint32_t index) { return StreamAt(AudioStreams(), index); }
int NavigatorSource::SpuLogicalAt(uint32_t index) { return StreamAt(SpuStreams(), index); }

bool NavigatorSource::SpuShown() {
  if (spuShown_ >= 0) return spuShown_ == 1;
  std::lock_guard lock(navMu_);
  int phys = nav_->ActiveSpuPhysical();
  return phys >= 0 && !(phys & 0x80);
}

HRESULT NavigatorSource::GetCurrentDomain(DVD_DOMAIN* domain) {
  if (!domain) return E_POINTER;
  std::lock_guard lock(navMu_);
  *domain = static_cast<DVD_DOMAIN>(nav_->Domain());
  return S_OK;
}

// NTSC discs (480 lines) count 30 frames a second in their time codes, PAL discs 25.
uint32_t NavigatorSource::TimecodeRate() {
  uint32_t w = 0, h = 0;
  return nav_->VideoSize(w, h) && h == 480 ? DVD_TC_FLAG_30fps : DVD_TC_FLAG_25fps;
}

HRESULT NavigatorSource::GetCurrentLocation(DVD_PLAYBACK_LOCATION2* loc) {
  if (!loc) return E_POINTER;
  std::lock_guard lock(navMu_);
  int32_t t = 0, p = 0;
  if (!InTitle() || !nav_->CurrentTitle(t, p)) return VFW_E_DVD_INVALIDDOMAIN;
  int64_t secs = nav_->CurrentTime90k() / 90000;
  loc->TitleNum = static_cast<uint32_t>(t);
  loc->ChapterNum = static_cast<uint32_t>(p);
  loc->TimeCode = {static_cast<uint8_t>(secs / 3600), static_cast<uint8_t>((secs / 60) % 60),
                   static_cast<uint8_t>(secs % 60), 0};
  loc->TimeCodeFlags = TimecodeRate();
  return S_OK;
}

HRESULT NavigatorSource::GetTotalTitleTime(DVD_HMSF_TIMECODE* tc, uint32_t* flags) {
  if (!tc) return E_POINTER;
  std::lock_guard lock(navMu_);
  int32_t t = 0, p = 0;
  uint64_t dur = 0;
  if (!InTitle() || !nav_->CurrentTitle(t, p) || !nav_->TitleDuration90k(t, dur))
    return VFW_E_DVD_INVALIDDOMAIN;
  uint64_t secs = dur / 90000;
  tc->bHours = static_cast<uint8_t>(std::min<uint64_t>(secs / 3600, 255));
  tc->bMinutes = static_cast<uint8_t>((secs / 60) % 60);
  tc->bSeconds = static_cast<uint8_t>(secs % 60);
  const uint32_t rate = TimecodeRate();
  tc->bFrames = static_cast<uint8_t>((dur % 90000) * (rate == DVD_TC_FLAG_30fps ? 30 : 25) / 90000);
  if (flags) *flags = rate;
  return S_OK;
}

HRESULT NavigatorSource::GetCurrentButton(uint32_t* available, uint32_t* current) {
  if (!available || !current) return E_POINTER;
  std::lock_guard lock(navMu_);
  pci_t* pci = nav_->CurrentPci();
  int32_t b = 0;
  *available = pci ? pci->hli.hl_gi.btn_ns : 0;
  *current = nav_->CurrentButton(b) && *available ? static_cast<uint32_t>(b) : 0;
  return S_OK;
}

HRESULT NavigatorSource::GetCurrentAudio(uint32_t* available, uint32_t* current) {
  if (!available || !current) return E_POINTER;
  const std::vector<int> streams = AudioStreams();
  *available = static_cast<uint32_t>(streams.size());
  *current = IndexOf(streams, CurrentAudioLogical());
  return S_OK;
}

HRESULT NavigatorSource::GetCurrentSubpicture(uint32_t* available, uint32_t* current,
                                              int32_t* isDisabled) {
  if (!available || !current || !isDisabled) return E_POINTER;
  const std::vector<int> streams = SpuStreams();
  *available = static_cast<uint32_t>(streams.size());
  *current = IndexOf(streams, CurrentSpuLogical());
  *isDisabled = SpuShown() ? 0 : 1;
  return S_OK;
}

HRESULT NavigatorSource::GetCurrentAngle(uint32_t* available, uint32_t* current) {
  if (!available || !current) return E_POINTER;
  std::lock_guard lock(navMu_);
  int32_t cur = 0, count = 0;
  if (!InTitle() || !nav_->AngleInfo(cur, count)) {
    *available = 1;
    *current = 1;
    return S_OK;
  }
  *available = static_cast<uint32_t>(std::max(count, 1));
  *current = static_cast<uint32_t>(std::max(cur, 1));
  return S_OK;
}

HRESULT NavigatorSource::GetAudioLanguage(uint32_t stream, uint32_t* lcid) {
  if (!lcid) return E_POINTER;
  const int logical = AudioLogicalAt(stream);
  if (logical < 0) return E_INVALIDARG;
  std::lock_guard lock(navMu_);
  *lcid = LangToLcid(nav_->AudioLanguage(logical));
  return S_OK;
}

HRESULT NavigatorSource::GetSubpictureLanguage(uint32_t stream, uint32_t* lcid) {
  if (!lcid) return E_POINTER;
  const int logical = SpuLogicalAt(stream);
  if (logical < 0) return E_INVALIDARG;
  std::lock_guard lock(navMu_);
  *lcid = LangToLcid(nav_->SpuLanguage(logical));
  return S_OK;
}

HRESULT NavigatorSource::GetDVDVolumeInfo(uint32_t* numVolumes, uint32_t* volume,
                                          DVD_DISC_SIDE* side, uint32_t* numTitles) {
  std::lock_guard lock(navMu_);
  int32_t n = 0;
  if (!nav_->TitleCount(n)) return E_FAIL;
  if (numVolumes) *numVolumes = 1;
  if (volume) *volume = 1;
  if (side) *side = DVD_SIDE_A;
  if (numTitles) *numTitles = static_cast<uint32_t>(n);
  return S_OK;
}

HRESULT NavigatorSource::GetNumberOfChapters(uint32_t title, uint32_t* chapters) {
  if (!chapters) return E_POINTER;
  std::lock_guard lock(navMu_);
  int32_t n = 0, parts = 0;
  if (!nav_->TitleCount(n) || title < 1 || title > uint32_t(n)) return E_INVALIDARG;
  if (!nav_->PartCount(static_cast<int32_t>(title), parts)) return E_FAIL;
  *chapters = static_cast<uint32_t>(parts);
  return S_OK;
}

HRESULT NavigatorSource::GetCurrentVideoAttributes(DVD_VideoAttributes* a) {
  if (!a) return E_POINTER;
  std::lock_guard lock(navMu_);
  uint32_t w = 0, h = 0;
  if (!nav_->VideoSize(w, h) || w == 0 || h == 0) return E_FAIL;
  *a = {};
  bool wide = nav_->VideoAspect() == 3;
  a->fPanscanPermitted = wide;
  a->fLetterboxPermitted = wide;
  a->ulAspectX = wide ? 16 : 4;
  a->ulAspectY = wide ? 9 : 3;
  a->ulFrameRate = h == 576 ? 50 : 60;  // fields per second
  a->ulFrameHeight = h == 576 ? 625 : 525;
  a->Compression = DVD_VideoCompression_MPEG2;
  a->ulSourceResolutionX = w;
  a->ulSourceResolutionY = h;
  return S_OK;
}

HRESULT NavigatorSource::GetAudioAttributes(uint32_t stream, DVD_AudioAttributes* a) {
  if (!a) return E_POINTER;
  const int logical =
      stream == DVD_STREAM_DATA_CURRENT ? CurrentAudioLogical() : AudioLogicalAt(stream);
  if (logical < 0) return E_INVALIDARG;
  std::lock_guard lock(navMu_);
  audio_attr_t at{};
  if (!nav_->AudioAttr(logical, at)) return E_FAIL;
  *a = {};
  switch (at.audio_format) {
    case 0:
      a->AudioFormat = DVD_AudioFormat_AC3;
      break;
    case 2:
      a->AudioFormat = DVD_AudioFormat_MPEG1;
      break;
    case 3:
      a->AudioFormat = DVD_AudioFormat_MPEG2;
      break;
    case 4:
      a->AudioFormat = DVD_AudioFormat_LPCM;
      break;
    case 6:
      a->AudioFormat = DVD_AudioFormat_DTS;
      break;
    default:
      a->AudioFormat = DVD_AudioFormat_Other;
      break;
  }
  a->Language = LangToLcid(nav_->AudioLanguage(logical));
  a->LanguageExtension = at.code_extension;
  a->fHasMultichannelInfo = at.multichannel_extension;
  a->dwFrequency = at.sample_frequency == 1 ? 96000 : 48000;
  a->bQuantization = at.quantization == 0 ? 16 : at.quantization == 1 ? 20 : 24;
  a->bNumberOfChannels = static_cast<uint8_t>(at.channels + 1);
  return S_OK;
}

HRESULT NavigatorSource::GetSubpictureAttributes(uint32_t stream, DVD_SubpictureAttributes* a) {
  if (!a) return E_POINTER;
  const int logical = SpuCount() == 0                     ? -1
                      : stream == DVD_STREAM_DATA_CURRENT ? CurrentSpuLogical()
                                                          : SpuLogicalAt(stream);
  *a = {};
  if (logical < 0) {
    // A title without sub-pictures still answers, with an empty description.
    return stream == DVD_STREAM_DATA_CURRENT ? S_FALSE : E_INVALIDARG;
  }
  std::lock_guard lock(navMu_);
  subp_attr_t at{};
  if (!nav_->SpuAttr(logical, at)) return E_FAIL;
  a->Type = at.type;
  a->CodingMode = at.code_mode;
  a->Language = LangToLcid(nav_->SpuLanguage(logical));
  a->LanguageExtension = at.code_extension;
  return S_OK;
}

HRESULT NavigatorSource::GetButtonAtPosition(POINT pt, uint32_t* button) {
  if (!button) return E_POINTER;
  std::lock_guard lock(navMu_);
  pci_t* pci = nav_->CurrentPci();
  if (!pci) return VFW_E_DVD_NO_BUTTON;
  int n = std::min<int>(pci->hli.hl_gi.btn_ns, 36);
  for (int i = 0; i < n; ++i) {
    const btni_t& b = pci->hli.btnit[i];
    if (pt.x >= int(b.x_start) && pt.x <= int(b.x_end) && pt.y >= int(b.y_start) &&
        pt.y <= int(b.y_end)) {
      *button = static_cast<uint32_t>(i + 1);
      return S_OK;
    }
  }
  return VFW_E_DVD_NO_BUTTON;
}

HRESULT NavigatorSource::GetState(std::shared_ptr<IDvdState>* state) {
  if (!state) return E_POINTER;
  NavdiscStateRecord r;
  {
    std::lock_guard lock(navMu_);
    int32_t t = 0, p = 0;
    if (!InTitle() || !nav_->CurrentTitle(t, p) || t <= 0) return VFW_E_DVD_INVALIDDOMAIN;
    r.title = static_cast<uint32_t>(t);
    r.chapter = static_cast<uint32_t>(p);
    r.seconds = static_cast<uint32_t>(nav_->CurrentTime90k() / 90000);
    int32_t cur = 1, count = 1;
    if (nav_->AngleInfo(cur, count) && cur > 0) r.angle = static_cast<uint32_t>(cur);
  }
  // The picture on screen is a little behind the reading position.
  if (FilterGraph* g = Graph())
    for (auto& f : g->Filters())
      if (auto* v = dynamic_cast<VideoRenderer*>(f.get())) {
        int64_t shown = v->LastShown().titleTime;
        if (shown >= 0) r.seconds = static_cast<uint32_t>(shown / 1000000);
      }
  r.audio = audioLogical_;
  r.subpicture = spuLogical_;
  r.subpictureOn = SpuShown() ? 1 : 0;
  *state = std::make_shared<DvdState>(r);
  return S_OK;
}

std::string NavigatorSource::VolumeLabel() {
  std::lock_guard lock(navMu_);
  return nav_->VolumeLabel();
}

}  // namespace navdisc::graph

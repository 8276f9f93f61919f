#include "platform/Mixer.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <mutex>

namespace plat {
namespace {

std::mutex g_mutex;
std::function<bool(int)> g_set;
std::function<int()> g_get;

// The first card's simple mixer with its line-in element; closes itself.
class LineIn {
 public:
  LineIn() {
    if (snd_mixer_open(&mixer_, 0) < 0) {
      mixer_ = nullptr;
      return;
    }
    if (snd_mixer_attach(mixer_, "hw:0") < 0 ||
        snd_mixer_selem_register(mixer_, nullptr, nullptr) < 0 || snd_mixer_load(mixer_) < 0)
      return;
    snd_mixer_selem_id_t* id = nullptr;
    snd_mixer_selem_id_alloca(&id);
    snd_mixer_selem_id_set_index(id, 0);
    snd_mixer_selem_id_set_name(id, "Line");
    elem_ = snd_mixer_find_selem(mixer_, id);
  }
  ~LineIn() {
    if (mixer_) snd_mixer_close(mixer_);
  }
  snd_mixer_elem_t* elem() const { return elem_; }

 private:
  snd_mixer_t* mixer_ = nullptr;
  snd_mixer_elem_t* elem_ = nullptr;
};

}  // namespace

bool SetLineInVolume(int level) {
  level = std::clamp(level, 0, 65535);
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_set) return g_set(level);
  }
  LineIn line;
  snd_mixer_elem_t* e = line.elem();
  if (!e) return true;
  long lo = 0, hi = 0;
  // The playback volume routes the line input to the speakers; cards without it only record.
  if (snd_mixer_selem_has_playback_volume(e)) {
    if (snd_mixer_selem_get_playback_volume_range(e, &lo, &hi) < 0 || hi <= lo) return false;
    const long v = lo + (long long)(hi - lo) * level / 65535;
    return snd_mixer_selem_set_playback_volume_all(e, v) >= 0;
  }
  if (snd_mixer_selem_has_capture_volume(e)) {
    if (snd_mixer_selem_get_capture_volume_range(e, &lo, &hi) < 0 || hi <= lo) return false;
    const long v = lo + (long long)(hi - lo) * level / 65535;
    return snd_mixer_selem_set_capture_volume_all(e, v) >= 0;
  }
  return true;
}

int GetLineInVolume() {
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_get) return g_get();
  }
  LineIn line;
  snd_mixer_elem_t* e = line.elem();
  if (!e) return -1;
  long lo = 0, hi = 0, v = 0;
  if (snd_mixer_selem_has_playback_volume(e)) {
    if (snd_mixer_selem_get_playback_volume_range(e, &lo, &hi) < 0 ||
        snd_mixer_selem_get_playback_volume(e, SND_MIXER_SCHN_FRONT_LEFT, &v) < 0)
      return -1;
  } else if (snd_mixer_selem_has_capture_volume(e)) {
    if (snd_mixer_selem_get_capture_volume_range(e, &lo, &hi) < 0 ||
        snd_mixer_selem_get_capture_volume(e, SND_MIXER_SCHN_FRONT_LEFT, &v) < 0)
      return -1;
  } else {
    return -1;
  }
  if (hi <= lo) return -1;
  return static_cast<int>(std::clamp<long long>((long long)(v - lo) * 65535 / (hi - lo), 0, 65535));
}

void SetMixerDouble(std::function<bool(int)> set, std::function<int()> get) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_set = std::move(set);
  g_get = std::move(get);
}

}  // namespace plat

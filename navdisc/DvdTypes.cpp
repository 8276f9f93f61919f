#include "navdisc/DvdTypes.h"

namespace navdisc {

const char* EventCodeName(int32_t code) {
  switch (code) {
    case EC_DVD_DOMAIN_CHANGE:
      return "EC_DVD_DOMAIN_CHANGE";
    case EC_DVD_TITLE_CHANGE:
      return "EC_DVD_TITLE_CHANGE";
    case EC_DVD_CHAPTER_START:
      return "EC_DVD_CHAPTER_START";
    case EC_DVD_AUDIO_STREAM_CHANGE:
      return "EC_DVD_AUDIO_STREAM_CHANGE";
    case EC_DVD_SUBPICTURE_STREAM_CHANGE:
      return "EC_DVD_SUBPICTURE_STREAM_CHANGE";
    case EC_DVD_ANGLE_CHANGE:
      return "EC_DVD_ANGLE_CHANGE";
    case EC_DVD_BUTTON_CHANGE:
      return "EC_DVD_BUTTON_CHANGE";
    case EC_DVD_VALID_UOPS_CHANGE:
      return "EC_DVD_VALID_UOPS_CHANGE";
    case EC_DVD_STILL_ON:
      return "EC_DVD_STILL_ON";
    case EC_DVD_STILL_OFF:
      return "EC_DVD_STILL_OFF";
    case EC_DVD_CURRENT_TIME:
      return "EC_DVD_CURRENT_TIME";
    case EC_DVD_ERROR:
      return "EC_DVD_ERROR";
    case EC_DVD_WARNING:
      return "EC_DVD_WARNING";
    case EC_DVD_CHAPTER_AUTOSTOP:
      return "EC_DVD_CHAPTER_AUTOSTOP";
    case EC_DVD_NO_FP_PGC:
      return "EC_DVD_NO_FP_PGC";
    case EC_DVD_PLAYBACK_RATE_CHANGE:
      return "EC_DVD_PLAYBACK_RATE_CHANGE";
    case EC_DVD_PARENTAL_LEVEL_CHANGE:
      return "EC_DVD_PARENTAL_LEVEL_CHANGE";
    case EC_DVD_PLAYBACK_STOPPED:
      return "EC_DVD_PLAYBACK_STOPPED";
    case EC_DVD_ANGLES_AVAILABLE:
      return "EC_DVD_ANGLES_AVAILABLE";
    case EC_DVD_PLAYPERIOD_AUTOSTOP:
      return "EC_DVD_PLAYPERIOD_AUTOSTOP";
    case EC_DVD_BUTTON_AUTO_ACTIVATED:
      return "EC_DVD_BUTTON_AUTO_ACTIVATED";
    case EC_DVD_CMD_START:
      return "EC_DVD_CMD_START";
    case EC_DVD_CMD_END:
      return "EC_DVD_CMD_END";
    case EC_DVD_DISC_EJECTED:
      return "EC_DVD_DISC_EJECTED";
    case EC_DVD_DISC_INSERTED:
      return "EC_DVD_DISC_INSERTED";
    case EC_DVD_CURRENT_HMSF_TIME:
      return "EC_DVD_CURRENT_HMSF_TIME";
    case EC_DVD_KARAOKE_MODE:
      return "EC_DVD_KARAOKE_MODE";
  }
  return "";
}

}  // namespace navdisc

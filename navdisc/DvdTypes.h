// Result codes, event codes and the DVD data structures the engine's interfaces use.
// Values and layouts match what the player expects (the attributes buffer is read by offset).
#pragma once

#include <cstdint>

namespace navdisc {

using HRESULT = int32_t;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
inline constexpr HRESULT VFW_E_DVD_OPERATION_INHIBITED = static_cast<HRESULT>(0x80040276u);
inline constexpr HRESULT VFW_E_DVD_INVALIDDOMAIN = static_cast<HRESULT>(0x80040277u);
inline constexpr HRESULT VFW_E_DVD_NO_BUTTON = static_cast<HRESULT>(0x80040278u);
inline constexpr HRESULT VFW_E_NOT_CONNECTED = static_cast<HRESULT>(0x80040209u);
inline constexpr HRESULT VFW_E_CANNOT_CONNECT = static_cast<HRESULT>(0x80040217u);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
inline constexpr HRESULT VFW_S_DVD_NOT_ACCURATE = 0x0004022Du;
inline bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline bool FAILED(HRESULT hr) { return hr < 0; }

enum : int32_t {
  EC_DVD_DOMAIN_CHANGE = 0x101,
  EC_DVD_TITLE_CHANGE = 0x102,
  EC_DVD_CHAPTER_START = 0x103,
  EC_DVD_AUDIO_STREAM_CHANGE = 0x104,
  EC_DVD_SUBPICTURE_STREAM_CHANGE = 0x105,
  EC_DVD_ANGLE_CHANGE = 0x106,
  EC_DVD_BUTTON_CHANGE = 0x107,
  EC_DVD_VALID_UOPS_CHANGE = 0x108,
  EC_DVD_STILL_ON = 0x109,
  EC_DVD_STILL_OFF = 0x10A,
  EC_DVD_CURRENT_TIME = 0x10B,
  EC_DVD_ERROR = 0x10C,
  EC_DVD_WARNING = 0x10D,
  EC_DVD_CHAPTER_AUTOSTOP = 0x10E,
  EC_DVD_NO_FP_PGC = 0x10F,
  EC_DVD_PLAYBACK_RATE_CHANGE = 0x110,
  EC_DVD_PARENTAL_LEVEL_CHANGE = 0x111,
  EC_DVD_PLAYBACK_STOPPED = 0x112,
  EC_DVD_ANGLES_AVAILABLE = 0x113,
  EC_DVD_PLAYPERIOD_AUTOSTOP = 0x114,
  EC_DVD_BUTTON_AUTO_ACTIVATED = 0x115,
  EC_DVD_CMD_START = 0x116,
  EC_DVD_CMD_END = 0x117,
  EC_DVD_DISC_EJECTED = 0x118,
  EC_DVD_DISC_INSERTED = 0x119,
  EC_DVD_CURRENT_HMSF_TIME = 0x11A,
  EC_DVD_KARAOKE_MODE = 0x11B,
};

// Symbolic name of an event code ("EC_DVD_TITLE_CHANGE"), or "" when unknown.
const char* EventCodeName(int32_t code);

enum DVD_DOMAIN : int32_t {
  DVD_DOMAIN_FirstPlay = 1,
  DVD_DOMAIN_VideoManagerMenu = 2,
  DVD_DOMAIN_VideoTitleSetMenu = 3,
  DVD_DOMAIN_Title = 4,
  DVD_DOMAIN_Stop = 5,
};

enum DVD_MENU_ID : int32_t {
  DVD_MENU_Title = 2,
  DVD_MENU_Root = 3,
  DVD_MENU_Subpicture = 4,
  DVD_MENU_Audio = 5,
  DVD_MENU_Angle = 6,
  DVD_MENU_Chapter = 7,
};

enum DVD_RELATIVE_BUTTON : int32_t {
  DVD_Relative_Upper = 1,
  DVD_Relative_Lower = 2,
  DVD_Relative_Left = 3,
  DVD_Relative_Right = 4,
};

enum DVD_CMD_FLAGS : uint32_t {
  DVD_CMD_FLAG_None = 0,
  DVD_CMD_FLAG_Flush = 1,
  DVD_CMD_FLAG_SendEvents = 2,
  DVD_CMD_FLAG_Block = 4,
  DVD_CMD_FLAG_StartWhenRendered = 8,
  DVD_CMD_FLAG_EndAfterRendered = 16,
};

enum DVD_OPTION_FLAG : int32_t {
  DVD_ResetOnStop = 1,
  DVD_NotifyParentalLevelChange = 2,
  DVD_HMSF_TimeCodeEvents = 3,
};

enum AM_LINE21_CCSTATE : int32_t { AM_L21_CCSTATE_Off = 0, AM_L21_CCSTATE_On = 1 };

struct DVD_HMSF_TIMECODE {
  uint8_t bHours, bMinutes, bSeconds, bFrames;
};
inline uint32_t PackTimecode(const DVD_HMSF_TIMECODE& t) {
  return uint32_t(t.bHours) | uint32_t(t.bMinutes) << 8 | uint32_t(t.bSeconds) << 16 |
         uint32_t(t.bFrames) << 24;
}

struct POINT {
  int32_t x, y;
};

enum DVD_DISC_SIDE : int32_t { DVD_SIDE_A = 1, DVD_SIDE_B = 2 };
inline constexpr uint32_t DVD_STREAM_DATA_CURRENT = 0x800;

enum DVD_VIDEO_COMPRESSION : int32_t {
  DVD_VideoCompression_Other = 0,
  DVD_VideoCompression_MPEG1 = 1,
  DVD_VideoCompression_MPEG2 = 2,
};

struct DVD_VideoAttributes {
  int32_t fPanscanPermitted;
  int32_t fLetterboxPermitted;
  uint32_t ulAspectX;
  uint32_t ulAspectY;
  uint32_t ulFrameRate;
  uint32_t ulFrameHeight;
  int32_t Compression;
  int32_t fLine21Field1InGOP;
  int32_t fLine21Field2InGOP;
  uint32_t ulSourceResolutionX;
  uint32_t ulSourceResolutionY;
  int32_t fIsSourceLetterboxed;
  int32_t fIsFilmMode;
};
static_assert(sizeof(DVD_VideoAttributes) == 52);

enum DVD_AUDIO_FORMAT : int32_t {
  DVD_AudioFormat_AC3 = 0,
  DVD_AudioFormat_MPEG1 = 1,
  DVD_AudioFormat_MPEG1_DRC = 2,
  DVD_AudioFormat_MPEG2 = 3,
  DVD_AudioFormat_MPEG2_DRC = 4,
  DVD_AudioFormat_LPCM = 5,
  DVD_AudioFormat_DTS = 6,
  DVD_AudioFormat_SDDS = 7,
  DVD_AudioFormat_Other = 8,
};

struct DVD_AudioAttributes {
  int32_t AppMode;
  uint8_t AppModeData;
  uint8_t pad0[3];
  int32_t AudioFormat;
  uint32_t Language;  // LCID
  int32_t LanguageExtension;
  int32_t fHasMultichannelInfo;
  uint32_t dwFrequency;
  uint8_t bQuantization;
  uint8_t bNumberOfChannels;
  uint8_t pad1[2];
  uint32_t dwReserved[2];
};
static_assert(sizeof(DVD_AudioAttributes) == 40);

struct DVD_SubpictureAttributes {
  int32_t Type;
  int32_t CodingMode;
  uint32_t Language;  // LCID
  int32_t LanguageExtension;
};
static_assert(sizeof(DVD_SubpictureAttributes) == 16);

enum DVD_TIMECODE_FLAGS : uint32_t { DVD_TC_FLAG_25fps = 1, DVD_TC_FLAG_30fps = 2 };

struct DVD_PLAYBACK_LOCATION2 {
  uint32_t TitleNum;
  uint32_t ChapterNum;
  DVD_HMSF_TIMECODE TimeCode;
  uint32_t TimeCodeFlags;
};

}  // namespace navdisc

/* Clipcore: the media engine for files and the analogue TV tuner.
 *
 * Every function runs on the user-interface thread. The engine holds at most one playback
 * graph; it posts WM_MEDIA_GRAPH_EVENT (1154) to the window given to InitialGraph when events
 * wait for GetGraphEvent, and WM_TV_SCAN_PROGRESS (1157) while a channel scan runs
 * (wParam 1, lParam channel: a channel was found; wParam 0: the scan ended, lParam non-zero
 * when it was cancelled). Texts are 8-bit path strings owned by the caller. */
#ifndef LUMORA_CLIPCORE_H
#define LUMORA_CLIPCORE_H

#include <stdbool.h>
#include <stdint.h>

#include "platform/Types.h"

#define CLIPCORE_API __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

/* Event codes handed to the GetGraphEvent callback. */
#define CLIPCORE_EC_COMPLETE 1   /* the media played to its end */
#define CLIPCORE_EC_ERRORABORT 3 /* playback aborted by an error; p1 holds the engine's error */

/* The window messages the engine posts (see above). */
#define WM_MEDIA_GRAPH_EVENT (WM_USER + 130)
#define WM_TV_SCAN_PROGRESS (WM_USER + 133)

typedef void (*ClipcoreEventCallback)(int32_t code, int32_t p1, int32_t p2);

CLIPCORE_API bool InitialGraph(HWND mainWindow);
CLIPCORE_API bool RenderFile(const char* path);
CLIPCORE_API bool RenderTV(void);
CLIPCORE_API bool PlayFile(double rate);
CLIPCORE_API bool PauseFile(void);
CLIPCORE_API void StopFile(void);
CLIPCORE_API bool StepFile(int32_t frames);
CLIPCORE_API bool SetPositions(double seconds);
CLIPCORE_API bool GetPlayInfo(double* length, double* position, int32_t* percent);
CLIPCORE_API bool GetFileInfo(int32_t* width, int32_t* height, bool* canSeek);
CLIPCORE_API double PutFilePlaybackRatio(double rate);
CLIPCORE_API bool PutOwner(HWND window, const LumoraRect* rect, bool keepProportions);
CLIPCORE_API bool SetFileVolumeAndBalance(int32_t volume, int32_t balance);
CLIPCORE_API bool SetFileVideoBrightness(double value);
CLIPCORE_API bool SetFileVideoContrast(double value);
CLIPCORE_API bool SetFileVideoHue(double value);
CLIPCORE_API bool SetFileVideoSaturation(double value);
CLIPCORE_API bool SnapshootToFile(const char* path);
CLIPCORE_API bool GetGraphEvent(ClipcoreEventCallback callback);
CLIPCORE_API bool ScanChannel(bool stop);
CLIPCORE_API bool SetTVChannel(int32_t channel);
CLIPCORE_API void DestroyGraph(void);

#ifdef __cplusplus
}
#endif

#endif

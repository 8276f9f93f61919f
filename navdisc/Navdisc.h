/* Navdisc: the DVD engine. The player calls these 28 functions by name; results are one-byte
 * success flags, texts are 8-bit strings owned by the caller. Without a graph every function
 * returns false (or null) and does nothing. All calls come from the user-interface thread. */
#ifndef NAVDISC_NAVDISC_H
#define NAVDISC_NAVDISC_H

#include <stdbool.h>
#include <stdint.h>

#include "platform/Types.h"

#if defined(NAVDISC_BUILDING)
#define NAVDISC_API __attribute__((visibility("default")))
#else
#define NAVDISC_API
#endif

#ifdef __cplusplus
#include "navdisc/DvdInterfaces.h"
typedef navdisc::IDvdInfo2* NavdiscDvdInfo;
typedef navdisc::IDvdControl2* NavdiscDvdControl;
extern "C" {
#else
typedef void* NavdiscDvdInfo;
typedef void* NavdiscDvdControl;
#endif

/* The window message the graph posts to the notify window when events are queued. */
#define WM_DVD_GRAPH_EVENT (WM_USER + 132)

/* Called once per queued event, on the UI thread, from GetDVDEvent. */
typedef void (*NavdiscEventCallback)(int32_t code, int32_t p1, int32_t p2);

NAVDISC_API bool InitialDVDGraph(HWND notifyWindow);                                     /* 1 */
NAVDISC_API void DestroyDVDGraph(void);                                                  /* 2 */
NAVDISC_API bool RenderDVDPath(const char* path);                                        /* 3 */
NAVDISC_API bool PlayDVD(void);                                                          /* 4 */
NAVDISC_API bool PauseDVD(void);                                                         /* 5 */
NAVDISC_API bool StepDVD(bool forward);                                                  /* 6 */
NAVDISC_API bool StopDVD(void);                                                          /* 7 */
NAVDISC_API bool PutDVDPlaybackRatio(double rate);                                       /* 8 */
NAVDISC_API bool PutDVDOwner(HWND window, const LumoraRect* rect, bool keepProportions); /* 9 */
NAVDISC_API bool SetDVDPositions(double seconds);                                        /* 10 */
NAVDISC_API bool SetDVDProgress(int32_t percent);                                        /* 11 */
NAVDISC_API bool HandleMouseEvent(int32_t x, int32_t y, bool click);                     /* 12 */
NAVDISC_API bool GetDVDEvent(NavdiscEventCallback callback);                             /* 13 */
NAVDISC_API bool JumpDVDMenu(int32_t menu);                                              /* 14 */
NAVDISC_API bool JumpDVDChapter(uint32_t chapter);                                       /* 15 */
NAVDISC_API bool JumpDVDTitle(uint32_t title);                                           /* 16 */
NAVDISC_API bool SelectDVDAngle(uint32_t angle);                                         /* 17 */
NAVDISC_API bool DVDBookmark(const char* file, const char* stream, bool save);           /* 18 */
NAVDISC_API bool GetDVDCurrentAttributes(void* buffer108);                               /* 19 */
NAVDISC_API NavdiscDvdInfo GetIDvdInfo2(void);                                           /* 20 */
NAVDISC_API NavdiscDvdControl GetIDvdControl2(void);                                     /* 21 */
NAVDISC_API bool SelectRelativeButton(int32_t direction);                                /* 22 */
NAVDISC_API bool SnapshootDVDToFile(const char* path);                                   /* 23 */
NAVDISC_API bool SetDVDVolumeAndBalance(int32_t volume, int32_t balance);                /* 24 */
NAVDISC_API bool SetDVDVideoBrightness(double value);                                    /* 25 */
NAVDISC_API bool SetDVDVideoContrast(double value);                                      /* 26 */
NAVDISC_API bool SetDVDVideoHue(double value);                                           /* 27 */
NAVDISC_API bool SetDVDVideoSaturation(double value);                                    /* 28 */

#ifdef __cplusplus
}
#endif

#endif

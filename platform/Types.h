/* Basic handle and message types shared by the player, the engines and their C interfaces. */
#ifndef LUMORA_PLATFORM_TYPES_H
#define LUMORA_PLATFORM_TYPES_H

#include <stdint.h>

typedef uintptr_t HWND;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;

#ifndef WM_USER
#define WM_USER 0x0400
#endif

/* Messages the platform delivers to windows: files dropped on a window (the local paths
 * travel with it), a disc put in or taken out (wParam what, lParam the drive's index), and a
 * second start of the player handing its command line over. The engines' messages are in
 * their own headers. */
#define WM_DEVICECHANGE 537
#define WM_DROPFILES 563
#define WM_OPEN_OTHER_FILE (WM_USER + 134)

/* A rectangle given as left, top, width and height. */
typedef struct tagRECT_LTWH {
  int32_t left, top, width, height;
} LumoraRect;

#ifdef __cplusplus
inline bool operator==(const LumoraRect& a, const LumoraRect& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}
inline bool operator!=(const LumoraRect& a, const LumoraRect& b) { return !(a == b); }
#endif

#endif

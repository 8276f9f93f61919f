#include "platform/Desktop.h"

#include <QGuiApplication>

#if LUMORA_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#endif

namespace plat {
namespace {

int g_double = -1;

#if LUMORA_HAVE_XCB
xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_cookie_t cookie = xcb_intern_atom(c, 1, std::strlen(name), name);
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
  if (!reply) return XCB_ATOM_NONE;
  const xcb_atom_t atom = reply->atom;
  std::free(reply);
  return atom;
}

// The window named by a window-valued property, or 0.
xcb_window_t WindowProperty(xcb_connection_t* c, xcb_window_t on, xcb_atom_t property) {
  xcb_get_property_cookie_t cookie = xcb_get_property(c, 0, on, property, XCB_ATOM_WINDOW, 0, 1);
  xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
  if (!reply) return 0;
  xcb_window_t w = 0;
  if (reply->type == XCB_ATOM_WINDOW && reply->format == 32 &&
      xcb_get_property_value_length(reply) >= 4)
    w = *static_cast<xcb_window_t*>(xcb_get_property_value(reply));
  std::free(reply);
  return w;
}
#endif

}  // namespace

void SetWindowManagerDouble(int present) { g_double = present; }

bool HasWindowManager() {
  if (g_double >= 0) return g_double != 0;
#if LUMORA_HAVE_XCB
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* c = x11 ? x11->connection() : nullptr;
  if (!c) return false;
  const xcb_setup_t* setup = xcb_get_setup(c);
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
  if (!it.rem) return false;
  const xcb_atom_t check = Atom(c, "_NET_SUPPORTING_WM_CHECK");
  if (check == XCB_ATOM_NONE) return false;
  // The EWMH handshake: the root names a child window that names itself; a stale property
  // left by a window manager that has gone does not.
  const xcb_window_t child = WindowProperty(c, it.data->root, check);
  return child != 0 && WindowProperty(c, child, check) == child;
#else
  return false;
#endif
}

}  // namespace plat

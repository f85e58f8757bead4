#include "app/windowmanager.h"

#include <QGuiApplication>
#include <QStringList>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <optional>

namespace orvane {

namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, uint16_t(std::strlen(name)), name), nullptr);
    xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

// The window a window's _NET_SUPPORTING_WM_CHECK names, if any.
std::optional<xcb_window_t> checkWindowOf(xcb_connection_t* c, xcb_window_t w, xcb_atom_t check) {
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, check, XCB_ATOM_WINDOW, 0, 1), nullptr);
    std::optional<xcb_window_t> out;
    if (reply && reply->type == XCB_ATOM_WINDOW && xcb_get_property_value_length(reply) == 4)
        out = *static_cast<xcb_window_t*>(xcb_get_property_value(reply));
    std::free(reply);
    return out;
}

// EWMH: the root names a check window, which names itself while the window
// manager that made it lives.
bool x11WindowManager() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c)
        return true; // nothing to ask: assume the usual desktop
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    xcb_atom_t check = atom(c, "_NET_SUPPORTING_WM_CHECK");
    if (!screen || check == XCB_ATOM_NONE)
        return false;
    std::optional<xcb_window_t> named = checkWindowOf(c, screen->root, check);
    return named && checkWindowOf(c, *named, check) == named;
}

} // namespace

bool windowManagerRunning() {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb"))
        return x11WindowManager();
    // Platforms that draw straight to a screen or to memory.
    static const QStringList bare = {"offscreen", "minimal", "eglfs",
                                     "linuxfb",   "vnc",     "vkkhrdisplay"};
    return !bare.contains(platform);
}

} // namespace orvane

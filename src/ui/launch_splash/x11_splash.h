#pragma once
#include <memory>
#include <string>

#include "ui/launch_splash/splash_geometry.h"

struct xcb_connection_t;

namespace launch_splash {

// The splash image in an undecorated splash-type window on a connection of its own. The
// server paints it from the window's background, so nothing here has to answer events
// while the program loads. Destroying this takes the window down.
class X11Splash {
public:
    // Null when there is no display, the image cannot be read or the display's pixel
    // format is not a 32-bit true-colour one.
    static std::unique_ptr<X11Splash> show(const std::string& image_path);
    ~X11Splash();

    X11Splash(const X11Splash&) = delete;
    X11Splash& operator=(const X11Splash&) = delete;

    const Rect& placement() const { return m_placement; }

private:
    X11Splash(xcb_connection_t* connection, uint32_t window, uint32_t pixmap, Rect placement);

    xcb_connection_t* m_connection;
    uint32_t m_window;
    uint32_t m_pixmap;
    Rect m_placement;
};

} // namespace launch_splash

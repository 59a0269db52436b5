#pragma once
#include <string>

typedef struct _GtkWidget GtkWidget;

namespace test_support {

// A system tray of the test's own (the freedesktop system-tray protocol over XEMBED), so
// a program's tray icon can be shown on the test display and clicked. Create it (GTK
// initialised, a display) before the program starts; it takes the first icon that asks.
class TrayHost {
public:
    TrayHost();
    ~TrayHost();
    TrayHost(const TrayHost&) = delete;
    TrayHost& operator=(const TrayHost&) = delete;

    bool owns_tray() const { return m_owned; }
    // Whether an icon is docked (runs no loop itself).
    bool has_icon() const;
    // Double-clicks the docked icon with the first button (xdotool).
    bool double_click_icon();

private:
    GtkWidget* m_window = nullptr;
    GtkWidget* m_socket = nullptr;
    bool m_owned = false;
};

} // namespace test_support

#pragma once
#include <functional>

namespace Gtk {
class Window;
}
class MainScreen;

// The File, View and Help menus popped up under the skin's menu buttons (UWM_MENU_MSG) and
// by the main page (the "menu" command). A chosen item reaches `command` with its id.
class PopupMenus {
public:
    // `window` gives the main window the menus open over (none yet: nothing opens).
    PopupMenus(std::function<Gtk::Window*()> window, MainScreen& screen, std::function<bool()> logged_in,
        std::function<void(unsigned)> command);

    // Type 1 File, 2 View, 3 Help, under its skin button ("menu_file", ...); returns when closed.
    void ShowUnderButton(int type);
    // At a point relative to the "content" element; false when it could not be shown.
    bool ShowInPage(int type, int x, int y);

private:
    std::function<Gtk::Window*()> m_window;
    MainScreen& m_screen;
    std::function<bool()> m_logged_in;
    std::function<void(unsigned)> m_command;
};

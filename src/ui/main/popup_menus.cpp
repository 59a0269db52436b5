#include "ui/main/popup_menus.h"

#include <gtkmm.h>

#include "log/log_dlg.h"
#include "skin/definition.h"
#include "ui/main/main_menus.h"
#include "ui/main/main_screen.h"

PopupMenus::PopupMenus(std::function<Gtk::Window*()> window, MainScreen& screen,
    std::function<bool()> logged_in, std::function<void(unsigned)> command)
    : m_window(std::move(window)), m_screen(screen), m_logged_in(std::move(logged_in)),
      m_command(std::move(command))
{
}

void PopupMenus::ShowUnderButton(int type)
{
    LogDlg::instance().append("OnMenuMsg");
    LogDlg::instance().append("MENU TYPE:" + std::to_string(type));
    static const char* const buttons[] = {"menu_file", "menu_view", "menu_help"};
    if (type < 1 || type > 3)
        return;
    Skin::Element* element = m_screen.FindElement(buttons[type - 1]);
    auto menu = main_menus::build(main_menus::kFile + type - 1, m_logged_in(), m_command);
    Gtk::Window* window = m_window();
    if (!element || !menu || !window)
        return;
    main_menus::run_popup(*menu, *window, element->x, element->y, element->width, element->height);
}

bool PopupMenus::ShowInPage(int type, int x, int y)
{
    Skin::Element* content = m_screen.FindElement("content");
    auto menu = main_menus::build(main_menus::kFile + type - 1, m_logged_in(), m_command);
    Gtk::Window* window = m_window();
    if (!menu || !window)
        return false;
    int left = content ? content->x : 0;
    int top = content ? content->y : 0;
    main_menus::run_popup(*menu, *window, x + left, y + top, 1, 1);
    return true;
}

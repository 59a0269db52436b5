#include "ui/main/main_menus.h"

#include <algorithm>
#include <gtkmm.h>
#include <vector>

#include "ui/main/main_commands.h"

namespace main_menus {
namespace {

struct Item {
    const char* label; // nullptr: a separator
    unsigned id;
    bool needs_login;
};

std::vector<Item> items_of(int id)
{
    switch (id) {
    case kFile:
        return {{"_Settings", ID_SETTINGS_FILE, false}, {"Run wizard", ID_WIZARD_FILE, false},
            {nullptr, 0, false}, {"Logout", ID_LOGOUT_FILE, true}, {"E_xit", ID_EXIT_FILE, false}};
    case kView:
        return {{"My account", ID_MY_ACCOUNT, false}, {"Kalvo access numbers", ID_ACCESS_NUMBERS, false}};
    case kHelp:
        return {{"Kalvo Knowledge Base", ID_KNOWLEDGE_BASE, false}, {nullptr, 0, false},
            {"About Kalvo", ID_ABOUT, false}};
    default:
        return {};
    }
}

} // namespace

std::unique_ptr<Gtk::Menu> build(int id, bool logged_in, const std::function<void(unsigned)>& command)
{
    std::vector<Item> items = items_of(id);
    if (items.empty())
        return nullptr;
    auto menu = std::make_unique<Gtk::Menu>();
    for (const Item& item : items) {
        if (!item.label) {
            menu->append(*Gtk::manage(new Gtk::SeparatorMenuItem()));
            continue;
        }
        auto* entry = Gtk::manage(new Gtk::MenuItem(item.label, true));
        entry->set_sensitive(!item.needs_login || logged_in);
        unsigned command_id = item.id;
        entry->signal_activate().connect([command, command_id] { command(command_id); });
        menu->append(*entry);
    }
    menu->show_all();
    return menu;
}

void run_popup(Gtk::Menu& menu, Gtk::Widget& anchor, int x, int y, int width, int height)
{
    Glib::RefPtr<Gdk::Window> window = anchor.get_window();
    if (!window)
        return;
    auto loop = Glib::MainLoop::create();
    auto closed = menu.signal_deactivate().connect([loop] { loop->quit(); });
    Gdk::Rectangle rectangle(x, y, std::max(1, width), std::max(1, height));
    menu.popup_at_rect(window, rectangle, Gdk::GRAVITY_SOUTH_WEST, Gdk::GRAVITY_NORTH_WEST, nullptr);
    if (menu.get_visible())
        loop->run();
    closed.disconnect();
}

} // namespace main_menus

#include "ui/main/main_menus.h"

#include <algorithm>
#include <gtkmm.h>
#include <vector>

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
        return {{"_Settings", 0x801A, false}, {"Run wizard", 0x8019, false}, {nullptr, 0, false},
            {"Logout", 0x802F, true}, {"E_xit", 0x801E, false}};
    case kView:
        return {{"My account", 0x8021, false}, {"Kalvo access numbers", 0x8022, false}};
    case kHelp:
        return {{"Kalvo Knowledge Base", 0x8025, false}, {nullptr, 0, false}, {"About Kalvo", 0x801F, false}};
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

#pragma once
#include <functional>
#include <memory>

namespace Gtk {
class Menu;
class Widget;
} // namespace Gtk

// The main window's popup menus, built in one place: File, View and Help (225, 226, 227),
// shown under the skin's menu buttons and by pages. (The tray icon has its own menu.)
// A chosen item calls `command` with its command id.
namespace main_menus {

enum Id { kFile = 225, kView = 226, kHelp = 227 };

// The menu, or nothing for an id that names none. `logged_in` enables the Logout items.
std::unique_ptr<Gtk::Menu> build(int id, bool logged_in, const std::function<void(unsigned)>& command);

// Shows a menu below a rectangle of a widget and returns when the menu has closed.
void run_popup(Gtk::Menu& menu, Gtk::Widget& anchor, int x, int y, int width, int height);

} // namespace main_menus

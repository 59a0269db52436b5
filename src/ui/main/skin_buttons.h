#pragma once
#include <functional>

namespace Skin {
class Definition;
}
class CallPresenter;
class MainView;
class PageCommands;

// The main skin's buttons and what each does: call buttons reach the call presenter, the
// menu buttons pop their menus, the main tab strip switches the main page's tab.
struct SkinButtonActions {
    CallPresenter& calls;
    PageCommands& commands;
    MainView& view;
    std::function<void()> close; // the "close" button: the window's close
    std::function<void(unsigned id)> command; // menu and dialog commands
    std::function<void(int type, bool pressed)> menu; // "menu_file" 1, "menu_view" 2, "menu_help" 3
};

void connect_skin_buttons(Skin::Definition& skin, const SkinButtonActions& actions);

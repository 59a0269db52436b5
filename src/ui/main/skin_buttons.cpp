#include "ui/main/skin_buttons.h"

#include <functional>
#include <string>

#include "log/log_dlg.h"
#include "skin/definition.h"
#include "ui/main/call_presenter.h"
#include "ui/main/main_commands.h"
#include "ui/main/main_view.h"
#include "ui/main/page_commands.h"

namespace {

// Most buttons act on release.
std::function<void(const std::string&, bool)> on_release(std::function<void()> action)
{
    return [action = std::move(action)](const std::string&, bool pressed) {
        if (!pressed)
            action();
    };
}

} // namespace

void connect_skin_buttons(Skin::Definition& skin, const SkinButtonActions& actions)
{
    CallPresenter& calls = actions.calls;
    skin.ConnectCommand("dial", on_release([&calls] { calls.Dial(); }));
    skin.ConnectCommand("hangup", on_release([&calls] { calls.Hangup(); }));
    skin.ConnectCommand("answer", [&calls](const std::string&, bool) { calls.Answer(); });
    skin.ConnectCommand("reject", [&calls](const std::string&, bool) { calls.Reject(); });
    skin.ConnectCommand("voicemail", [&calls](const std::string&, bool) { calls.CallVoicemail(); });
    skin.ConnectCommand("volume", [](const std::string&, bool) {});
    skin.ConnectCommand("gain", [](const std::string&, bool) {});
    skin.ConnectCommand("close", on_release(actions.close));
    PageCommands& commands = actions.commands;
    skin.ConnectCommand("account", on_release([&commands] { commands.OpenMenuPage(0); }));
    skin.ConnectCommand("settings", on_release([command = actions.command] { command(ID_SETTINGS_FILE); }));
    int type = 1;
    for (const char* menu : {"menu_file", "menu_view", "menu_help"}) {
        skin.ConnectCommand(
            menu, [menu = actions.menu, type](const std::string&, bool pressed) { menu(type, pressed); });
        ++type;
    }
    MainView& view = actions.view;
    for (const char* tab : {"dial", "contacts", "history", "directory", "pro"}) {
        skin.ConnectCommand("tab_main_" + std::string(tab), on_release([&view, name = std::string(tab)] {
            LogDlg::instance().append(name);
            view.RunScript("content", "showTab('" + name + "')");
        }));
    }
}

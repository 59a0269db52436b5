// Developer viewer: loads a skin, binds each of its windows to a plain skinned dialog,
// creates the controls, shows them and prints every command the controls fire. For
// screenshots and for trying skins before the main window uses them.
//
//   kalvo-skinview [--skins FOLDER] [--name SKIN]
//
// Without --skins the skins folder comes from the "Skins Directory" setting. A skin that
// does not load is reported on standard error, with exit code 1.

#include <cstdlib>
#include <cstring>
#include <gtkmm/main.h>
#include <gtkmm/window.h>
#include <iostream>
#include <memory>
#include <set>
#include <vector>

#include "log/log_dlg.h"
#include "skin/definition.h"
#include "skin/dialog.h"
#include "skin/loader.h"
#include "skin/skin_text.h"
#include "skin/tab_dlg.h"

namespace {

class ViewerDialog : public Gtk::Window, public Skin::Dialog {
public:
    explicit ViewerDialog(const std::string& title)
    {
        set_title(title);
        set_resizable(false);
        signal_delete_event().connect([](GdkEventAny*) {
            Gtk::Main::quit();
            return true;
        });
    }
    Gtk::Window* GetWindow() override { return this; }
};

void print_command(const std::string& command, bool pressed)
{
    std::string line = "command " + command + (pressed ? " pressed" : " released");
    std::cout << line << std::endl;
    LogDlg::instance().append(line);
}

int usage()
{
    std::cerr << "usage: kalvo-skinview [--skins FOLDER] [--name SKIN]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::string skins_folder;
    std::string skin_name = "Kalvo";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--skins") == 0 && i + 1 < argc)
            skins_folder = argv[++i];
        else if (std::strcmp(argv[i], "--name") == 0 && i + 1 < argc)
            skin_name = argv[++i];
        else
            return usage();
    }

    Skin::Loader& loader = Skin::Loader::instance();
    loader.set_message_sink([](const std::string& text, const std::string& caption) {
        std::cerr << caption << ": " << text << std::endl;
    });
    std::unique_ptr<Skin::Definition> skin =
        skins_folder.empty() ? loader.Load(skin_name) : loader.LoadFrom(skins_folder, skin_name);
    if (!skin) {
        std::cerr << "kalvo-skinview: the skin \"" << skin_name << "\" could not be loaded\n";
        return 1;
    }
    ::setenv("GDK_BACKEND", "x11", 1); // window shapes and absolute positions
    int gtk_argc = 1;
    Gtk::Main kit(gtk_argc, argv);

    std::cout << "skin " << skin->name << " by " << skin->author << ": " << skin->description << std::endl;

    std::vector<std::unique_ptr<ViewerDialog>> dialogs;
    std::set<std::string> commands;
    for (const auto& window : skin->windows) {
        for (const auto& element : window->elements) {
            if (!element->command.empty() && commands.insert(element->command).second)
                skin->ConnectCommand(element->command, print_command);
        }
        if (window->mode == "tab" || window->dialog)
            continue;
        dialogs.push_back(std::make_unique<ViewerDialog>(window->name));
        skin->ApplyWindow(*dialogs.back(), window->name);
    }
    skin->CreateControls();

    // Labels show their own names, so every one of them can be seen.
    for (const auto& control : skin->controls) {
        if (auto* text = dynamic_cast<Skin::SkinText*>(control.get()))
            text->SetText(text->element().command);
    }

    int left = 420;
    for (const auto& dialog : dialogs) {
        Skin::Window& window = *dialog->window();
        dialog->move(left, 60);
        dialog->show();
        std::cout << "window " << window.name << " at " << left << "," << 60 << " size " << window.width
                  << "x" << window.height << std::endl;
        left += window.width + 40;
    }
    for (const auto& window : skin->windows) {
        auto* tab = dynamic_cast<Skin::TabDlg*>(window->tab_dialog.get());
        if (!tab || !tab->GetWindow())
            continue;
        tab->Reposition();
        tab->GetWindow()->show();
        tab->Reposition();
        std::cout << "tab " << window->name << " beside " << window->tab->parent->name << " grip "
                  << window->tab->width << " anchor " << window->tab->x << "," << window->tab->y << std::endl;
    }
    Gtk::Main::run();
    return 0;
}

// Opens the setup wizard or the options sheet on a chosen page for checking the look under
// `xvfb-run -a`; with --shot the window is written to a PNG after a second and the tool ends.
//   kalvo-wizardview [wizard|options] [--page N] [--echo verifying|talking|heard|failed]
//                    [--shot file.png]
// The echo stages are driven with the stack's events, without a real registration or call.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gdkmm/pixbuf.h>
#include <glib.h>
#include <string>

#include "base/main_loop.h"
#include "log/log_dlg.h"
#include "settings/app_settings.h"
#include "ui/dialogs/message_box.h"
#include "ui/gui_loop.h"
#include "ui/options/options_sheet.h"
#include "ui/wizard/options_wizard.h"

namespace {

std::string g_shot;
Gtk::Window* g_window = nullptr;

void drive_echo_test(CWizEchoPage& echo, const std::string& stage)
{
    echo.call_button().clicked();
    if (stage == "verifying")
        return;
    if (stage == "failed") {
        wiz_echo_event(24000, 0);
        return;
    }
    wiz_echo_event(21000, 0);
    wiz_echo_event(4000, 1);
    if (stage == "heard")
        echo.yes_button().clicked();
}

int write_shot(void*)
{
    Glib::RefPtr<Gdk::Window> window = g_window->get_window();
    Glib::RefPtr<Gdk::Pixbuf> image =
        Gdk::Pixbuf::create(window, 0, 0, window->get_width(), window->get_height());
    image->save(g_shot, "png");
    std::printf("wrote %s\n", g_shot.c_str());
    main_loop::quit(0);
    return G_SOURCE_REMOVE;
}

} // namespace

int main(int argc, char** argv)
{
    setenv("GDK_BACKEND", "x11", 1);
    if (!gui_loop::init(argc, argv)) {
        std::fprintf(stderr, "kalvo-wizardview: no display\n");
        return 1;
    }
    std::string which = "wizard";
    std::string echo_stage;
    int page = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--page") == 0 && i + 1 < argc)
            page = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--echo") == 0 && i + 1 < argc)
            echo_stage = argv[++i];
        else if (std::strcmp(argv[i], "--shot") == 0 && i + 1 < argc)
            g_shot = argv[++i];
        else
            which = argv[i];
    }
    LogDlg::instance().set_viewer([](const std::string& buffer) {
        std::size_t last = buffer.rfind("\r\n");
        std::printf("log: %s\n", buffer.substr(last == std::string::npos ? 0 : last + 2).c_str());
    });
    set_message_box_handler([](const MessageBoxRequest& box) {
        std::printf("message box \"%s\": %s\n", box.caption.c_str(), box.text.c_str());
        return static_cast<int>(Gtk::RESPONSE_OK);
    });

    COptionsWizard wizard;
    COptionsSheet sheet;
    if (which == "options") {
        AppSettings settings;
        settings.load();
        sheet.load(settings);
        sheet.notebook().set_current_page(page);
        g_window = &sheet;
    } else {
        wizard.initialise();
        wizard.show_page(page);
        if (page == 2 && !echo_stage.empty())
            drive_echo_test(wizard.echo_page(), echo_stage);
        g_window = &wizard;
    }
    g_window->signal_hide().connect([] { main_loop::quit(0); });
    g_window->show();
    std::fflush(stdout);
    if (!g_shot.empty())
        g_timeout_add(1000, write_shot, nullptr);
    return main_loop::run();
}

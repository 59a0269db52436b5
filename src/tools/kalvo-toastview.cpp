// Shows the toast with a sample text (or the text given as the first argument) and the tray
// icon, printing every command the toast or the tray hands on. For checking the look under
// `xvfb-run -a`, e.g. with `import -window root shot.png` while it runs.
//   kalvo-toastview ["<html text>"] [--seconds N] [--logged-in]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <glib.h>
#include <string>

#include "base/main_loop.h"
#include "log/log_dlg.h"
#include "ui/gui_loop.h"
#include "ui/main/tray_icon.h"
#include "ui/toast/taskbar_notifier.h"

int main(int argc, char** argv)
{
    setenv("GDK_BACKEND", "x11", 1);
    if (!gui_loop::init(argc, argv)) {
        std::fprintf(stderr, "kalvo-toastview: no display\n");
        return 1;
    }
    std::string text = "Incoming call from <b>555 0100</b><br>"
                       "<a href='kalvo://answer/?1'><img src='RES:answer.png'></a> "
                       "<a href='kalvo://hangup/?1'><img src='RES:reject.png'></a>";
    unsigned seconds = 0;
    bool logged_in = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc)
            seconds = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        else if (std::strcmp(argv[i], "--logged-in") == 0)
            logged_in = true;
        else
            text = argv[i];
    }
    LogDlg::instance().set_viewer([](const std::string& buffer) {
        std::size_t last = buffer.rfind("\r\n");
        std::printf("log: %s\n", buffer.substr(last == std::string::npos ? 0 : last + 2).c_str());
    });

    TrayIcon tray;
    tray.set_command_handler([](unsigned id) {
        std::printf("tray command 0x%X\n", id);
        if (id == TrayIcon::ID_EXIT)
            main_loop::quit(0);
    });
    tray.set_double_click_handler([] { std::printf("tray double click\n"); });
    tray.add();
    tray.set_logged_in(logged_in);
    std::printf("tray: %s\n", tray.uses_status_notifier() ? "StatusNotifierItem" : "GtkStatusIcon");

    CTaskbarNotifier toast;
    toast.set_command_handler(
        [](const std::string& command) { std::printf("command: %s\n", command.c_str()); });
    toast.show_toast(text);
    std::fflush(stdout);

    if (seconds > 0)
        g_timeout_add_seconds(
            seconds,
            [](gpointer) {
                main_loop::quit(0);
                return G_SOURCE_REMOVE;
            },
            nullptr);
    return main_loop::run();
}

#include "app/entry.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "app/command_line.h"
#include "app/run.h"
#include "app/single_instance.h"
#include "app/url_protocol.h"
#include "base/main_loop.h"
#include "base/ui_thread.h"
#include "log/log_dlg.h"
#include "log/log_file.h"
#include "settings/paths.h"
#include "settings/registry_store.h"
#include "ui/gui_loop.h"

int kalvo_main(int argc, char** argv)
{
    // Answered before anything opens the display, the settings store or the running instance.
    if (auto information = command_line::information_request(argc, argv)) {
        std::fputs(information->c_str(), stdout);
        return 0;
    }

    // Every file the program and its web engine's processes create is the user's alone.
    ::umask(077);

    // Absolute window positions and window shapes need the X11 backend (XWayland on Wayland).
    ::setenv("GDK_BACKEND", "x11", 1);
    registry_store::set_error_sink([](const std::string& line) { LogDlg::instance().append(line); });

    url_protocol::register_handler(paths::executable_path());
    std::string text = command_line::build(argc, argv);
    std::string error;
    switch (single_instance::acquire(error)) {
    case single_instance::Lock::HeldElsewhere:
        single_instance::forward(text);
        return 1;
    case single_instance::Lock::Unusable:
        std::fprintf(stderr, "kalvo: no private folder for the instance lock: %s\n", error.c_str());
        return 2;
    case single_instance::Lock::Taken:
        break;
    }
    // From the moment the lock is ours a termination request ends the program cleanly,
    // and links clicked during the start-up wait until the main window can carry them out.
    main_loop::handle_termination_signals();
    int code = 0;
    {
        single_instance::Server instance_server;
        if (!gui_loop::init(argc, argv)) {
            std::fprintf(stderr, "kalvo: cannot open the display\n");
            return 1;
        }
        code = run(text, instance_server);
    }
    if (int workers = ui_thread::workers_running(); workers > 0) {
        // A download still under way (it ends at its time-out) would use the TLS library
        // while the exit handlers free it: end here, with everything already saved.
        log_file::write_line("APP - " + std::to_string(workers) +
            " network request(s) still under way at exit: ending without the exit handlers");
        std::fflush(nullptr);
        ::_exit(code);
    }
    return code;
}

#include "app/entry.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <unistd.h>

#include "app/instance_server.h"
#include "app/run.h"
#include "app/url_protocol.h"
#include "base/main_loop.h"
#include "base/ui_thread.h"
#include "log/log_dlg.h"
#include "log/log_file.h"
#include "settings/paths.h"
#include "settings/registry_store.h"
#include "ui/gui_loop.h"

int kalvo_main(
    int argc, char** argv, const std::string& text, single_instance::Launch launch, LauncherSplash splash)
{
    // The lock is ours: a termination request from now on ends the program cleanly, and
    // links clicked during the start-up wait until the main window can carry them out.
    main_loop::handle_termination_signals();
    // Absolute window positions and window shapes need the X11 backend (XWayland on Wayland).
    ::setenv("GDK_BACKEND", "x11", 1);
    registry_store::set_error_sink([](const std::string& line) { LogDlg::instance().append(line); });

    url_protocol::register_handler(paths::executable_path());
    int code = 0;
    {
        single_instance::Server instance_server(std::move(launch));
        if (!gui_loop::init(argc, argv)) {
            std::fprintf(stderr, "kalvo: cannot open the display\n");
            return 1;
        }
        code = run(text, instance_server, splash);
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

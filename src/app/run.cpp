#include "app/run.h"

#include <optional>
#include <unistd.h>

#include "app/command_line.h"
#include "app/crash_reporter.h"
#include "app/instance_server.h"
#include "app/startup_steps.h"
#include "base/main_loop.h"
#include "base/ui_thread.h"
#include "log/log_dlg.h"
#include "log/log_file.h"
#include "net/tls_trust.h"
#include "settings/app_settings.h"
#include "settings/deployment.h"
#include "settings/paths.h"
#include "settings/registry.h"
#include "skin/skin_web.h"
#include "ui/dialogs/splash_wnd.h"
#include "ui/info/info_dlg.h"
#include "ui/main/main_dlg.h"

int run(const std::string& command_line, single_instance::Server& instance_server, LauncherSplash& launcher_splash)
{
    LogDlg::instance().clear();

    registry_string install_path_value(settings_path("install_path"));
    if (!install_path_value.exists())
        install_path_value.set(paths::user_data_dir());
    std::string install_path = install_path_value.get();
    paths::make_dirs(install_path);
    // The log, the page cache, the web engine's data and the settings name the user and
    // the account: nobody else may read them (earlier versions left them readable).
    paths::make_private(paths::user_data_dir());
    paths::make_private(paths::config_dir());
    ::unlink(log_file::file_in(install_path).c_str()); // every run starts a new log
    log_file::set_folder(install_path);

    AppSettings settings;
    settings.load();
    bool startup_launch = command_line::is_startup_launch(command_line);
    // The desktop's log-in autostart when the user no longer wants it: end before any window.
    if (startup_launch && !settings.auto_start)
        return 0;
    bool start_hidden = startup_launch && settings.start_minimized;

    crash_reporter::Install("[Kalvo] Application crash report", install_path);
    CMainDlg main_dialog(startup_launch);
    // The splash comes first: the main window's creation starts the SIP core and probes
    // the network, which would keep the screen empty meanwhile.
    std::optional<CSplashWnd::Position> splash_position;
    if (launcher_splash.shown())
        splash_position = CSplashWnd::Position {launcher_splash.x, launcher_splash.y};
    CSplashWnd splash(paths::packaged_splash_image(), !start_hidden, splash_position,
        {.startup =
                [&] {
                    // The web processes load (most of it the dynamic loader's work) while
                    // the SIP core starts and the skin loads, not after.
                    Skin::SkinWeb::StartWebEngine();
                    if (!main_dialog.Create()) {
                        main_loop::quit(0);
                        return;
                    }
                    InfoDlg::instance().Create();
                    // The sign-in's first HTTPS request would otherwise load the system's
                    // certificates itself.
                    ui_thread::run_on_worker(
                        &main_dialog,
                        [ca_file = Deployment::get().ca_file] {
                            prepare_trust_store(ca_file);
                            return true;
                        },
                        [](bool) {});
                    // A link given to the first start is carried out once the skin is up,
                    // before those of later starts that came meanwhile.
                    main_dialog.DispatchWhenReady(command_line);
                    instance_server.deliver_to(&main_dialog);
                    run_startup_steps(splash, main_dialog, start_hidden);
                },
            .closed = [&] { main_dialog.ShowWindow(true); },
            .on_screen = [&] { launcher_splash.take_down(); }});
    splash.Create();

    int exit_code = main_loop::run();
    // Workers still sending to a window get their answer (0) now, so none is joined
    // while it waits for this thread.
    ui_thread::stop();
    instance_server.deliver_to(nullptr);
    return exit_code;
}

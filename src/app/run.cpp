#include "app/run.h"

#include <unistd.h>

#include "log/log_dlg.h"
#include "log/log_file.h"
#include "settings/app_settings.h"
#include "settings/paths.h"
#include "settings/registry.h"
#include "ui/dialogs/splash_wnd.h"
#include "ui/gui_loop.h"
#include "ui/info/info_dlg.h"
#include "ui/main/main_dlg.h"

int run(const std::string& command_line)
{
    LogDlg::instance().clear();
    CMainDlg main_dialog(command_line);

    registry_string install_path_value(settings_path("install_path"));
    if (!install_path_value.exists())
        install_path_value.set(paths::user_data_dir());
    std::string install_path = install_path_value.get();
    paths::make_dirs(install_path);
    ::unlink(log_file::file_in(install_path).c_str()); // every run starts a new log

    std::string splash_path = paths::join(paths::packaged_skins_dir(), "Kalvo/splash.png");

    if (!main_dialog.Create())
        return 0;
    InfoDlg::instance().Create();

    // Lives until the process ends, like the window it owns.
    auto* splash = new CSplashWnd(&main_dialog, command_line, splash_path);
    splash->Create();

    return gui_loop::run();
}

#include "settings/autostart.h"

#include <cerrno>
#include <cstdio>

#include "log/log_dlg.h"
#include "settings/desktop_entry_file.h"
#include "settings/paths.h"

namespace autostart {

std::string entry_path()
{
    return paths::join(paths::xdg_config_home(), "autostart/kalvo.desktop");
}

std::string desktop_entry(const std::string& executable)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Kalvo\n"
           "Comment=Starts Kalvo when you log in\n"
           "Exec=" +
        desktop_entry_file::exec_argument(executable) +
        " /startup\n"
        "Icon=kalvo\n"
        "Terminal=false\n";
}

bool apply(bool enabled, const std::string& executable)
{
    const std::string path = entry_path();
    bool ok = false;
    if (enabled)
        ok = paths::make_dirs(paths::join(paths::xdg_config_home(), "autostart")) &&
            desktop_entry_file::write_if_different(path, desktop_entry(executable));
    else
        ok = std::remove(path.c_str()) == 0 || errno == ENOENT;
    if (!ok)
        LogDlg::instance().append(
            std::string("Could not ") + (enabled ? "write " : "remove ") + "the log-in start entry " + path);
    return ok;
}

} // namespace autostart

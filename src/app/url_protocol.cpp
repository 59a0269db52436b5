#include "app/url_protocol.h"

#include <sstream>
#include <vector>

#include "log/log_dlg.h"
#include "settings/desktop_entry_file.h"
#include "settings/paths.h"

namespace url_protocol {

std::string desktop_entry(const std::string& executable)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Kalvo\n"
           "Comment=URL:Kalvo Protocol\n"
           "Exec=" +
        desktop_entry_file::exec_argument(executable) +
        " /url %u\n"
        "NoDisplay=true\n"
        "Terminal=false\n"
        "MimeType=" +
        kMimeType + ";\n";
}

std::string with_default_handler(const std::string& current)
{
    const std::string entry = std::string(kMimeType) + "=" + kDesktopFileName;
    std::istringstream in(current);
    std::vector<std::string> lines;
    std::string line;
    bool in_defaults = false;
    bool written = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.front() == '[') {
            if (in_defaults && !written) {
                lines.push_back(entry);
                written = true;
            }
            in_defaults = line == "[Default Applications]";
        } else if (in_defaults && line.starts_with(std::string(kMimeType) + "=")) {
            if (!written)
                lines.push_back(entry);
            written = true;
            continue;
        }
        lines.push_back(line);
    }
    if (in_defaults && !written) {
        lines.push_back(entry);
        written = true;
    }
    if (!written) {
        if (!lines.empty() && !lines.back().empty())
            lines.push_back("");
        lines.push_back("[Default Applications]");
        lines.push_back(entry);
    }
    std::string text;
    for (const auto& l : lines)
        text += l + "\n";
    return text;
}

void register_handler(const std::string& executable)
{
    std::string applications = paths::join(paths::xdg_data_home(), "applications");
    paths::make_dirs(applications);
    paths::make_dirs(paths::xdg_config_home());
    std::string mimeapps = paths::join(paths::xdg_config_home(), "mimeapps.list");
    bool ok = desktop_entry_file::write_if_different(
                  paths::join(applications, kDesktopFileName), desktop_entry(executable)) &&
        desktop_entry_file::write_if_different(
            mimeapps, with_default_handler(desktop_entry_file::read(mimeapps)));
    if (!ok)
        LogDlg::instance().append("Could not register the kalvo: link handler");
}

} // namespace url_protocol

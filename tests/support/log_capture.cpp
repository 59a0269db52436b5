#include "support/log_capture.h"

#include <filesystem>
#include <sstream>

#include "log/log_dlg.h"
#include "log/log_file.h"
#include "settings/app_settings.h"
#include "settings/deployment.h"
#include "settings/registry.h"

namespace test_support {

LogCapture::LogCapture() : m_install_path(m_user.home() + "/install")
{
    std::filesystem::create_directories(m_install_path);
    registry_string(settings_path("install_path")).set(m_install_path);
    log_file::set_folder(m_install_path);
    // The deployment file is read (and its absence logged) once per process: do it now.
    Deployment::get();
    LogDlg::instance().clear();
}

std::vector<std::string> LogCapture::file_lines() const
{
    // "YYYY-MM-DD HH:MM:SS.mmmm " comes before every message.
    constexpr std::size_t kTimestampLength = 25;
    std::vector<std::string> lines;
    std::istringstream text(read_file(log_file::file_in(m_install_path)));
    for (std::string line; std::getline(text, line);)
        lines.push_back(line.size() >= kTimestampLength ? line.substr(kTimestampLength) : line);
    return lines;
}

std::vector<std::string> LogCapture::window_messages() const
{
    // Each message is preceded by "\r\n".
    std::vector<std::string> messages;
    std::string buffer = LogDlg::instance().text();
    for (std::size_t start = 0; start < buffer.size();) {
        std::size_t begin = buffer.compare(start, 2, "\r\n") == 0 ? start + 2 : start;
        std::size_t end = buffer.find("\r\n", begin);
        if (end == std::string::npos)
            end = buffer.size();
        messages.push_back(buffer.substr(begin, end - begin));
        start = end;
    }
    return messages;
}

} // namespace test_support

#include "log/log_dlg.h"

namespace {
constexpr size_t kLogBufferLimit = 10000;
constexpr size_t kLogBufferKept = 5000;
} // namespace

void append_to_log_buffer(std::string& buffer, const std::string& message)
{
    buffer += "\r\n";
    buffer += message;
    if (buffer.size() > kLogBufferLimit)
        buffer.erase(0, buffer.size() - kLogBufferKept);
}

LogDlg& LogDlg::instance()
{
    static LogDlg* dialog = new LogDlg(); // never destroyed: workers may log during exit
    return *dialog;
}

void LogDlg::append(const std::string& message)
{
    std::lock_guard guard(m_mutex);
    append_to_log_buffer(m_buffer, message);
    if (m_viewer)
        m_viewer(m_buffer);
}

void LogDlg::clear()
{
    std::lock_guard guard(m_mutex);
    m_buffer.clear();
    if (m_viewer)
        m_viewer(m_buffer);
}

std::string LogDlg::text() const
{
    std::lock_guard guard(m_mutex);
    return m_buffer;
}

void LogDlg::set_viewer(Viewer viewer)
{
    std::lock_guard guard(m_mutex);
    m_viewer = std::move(viewer);
}

void LogDlg::show()
{
    std::function<void()> handler;
    {
        std::lock_guard guard(m_mutex);
        handler = m_show_handler;
    }
    if (handler)
        handler();
}

void LogDlg::set_show_handler(std::function<void()> handler)
{
    std::lock_guard guard(m_mutex);
    m_show_handler = std::move(handler);
}

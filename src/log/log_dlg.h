#pragma once
#include <functional>
#include <mutex>
#include <string>

// Appends one message to a log buffer: "\r\n" before each message, and when the buffer
// then holds more than 10000 characters only its last 5000 are kept.
void append_to_log_buffer(std::string& buffer, const std::string& message);

// The log window's process-wide buffer of recent diagnostic messages. Appends come from
// every thread and are serialised; the window that shows the buffer (when it exists)
// registers a viewer, which is called after each append with the whole buffer, on the
// appending thread (the viewer hops to the interface thread itself).
class LogDlg {
public:
    static LogDlg& instance();

    void append(const std::string& message);
    void clear();
    std::string text() const;

    using Viewer = std::function<void(const std::string& buffer)>;
    void set_viewer(Viewer viewer);

    // Shows the log window through the registered show handler (the main window's
    // command 0x800F); does nothing before the window exists.
    void show();
    void set_show_handler(std::function<void()> handler);

private:
    LogDlg() = default;

    mutable std::mutex m_mutex;
    std::string m_buffer;
    Viewer m_viewer;
    std::function<void()> m_show_handler;
};

// Replaces a password in a diagnostic text: what the log shows instead of it.
inline constexpr const char* kMaskedPassword = "********";

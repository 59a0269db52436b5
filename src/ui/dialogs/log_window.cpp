#include "ui/dialogs/log_window.h"

#include "base/ui_thread.h"
#include "log/log_dlg.h"

LogWindow& LogWindow::instance()
{
    static LogWindow* window = new LogWindow(); // process-wide, never destroyed
    return *window;
}

LogWindow::LogWindow()
{
    set_title("Log");
    set_default_size(466, 332);
    m_view.set_editable(false);
    m_view.set_monospace(true);
    m_view.set_wrap_mode(Gtk::WRAP_WORD_CHAR);
    m_scroller.add(m_view);
    m_scroller.set_policy(Gtk::POLICY_AUTOMATIC, Gtk::POLICY_AUTOMATIC);
    add(m_scroller);
    m_scroller.show_all();
    LogDlg::instance().set_viewer([this](const std::string&) {
        if (!m_refresh_pending.exchange(true))
            ui_thread::invoke([this] { refresh(); });
    });
    LogDlg::instance().set_show_handler([this] { ui_thread::invoke([this] { present(); }); });
    refresh();
}

bool LogWindow::on_delete_event(GdkEventAny*)
{
    hide();
    return true;
}

void LogWindow::refresh()
{
    m_refresh_pending = false;
    std::string text = LogDlg::instance().text();
    auto buffer = m_view.get_buffer();
    // The buffer is 8-bit text from many sources; show what is valid UTF-8.
    gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
    buffer->set_text(valid);
    g_free(valid);
    auto end = buffer->end();
    m_view.scroll_to(end);
}

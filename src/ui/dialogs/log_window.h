#pragma once
#include <atomic>
#include <gtkmm.h>

// The log window: a resizable window with one text view showing the log buffer.
// Created hidden at start; closing hides it. The buffer's appends arrive from any
// thread; the view is refreshed on the interface thread, once per burst of appends.
class LogWindow : public Gtk::Window {
public:
    static LogWindow& instance();

private:
    LogWindow();
    bool on_delete_event(GdkEventAny* event) override;
    void refresh();

    Gtk::ScrolledWindow m_scroller;
    Gtk::TextView m_view;
    std::atomic<bool> m_refresh_pending{false};
};

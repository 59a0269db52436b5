#pragma once
#include <functional>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/window.h>
#include <string>

#include "base/timer_table.h"
#include "ui/toast/toast_slide.h"
#include "ui/web/html_label.h"

// The toast: a borderless pop-up, the size of its skin image, that slides out of the
// work area's taskbar edge of the primary monitor, shows a piece of HTML for ten seconds
// and slides back. Created hidden once by the main window and reused.
//
// Usage (interface thread only):
//   CTaskbarNotifier toast;
//   toast.set_command_handler([](const std::string& command) { /* to the dispatcher */ });
//   toast.show_toast("You have <b>1</b> new message");   // the "toast" command
//   toast.hide_toast();                                   // the "hide_toast" command
//
// A link clicked in the toast hides it and reaches the command handler as a command text
// (command_text::wrap of the link, unchanged); a link too long for the command buffer is
// logged and dropped. A click anywhere else on the toast hides it.
class CTaskbarNotifier : private toast_slide::Slide::Host {
public:
    using CommandHandler = std::function<void(const std::string& command_text)>;

    CTaskbarNotifier();
    ~CTaskbarNotifier() override;
    CTaskbarNotifier(const CTaskbarNotifier&) = delete;
    CTaskbarNotifier& operator=(const CTaskbarNotifier&) = delete;

    void set_command_handler(CommandHandler handler) { m_command_handler = std::move(handler); }

    // Shows the page's text (wrapped centred in white, logged); a toast already on screen
    // shows the new text and its ten seconds start again.
    void show_toast(const std::string& text);
    // Back to idle at once: timers stopped, window hidden.
    void hide_toast();

    toast_slide::State state() const { return m_slide.state(); }
    Gtk::Window& window() { return m_window; }
    HtmlLabel& label() { return m_label; }

private:
    class Window : public Gtk::Window {
    public:
        explicit Window(CTaskbarNotifier& owner);

    protected:
        bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;
        bool on_button_release_event(GdkEventButton* event) override;
        void on_realize() override;

    private:
        CTaskbarNotifier& m_owner;
    };

    bool load_skin();
    void on_link(const std::string& link);

    void set_timer(unsigned id, unsigned milliseconds) override { m_timers.set_timer(id, milliseconds); }
    void kill_timer(unsigned id) override { m_timers.kill_timer(id); }
    void place(int x, int y) override;
    void show_on_top() override;
    void repaint() override { m_window.queue_draw(); }
    void hide() override;

    Window m_window;
    Gtk::ScrolledWindow m_clip; // keeps the toast at its skin size whatever the text
    HtmlLabel m_label;
    Glib::RefPtr<Gdk::Pixbuf> m_skin;
    toast_slide::Slide m_slide{*this};
    TimerTable m_timers;
    CommandHandler m_command_handler;
};

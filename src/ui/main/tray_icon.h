#pragma once
#include <functional>
#include <gtkmm/menu.h>
#include <gtkmm/menuitem.h>
#include <memory>
#include <string>

typedef struct _AppIndicator AppIndicator;
typedef struct _GtkStatusIcon GtkStatusIcon;

// The tray icon that keeps Kalvo reachable while its window is hidden: a
// StatusNotifierItem (libayatana-appindicator3) when the session bus has a watcher for
// one, a GtkStatusIcon otherwise. Tip "Kalvo Internet Phone"; the logged-out icon (209)
// until set_logged_in(true) shows the logged-in one (207).
//
// Its menu ("Show Kalvo", "Settings", "Run wizard", "Logout", a separator, "Exit"; the
// first item, the default, in bold) opens on a right click; the chosen item reaches the
// command handler with its command id, from the interface queue once the menu's own
// signal handling is over (the handler may destroy the icon). A double click with the first button reaches the
// double-click handler and then the command handler with the default item, ID_SHOW (a
// StatusNotifierItem host shows the menu itself and does not report double clicks;
// "Show Kalvo" is there instead). While offline (signed in, the service not answering)
// the icon is the logged-out one and the tip says so.
//
// Usage (interface thread only):
//   TrayIcon tray;
//   tray.set_command_handler([&](unsigned id) { main.OnCommand(id); });
//   tray.set_double_click_handler([&] { /* show the window and the tab */ });
//   tray.add();
//   tray.enable_logout(false);
class TrayIcon {
public:
    enum Command : unsigned {
        ID_SETTINGS = 0x8008,
        ID_SHOW = 0x8009,
        ID_EXIT = 0x800A,
        ID_WIZARD = 0x8011,
        ID_LOGOUT = 0x802E,
    };
    static constexpr const char* kTip = "Kalvo Internet Phone";
    static constexpr const char* kOfflineTip = "Kalvo Internet Phone - offline";

    enum class Backend { Automatic, StatusIcon };

    explicit TrayIcon(Backend backend = Backend::Automatic);
    ~TrayIcon(); // removes the icon when it was added
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    void set_command_handler(std::function<void(unsigned id)> handler)
    {
        m_command_handler = std::move(handler);
    }
    void set_double_click_handler(std::function<void()> handler)
    {
        m_double_click_handler = std::move(handler);
    }

    // Shows the icon (logged-out form). False, logged, when no icon could be made.
    bool add();
    bool is_added() const { return m_indicator || m_status_icon; }

    // Logged-in icon 207, or the logged-out icon 209.
    void set_logged_in(bool logged_in);
    bool logged_in() const { return m_logged_in; }
    void set_offline(bool offline);
    bool offline() const { return m_offline; }

    void enable_logout(bool enabled);

    bool uses_status_notifier() const { return m_indicator != nullptr; }
    // The fallback icon; null with a StatusNotifierItem or before add().
    GtkStatusIcon* status_icon() const { return m_status_icon; }
    Gtk::Menu& menu() { return m_menu; }

private:
    Gtk::MenuItem* add_item(const std::string& label, unsigned id, bool mnemonic);
    bool add_status_notifier();
    bool add_status_icon();
    void apply_icon();
    static void on_popup_menu(GtkStatusIcon*, unsigned button, unsigned time, void* self);
    static int on_button_press(GtkStatusIcon*, void* event, void* self);

    Backend m_backend;
    Gtk::Menu m_menu;
    Gtk::MenuItem* m_logout_item = nullptr;
    AppIndicator* m_indicator = nullptr;
    GtkStatusIcon* m_status_icon = nullptr;
    std::string m_icon_folder; // where a StatusNotifierItem host finds the icon files
    bool m_logged_in = false;
    bool m_offline = false;
    std::function<void(unsigned)> m_command_handler;
    std::function<void()> m_double_click_handler;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true); // queued commands check it
};

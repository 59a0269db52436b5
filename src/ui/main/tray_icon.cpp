#include "ui/main/tray_icon.h"

#include <gio/gio.h>
#include <gtk/gtk.h>
#include <gtkmm/label.h>
#include <gtkmm/separatormenuitem.h>
#include <libayatana-appindicator/app-indicator.h>

#include "base/ui_thread.h"
#include "log/log_dlg.h"
#include "settings/paths.h"

namespace {

constexpr const char* kLoggedOutIcon = "209";
constexpr const char* kLoggedInIcon = "207";

std::string icon_resource(const char* number)
{
    return std::string("/kalvo/icons/") + number + ".png";
}

std::string icon_name(const char* number)
{
    return std::string("kalvo-tray-") + number;
}

// True when some program on the session bus shows StatusNotifierItems.
bool session_has_watcher()
{
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!bus)
        return false;
    GVariant* reply = g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
        "org.freedesktop.DBus", "NameHasOwner", g_variant_new("(s)", "org.kde.StatusNotifierWatcher"),
        G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE, 500, nullptr, nullptr);
    gboolean has_owner = FALSE;
    if (reply) {
        g_variant_get(reply, "(b)", &has_owner);
        g_variant_unref(reply);
    }
    g_object_unref(bus);
    return has_owner;
}

// A StatusNotifierItem host loads icons by name from a folder: copy the embedded images
// there once.
bool write_icon_file(const std::string& folder, const char* number)
{
    GBytes* bytes =
        g_resources_lookup_data(icon_resource(number).c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
    if (!bytes)
        return false;
    gsize size = 0;
    const void* data = g_bytes_get_data(bytes, &size);
    std::string path = paths::join(folder, icon_name(number) + ".png");
    gboolean written =
        g_file_set_contents(path.c_str(), static_cast<const char*>(data), static_cast<gssize>(size), nullptr);
    g_bytes_unref(bytes);
    return written;
}

} // namespace

TrayIcon::TrayIcon(Backend backend) : m_backend(backend)
{
    Gtk::MenuItem* show = add_item("Show Kalvo", ID_SHOW, false);
    // The default item is shown in bold.
    if (auto* label = dynamic_cast<Gtk::Label*>(show->get_child()))
        label->set_markup("<b>Show Kalvo</b>");
    add_item("_Settings", ID_SETTINGS, true);
    add_item("Run wizard", ID_WIZARD, false);
    m_logout_item = add_item("Logout", ID_LOGOUT, false);
    m_menu.append(*Gtk::manage(new Gtk::SeparatorMenuItem()));
    add_item("E_xit", ID_EXIT, true);
    m_menu.show_all();
}

TrayIcon::~TrayIcon()
{
    if (m_indicator)
        g_object_unref(m_indicator);
    if (m_status_icon) {
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        gtk_status_icon_set_visible(m_status_icon, FALSE);
        G_GNUC_END_IGNORE_DEPRECATIONS
        g_object_unref(m_status_icon);
    }
}

Gtk::MenuItem* TrayIcon::add_item(const std::string& label, unsigned id, bool mnemonic)
{
    auto* item = Gtk::manage(new Gtk::MenuItem(label, mnemonic));
    // The command runs from the interface queue, after the menu's signal handler has
    // returned: it may remove this very icon and its menu (Exit).
    item->signal_activate().connect([this, id] {
        ui_thread::invoke([this, id, alive = std::weak_ptr<bool>(m_alive)] {
            if (alive.expired() || !m_command_handler)
                return;
            auto handler = m_command_handler; // a copy: the handler may destroy this icon
            handler(id);
        });
    });
    m_menu.append(*item);
    return item;
}

bool TrayIcon::add()
{
    if (is_added())
        return true;
    bool added = false;
    if (m_backend == Backend::Automatic && session_has_watcher())
        added = add_status_notifier();
    if (!added)
        added = add_status_icon();
    if (!added)
        LogDlg::instance().append("Tray icon could not be added");
    return added;
}

bool TrayIcon::add_status_notifier()
{
    m_icon_folder = paths::join(paths::runtime_dir(), "icons");
    if (!paths::make_dirs(m_icon_folder) || !write_icon_file(m_icon_folder, kLoggedOutIcon) ||
        !write_icon_file(m_icon_folder, kLoggedInIcon))
        return false;
    m_indicator =
        app_indicator_new("kalvo", icon_name(kLoggedOutIcon).c_str(), APP_INDICATOR_CATEGORY_COMMUNICATIONS);
    app_indicator_set_icon_theme_path(m_indicator, m_icon_folder.c_str());
    app_indicator_set_title(m_indicator, kTip);
    app_indicator_set_menu(m_indicator, m_menu.gobj());
    app_indicator_set_status(m_indicator, APP_INDICATOR_STATUS_ACTIVE);
    apply_icon();
    return true;
}

bool TrayIcon::add_status_icon()
{
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    m_status_icon = gtk_status_icon_new();
    gtk_status_icon_set_tooltip_text(m_status_icon, kTip);
    gtk_status_icon_set_title(m_status_icon, kTip);
    G_GNUC_END_IGNORE_DEPRECATIONS
    g_signal_connect(m_status_icon, "popup-menu", G_CALLBACK(&TrayIcon::on_popup_menu), this);
    g_signal_connect(m_status_icon, "button-press-event", G_CALLBACK(&TrayIcon::on_button_press), this);
    apply_icon();
    return true;
}

void TrayIcon::set_logged_in(bool logged_in)
{
    m_logged_in = logged_in;
    apply_icon();
}

void TrayIcon::set_offline(bool offline)
{
    m_offline = offline;
    apply_icon();
}

void TrayIcon::apply_icon()
{
    const char* number = m_logged_in && !m_offline ? kLoggedInIcon : kLoggedOutIcon;
    const char* tip = m_offline ? kOfflineTip : kTip;
    if (m_indicator) {
        app_indicator_set_icon_full(m_indicator, icon_name(number).c_str(), tip);
        app_indicator_set_title(m_indicator, tip);
    }
    if (m_status_icon) {
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        gtk_status_icon_set_tooltip_text(m_status_icon, tip);
        G_GNUC_END_IGNORE_DEPRECATIONS
        GdkPixbuf* pixbuf = gdk_pixbuf_new_from_resource(icon_resource(number).c_str(), nullptr);
        if (!pixbuf) {
            LogDlg::instance().append(std::string("Tray icon image missing: ") + number);
            return;
        }
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        gtk_status_icon_set_from_pixbuf(m_status_icon, pixbuf);
        G_GNUC_END_IGNORE_DEPRECATIONS
        g_object_unref(pixbuf);
    }
}

void TrayIcon::enable_logout(bool enabled)
{
    m_logout_item->set_sensitive(enabled);
}

void TrayIcon::on_popup_menu(GtkStatusIcon*, unsigned, unsigned, void* self)
{
    auto* tray = static_cast<TrayIcon*>(self);
    // Works while a modal dialog is open: the menu is its own pop-up grab.
    tray->m_menu.popup_at_pointer(nullptr);
}

int TrayIcon::on_button_press(GtkStatusIcon*, void* event, void* self)
{
    auto* button = static_cast<GdkEventButton*>(event);
    auto* tray = static_cast<TrayIcon*>(self);
    if (button->type == GDK_2BUTTON_PRESS && button->button == 1) {
        if (tray->m_double_click_handler)
            tray->m_double_click_handler();
        if (tray->m_command_handler)
            tray->m_command_handler(ID_SHOW);
        return TRUE;
    }
    return FALSE;
}

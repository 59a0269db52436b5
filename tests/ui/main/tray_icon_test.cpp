#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/label.h>
#include <gtkmm/separatormenuitem.h>

#include "support/display.h"
#include "ui/main/tray_icon.h"

namespace {

class Tray : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test_support::display_available())
            GTEST_SKIP() << "no display";
        tray = std::make_unique<TrayIcon>(TrayIcon::Backend::StatusIcon);
        tray->set_command_handler([this](unsigned id) { commands.push_back(id); });
        tray->set_double_click_handler([this] { ++double_clicks; });
        ASSERT_TRUE(tray->add());
    }

    GdkPixbuf* shown_icon()
    {
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        return gtk_status_icon_get_pixbuf(tray->status_icon());
        G_GNUC_END_IGNORE_DEPRECATIONS
    }

    static bool same_image(GdkPixbuf* shown, const char* resource)
    {
        GdkPixbuf* expected = gdk_pixbuf_new_from_resource(resource, nullptr);
        bool same = expected && shown && gdk_pixbuf_get_width(expected) == gdk_pixbuf_get_width(shown) &&
            gdk_pixbuf_get_byte_length(expected) == gdk_pixbuf_get_byte_length(shown) &&
            memcmp(gdk_pixbuf_read_pixels(expected), gdk_pixbuf_read_pixels(shown),
                gdk_pixbuf_get_byte_length(shown)) == 0;
        if (expected)
            g_object_unref(expected);
        return same;
    }

    std::unique_ptr<TrayIcon> tray;
    std::vector<unsigned> commands;
    int double_clicks = 0;
};

TEST_F(Tray, MenuItemsInOrderReportTheirCommandIds)
{
    std::vector<std::string> texts;
    for (Gtk::Widget* child : tray->menu().get_children()) {
        if (dynamic_cast<Gtk::SeparatorMenuItem*>(child)) {
            texts.push_back("-");
            continue;
        }
        auto* item = dynamic_cast<Gtk::MenuItem*>(child);
        ASSERT_NE(item, nullptr);
        texts.push_back(dynamic_cast<Gtk::Label*>(item->get_child())->get_text());
        item->activate();
    }
    EXPECT_EQ(
        texts, (std::vector<std::string>{"Show Kalvo", "Settings", "Run wizard", "Logout", "-", "Exit"}));
    ASSERT_TRUE(test_support::run_loop_until([this] { return commands.size() == 5; }));
    EXPECT_EQ(commands, (std::vector<unsigned>{0x8009, 0x8008, 0x8011, 0x802E, 0x800A}));
    auto* first = dynamic_cast<Gtk::MenuItem*>(tray->menu().get_children().front());
    EXPECT_EQ(dynamic_cast<Gtk::Label*>(first->get_child())->get_label(), "<b>Show Kalvo</b>");
}

TEST_F(Tray, CommandRunsAfterTheMenuSignalSoItMayRemoveTheIcon)
{
    // Exit removes the tray icon: that must not happen inside the menu's own handler.
    tray->set_command_handler([this](unsigned id) {
        commands.push_back(id);
        tray.reset();
    });
    auto* exit = dynamic_cast<Gtk::MenuItem*>(tray->menu().get_children().back());
    exit->activate();
    EXPECT_TRUE(commands.empty());
    ASSERT_TRUE(test_support::run_loop_until([this] { return !commands.empty(); }));
    EXPECT_EQ(commands, (std::vector<unsigned>{TrayIcon::ID_EXIT}));
    EXPECT_EQ(tray, nullptr);
}

TEST_F(Tray, LogoutCanBeDisabled)
{
    auto* logout = dynamic_cast<Gtk::MenuItem*>(tray->menu().get_children().at(3));
    tray->enable_logout(false);
    EXPECT_FALSE(logout->get_sensitive());
    tray->enable_logout(true);
    EXPECT_TRUE(logout->get_sensitive());
}

TEST_F(Tray, IconAndTipFollowTheLoginState)
{
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gchar* tip = gtk_status_icon_get_tooltip_text(tray->status_icon());
    G_GNUC_END_IGNORE_DEPRECATIONS
    EXPECT_STREQ(tip, "Kalvo Internet Phone");
    g_free(tip);
    EXPECT_TRUE(same_image(shown_icon(), "/kalvo/icons/209.png"));
    tray->set_logged_in(true);
    EXPECT_TRUE(same_image(shown_icon(), "/kalvo/icons/207.png"));
    tray->set_logged_in(false);
    EXPECT_TRUE(same_image(shown_icon(), "/kalvo/icons/209.png"));
}

TEST_F(Tray, OfflineShowsTheLoggedOutIconAndSaysSoInTheTip)
{
    tray->set_logged_in(true);
    tray->set_offline(true);
    EXPECT_TRUE(same_image(shown_icon(), "/kalvo/icons/209.png"));
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gchar* tip = gtk_status_icon_get_tooltip_text(tray->status_icon());
    G_GNUC_END_IGNORE_DEPRECATIONS
    EXPECT_STREQ(tip, "Kalvo Internet Phone - offline");
    g_free(tip);
    tray->set_offline(false);
    EXPECT_TRUE(same_image(shown_icon(), "/kalvo/icons/207.png"));
}

TEST_F(Tray, DoubleClickIsReportedThenShowSingleClickIsNot)
{
    GdkEvent* event = gdk_event_new(GDK_BUTTON_PRESS);
    event->button.button = 1;
    gboolean handled = FALSE;
    g_signal_emit_by_name(tray->status_icon(), "button-press-event", event, &handled);
    EXPECT_EQ(double_clicks, 0);
    event->type = GDK_2BUTTON_PRESS;
    g_signal_emit_by_name(tray->status_icon(), "button-press-event", event, &handled);
    EXPECT_EQ(double_clicks, 1);
    event->button.button = 3;
    g_signal_emit_by_name(tray->status_icon(), "button-press-event", event, &handled);
    EXPECT_EQ(double_clicks, 1);
    gdk_event_free(event);
    EXPECT_EQ(commands, std::vector<unsigned>{TrayIcon::ID_SHOW})
        << "the default item follows the double click";
}

} // namespace

#include <gio/gio.h>
#include <optional>
#include <unistd.h>

#include "settings/paths.h"
#include "support/child_process.h"
#include "support/test_paths.h"

namespace {

bool name_has_owner(GDBusConnection* bus, const char* name)
{
    GVariant* reply = g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
        "org.freedesktop.DBus", "NameHasOwner", g_variant_new("(s)", name), G_VARIANT_TYPE("(b)"),
        G_DBUS_CALL_FLAGS_NONE, 1000, nullptr, nullptr);
    gboolean owned = FALSE;
    if (reply) {
        g_variant_get(reply, "(b)", &owned);
        g_variant_unref(reply);
    }
    return owned;
}

TEST(TrayBackend, StatusNotifierItemOnlyWhenTheSessionHasAWatcher)
{
    if (!test_support::display_available())
        GTEST_SKIP() << "no display";
    test_support::IsolatedUser user;
    // Use the session bus the process already has, or a private one.
    std::optional<test_support::ChildProcess> daemon;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!bus) {
        std::string socket = user.home() + "/bus";
        daemon.emplace(std::vector<std::string>{
            "dbus-daemon", "--session", "--nofork", "--address=unix:path=" + socket});
        ASSERT_TRUE(test_support::wait_for_file(socket, 5000));
        setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + socket).c_str(), 1);
        bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    }
    ASSERT_NE(bus, nullptr);
    // The private bus goes away with the test; the process must not end with it.
    g_dbus_connection_set_exit_on_close(bus, FALSE);
    const char* watcher = "org.kde.StatusNotifierWatcher";

    if (!name_has_owner(bus, watcher)) {
        TrayIcon tray;
        ASSERT_TRUE(tray.add());
        EXPECT_FALSE(tray.uses_status_notifier());
        EXPECT_NE(tray.status_icon(), nullptr);
    }

    guint owner = g_bus_own_name_on_connection(
        bus, watcher, G_BUS_NAME_OWNER_FLAGS_NONE, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(test_support::run_loop_until([&] { return name_has_owner(bus, watcher); }));
    {
        TrayIcon tray;
        ASSERT_TRUE(tray.add());
        EXPECT_TRUE(tray.uses_status_notifier());
        EXPECT_EQ(tray.status_icon(), nullptr);
        std::string icons = paths::join(paths::runtime_dir(), "icons");
        EXPECT_EQ(access((icons + "/kalvo-tray-209.png").c_str(), R_OK), 0);
        EXPECT_EQ(access((icons + "/kalvo-tray-207.png").c_str(), R_OK), 0);
        tray.set_logged_in(true); // switches the named icon without a fallback icon
        EXPECT_TRUE(tray.logged_in());
    }
    g_bus_unown_name(owner);
    g_object_unref(bus);
    if (daemon)
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
}

} // namespace

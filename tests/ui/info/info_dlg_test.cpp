#include <cstdlib>
#include <gtest/gtest.h>
#include <gtkmm/window.h>
#include <webkit2/webkit2.h>

#include "log/log_dlg.h"
#include "skin/definition.h"
#include "skin/loader.h"
#include "skin/skin_web.h"
#include "support/display.h"
#include "support/test_paths.h"
#include "ui/info/info_dlg.h"

namespace {

using test_support::run_loop_until;

void press_key(Gtk::Window& window, unsigned keyval)
{
    GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
    event->key.window = GDK_WINDOW(g_object_ref(window.get_window()->gobj()));
    event->key.keyval = keyval;
    event->key.send_event = TRUE;
    gtk_widget_event(GTK_WIDGET(window.gobj()), event);
    gdk_event_free(event);
}

// The information window with the shipped skin: bound, shown, closed every way, shown again.
TEST(InfoDlg, ShippedSkinBindsShowsAndOnlyHides)
{
    if (!std::getenv("DISPLAY") || !test_support::display_available())
        GTEST_SKIP() << "no display";
    test_support::IsolatedUser user;
    test_support::TempDir pages;
    test_support::write_file(pages.file("notice.html"), "<html><body>Notice</body></html>");
    std::vector<std::string> messages;
    Skin::Loader::instance().set_message_sink(
        [&](const std::string& text, const std::string&) { messages.push_back(text); });
    std::unique_ptr<Skin::Definition> skin =
        Skin::Loader::instance().LoadFrom(std::string(KALVO_SOURCE_DIR) + "/skins", "Kalvo");
    Skin::Loader::instance().set_message_sink(nullptr);
    ASSERT_TRUE(skin);
    EXPECT_TRUE(messages.empty());

    LogDlg::instance().clear();
    InfoDlg& dialog = InfoDlg::instance();
    EXPECT_EQ(&dialog, &InfoDlg::instance());
    dialog.Create();
    skin->ApplyWindow(dialog, "info");
    skin->CreateControls();
    EXPECT_NE(LogDlg::instance().text().find("skin_applied in InfoDlg"), std::string::npos);
    Gtk::Window& window = *dialog.GetWindow();
    EXPECT_EQ(window.get_title(), "Important information");
    EXPECT_FALSE(dialog.IsVisible());

    Skin::Element* info = skin->FindElement("info");
    ASSERT_TRUE(info);
    auto* web = dynamic_cast<Skin::SkinWeb*>(info->control);
    ASSERT_TRUE(web);
    EXPECT_EQ(web->OwnerWindow(), &window);

    dialog.Show();
    ASSERT_TRUE(run_loop_until([&] { return window.get_mapped(); }));
    int width = 0, height = 0;
    window.get_size(width, height);
    EXPECT_EQ(width, skin->FindWindow("info")->width);
    EXPECT_EQ(height, skin->FindWindow("info")->height);

    // The close button acts when it is released.
    skin->FireCommand("info_close", true);
    EXPECT_TRUE(dialog.IsVisible());
    skin->FireCommand("info_close", false);
    EXPECT_FALSE(dialog.IsVisible());

    // Escape, Enter and the window manager's close hide it too; F5 leaves it open.
    for (unsigned key : {GDK_KEY_Escape, GDK_KEY_Return}) {
        dialog.Show();
        ASSERT_TRUE(run_loop_until([&] { return window.get_mapped(); }));
        press_key(window, GDK_KEY_F5);
        EXPECT_TRUE(dialog.IsVisible());
        press_key(window, key);
        EXPECT_FALSE(dialog.IsVisible()) << key;
    }
    dialog.Show();
    ASSERT_TRUE(run_loop_until([&] { return window.get_mapped(); }));
    window.close();
    EXPECT_TRUE(run_loop_until([&] { return !dialog.IsVisible(); }));
    EXPECT_EQ(dialog.GetWindow(), &window); // hidden, not destroyed

    // The "info" command's address opens in the info element; showing again brings it back.
    const std::string address = "file://" + pages.file("notice.html");
    dialog.Navigate(address);
    dialog.Show();
    EXPECT_TRUE(run_loop_until([&] {
        const char* uri = webkit_web_view_get_uri(web->view());
        return uri && address == uri;
    }));
    EXPECT_TRUE(dialog.IsVisible());

    // After a login: a newer information version shows it once.
    dialog.Hide();
    dialog.OnLoginInfoVersion("2", false);
    EXPECT_TRUE(dialog.IsVisible());
    dialog.Hide();
    dialog.OnLoginInfoVersion("2", false);
    EXPECT_FALSE(dialog.IsVisible());

    dialog.Destroy();
    EXPECT_EQ(dialog.GetWindow(), nullptr);
    dialog.Show(); // after Exit: nothing to show, no crash
    dialog.Navigate(address);
}

} // namespace

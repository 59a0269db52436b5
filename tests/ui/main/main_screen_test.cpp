// The main window's screen over a real top-level window.
#include <gtest/gtest.h>
#include <gtkmm/window.h>

#include "skin/dialog.h"
#include "support/display.h"
#include "ui/main/main_screen.h"

namespace {

class WindowDialog : public Skin::Dialog {
public:
    Gtk::Window* GetWindow() override { return &window; }
    Gtk::Window window;
};

TEST(MainScreen, ItsPagesAreOnTheScreenOnlyWhileItsWindowIsShown)
{
    if (!test_support::display_available())
        GTEST_SKIP() << "no display";
    WindowDialog dialog;
    MainScreen screen(dialog);
    EXPECT_FALSE(screen.OnScreen()) << "never shown";

    dialog.window.set_default_size(200, 300);
    dialog.window.show();
    ASSERT_TRUE(test_support::wait_for([&] { return screen.OnScreen(); })) << "shown";

    dialog.window.hide();
    EXPECT_FALSE(screen.OnScreen()) << "hidden, as in the tray";
    dialog.window.show();
    EXPECT_TRUE(test_support::wait_for([&] { return screen.OnScreen(); })) << "shown again";
}

} // namespace

#include <chrono>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <gtkmm/fixed.h>
#include <gtkmm/main.h>
#include <gtkmm/window.h>
#include <webkit2/webkit2.h>

#include "settings/deployment.h"
#include "skin/definition.h"
#include "skin/dialog.h"
#include "skin/skin_button.h"
#include "skin/skin_input.h"
#include "skin/skin_scroll_bar.h"
#include "skin/skin_tab_button.h"
#include "skin/skin_text.h"
#include "skin/skin_web.h"
#include "skin/tab_dlg.h"
#include "support/display.h"
#include "support/skin_files.h"
#include "support/test_paths.h"

namespace {

using test_support::display_ready;
using test_support::IsolatedUser;
using test_support::TestSkin;
using test_support::wait_for;

void flush_events()
{
    while (g_main_context_iteration(nullptr, FALSE)) { }
}

class TestDialog : public Gtk::Window, public Skin::Dialog {
public:
    Gtk::Window* GetWindow() override { return this; }
    void SkinApplied() override { ++applied; }
    int applied = 0;
};

void send_button(Gtk::Widget& widget, GdkEventType type, double x = 1, double y = 1)
{
    GdkEvent* event = gdk_event_new(type);
    event->button.window = GDK_WINDOW(g_object_ref(widget.get_window()->gobj()));
    event->button.button = 1;
    event->button.x = x;
    event->button.y = y;
    event->button.time = GDK_CURRENT_TIME;
    gdk_event_set_device(
        event, gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default())));
    gtk_widget_event(widget.gobj(), event);
    gdk_event_free(event);
}

constexpr std::uint32_t kOutside = 0xFFFF00FF;
constexpr std::uint32_t kFrame = 0xFF203040;

struct SkinControls : ::testing::Test {
    IsolatedUser user;
    TestSkin skin;
    std::unique_ptr<Skin::Definition> loaded;
    std::unique_ptr<TestDialog> main_dialog_holder;
    TestDialog* main_dialog_ptr = nullptr;
    std::vector<std::pair<std::string, bool>> fired;

    void SetUp() override
    {
        if (!display_ready())
            GTEST_SKIP() << "no display";
        main_dialog_holder = std::make_unique<TestDialog>();
        main_dialog_ptr = main_dialog_holder.get();
        // The main window is a 60 x 40 frame whose top-left 10 x 10 corner is outside.
        test_support::write_png(skin.folder() + "/main.png", 60, 40,
            [](int x, int y) { return x < 10 && y < 10 ? kOutside : kFrame; });
        skin.write_image("up.png", 20, 10, 0xFF00AA00);
        skin.write_image("down.png", 20, 10, 0xFF005500);
        skin.write_image("left.png", 4, 16);
        test_support::write_png(skin.folder() + "/open.png", 50, 30, [](int x, int y) {
            return x < 8 ? (y < 5 ? kOutside : kFrame) : x < 20 ? kOutside : kFrame;
        });
        skin.write_image("close.png", 50, 30);
        skin.write_description(std::string(TestSkin::kInformation) + R"(
            <window name="main" mode="shaped" background="main.png">
              <button type="dial" x="12" y="5"><image><base img="up.png"/><down img="down.png"/></image></button>
              <text type="label_time" x="1" y="20" width="30" height="12"/>
              <input type="address" x="1" y="30" width="40" height="10"/>
              <scrollbar type="volume" x="50" y="0" width="10" height="40"/>
              <tabs type="tabs_main" sticky="1" left="left.png" x="0" y="0"><i type="tab_a" label="A"/><i type="tab_b" label="B"/></tabs>
              <unknownkind type="label_other" x="2" y="2" width="5" height="5"/>
            </window>
            <window name="side" mode="tab" width="50" height="30">
              <tab parent="main" x="0" y="5" width="8" direction="left"><open img="open.png"/><close img="close.png"/></tab>
              <button type="in_tab" x="30" y="2"><image><base img="up.png"/></image></button>
            </window>
            <window name="unbound"><button type="nobody"><image><base img="up.png"/></image></button></window>)");
        loaded = skin.load();
        ASSERT_TRUE(loaded);
        for (const char* command : {"dial", "volume", "tab_a", "tab_b"})
            loaded->ConnectCommand(command,
                [this](const std::string& name, bool pressed) { fired.emplace_back(name, pressed); });
        loaded->ApplyWindow(dialog(), "main");
    }

    void TearDown() override
    {
        loaded.reset(); // the controls go before their dialog
        main_dialog_holder.reset();
    }

    TestDialog& dialog() { return *main_dialog_ptr; }
    Skin::TabDlg& tab_dialog()
    {
        return dynamic_cast<Skin::TabDlg&>(*loaded->FindWindow("side")->tab_dialog);
    }
};

TEST_F(SkinControls, CreateControlsMakesOneControlPerElementOfEveryBoundWindow)
{
    int built = 0;
    loaded->built.connect([&] {
        ++built;
        EXPECT_EQ(dialog().applied, 1); // raised after every window is done
    });
    loaded->CreateControls();
    EXPECT_EQ(built, 1);

    // Main: 6 elements (two tab items) plus the tab window's button; the unbound window has none.
    ASSERT_EQ(loaded->controls.size(), 8u);
    auto& c = loaded->controls;
    EXPECT_TRUE(dynamic_cast<Skin::SkinButton*>(c[0].get()));
    EXPECT_TRUE(dynamic_cast<Skin::SkinText*>(c[1].get()));
    EXPECT_TRUE(dynamic_cast<Skin::SkinInput*>(c[2].get()));
    EXPECT_TRUE(dynamic_cast<Skin::SkinScrollBar*>(c[3].get()));
    EXPECT_TRUE(dynamic_cast<Skin::SkinTabButton*>(c[4].get()));
    EXPECT_TRUE(dynamic_cast<Skin::SkinTabButton*>(c[5].get()));
    EXPECT_TRUE(dynamic_cast<Skin::SkinText*>(c[6].get()));
    EXPECT_EQ(c[7]->element().command, "in_tab");
    EXPECT_EQ(loaded->FindElement("nobody"), nullptr);
    EXPECT_EQ(loaded->FindElement("dial")->control, c[0].get());

    // Placed at the element's rectangle on the dialog's layer, sized from the base sprite.
    auto& button = dynamic_cast<Skin::SkinButton&>(*c[0]);
    int x = -1;
    int y = -1;
    gtk_container_child_get(
        GTK_CONTAINER(dialog().ControlLayer().gobj()), GTK_WIDGET(button.gobj()), "x", &x, "y", &y, nullptr);
    EXPECT_EQ(x, 12);
    EXPECT_EQ(y, 5);
    int width = 0;
    int height = 0;
    button.get_size_request(width, height);
    EXPECT_EQ(width, 20);
    EXPECT_EQ(height, 10);
    EXPECT_TRUE(button.get_visible());
}

TEST_F(SkinControls, ShapedWindowTakesTheRegionOfItsBackground)
{
    loaded->CreateControls();
    cairo_region_t* region = loaded->FindWindow("main")->region;
    ASSERT_TRUE(region);
    EXPECT_FALSE(cairo_region_contains_point(region, 0, 0));
    EXPECT_FALSE(cairo_region_contains_point(region, 9, 9));
    EXPECT_TRUE(cairo_region_contains_point(region, 10, 0));
    EXPECT_TRUE(cairo_region_contains_point(region, 59, 39));
    EXPECT_FALSE(dialog().get_decorated());
    // The tab window's outline is that of its open sprite.
    cairo_region_t* side = loaded->FindWindow("side")->region;
    ASSERT_TRUE(side);
    EXPECT_FALSE(cairo_region_contains_point(side, 0, 0));
    EXPECT_TRUE(cairo_region_contains_point(side, 0, 5));
    EXPECT_FALSE(cairo_region_contains_point(side, 8, 5));
    EXPECT_FALSE(cairo_region_contains_point(side, 19, 29));
    EXPECT_TRUE(cairo_region_contains_point(side, 20, 29));
    EXPECT_EQ(loaded->FindWindow("unbound")->region, nullptr);
}

TEST_F(SkinControls, ButtonsFireOnPressAndRelease)
{
    loaded->CreateControls();
    dialog().show_all();
    flush_events();
    auto& button = dynamic_cast<Skin::SkinButton&>(*loaded->FindElement("dial")->control);
    ASSERT_TRUE(button.get_realized());
    send_button(button, GDK_BUTTON_PRESS);
    send_button(button, GDK_BUTTON_RELEASE);
    ASSERT_EQ(fired.size(), 2u);
    EXPECT_EQ(fired[0], std::make_pair(std::string("dial"), true));
    EXPECT_EQ(fired[1], std::make_pair(std::string("dial"), false));
}

TEST_F(SkinControls, StickyTabItemKeepsTheSelectionAfterItsClick)
{
    loaded->CreateControls();
    dialog().show_all();
    flush_events();
    Skin::Element* a = loaded->FindElement("tab_a");
    Skin::Element* b = loaded->FindElement("tab_b");
    EXPECT_TRUE(a->tab.selected);
    auto& item = dynamic_cast<Skin::SkinTabButton&>(*b->control);
    send_button(item, GDK_BUTTON_PRESS);
    send_button(item, GDK_BUTTON_RELEASE);
    EXPECT_FALSE(a->tab.selected);
    EXPECT_TRUE(b->tab.selected);
    ASSERT_EQ(fired.size(), 2u);
    EXPECT_EQ(fired[0], std::make_pair(std::string("tab_b"), true));
}

TEST_F(SkinControls, SliderRunsFromMinus100AndFiresOnChange)
{
    loaded->CreateControls();
    auto& slider = dynamic_cast<Skin::SkinScrollBar&>(*loaded->FindElement("volume")->control);
    EXPECT_EQ(slider.get_adjustment()->get_lower(), -100);
    EXPECT_EQ(slider.get_adjustment()->get_upper(), -1);
    EXPECT_EQ(slider.GetPos(), -100);
    EXPECT_EQ(gtk_orientable_get_orientation(GTK_ORIENTABLE(slider.gobj())), GTK_ORIENTATION_VERTICAL);
    slider.SetPos(-50); // the program moving it says nothing
    EXPECT_TRUE(fired.empty());
    EXPECT_EQ(slider.GetPos(), -50);
    slider.set_value(-20); // a user's move
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0], std::make_pair(std::string("volume"), false));
}

TEST_F(SkinControls, TabWindowSlidesOutAndBack)
{
    dialog().move(300, 200);
    loaded->CreateControls();
    dialog().show_all();
    Skin::TabDlg& tab = tab_dialog();
    ASSERT_TRUE(tab.GetWindow());
    tab.GetWindow()->show();
    flush_events();
    auto& inside = dynamic_cast<Skin::SkinButton&>(*loaded->FindElement("in_tab")->control);
    EXPECT_FALSE(inside.get_visible()); // hidden while closed
    EXPECT_EQ(tab.slide().state(), Skin::TabState::Closed);
    // Closed, only the 8-pixel grip lies left of the anchor (parent's client 0, 5).
    auto origin = [&] {
        int x = 0;
        int y = 0;
        tab.GetWindow()->get_window()->get_origin(x, y);
        return std::make_pair(x, y);
    };
    tab.Reposition();
    EXPECT_TRUE(wait_for([&] { return origin() == std::make_pair(300 - 8, 205); })) << origin().first;

    // A click below row 482 is not on the grip.
    send_button(*tab.GetWindow(), GDK_BUTTON_RELEASE, 4, 483);
    EXPECT_EQ(tab.slide().state(), Skin::TabState::Closed);
    send_button(*tab.GetWindow(), GDK_BUTTON_RELEASE, 4, 20);
    EXPECT_EQ(tab.slide().state(), Skin::TabState::Opening);
    EXPECT_TRUE(inside.get_visible());
    ASSERT_TRUE(wait_for([&] { return tab.slide().state() == Skin::TabState::Open; }));
    Skin::TabInfo& info = *loaded->FindWindow("side")->tab;
    EXPECT_EQ(info.current, &info.close);
    EXPECT_EQ(tab.slide().offset_x(), 8 - 50);
    // Open, the whole window lies left of the anchor.
    EXPECT_TRUE(wait_for([&] { return origin() == std::make_pair(300 - 50, 205); })) << origin().first;

    send_button(*tab.GetWindow(), GDK_BUTTON_RELEASE, 8, 482); // the grip's last row closes it
    EXPECT_EQ(tab.slide().state(), Skin::TabState::Closing);
    ASSERT_TRUE(wait_for([&] { return tab.slide().state() == Skin::TabState::Closed; }));
    EXPECT_EQ(info.current, &info.open);
    EXPECT_FALSE(inside.get_visible());
}

TEST_F(SkinControls, HidingTheParentHidesTheTabWindowAtItsNextPaint)
{
    loaded->CreateControls();
    dialog().show_all();
    Skin::TabDlg& tab = tab_dialog();
    tab.GetWindow()->show();
    flush_events();
    ASSERT_TRUE(tab.GetWindow()->get_visible());
    dialog().hide();
    tab.GetWindow()->queue_draw();
    EXPECT_TRUE(wait_for([&] { return !tab.GetWindow()->get_visible(); }));
}

TEST(SkinWebElement, OpensTheStartAddressOfItsType)
{
    if (!display_ready())
        GTEST_SKIP() << "no display";
    IsolatedUser user;
    Skin::Definition skin;
    skin.folder = "/tmp/Skins/Kalvo";
    Skin::Element tab;
    tab.command = "tab";
    Skin::Element content;
    content.command = "content";
    Skin::SkinWeb tab_view(skin, tab);
    Skin::SkinWeb content_view(skin, content);
    ASSERT_TRUE(wait_for([&] {
        return webkit_web_view_get_uri(tab_view.view()) && webkit_web_view_get_uri(content_view.view());
    }));
    EXPECT_EQ(std::string(webkit_web_view_get_uri(tab_view.view())),
        Deployment::get().secure_http + "/live/tab.php");
    std::string login = webkit_web_view_get_uri(content_view.view());
    EXPECT_EQ(login.rfind("file:///tmp/Skins/Kalvo/login.html?u=&p=&s=true&a=true", 0), 0u) << login;
    // Both views share one web context.
    EXPECT_EQ(webkit_web_view_get_context(tab_view.view()), webkit_web_view_get_context(content_view.view()));
}

} // namespace

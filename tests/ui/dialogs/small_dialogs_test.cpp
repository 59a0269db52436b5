#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>

#include "net/download_progress.h"
#include "settings/app_settings.h"
#include "support/display.h"
#include "support/main_loop.h"
#include "support/test_paths.h"
#include "ui/dialogs/about_dlg.h"
#include "ui/dialogs/about_text.h"
#include "ui/dialogs/minimize_dlg.h"
#include "ui/dialogs/progress_dlg.h"
#include "ui/dialogs/wizard_dlg.h"

namespace {

using test_support::when_modal;
using test_support::widget_texts;
using ::testing::Contains;
using ::testing::ElementsAre;

class SmallDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test_support::display_available())
            GTEST_SKIP() << "no display";
    }

    test_support::IsolatedUser m_user;
};

TEST(AboutText, VersionWithCommaBlanksIsShownWithDots)
{
    EXPECT_EQ(about_version_text("4, 0, 0, 22"), "Version 4.0.0.22");
    EXPECT_EQ(about_version_text("4.0.0.22"), "Version 4.0.0.22");
    EXPECT_EQ(about_version_text("4,0, 1"), "Version 4,0.1");
}

TEST_F(SmallDialogsTest, ProgressWindowTakesUpdatesFromTheDownloadThread)
{
    ProgressDlg& progress = ProgressDlg::instance();
    EXPECT_EQ(&progress, &ProgressDlg::instance());
    EXPECT_EQ(progress.dialog().get_title(), "Kalvo updater");
    EXPECT_EQ(progress.status(), "Connecting...");

    progress.Show(nullptr);
    EXPECT_TRUE(progress.dialog().get_visible());

    std::thread download([callback = progress.progress_callback()] { callback(42, "1.00MB of 2.38MB"); });
    download.join();
    // Nothing touches the widgets until the interface thread runs.
    EXPECT_EQ(progress.status(), "Connecting...");
    ASSERT_TRUE(test_support::run_main_loop_until([&] { return progress.status() == "1.00MB of 2.38MB"; }));
    EXPECT_EQ(progress.text(), kDownloadWaitText);
    EXPECT_DOUBLE_EQ(progress.fraction(), 0.42);

    // An unknown size leaves the bar where it was.
    progress.progress_callback()(std::nullopt, "2.00MB");
    EXPECT_EQ(progress.status(), "2.00MB");
    EXPECT_DOUBLE_EQ(progress.fraction(), 0.42);

    // Closing only hides the one window.
    progress.dialog().close(); // delivers the delete event from the main loop
    EXPECT_TRUE(test_support::run_main_loop_until([&] { return !progress.dialog().get_visible(); }));
    progress.SetPercent(100);
    EXPECT_DOUBLE_EQ(ProgressDlg::instance().fraction(), 1.0);
}

TEST_F(SmallDialogsTest, UsageTipTextsAndBoxesEditTheSettings)
{
    AppSettings settings;
    settings.auto_login = true;
    MinimizeDlg tip(settings);
    EXPECT_EQ(tip.dialog().get_title(), "Usage tip");
    EXPECT_THAT(widget_texts(tip.dialog()),
        ::testing::IsSupersetOf({
            "Closing Kalvo will minimize it to the system tray so that you can continue to receive calls and "
            "notifications.",
            "To bring the application back into view, right-click the tray icon and select the \"Show "
            "Kalvo\" option.",
            "To close Kalvo, right-click the tray icon and select \"Exit\".",
            "Don't show this message again",
            "Start Kalvo minimized",
        }));

    bool start_minimized_shown = false;
    when_modal([&] {
        start_minimized_shown = tip.start_minimized_check().get_visible();
        tip.dont_show_check().set_active(true);
        tip.start_minimized_check().set_active(true);
        tip.dialog().response(Gtk::RESPONSE_OK);
    });
    EXPECT_EQ(tip.DoModal(nullptr), 0);
    EXPECT_TRUE(start_minimized_shown);
    EXPECT_TRUE(settings.show_minimize);
    EXPECT_TRUE(settings.start_minimized);

    // Once "Don't show this message again" is ticked the tip returns at once.
    bool shown_again = false;
    tip.dialog().signal_show().connect([&] { shown_again = true; });
    EXPECT_EQ(tip.DoModal(nullptr), 0);
    EXPECT_FALSE(shown_again);
}

TEST_F(SmallDialogsTest, UsageTipWithoutAutoLoginHasNoStartMinimizedBoxAndEscapeCopiesNothing)
{
    AppSettings settings;
    settings.start_minimized = true;
    MinimizeDlg tip(settings);
    bool start_minimized_shown = true;
    when_modal([&] {
        start_minimized_shown = tip.start_minimized_check().get_visible();
        tip.dont_show_check().set_active(true);
        tip.start_minimized_check().set_active(false);
        tip.dialog().response(Gtk::RESPONSE_DELETE_EVENT);
    });
    EXPECT_EQ(tip.DoModal(nullptr), 1);
    EXPECT_FALSE(start_minimized_shown);
    EXPECT_FALSE(settings.show_minimize);
    EXPECT_TRUE(settings.start_minimized);
}

TEST_F(SmallDialogsTest, FirstRunPromptStoresDontAskAgainWithEitherAnswer)
{
    AppSettings settings;
    settings.load();
    WizardDlg prompt(settings);
    EXPECT_EQ(prompt.dialog().get_title(), "Would you like to run the setup wizard?");
    EXPECT_THAT(widget_texts(prompt.dialog()),
        Contains("Kalvo has not yet been configured on this computer.  Would you like to run the interactive "
                 "setup "
                 "wizard now?"));
    EXPECT_THAT(widget_texts(prompt.dialog()), Contains("Don't ask me again"));

    when_modal([&] {
        prompt.dont_ask_check().set_active(true);
        prompt.dialog().response(7); // No
    });
    EXPECT_EQ(prompt.DoModal(nullptr), WizardDlg::kNo);
    AppSettings stored;
    stored.load();
    EXPECT_TRUE(stored.shown_wizard) << "No with the box ticked is remembered";

    when_modal([&] {
        EXPECT_TRUE(prompt.dont_ask_check().get_active());
        prompt.dont_ask_check().set_active(false);
        prompt.dialog().response(6); // Yes
    });
    EXPECT_EQ(prompt.DoModal(nullptr), WizardDlg::kYes);
    stored.load();
    EXPECT_FALSE(stored.shown_wizard);
}

// Pixels of one paint of the About window.
std::vector<unsigned char> paint_about(CAboutDlg& about, int width, int height, int times)
{
    auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, width, height);
    auto cr = Cairo::Context::create(surface);
    for (int i = 0; i < times; ++i)
        about.Paint(cr);
    surface->flush();
    const unsigned char* data = surface->get_data();
    return {data, data + surface->get_stride() * height};
}

TEST_F(SmallDialogsTest, AboutWindowDrawsTheVersionOnceInsideItsBox)
{
    const int width = 320, height = 120;
    test_support::TempDir folder;
    auto image = Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, true, 8, width, height);
    image->fill(0x20304080); // half transparent: painting over itself would darken it
    image->save(folder.file("about.png"), "png");

    CAboutDlg about(folder.file("about.png"), "4, 0, 0, 22");
    ASSERT_TRUE(about.has_image());
    int requested_width = 0, requested_height = 0;
    about.get_size_request(requested_width, requested_height);
    EXPECT_EQ(requested_width, width);
    EXPECT_EQ(requested_height, height);

    auto once = paint_about(about, width, height, 1);
    EXPECT_EQ(paint_about(about, width, height, 5), once) << "repainting shows the line once";

    const int stride = Cairo::ImageSurface::format_stride_for_width(Cairo::FORMAT_ARGB32, width);
    auto pixel = [&](int x, int y) {
        const unsigned char* p = &once[y * stride + x * 4];
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    };
    const uint32_t background = pixel(0, 0);
    int white = 0, outside = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bool in_box = x >= 193 && y >= 60 && y < 80;
            if (!in_box && pixel(x, y) != background)
                ++outside;
            if (in_box && (pixel(x, y) & 0xff) > 0xa0)
                ++white;
        }
    }
    EXPECT_GT(white, 20) << "the version line is drawn in white";
    EXPECT_EQ(outside, 0) << "nothing is drawn outside the box";
}

} // namespace

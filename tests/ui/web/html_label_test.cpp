#include <algorithm>
#include <gtest/gtest.h>
#include <gtkmm/grid.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/window.h>

#include "support/display.h"
#include "support/log_capture.h"
#include "ui/toast/toast_text.h"
#include "ui/web/html_label.h"

namespace {

using namespace std::chrono_literals;
using test_support::descendants_of_type;

class HtmlLabelOnScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test_support::display_available())
            GTEST_SKIP() << "no display";
        window = std::make_unique<Gtk::Window>(Gtk::WINDOW_POPUP);
        label = std::make_unique<HtmlLabel>();
        window->add(*label);
        window->set_default_size(250, 120);
        window->move(100, 100);
        label->set_link_handler([this](const std::string& link) { links.push_back(link); });
    }

    Gtk::Label* label_showing(const std::string& text)
    {
        for (Gtk::Label* widget : descendants_of_type<Gtk::Label>(*label)) {
            if (widget->get_text() == text)
                return widget;
        }
        return nullptr;
    }

    test_support::LogCapture log;
    std::unique_ptr<Gtk::Window> window;
    std::unique_ptr<HtmlLabel> label;
    std::vector<std::string> links;
};

TEST_F(HtmlLabelOnScreen, TablesBecomeGridsAndAClickedLinkIsReportedNotFollowed)
{
    label->set_text(toast_text::page(toast_text::wrap("Call from <b>Anna</b>")));
    EXPECT_EQ(descendants_of_type<Gtk::Grid>(*label).size(), 2u);
    Gtk::Label* close = label_showing("Close");
    ASSERT_NE(close, nullptr);
    EXPECT_NE(close->get_label().find("#0099ff"), std::string::npos);
    ASSERT_NE(label_showing("Call from Anna"), nullptr);

    window->show_all();
    ASSERT_TRUE(test_support::run_loop_until(
        [&] { return close->get_mapped() && close->get_allocated_width() > 1; }));
    test_support::run_loop_for(200ms);
    ASSERT_TRUE(test_support::click_on(*close));
    ASSERT_TRUE(test_support::run_loop_until([&] { return !links.empty(); }));
    EXPECT_EQ(links, std::vector<std::string>{"kalvo://hide_toast?true"});

    // The label itself answers the link as handled, so GTK never opens it.
    gboolean handled = FALSE;
    g_signal_emit_by_name(close->gobj(), "activate-link", "kalvo://call/?a=1&b=2", &handled);
    EXPECT_TRUE(handled);
    ASSERT_TRUE(test_support::run_loop_until([&] { return links.size() == 2; }));
    EXPECT_EQ(links[1], "kalvo://call/?a=1&b=2");
}

TEST_F(HtmlLabelOnScreen, SetTextReplacesEverything)
{
    label->set_text("<b>one</b><br>two");
    EXPECT_NE(label_showing("one"), nullptr);
    label->set_text("three");
    EXPECT_EQ(label->text(), "three");
    auto labels = descendants_of_type<Gtk::Label>(*label);
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0]->get_text(), "three");
}

TEST_F(HtmlLabelOnScreen, ResImagesLoadWhateverTheCaseAndMissingOnesAreLogged)
{
    label->set_text("<a href='kalvo://answer/?1'><img src='RES:ANSWER.PNG'></a><img src='RES:nothing.png'>");
    auto images = descendants_of_type<Gtk::Image>(*label);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0]->get_pixbuf()->get_width(), 32);
    auto messages = log.window_messages();
    EXPECT_NE(
        std::find(messages.begin(), messages.end(), "HtmlLabel: no image RES:nothing.png"), messages.end());

    window->show_all();
    ASSERT_TRUE(test_support::run_loop_until([&] { return images[0]->get_mapped(); }));
    test_support::run_loop_for(200ms);
    ASSERT_TRUE(test_support::click_on(*images[0]));
    ASSERT_TRUE(test_support::run_loop_until([&] { return !links.empty(); }));
    EXPECT_EQ(links, std::vector<std::string>{"kalvo://answer/?1"});
}

TEST_F(HtmlLabelOnScreen, BrokenMarkupStillShows)
{
    label->set_text("<table><tr><td><font color='#zzz' size='huge'>text<td>&bogus; <a>x</a></table></b></i>");
    EXPECT_NE(label_showing("text"), nullptr);
    window->show_all();
    test_support::run_loop_for(50ms);
}

} // namespace

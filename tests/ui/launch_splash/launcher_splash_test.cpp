// The splash the launcher puts up and the program's own, seen from the X server: the
// real launcher, the real program, one display.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <poll.h>
#include <xcb/xcb.h>

#include "settings/app_settings.h"
#include "settings/registry.h"
#include "support/child_process.h"
#include "support/display.h"
#include "support/test_paths.h"

namespace {

using test_support::ChildProcess;

// What the X server reports about the top-level windows: each window's last known
// geometry, and the order in which windows were mapped, unmapped and destroyed.
class WindowWatch {
public:
    struct Window {
        int x = 0, y = 0, width = 0, height = 0;
    };
    struct Event {
        enum Kind { Mapped, Unmapped, Destroyed } kind;
        xcb_window_t window;
    };

    WindowWatch()
    {
        m_connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_connection))
            return;
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        m_screen = {0, 0, screen->width_in_pixels, screen->height_in_pixels};
        const uint32_t mask[] = {XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY};
        xcb_change_window_attributes(m_connection, screen->root, XCB_CW_EVENT_MASK, mask);
        // The selection is in place before anything is started.
        round_trip();
    }
    ~WindowWatch() { xcb_disconnect(m_connection); }

    bool ready() const { return !xcb_connection_has_error(m_connection); }
    const Window& screen() const { return m_screen; }
    const std::vector<Event>& events() const { return m_events; }
    const Window& window(xcb_window_t id) { return m_windows[id]; }

    // Reads events until the condition holds or the time is up; the condition's value.
    bool read_until(const std::function<bool()>& condition, int timeout_ms)
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
        while (!condition()) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return false;
            pollfd input {xcb_get_file_descriptor(m_connection), POLLIN, 0};
            ::poll(&input, 1, static_cast<int>(left.count()));
            record_queued();
        }
        return true;
    }

    // Every event the server sent until now.
    void read_all()
    {
        round_trip();
        record_queued();
    }

    // The windows of this size mapped so far, in the order they were mapped.
    std::vector<xcb_window_t> mapped_of_size(int width, int height)
    {
        std::vector<xcb_window_t> found;
        for (const Event& event : m_events) {
            const Window& shape = m_windows[event.window];
            if (event.kind == Event::Mapped && shape.width == width && shape.height == height)
                found.push_back(event.window);
        }
        return found;
    }
    int mapped_count() const
    {
        return static_cast<int>(std::count_if(
            m_events.begin(), m_events.end(), [](const Event& event) { return event.kind == Event::Mapped; }));
    }
    // Where in the order the window was first given this fate; -1 when it was not.
    int position_of(Event::Kind kind, xcb_window_t window) const
    {
        for (size_t i = 0; i < m_events.size(); ++i) {
            if (m_events[i].kind == kind && m_events[i].window == window)
                return static_cast<int>(i);
        }
        return -1;
    }

private:
    void round_trip() { std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr)); }
    void record_queued()
    {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            record(event);
            std::free(event);
        }
    }
    void record(xcb_generic_event_t* event)
    {
        switch (event->response_type & 0x7f) {
        case XCB_CREATE_NOTIFY: {
            auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
            m_windows[created->window] = {created->x, created->y, created->width, created->height};
            break;
        }
        case XCB_CONFIGURE_NOTIFY: {
            auto* configured = reinterpret_cast<xcb_configure_notify_event_t*>(event);
            m_windows[configured->window] = {configured->x, configured->y, configured->width, configured->height};
            break;
        }
        case XCB_MAP_NOTIFY:
            m_events.push_back({Event::Mapped, reinterpret_cast<xcb_map_notify_event_t*>(event)->window});
            break;
        case XCB_UNMAP_NOTIFY:
            m_events.push_back({Event::Unmapped, reinterpret_cast<xcb_unmap_notify_event_t*>(event)->window});
            break;
        case XCB_DESTROY_NOTIFY:
            m_events.push_back({Event::Destroyed, reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window});
            break;
        }
    }

    xcb_connection_t* m_connection = nullptr;
    Window m_screen;
    std::map<xcb_window_t, Window> m_windows;
    std::vector<Event> m_events;
};

class LauncherSplash : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test_support::display_available() || !m_watch.ready())
            GTEST_SKIP() << "needs a display";
    }
    std::string program() const { return test_support::built_program("kalvo"); }

    // The shipped splash image's size.
    static constexpr int kWidth = 500;
    static constexpr int kHeight = 300;

    test_support::IsolatedUser m_user;
    WindowWatch m_watch;
};

TEST_F(LauncherSplash, IsTheFirstWindowAndGivesWayToTheProgramsOwnInTheSamePlace)
{
    using Event = WindowWatch::Event;
    ChildProcess kalvo({program()});
    // Until the program's splash has gone: the start-up is over.
    auto splashes_gone = [&] {
        auto splashes = m_watch.mapped_of_size(kWidth, kHeight);
        return splashes.size() >= 2 && m_watch.position_of(Event::Destroyed, splashes[0]) >= 0 &&
            m_watch.position_of(Event::Unmapped, splashes[1]) >= 0;
    };
    ASSERT_TRUE(m_watch.read_until(splashes_gone, 60000)) << "the splashes did not come and go";

    auto splashes = m_watch.mapped_of_size(kWidth, kHeight);
    ASSERT_EQ(splashes.size(), 2u);
    const xcb_window_t launcher = splashes[0];
    const xcb_window_t program = splashes[1];
    // The launcher's is the very first window, centred on the screen.
    EXPECT_EQ(m_watch.events().front().window, launcher);
    EXPECT_EQ(m_watch.window(launcher).x, (m_watch.screen().width - kWidth) / 2);
    EXPECT_EQ(m_watch.window(launcher).y, (m_watch.screen().height - kHeight) / 2);
    // The program's stands exactly over it, and the launcher's goes only once it is up.
    EXPECT_EQ(m_watch.window(program).x, m_watch.window(launcher).x);
    EXPECT_EQ(m_watch.window(program).y, m_watch.window(launcher).y);
    EXPECT_LT(m_watch.position_of(Event::Mapped, program), m_watch.position_of(Event::Unmapped, launcher));
    EXPECT_TRUE(kalvo.running());
}

TEST_F(LauncherSplash, ALogInStartThatEndsAtOnceShowsNoWindow)
{
    registry_binary(settings_path("auto_start")).set(false);
    ChildProcess kalvo({program(), "/startup"});
    EXPECT_EQ(kalvo.wait_for_exit(30000), 0);
    m_watch.read_all();
    // (Windows the toolkit makes for itself are never mapped.)
    EXPECT_EQ(m_watch.mapped_count(), 0);
}

} // namespace

// The running program under the test display: the tray's double click shows the hidden
// window; against the local service, Escape during a call and the sign-off at exit.
#include <gtest/gtest.h>
#include <memory>
#include <sstream>

#include "settings/app_settings.h"
#include "settings/registry.h"
#include "support/child_process.h"
#include "support/display.h"
#include "support/local_service.h"
#include "support/test_paths.h"
#include "support/tray_host.h"
#include "support/xdotool.h"
#include "telephony/sipx/sipx.h"

namespace {

using test_support::ChildProcess;
using test_support::wait_for_text;
using test_support::xdotool;

constexpr const char* kAddress = "127.0.0.136";

// The shown main window: named "Kalvo" (searches ignore case: a tooltip says "kalvo"),
// 300 pixels wide (the splash window shares its name).
std::string visible_main_window()
{
    std::istringstream ids(xdotool("search --onlyvisible --name '^Kalvo$'"));
    for (std::string id; std::getline(ids, id);) {
        if (xdotool("getwindowname " + id) == "Kalvo\n" &&
            xdotool("getwindowgeometry " + id).find("Geometry: 300x") != std::string::npos)
            return id;
    }
    return "";
}

class RunningProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test_support::display_available())
            GTEST_SKIP() << "needs a display";
    }

    std::string program() const { return test_support::built_program("kalvo"); }
    std::string log_path() const { return m_user.home() + "/.local/share/kalvo/kalvo.log"; }
    bool logged(const std::string& text, int timeout_ms)
    {
        return wait_for_text(log_path(), text, timeout_ms).find(text) != std::string::npos;
    }

    // Kalvo against a service of the test's own, signed in as alice by a forwarded link.
    void start_signed_in()
    {
        m_service = std::make_unique<test_support::LocalService>(kAddress);
        ASSERT_TRUE(m_service->running()) << m_service->start_output();
        ::setenv("KALVO_DEPLOYMENT", m_service->deployment_file().c_str(), 1);
        ::setenv(SIPX_ENV_BIND_ADDRESS, kAddress, 1);
        ::setenv(SIPX_ENV_PLAY_FILE, (std::string(KALVO_TESTS_DIR) + "/../sounds/ringtone.wav").c_str(), 1);
        ::setenv(SIPX_ENV_RECORD_FILE, (m_user.home() + "/speaker.wav").c_str(), 1);
        m_kalvo = std::make_unique<ChildProcess>(std::vector<std::string>{program()});
        ASSERT_TRUE(test_support::wait_for_file(m_user.home() + "/run/kalvo/instance.sock", 20000));
        // The link waits for the window, which asks whether a link from outside may sign
        // in; the user says Yes.
        link("kalvo://login/?u=alice&p=wonderland&s=false&a=false");
        std::string box = test_support::wait_for_window("Confirmation", 30000);
        ASSERT_FALSE(box.empty()) << "no confirmation";
        EXPECT_TRUE(test_support::answer_window("Confirmation", "alt+y"));
        ASSERT_TRUE(logged("LOGIN - Username is alice", 10000));
        ASSERT_TRUE(logged("LINESTATE - LINESTATE_REGISTERED", 20000));
    }
    void link(const std::string& url)
    {
        ChildProcess forwarded({program(), "/url", url});
        forwarded.wait_for_exit(10000);
    }

    test_support::IsolatedUser m_user;
    std::unique_ptr<test_support::LocalService> m_service;
    std::unique_ptr<ChildProcess> m_kalvo;
};

TEST_F(RunningProgram, ATrayDoubleClickShowsTheHiddenWindow)
{
    test_support::TrayHost tray;
    ASSERT_TRUE(tray.owns_tray());
    registry_binary(settings_path("auto_start")).set(true);
    registry_binary(settings_path("start_minimized")).set(true);
    ChildProcess kalvo({program(), "/startup"});
    ASSERT_TRUE(test_support::wait_for([&] { return tray.has_icon(); }, 20000)) << "the icon docks";
    ASSERT_TRUE(test_support::wait_for_file(m_user.home() + "/run/kalvo/instance.sock", 20000));
    // Started hidden: only the splash window's time passes.
    ASSERT_TRUE(test_support::wait_for([] { return visible_main_window().empty(); }, 20000));

    ASSERT_TRUE(tray.double_click_icon());
    EXPECT_TRUE(test_support::wait_for([] { return !visible_main_window().empty(); }, 10000));
    EXPECT_EQ(kalvo.terminate(), 0);
}

TEST_F(RunningProgram, EscapeDuringACallLeavesTheCallAndTheProgramRunning)
{
    start_signed_in();
    link("kalvo://call/?echotest");
    ASSERT_TRUE(logged("CALLSTATE - connected", 15000));
    std::string window = visible_main_window();
    ASSERT_FALSE(window.empty());

    xdotool("windowfocus --sync " + window + " key Escape");
    EXPECT_TRUE(logged("MAIN - Escape ignored: a call is in progress", 5000));
    EXPECT_TRUE(m_kalvo->running());
    EXPECT_EQ(test_support::read_file(log_path()).find("CALLSTATE - disconnected"), std::string::npos);
    EXPECT_EQ(m_kalvo->terminate(), 0);
}

TEST_F(RunningProgram, AtExitTheLineLeavesTheService)
{
    start_signed_in();
    ASSERT_EQ(m_service->contacts("alice"), 1);
    EXPECT_EQ(m_kalvo->terminate(), 0);
    EXPECT_EQ(m_service->contacts("alice"), 0) << "unregistered before the process ended";
}

} // namespace

// Runs the kalvo program itself under the test's display.
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/app_settings.h"
#include "settings/registry.h"
#include "support/child_process.h"
#include "support/display.h"
#include "support/test_paths.h"
#include "support/xdotool.h"

namespace {

using test_support::ChildProcess;

class ProgramStart : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test_support::display_available())
            GTEST_SKIP() << "needs a display";
    }
    std::string program() const { return test_support::built_program("kalvo"); }
    std::string socket() const { return m_user.home() + "/run/kalvo/instance.sock"; }
    test_support::IsolatedUser m_user;
};

bool exists(const std::string& path)
{
    struct stat st { };
    return ::stat(path.c_str(), &st) == 0;
}

TEST_F(ProgramStart, StartupLaunchWithoutAutoStartEndsWithZero)
{
    registry_binary(settings_path("auto_start")).set(false);
    ChildProcess kalvo({program(), "/startup"});
    EXPECT_EQ(kalvo.wait_for_exit(20000), 0);
}

TEST_F(ProgramStart, SecondStartForwardsAndEndsWithOne)
{
    ChildProcess first({program()});
    ASSERT_TRUE(test_support::wait_for_file(socket(), 20000));
    ChildProcess second({program(), "/url", "kalvo://call/?555"});
    EXPECT_EQ(second.wait_for_exit(10000), 1);
    EXPECT_TRUE(first.running());
    EXPECT_EQ(first.terminate(), 0);
    EXPECT_FALSE(exists(socket()));
}

TEST_F(ProgramStart, FirstStartSetsInstallPathAndStartsANewLog)
{
    std::string install = m_user.home() + "/.local/share/kalvo";
    test_support::write_file(install + "/kalvo.log", "a line of the previous run\n");
    ChildProcess kalvo({program()});
    // The call manager starts with the window and writes the new log at once.
    ASSERT_TRUE(
        test_support::holds(test_support::wait_for_text(install + "/kalvo.log", "SIPX", 20000), "SIPX"));
    EXPECT_EQ(registry_string(settings_path("install_path")).get(), install);
    EXPECT_EQ(test_support::read_file(install + "/kalvo.log").find("previous run"), std::string::npos);
    EXPECT_TRUE(exists(m_user.home() + "/.local/share/applications/kalvo-url-handler.desktop"));
    EXPECT_EQ(kalvo.terminate(), 0);
}

TEST_F(ProgramStart, ALockFolderOpenToOthersEndsWithTwo)
{
    std::string folder = m_user.home() + "/run/kalvo";
    ::mkdir(folder.c_str(), 0700);
    ::chmod(folder.c_str(), 0777);
    ChildProcess kalvo({program()}, m_user.home() + "/output.txt");
    EXPECT_EQ(kalvo.wait_for_exit(20000), 2);
    EXPECT_NE(test_support::read_file(m_user.home() + "/output.txt").find("open to other users"),
        std::string::npos);
    EXPECT_FALSE(exists(socket()));
}

TEST_F(ProgramStart, StartupLaunchWithAutoStartKeepsRunning)
{
    registry_binary(settings_path("auto_start")).set(true);
    registry_binary(settings_path("start_minimized")).set(true);
    ChildProcess kalvo({program(), "/startup"});
    ASSERT_TRUE(test_support::wait_for_file(socket(), 20000));
    EXPECT_TRUE(kalvo.running());
    EXPECT_EQ(kalvo.terminate(), 0);
}

// --version and --help answer even with no display, and leave the user's files, the link
// handler and the running instance alone.
TEST(ProgramInformation, AnsweredWithoutDisplayOrAnyFileTouched)
{
    test_support::IsolatedUser user;
    std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    ::unsetenv("DISPLAY");
    for (const char* request : {"--version", "--help"}) {
        std::string output = user.home() + "/output.txt";
        ChildProcess kalvo({test_support::built_program("kalvo"), request}, output);
        EXPECT_EQ(kalvo.wait_for_exit(10000), 0) << request;
        std::string text = test_support::read_file(output);
        if (std::string(request) == "--version")
            EXPECT_EQ(text, "Kalvo 4.0.0.22\n");
        else
            EXPECT_NE(text.find("Usage: kalvo"), std::string::npos) << text;
        ::unlink(output.c_str());
    }
    if (!display.empty())
        ::setenv("DISPLAY", display.c_str(), 1);
    for (const char* made : {"/.config", "/.local", "/run/kalvo"})
        EXPECT_FALSE(exists(user.home() + made)) << made;
}

TEST_F(ProgramStart, ASkinThatCannotBeLoadedEndsTheStartWithItsFault)
{
    test_support::TempDir skins;
    test_support::write_file(skins.file("Kalvo/skin.xml"), "<skin><information><name>cut");
    const char* packaged = std::getenv("KALVO_SKINS_DIR");
    std::string saved = packaged ? packaged : "";
    ::setenv("KALVO_SKINS_DIR", skins.path().c_str(), 1);
    ChildProcess kalvo({program()});
    packaged ? ::setenv("KALVO_SKINS_DIR", saved.c_str(), 1) : ::unsetenv("KALVO_SKINS_DIR");

    // The box names the file and the fault; the log has the same. Closing it ends the start.
    std::string log = m_user.home() + "/.local/share/kalvo/kalvo.log";
    for (int i = 0; i < 600 && test_support::read_file(log).find("SKIN - Kalvo stops") == std::string::npos;
         ++i)
        ::usleep(100 * 1000);
    std::string box_window;
    for (int i = 0; i < 200 && box_window.empty(); ++i) {
        box_window = test_support::xdotool("search --onlyvisible --name '^Kalvo$'");
        if (box_window.empty())
            ::usleep(100 * 1000);
    }
    ASSERT_FALSE(box_window.empty()) << "no message box";
    EXPECT_NE(test_support::read_file(log).find("SKIN - Kalvo stops: its skin could not be loaded: " +
                  skins.file("Kalvo/skin.xml") + ": the skin file could not be read"),
        std::string::npos)
        << test_support::read_file(log);
    test_support::press_in(box_window.substr(0, box_window.find('\n')), "Return");
    EXPECT_EQ(kalvo.wait_for_exit(10000), 1);
}

// When a process or thread started, in clock ticks since boot (field 22 of its stat; the
// name before it, in parentheses, may hold spaces).
long long started_at(const std::string& stat_path)
{
    std::string stat = test_support::read_file(stat_path);
    std::size_t name_end = stat.rfind(')');
    if (name_end == std::string::npos)
        return -1;
    std::istringstream fields(stat.substr(name_end + 2));
    std::string field;
    for (int i = 3; i <= 22 && fields >> field; ++i) { }
    return std::atoll(field.c_str());
}

TEST_F(ProgramStart, TheWebEngineStartsAheadOfTheSipCoreAndOneWebProcessServesEveryWebElement)
{
    ChildProcess kalvo({program()});
    std::string log = m_user.home() + "/.local/share/kalvo/kalvo.log";
    auto all_loaded = [&] {
        std::string text = test_support::read_file(log);
        return test_support::holds(text, "WEB - content page loaded: ") &&
            test_support::holds(text, "WEB - tab page loaded: ") &&
            test_support::holds(text, "WEB - info page loaded: ");
    };
    for (int i = 0; i < 600 && !all_loaded() && kalvo.running(); ++i)
        ::usleep(100 * 1000);
    ASSERT_TRUE(all_loaded()) << test_support::read_file(log);

    EXPECT_EQ(test_support::children_named(kalvo.pid(), "WebKitWebProces").size(), 1u);
    long long engine_started = -1;
    std::string task_folder = "/proc/" + std::to_string(kalvo.pid()) + "/task/";
    std::string tasks;
    test_support::run_command("ls " + task_folder, &tasks);
    std::istringstream task_ids(tasks);
    for (std::string task; task_ids >> task;)
        if (test_support::read_file(task_folder + task + "/comm") == "sip-engine\n")
            engine_started = started_at(task_folder + task + "/stat");
    ASSERT_GE(engine_started, 0) << "no SIP engine thread";
    // The network process, which the first view starts with its web process: WebKit may
    // replace a web process while the views start (the pages are then opened again).
    EXPECT_LE(started_at("/proc/" +
                  std::to_string(test_support::first_child_named(kalvo.pid(), "WebKitNetworkPr")) + "/stat"),
        engine_started)
        << "the web engine started after the SIP core";
    EXPECT_EQ(kalvo.terminate(), 0);
}

TEST_F(ProgramStart, AnEglDriverListTheUserGaveReachesTheWebProcess)
{
    // Without a GPU the program keeps EGL from its own process, but a list set by the
    // user is theirs, and the web process needs it.
    const std::string list = "/usr/share/glvnd/egl_vendor.d/50_mesa.json";
    ::setenv("__EGL_VENDOR_LIBRARY_FILENAMES", list.c_str(), 1);
    ChildProcess kalvo({program()});
    ::unsetenv("__EGL_VENDOR_LIBRARY_FILENAMES");
    pid_t web = 0;
    for (int i = 0; i < 300 && web == 0 && kalvo.running(); ++i) {
        web = test_support::first_child_named(kalvo.pid(), "WebKitWebProces");
        if (web == 0)
            ::usleep(100 * 1000);
    }
    ASSERT_NE(web, 0) << "no web process";
    std::string environment = test_support::read_file("/proc/" + std::to_string(web) + "/environ");
    EXPECT_TRUE(
        test_support::holds(environment, "__EGL_VENDOR_LIBRARY_FILENAMES=" + list + std::string(1, '\0')))
        << "the user's list did not reach the web process";
    EXPECT_EQ(kalvo.terminate(), 0);
}

} // namespace

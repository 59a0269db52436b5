// Runs the kalvo program itself under the test's display.
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "settings/app_settings.h"
#include "settings/registry.h"
#include "support/child_process.h"
#include "support/test_paths.h"

namespace {

using test_support::ChildProcess;

class ProgramStart : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
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

} // namespace

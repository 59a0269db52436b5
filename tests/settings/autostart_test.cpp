#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "settings/autostart.h"
#include "support/child_process.h"
#include "support/desktop_entry_reader.h"
#include "support/log_capture.h"
#include "support/test_paths.h"

namespace {

using testing::Contains;
using testing::ElementsAre;
using testing::HasSubstr;

TEST(AutoStart, EntryExistsExactlyWhileTheSettingIsOn)
{
    test_support::IsolatedUser user;
    const std::string entry = user.home() + "/.config/autostart/kalvo.desktop";
    EXPECT_EQ(autostart::entry_path(), entry);

    EXPECT_TRUE(autostart::apply(true, "/opt/my apps/kalvo"));
    EXPECT_THAT(test_support::read_file(entry), HasSubstr("\nExec=\"/opt/my apps/kalvo\" /startup\n"));
    EXPECT_TRUE(autostart::apply(true, "/usr/bin/kalvo"));
    EXPECT_THAT(test_support::read_file(entry), HasSubstr("\nExec=/usr/bin/kalvo /startup\n"));

    EXPECT_TRUE(autostart::apply(false, "/usr/bin/kalvo"));
    EXPECT_FALSE(std::filesystem::exists(entry));
    EXPECT_TRUE(autostart::apply(false, "/usr/bin/kalvo"));
}

TEST(AutoStart, DesktopReadsBackTheExecutableExactly)
{
    test_support::IsolatedUser user;
    for (const std::string executable : {"/usr/bin/kalvo", "/opt/my apps/kalvo", "/opt/100%/kalvo",
             "/opt/100% sure/kalvo", "/home/u/\"dev\" $HOME `x`/back\\slash/kalvo"}) {
        ASSERT_TRUE(autostart::apply(true, executable));
        EXPECT_THAT(test_support::desktop_exec_arguments(autostart::entry_path()),
            ElementsAre(executable, "/startup"));
        std::string output;
        EXPECT_EQ(test_support::run_command(
                      "desktop-file-validate " + test_support::shell_quote(autostart::entry_path()), &output),
            0)
            << output;
        EXPECT_EQ(output, "") << executable;
    }
}

TEST(AutoStart, EntryThatCannotBeWrittenIsReported)
{
    test_support::LogCapture log;
    // A file where the autostart folder belongs.
    test_support::write_file(autostart::entry_path().substr(0, autostart::entry_path().rfind('/')), "x");
    EXPECT_FALSE(autostart::apply(true, "/usr/bin/kalvo"));
    EXPECT_THAT(
        log.window_messages(), Contains("Could not write the log-in start entry " + autostart::entry_path()));
}

} // namespace

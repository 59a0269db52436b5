#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "support/skin_files.h"
#include "support/test_paths.h"

namespace {

using test_support::IsolatedUser;
using test_support::TestSkin;

TEST(SkinView, ReportsASkinThatDoesNotLoad)
{
    std::string program = test_support::built_program("kalvo-skinview");
    if (!std::filesystem::exists(program))
        GTEST_SKIP() << "kalvo-skinview is not built";
    IsolatedUser user;
    TestSkin skin;
    skin.write_description("<information><author>a</author><description>d</description></information>");
    std::string command = "'" + program + "' --skins '" + skin.skins_folder() + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_TRUE(pipe);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    int status = ::pclose(pipe);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(output.find("Error: No name was defined in the skin."), std::string::npos) << output;
    EXPECT_NE(output.find("could not be loaded"), std::string::npos) << output;
}

} // namespace

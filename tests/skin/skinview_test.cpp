#include <filesystem>
#include <gtest/gtest.h>

#include "support/child_process.h"
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
    std::string output;
    EXPECT_EQ(test_support::run_command(test_support::shell_quote(program) + " --skins " +
                      test_support::shell_quote(skin.skins_folder()),
                  &output),
        1);
    EXPECT_NE(output.find("Error: No name was defined in the skin."), std::string::npos) << output;
    EXPECT_NE(output.find("could not be loaded"), std::string::npos) << output;
}

} // namespace

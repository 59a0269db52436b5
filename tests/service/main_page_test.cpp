// The main page's script, driven as the program drives it (page functions called,
// external methods and kalvo: navigations recorded), by a Node.js harness.
#include <cstdlib>
#include <gtest/gtest.h>

#include "service_client.h"
#include "support/test_paths.h"

TEST(ServiceMainPage, ScriptAnswersEveryPageFunctionAndDrivesTheProgram)
{
    if (std::system("command -v node >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "node is not installed (scripts/install-deps.sh installs nodejs)";
    test_support::TempDir folder;
    const std::string output = folder.file("harness.out");
    const int status =
        service_client::run_program({"node", std::string(KALVO_TESTS_DIR) + "/service/main_page_harness.js",
                                        std::string(KALVO_TESTS_DIR) + "/../service/pages/main.html"},
            output, 20000);
    EXPECT_EQ(status, 0) << test_support::read_file(output);
}

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/crash_reporter.h"
#include "support/test_paths.h"

namespace {

TEST(CrashReporter, WritesAReportAndTheProcessStillDiesOfTheSignal)
{
    test_support::TempDir folder;
    pid_t child = ::fork();
    if (child == 0) {
        crash_reporter::Install("[Kalvo] Application crash report", folder.path());
        ::raise(SIGSEGV);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGSEGV);

    std::string report;
    for (auto& entry : std::filesystem::directory_iterator(folder.path()))
        if (entry.path().filename().string().starts_with("crash-"))
            report = test_support::read_file(entry.path().string());
    EXPECT_NE(report.find("Subject: [Kalvo] Application crash report\n"), std::string::npos);
    EXPECT_NE(report.find("Signal: 11 (SEGV)"), std::string::npos);
    EXPECT_NE(report.find("Backtrace:"), std::string::npos);
}

} // namespace

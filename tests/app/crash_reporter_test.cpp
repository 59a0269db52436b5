#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/crash_reporter.h"
#include "support/test_paths.h"

namespace {

// Runs `crash` in a child process with the reporter installed; the report it left.
std::string report_of(void (*crash)())
{
    test_support::TempDir folder;
    pid_t child = ::fork();
    if (child == 0) {
        crash_reporter::Install("[Kalvo] Application crash report", folder.path());
        crash();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGSEGV);

    std::string report;
    for (auto& entry : std::filesystem::directory_iterator(folder.path()))
        if (entry.path().filename().string().starts_with("crash-"))
            report = test_support::read_file(entry.path().string());
    return report;
}

// Deep enough to overflow any stack: every frame keeps a page of its own alive.
int (*volatile g_recurse)(int);
int recurse(int depth)
{
    volatile char page[4096];
    page[0] = static_cast<char>(depth);
    return g_recurse(depth + 1) + page[0];
}

TEST(CrashReporter, WritesAReportAndTheProcessStillDiesOfTheSignal)
{
    std::string report = report_of([] { ::raise(SIGSEGV); });
    EXPECT_NE(report.find("Subject: [Kalvo] Application crash report\n"), std::string::npos);
    EXPECT_NE(report.find("Signal: 11 (SEGV)"), std::string::npos);
    EXPECT_NE(report.find("Backtrace:"), std::string::npos);
}

TEST(CrashReporter, AStackOverflowIsReportedToo)
{
    std::string report = report_of([] {
        g_recurse = recurse;
        g_recurse(0);
    });
    EXPECT_NE(report.find("Signal: 11 (SEGV)"), std::string::npos) << report;
    EXPECT_NE(report.find("Backtrace:"), std::string::npos);
}

} // namespace

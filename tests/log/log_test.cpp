#include <filesystem>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

#include "log/log_dlg.h"
#include "log/log_file.h"
#include "settings/app_settings.h"
#include "settings/registry.h"
#include "support/test_paths.h"

namespace {

TEST(LogBuffer, EachMessageIsPrecededBySeparator)
{
    std::string buffer;
    append_to_log_buffer(buffer, "first");
    append_to_log_buffer(buffer, "second");
    EXPECT_EQ(buffer, "\r\nfirst\r\nsecond");
}

TEST(LogBuffer, CrossingTenThousandKeepsExactlyTheLastFiveThousand)
{
    std::string buffer(9990, 'a');
    std::string message(18, 'b'); // 9990 + 2 + 18 = 10010 characters
    append_to_log_buffer(buffer, message);
    ASSERT_EQ(buffer.size(), 5000u);
    EXPECT_EQ(buffer.substr(buffer.size() - 20), "\r\n" + message);
    EXPECT_EQ(buffer.front(), 'a'); // starts in the middle of the older text

    std::string at_limit(9990, 'c');
    append_to_log_buffer(at_limit, std::string(8, 'd')); // exactly 10000: kept whole
    EXPECT_EQ(at_limit.size(), 10000u);
}

TEST(LogBuffer, AppendsFromSeveralThreadsNeverInterleave)
{
    LogDlg& log = LogDlg::instance();
    log.clear();
    auto writer = [&](char c) {
        for (int i = 0; i < 200; ++i)
            log.append(std::string(20, c));
    };
    std::thread a(writer, 'x'), b(writer, 'y');
    a.join();
    b.join();
    std::string text = log.text();
    ASSERT_LE(text.size(), 10000u);
    // Every complete message is one letter repeated: no message was split by another.
    size_t pos = text.find("\r\n");
    while (pos != std::string::npos) {
        size_t next = text.find("\r\n", pos + 2);
        std::string message =
            text.substr(pos + 2, next == std::string::npos ? std::string::npos : next - pos - 2);
        ASSERT_EQ(message.size(), 20u);
        EXPECT_EQ(message.find_first_not_of(message[0]), std::string::npos);
        pos = next;
    }
    log.clear();
}

TEST(LogFile, TimestampHasFourDigitMilliseconds)
{
    std::tm when{};
    when.tm_year = 2008 - 1900;
    when.tm_mon = 2;
    when.tm_mday = 3;
    when.tm_hour = 12;
    when.tm_min = 5;
    when.tm_sec = 9;
    EXPECT_EQ(log_file::format_timestamp(when, 42), "2008-03-03 12:05:09.0042");
    EXPECT_EQ(log_file::format_timestamp(when, 7), "2008-03-03 12:05:09.0007");
}

TEST(LogFile, LinesGoToTheInstallationFolder)
{
    test_support::IsolatedUser user;
    test_support::TempDir folder;
    log_file::set_folder(folder.path());
    log_file::write_line("LOGIN - Username is alice");
    log_file::write_line("LOGIN - Got version information");
    std::string text = test_support::read_file(folder.file("kalvo.log"));
    ASSERT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
    EXPECT_EQ(text.substr(24, 27), " LOGIN - Username is alice\n");
    EXPECT_EQ(text[4], '-');
    EXPECT_EQ(text[19], '.');
}

TEST(LogFile, WithoutAnInstallationFolderLinesGoToTheCurrentFolder)
{
    test_support::IsolatedUser user;
    test_support::TempDir folder;
    auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    log_file::set_folder("");
    log_file::write_line("NETWORK - Binding to 127.0.0.1");
    std::filesystem::current_path(previous);
    EXPECT_EQ(log_file::folder(), ".");
    EXPECT_NE(test_support::read_file(folder.file("kalvo.log")).find("NETWORK - Binding to 127.0.0.1"),
        std::string::npos);
}

} // namespace

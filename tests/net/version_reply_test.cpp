#include <gtest/gtest.h>

#include "net/version_reply.h"

namespace {

TEST(VersionNumber, JoinsThePiecesBetweenSeparators)
{
    EXPECT_EQ(version_number("4, 0, 0, 22"), 40022);
    EXPECT_EQ(version_number("4.0.0.23"), 40023);
    EXPECT_EQ(version_number("1.0.10.0"), 10100);
    EXPECT_EQ(version_number("1.1.0.0"), 1100);
    EXPECT_EQ(version_number("  4, 0,0,   22  \n"), 40022);
    EXPECT_EQ(version_number("4 , 0"), 4); // a blank before a separator ends the digits
}

TEST(VersionNumber, TextsWithoutSeparatorOrDigitsGiveZero)
{
    EXPECT_EQ(version_number(""), 0);
    EXPECT_EQ(version_number("40023"), 0);
    EXPECT_EQ(version_number("v4.0"), 0);
    EXPECT_EQ(version_number("4.0beta.1"), 40); // digits up to the first other character
    EXPECT_EQ(version_number("9.9.9.9.9.9.9.9.9.9.9.9"), 2147483647); // clamped, never overflowing
}

TEST(VersionReply, EightLinesWithCarriageReturnsKept)
{
    VersionReply reply =
        VersionReply::parse("ok\n4.0.0.23\nhttps://h/setup\n7\ntrue\npro\nPro account\r\nproxy.example");
    EXPECT_EQ(reply.current_version(), "4.0.0.23");
    EXPECT_EQ(reply.download_address(), "https://h/setup");
    EXPECT_EQ(reply.info_version(), "7");
    EXPECT_TRUE(reply.show_info());
    EXPECT_EQ(reply.account_type(), "pro");
    EXPECT_EQ(reply.account_details(), "Pro account\r");
    EXPECT_EQ(reply.outbound_proxy(), "proxy.example");
}

TEST(VersionReply, ShortRepliesLeaveMissingLinesEmpty)
{
    VersionReply reply = VersionReply::parse("ok\n4, 0, 0, 22\n");
    EXPECT_EQ(reply.current_version(), "4, 0, 0, 22");
    EXPECT_EQ(reply.lines[2], "");
    EXPECT_EQ(reply.outbound_proxy(), "");
    EXPECT_FALSE(VersionReply::parse("a\nb\nc\nd\nTrue\n").show_info());
}

} // namespace

#include <gtest/gtest.h>

#include "net/percent_encoding.h"

namespace {

TEST(PercentDecoding, EveryEscapeIsUndoneExactlyOnce)
{
    EXPECT_EQ(
        percent_decode("kalvo://toast/?s=%3Cb%3E%22%C3%A9%22&%3C/b%3E"), "kalvo://toast/?s=<b>\"é\"&</b>");
    EXPECT_EQ(percent_decode("My%20Calls%2541"), "My Calls%41");
    EXPECT_EQ(percent_decode("a+b%2B"), "a+b+");
    // What the program encodes comes back unchanged, whatever the bytes.
    std::string every_byte;
    for (int byte = 1; byte < 256; ++byte)
        every_byte += static_cast<char>(byte);
    std::string text = "P@ss w%rd&=+#?/\"'<>ä" + std::string("\xF0\x9F\x93\x9E");
    EXPECT_EQ(percent_decode(percent_encode(text)), text);
    EXPECT_EQ(percent_encode(every_byte)
                  .find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~%"),
        std::string::npos);
}

TEST(PercentDecoding, WhatWouldNotBeTextStaysAsWritten)
{
    EXPECT_EQ(percent_decode("100%"), "100%");
    EXPECT_EQ(percent_decode("%G1%4"), "%G1%4");
    EXPECT_EQ(percent_decode("a%00b"), "a%00b");
    // A lone lead byte, a lone continuation byte, an overlong form: not UTF-8.
    EXPECT_EQ(percent_decode("%C3x%A9%C0%AF"), "%C3x%A9%C0%AF");
    EXPECT_EQ(percent_decode("%E9t%C3%A9"), "%E9t\xC3\xA9");
}

} // namespace

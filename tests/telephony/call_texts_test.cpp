#include <gtest/gtest.h>
#include <string>

#include "telephony/call_addressing.h"
#include "telephony/message_waiting.h"
#include "telephony/sip_password.h"

namespace {

TEST(MessageWaitingCount, BodiesWithoutThePatternGiveNothing)
{
    EXPECT_FALSE(message_waiting::count(""));
    EXPECT_FALSE(message_waiting::count("Messages-Waiting: yes\r\n"));
    EXPECT_FALSE(message_waiting::count("Voice-Message: /3\r\n"));
    EXPECT_FALSE(message_waiting::count("voice-message: 1/3\r\n"));
    EXPECT_FALSE(message_waiting::count("Voice-Message:1/3"));
}

TEST(MessageWaitingCount, CountsTooLargeForAnIntAreRefusedWithAReason)
{
    std::string problem;
    EXPECT_FALSE(message_waiting::count("Voice-Message: 99999999999999999999/1\r\n", &problem));
    EXPECT_NE(problem, "");
    problem.clear();
    EXPECT_FALSE(message_waiting::count("Voice-Message: 2147483647/1\r\n", &problem));
    EXPECT_NE(problem, "");
    EXPECT_EQ(message_waiting::count("Voice-Message: 2147483646/1\r\n"), 2147483647);
}

TEST(MessageWaitingBody, StopsAtTheLengthOrTheFirstZero)
{
    const char unterminated[] = {'V', 'o', 'i', 'c', 'e'};
    EXPECT_EQ(message_waiting::body_text(unterminated, 3), "Voi");
    EXPECT_EQ(message_waiting::body_text(unterminated, sizeof unterminated), "Voice");
    const char binary[] = {'a', 'b', '\0', 'c', '\xff'};
    EXPECT_EQ(message_waiting::body_text(binary, sizeof binary), "ab");
    EXPECT_EQ(message_waiting::body_text(nullptr, 10), "");
}

TEST(SipPassword, AppendsThirdFourthFirstAndSecondCharactersThatExist)
{
    EXPECT_EQ(sip_password("secret"), "secret_crse");
    EXPECT_EQ(sip_password("abcd"), "abcd_cdab");
    EXPECT_EQ(sip_password("abc"), "abc_cab");
    EXPECT_EQ(sip_password("ab"), "ab_ab");
    EXPECT_EQ(sip_password("a"), "a_a");
    EXPECT_EQ(sip_password(""), "");
}

TEST(RemoteUser, TakesTheUserPartOfASipAddress)
{
    EXPECT_EQ(call_addressing::remote_user("\"Bob Smith\" <sip:bob@kalvo.test>"), "bob");
    EXPECT_EQ(call_addressing::remote_user("sip:5551234@kalvo.test;tag=1"), "5551234");
    EXPECT_EQ(call_addressing::remote_user("sip:a@kalvo.test"), "a");
}

TEST(RemoteUser, OtherFormsAreReturnedWhole)
{
    EXPECT_EQ(call_addressing::remote_user("bob@kalvo.test"), "bob@kalvo.test");
    EXPECT_EQ(call_addressing::remote_user("<sip:kalvo.test>"), "<sip:kalvo.test>");
    EXPECT_EQ(call_addressing::remote_user("sip:@kalvo.test"), "sip:@kalvo.test");
    EXPECT_EQ(call_addressing::remote_user("x@y <sip:bob@kalvo.test>"), "x@y <sip:bob@kalvo.test>");
    EXPECT_EQ(call_addressing::remote_user(""), "");
}

TEST(ServerAddress, HostAndPortOfAServerTextWith5060ByDefault)
{
    auto host_port = [](const std::string& text) {
        call_addressing::ServerAddress address = call_addressing::server_address(text);
        return address.host + " " + std::to_string(address.port);
    };
    EXPECT_EQ(host_port("127.0.0.5"), "127.0.0.5 5060");
    EXPECT_EQ(host_port("gw.example:5070"), "gw.example 5070");
    EXPECT_EQ(host_port("sip:gw.example:5080;transport=udp"), "gw.example 5080");
    EXPECT_EQ(host_port("gw.example:99999"), "gw.example 5060");
    EXPECT_EQ(host_port("gw.example:http"), "gw.example 5060");
    EXPECT_EQ(host_port("gw.example:"), "gw.example 5060");
    EXPECT_EQ(host_port(""), " 5060");
}

TEST(DtmfTone, KeysMapToTheirCharacterCodes)
{
    EXPECT_EQ(call_addressing::dtmf_tone('0'), 48);
    EXPECT_EQ(call_addressing::dtmf_tone('9'), 57);
    EXPECT_EQ(call_addressing::dtmf_tone('*'), 42);
    EXPECT_EQ(call_addressing::dtmf_tone('#'), 35);
    EXPECT_FALSE(call_addressing::dtmf_tone('A'));
    EXPECT_FALSE(call_addressing::dtmf_tone(' '));
}

} // namespace

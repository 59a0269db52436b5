#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ui/options/options_rules.h"
#include "ui/wizard/echo_steps.h"
#include "ui/wizard/wizard_rules.h"

using testing::HasSubstr;
using testing::Not;

namespace {

HttpReply completed(const std::string& body)
{
    return {CURLE_OK, body};
}
HttpReply failed()
{
    return {CURLE_OPERATION_TIMEDOUT, ""};
}

TEST(UsernameCheck, OnlyACompletedExactValidBodyAccepts)
{
    using wizard_rules::UsernameCheck;
    EXPECT_EQ(wizard_rules::username_check_outcome(completed("VALID")), UsernameCheck::Valid);
    EXPECT_EQ(wizard_rules::username_check_outcome(completed("VALID\n")), UsernameCheck::Invalid);
    EXPECT_EQ(wizard_rules::username_check_outcome(completed("valid")), UsernameCheck::Invalid);
    EXPECT_EQ(wizard_rules::username_check_outcome(completed("")), UsernameCheck::Invalid);
    HttpReply timed_out_after_body{CURLE_OPERATION_TIMEDOUT, "VALID"};
    EXPECT_EQ(wizard_rules::username_check_outcome(timed_out_after_body), UsernameCheck::NoConnection);
}

TEST(UsernameCheck, AccountFieldsKeepAtMost31Characters)
{
    EXPECT_EQ(wizard_rules::limit_account_field(std::string(40, 'a')), std::string(31, 'a'));
    EXPECT_EQ(wizard_rules::limit_account_field("alice"), "alice");
}

TEST(DeviceSelection, IndexOutsideTheNamesSelectsTheFirst)
{
    EXPECT_EQ(wizard_rules::device_selection(2, 3), 2);
    EXPECT_EQ(wizard_rules::device_selection(3, 3), 0);
    EXPECT_EQ(wizard_rules::device_selection(7, 3), 0);
    EXPECT_EQ(wizard_rules::device_selection(-1, 3), 0);
    EXPECT_EQ(wizard_rules::device_selection(0, 0), 0);
}

TEST(LevelBar, DecibelsBecomeAPositionFrom0To100)
{
    EXPECT_EQ(wizard_rules::level_bar_position(-100), 0);
    EXPECT_EQ(wizard_rules::level_bar_position(-40), 60);
    EXPECT_EQ(wizard_rules::level_bar_position(0), 100);
    EXPECT_EQ(wizard_rules::level_bar_position(-250), 0);
    EXPECT_EQ(wizard_rules::level_bar_position(12), 100);
}

TEST(EchoEvents, OnlyTheTestsLineAndCallStatesCount)
{
    using wizard_rules::classify_echo_event;
    using wizard_rules::EchoEvent;
    EXPECT_EQ(classify_echo_event(21000, 0), EchoEvent::Registered);
    EXPECT_EQ(classify_echo_event(24000, 0), EchoEvent::RegistrationFailed);
    EXPECT_EQ(classify_echo_event(2500, 1), EchoEvent::Calling);
    EXPECT_EQ(classify_echo_event(3000, 1), EchoEvent::Calling);
    EXPECT_EQ(classify_echo_event(4000, 1), EchoEvent::Connected);
    // The same numbers of the other kind, and other states, mean nothing.
    EXPECT_EQ(classify_echo_event(21000, 1), EchoEvent::None);
    EXPECT_EQ(classify_echo_event(4000, 0), EchoEvent::None);
    EXPECT_EQ(classify_echo_event(22000, 0), EchoEvent::None);
    EXPECT_EQ(classify_echo_event(5000, 1), EchoEvent::None);
}

TEST(EchoSteps, IconResourceNames)
{
    using echo_steps::Icon;
    EXPECT_EQ(echo_steps::icon_resource(1, Icon::Done), "RES:wizard_1_check.png");
    EXPECT_EQ(echo_steps::icon_resource(2, Icon::Current), "RES:wizard_2.png");
    EXPECT_EQ(echo_steps::icon_resource(2, Icon::Error), "RES:wizard_2_error.png");
    EXPECT_EQ(echo_steps::icon_resource(4, Icon::Disabled), "RES:wizard_4_disabled.png");
}

TEST(EchoSteps, IconRowFollowsTheTest)
{
    EXPECT_EQ(echo_steps::icons_html(echo_steps::verifying()),
        "<table width=\"100%\" border=\"0\" cellpadding=\"3\" cellspacing=\"0\"><tr>"
        "<td><img src=\"RES:wizard_1_check.png\"></td><td><img src=\"RES:wizard_2.png\"></td>"
        "<td><img src=\"RES:wizard_3_disabled.png\"></td><td><img src=\"RES:wizard_4_disabled.png\"></td>"
        "</tr></table>");
    const std::string failed =
        echo_steps::icons_html(echo_steps::registration_failed(echo_steps::verifying()));
    EXPECT_THAT(failed, HasSubstr("RES:wizard_1_check.png"));
    EXPECT_THAT(failed, HasSubstr("RES:wizard_2_error.png"));
    EXPECT_THAT(echo_steps::icons_html(echo_steps::heard()), Not(HasSubstr("_disabled")));
}

TEST(EchoSteps, StatusTableColoursAndGreysUnreachedSteps)
{
    const std::string talking = echo_steps::steps_html(echo_steps::talking());
    EXPECT_THAT(talking,
        HasSubstr("<td width=\"200\">Placing call</td><td><font color=\"#669900\"><b>OK</b></font></td>"));
    EXPECT_THAT(talking,
        HasSubstr(
            "<td width=\"200\">Talking</td><td><font color=\"#000000\"><b>In progress</b></font></td>"));

    const std::string verifying = echo_steps::steps_html(echo_steps::verifying());
    EXPECT_THAT(verifying,
        HasSubstr("<td width=\"200\"><font color=\"#999999\">Talking</font></td>"
                  "<td><font color=\"#999999\"><b>Pending</b></font></td>"));

    const std::string refused =
        echo_steps::steps_html(echo_steps::registration_failed(echo_steps::verifying()));
    EXPECT_THAT(
        refused, HasSubstr("Verifying username and password</td><td><font color=\"#cc0000\"><b>Error</b>"));
    // A time-out changes the icons only: Verifying stays in progress.
    const std::string timed_out =
        echo_steps::steps_html(echo_steps::registration_timed_out(echo_steps::verifying()));
    EXPECT_THAT(timed_out,
        HasSubstr("Verifying username and password</td><td><font color=\"#000000\"><b>In progress</b>"));

    const std::string not_heard = echo_steps::steps_html(echo_steps::not_heard());
    EXPECT_THAT(not_heard, HasSubstr("Talking</td><td><font color=\"#CC0000\"><b>Failed</b>"));
    EXPECT_THAT(not_heard, HasSubstr("Placing call</td><td><font color=\"#669900\"><b>OK</b>"));
    EXPECT_THAT(not_heard, Not(HasSubstr("Pending")));
}

TEST(QualityLimit, AboveThreeIsForProAccountsOnly)
{
    using options_rules::allowed_quality;
    EXPECT_EQ(allowed_quality(5, "pro"), 5);
    EXPECT_EQ(allowed_quality(4, "free"), 3);
    EXPECT_EQ(allowed_quality(5, ""), 3);
    EXPECT_EQ(allowed_quality(3, "free"), 3);
    EXPECT_EQ(allowed_quality(1, "free"), 1);
    EXPECT_EQ(allowed_quality(9, "pro"), 5);
    EXPECT_EQ(allowed_quality(0, "pro"), 1);
}

TEST(QualityLimit, AccountTypeIsTheSixthReplyLine)
{
    EXPECT_EQ(
        options_rules::account_type_from_reply(completed("ok\n4, 0, 0, 22\nurl\n3\nfalse\nbasic\nd\np")),
        "basic");
    EXPECT_EQ(options_rules::account_type_from_reply(completed("short")), "");
    EXPECT_EQ(options_rules::account_type_from_reply(failed()), std::nullopt);
}

TEST(OptionsOnOk, AudioPageGivesDevicesAndQualityAndTellsAboutRestart)
{
    AppSettings loaded;
    loaded.username = "old";
    loaded.input_device = 1;
    loaded.quality = 5;
    AppSettings account = loaded;
    account.username = "new";
    AppSettings audio = loaded;
    audio.username = "ignored";
    audio.quality = 2;

    options_rules::Outcome same_devices = options_rules::settings_on_ok(loaded, account, audio);
    EXPECT_EQ(same_devices.settings.username, "new");
    EXPECT_EQ(same_devices.settings.quality, 2);
    EXPECT_FALSE(same_devices.restart_needed);

    audio.ring_device = 2;
    options_rules::Outcome new_ring = options_rules::settings_on_ok(loaded, account, audio);
    EXPECT_EQ(new_ring.settings.ring_device, 2);
    EXPECT_TRUE(new_ring.restart_needed);
}

} // namespace

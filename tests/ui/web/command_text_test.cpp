#include <gtest/gtest.h>

#include "ui/web/command_text.h"
#include "ui/web/navigation_filter.h"

namespace {

using namespace command_text;

TEST(CommandText, CommandIsTheHostPartAndQueryTheRest)
{
    auto call = parse(*wrap("kalvo://call/?555"));
    ASSERT_TRUE(call);
    EXPECT_EQ(call->name, "call");
    EXPECT_EQ(call->query, "555");
    EXPECT_EQ(parse(*wrap("kalvo://call/?a=1"))->query, "a=1");
    EXPECT_EQ(parse(*wrap("kalvo://LOGIN/?u=a"))->name, "LOGIN"); // the dispatcher compares exactly
    EXPECT_EQ(parse("/usr/bin/kalvo /url \"kalvo://show_tab/?My Calls\"")->query, "My Calls");
    EXPECT_FALSE(parse(*wrap("kalvo:call/?123")));
    EXPECT_FALSE(parse("kalvo.exe /url kalvo://call/?1"));
}

TEST(CommandText, OverlongTextsAreRefusedNotCut)
{
    EXPECT_TRUE(wrap(std::string(8192 - 18, 'x')));
    EXPECT_FALSE(wrap(std::string(8192 - 17, 'x')));
}

TEST(CommandText, LoginArgumentsSplitAtTheLastFlags)
{
    auto login = login_arguments(*wrap("kalvo://login/?u=bob&p=s3cr&t&s=true&a=false"));
    ASSERT_TRUE(login);
    EXPECT_EQ(login->user, "bob");
    EXPECT_EQ(login->password, "s3cr&t");
    EXPECT_TRUE(login->remember);
    EXPECT_FALSE(login->auto_login);

    auto empty = login_arguments(*wrap("kalvo://login/?u=bob&p=&s=true&a=false"));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->password, "");

    // Greedy groups: a password containing "&s=" moves the split to the last occurrence.
    auto tricky = login_arguments(*wrap("kalvo://login/?u=bob&p=x&s=y&s=TRUE&a=true"));
    EXPECT_EQ(tricky->password, "x&s=y");
    EXPECT_FALSE(tricky->remember);
    EXPECT_TRUE(tricky->auto_login);
    EXPECT_FALSE(login_arguments(*wrap("kalvo://login/?u=&p=x&s=true&a=true")));
}

TEST(CommandText, RepeatedParametersAreReadLikeAnyOtherText)
{
    // Texts that make a backtracking matcher give up: the groups are still the greedy ones.
    std::string repeated;
    while (repeated.size() < 8000)
        repeated += "u=a&p=b&s=true&a=true&";
    std::string text = *wrap("kalvo://login/?" + repeated + "x");
    ASSERT_EQ(parse(text)->name, "login");
    auto login = login_arguments(text);
    ASSERT_TRUE(login);
    EXPECT_EQ(login->user, "a");
    size_t last_s = repeated.rfind("&s=");
    EXPECT_EQ(login->password, repeated.substr(6, last_s - 6));
    EXPECT_EQ(*url_argument(text), repeated.substr(2) + "x");
    EXPECT_FALSE(menu_arguments(text));
    // No closing quote: nothing matches, however many openings.
    std::string open;
    while (open.size() < 100000)
        open += "/url \"kalvo://a/?u=b&p=c&s=d&a=e";
    EXPECT_FALSE(parse(open));
    EXPECT_FALSE(login_arguments(open));
}

TEST(CommandText, MenuTextAndUrlArguments)
{
    auto menu = menu_arguments(*wrap("kalvo://menu/?t=file&x=10&y=20"));
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->type, "file");
    EXPECT_EQ(menu->x, "10");
    EXPECT_EQ(menu->y, "20");
    EXPECT_EQ(*text_argument(*wrap("kalvo://toast/?s=Hello there")), "Hello there");
    EXPECT_EQ(*url_argument(*wrap("kalvo://info/?u=http://h/info.php?u=bob")), "http://h/info.php?u=bob");
    EXPECT_FALSE(menu_arguments(*wrap("kalvo://menu/?x=1&y=2")));
}

TEST(NavigationFilter, KalvoLinksAreDispatchedWithTheirEscapesUndoneOnce)
{
    bool permission = true;
    auto decision = decide_navigation("kalvo://show_tab/?My%20Calls", permission);
    EXPECT_EQ(decision.action, NavigationDecision::Action::Dispatch);
    EXPECT_EQ(decision.hook_text, "kalvo://show_tab/?My Calls");
    // As WebKit hands over what a page wrote: its own escapes kept, "<", '"' and "é" escaped.
    EXPECT_EQ(decide_navigation("kalvo://toast/?s=%3Cb%3E%22%C3%A9%22&%3C/b%3E%2541", permission).hook_text,
        "kalvo://toast/?s=<b>\"é\"&</b>%41");
    EXPECT_TRUE(permission); // a dispatched command does not use the permission
    EXPECT_EQ(decide_navigation("kalvo:call/?123", permission).action, NavigationDecision::Action::Dispatch);
}

TEST(NavigationFilter, PermissionIsOneShot)
{
    bool permission = true;
    auto first = decide_navigation("http://web/live/index.php", permission);
    EXPECT_EQ(first.action, NavigationDecision::Action::Allow);
    EXPECT_EQ(first.log.back(), "BeforeNavigate2");
    EXPECT_FALSE(permission);
    // A frame of the page raises its own navigation afterwards: cancelled.
    EXPECT_EQ(
        decide_navigation("http://web/frame.html", permission).action, NavigationDecision::Action::Cancel);
}

TEST(NavigationFilter, ScriptAndRegisterUrlsPassWithoutPermission)
{
    bool permission = false;
    auto script = decide_navigation("javascript:void(0)", permission);
    EXPECT_EQ(script.action, NavigationDecision::Action::Allow);
    EXPECT_EQ(script.log[1], "********** Javascript, let it through");
    EXPECT_FALSE(permission);
    auto reg = decide_navigation("https://secure/client/req/register.php?wizard=true", permission);
    EXPECT_EQ(reg.action, NavigationDecision::Action::Allow);
    EXPECT_EQ(reg.log[1], "********** On register page");
    EXPECT_EQ(decide_navigation("http://elsewhere/", permission).action, NavigationDecision::Action::Cancel);
}

} // namespace

namespace {

TEST(NavigationFilter, OnlyWindowLocationAssignmentsNeedPermission)
{
    EXPECT_TRUE(script_needs_permission("window.location.href='https://x/register.php'"));
    EXPECT_TRUE(script_needs_permission("window_location.href=1")); // "." is any character
    EXPECT_FALSE(script_needs_permission("location.href='x'"));
    EXPECT_FALSE(script_needs_permission(" window.location.href='x'"));
}

TEST(NavigationGate, APageGrantIsOneShotAndGrantingAgainReplacesIt)
{
    NavigationGate gate;
    gate.Grant();
    gate.Grant();
    EXPECT_EQ(gate.Decide("http://web/one.html", false).action, NavigationDecision::Action::Allow);
    EXPECT_EQ(gate.Decide("http://web/two.html", false).action, NavigationDecision::Action::Cancel);
    // A script's window.location.href grant used by a kalvo: command lets nothing else by.
    gate.Grant(true);
    EXPECT_EQ(gate.Decide("kalvo://call/?1", false).action, NavigationDecision::Action::Dispatch);
    EXPECT_EQ(gate.Decide("http://web/three.html", false).action, NavigationDecision::Action::Cancel);
}

TEST(NavigationGate, TheProgramsOwnNavigationsPassWithoutUsingThePagesGrant)
{
    NavigationGate gate;
    gate.ExpectProgramNavigation("http://Web.test:8080?x=1");
    gate.ExpectProgramNavigation("http://web.test/live/tab.php?s=My Calls");
    gate.Grant();
    // As WebKit reports them: host in lower case, "/" for an empty path, blanks escaped.
    EXPECT_EQ(gate.Decide("http://web.test:8080/?x=1", false).action, NavigationDecision::Action::Allow);
    EXPECT_EQ(gate.Decide("http://web.test/live/tab.php?s=My%20Calls", false).action,
        NavigationDecision::Action::Allow);
    EXPECT_TRUE(gate.granted());
    // Each passes until its load begins: asked again before then, and on a redirect.
    EXPECT_EQ(gate.Decide("http://web.test/live/tab.php?s=My%20Calls", false).action,
        NavigationDecision::Action::Allow);
    EXPECT_EQ(gate.Decide("http://web.test/live/tab.php?s=My%20Calls", true).action,
        NavigationDecision::Action::Allow);
    EXPECT_TRUE(gate.granted());
    gate.LoadBegan();
    EXPECT_EQ(gate.Decide("http://web.test/live/tab.php?s=My%20Calls", false).action,
        NavigationDecision::Action::Allow);
    EXPECT_FALSE(gate.granted()) << "after its load began it took the page's grant";
    EXPECT_EQ(gate.Decide("http://web.test:8080/?x=1", false).action, NavigationDecision::Action::Cancel)
        << "an older one is gone";
}

} // namespace

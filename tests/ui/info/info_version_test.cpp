#include <climits>
#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>

#include "log/log_dlg.h"
#include "settings/app_settings.h"
#include "support/test_paths.h"
#include "ui/info/info_keys.h"
#include "ui/info/info_version.h"

namespace {

int stored_version()
{
    AppSettings settings;
    settings.load();
    return settings.info_version;
}

TEST(InfoVersion, ShownOncePerNewerVersion)
{
    test_support::IsolatedUser user;
    LogDlg::instance().clear();
    EXPECT_TRUE(info_version::take("3", false));
    EXPECT_EQ(stored_version(), 3);
    EXPECT_NE(LogDlg::instance().text().find("Info dialog version is: 3"), std::string::npos);

    EXPECT_FALSE(info_version::take("3", false)); // the same version again
    EXPECT_FALSE(info_version::take("2", false)); // an older one
    EXPECT_EQ(stored_version(), 3);

    EXPECT_TRUE(info_version::take("4", false));
    EXPECT_EQ(stored_version(), 4);
}

TEST(InfoVersion, ReplyAskingForTheWindowShowsItWhateverTheVersion)
{
    test_support::IsolatedUser user;
    EXPECT_TRUE(info_version::take("5", false));
    EXPECT_TRUE(info_version::take("5", true));
    EXPECT_EQ(stored_version(), 5);
}

TEST(InfoVersion, TextsThatAreNoNumberCountAsZero)
{
    test_support::IsolatedUser user;
    EXPECT_FALSE(info_version::take("", false));
    EXPECT_FALSE(info_version::take("new", false));
    EXPECT_EQ(stored_version(), 0);
}

TEST(InfoVersion, ReadsTheLeadingNumberAndHoldsItToTheIntRange)
{
    EXPECT_EQ(info_version::parse("7"), 7);
    EXPECT_EQ(info_version::parse("  12 notices"), 12);
    EXPECT_EQ(info_version::parse("+8"), 8);
    EXPECT_EQ(info_version::parse("-4"), -4);
    EXPECT_EQ(info_version::parse("x9"), 0);
    EXPECT_EQ(info_version::parse("2147483647"), INT_MAX);
    EXPECT_EQ(info_version::parse("99999999999999999999999"), INT_MAX);
    EXPECT_EQ(info_version::parse("-99999999999999999999999"), INT_MIN);
}

TEST(InfoKeys, RefreshIsDroppedEscapeAndEnterCloseTheRestGoToThePage)
{
    EXPECT_EQ(info_key_action(GDK_KEY_F5), InfoKeyAction::Swallow);
    for (unsigned key : {GDK_KEY_Escape, GDK_KEY_Return, GDK_KEY_KP_Enter})
        EXPECT_EQ(info_key_action(key), InfoKeyAction::Hide) << key;
    for (unsigned key : {GDK_KEY_BackSpace, GDK_KEY_Delete, GDK_KEY_a, GDK_KEY_Tab, GDK_KEY_F4})
        EXPECT_EQ(info_key_action(key), InfoKeyAction::Page) << key;
}

} // namespace

#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/url_protocol.h"
#include "base/messages.h"
#include "ui/main/window_placement.h"
#include "ui/web/command_text.h"

namespace {

TEST(CommandLine, StartupSwitchMustEndTheLine)
{
    EXPECT_TRUE(command_line::is_startup_launch("/usr/bin/kalvo /startup"));
    EXPECT_TRUE(command_line::is_startup_launch("\"/opt/my apps/kalvo\" /startup"));
    EXPECT_FALSE(command_line::is_startup_launch("/usr/bin/kalvo /startup "));
    EXPECT_FALSE(command_line::is_startup_launch("/usr/bin/kalvo /startup /url \"kalvo://call/?1\""));
    EXPECT_FALSE(command_line::is_startup_launch("/startup"));
    EXPECT_FALSE(command_line::is_startup_launch("/usr/bin/kalvo"));
}

TEST(CommandLine, UrlArgumentIsQuotedAsTheDispatcherExpects)
{
    const char* argv[] = {"/usr/bin/kalvo", "/url", "kalvo://call/?555"};
    std::string text = command_line::build(3, argv);
    EXPECT_EQ(text, "/usr/bin/kalvo /url \"kalvo://call/?555\"");
    EXPECT_TRUE(command_text::has_url_command(text));

    const char* spaced[] = {"/opt/my apps/kalvo", "/startup"};
    EXPECT_EQ(command_line::build(2, spaced), "\"/opt/my apps/kalvo\" /startup");
    EXPECT_FALSE(command_text::has_url_command(command_line::build(2, spaced)));

    std::string unclosed = "/usr/bin/kalvo /url \"kalvo:" + std::string(100000, '/');
    EXPECT_FALSE(command_text::has_url_command(unclosed));
    EXPECT_TRUE(command_text::has_url_command(unclosed + "\""));
}

TEST(CommandLine, VersionAndHelpAreAnsweredOnlyAsTheFirstArgument)
{
    const char* version[] = {"kalvo", "--version"};
    EXPECT_EQ(command_line::information_request(2, version), "Kalvo 4.0.0.22\n");
    const char* help[] = {"kalvo", "--help"};
    std::optional<std::string> text = command_line::information_request(2, help);
    ASSERT_TRUE(text);
    for (const char* form : {"/url LINK", "/startup", "--version", "--help"})
        EXPECT_NE(text->find(form), std::string::npos) << form;

    const char* plain[] = {"kalvo"};
    EXPECT_FALSE(command_line::information_request(1, plain));
    const char* link[] = {"kalvo", "/url", "--help"};
    EXPECT_FALSE(command_line::information_request(3, link));
}

TEST(Messages, RegisteredNamesCarryTheApplicationGuid)
{
    EXPECT_EQ(messages::registered_name(messages::UWM_CALLSTATE_MSG),
        "UWM_CALLSTATE_MSG-{5A1D2E3F-7B6C-4e8d-9F0A-1B2C3D4E5F60}");
    EXPECT_EQ(
        messages::registered_name(messages::UWM_IS_ME), "UWM_IS_ME-{5A1D2E3F-7B6C-4e8d-9F0A-1B2C3D4E5F60}");
    EXPECT_EQ(messages::registered_name(messages::UWM_WIZ_DISABLEBUTTONS_MSG),
        "UWM_WIZ_DISABLEBUTTONS_MSG-{5A1D2E3F-7B6C-4e8d-9F0A-1B2C3D4E5F60}");
    EXPECT_EQ(messages::registered_name(messages::WM_TRAYICON), "WM_TRAYICON");
    EXPECT_EQ(messages::registered_name(messages::WM_CLOSE), "");
}

TEST(UrlProtocol, DesktopEntryStartsTheExecutableWithTheLink)
{
    std::string entry = url_protocol::desktop_entry("/home/u/kalvo \"dev\"/kalvo");
    // Written as the format reads it: the quote escaped inside the quotes, that backslash
    // doubled as every value's backslash is.
    EXPECT_NE(entry.find("Exec=\"/home/u/kalvo \\\\\"dev\\\\\"/kalvo\" /url %u\n"), std::string::npos);
    EXPECT_NE(entry.find("MimeType=x-scheme-handler/kalvo;\n"), std::string::npos);
}

TEST(UrlProtocol, DefaultHandlerIsSetKeepingOtherEntries)
{
    EXPECT_EQ(url_protocol::with_default_handler(""),
        "[Default Applications]\nx-scheme-handler/kalvo=kalvo-url-handler.desktop\n");

    std::string current =
        "[Default Applications]\ntext/html=firefox.desktop\nx-scheme-handler/kalvo=old.desktop\n"
        "[Added Associations]\nimage/png=eog.desktop\n";
    std::string updated = url_protocol::with_default_handler(current);
    EXPECT_EQ(updated,
        "[Default "
        "Applications]\ntext/html=firefox.desktop\nx-scheme-handler/kalvo=kalvo-url-handler.desktop\n"
        "[Added Associations]\nimage/png=eog.desktop\n");
    EXPECT_EQ(url_protocol::with_default_handler(updated), updated);

    std::string other_group_only = "[Added Associations]\nimage/png=eog.desktop\n";
    EXPECT_EQ(url_protocol::with_default_handler(other_group_only),
        "[Added Associations]\nimage/png=eog.desktop\n\n[Default "
        "Applications]\nx-scheme-handler/kalvo=kalvo-url-handler.desktop\n");
}

TEST(WindowPlacement, SavedPositionOnlyWhenInsideTheScreenAndNonZero)
{
    auto centred = initial_window_position(1024, 768, 0, 0);
    EXPECT_EQ(centred.x, 362);
    EXPECT_EQ(centred.y, 122);
    auto saved = initial_window_position(1024, 768, 40, 50);
    EXPECT_EQ(saved.x, 40);
    EXPECT_EQ(saved.y, 50);
    EXPECT_EQ(initial_window_position(1024, 768, 0, 100).x, 362);
    EXPECT_EQ(initial_window_position(1024, 768, 1025, 100).x, 362);
    EXPECT_EQ(initial_window_position(1024, 768, 100, 769).y, 122);
    EXPECT_EQ(initial_window_position(1024, 768, -5, 100).x, 362);
    EXPECT_EQ(initial_window_position(1024, 768, 1024, 768).x, 1024);
}

} // namespace

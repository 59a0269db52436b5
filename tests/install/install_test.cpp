// Installs the built program as a user (`cmake --install`) and as the Debian package does,
// and checks that the desktop and the program find everything where they look for it.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

#include "settings/app_settings.h"
#include "settings/registry.h"
#include "support/child_process.h"
#include "support/desktop_entry_reader.h"
#include "support/display.h"
#include "support/test_paths.h"

namespace {

namespace fs = std::filesystem;
using test_support::run_command;
using test_support::shell_quote;
using testing::ElementsAre;
using testing::HasSubstr;

// Where the desktop and the program look, relative to the prefix.
const char* const kInstalledFiles[] = {"bin/kalvo", "lib/kalvo/libkalvo-program.so",
    "lib/kalvo/libkalvo-splash.so", "share/kalvo/Skins/Kalvo/skin.xml",
    "share/kalvo/Skins/Kalvo/splash.png", "share/kalvo/Skins/Kalvo/login.html",
    "share/kalvo/sounds/ringtone.wav", "share/applications/kalvo.desktop",
    "share/metainfo/net.kalvo.Kalvo.metainfo.xml", "share/icons/hicolor/scalable/apps/kalvo.svg",
    "share/icons/hicolor/16x16/apps/kalvo.png", "share/icons/hicolor/32x32/apps/kalvo.png",
    "share/icons/hicolor/48x48/apps/kalvo.png", "share/icons/hicolor/256x256/apps/kalvo.png"};

void expect_installed_layout(const std::string& prefix)
{
    for (const char* file : kInstalledFiles)
        EXPECT_TRUE(fs::is_regular_file(prefix + "/" + file)) << file;
    EXPECT_EQ(::access((prefix + "/bin/kalvo").c_str(), X_OK), 0);
    // The skin images' sources are not part of an installation.
    EXPECT_FALSE(fs::exists(prefix + "/share/kalvo/Skins/Kalvo/src"));
}

// The desktop entry as the desktop reads it: `executable` started with /url and the link.
void expect_link_handler_entry(const std::string& entry, const std::string& executable)
{
    EXPECT_THAT(test_support::desktop_exec_arguments(entry), ElementsAre(executable, "/url", "%u"));
    EXPECT_EQ(test_support::desktop_entry_value(entry, "MimeType"), "x-scheme-handler/kalvo;");
}

// Runs an installed program with no KALVO_* variable and a fresh user, and checks the
// folders it chose: skins from its own prefix, the link handler pointing at itself.
void expect_runs_from(const std::string& prefix, const std::string& executable)
{
    test_support::IsolatedUser user;
    const char* const unset[] = {"KALVO_SKINS_DIR", "KALVO_DEPLOYMENT"};
    std::string saved[2];
    for (int i = 0; i < 2; ++i) {
        saved[i] = std::getenv(unset[i]) ? std::getenv(unset[i]) : "";
        ::unsetenv(unset[i]);
    }
    {
        test_support::ChildProcess kalvo({executable});
        registry_string skins(settings_path("Skins Directory"));
        // The skin is loaded once the window is up; the folder is stored then.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!skins.exists() && kalvo.running() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(skins.get(), prefix + "/share/kalvo/Skins");
        expect_link_handler_entry(
            user.home() + "/.local/share/applications/kalvo-url-handler.desktop", executable);
        EXPECT_EQ(kalvo.terminate(), 0);
    }
    for (int i = 0; i < 2; ++i)
        if (!saved[i].empty())
            ::setenv(unset[i], saved[i].c_str(), 1);
}

class CMakeInstall : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_scratch = new test_support::TempDir;
        // A blank in the prefix: every generated path must survive it.
        s_prefix = s_scratch->path() + "/my prefix";
        s_status = run_command(shell_quote(KALVO_CMAKE) + " --install " + shell_quote(KALVO_BINARY_DIR) +
                " --prefix " + shell_quote(s_prefix),
            &s_output);
    }
    static void TearDownTestSuite()
    {
        delete s_scratch;
        s_scratch = nullptr;
    }
    void SetUp() override { ASSERT_EQ(s_status, 0) << s_output; }

    static std::string file(const std::string& name) { return s_prefix + "/" + name; }

    static test_support::TempDir* s_scratch;
    static std::string s_prefix;
    static int s_status;
    static std::string s_output;
};
test_support::TempDir* CMakeInstall::s_scratch = nullptr;
std::string CMakeInstall::s_prefix;
int CMakeInstall::s_status = -1;
std::string CMakeInstall::s_output;

TEST_F(CMakeInstall, PutsTheProgramItsDataAndTheDesktopFilesUnderThePrefix)
{
    expect_installed_layout(s_prefix);
    // A direct install refreshes the prefix's desktop database, so the link is handled.
    EXPECT_THAT(test_support::read_file(file("share/applications/mimeinfo.cache")),
        HasSubstr("x-scheme-handler/kalvo=kalvo.desktop;"));
}

TEST_F(CMakeInstall, DesktopEntryStartsTheInstalledProgramWithTheLink)
{
    const std::string entry = file("share/applications/kalvo.desktop");
    expect_link_handler_entry(entry, file("bin/kalvo"));
    EXPECT_EQ(test_support::desktop_entry_value(entry, "Categories"), "Network;Telephony;");
    EXPECT_EQ(test_support::desktop_entry_value(entry, "Icon"), "kalvo");
    std::string output;
    EXPECT_EQ(run_command("desktop-file-validate " + shell_quote(entry), &output), 0) << output;
    EXPECT_EQ(output, "");
}

TEST_F(CMakeInstall, MetainfoValidatesAndNamesTheRelease)
{
    const std::string metainfo = file("share/metainfo/net.kalvo.Kalvo.metainfo.xml");
    std::string output;
    EXPECT_EQ(run_command("appstreamcli validate --no-net " + shell_quote(metainfo), &output), 0) << output;
    const std::string text = test_support::read_file(metainfo);
    EXPECT_THAT(text, HasSubstr("<release version=\"4.0.0.22\""));
    EXPECT_THAT(text, HasSubstr("<launchable type=\"desktop-id\">kalvo.desktop</launchable>"));
    EXPECT_THAT(text, HasSubstr("<screenshot type=\"default\">"));
}

TEST_F(CMakeInstall, InstalledProgramFindsItsFilesFromThePrefixAlone)
{
    if (!test_support::display_available())
        GTEST_SKIP() << "needs a display";
    expect_runs_from(s_prefix, file("bin/kalvo"));
}

// Builds the package with CPack into a scratch folder and unpacks it with dpkg -x.
TEST(DebianPackage, InstallsUnderUsrWithTheLibrariesItUsesAsDependencies)
{
    test_support::TempDir scratch;
    std::string output;
    ASSERT_EQ(run_command("cd " + shell_quote(KALVO_BINARY_DIR) + " && " + shell_quote(KALVO_CPACK) +
                      " -G DEB -B " + shell_quote(scratch.path()),
                  &output),
        0)
        << output;
    const std::string package = scratch.file("kalvo_4.0.0.22_amd64.deb");
    ASSERT_TRUE(fs::exists(package)) << output;

    ASSERT_EQ(run_command("dpkg-deb -f " + shell_quote(package) + " Depends", &output), 0) << output;
    for (const char* library : {"libgtkmm-3.0-1v5", "libwebkit2gtk-4.1-0", "liblinphone", "libcurl4"})
        EXPECT_THAT(output, HasSubstr(library));

    const std::string root = scratch.file("root");
    ASSERT_EQ(run_command("dpkg -x " + shell_quote(package) + " " + shell_quote(root), &output), 0) << output;
    expect_installed_layout(root + "/usr");
    expect_link_handler_entry(root + "/usr/share/applications/kalvo.desktop", "/usr/bin/kalvo");
    // The system's package triggers build the desktop's caches; the package ships none.
    EXPECT_FALSE(fs::exists(root + "/usr/share/applications/mimeinfo.cache"));
    EXPECT_FALSE(fs::exists(root + "/usr/share/icons/hicolor/icon-theme.cache"));

    ASSERT_EQ(run_command(shell_quote(root + "/usr/bin/kalvo") + " --version", &output), 0);
    EXPECT_EQ(output, "Kalvo 4.0.0.22\n");
    if (test_support::display_available())
        expect_runs_from(root + "/usr", root + "/usr/bin/kalvo");
}

} // namespace

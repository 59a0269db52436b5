// The real program started with hostile skins, stored records and links: it keeps running,
// or, when its skin cannot be loaded, ends with a message box naming the file and the
// fault; the stored record stays readable.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "settings/registry_store.h"
#include "support/child_process.h"
#include "support/display.h"
#include "support/skin_files.h"
#include "support/stored_record.h"
#include "support/test_paths.h"
#include "support/xdotool.h"

namespace {

namespace fs = std::filesystem;
using test_support::ChildProcess;

enum class Outcome { Runs, StopsWithMessage, Neither };

class ProgramFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test_support::display_available())
            GTEST_SKIP() << "needs a display";
        fs::copy(fs::path(KALVO_SOURCE_DIR) / "skins", m_skins.path(), fs::copy_options::recursive);
    }

    std::string skin_file(const std::string& name) const { return m_skins.path() + "/Kalvo/" + name; }
    std::string log_file() const { return m_user.home() + "/.local/share/kalvo/kalvo.log"; }
    std::string log() const { return test_support::read_file(log_file()); }

    // The program on the test's skins.
    std::unique_ptr<ChildProcess> launch(const std::vector<std::string>& arguments = {})
    {
        const char* packaged = std::getenv("KALVO_SKINS_DIR");
        std::string saved = packaged ? packaged : "";
        ::setenv("KALVO_SKINS_DIR", m_skins.path().c_str(), 1);
        std::vector<std::string> command{test_support::built_program("kalvo")};
        command.insert(command.end(), arguments.begin(), arguments.end());
        auto kalvo = std::make_unique<ChildProcess>(command);
        packaged ? ::setenv("KALVO_SKINS_DIR", saved.c_str(), 1) : ::unsetenv("KALVO_SKINS_DIR");
        return kalvo;
    }

    // Starts the program and waits for a window named "Kalvo" (the main window, or the
    // message box of a start that stops).
    Outcome start()
    {
        auto kalvo = launch();
        std::string window;
        for (int i = 0; i < 600 && window.empty() && kalvo->running(); ++i) {
            window = test_support::xdotool("search --onlyvisible --name '^Kalvo$'");
            if (window.empty())
                ::usleep(100 * 1000);
        }
        if (window.empty())
            return Outcome::Neither;
        // The splash comes first; a start that stops says so while it shows, a start that
        // goes on never does (the wait is also the time to fail late, for a start that would).
        const std::string stop =
            "SKIN - Kalvo stops: its skin could not be loaded: " + skin_file("skin.xml") + ": ";
        if (test_support::wait_for_text(log_file(), stop, 3000).find(stop) != std::string::npos) {
            // The message box is one of the windows named "Kalvo": Return answers it.
            for (int attempt = 0; attempt < 10 && kalvo->running(); ++attempt) {
                std::string ids = test_support::xdotool("search --onlyvisible --name '^Kalvo$'");
                for (size_t at = 0; at < ids.size() && kalvo->running();) {
                    size_t end = ids.find('\n', at);
                    test_support::press_in(ids.substr(at, end - at), "Return");
                    at = end == std::string::npos ? ids.size() : end + 1;
                }
                kalvo->wait_for_exit(1000);
            }
            return kalvo->wait_for_exit(10000) == 1 ? Outcome::StopsWithMessage : Outcome::Neither;
        }
        if (!kalvo->running())
            return Outcome::Neither;
        return kalvo->terminate() == 0 ? Outcome::Runs : Outcome::Neither;
    }

    void edit_description(const std::regex& pattern, const std::string& replacement)
    {
        std::string text = test_support::read_file(skin_file("skin.xml"));
        test_support::write_file(skin_file("skin.xml"), std::regex_replace(text, pattern, replacement));
    }

    test_support::IsolatedUser m_user;
    test_support::TempDir m_skins;
};

TEST_F(ProgramFaults, TruncatedDescriptionStopsWithItsFault)
{
    std::string text = test_support::read_file(skin_file("skin.xml"));
    test_support::write_file(skin_file("skin.xml"), text.substr(0, text.size() / 2));
    EXPECT_EQ(start(), Outcome::StopsWithMessage) << log();
}

TEST_F(ProgramFaults, HugeAndNegativeNumbersStillStart)
{
    edit_description(std::regex(R"re((width|x)="[0-9]+")re"), "$1=\"2147483647\"");
    edit_description(std::regex(R"re((height|y)="[0-9]+")re"), "$1=\"-2147483648\"");
    EXPECT_EQ(start(), Outcome::Runs) << log();
}

TEST_F(ProgramFaults, MissingOrHugeBackgroundStopsWithItsFault)
{
    fs::remove(skin_file("main.png"));
    EXPECT_EQ(start(), Outcome::StopsWithMessage) << log();
    test_support::write_png(skin_file("main.png"), 40000, 1, 0xFF336699);
    EXPECT_EQ(start(), Outcome::StopsWithMessage) << log();
    EXPECT_NE(log().find("more than 8192 a side"), std::string::npos);
}

TEST_F(ProgramFaults, ImagesOutsideTheFolderOrNotFilesAreLeftOut)
{
    edit_description(std::regex(R"re(img="btn_account\.png")re"), "img=\"../../../../../etc/passwd\"");
    fs::remove(skin_file("btn_settings.png"));
    ASSERT_EQ(::mkfifo(skin_file("btn_settings.png").c_str(), 0600), 0);
    EXPECT_EQ(start(), Outcome::Runs) << log();
    EXPECT_NE(log().find("not a regular file"), std::string::npos) << log();
}

TEST_F(ProgramFaults, UnreadableStoredRecordsStartWithDefaults)
{
    const std::string record = "[Software\\Kalvo]\nusername=alice\nremember_user=1\nshown_wizard=1\n";
    struct Case {
        const char* name;
        std::string content; // empty: a folder in the file's place
        bool account_kept;
    } cases[] = {
        {"truncated", record + "quality=", true},
        {"wrong types", record + "quality=many\nauto_start=perhaps\nwindow_x=1e99\n", true},
        {"binary", std::string("\x00\x01\xff\xfe[\x80", 6) + record, false},
        {"a folder", "", false},
        {"50 MB", record + "#" + std::string(50 << 20, 'x') + "\n", false},
    };
    for (const Case& c : cases) {
        fs::remove_all(registry_store::file_path());
        fs::create_directories(fs::path(registry_store::file_path()).parent_path());
        if (c.content.empty())
            fs::create_directory(registry_store::file_path());
        else
            test_support::write_file(registry_store::file_path(), c.content);
        EXPECT_EQ(start(), Outcome::Runs) << c.name << "\n" << log();
        auto record = test_support::stored_record();
        EXPECT_TRUE(record) << c.name << ": registry.ini does not parse";
        if (record && c.account_kept) {
            EXPECT_EQ((*record)["username"], "alice") << c.name;
        }
    }
}

TEST_F(ProgramFaults, AHundredKilobyteLinkIsRefusedAtTheFirstStartAndFromALaterOne)
{
    std::string link = "kalvo://login/?";
    while (link.size() < 100 * 1024)
        link += "u=alice&p=wonderland&s=true&a=true&";
    const std::string first = "HOOK - Command text refused: ";
    const std::string later = "INSTANCE - Command line from a later start refused: ";

    auto kalvo = launch({"/url", link});
    EXPECT_TRUE(test_support::holds(test_support::wait_for_text(log_file(), first, 20000), first)) << log();
    EXPECT_EQ(launch({"/url", link})->wait_for_exit(10000), 1);
    EXPECT_TRUE(test_support::holds(test_support::wait_for_text(log_file(), later, 10000), later)) << log();
    EXPECT_EQ(kalvo->terminate(), 0) << "the program carries on";
}

} // namespace

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <mutex>

#include "base/messages.h"
#include "settings/app_settings.h"
#include "support/display.h"
#include "support/http_test_server.h"
#include "support/test_paths.h"
#include "telephony/call_manager.h"
#include "ui/dialogs/message_box.h"
#include "ui/options/options_sheet.h"
#include "ui/wizard/audio_device_lists.h"
#include "ui/wizard/options_wizard.h"
#include "ui/wizard/wizard_texts.h"

namespace {

using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;
using testing::Not;

// The service's two account requests, answered from whatever a test sets. The deployment
// is read once per process, so one server serves every test of this program.
struct FakeService {
    std::mutex mutex;
    std::string username_reply = "VALID";
    std::string account_type = "pro";
    test_support::TempDir folder;
    test_support::HttpTestServer server;

    FakeService()
    {
        server.server().Get(
            "/client/req/check_username.php", [this](const httplib::Request&, httplib::Response& response) {
                std::lock_guard lock(mutex);
                response.set_content(username_reply, "text/plain");
            });
        server.server().Get(
            "/client/req/check_version.php", [this](const httplib::Request&, httplib::Response& response) {
                std::lock_guard lock(mutex);
                response.set_content(
                    "ok\n4, 0, 0, 22\n\n1\nfalse\n" + account_type + "\ndetails\n", "text/plain");
            });
        const std::string ini = folder.file("deployment.ini");
        test_support::write_file(ini, "[service]\nweb_http=" + server.base_url() + "\n");
        setenv("KALVO_DEPLOYMENT", ini.c_str(), 1);
    }
    void answer(const std::string& username, const std::string& type)
    {
        std::lock_guard lock(mutex);
        username_reply = username;
        account_type = type;
    }
};

FakeService& service()
{
    static FakeService instance;
    return instance;
}

class WizardWindowsTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (!test_support::display_available())
            GTEST_SKIP() << "no display";
        service().answer("VALID", "pro");
        set_message_box_handler([this](const MessageBoxRequest& box) {
            m_boxes.push_back(box.caption);
            return Gtk::RESPONSE_OK;
        });
    }
    void TearDown() override { set_message_box_handler({}); }

    static AppSettings stored()
    {
        AppSettings settings;
        settings.load();
        return settings;
    }

    test_support::IsolatedUser m_user;
    std::vector<std::string> m_boxes;
};

TEST_F(WizardWindowsTest, AccountPageChecksTheAccountBeforeGoingOn)
{
    COptionsWizard wizard;
    ASSERT_TRUE(wizard.initialise());
    wizard.show();
    EXPECT_EQ(wizard.get_title(), wizard_texts::kTitle);
    EXPECT_TRUE(wizard.intro_page().have_account_radio().get_active());
    EXPECT_FALSE(wizard.back_button().get_sensitive());
    EXPECT_TRUE(wizard.next_button().get_sensitive());

    wizard.intro_page().username_edit().set_text("alice");
    wizard.go_next();
    EXPECT_THAT(m_boxes, ElementsAre("Error"));
    EXPECT_EQ(wizard.current_page(), 0);
    EXPECT_EQ(stored().username, "alice");

    service().answer("VALID\n", "pro");
    wizard.intro_page().password_edit().set_text("secret");
    wizard.go_next();
    EXPECT_THAT(m_boxes, ElementsAre("Error", "Invalid username or password"));
    EXPECT_EQ(wizard.current_page(), 0);

    service().answer("VALID", "pro");
    wizard.go_next();
    EXPECT_EQ(wizard.current_page(), 1);
    EXPECT_EQ(stored().password, "secret");
    EXPECT_TRUE(wizard.back_button().get_sensitive());
    EXPECT_THAT(wizard.audio_page().header_label().text(), HasSubstr("<b>Audio options</b>"));

    wizard.go_next();
    EXPECT_EQ(wizard.current_page(), 2);
    EXPECT_TRUE(wizard.finish_button().get_visible());
    EXPECT_FALSE(wizard.finish_button().get_sensitive());
    EXPECT_FALSE(wizard.next_button().get_visible());
}

TEST_F(WizardWindowsTest, SignUpClosesTheWizardWithoutStoringTheAccount)
{
    COptionsWizard wizard;
    ASSERT_TRUE(wizard.initialise());
    bool register_page_shown = false;
    auto connection = CallManager::instance().show_register_page.connect([&] { register_page_shown = true; });
    wizard.intro_page().signup_radio().set_active(true);
    wizard.intro_page().username_edit().set_text("bob");
    test_support::when_modal([&] { wizard.go_next(); });
    EXPECT_EQ(wizard.run_wizard(), kWizardNotRun);
    connection.disconnect();
    EXPECT_TRUE(register_page_shown);
    EXPECT_THAT(m_boxes, ElementsAre("The wizard will close"));
    EXPECT_EQ(stored().username, "");
}

TEST_F(WizardWindowsTest, EchoTestWalksThroughItsStepsToYes)
{
    COptionsWizard wizard;
    ASSERT_TRUE(wizard.initialise());
    CWizEchoPage& echo = wizard.echo_page();
    EXPECT_EQ(CallManager::instance().m_echo_page, &echo);
    EXPECT_FALSE(echo.yes_button().get_sensitive());

    // Not testing yet: events are ignored.
    wiz_echo_event(21000, 0);
    EXPECT_THAT(echo.steps_label().text(), Not(HasSubstr("In progress")));

    echo.call_button().clicked();
    EXPECT_TRUE(EchoTestState::instance().in_test);
    EXPECT_EQ(echo.call_button().get_label(), wizard_texts::kCancelTest);
    EXPECT_TRUE(echo.timers().is_armed(CWizEchoPage::kRegistrationTimer));
    EXPECT_THAT(echo.icons_label().text(), HasSubstr("RES:wizard_2.png"));

    wiz_echo_event(21000, 0);
    EXPECT_FALSE(echo.timers().is_armed(CWizEchoPage::kRegistrationTimer));
    EXPECT_THAT(echo.icons_label().text(), HasSubstr("RES:wizard_3.png"));
    EXPECT_EQ(CallManager::instance().m_echo_text1, echo.icons_label().text());

    echo.yes_button().set_sensitive(false);
    wiz_echo_event(4000, 1);
    EXPECT_THAT(echo.icons_label().text(), HasSubstr("RES:wizard_4.png"));
    EXPECT_TRUE(echo.timers().is_armed(CWizEchoPage::kLevelTimer));
    ASSERT_TRUE(test_support::run_loop_until([&] { return echo.yes_button().get_sensitive(); }));

    // Without a call the levels read silence: empty bars.
    echo.on_timer(CWizEchoPage::kLevelTimer);
    EXPECT_EQ(echo.microphone_bar().get_value(), 0);

    echo.yes_button().clicked();
    EXPECT_FALSE(EchoTestState::instance().in_test);
    EXPECT_THAT(echo.steps_label().text(), Not(HasSubstr("Pending")));
    EXPECT_FALSE(echo.timers().is_armed(CWizEchoPage::kLevelTimer));
    EXPECT_FALSE(echo.yes_button().get_sensitive());
    EXPECT_TRUE(wizard.finish_button().get_sensitive());
    EXPECT_EQ(echo.call_button().get_label(), wizard_texts::kStartTest);

    wizard.finish();
    const AppSettings settings = stored();
    EXPECT_TRUE(settings.shown_wizard);
    EXPECT_TRUE(settings.remember_user);
    EXPECT_TRUE(settings.auto_login);
}

TEST_F(WizardWindowsTest, EchoTestFailuresShowTheirMessages)
{
    COptionsWizard wizard;
    ASSERT_TRUE(wizard.initialise());
    CWizEchoPage& echo = wizard.echo_page();

    echo.call_button().clicked();
    wiz_echo_event(24000, 0);
    EXPECT_THAT(m_boxes, ElementsAre("Invalid username or password"));
    EXPECT_THAT(echo.icons_label().text(), HasSubstr("RES:wizard_2_error.png"));
    // The refused registration leaves the test running until it is cancelled.
    EXPECT_TRUE(EchoTestState::instance().in_test);
    echo.call_button().clicked();
    EXPECT_FALSE(EchoTestState::instance().in_test);
    EXPECT_THAT(echo.icons_label().text(), HasSubstr("RES:wizard_1_disabled.png"));

    echo.call_button().clicked();
    echo.on_timer(CWizEchoPage::kRegistrationTimer);
    EXPECT_THAT(m_boxes, ElementsAre("Invalid username or password", "Connection timeout"));
    EXPECT_EQ(echo.call_button().get_label(), wizard_texts::kPlaceCall);
    EXPECT_FALSE(EchoTestState::instance().in_test);
    EXPECT_TRUE(wizard.finish_button().get_sensitive());

    echo.call_button().clicked();
    wiz_echo_event(4000, 1);
    echo.no_button().clicked();
    EXPECT_EQ(m_boxes.back(), "Audio test failed");
    EXPECT_THAT(echo.steps_label().text(), HasSubstr("<b>Failed</b>"));
}

TEST_F(WizardWindowsTest, WizardLogsItsOwnEventMessages)
{
    COptionsWizard wizard;
    ui_thread::send(&wizard, messages::UWM_WIZ_CALLSTATE_MSG);
    ui_thread::send(&wizard.echo_page(), messages::UWM_WIZ_ENABLEBUTTONS_MSG);
    EXPECT_TRUE(wizard.echo_page().no_button().get_sensitive());
    ui_thread::send(&wizard.echo_page(), messages::UWM_WIZ_DISABLEBUTTONS_MSG);
    EXPECT_FALSE(wizard.echo_page().no_button().get_sensitive());
}

TEST_F(WizardWindowsTest, QualityAboveThreeSnapsBackForNonProAccounts)
{
    service().answer("VALID", "basic");
    AppSettings settings;
    settings.load();
    settings.quality = 5;
    COptionsSheet sheet;
    sheet.load(settings);
    sheet.show();
    sheet.notebook().set_current_page(1);
    CAudioOptsPage& audio = sheet.audio_page();
    ASSERT_TRUE(audio.initialised());
    EXPECT_EQ(audio.account_type(), "basic");
    EXPECT_EQ(audio.quality_slider().get_value(), 3);
    EXPECT_THAT(m_boxes, IsEmpty());
    EXPECT_THAT(audio.pro_banner().text(), HasSubstr("Kalvo Pro only"));

    audio.quality_slider().set_value(2);
    EXPECT_THAT(m_boxes, IsEmpty());
    audio.quality_slider().set_value(4);
    EXPECT_EQ(audio.quality_slider().get_value(), 3);
    EXPECT_THAT(m_boxes, ElementsAre("Kalvo Pro only"));

    sheet.apply_pages();
    EXPECT_EQ(audio.settings().quality, 3);
}

TEST_F(WizardWindowsTest, ProAccountsKeepTheWholeRange)
{
    AppSettings settings;
    settings.load();
    settings.quality = 5;
    COptionsSheet sheet;
    sheet.load(settings);
    sheet.notebook().set_current_page(1);
    EXPECT_EQ(sheet.audio_page().quality_slider().get_value(), 5);
    sheet.audio_page().quality_slider().set_value(4);
    EXPECT_THAT(m_boxes, IsEmpty());
}

TEST_F(WizardWindowsTest, AccountPageOffersMinimizeOnlyWithAutomaticLogin)
{
    AppSettings settings;
    settings.load();
    settings.auto_login = true;
    settings.start_minimized = true;
    COptionsSheet sheet;
    sheet.load(settings);
    CAccountOptsPage& account = sheet.account_page();
    EXPECT_TRUE(account.start_minimized_check().get_sensitive());
    EXPECT_TRUE(account.start_minimized_check().get_active());
    account.auto_login_check().set_active(false);
    EXPECT_FALSE(account.start_minimized_check().get_sensitive());
    EXPECT_FALSE(account.start_minimized_check().get_active());
}

TEST_F(WizardWindowsTest, SheetStoresOnlyOnOk)
{
    {
        AppSettings settings;
        settings.load();
        settings.username = "carol";
        settings.quality = 4;
        settings.save();
    }
    {
        COptionsSheet sheet;
        test_support::when_modal([&] {
            sheet.account_page().username_edit().set_text("edited");
            sheet.response(Gtk::RESPONSE_CANCEL);
        });
        EXPECT_EQ(sheet.run_sheet(nullptr), Gtk::RESPONSE_CANCEL);
        EXPECT_EQ(stored().username, "carol");
    }
    {
        // OK without opening the audio page: devices and quality unchanged, no restart note.
        COptionsSheet sheet;
        test_support::when_modal([&] {
            sheet.account_page().username_edit().set_text("dave");
            sheet.response(Gtk::RESPONSE_OK);
        });
        EXPECT_EQ(sheet.run_sheet(nullptr), Gtk::RESPONSE_OK);
        EXPECT_EQ(stored().username, "dave");
        EXPECT_EQ(stored().quality, 4);
        EXPECT_THAT(m_boxes, IsEmpty());
    }
}

} // namespace

namespace {

TEST(DeviceLists, StoredIndexPastTheNamesSelectsTheFirstAndEmptyListsKeepTheStoredIndex)
{
    if (!test_support::display_available())
        GTEST_SKIP() << "no display";
    Gtk::ComboBoxText list;
    fill_device_list(list, {"a", "b", "c"}, 2);
    EXPECT_EQ(selected_device(list, 9), 2);
    fill_device_list(list, {"a", "b", "c"}, 3);
    EXPECT_EQ(list.get_active_text(), "a");
    fill_device_list(list, {}, 1);
    EXPECT_EQ(selected_device(list, 1), 1);
}

} // namespace

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/messages.h"
#include "net/login_thread.h"
#include "support/http_test_server.h"
#include "support/log_capture.h"
#include "support/main_loop.h"
#include "support/test_account.h"
#include "support/test_certificates.h"
#include "support/test_paths.h"

namespace {

using test_support::run_main_loop_until;
using ::testing::ElementsAre;

// The main window as the login thread sees it: records each message and the address
// text of UWM_DO_UPDATE_MSG.
struct MainWindowStandIn : ui_thread::MessageTarget {
    std::vector<ui_thread::Message> messages;
    std::string update_address;

    ui_thread::Result handle_message(ui_thread::Message message, ui_thread::WParam, ui_thread::LParam) override
    {
        messages.push_back(message);
        return 0;
    }
    ui_thread::Result handle_text_message(ui_thread::Message message, const std::string& text) override
    {
        messages.push_back(message);
        if (message == messages::UWM_DO_UPDATE_MSG)
            update_address = text;
        return 0;
    }
};

class LoginThreadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui_thread::init();
        test_support::store_test_account("alice", "pw");
        m_server.server().Get(
            "/live/check_version.php", [this](const httplib::Request& request, httplib::Response& response) {
                m_asked_user = request.get_param_value("u");
                response.set_content(m_reply, "text/plain");
            });
        m_deployment.secure_https = m_server.base_url();
        m_deployment.ca_file = m_certificates.ca_file;
    }

    // Runs one attempt on its own thread and waits for its one message.
    ui_thread::Message attempt(const std::string& reply, const std::string& local_version = "4, 0, 0, 22")
    {
        m_reply = reply;
        login_thread::start({&m_window, m_values, m_deployment, local_version});
        EXPECT_TRUE(run_main_loop_until([&] { return !m_window.messages.empty(); }, 15000));
        return m_window.messages.empty() ? 0 : m_window.messages.front();
    }

    test_support::LogCapture m_log;
    test_support::TempDir m_folder;
    test_support::TestCertificates m_certificates = test_support::make_test_certificates(m_folder.path());
    test_support::HttpTestServer m_server{"127.0.0.1", m_certificates};
    Deployment m_deployment;
    std::string m_reply;
    std::string m_asked_user;
    MainWindowStandIn m_window;
    std::shared_ptr<LoginReplyValues> m_values = std::make_shared<LoginReplyValues>();
};

TEST_F(LoginThreadTest, SameVersionStoresTheValuesAndPostsTheLogin)
{
    ASSERT_EQ(attempt("ok\n4, 0, 0, 22\nhttps://x/setup\n7\nTrue\npro\nPro account\nproxy.example:5070"),
        messages::UWM_LOGIN_MSG);
    EXPECT_EQ(m_asked_user, "alice");

    LoginValues values = m_values->get();
    EXPECT_EQ(values.info_version, "7");
    EXPECT_FALSE(values.show_info) << "only \"true\" exactly forces the information window";
    EXPECT_EQ(values.account_type, "pro");
    EXPECT_EQ(values.account_details, "Pro account");
    EXPECT_EQ(values.outbound_proxy, "proxy.example:5070");

    EXPECT_THAT(m_log.file_lines(),
        ElementsAre("LOGIN - Username is alice", "LOGIN - Got version information",
            "LOGIN - Local version is 4, 0, 0, 22"));
    EXPECT_THAT(m_log.window_messages(),
        ElementsAre("ok", "4, 0, 0, 22", "https://x/setup", "7", "True", "pro", "Pro account",
            "Version is up to date, logging in"));
}

TEST_F(LoginThreadTest, NewerServiceVersionAsksForTheUpdateWithLineThree)
{
    ASSERT_EQ(attempt("ok\n4.0.0.23\nhttps://secure.test/kalvo-setup\n1\ntrue\nbasic\nBasic\n"),
        messages::UWM_DO_UPDATE_MSG);
    EXPECT_EQ(m_window.update_address, "https://secure.test/kalvo-setup");
    EXPECT_TRUE(m_values->get().show_info);
    EXPECT_EQ(m_values->get().outbound_proxy, "");
    EXPECT_EQ(m_log.window_messages().back(), "Our version is old");
}

TEST_F(LoginThreadTest, VersionWithoutSeparatorNeverAsksForAnUpdate)
{
    EXPECT_EQ(attempt("ok\n99\nhttps://x/setup\n1\n\nbasic\n\n"), messages::UWM_LOGIN_MSG);
    // A build's own version text is what it compares by.
    m_window.messages.clear();
    EXPECT_EQ(attempt("ok\n4.0.0.22\n\n\n\n\n\n", local_product_version()), messages::UWM_LOGIN_MSG);
}

TEST_F(LoginThreadTest, AttemptsRunningAtOnceEachDeliverTheirOneMessage)
{
    m_reply = "ok\n4, 0, 0, 22\n\n3\nfalse\nbasic\nBasic\n";
    for (int i = 0; i < 4; ++i)
        login_thread::start({&m_window, m_values, m_deployment, "4, 0, 0, 22"});
    ASSERT_TRUE(run_main_loop_until([&] { return m_window.messages.size() == 4; }, 20000));
    EXPECT_THAT(m_window.messages, ::testing::Each(messages::UWM_LOGIN_MSG));
    EXPECT_EQ(m_values->get().info_version, "3");
}

TEST_F(LoginThreadTest, UnreachableServiceReportsNoConnection)
{
    m_deployment.secure_https = "https://127.0.0.1:1";
    ASSERT_EQ(attempt("unused"), messages::UWM_DO_CONNECTION_MSG);
    EXPECT_THAT(m_log.file_lines(),
        ElementsAre("LOGIN - Username is alice", "LOGIN - Error getting version information"));
    EXPECT_THAT(m_log.window_messages(), ::testing::IsEmpty());
}

TEST_F(LoginThreadTest, UntrustedCertificateIsAFailedCheck)
{
    m_deployment.ca_file.clear();
    EXPECT_EQ(attempt("ok\n4.0.0.23\nhttps://x/setup\n\n\n\n\n"), messages::UWM_DO_CONNECTION_MSG);
}

} // namespace

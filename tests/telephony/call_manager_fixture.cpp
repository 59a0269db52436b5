#include "call_manager_fixture.h"

#include "log/log_dlg.h"
#include "log/log_file.h"
#include "settings/app_settings.h"
#include "settings/deployment.h"
#include "settings/registry.h"

CallManagerTest::CallManagerTest()
    : m_manager([this] { return m_probed_address; }), m_domain(Deployment::get().sip_domain)
{
    fake_sipx::reset();
    LogDlg::instance().clear();
    // kalvo.log goes to the test's own folder, not the current one.
    registry_string(settings_path("install_path")).set(m_user.home());
    log_file::set_folder(m_user.home());
}

std::vector<std::string> CallManagerTest::log_lines()
{
    std::vector<std::string> lines;
    std::string text = LogDlg::instance().text();
    std::size_t start = 0;
    while ((start = text.find("\r\n", start)) != std::string::npos) {
        start += 2;
        std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    }
    return lines;
}

bool CallManagerTest::in_order(
    const std::vector<std::string>& lines, const std::vector<std::string>& expected)
{
    std::size_t next = 0;
    for (const std::string& line : lines) {
        if (next < expected.size() && line == expected[next])
            ++next;
    }
    return next == expected.size();
}

std::string CallManagerTest::log_file_text() const
{
    return test_support::read_file(log_file::file_in(log_file::folder()));
}

void CallManagerTest::sign_in()
{
    ASSERT_TRUE(m_manager.init());
    m_manager.login("alice", "secret");
    fake_sipx::state().calls.clear();
    LogDlg::instance().clear();
}

void CallManagerTest::place_a_call()
{
    sign_in();
    m_manager.place_call("bob");
    ASSERT_EQ(m_manager.current_call(), 7u);
    fake_sipx::state().calls.clear();
    LogDlg::instance().clear();
}

bool CallManagerTest::deliver(SIPX_EVENT_CATEGORY category, void* record)
{
    EXPECT_EQ(fake_sipx::state().user_data, &m_manager) << "init registered the callback";
    return CallManager::on_sipx_event(category, record, &m_manager);
}

bool CallManagerTest::call_event(SIPX_CALL call, SIPX_CALLSTATE_EVENT event, SIPX_CALLSTATE_CAUSE cause)
{
    SIPX_CALLSTATE_INFO info{};
    info.nSize = sizeof info;
    info.hCall = call;
    info.hLine = 3;
    info.event = event;
    info.cause = cause;
    info.szRemoteIdentity = "";
    return deliver(EVENT_CATEGORY_CALLSTATE, &info);
}

bool CallManagerTest::line_event(SIPX_LINESTATE_EVENT event)
{
    SIPX_LINESTATE_INFO info{};
    info.nSize = sizeof info;
    info.hLine = 3;
    info.event = event;
    return deliver(EVENT_CATEGORY_LINESTATE, &info);
}

bool CallManagerTest::notify(const void* content, std::size_t length)
{
    SIPX_NOTIFY_INFO info{};
    info.nSize = sizeof info;
    info.hSub = 11;
    info.szNotiferUserAgent = "";
    info.szContentType = "application/simple-message-summary";
    info.pContent = content;
    info.nContentLength = length;
    return deliver(EVENT_CATEGORY_NOTIFY, &info);
}

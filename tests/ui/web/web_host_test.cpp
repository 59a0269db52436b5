// The web host in a real web view: window.external from a page, ShowConfirm's answer,
// kalvo: links and the navigation filter.
#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>
#include <gtkmm.h>
#include <initializer_list>
#include <unistd.h>
#include <webkit2/webkit2.h>

#include "log/log_dlg.h"
#include "recording_actions.h"
#include "skin/definition.h"
#include "skin/skin_web.h"
#include "support/child_process.h"
#include "support/display.h"
#include "support/http_test_server.h"
#include "support/log_capture.h"
#include "support/null_external_host.h"
#include "support/test_paths.h"
#include "ui/toast/taskbar_notifier.h"
#include "ui/web/command_text.h"
#include "ui/web/external_methods.h"
#include "ui/web/web_host.h"

namespace {

using test_support::display_ready;
using test_support::wait_for;

class RecordingExternal : public test_support::NullExternalHost {
public:
    std::vector<std::string> calls;
    void SetUsername(const std::string& t) override { calls.push_back("SetUsername " + t); }
    bool ShowConfirm(const std::string& t) override
    {
        calls.push_back("ShowConfirm " + t);
        return true;
    }
    void SetTab(const std::string& t) override { calls.push_back("SetTab " + t); }
};

const char* const kPage = R"html(<html><head><script>
var seen = [];
function record(text) { seen.push(text); document.title = seen.join('|'); }
window.onload = function () {
  record('confirm=' + window.external.showconfirm('Sure?'));
  window.external.SETTAB(7).then(function () { record('settab'); });
  window.external.Nope(1).then(null, function (e) { record('nope rejected'); });
  window.external.SetUsername().then(null, function (e) { record('count rejected'); });
};
</script></head><body><a id="call" href="kalvo://call/?My%20Calls">call</a></body></html>)html";

TEST(WebHost, PagesReachTheProgramAndOnlyItsOwnNavigationsPass)
{
    if (!display_ready())
        GTEST_SKIP() << "no display";
    test_support::IsolatedUser user;
    test_support::TempDir dir;
    test_support::write_file(dir.file("page.html"), kPage);
    test_support::write_file(dir.file("other.html"), "<html><head><title>other</title></head></html>");

    Skin::Definition skin;
    skin.folder = dir.path();
    Skin::Element element;
    element.command = "content";
    Gtk::Window window;
    Skin::SkinWeb web(skin, element);
    web.set_size_request(300, 200);
    window.add(web);
    window.show_all();

    RecordingExternal external;
    WebHost::SetExternal(&external);
    std::vector<std::string> hooks;
    WebHost host(web, [&](const std::string& url) { hooks.push_back(url); });

    host.Navigate("file://" + dir.file("page.html"));
    auto title = [&] {
        const char* text = webkit_web_view_get_title(web.view());
        return std::string(text ? text : "");
    };
    EXPECT_TRUE(wait_for([&] { return title().find("count rejected") != std::string::npos; }, 8000))
        << title();
    EXPECT_NE(title().find("confirm=1"), std::string::npos) << title();
    EXPECT_NE(title().find("settab"), std::string::npos) << title();
    EXPECT_NE(title().find("nope rejected"), std::string::npos) << title();
    EXPECT_EQ(external.calls, (std::vector<std::string>{"ShowConfirm Sure?", "SetTab 7"}));

    // A kalvo: link is handed over, blanks restored, and the page stays.
    host.RunScript("document.getElementById('call').click()");
    EXPECT_TRUE(wait_for([&] { return !hooks.empty(); }));
    EXPECT_EQ(hooks, (std::vector<std::string>{"kalvo://call/?My Calls"}));

    // A sign-in link reaches the program whole but the log only masked.
    host.RunScript("window.location.href = 'kalvo://login/?u=ann&p=pa55word&s=true&a=false'");
    EXPECT_TRUE(wait_for([&] { return hooks.size() == 2; }, 8000));
    EXPECT_EQ(hooks.back(), "kalvo://login/?u=ann&p=pa55word&s=true&a=false");
    EXPECT_EQ(LogDlg::instance().text().find("pa55word"), std::string::npos);

    // The page cannot navigate itself; the program's window.location.href assignment can.
    std::string other = "file://" + dir.file("other.html");
    host.RunScript("location.href = '" + other + "'");
    wait_for([] { return false; }, 500);
    EXPECT_NE(std::string(webkit_web_view_get_uri(web.view())), other);
    host.RunScript("window.location.href = '" + other + "'");
    EXPECT_TRUE(wait_for([&] { return title() == "other"; }, 8000)) << title();
    WebHost::SetExternal(nullptr);
}

// A web element of one type, with its host, in a window of its own; its page's title.
struct Element {
    Element(Skin::Definition& skin, const std::string& type, WebHost::HookHandler hook = nullptr)
    {
        element.command = type;
        web = std::make_unique<Skin::SkinWeb>(skin, element);
        web->set_size_request(300, 200);
        window.add(*web);
        window.show_all();
        host = std::make_unique<WebHost>(*web, std::move(hook));
    }
    std::string title() const
    {
        const char* text = webkit_web_view_get_title(web->view());
        return text ? text : "";
    }
    std::string address() const { return host->CurrentAddress(); }

    Skin::Element element;
    Gtk::Window window;
    std::unique_ptr<Skin::SkinWeb> web;
    std::unique_ptr<WebHost> host;
};

// Reports in its title whether window.external is there and what a call straight to the
// program's handler gets.
const char* const kProbePage = R"html(<html><head><script>
var seen = 'external=' + typeof window.external;
try {
  window.webkit.messageHandlers.kalvoExternal.postMessage('SetUsername\u0001sintruder').then(
    function () { document.title = seen + ' posted'; }, function () { document.title = seen + ' refused'; });
} catch (e) { document.title = seen + ' no handler'; }
</script></head><body></body></html>)html";

TEST(WebHost, ForeignPagesFilesElsewhereAndOtherViewsHaveNoWindowExternal)
{
    if (!display_ready())
        GTEST_SKIP() << "no display";
    test_support::IsolatedUser user;
    test_support::TempDir skin_dir, elsewhere;
    test_support::write_file(skin_dir.file("probe.html"), kProbePage);
    test_support::write_file(elsewhere.file("probe.html"), kProbePage);
    test_support::HttpTestServer foreign("127.0.0.2");
    foreign.server().Get("/probe.html", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(kProbePage, "text/html");
    });
    RecordingExternal external;
    WebHost::SetExternal(&external);
    Skin::Definition skin;
    skin.folder = skin_dir.path();

    for (const char* type : {"content", "tab", "info"}) {
        Element view(skin, type);
        // The bridge's own views have the handler, which refuses what does not come from it.
        std::string answer = std::string(type) == "info" ? " no handler" : " refused";
        for (const std::string& page : {foreign.base_url() + "/probe.html",
                 "file://" + elsewhere.file("probe.html"), "file://" + skin_dir.file("probe.html")}) {
            if (std::string(type) != "info" && page.find(skin_dir.path()) != std::string::npos)
                continue; // the skin's own page in content and tab: the first test
            view.host->Navigate(page);
            EXPECT_TRUE(wait_for(
                [&] { return view.title().starts_with("external=") && view.address() == page; }, 8000))
                << type << " " << page << ": " << view.title();
            EXPECT_EQ(view.title(), "external=undefined" + answer) << type << " " << page;
        }
    }
    EXPECT_TRUE(external.calls.empty());
    EXPECT_NE(LogDlg::instance().text().find("window.external refused"), std::string::npos);
    WebHost::SetExternal(nullptr);
}

// Pages <name>.html in `dir` whose title is their name.
void write_titled_pages(const test_support::TempDir& dir, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        test_support::write_file(dir.file(std::string(name) + ".html"),
            std::string("<html><head><title>") + name + "</title></head></html>");
}

TEST(WebHost, APageGrantedOnceNavigatesOnceNotTwice)
{
    if (!display_ready())
        GTEST_SKIP() << "no display";
    test_support::IsolatedUser user;
    test_support::TempDir dir;
    write_titled_pages(dir, {"a", "b", "c"});
    Skin::Definition skin;
    skin.folder = dir.path();
    Element content(skin, "content");
    content.host->Navigate("file://" + dir.file("a.html"));
    ASSERT_TRUE(wait_for([&] { return content.title() == "a"; }, 8000));

    content.host->GrantPermission();
    content.host->GrantPermission(); // a second grant replaces the first
    content.host->RunScript("location.href = 'b.html'"); // as the page would
    ASSERT_TRUE(wait_for([&] { return content.title() == "b"; }, 8000)) << content.title();
    std::string third = "file://" + dir.file("c.html");
    content.host->RunScript("location.href = 'c.html'");
    // The filter logs every navigation it decides.
    ASSERT_TRUE(wait_for([&] { return LogDlg::instance().text().find(third) != std::string::npos; }, 8000));
    EXPECT_EQ(content.title(), "b");
    EXPECT_EQ(content.address(), "file://" + dir.file("b.html"));
}

// The web process of this test program, which all its views share; 0 while there is none.
pid_t web_process()
{
    return test_support::first_child_named(::getpid(), "WebKitWebProces");
}

TEST(WebHost, APageWhoseWebProcessCrashedIsOpenedAgain)
{
    if (!display_ready())
        GTEST_SKIP() << "no display";
    test_support::IsolatedUser user;
    test_support::TempDir dir;
    write_titled_pages(dir, {"a"});
    Skin::Definition skin;
    skin.folder = dir.path();
    Element content(skin, "content");
    content.host->Navigate("file://" + dir.file("a.html"));
    ASSERT_TRUE(wait_for([&] { return content.title() == "a"; }, 8000));
    content.host->RunScript("document.title = 'changed'");
    ASSERT_TRUE(wait_for([&] { return content.title() == "changed"; }, 8000));

    pid_t crashed = web_process();
    ASSERT_NE(crashed, 0);
    ASSERT_EQ(::kill(crashed, SIGKILL), 0);
    EXPECT_TRUE(wait_for([&] { return content.title() == "a"; }, 8000)) << "the page did not come back";
    EXPECT_NE(web_process(), crashed);
    EXPECT_EQ(content.address(), "file://" + dir.file("a.html"));
}

// A program navigation the web process does not carry out (here it is stopped) is made
// again when its time is up, once; the page loads as soon as the process can.
TEST(WebHost, AProgramNavigationThatDoesNotLoadIsMadeAgain)
{
    if (!display_ready())
        GTEST_SKIP() << "no display";
    test_support::LogCapture log;
    test_support::TempDir dir;
    write_titled_pages(dir, {"a", "b"});
    Skin::Definition skin;
    skin.folder = dir.path();
    Element content(skin, "content");
    content.host->Navigate("file://" + dir.file("a.html"));
    ASSERT_TRUE(wait_for([&] { return content.title() == "a"; }, 8000));

    pid_t web = web_process();
    ASSERT_NE(web, 0);
    ASSERT_EQ(::kill(web, SIGSTOP), 0);
    content.host->Navigate("file://" + dir.file("b.html"));
    const std::string made_again =
        "WEB - the content page is opened again: it did not finish loading within 10 s";
    auto times_made_again = [&] {
        std::vector<std::string> lines = log.file_lines();
        return std::count(lines.begin(), lines.end(), made_again);
    };
    bool overdue = wait_for([&] { return times_made_again() > 0; }, 14000);
    ::kill(web, SIGCONT);
    EXPECT_TRUE(overdue);
    EXPECT_TRUE(wait_for([&] { return content.title() == "b"; }, 8000)) << content.title();
    EXPECT_EQ(times_made_again(), 1);
}

// A toast command written by a page, with quotes, angle brackets, an ampersand and a
// non-ASCII letter, as WebKit hands it over, through the dispatcher into the toast.
TEST(WebHost, AToastLinkShowsExactlyTheTextThePageWrote)
{
    if (!display_ready())
        GTEST_SKIP() << "no display";
    test_support::IsolatedUser user;
    test_support::TempDir dir;
    test_support::write_file(dir.file("page.html"), "<html><body>page</body></html>");
    CTaskbarNotifier toast;
    struct ToastActions : test_support::RecordingActions {
        CTaskbarNotifier* toast = nullptr;
        void ShowToast(const std::string& text) override { toast->show_toast(text); }
    } actions;
    actions.toast = &toast;
    CommandDispatcher dispatcher(actions, Deployment());
    Skin::Definition skin;
    skin.folder = dir.path();
    Element content(
        skin, "content", [&](const std::string& url) { dispatcher.Dispatch(*command_text::wrap(url)); });
    std::string page = "file://" + dir.file("page.html");
    content.host->Navigate(page);
    ASSERT_TRUE(wait_for(
        [&] { return content.address() == page && !webkit_web_view_is_loading(content.web->view()); }, 8000));

    content.host->RunScript("location.href = 'kalvo://toast/?s=<b>\"\u00e9\"&</b>'");
    ASSERT_TRUE(wait_for([&] { return toast.label().text().find("<b>") != std::string::npos; }, 8000));
    EXPECT_NE(toast.label().text().find("<b>\"é\"&</b>"), std::string::npos) << toast.label().text();
    std::vector<std::string> shown = test_support::widget_texts(toast.label());
    EXPECT_NE(std::find(shown.begin(), shown.end(), "\"é\"&"), shown.end());
}

} // namespace

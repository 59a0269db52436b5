// The web host in a real web view: window.external from a page, ShowConfirm's answer,
// kalvo: links and the navigation filter.
#include <gtest/gtest.h>
#include <gtkmm.h>
#include <webkit2/webkit2.h>

#include "log/log_dlg.h"
#include "skin/definition.h"
#include "skin/skin_web.h"
#include "support/display.h"
#include "support/null_external_host.h"
#include "support/test_paths.h"
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

} // namespace

// The sign-in page run in a real web view: what it does with the query the program opens
// it with, and the login command address it navigates to. Needs a display.
#include <cstdlib>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <string>
#include <vector>
#include <webkit2/webkit2.h>

#include "net/service_addresses.h"
#include "settings/app_settings.h"
#include "skin_folder.h"
#include "support/test_paths.h"
#include "ui/web/command_text.h"
#include "ui/web/navigation_filter.h"

namespace {

// One web view for the whole suite; each test loads the page afresh.
class LoginPage : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!std::getenv("DISPLAY"))
            return;
        // The web engine's caches and data go to a throw-away home.
        s_user = new test_support::IsolatedUser;
        if (!gtk_init_check(nullptr, nullptr))
            return;
        s_window = gtk_offscreen_window_new();
        s_view = WEBKIT_WEB_VIEW(webkit_web_view_new());
        gtk_widget_set_size_request(GTK_WIDGET(s_view), 280, 371);
        gtk_container_add(GTK_CONTAINER(s_window), GTK_WIDGET(s_view));
        gtk_widget_show_all(s_window);
        g_signal_connect(s_view, "decide-policy", G_CALLBACK(on_decide_policy), nullptr);
        g_signal_connect(s_view, "load-changed", G_CALLBACK(on_load_changed), nullptr);
    }

    static void TearDownTestSuite()
    {
        if (s_window)
            gtk_widget_destroy(s_window);
        s_window = nullptr;
        s_view = nullptr;
        delete s_user;
        s_user = nullptr;
    }

    void SetUp() override
    {
        if (!s_view)
            GTEST_SKIP() << "no display";
        s_commands.clear();
    }

    // Loads login.html with the query and waits until it has run its start-up script.
    void open(const std::string& query)
    {
        s_commands.clear();
        s_loaded = false;
        std::string address = "file://" + skin_files::path("login.html") + "?" + query;
        webkit_web_view_load_uri(s_view, address.c_str());
        ASSERT_TRUE(run_until([] { return s_loaded; })) << "the page did not load";
    }

    // The kalvo: addresses the page has opened so far (the program's navigation filter sees
    // these). A navigation reaches us a moment after the script that started it, so this
    // waits for the expected number, then a little longer for any unexpected extra one.
    const std::vector<std::string>& commands(std::size_t expected)
    {
        run_until([&] { return s_commands.size() >= expected; });
        gint64 quiet_until = g_get_monotonic_time() + 300 * 1000;
        run_until([&] { return g_get_monotonic_time() >= quiet_until; });
        return s_commands;
    }
    const std::string& command(std::size_t index) const { return s_commands.at(index); }

    // A property of the page element with that id, as text ("true", "bob", ...).
    std::string field(const std::string& id, const std::string& property)
    {
        return evaluate("document.getElementById('" + id + "')." + property);
    }

    // What the form shows: "user|password|remember ticked|auto sign-in ticked".
    std::string form()
    {
        return evaluate(
            "['user', 'password'].map(id => document.getElementById(id).value)"
            ".concat(['remember', 'auto'].map(id => document.getElementById(id).checked)).join('|')");
    }

    // Runs script in the page and returns its result as text.
    std::string evaluate(const std::string& script)
    {
        struct Outcome {
            bool done = false;
            std::string text;
        } outcome;
        webkit_web_view_evaluate_javascript(
            s_view, script.c_str(), -1, nullptr, nullptr, nullptr,
            [](GObject* view, GAsyncResult* result, gpointer data) {
                auto* outcome = static_cast<Outcome*>(data);
                GError* error = nullptr;
                JSCValue* value =
                    webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, &error);
                if (value) {
                    char* text = jsc_value_to_string(value);
                    outcome->text = text;
                    g_free(text);
                    g_object_unref(value);
                } else {
                    outcome->text = std::string("error: ") + error->message;
                    g_clear_error(&error);
                }
                outcome->done = true;
            },
            &outcome);
        EXPECT_TRUE(run_until([&] { return outcome.done; })) << "script did not finish: " << script;
        return outcome.text;
    }

private:
    template <typename Done> static bool run_until(Done done)
    {
        gint64 deadline = g_get_monotonic_time() + 10 * G_USEC_PER_SEC;
        while (!done() && g_get_monotonic_time() < deadline)
            if (!g_main_context_iteration(nullptr, FALSE))
                g_usleep(1000);
        return done();
    }

    static gboolean on_decide_policy(
        WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type, gpointer)
    {
        if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION)
            return FALSE;
        WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(
            WEBKIT_NAVIGATION_POLICY_DECISION(decision));
        std::string uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
        if (uri.rfind("kalvo:", 0) != 0)
            return FALSE;
        s_commands.push_back(uri);
        webkit_policy_decision_ignore(decision);
        return TRUE;
    }

    static void on_load_changed(WebKitWebView*, WebKitLoadEvent event, gpointer)
    {
        if (event == WEBKIT_LOAD_FINISHED)
            s_loaded = true;
    }

    static inline test_support::IsolatedUser* s_user = nullptr;
    static inline GtkWidget* s_window = nullptr;
    static inline WebKitWebView* s_view = nullptr;
    static inline bool s_loaded = false;
    static inline std::vector<std::string> s_commands;
};

} // namespace

// What the page does by itself with the query the program opens it with.
TEST_F(LoginPage, SignsInByItselfOnlyWhenAskedAndAble)
{
    open("u=bob&p=secret&s=true&a=true");
    ASSERT_EQ(commands(1).size(), 1u);
    EXPECT_EQ(command(0), "kalvo://login/?u=bob&p=secret&s=true&a=true");
    EXPECT_EQ(evaluate("document.body.getAttribute('data-state')"), "signing-in");

    // Just signed out: the form stays, filled in.
    open("u=bob&p=secret&s=true&a=true&lo=true");
    EXPECT_TRUE(commands(0).empty());
    EXPECT_EQ(field("status", "textContent"), "You have signed out.");
    EXPECT_EQ(form(), "bob|secret|true|true");

    open("u=bob&p=secret&s=true&a=false");
    EXPECT_TRUE(commands(0).empty());
    EXPECT_EQ(form(), "bob|secret|true|false");

    // First start: no user stored, so the program passes both flags as true.
    open("u=&p=&s=true&a=true&w=true");
    EXPECT_TRUE(commands(0).empty());
    EXPECT_EQ(field("first-run", "hidden"), "false");
    EXPECT_EQ(evaluate("document.activeElement.id"), "user");

    // Not remembered: the password is not shown.
    open("u=bob&p=secret&s=false&a=false");
    EXPECT_EQ(form(), "bob||false|false");
    EXPECT_EQ(evaluate("document.activeElement.id"), "password");
}

// The whole round trip: the address the program opens, the page, the kalvo: link it
// navigates to, the navigation filter's decoding and the dispatcher's login arguments.
TEST_F(LoginPage, EveryCharacterOfTheAccountComesBackUnchanged)
{
    AppSettings stored;
    stored.username = "bö b+1";
    stored.password = "P@ss w%rd&=+#?/\"'<>ä%41&s=x";
    stored.remember_user = stored.auto_login = stored.shown_wizard = true;
    std::string address = service_address::login_page_address(skin_files::folder(), stored);
    open(address.substr(address.find('?') + 1));
    EXPECT_EQ(form(), stored.username + "|" + stored.password + "|true|true");
    ASSERT_EQ(commands(1).size(), 1u);

    NavigationDecision decision = [&] {
        bool permission = false;
        return decide_navigation(command(0), permission);
    }();
    ASSERT_EQ(decision.action, NavigationDecision::Action::Dispatch);
    auto login = command_text::login_arguments(*command_text::wrap(decision.hook_text));
    ASSERT_TRUE(login) << decision.hook_text;
    EXPECT_EQ(login->user, stored.username);
    EXPECT_EQ(login->password, stored.password);
    EXPECT_TRUE(login->remember);
    EXPECT_TRUE(login->auto_login);
}

TEST_F(LoginPage, SignInButtonSendsTheTypedValuesAndChoices)
{
    open("u=&p=&s=true&a=true");
    evaluate("document.getElementById('user').value = ' carol ';"
             "document.getElementById('password').value = 'pw';"
             "document.getElementById('remember').click();" // unticks both boxes
             "document.getElementById('submit').click(); 0");
    ASSERT_EQ(commands(1).size(), 1u);
    EXPECT_EQ(command(0), "kalvo://login/?u=carol&p=pw&s=false&a=false");

    // Ticking auto sign-in ticks remember too.
    open("u=&p=&s=false&a=false");
    evaluate("document.getElementById('user').value = 'dave';"
             "document.getElementById('password').value = 'x';"
             "document.getElementById('auto').click();"
             "document.getElementById('submit').click(); 0");
    ASSERT_EQ(commands(1).size(), 1u);
    EXPECT_EQ(command(0), "kalvo://login/?u=dave&p=x&s=true&a=true");

    // Incomplete details are refused on the page.
    open("u=bob&p=&s=true&a=false");
    evaluate("document.getElementById('submit').click(); 0");
    EXPECT_TRUE(commands(0).empty());
    EXPECT_EQ(field("status", "className"), "error");
}

TEST_F(LoginPage, AnswersTheProgramAndOpensTheWizard)
{
    open("u=bob&p=secret&s=true&a=true&w=true");
    ASSERT_EQ(commands(1).size(), 1u);
    // A failed sign-in gives the form back for another try.
    evaluate("loginError(); 0");
    EXPECT_EQ(evaluate("document.body.getAttribute('data-state')"), "idle");
    EXPECT_EQ(field("submit", "disabled"), "false");
    evaluate("document.getElementById('submit').click(); 0");
    ASSERT_EQ(commands(2).size(), 2u);

    evaluate("loginStatus('Downloading update...'); 0");
    EXPECT_EQ(field("status", "textContent"), "Downloading update...");

    evaluate("document.getElementById('wizard').click(); 0");
    ASSERT_EQ(commands(3).size(), 3u);
    EXPECT_EQ(command(2), "kalvo://wizard/?u=bob");
}

// The program reloads the page while offline only when the user is not typing into it.
TEST_F(LoginPage, HoldsTypedTextOnlyOnceAFieldDiffersFromWhatItOpenedWith)
{
    open("u=bob&p=secret&s=true&a=false");
    EXPECT_EQ(evaluate("holdsTypedText()"), "false");
    evaluate("document.getElementById('password').value = 'secre'; 0");
    EXPECT_EQ(evaluate("holdsTypedText()"), "true");
    evaluate("document.getElementById('password').value = 'secret'; 0");
    evaluate("document.getElementById('user').value = 'bobby'; 0");
    EXPECT_EQ(evaluate("holdsTypedText()"), "true");
}

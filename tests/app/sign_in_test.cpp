// Signs in a running kalvo against the local service: through a forwarded kalvo: link, and
// through the sign-in page as a user types, then again by itself at every start.
#include <optional>
#include <sstream>

#include "net/md5_digest.h"
#include "net/percent_encoding.h"
#include "settings/app_settings.h"
#include "settings/password_cipher.h"
#include "support/program_fixture.h"
#include "support/test_account.h"

namespace {

using test_support::ChildProcess;
using test_support::wait_for_text;

class SignIn : public ProgramAgainstService {
protected:
    SignIn() : ProgramAgainstService("127.0.0.93") { }

    // A later start's login link (sent while the first start may still be loading its skin:
    // the link waits for the window), allowed by the user when the program asks.
    void sign_in_by_link(const std::string& program)
    {
        EXPECT_EQ(hand_over(program, "kalvo://login/?u=alice&p=wonderland&s=false&a=false"), 1);
        std::string box = wait_for_window("Confirmation", 30000);
        ASSERT_FALSE(box.empty()) << "no confirmation";
        EXPECT_TRUE(answer_window("Confirmation", "alt+y"));
    }

    // A later start handing over one link; its exit code.
    static std::optional<int> hand_over(const std::string& program, const std::string& url)
    {
        ChildProcess link({program, "/url", url});
        return link.wait_for_exit(10000);
    }
};

TEST_F(SignIn, ForwardedLoginLinkRegistersAndShowsTheMainPage)
{
    std::string program = test_support::built_program("kalvo");
    ChildProcess kalvo({program});
    ASSERT_TRUE(test_support::wait_for_file(m_user.home() + "/run/kalvo/instance.sock", 20000));

    sign_in_by_link(program);
    std::string log = wait_for_log("LOGIN - Username is alice");
    EXPECT_NE(log.find("LOGIN - Username is alice"), std::string::npos) << log;

    log = wait_for_log("LINESTATE - LINESTATE_REGISTERED");
    EXPECT_NE(log.find("LINESTATE - LINESTATE_REGISTERED"), std::string::npos) << log;
    EXPECT_EQ(log.find("wonderland"), std::string::npos) << "the password reached the log";

    // The main page was downloaded into the cache with the skin's folder written in.
    std::string page = wait_for_text(data_file("Cache/main.html"), "file://", 10000);
    EXPECT_NE(page.find("/Kalvo/"), std::string::npos) << page;
    EXPECT_EQ(page.find("%%SKIN_PATH%%"), std::string::npos);
    EXPECT_TRUE(kalvo.running());

    // "Remember me" was unticked: after quitting, the store holds no password.
    EXPECT_EQ(kalvo.terminate(), 0);
    std::string store = test_support::read_file(m_user.home() + "/.config/kalvo/registry.ini");
    EXPECT_NE(store.find("password=" + password_cipher::encipher("")), std::string::npos) << store;
    EXPECT_EQ(store.find(password_cipher::encipher("wonderland")), std::string::npos) << store;
}

// The stored account as registry.ini holds it.
std::string stored_account(const std::string& registry)
{
    std::string account;
    std::istringstream lines(test_support::read_file(registry));
    for (std::string line; std::getline(lines, line);)
        for (const char* key : {"username=", "password=", "remember_user=", "auto_login="})
            if (line.starts_with(key))
                account += line + "\n";
    return account;
}

TEST_F(SignIn, LoginLinkFromALaterStartAsksFirstAndDeclinedChangesNothing)
{
    test_support::store_test_account("alice", "wonderland");
    std::string registry = m_user.home() + "/.config/kalvo/registry.ini";
    std::string before = stored_account(registry);
    auto kalvo = start_program();
    ASSERT_NE(wait_for_log("WEB - content page loaded: ").find("/Kalvo/login.html"), std::string::npos);

    ChildProcess link(
        {test_support::built_program("kalvo"), "/url", "kalvo://login/?u=mallory&p=x&s=true&a=true"});
    EXPECT_EQ(link.wait_for_exit(10000), 1);
    std::string box = wait_for_window("Confirmation");
    ASSERT_FALSE(box.empty()) << "no confirmation";
    EXPECT_TRUE(answer_window("Confirmation", "alt+n"));
    EXPECT_TRUE(wait_for_window_gone("Confirmation"));

    EXPECT_EQ(stored_account(registry), before);
    EXPECT_EQ(test_support::read_file(registry).find("mallory"), std::string::npos);
    EXPECT_TRUE(kalvo->running());
}

class PageSignIn : public ProgramAgainstService {
protected:
    PageSignIn() : ProgramAgainstService("127.0.0.141") { }
};

// The account "erin" of the local service has every character that needs care in a query.
TEST_F(PageSignIn, PasswordWithEveryCharacterSignsInAgainAtEveryStart)
{
    const std::string password = "P@ss w%rd&=+#?/\"'<>ä";
    {
        auto kalvo = start_program();
        ASSERT_NE(wait_for_log("WEB - content page loaded: ").find("/Kalvo/login.html"), std::string::npos);
        // The page has the user name field focused; "Remember me" and auto sign-in are ticked.
        type_text("erin");
        xdotool("key Tab");
        type_text(password);
        xdotool("key Return");
        std::string log = wait_for_log("LINESTATE - LINESTATE_REGISTERED");
        ASSERT_NE(log.find("LINESTATE - LINESTATE_REGISTERED"), std::string::npos) << log;
        EXPECT_EQ(kalvo->terminate(), 0);
    }
    AppSettings stored;
    stored.load();
    EXPECT_EQ(stored.username, "erin");
    EXPECT_EQ(stored.password, password);
    EXPECT_TRUE(stored.remember_user && stored.auto_login);

    for (int start = 1; start <= 5; ++start) {
        auto kalvo = start_program();
        std::string log = wait_for_log("LINESTATE - LINESTATE_REGISTERED");
        EXPECT_NE(log.find("LINESTATE - LINESTATE_REGISTERED"), std::string::npos)
            << "start " << start << log;
        EXPECT_EQ(kalvo->terminate(), 0);
        AppSettings again;
        again.load();
        EXPECT_EQ(again.password, password) << "start " << start;
    }

    // The service saw the right digest at every sign-in, and never the password itself.
    std::string requests = m_service->http_log();
    std::string check = "/live/check_version.php?u=erin&p=" + cMD5::hex_digest(password) + " ";
    int checks = 0;
    for (std::size_t at = requests.find(check); at != std::string::npos; at = requests.find(check, at + 1))
        ++checks;
    EXPECT_EQ(checks, 6) << requests;
    EXPECT_EQ(requests.find(password), std::string::npos) << requests;
    EXPECT_EQ(requests.find(percent_encode(password)), std::string::npos) << requests;
}

TEST_F(SignIn, WhileTheMainPageDownloadStallsLaterStartsAreStillCarriedOut)
{
    ASSERT_TRUE(m_service->stall("/live/index.php", 30000));
    std::string program = test_support::built_program("kalvo");
    ChildProcess kalvo({program});
    ASSERT_TRUE(test_support::wait_for_file(m_user.home() + "/run/kalvo/instance.sock", 20000));
    sign_in_by_link(program);
    std::string log = wait_for_text(data_file("kalvo.log"), "LINESTATE - LINESTATE_REGISTERED", 30000);
    ASSERT_TRUE(test_support::holds(log, "LINESTATE - LINESTATE_REGISTERED")) << log;

    // The signed-in window asks for its main page, and the service holds the reply back.
    for (int waited = 0; m_service->stalled_requests() < 1 && waited < 10000; waited += 100)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_GE(m_service->stalled_requests(), 1);
    // The interface thread is not the one waiting: a link clicked now is carried out
    // within a second.
    EXPECT_EQ(hand_over(program, "kalvo://hide_toast/?during"), 1);
    const std::string carried_out = " /url \"kalvo://hide_toast/?during\"\n";
    log = wait_for_text(data_file("kalvo.log"), carried_out, 1000);
    EXPECT_TRUE(test_support::holds(log, carried_out)) << log;
    EXPECT_TRUE(kalvo.running());

    // Quitting while the download still waits ends at once and cleanly: the exit handlers
    // do not tear the network libraries down under the waiting worker.
    EXPECT_EQ(kalvo.terminate(), 0);
    EXPECT_TRUE(test_support::holds(
        test_support::read_file(data_file("kalvo.log")), "network request(s) still under way at exit"));
}

} // namespace

// The real program signing in by itself with a remembered account while the service
// misbehaves: bad replies to the version check, the program killed during the sign-in, the
// registrar killed during a call. The process lives, the user is told, the account stays.
#include <csignal>

#include "settings/password_cipher.h"
#include "support/program_fixture.h"
#include "support/stored_record.h"

namespace {

using test_support::ChildProcess;
using test_support::holds;

// The account as any key-file reader finds it in registry.ini.
std::string stored_account()
{
    auto record = test_support::stored_record();
    if (!record)
        return "registry.ini does not parse";
    return (*record)["username"] + ", remember_user=" + (*record)["remember_user"] +
        ((*record)["password"] == password_cipher::encipher("wonderland") ? ", its password"
                                                                          : ", no password");
}
const std::string kKeptAccount = "alice, remember_user=1, its password";

class SignInFaults : public ProgramAgainstService {
protected:
    SignInFaults() : ProgramAgainstService("127.0.0.160") { }

    void SetUp() override
    {
        ProgramAgainstService::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        remember_account();
    }
};

TEST_F(SignInFaults, ABadVersionReplyIsAFailedSignInThatKeepsTheAccount)
{
    ::setenv("KALVO_DEPLOYMENT", m_service->faulty_deployment_file().c_str(), 1);
    for (const std::string mode : {"short", "crlf", "huge", "stall", "500", "404"}) {
        ASSERT_TRUE(m_service->set_faulty_reply(mode));
        auto kalvo = start_program();
        // A stalled reply is given up after the version check's 10 seconds.
        std::string box = wait_for_window("No Internet connection", 40000);
        std::string log = wait_for_log("LOGIN - Error getting version information");
        EXPECT_FALSE(box.empty()) << mode << "\n" << log;
        EXPECT_TRUE(holds(log, "LOGIN - Error getting version information")) << mode << "\n" << log;
        EXPECT_TRUE(holds(m_service->http_log(), "-> faulty reply " + mode)) << mode;
        EXPECT_TRUE(answer_window("No Internet connection", "Return")) << mode;
        EXPECT_TRUE(kalvo->running()) << mode;
        EXPECT_EQ(kalvo->terminate(), 0) << mode;
        EXPECT_EQ(stored_account(), kKeptAccount) << mode;
    }
}

TEST_F(SignInFaults, TwentyKillsDuringTheSignInLoseNeitherTheAccountNorTheNextSignIn)
{
    // The moments of a sign-in, in order; each start is killed at the next one.
    const char* const moments[] = {
        "NETWORK - Binding to",
        "LOGIN - STUN",
        "WEB - content page loaded: file://", // the sign-in page, about to sign in
        "COMMAND - ", // its sign-in: the account is written
        "LOGIN - Username is alice",
        "LOGIN - Got version information",
        "LINESTATE - LINESTATE_REGISTERED",
        "Cache/main.html",
    };
    for (int kill = 0; kill < 20; ++kill) {
        const std::string moment = moments[kill % std::size(moments)];
        auto kalvo = start_program();
        std::string log = wait_for_log(moment);
        ASSERT_TRUE(holds(log, moment)) << "start " << kill << "\n"
                                        << log << test_support::process_report(kalvo->pid());
        ::kill(kalvo->pid(), SIGKILL);
        EXPECT_EQ(kalvo->wait_for_exit(5000), 128 + SIGKILL);
        EXPECT_EQ(stored_account(), kKeptAccount) << "killed on \"" << moment << "\"";
    }
    auto kalvo = start_program();
    std::string log = wait_for_log("LINESTATE - LINESTATE_REGISTERED", 30000);
    EXPECT_TRUE(holds(log, "LINESTATE - LINESTATE_REGISTERED"))
        << log << test_support::process_report(kalvo->pid());
    EXPECT_EQ(kalvo->terminate(), 0);
    EXPECT_EQ(stored_account(), kKeptAccount);
}

class CallFaults : public ProgramAgainstService {
protected:
    CallFaults() : ProgramAgainstService("127.0.0.161") { }
};

TEST_F(CallFaults, ARegistrarKilledDuringACallEndsItAndTheLineRejoinsWhenTheServiceIsBack)
{
    remember_account();
    auto kalvo = start_program();
    ASSERT_TRUE(holds(wait_for_log("LINESTATE - LINESTATE_REGISTERED", 30000), "LINESTATE_REGISTERED"));
    ChildProcess({test_support::built_program("kalvo"), "/url", "kalvo://call/?echotest"})
        .wait_for_exit(10000);
    ASSERT_TRUE(holds(wait_for_log("CALLSTATE - connected"), "CALLSTATE - connected"));

    ASSERT_TRUE(m_service->kill_registrar());
    std::string log = wait_for_log("CALLSTATE - disconnected", 30000);
    EXPECT_TRUE(holds(log, "LINESTATE - The SIP service does not answer")) << log;
    EXPECT_TRUE(holds(log, "CALLSTATE - disconnected")) << log;

    ASSERT_TRUE(m_service->stop());
    ASSERT_TRUE(m_service->start()) << m_service->start_output();
    log = wait_for_log("LINESTATE - LINESTATE_REGISTERED", 60000, 2);
    EXPECT_TRUE(holds(log, "LINESTATE - The SIP service answers again")) << log;
    EXPECT_EQ(test_support::occurrences(log, "LINESTATE - LINESTATE_REGISTERED"), 2) << log;
    EXPECT_TRUE(kalvo->running());
    EXPECT_EQ(kalvo->terminate(), 0);
}

} // namespace

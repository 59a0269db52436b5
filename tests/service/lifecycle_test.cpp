// Starting and stopping the local service: what start leaves in its folder, that
// stop ends exactly its processes and frees every socket, and side-by-side instances.
#include <arpa/inet.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <signal.h>
#include <sstream>

#include "service_client.h"
#include "support/local_service.h"
#include "support/test_paths.h"

using test_support::LocalService;

namespace {

// Local sockets of the address still bound: TCP listeners and UDP sockets.
int sockets_bound_on(const std::string& address)
{
    in_addr parsed{};
    inet_pton(AF_INET, address.c_str(), &parsed);
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08X", parsed.s_addr);
    int count = 0;
    for (const char* table : {"/proc/net/tcp", "/proc/net/udp"}) {
        std::ifstream in(table);
        std::string line;
        std::getline(in, line);
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            std::string slot, local, remote, state;
            fields >> slot >> local >> remote >> state;
            const bool tcp = std::string(table) == "/proc/net/tcp";
            if (local.compare(0, 8, hex) == 0 && (!tcp || state == "0A"))
                ++count;
        }
    }
    return count;
}

std::vector<int> started_pids(const std::string& folder)
{
    std::vector<int> pids;
    for (const char* name : {"kamailio", "echo", "http"}) {
        const std::string text = test_support::read_file(folder + "/" + name + ".pid");
        if (!text.empty())
            pids.push_back(std::stoi(text));
    }
    return pids;
}

// A zombie has ended; the process that adopted it may reap it late.
// Processes whose parent is `parent` (Kamailio's workers).
std::vector<int> children_of(int parent)
{
    std::vector<int> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        // /proc/PID/stat: pid (command) state ppid ...
        const std::string stat = test_support::read_file(entry.path().string() + "/stat");
        const auto close = stat.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream fields(stat.substr(close + 2));
        std::string state;
        int ppid = 0;
        fields >> state >> ppid;
        if (ppid == parent)
            children.push_back(std::stoi(name));
    }
    return children;
}

bool process_alive(int pid)
{
    if (::kill(pid, 0) != 0)
        return false;
    const std::string status = test_support::read_file("/proc/" + std::to_string(pid) + "/status");
    return status.find("\nState:\tZ") == std::string::npos;
}

} // namespace

TEST(ServiceLifecycle, StartWritesTheDeploymentFileAndStopLeavesNothingBehind)
{
    std::vector<int> pids;
    std::string folder;
    {
        LocalService service("127.0.0.40");
        ASSERT_TRUE(service.running()) << service.start_output();
        folder = service.folder();
        EXPECT_EQ(test_support::read_file(service.deployment_file()),
            "[service]\n"
            "web_http=http://127.0.0.40:8080\n"
            "secure_http=http://127.0.0.40:8080\n"
            "secure_https=https://127.0.0.40:8443\n"
            "sip_domain=kalvo.test\n"
            "gateway=127.0.0.40\n"
            "voicemail=sip:voicemail@kalvo.test\n"
            "ca_file=" +
                service.ca_file() + "\n");
        EXPECT_NE(test_support::read_file(service.ca_file()).find("BEGIN CERTIFICATE"), std::string::npos);

        pids = started_pids(folder);
        ASSERT_EQ(pids.size(), 3u);
        const auto workers = children_of(pids[0]);
        EXPECT_GE(workers.size(), 2u);
        pids.insert(pids.end(), workers.begin(), workers.end());
        for (const int pid : pids)
            EXPECT_TRUE(process_alive(pid)) << pid;
        EXPECT_GE(sockets_bound_on("127.0.0.40"), 6); // SIP udp+tcp, STUN, echo, http, https

        // A second start in the same folder refuses and leaves the running one alone.
        std::string output;
        EXPECT_NE(LocalService::servicectl("start " + folder + " --address 127.0.0.40", &output), 0);
        EXPECT_NE(output.find("already running"), std::string::npos) << output;
        // So does a start in another folder on the same address.
        test_support::TempDir other;
        EXPECT_NE(LocalService::servicectl("start " + other.path() + " --address 127.0.0.40", &output), 0);
        EXPECT_NE(output.find("127.0.0.40:5060 is in use"), std::string::npos) << output;
        EXPECT_TRUE(started_pids(other.path()).empty());
        for (const int pid : pids)
            EXPECT_TRUE(process_alive(pid)) << pid;
        EXPECT_EQ(LocalService::servicectl("status " + folder), 0);
    }
    for (const int pid : pids)
        EXPECT_FALSE(process_alive(pid)) << pid;
    EXPECT_EQ(sockets_bound_on("127.0.0.40"), 0);
}

TEST(ServiceLifecycle, TwoInstancesRunSideBySide)
{
    LocalService first("127.0.0.41");
    LocalService second("127.0.0.42");
    ASSERT_TRUE(first.running()) << first.start_output();
    ASSERT_TRUE(second.running()) << second.start_output();
    for (const LocalService* service : {&first, &second}) {
        const auto reply = service_client::http_get(service->web_http() + "/client/check_connection.php");
        EXPECT_EQ(reply.body, "OK") << service->address();
        int local_port = 0;
        const auto mapped =
            service_client::stun_binding(service->address(), service->address(), 3478, &local_port);
        ASSERT_TRUE(mapped.has_value()) << service->address();
        EXPECT_EQ(*mapped, service->address() + ":" + std::to_string(local_port));
    }
}

TEST(ServiceLifecycle, AFailedStartStopsEverythingItStarted)
{
    // The HTTP server ends at once: the start fails, and Kamailio and the echo responder,
    // workers included, are stopped with it, so the next start on the address succeeds.
    test_support::TempDir folder;
    ::setenv("KALVO_SERVICE_SERVER", "/bin/false", 1);
    std::string output;
    EXPECT_NE(LocalService::servicectl("start " + folder.path() + " --address 127.0.0.52", &output), 0);
    ::unsetenv("KALVO_SERVICE_SERVER");
    EXPECT_NE(output.find("start failed"), std::string::npos) << output;
    EXPECT_EQ(sockets_bound_on("127.0.0.52"), 0);
    LocalService again("127.0.0.52");
    EXPECT_TRUE(again.running()) << again.start_output();
}

TEST(ServiceLifecycle, RefusesAnAddressOffLoopbackOrAFolderInUse)
{
    test_support::TempDir folder;
    std::string output;
    EXPECT_NE(LocalService::servicectl("start " + folder.path() + " --address 192.0.2.1", &output), 0);
    EXPECT_NE(output.find("loopback"), std::string::npos) << output;
    EXPECT_TRUE(started_pids(folder.path()).empty());

    // A folder with other files in it is left alone.
    test_support::write_file(folder.file("notes.txt"), "keep me");
    test_support::write_file(folder.file("logs/important.log"), "keep me too");
    EXPECT_NE(LocalService::servicectl("start " + folder.path() + " --address 127.0.0.43", &output), 0);
    EXPECT_NE(output.find("neither empty nor a service folder"), std::string::npos) << output;
    EXPECT_EQ(test_support::read_file(folder.file("logs/important.log")), "keep me too");
    EXPECT_TRUE(started_pids(folder.path()).empty());
}

TEST(ServiceLifecycle, StartsWithTheUsableAccountsOfAFaultyAccountsFile)
{
    test_support::TempDir folder;
    const std::string accounts = folder.file("accounts.ini");
    test_support::write_file(accounts,
        "[erin]\npassword=erin-pass\nvoicemail_new=many\n"
        "[two words]\npassword=p\n"
        "[frank]\ntype=pro\n"
        "stray line\n"
        "[grace]\npassword=g:race\nvoicemail_old=3\n");
    ::setenv("KALVO_SERVICE_ACCOUNTS", accounts.c_str(), 1);
    LocalService service("127.0.0.43");
    ::unsetenv("KALVO_SERVICE_ACCOUNTS");
    ASSERT_TRUE(service.running()) << service.start_output();

    const auto check = [&](const std::string& user, const std::string& password) {
        return service_client::http_get(service.web_http() + "/client/req/check_username.php?u=" + user +
            "&p=" + service_client::md5_upper(password))
            .body;
    };
    EXPECT_EQ(check("erin", "erin-pass"), "VALID");
    EXPECT_EQ(check("grace", "g:race"), "VALID");
    EXPECT_EQ(check("frank", ""), "INVALID");
    EXPECT_EQ(check("two%20words", "p"), "INVALID");
    const std::string state = service_client::http_get(service.web_http() + "/control/state").body;
    EXPECT_NE(state.find("voicemail.grace=0/3\n"), std::string::npos) << state;
    EXPECT_NE(state.find("voicemail.erin=0/0\n"), std::string::npos) << state;
    EXPECT_EQ(state.find("frank"), std::string::npos) << state;
}

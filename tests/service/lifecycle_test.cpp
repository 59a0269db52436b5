// Starting and stopping the local service: what start leaves in its folder, that
// stop ends exactly its processes and frees every socket, and side-by-side instances.
#include "service_client.h"
#include "support/local_service.h"
#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <signal.h>

#include <fstream>
#include <sstream>

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

bool process_alive(int pid) { return ::kill(pid, 0) == 0; }

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
                  "ca_file=" + service.ca_file() + "\n");
        EXPECT_NE(test_support::read_file(service.ca_file()).find("BEGIN CERTIFICATE"), std::string::npos);

        pids = started_pids(folder);
        ASSERT_EQ(pids.size(), 3u);
        for (const int pid : pids)
            EXPECT_TRUE(process_alive(pid)) << pid;
        EXPECT_GE(sockets_bound_on("127.0.0.40"), 6);  // SIP udp+tcp, STUN, echo, http, https

        // A second start in the same folder refuses and leaves the running one alone.
        std::string output;
        EXPECT_NE(LocalService::servicectl("start " + folder + " --address 127.0.0.40", &output), 0);
        EXPECT_NE(output.find("already running"), std::string::npos) << output;
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
        const auto mapped = service_client::stun_binding(service->address(), service->address(), 3478, &local_port);
        ASSERT_TRUE(mapped.has_value()) << service->address();
        EXPECT_EQ(*mapped, service->address() + ":" + std::to_string(local_port));
    }
}

TEST(ServiceLifecycle, RefusesAnAddressOffLoopbackAndStartsNothing)
{
    test_support::TempDir folder;
    std::string output;
    EXPECT_NE(LocalService::servicectl("start " + folder.path() + " --address 192.0.2.1", &output), 0);
    EXPECT_NE(output.find("loopback"), std::string::npos) << output;
    EXPECT_TRUE(started_pids(folder.path()).empty());
}

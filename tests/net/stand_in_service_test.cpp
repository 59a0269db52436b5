// The requests against the project's own stand-in service (its HTTP/HTTPS server run as
// a separate program), so the addresses built here and the ones it serves agree.
#include <arpa/inet.h>
#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "net/md5_digest.h"
#include "net/network_probe.h"
#include "net/service_requests.h"
#include "support/child_process.h"
#include "support/log_capture.h"
#include "support/test_certificates.h"
#include "support/test_paths.h"

namespace {

using test_support::TempDir;

// A socket bound to an ephemeral port of 127.0.0.1, and that port.
int bound_loopback_socket(int type, int& port)
{
    int socket = ::socket(AF_INET, type, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(socket, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return socket;
}

// A port nothing listens on right now.
int unused_port()
{
    int port = 0;
    ::close(bound_loopback_socket(SOCK_STREAM, port));
    return port;
}

// Stands in for the registrar the server publishes voice-mail counts to at start: every
// request gets "200 OK" with its own Via line.
class SipAcceptor {
public:
    SipAcceptor() : m_socket(bound_loopback_socket(SOCK_DGRAM, m_port))
    {
        m_thread = std::thread([this] { answer_until_stopped(); });
    }
    ~SipAcceptor()
    {
        m_stop = true;
        m_thread.join();
        ::close(m_socket);
    }
    int port() const { return m_port; }

private:
    void answer_until_stopped()
    {
        char buffer[4096];
        while (!m_stop) {
            pollfd wait{m_socket, POLLIN, 0};
            if (::poll(&wait, 1, 100) <= 0)
                continue;
            sockaddr_in sender{};
            socklen_t length = sizeof sender;
            ssize_t got =
                ::recvfrom(m_socket, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&sender), &length);
            std::string request(buffer, got > 0 ? static_cast<std::size_t>(got) : 0);
            std::size_t via = request.find("Via: ");
            if (via == std::string::npos)
                continue;
            std::string reply = "SIP/2.0 200 OK\r\n" + request.substr(via, request.find("\r\n", via) - via) +
                "\r\nContent-Length: 0\r\n\r\n";
            ::sendto(m_socket, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&sender), length);
        }
    }

    int m_port = 0;
    int m_socket;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

class StandInService : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string program = test_support::built_program("service/kalvo-service-http");
        if (!std::filesystem::exists(program))
            GTEST_SKIP() << "the stand-in service's server is not built: " << program;
        auto certificates = test_support::make_test_certificates(m_folder.path());
        int http_port = unused_port();
        int https_port = unused_port();
        std::string ready = m_folder.file("ready");
        std::string sources = KALVO_SOURCE_DIR;
        m_server = std::make_unique<test_support::ChildProcess>(std::vector<std::string>{program, "--address",
            "127.0.0.1", "--http-port", std::to_string(http_port), "--https-port", std::to_string(https_port),
            "--certificate", certificates.server_certificate, "--key", certificates.server_key, "--accounts",
            sources + "/service/accounts.ini", "--pages", sources + "/service/pages", "--sip-port",
            std::to_string(m_registrar.port()), "--ready-file", ready});
        ASSERT_TRUE(test_support::wait_for_file(ready, 10000)) << "the stand-in service did not start";
        m_deployment.web_http = "http://127.0.0.1:" + std::to_string(http_port);
        m_deployment.secure_http = m_deployment.web_http;
        m_deployment.secure_https = "https://127.0.0.1:" + std::to_string(https_port);
        m_deployment.ca_file = certificates.ca_file;
    }

    test_support::LogCapture m_log;
    TempDir m_folder;
    SipAcceptor m_registrar;
    Deployment m_deployment;
    std::unique_ptr<test_support::ChildProcess> m_server;
};

TEST_F(StandInService, VersionCheckAnswersTheAccountAndNotAWrongPassword)
{
    HttpReply known = get_text(version_check_request("alice", "wonderland", m_deployment));
    ASSERT_TRUE(known.ok()) << curl_easy_strerror(known.code);
    auto lines = lines_of(known.body);
    ASSERT_GE(lines.size(), 8u) << known.body;
    EXPECT_EQ(lines[0], "Kalvo version service");
    EXPECT_EQ(lines[5], "pro");

    HttpReply wrong = get_text(version_check_request("alice", "looking-glass", m_deployment));
    ASSERT_TRUE(wrong.ok());
    auto wrong_lines = lines_of(wrong.body);
    ASSERT_GE(wrong_lines.size(), 3u);
    EXPECT_TRUE(wrong_lines.size() < 6 || wrong_lines[5].empty()) << wrong.body;

    HttpReply account = get_text(account_information_request("alice", "wonderland", m_deployment));
    ASSERT_TRUE(account.ok());
    EXPECT_EQ(account.body, known.body);
}

TEST_F(StandInService, UserNameCheckTakesTheDigestOfEveryPassword)
{
    EXPECT_EQ(get_text(username_check_request("alice", "wonderland", m_deployment)).body, "VALID");
    EXPECT_EQ(get_text(username_check_request("carol", "c4r0l:pass", m_deployment)).body, "VALID");
    EXPECT_EQ(get_text(username_check_request("carol", "c4r0l", m_deployment)).body, "INVALID");
    EXPECT_EQ(get_text(username_check_request("alice&u=bob", "builder", m_deployment)).body, "INVALID");
}

TEST_F(StandInService, MainPageAndUpdateDownload)
{
    HttpReply page = get_text(main_page_request("alice", "wonderland", m_deployment));
    ASSERT_TRUE(page.ok()) << curl_easy_strerror(page.code);
    EXPECT_NE(page.body.find("<html"), std::string::npos);

    auto lines = lines_of(get_text(version_check_request("alice", "wonderland", m_deployment)).body);
    ASSERT_GE(lines.size(), 3u);
    std::string path = m_folder.file("kalvo-setup");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::string last_status;
    HttpReply reply = download_update(
        lines[2], file, [&](std::optional<int>, const std::string& status) { last_status = status; },
        m_deployment);
    std::fclose(file);
    EXPECT_TRUE(reply.ok()) << reply.failure() << " " << lines[2];
    EXPECT_EQ(test_support::read_file(path).rfind("#!", 0), 0u);
    EXPECT_NE(last_status.find(" of "), std::string::npos);
}

TEST_F(StandInService, ProbeChoosesTheFirstInterfaceThatReachesIt)
{
    EXPECT_EQ(probe_network({"192.0.2.1", "127.0.0.2", "127.0.0.1"}, connection_check_address(m_deployment)),
        "127.0.0.2");
}

} // namespace

#include "support/http_test_server.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace test_support {

HttpTestServer::HttpTestServer(const std::string& host) : m_server(std::make_unique<httplib::Server>())
{
    start(host, "http");
}

HttpTestServer::HttpTestServer(const std::string& host, const TestCertificates& certificates)
    : m_server(std::make_unique<httplib::SSLServer>(
          certificates.server_certificate.c_str(), certificates.server_key.c_str()))
{
    if (!m_server->is_valid())
        throw std::runtime_error("TLS test server could not load its certificate");
    start(host, "https");
}

void HttpTestServer::start(const std::string& host, const std::string& scheme)
{
    m_port = m_server->bind_to_any_port(host.c_str());
    if (m_port <= 0)
        throw std::runtime_error("test server cannot bind to " + host);
    m_base_url = scheme + "://" + host + ":" + std::to_string(m_port);
    // Bound already: connections made before the thread accepts wait in the backlog.
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    // stop() only ends a loop that is running: wait for it so the destructor cannot hang.
    for (int waited = 0; !m_server->is_running() && waited < 5000; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

HttpTestServer::~HttpTestServer()
{
    m_server->stop();
    if (m_thread.joinable())
        m_thread.join();
}

SilentListener::SilentListener(const std::string& host)
{
    m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    ::inet_pton(AF_INET, host.c_str(), &address.sin_addr);
    socklen_t length = sizeof address;
    if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(m_socket, 64) != 0 ||
        ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (m_socket >= 0)
            ::close(m_socket);
        throw std::runtime_error("silent listener cannot bind to " + host);
    }
    m_port = ntohs(address.sin_port);
}

SilentListener::~SilentListener()
{
    if (m_socket >= 0)
        ::close(m_socket);
}

} // namespace test_support

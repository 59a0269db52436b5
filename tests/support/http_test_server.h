#pragma once
#include <httplib.h>
#include <memory>
#include <string>
#include <thread>

#include "support/test_certificates.h"

namespace test_support {

// A cpp-httplib server (plain or TLS) listening on `host` at a free port, serving from its
// own thread for the object's lifetime. Add routes through server() before the first
// request; they may be added after start.
class HttpTestServer {
public:
    explicit HttpTestServer(const std::string& host = "127.0.0.1");
    HttpTestServer(const std::string& host, const TestCertificates& certificates);
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    httplib::Server& server() { return *m_server; }
    int port() const { return m_port; }
    // "http://host:port" or "https://host:port".
    const std::string& base_url() const { return m_base_url; }

private:
    void start(const std::string& host, const std::string& scheme);

    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
    std::string m_base_url;
};

// A TCP port that accepts connections (the kernel completes them) but never reads or
// answers: every request to it hangs until the client's time-out.
class SilentListener {
public:
    explicit SilentListener(const std::string& host = "127.0.0.1");
    ~SilentListener();
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;
    int port() const { return m_port; }

private:
    int m_socket = -1;
    int m_port = 0;
};

} // namespace test_support

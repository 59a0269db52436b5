#pragma once
#include <string>

#include "support/test_paths.h"

namespace test_support {

// One instance of the local stand-in service (service/servicectl) on its own
// loopback address, started by the constructor and stopped by the destructor.
// Give every test its own address so suites can run side by side.
class LocalService {
public:
    explicit LocalService(const std::string& address);
    ~LocalService();
    LocalService(const LocalService&) = delete;
    LocalService& operator=(const LocalService&) = delete;

    bool running() const { return m_running; }
    bool started() const { return m_running; }
    // servicectl's output when the start failed.
    const std::string& start_output() const { return m_output; }

    const std::string& address() const { return m_address; }
    const std::string& folder() const { return m_folder.path(); }
    const std::string& dir() const { return m_folder.path(); }
    std::string deployment_file() const { return m_folder.file("deployment.ini"); }
    // The same deployment with the secure host's https on the faulty port (set_faulty_reply).
    std::string faulty_deployment_file() const { return m_folder.file("deployment-faulty.ini"); }
    std::string ca_file() const { return m_folder.file("ca.pem"); }
    std::string web_http() const { return "http://" + m_address + ":8080"; }
    std::string secure_https() const { return "https://" + m_address + ":8443"; }
    static std::string sip_domain() { return "kalvo.test"; }

    // Changes an account's voice-mail counts; subscribers are notified at once.
    bool set_voicemail(const std::string& user, int new_count, int old_count);
    // Changes the current version of the version reply (for one account when given).
    bool set_version(const std::string& version, const std::string& user = "");
    // How the installer download is answered: "ok" (padded to `size` bytes, a pause of
    // `pace_ms` after every 64 KiB), "404", "500", "short" or "stall".
    bool set_installer(const std::string& mode, std::size_t size = 0, int pace_ms = 0);
    // Every request the HTTP server received so far, one line each with its query as sent
    // and decoded.
    std::string http_log() const;
    // How the faulty https port answers every request: "short", "crlf", "huge", "stall",
    // "500" or "404" (see service/README.md).
    bool set_faulty_reply(const std::string& mode);
    // Replies for the path wait that long (0 ends the stall).
    bool stall(const std::string& path, int milliseconds);
    // How many requests to a stalled path have come so far (-1 when the service does not say).
    int stalled_requests();

    // Ends the registrar at once (SIGKILL to Kamailio and its workers), as a crash would;
    // stop() then start() bring the service back.
    bool kill_registrar();
    // Stops the service, and starts it again on the same folder and address (a service
    // that went away and came back).
    bool stop();
    bool start();
    // What the service holds for a user: registered contacts, message-summary
    // subscriptions; -1 when it cannot tell.
    int contacts(const std::string& user) const;
    int subscriptions(const std::string& user) const;

    // Runs servicectl with the arguments; returns its exit status, output in `output`.
    static int servicectl(const std::string& arguments, std::string* output = nullptr);

private:
    std::string m_address;
    TempDir m_folder;
    bool m_running = false;
    std::string m_output;
};

} // namespace test_support

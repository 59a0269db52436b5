#pragma once
#include <atomic>
#include <map>
#include <mutex>
#include <string>

#include "accounts.h"
#include "faulty_replies.h"
#include "mwi_publisher.h"
#include "pages.h"

namespace httplib {
class Server;
struct Response;
} // namespace httplib

// Base addresses the service tells the program about.
struct SiteAddresses {
    std::string web_http; // "http://127.0.0.N:PORT"
    std::string secure_http;
    std::string secure_https;
    std::string sip_domain;
    std::string gateway; // the registrar's address ("127.0.0.N")
};

// How the installer download is answered; tests change it through /control/installer.
struct InstallerAnswer {
    // "ok"; "404" or "500" (an error page); "short" (half the announced bytes, then the
    // connection closes); "stall" (half the bytes, then nothing until the client gives up)
    std::string mode = "ok";
    std::size_t size = 0; // "ok": the installer padded to this many bytes
    int pace_ms = 0; // "ok": a pause after every 64 KiB, so progress can be watched
};

// Every endpoint and page of the service, plus the control endpoints tests use
// (/control/...). The same handlers serve the web host and the secure host,
// over http and https.
class Site {
public:
    Site(AccountBook& accounts, MwiPublisher& publisher, Pages pages, SiteAddresses addresses,
        FaultyReplies& faulty);

    void install(httplib::Server& server);
    // Ends answers that are still stalling, before the servers stop.
    void stop() { m_stopping = true; }

    // The eight-line version reply for the user and digest.
    std::string version_reply(const std::string& user, const std::string& digest) const;

private:
    std::map<std::string, std::string> page_values(const std::string& user) const;
    // The text with "@GATEWAY@" replaced by the registrar's address.
    std::string with_gateway(std::string text) const;
    void install_pages(httplib::Server& server);
    void install_control(httplib::Server& server);
    void answer_installer(httplib::Response& response);

    AccountBook& m_accounts;
    MwiPublisher& m_publisher;
    FaultyReplies& m_faulty;
    Pages m_pages;
    SiteAddresses m_addresses;
    std::atomic<int> m_installer_downloads{0};
    std::mutex m_installer_mutex;
    InstallerAnswer m_installer;
    std::atomic<bool> m_stopping{false};
    // Paths whose replies are held back (milliseconds), and how many such requests came.
    std::mutex m_stall_mutex;
    std::map<std::string, int> m_stalls;
    std::atomic<int> m_stalled_requests{0};
};

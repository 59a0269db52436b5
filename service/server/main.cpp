// The local stand-in service's HTTP/HTTPS server.
//
//   kalvo-service-http --address 127.0.0.N --http-port P --https-port Q
//       --certificate server.pem --key server-key.pem --accounts accounts.ini
//       --pages DIR --sip-domain DOMAIN --sip-port 5060 [--ready-file FILE] [--version V]
//       [--faulty-https-port R]
//
// R (default 8444) answers every request wrongly, as /control/faulty chose.
// At start it publishes every account's voice-mail counts to the registrar, then
// writes the ready file; it runs until SIGTERM or SIGINT.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <httplib.h>
#include <sstream>
#include <thread>

#include "accounts.h"
#include "faulty_replies.h"
#include "mwi_publisher.h"
#include "pages.h"
#include "site.h"

namespace {

struct Options {
    std::string address = "127.0.0.1";
    int http_port = 8080;
    int https_port = 8443;
    int faulty_https_port = 8444;
    std::string certificate, key, accounts, pages, ready_file;
    std::string sip_domain = "kalvo.test";
    int sip_port = 5060;
    std::string version = "4.0.0.22";
};

bool parse_options(int argc, char** argv, Options& options)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        try {
            if (name == "--address")
                options.address = value;
            else if (name == "--http-port")
                options.http_port = std::stoi(value);
            else if (name == "--https-port")
                options.https_port = std::stoi(value);
            else if (name == "--faulty-https-port")
                options.faulty_https_port = std::stoi(value);
            else if (name == "--certificate")
                options.certificate = value;
            else if (name == "--key")
                options.key = value;
            else if (name == "--accounts")
                options.accounts = value;
            else if (name == "--pages")
                options.pages = value;
            else if (name == "--ready-file")
                options.ready_file = value;
            else if (name == "--sip-domain")
                options.sip_domain = value;
            else if (name == "--sip-port")
                options.sip_port = std::stoi(value);
            else if (name == "--version")
                options.version = value;
            else {
                std::fprintf(stderr, "unknown option %s\n", name.c_str());
                return false;
            }
        } catch (const std::exception&) {
            std::fprintf(stderr, "bad value for %s: %s\n", name.c_str(), value.c_str());
            return false;
        }
    }
    if (argc % 2 == 0 || options.certificate.empty() || options.key.empty() || options.accounts.empty() ||
        options.pages.empty()) {
        std::fprintf(
            stderr, "usage: %s --certificate F --key F --accounts F --pages DIR [options]\n", argv[0]);
        return false;
    }
    return true;
}

// Publishes every account's counts; the registrar may still be starting (slowly, on a
// busy machine), so the accounts are tried for up to a minute in all.
bool publish_all(const AccountBook& accounts, MwiPublisher& publisher)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (const auto& [name, account] : accounts.all()) {
        std::string error;
        bool done = false;
        while (!done && std::chrono::steady_clock::now() < deadline) {
            done = publisher.publish(name, account.voicemail_new, account.voicemail_old, &error);
            if (!done)
                std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        if (!done) {
            std::fprintf(stderr, "voice-mail counts of %s not published: %s\n", name.c_str(), error.c_str());
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse_options(argc, argv, options))
        return 2;

    std::ifstream accounts_file(options.accounts);
    if (!accounts_file) {
        std::fprintf(stderr, "cannot read the accounts file %s\n", options.accounts.c_str());
        return 1;
    }
    std::ostringstream accounts_text;
    accounts_text << accounts_file.rdbuf();
    std::string problems;
    AccountBook accounts(parse_accounts(accounts_text.str(), &problems), options.version);
    if (!problems.empty())
        std::fprintf(stderr, "%s: skipped:\n%s", options.accounts.c_str(), problems.c_str());

    // Signals are taken by sigwait below; the server threads must not see them.
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGTERM);
    sigaddset(&stop_signals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
    // A client that goes away in the middle of a reply must not end the server.
    std::signal(SIGPIPE, SIG_IGN);

    const std::string host = options.address;
    const SiteAddresses addresses{
        "http://" + host + ":" + std::to_string(options.http_port),
        "http://" + host + ":" + std::to_string(options.http_port),
        "https://" + host + ":" + std::to_string(options.https_port),
        options.sip_domain,
        host,
    };
    MwiPublisher publisher(host, options.sip_port, options.sip_domain);
    FaultyReplies faulty;
    Site site(accounts, publisher, Pages(options.pages), addresses, faulty);

    httplib::Server http;
    httplib::SSLServer https(options.certificate.c_str(), options.key.c_str());
    if (!https.is_valid()) {
        std::fprintf(stderr, "cannot load the certificate %s or key %s\n", options.certificate.c_str(),
            options.key.c_str());
        return 1;
    }
    for (httplib::Server* server : {&http, static_cast<httplib::Server*>(&https)}) {
        site.install(*server);
        // Without it, TLS records wait on delayed acknowledgements (~40 ms a request).
        server->set_tcp_nodelay(true);
        server->set_mount_point("/live/skin", options.pages + "/skin");
    }
    if (!http.bind_to_port(host, options.http_port) || !https.bind_to_port(host, options.https_port)) {
        std::fprintf(stderr, "cannot listen on %s:%d and %s:%d\n", host.c_str(), options.http_port,
            host.c_str(), options.https_port);
        return 1;
    }
    std::string faulty_error;
    if (!faulty.listen(host, options.faulty_https_port, options.certificate, options.key, &faulty_error)) {
        std::fprintf(stderr, "faulty replies: %s\n", faulty_error.c_str());
        return 1;
    }
    std::thread http_thread([&] { http.listen_after_bind(); });
    std::thread https_thread([&] { https.listen_after_bind(); });

    int status = 0;
    if (publish_all(accounts, publisher)) {
        if (!options.ready_file.empty())
            std::ofstream(options.ready_file) << "ready\n";
        std::printf("serving %s and %s\n", addresses.web_http.c_str(), addresses.secure_https.c_str());
        std::fflush(stdout);
        int signal_number = 0;
        sigwait(&stop_signals, &signal_number);
    } else {
        status = 1;
    }
    site.stop();
    faulty.stop();
    http.stop();
    https.stop();
    http_thread.join();
    https_thread.join();
    return status;
}

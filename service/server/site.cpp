#include "site.h"

#include <chrono>
#include <cstdio>
#include <httplib.h>
#include <thread>

namespace {

constexpr const char* kInstallerPath = "/client/download/kalvo-setup";

// A harmless installer: it only records, beside itself, that it ran.
constexpr const char* kInstallerScript =
    "#!/bin/sh\n"
    "# Installer stand-in of the local test service: records that it ran, changes nothing.\n"
    "echo \"$(date -u '+%Y-%m-%dT%H:%M:%SZ') installer ran: $0\" >> \"$0.ran\"\n"
    "exit 0\n";

// Every request with its query as sent and as decoded, so a test can look for any text
// (a clear password) the program must never send.
void log_request(const httplib::Request& request, const httplib::Response& response)
{
    std::string decoded;
    for (const auto& [key, value] : request.params)
        decoded += (decoded.empty() ? "" : " ") + key + "=" + value;
    std::printf("%s %s -> %d [%s]\n", request.method.c_str(), request.target.c_str(), response.status,
        decoded.c_str());
    std::fflush(stdout);
}

void reply_text(httplib::Response& response, const std::string& text)
{
    response.set_content(text, "text/plain; charset=utf-8");
}

bool parse_count(const std::string& text, int& out, std::size_t digits = 6)
{
    if (text.empty() || text.size() > digits || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    out = std::stoi(text);
    return true;
}

} // namespace

Site::Site(AccountBook& accounts, MwiPublisher& publisher, Pages pages, SiteAddresses addresses,
    FaultyReplies& faulty)
    : m_accounts(accounts), m_publisher(publisher), m_faulty(faulty), m_pages(std::move(pages)),
      m_addresses(std::move(addresses))
{
}

std::string Site::version_reply(const std::string& user, const std::string& digest) const
{
    // An unknown user or a wrong digest still learns the current version (so an
    // old program is offered the update), but gets no account values; the line
    // registration then fails on the SIP side.
    const auto account = m_accounts.authenticate(user, digest);
    const std::string lines[8] = {
        "Kalvo version service",
        m_accounts.version_for(user),
        m_addresses.secure_https + kInstallerPath,
        account ? account->info_version : "0",
        account && account->show_info ? "true" : "false",
        account ? account->type : "",
        account ? account->details : "",
        account ? with_gateway(account->proxy) : "",
    };
    std::string reply;
    for (const auto& line : lines)
        reply += line + "\n";
    return reply;
}

std::string Site::with_gateway(std::string text) const
{
    const std::string marker = "@GATEWAY@";
    for (auto at = text.find(marker); at != std::string::npos; at = text.find(marker, at))
        text.replace(at, marker.size(), m_addresses.gateway);
    return text;
}

std::map<std::string, std::string> Site::page_values(const std::string& user) const
{
    std::map<std::string, std::string> values = {
        {"USER", user},
        {"WEB_HTTP", m_addresses.web_http},
        {"SECURE_HTTP", m_addresses.secure_http},
        {"SECURE_HTTPS", m_addresses.secure_https},
        {"SIP_DOMAIN", m_addresses.sip_domain},
    };
    if (const auto account = m_accounts.find(user)) {
        values["TYPE"] = account->type;
        values["DETAILS"] = account->details;
        values["INFO_VERSION"] = account->info_version;
        values["VOICEMAIL_NEW"] = std::to_string(account->voicemail_new);
        values["VOICEMAIL_OLD"] = std::to_string(account->voicemail_old);
    }
    std::string contacts;
    for (const auto& [name, account] : m_accounts.all())
        if (name != user)
            contacts += (contacts.empty() ? "" : ",") + name;
    values["CONTACTS"] = contacts;
    return values;
}

void Site::install(httplib::Server& server)
{
    server.set_logger(log_request);
    // A stalled path answers only after its delay: a service that replies slowly.
    server.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        int delay = 0;
        {
            std::lock_guard lock(m_stall_mutex);
            if (auto found = m_stalls.find(request.path); found != m_stalls.end())
                delay = found->second;
        }
        if (delay > 0) {
            ++m_stalled_requests;
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });

    server.Get("/client/check_connection.php",
        [](const httplib::Request&, httplib::Response& response) { reply_text(response, "OK"); });

    auto version = [this](const httplib::Request& request, httplib::Response& response) {
        reply_text(response, version_reply(request.get_param_value("u"), request.get_param_value("p")));
    };
    server.Get("/live/check_version.php", version);
    server.Get("/client/req/check_version.php", version);

    server.Get("/client/req/check_username.php",
        [this](const httplib::Request& request, httplib::Response& response) {
            const bool valid =
                m_accounts.authenticate(request.get_param_value("u"), request.get_param_value("p"))
                    .has_value();
            reply_text(response, valid ? "VALID" : "INVALID");
        });

    server.Get(kInstallerPath, [this](const httplib::Request&, httplib::Response& response) {
        ++m_installer_downloads;
        answer_installer(response);
    });

    install_pages(server);
    install_control(server);
}

void Site::answer_installer(httplib::Response& response)
{
    InstallerAnswer answer;
    {
        std::lock_guard lock(m_installer_mutex);
        answer = m_installer;
    }
    if (answer.mode == "404" || answer.mode == "500") {
        response.status = std::stoi(answer.mode);
        response.set_content("<html><body>installer not available</body></html>", "text/html");
        return;
    }
    // The script, padded with a comment line to the size asked for.
    std::string body = kInstallerScript;
    if (answer.size > body.size() + 2)
        body += "#" + std::string(answer.size - body.size() - 2, 'x') + "\n";
    response.set_header("Content-Disposition", "attachment; filename=\"kalvo-setup\"");
    const bool cut = answer.mode == "short" || answer.mode == "stall";
    const bool stall = answer.mode == "stall";
    response.set_content_provider(body.size(), "application/octet-stream",
        [this, body, cut, stall, pace = answer.pace_ms](size_t offset, size_t, httplib::DataSink& sink) {
            constexpr size_t kChunk = 64 * 1024;
            const size_t limit = cut ? body.size() / 2 : body.size();
            if (offset >= limit) {
                // "stall": nothing more, until the client gives up or the service stops.
                for (int waited = 0; stall && !m_stopping && sink.is_writable() && waited < 120000;
                     waited += 50)
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                return false;
            }
            sink.write(body.data() + offset, std::min(kChunk, limit - offset));
            if (pace > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(pace));
            return true;
        });
}

void Site::install_pages(httplib::Server& server)
{
    auto page = [this](httplib::Response& response, const std::string& name,
                    std::map<std::string, std::string> values) {
        if (const auto html = m_pages.render(name, values)) {
            response.set_content(*html, "text/html; charset=utf-8");
        } else {
            response.status = 500;
            reply_text(response, "page template missing: " + name);
        }
    };

    // The main page. A wrong user or digest gets the sign-in failure page; the
    // cached variant takes its skin files from the program's skin folder.
    server.Get("/live/index.php", [this, page](const httplib::Request& request, httplib::Response& response) {
        const std::string user = request.get_param_value("user");
        auto values = page_values(user);
        if (!m_accounts.authenticate(user, request.get_param_value("pass"))) {
            response.status = 403;
            page(response, "login_failed", values);
            return;
        }
        values["SKIN"] = request.get_param_value("cache") == "true" ? "%%SKIN_PATH%%"
                                                                    : m_addresses.secure_http + "/live/skin/";
        page(response, "main", values);
    });

    server.Get("/live/tab.php", [this, page](const httplib::Request& request, httplib::Response& response) {
        auto values = page_values("");
        values["SECTION"] = request.has_param("s") ? request.get_param_value("s") : "Home";
        page(response, "tab", values);
    });

    server.Get("/live/info.php", [this, page](const httplib::Request& request, httplib::Response& response) {
        page(response, "info", page_values(request.get_param_value("u")));
    });

    auto register_page = [this, page](const httplib::Request& request, httplib::Response& response) {
        auto values = page_values("");
        values["WIZARD"] = request.get_param_value("wizard") == "true" ? "true" : "false";
        page(response, "register", values);
    };
    server.Get("/client/req/register.php", register_page);
    server.Get("/live/register.php", register_page);

    server.Get(
        "/account/login.php", [this, page](const httplib::Request& request, httplib::Response& response) {
            const std::string user = request.get_param_value("user");
            auto values = page_values(user);
            if (!m_accounts.authenticate(user, request.get_param_value("pass"))) {
                response.status = 403;
                page(response, "account_denied", values);
                return;
            }
            page(response, request.get_param_value("page") == "calls.php" ? "history" : "account", values);
        });

    // The skin's "account" button: the account page by user name and digest.
    server.Get("/account.php", [this, page](const httplib::Request& request, httplib::Response& response) {
        const std::string user = request.get_param_value("user");
        auto values = page_values(user);
        const bool known = m_accounts.authenticate(user, request.get_param_value("pass")).has_value();
        if (!known)
            response.status = 403;
        page(response, known ? "account" : "account_denied", values);
    });

    server.Get("/access_numbers.php", [this, page](const httplib::Request&, httplib::Response& response) {
        page(response, "access_numbers", page_values(""));
    });
    server.Get("/kb/", [this, page](const httplib::Request&, httplib::Response& response) {
        page(response, "kb", page_values(""));
    });
}

void Site::install_control(httplib::Server& server)
{
    // /control/version?v=VERSION[&u=USER]: the current version of the version reply.
    server.Get("/control/version", [this](const httplib::Request& request, httplib::Response& response) {
        const std::string version = request.get_param_value("v");
        if (version.empty() || version.find('\n') != std::string::npos) {
            response.status = 400;
            reply_text(response, "ERROR v= needs a version text on one line");
            return;
        }
        if (request.has_param("u") && !m_accounts.set_version(request.get_param_value("u"), version)) {
            response.status = 404;
            reply_text(response, "ERROR unknown account");
            return;
        }
        if (!request.has_param("u"))
            m_accounts.set_version(version);
        reply_text(response, "OK");
    });

    // /control/voicemail?u=USER&new=N&old=M: the account's counts, notified at once.
    server.Get("/control/voicemail", [this](const httplib::Request& request, httplib::Response& response) {
        const std::string user = request.get_param_value("u");
        int new_count = 0, old_count = 0;
        if (!parse_count(request.get_param_value("new"), new_count) ||
            !parse_count(request.get_param_value("old"), old_count)) {
            response.status = 400;
            reply_text(response, "ERROR new= and old= need counts");
            return;
        }
        if (!m_accounts.set_voicemail(user, new_count, old_count)) {
            response.status = 404;
            reply_text(response, "ERROR unknown account");
            return;
        }
        std::string error;
        if (!m_publisher.publish(user, new_count, old_count, &error)) {
            response.status = 502;
            reply_text(response, "ERROR " + error);
            return;
        }
        reply_text(response, "OK");
    });

    // /control/installer?mode=ok|404|500|short|stall[&size=BYTES][&pace=MS]: how the
    // installer download is answered from now on.
    server.Get("/control/installer", [this](const httplib::Request& request, httplib::Response& response) {
        InstallerAnswer answer;
        answer.mode = request.has_param("mode") ? request.get_param_value("mode") : "ok";
        const bool known_mode = answer.mode == "ok" || answer.mode == "404" || answer.mode == "500" ||
            answer.mode == "short" || answer.mode == "stall";
        int size = 0, pace = 0;
        if (!known_mode ||
            (request.has_param("size") && !parse_count(request.get_param_value("size"), size, 8)) ||
            (request.has_param("pace") && !parse_count(request.get_param_value("pace"), pace))) {
            response.status = 400;
            reply_text(response, "ERROR mode= is ok, 404, 500, short or stall; size= and pace= are counts");
            return;
        }
        answer.size = static_cast<std::size_t>(size);
        answer.pace_ms = pace;
        {
            std::lock_guard lock(m_installer_mutex);
            m_installer = answer;
        }
        reply_text(response, "OK");
    });

    // /control/stall?path=PATH&ms=N: replies for that path wait N ms (0 ends the stall).
    server.Get("/control/stall", [this](const httplib::Request& request, httplib::Response& response) {
        const std::string path = request.get_param_value("path");
        int delay = 0;
        if (path.empty() || !parse_count(request.get_param_value("ms"), delay)) {
            response.status = 400;
            reply_text(response, "ERROR path= needs a path and ms= a delay");
            return;
        }
        std::lock_guard lock(m_stall_mutex);
        m_stalls[path] = delay;
        reply_text(response, "OK");
    });

    // /control/faulty?mode=short|crlf|huge|stall|500|404: how the faulty https port answers.
    server.Get("/control/faulty", [this](const httplib::Request& request, httplib::Response& response) {
        const std::string mode = request.get_param_value("mode");
        if (!FaultyReplies::known_mode(mode)) {
            response.status = 400;
            reply_text(response, "ERROR mode= is short, crlf, huge, stall, 500 or 404");
            return;
        }
        m_faulty.set_mode(mode);
        reply_text(response, "OK");
    });

    // /control/state: what tests check after the program acted.
    server.Get("/control/state", [this](const httplib::Request&, httplib::Response& response) {
        std::string state = "installer_downloads=" + std::to_string(m_installer_downloads.load()) + "\n" +
            "version=" + m_accounts.version_for("") + "\n" +
            "stalled_requests=" + std::to_string(m_stalled_requests.load()) + "\n";
        for (const auto& [name, account] : m_accounts.all())
            state += "voicemail." + name + "=" + std::to_string(account.voicemail_new) + "/" +
                std::to_string(account.voicemail_old) + "\n";
        reply_text(response, state);
    });
}

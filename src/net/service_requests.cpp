#include "net/service_requests.h"

#include <cstdio>
#include <glib.h>
#include <memory>

#include "log/log_dlg.h"
#include "log/log_file.h"
#include "net/md5_digest.h"
#include "net/percent_encoding.h"

namespace {

using std::chrono::seconds;

constexpr seconds kVersionCheckTimeout{10};
constexpr seconds kAccountInformationTimeout{3};
constexpr seconds kMainPageTimeout{10};
constexpr seconds kUsernameCheckTimeout{3};

// "?u=NAME&p=DIGEST" style query of the account requests.
std::string account_query(
    const char* user_key, const std::string& user, const char* pass_key, const std::string& password)
{
    return std::string(user_key) + "=" + percent_encode(user) + "&" + pass_key + "=" +
        cMD5::hex_digest(password);
}

HttpRequest service_request(std::string url, seconds timeout, const Deployment& deployment)
{
    HttpRequest request;
    request.url = std::move(url);
    request.timeout = timeout;
    request.ca_file = deployment.ca_file;
    return request;
}

struct UrlParts {
    std::string scheme;
    std::string host;
};

// Scheme and host as libcurl itself will read them (so "https://a@b/" is host b).
std::optional<UrlParts> parse_url(const std::string& url)
{
    std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> parsed(curl_url(), curl_url_cleanup);
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK)
        return std::nullopt;
    UrlParts parts;
    for (auto [part, field] :
        {std::pair{CURLUPART_SCHEME, &parts.scheme}, std::pair{CURLUPART_HOST, &parts.host}}) {
        char* value = nullptr;
        if (curl_url_get(parsed.get(), part, &value, 0) != CURLUE_OK)
            return std::nullopt;
        *field = value;
        curl_free(value);
    }
    // Host names compare without regard to (ASCII) case, whatever the locale.
    for (char& c : parts.host)
        c = g_ascii_tolower(c);
    return parts;
}

} // namespace

HttpRequest version_check_request(
    const std::string& user, const std::string& password, const Deployment& deployment)
{
    return service_request(
        deployment.secure_https + "/live/check_version.php?" + account_query("u", user, "p", password),
        kVersionCheckTimeout, deployment);
}

HttpRequest account_information_request(
    const std::string& user, const std::string& password, const Deployment& deployment)
{
    return service_request(
        deployment.web_http + "/client/req/check_version.php?" + account_query("u", user, "p", password),
        kAccountInformationTimeout, deployment);
}

std::string connection_check_address(const Deployment& deployment)
{
    return deployment.web_http + "/client/check_connection.php";
}

HttpRequest connection_check_request(
    const std::string& probe_address, const std::string& interface_address, std::chrono::milliseconds timeout)
{
    HttpRequest request;
    request.url = probe_address;
    request.timeout = timeout;
    request.interface_address = interface_address;
    request.ca_file = Deployment::get().ca_file;
    return request;
}

HttpRequest main_page_request(
    const std::string& user, const std::string& password, const Deployment& deployment)
{
    return service_request(deployment.secure_https + "/live/index.php?cache=true&" +
            account_query("user", user, "pass", password),
        kMainPageTimeout, deployment);
}

HttpRequest username_check_request(
    const std::string& user, const std::string& password, const Deployment& deployment)
{
    return service_request(
        deployment.web_http + "/client/req/check_username.php?" + account_query("u", user, "p", password),
        kUsernameCheckTimeout, deployment);
}

bool is_service_address(const std::string& url, const Deployment& deployment, ServiceSchemes schemes)
{
    auto parts = parse_url(url);
    if (!parts ||
        (parts->scheme != "https" && (schemes == ServiceSchemes::HttpsOnly || parts->scheme != "http")))
        return false;
    for (const std::string* base :
        {&deployment.web_http, &deployment.secure_http, &deployment.secure_https}) {
        auto service = parse_url(*base);
        if (service && service->host == parts->host)
            return true;
    }
    return false;
}

HttpReply download_update(const std::string& url, std::FILE* file, ProgressCallback progress,
    const Deployment& deployment, std::chrono::seconds stall_limit)
{
    if (!is_service_address(url, deployment)) {
        std::string message = "Update address refused (not https on a service host): " + url;
        LogDlg::instance().append(message);
        log_file::write_line("NETWORK - " + message);
        HttpReply refused;
        refused.code = CURLE_UNSUPPORTED_PROTOCOL;
        return refused;
    }
    HttpRequest request;
    request.url = url;
    request.ca_file = deployment.ca_file;
    request.connect_timeout = kUpdateConnectTimeout;
    request.stall_limit = stall_limit;
    return download_to_file(request, file, std::move(progress));
}

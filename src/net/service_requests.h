#pragma once
#include <string>

#include "net/http_request.h"
#include "settings/deployment.h"

// The program's requests to the service, one function per request: each gives the address,
// time-out and trust of its request, ready for get_text(). `password` is the stored clear
// password; only its digest (cMD5) goes into an address. User names are percent-encoded.
// The secure host is always reached over https with the peer certificate checked.

// Version check and login pre-check: secure host + "/live/check_version.php?u=&p=", 10 s.
HttpRequest version_check_request(
    const std::string& user, const std::string& password, const Deployment& deployment = Deployment::get());

// Account information: web host + "/client/req/check_version.php?u=&p=", 3 s.
HttpRequest account_information_request(
    const std::string& user, const std::string& password, const Deployment& deployment = Deployment::get());

// Connectivity probe address: web host + "/client/check_connection.php".
std::string connection_check_address(const Deployment& deployment = Deployment::get());

// Connectivity probe of one interface, bound to its address (5 s unless told otherwise).
HttpRequest connection_check_request(const std::string& probe_address, const std::string& interface_address,
    std::chrono::milliseconds timeout = std::chrono::seconds(5));

// Cached main page: secure host + "/live/index.php?cache=true&user=&pass=", 10 s.
HttpRequest main_page_request(
    const std::string& user, const std::string& password, const Deployment& deployment = Deployment::get());

// User-name check of the setup wizard: web host + "/client/req/check_username.php?u=&p=", 3 s.
HttpRequest username_check_request(
    const std::string& user, const std::string& password, const Deployment& deployment = Deployment::get());

// Update download from the address of the version reply into `file` (opened by the caller
// for binary writing), with progress: no overall time-out, but a connection must be made
// within 15 s and a transfer that stalls for `stall_limit` is stopped. Only https
// addresses of the service's own hosts are fetched; any other address is refused (logged,
// CURLE_UNSUPPORTED_PROTOCOL).
inline constexpr std::chrono::seconds kUpdateConnectTimeout{15};
inline constexpr std::chrono::seconds kUpdateStallLimit{30};
HttpReply download_update(const std::string& url, std::FILE* file, ProgressCallback progress,
    const Deployment& deployment = Deployment::get(), std::chrono::seconds stall_limit = kUpdateStallLimit);

// Whether an address is on one of the deployment's hosts (any port) with an allowed
// scheme: https only (the update download), or http and https (pages).
enum class ServiceSchemes { HttpsOnly, HttpOrHttps };
bool is_service_address(
    const std::string& url, const Deployment& deployment, ServiceSchemes schemes = ServiceSchemes::HttpsOnly);

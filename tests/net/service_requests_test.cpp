#include <gtest/gtest.h>

#include "net/md5_digest.h"
#include "net/percent_encoding.h"
#include "net/service_requests.h"
#include "support/http_test_server.h"
#include "support/log_capture.h"
#include "support/test_certificates.h"
#include "support/test_paths.h"

namespace {

using namespace std::chrono_literals;
using test_support::HttpTestServer;
using test_support::TempDir;

Deployment example_deployment()
{
    Deployment deployment;
    deployment.web_http = "http://web.example:8080";
    deployment.secure_http = "http://secure.example:8081";
    deployment.secure_https = "https://secure.example:8443";
    deployment.ca_file = "/etc/kalvo/ca.pem";
    return deployment;
}

const std::string kDigest = cMD5::hex_digest("pw");

TEST(ServiceRequests, AddressesTimeOutsAndTrustOfEachRequest)
{
    Deployment deployment = example_deployment();

    struct Row {
        HttpRequest request;
        std::string url;
        std::chrono::seconds timeout;
    };
    const Row rows[] = {
        {version_check_request("alice", "pw", deployment),
            "https://secure.example:8443/live/check_version.php?u=alice&p=" + kDigest, 10s},
        {account_information_request("alice", "pw", deployment),
            "http://web.example:8080/client/req/check_version.php?u=alice&p=" + kDigest, 3s},
        {main_page_request("alice", "pw", deployment),
            "https://secure.example:8443/live/index.php?cache=true&user=alice&pass=" + kDigest, 10s},
        {username_check_request("alice", "pw", deployment),
            "http://web.example:8080/client/req/check_username.php?u=alice&p=" + kDigest, 3s},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.request.url, row.url);
        EXPECT_EQ(row.request.timeout, row.timeout) << row.url;
        EXPECT_EQ(row.request.ca_file, "/etc/kalvo/ca.pem") << row.url;
        EXPECT_TRUE(row.request.interface_address.empty()) << row.url;
    }

    EXPECT_EQ(connection_check_address(deployment), "http://web.example:8080/client/check_connection.php");
    HttpRequest probe =
        connection_check_request("http://web.example:8080/client/check_connection.php", "10.0.0.7");
    EXPECT_EQ(probe.url, "http://web.example:8080/client/check_connection.php");
    EXPECT_EQ(probe.interface_address, "10.0.0.7");
    EXPECT_EQ(probe.timeout, 5s);
}

TEST(ServiceRequests, UserNamesCannotBreakTheQuery)
{
    EXPECT_EQ(percent_encode("john.doe_1-x~"), "john.doe_1-x~");
    EXPECT_EQ(percent_encode("a b&p=x"), "a%20b%26p%3Dx");
    EXPECT_EQ(percent_encode("\xC3\xA9#"), "%C3%A9%23");

    HttpRequest request = username_check_request("a&p=0", "pw", example_deployment());
    EXPECT_EQ(request.url, "http://web.example:8080/client/req/check_username.php?u=a%26p%3D0&p=" + kDigest);
}

TEST(ServiceRequests, TheServiceReadsTheNameAndDigestBack)
{
    TempDir folder;
    auto certificates = test_support::make_test_certificates(folder.path());
    HttpTestServer secure("127.0.0.1", certificates);
    secure.server().Get(
        "/live/check_version.php", [](const httplib::Request& request, httplib::Response& response) {
            response.set_content(request.get_param_value("u") + "|" + request.get_param_value("p") + "|" +
                    std::to_string(request.params.size()),
                "text/plain");
        });
    Deployment deployment;
    deployment.secure_https = secure.base_url();
    deployment.ca_file = certificates.ca_file;

    HttpReply reply = get_text(version_check_request("mr smith&co", "pw", deployment));

    ASSERT_TRUE(reply.ok()) << curl_easy_strerror(reply.code);
    EXPECT_EQ(reply.body, "mr smith&co|" + kDigest + "|2");
}

TEST(UpdateAddress, OnlyHttpsOnAServiceHost)
{
    Deployment deployment = example_deployment();
    EXPECT_TRUE(is_service_address("https://secure.example/files/kalvo-setup", deployment));
    EXPECT_TRUE(is_service_address("https://WEB.example:9443/setup", deployment));
    EXPECT_FALSE(is_service_address("http://secure.example/files/kalvo-setup", deployment));
    EXPECT_FALSE(is_service_address("https://elsewhere.example/setup", deployment));
    EXPECT_FALSE(is_service_address("https://secure.example@elsewhere.example/setup", deployment));
    EXPECT_FALSE(is_service_address("ftp://secure.example/setup", deployment));
    EXPECT_FALSE(is_service_address("not an address", deployment));
    EXPECT_FALSE(is_service_address("", deployment));
    // Pages may also be plain http, and nothing else.
    EXPECT_TRUE(
        is_service_address("http://secure.example/live/info.php", deployment, ServiceSchemes::HttpOrHttps));
    EXPECT_FALSE(is_service_address("file:///etc/passwd", deployment, ServiceSchemes::HttpOrHttps));
    EXPECT_FALSE(is_service_address("http://elsewhere.example/", deployment, ServiceSchemes::HttpOrHttps));
}

TEST(UpdateAddress, RefusedAddressIsLoggedAndNothingIsWritten)
{
    test_support::LogCapture log;
    TempDir folder;
    HttpTestServer plain;
    bool requested = false;
    plain.server().Get("/setup", [&](const httplib::Request&, httplib::Response& response) {
        requested = true;
        response.set_content("installer", "application/octet-stream");
    });
    Deployment deployment;
    deployment.web_http = plain.base_url();
    std::string path = folder.file("kalvo-setup");
    std::FILE* file = std::fopen(path.c_str(), "wb");

    HttpReply reply = download_update(plain.base_url() + "/setup", file, nullptr, deployment);
    std::fclose(file);

    EXPECT_EQ(reply.code, CURLE_UNSUPPORTED_PROTOCOL);
    EXPECT_FALSE(requested);
    EXPECT_EQ(test_support::read_file(path), "");
    auto lines = log.file_lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0],
        "NETWORK - Update address refused (not https on a service host): " + plain.base_url() + "/setup");
}

TEST(UpdateAddress, ServiceHttpsAddressIsDownloaded)
{
    TempDir folder;
    auto certificates = test_support::make_test_certificates(folder.path());
    HttpTestServer secure("127.0.0.1", certificates);
    secure.server().Get("/setup", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("installer bytes", "application/octet-stream");
    });
    Deployment deployment;
    deployment.secure_https = secure.base_url();
    deployment.ca_file = certificates.ca_file;
    std::string path = folder.file("kalvo-setup");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::optional<int> last_percent;

    HttpReply reply = download_update(
        secure.base_url() + "/setup", file,
        [&](std::optional<int> percent, const std::string&) { last_percent = percent; }, deployment);
    std::fclose(file);

    EXPECT_TRUE(reply.ok()) << reply.failure();
    EXPECT_EQ(test_support::read_file(path), "installer bytes");
    EXPECT_EQ(last_percent, 100);
}

} // namespace

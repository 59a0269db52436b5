#include <condition_variable>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <mutex>

#include "net/http_request.h"
#include "support/http_test_server.h"
#include "support/log_capture.h"
#include "support/test_certificates.h"
#include "support/test_paths.h"

namespace {

using test_support::HttpTestServer;
using test_support::TempDir;

HttpRequest request_to(const std::string& url)
{
    HttpRequest request;
    request.url = url;
    request.timeout = std::chrono::seconds(10);
    return request;
}

// Text made of distinct chunks so a lost, repeated or reordered chunk shows.
std::string chunk_text(int index, std::size_t size)
{
    return std::string(size, static_cast<char>('a' + index));
}

TEST(TextRequest, ChunkedReplyIsConcatenatedInArrivalOrder)
{
    HttpTestServer service;
    constexpr int kChunks = 5;
    constexpr std::size_t kChunkSize = 64 * 1024;
    service.server().Get("/chunks", [](const httplib::Request&, httplib::Response& response) {
        response.set_chunked_content_provider("text/plain", [](size_t offset, httplib::DataSink& sink) {
            int index = static_cast<int>(offset / kChunkSize);
            if (index == kChunks) {
                sink.done();
                return true;
            }
            std::string chunk = chunk_text(index, kChunkSize);
            return sink.write(chunk.data(), chunk.size());
        });
    });

    HttpReply reply = get_text(request_to(service.base_url() + "/chunks"));

    ASSERT_TRUE(reply.ok()) << curl_easy_strerror(reply.code);
    std::string expected;
    for (int i = 0; i < kChunks; ++i)
        expected += chunk_text(i, kChunkSize);
    EXPECT_EQ(reply.body, expected);
}

TEST(TextRequest, OnlyA2xxStatusIsASuccessAndAnyOtherIsLogged)
{
    test_support::LogCapture log;
    HttpTestServer service;
    service.server().Get("/broken", [](const httplib::Request&, httplib::Response& response) {
        response.status = 500;
        response.set_content("<html>Internal error</html>", "text/html");
    });
    service.server().Get("/made", [](const httplib::Request&, httplib::Response& response) {
        response.status = 201;
        response.set_content("made", "text/plain");
    });

    HttpReply broken = get_text(request_to(service.base_url() + "/broken?p=DIGEST"));
    EXPECT_FALSE(broken.ok());
    EXPECT_EQ(broken.code, CURLE_OK);
    EXPECT_EQ(broken.status, 500);
    EXPECT_EQ(broken.failure(), "HTTP status 500");
    EXPECT_THAT(log.file_lines(),
        testing::ElementsAre("NETWORK - HTTP status 500 from " + service.base_url() + "/broken"));

    HttpReply made = get_text(request_to(service.base_url() + "/made"));
    EXPECT_TRUE(made.ok());
    EXPECT_EQ(made.body, "made");
}

TEST(TextRequest, SilentServerIsATimeOutFailure)
{
    test_support::SilentListener silent;
    HttpRequest request = request_to("http://127.0.0.1:" + std::to_string(silent.port()) + "/x");
    request.timeout = std::chrono::milliseconds(300);

    HttpReply reply = get_text(request);

    EXPECT_EQ(reply.code, CURLE_OPERATION_TIMEDOUT);
    EXPECT_FALSE(reply.ok());
}

TEST(TextRequest, ReplyIsHeldUpToTheLimitAndFailsBeyondIt)
{
    HttpTestServer service;
    service.server().Get("/sized", [](const httplib::Request& request, httplib::Response& response) {
        response.set_content(std::string(std::stoul(request.get_param_value("n")), 'x'), "text/plain");
    });
    std::string base = service.base_url() + "/sized?n=";

    HttpReply at_limit = get_text(request_to(base + std::to_string(kTextReplyLimit)));
    EXPECT_TRUE(at_limit.ok());
    EXPECT_EQ(at_limit.body.size(), kTextReplyLimit);

    HttpReply beyond = get_text(request_to(base + std::to_string(kTextReplyLimit + 1)));
    EXPECT_EQ(beyond.code, CURLE_WRITE_ERROR);
    EXPECT_LE(beyond.body.size(), kTextReplyLimit);
}

TEST(TextRequest, OnlyWebSchemesAreFetched)
{
    TempDir folder;
    test_support::write_file(folder.file("secret.txt"), "local file");

    HttpReply reply = get_text(request_to("file://" + folder.file("secret.txt")));

    EXPECT_EQ(reply.code, CURLE_UNSUPPORTED_PROTOCOL);
    EXPECT_TRUE(reply.body.empty());
}

class SecureRequest : public ::testing::Test {
protected:
    SecureRequest()
        : m_certificates(test_support::make_test_certificates(m_folder.path())),
          m_service("127.0.0.1", m_certificates)
    {
        m_service.server().Get("/hello", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("secure hello", "text/plain");
        });
    }

    TempDir m_folder;
    test_support::TestCertificates m_certificates;
    HttpTestServer m_service;
};

TEST_F(SecureRequest, PassesWithTheDeploymentCaFile)
{
    HttpRequest request = request_to(m_service.base_url() + "/hello");
    request.ca_file = m_certificates.ca_file;

    HttpReply reply = get_text(request);

    ASSERT_TRUE(reply.ok()) << curl_easy_strerror(reply.code);
    EXPECT_EQ(reply.body, "secure hello");
}

TEST_F(SecureRequest, UnknownCertificateIsAFailure)
{
    HttpReply without_ca = get_text(request_to(m_service.base_url() + "/hello"));
    EXPECT_EQ(without_ca.code, CURLE_PEER_FAILED_VERIFICATION);
    EXPECT_TRUE(without_ca.body.empty());

    TempDir other;
    HttpRequest other_ca = request_to(m_service.base_url() + "/hello");
    other_ca.ca_file = test_support::make_test_certificates(other.path()).ca_file;
    HttpReply with_other_ca = get_text(other_ca);
    // A CA of the same name but another key fails in the handshake's signature check.
    EXPECT_NE(with_other_ca.code, CURLE_OK);
    EXPECT_TRUE(with_other_ca.body.empty());
}

TEST_F(SecureRequest, UnreadableCaFileLeavesVerificationOn)
{
    HttpRequest request = request_to(m_service.base_url() + "/hello");
    request.ca_file = m_folder.file("missing.pem");

    EXPECT_EQ(get_text(request).code, CURLE_PEER_FAILED_VERIFICATION);
}

// A download whose server stops after the first MiB until the client has reported it,
// so the progress of exactly 1,048,576 of 3,145,728 bytes is seen.
class FileDownload : public SecureRequest {
protected:
    static constexpr std::size_t kTotal = 3 * 1024 * 1024;
    static constexpr std::size_t kFirstPart = 1024 * 1024;

    FileDownload()
    {
        for (std::size_t i = 0; i < kTotal; ++i)
            m_content += static_cast<char>(i * 7 % 251);
        m_service.server().Get("/setup", [this](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(kTotal, "application/octet-stream",
                [this](size_t offset, size_t length, httplib::DataSink& sink) {
                    if (offset == kFirstPart) {
                        std::unique_lock lock(m_mutex);
                        m_first_part_seen.wait_for(
                            lock, std::chrono::seconds(10), [this] { return m_released; });
                    }
                    size_t end =
                        offset < kFirstPart ? std::min(offset + length, kFirstPart) : offset + length;
                    return sink.write(m_content.data() + offset, end - offset);
                });
        });
    }

    void release_rest()
    {
        std::lock_guard lock(m_mutex);
        m_released = true;
        m_first_part_seen.notify_all();
    }

    std::string m_content;
    std::mutex m_mutex;
    std::condition_variable m_first_part_seen;
    bool m_released = false;
};

TEST_F(FileDownload, WritesTheFileAndReportsProgress)
{
    std::string path = m_folder.file("kalvo-setup");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::vector<std::pair<std::optional<int>, std::string>> reports;
    HttpRequest request;
    request.url = m_service.base_url() + "/setup";
    request.ca_file = m_certificates.ca_file;

    HttpReply reply =
        download_to_file(request, file, [&](std::optional<int> percent, const std::string& status) {
            reports.emplace_back(percent, status);
            if (status == "1.00MB of 3.00MB")
                release_rest();
        });
    release_rest();
    std::fclose(file);

    ASSERT_TRUE(reply.ok()) << reply.failure();
    EXPECT_EQ(test_support::read_file(path), m_content);
    auto first_part = std::find(
        reports.begin(), reports.end(), std::pair{std::optional(34), std::string("1.00MB of 3.00MB")});
    EXPECT_NE(first_part, reports.end());
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), (std::pair{std::optional(100), std::string("3.00MB of 3.00MB")}));
    for (std::size_t i = 1; i < reports.size(); ++i)
        EXPECT_NE(reports[i], reports[i - 1]) << "repeated report " << i;
}

TEST(FileDownloadTarget, MissingFileIsAFailureWithoutARequest)
{
    HttpRequest request = request_to("http://127.0.0.1:1/never");
    EXPECT_EQ(download_to_file(request, nullptr, nullptr).code, CURLE_WRITE_ERROR);
}

} // namespace

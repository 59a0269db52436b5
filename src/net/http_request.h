#pragma once
#include <chrono>
#include <cstdio>
#include <curl/curl.h>
#include <functional>
#include <optional>
#include <string>

// One HTTP GET to the service over libcurl's easy interface. Every request follows the
// same recipe; only the options below differ from one call site to another. Only a
// transfer that completes with a 2xx status is a success; any other status is a failure,
// logged with the status and the address (without its query, which may hold a digest).

// Text replies are held in memory only up to this size; a longer reply fails the request.
inline constexpr std::size_t kTextReplyLimit = 1024 * 1024;

struct HttpRequest {
    std::string url;
    std::optional<std::chrono::milliseconds> timeout; // none: wait as long as it takes
    std::string interface_address; // local IPv4 address to bind to, or empty
    std::string ca_file; // trusted in addition to the system store
    // A transfer that moves less than a byte a second for this long is stopped.
    std::optional<std::chrono::seconds> stall_limit;
    std::chrono::seconds connect_timeout{30};
};

// Download progress as the progress window shows it: the bar's percent (none while the
// size is unknown) and the status text. Called on the downloading thread, only when one
// of them changes; a window must hop to the interface thread itself.
using ProgressCallback = std::function<void(std::optional<int> percent, const std::string& status)>;

struct HttpReply {
    CURLcode code = CURLE_OK;
    long status = 0; // the HTTP status of the answer; 0 when none came
    std::string body; // the reply; what arrived before a failure is left but means nothing
    bool ok() const { return code == CURLE_OK && status >= 200 && status < 300; }
    // Why the request failed, for logs and messages: "HTTP status 404" or libcurl's reason.
    std::string failure() const;
};

// libcurl's process-wide initialisation, done once whoever calls first.
void curl_global_once();

// The text sink: each chunk is appended in arrival order until the limit is passed.
struct TextSink {
    std::string text;
    std::size_t limit = kTextReplyLimit;
    bool overflowed = false;
};

// One easy handle set up by the recipe (progress, time-out, sink, address, TLS trust,
// bound interface), released with the object. The probe runs several in a multi handle.
class EasyRequest {
public:
    EasyRequest(const HttpRequest& request, TextSink& sink);
    EasyRequest(const HttpRequest& request, std::FILE* file, ProgressCallback progress);
    ~EasyRequest();
    EasyRequest(const EasyRequest&) = delete;
    EasyRequest& operator=(const EasyRequest&) = delete;

    CURL* handle() const { return m_handle; }
    // Performs the transfer; the reply's code and status (the body is the sink's).
    HttpReply perform();
    // The HTTP status of the finished transfer (also one the multi interface performed),
    // logging it when it is not 2xx.
    long read_status() const;

private:
    void set_common_options(const HttpRequest& request);

    CURL* m_handle = nullptr;
    std::string m_url;
    std::string m_ca_file;
    ProgressCallback m_progress;
    std::optional<int> m_last_percent;
    std::string m_last_status;

    static int on_progress(void* self, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t);
};

// A request into the text sink.
HttpReply get_text(const HttpRequest& request);

// A request into a file the caller opened for binary writing, with optional progress. A
// body shorter than the Content-Length the server announced fails with CURLE_PARTIAL_FILE.
HttpReply download_to_file(const HttpRequest& request, std::FILE* file, ProgressCallback progress);

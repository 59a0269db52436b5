#include "net/http_request.h"

#include <mutex>

#include "log/log_file.h"
#include "net/download_progress.h"
#include "net/tls_trust.h"

namespace {

size_t write_to_text(char* data, size_t size, size_t count, void* sink_pointer)
{
    auto* sink = static_cast<TextSink*>(sink_pointer);
    size_t bytes = size * count;
    if (sink->text.size() + bytes > sink->limit) {
        // Taking less than offered makes libcurl end the transfer with CURLE_WRITE_ERROR.
        sink->overflowed = true;
        return 0;
    }
    sink->text.append(data, bytes);
    return bytes;
}

size_t write_to_file(char* data, size_t size, size_t count, void* file)
{
    return std::fwrite(data, 1, size * count, static_cast<std::FILE*>(file));
}

// The address as a log may show it: without its query and fragment.
std::string without_query(const std::string& url)
{
    return url.substr(0, url.find_first_of("?#"));
}

} // namespace

std::string HttpReply::failure() const
{
    if (code != CURLE_OK)
        return curl_easy_strerror(code);
    return "HTTP status " + std::to_string(status);
}

void curl_global_once()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_ALL); });
}

EasyRequest::EasyRequest(const HttpRequest& request, TextSink& sink)
{
    set_common_options(request);
    curl_easy_setopt(m_handle, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(m_handle, CURLOPT_WRITEFUNCTION, write_to_text);
    curl_easy_setopt(m_handle, CURLOPT_URL, request.url.c_str());
}

EasyRequest::EasyRequest(const HttpRequest& request, std::FILE* file, ProgressCallback progress)
    : m_progress(std::move(progress))
{
    set_common_options(request);
    if (m_progress) {
        curl_easy_setopt(m_handle, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(m_handle, CURLOPT_XFERINFOFUNCTION, on_progress);
        curl_easy_setopt(m_handle, CURLOPT_XFERINFODATA, this);
    }
    curl_easy_setopt(m_handle, CURLOPT_WRITEDATA, file);
    curl_easy_setopt(m_handle, CURLOPT_WRITEFUNCTION, write_to_file);
    curl_easy_setopt(m_handle, CURLOPT_URL, request.url.c_str());
}

void EasyRequest::set_common_options(const HttpRequest& request)
{
    curl_global_once();
    m_handle = curl_easy_init();
    m_url = request.url;
    curl_easy_setopt(m_handle, CURLOPT_NOPROGRESS, 1L);
    // Requests run on worker threads: time-outs must not rely on signals.
    curl_easy_setopt(m_handle, CURLOPT_NOSIGNAL, 1L);
    // Each handle makes one request: close its connection rather than keep it idle.
    curl_easy_setopt(m_handle, CURLOPT_FORBID_REUSE, 1L);
    if (request.timeout)
        curl_easy_setopt(m_handle, CURLOPT_TIMEOUT_MS, static_cast<long>(request.timeout->count()));
    curl_easy_setopt(m_handle, CURLOPT_CONNECTTIMEOUT, static_cast<long>(request.connect_timeout.count()));
    if (request.stall_limit) {
        curl_easy_setopt(m_handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(m_handle, CURLOPT_LOW_SPEED_TIME, static_cast<long>(request.stall_limit->count()));
    }
    // Addresses may come from service replies: nothing but the web's own schemes.
    curl_easy_setopt(m_handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(m_handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(m_handle, CURLOPT_SSL_VERIFYHOST, 2L);
    m_ca_file = request.ca_file;
    trust_ca_file_in_addition(m_handle, m_ca_file);
    if (!request.interface_address.empty()) {
        // "host!" makes libcurl take the text as an address, never as an interface name.
        std::string bind = "host!" + request.interface_address;
        curl_easy_setopt(m_handle, CURLOPT_INTERFACE, bind.c_str());
    }
}

EasyRequest::~EasyRequest()
{
    curl_easy_cleanup(m_handle);
}

HttpReply EasyRequest::perform()
{
    HttpReply reply;
    if (!m_handle) {
        reply.code = CURLE_FAILED_INIT;
        return reply;
    }
    reply.code = curl_easy_perform(m_handle);
    reply.status = read_status();
    return reply;
}

long EasyRequest::read_status() const
{
    long status = 0;
    curl_easy_getinfo(m_handle, CURLINFO_RESPONSE_CODE, &status);
    if (status != 0 && (status < 200 || status >= 300))
        log_file::write_line(
            "NETWORK - HTTP status " + std::to_string(status) + " from " + without_query(m_url));
    return status;
}

int EasyRequest::on_progress(void* self_pointer, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t)
{
    auto* self = static_cast<EasyRequest*>(self_pointer);
    std::optional<int> percent = download_percent(static_cast<double>(total), static_cast<double>(now));
    std::string status = download_status_text(static_cast<double>(total), static_cast<double>(now));
    // libcurl calls many times a second; the window only hears about changes.
    if (percent != self->m_last_percent || status != self->m_last_status) {
        self->m_last_percent = percent;
        self->m_last_status = status;
        self->m_progress(percent, status);
    }
    return 0;
}

HttpReply get_text(const HttpRequest& request)
{
    TextSink sink;
    HttpReply reply = EasyRequest(request, sink).perform();
    reply.body = std::move(sink.text);
    return reply;
}

HttpReply download_to_file(const HttpRequest& request, std::FILE* file, ProgressCallback progress)
{
    HttpReply reply;
    if (!file) {
        reply.code = CURLE_WRITE_ERROR;
        return reply;
    }
    EasyRequest easy(request, file, std::move(progress));
    reply = easy.perform();
    curl_off_t announced = -1, received = 0;
    curl_easy_getinfo(easy.handle(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced);
    curl_easy_getinfo(easy.handle(), CURLINFO_SIZE_DOWNLOAD_T, &received);
    if (reply.code == CURLE_OK && announced >= 0 && received != announced)
        reply.code = CURLE_PARTIAL_FILE;
    return reply;
}

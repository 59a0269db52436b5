#include "net/tls_trust.h"

#include <atomic>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include "log/log_dlg.h"
#include "log/log_file.h"

namespace {

void log_unreadable_once(const std::string& ca_file)
{
    static std::atomic<bool> logged{false};
    if (logged.exchange(true))
        return;
    std::string message =
        "CA file " + ca_file + " could not be loaded; only the system's certificates are trusted";
    LogDlg::instance().append(message);
    log_file::write_line("NETWORK - " + message);
}

// libcurl calls this with the connection's OpenSSL context after the system store is loaded.
CURLcode add_ca_file(CURL*, void* ssl_context, void* ca_file_pointer)
{
    const auto& ca_file = *static_cast<const std::string*>(ca_file_pointer);
    X509_STORE* store = SSL_CTX_get_cert_store(static_cast<SSL_CTX*>(ssl_context));
    if (!store || X509_STORE_load_file(store, ca_file.c_str()) != 1) {
        ERR_clear_error();
        log_unreadable_once(ca_file);
    }
    return CURLE_OK;
}

} // namespace

void trust_ca_file_in_addition(CURL* handle, const std::string& ca_file)
{
    if (ca_file.empty())
        return;
    curl_easy_setopt(handle, CURLOPT_SSL_CTX_FUNCTION, add_ca_file);
    curl_easy_setopt(handle, CURLOPT_SSL_CTX_DATA, &ca_file);
}

#include "net/tls_trust.h"

#include <atomic>
#include <map>
#include <mutex>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <sys/stat.h>

#include "log/log_dlg.h"
#include "log/log_file.h"
#include "net/http_request.h"

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

// Where libcurl finds the system's certificates (its built-in defaults), read once.
struct SystemCertificates {
    std::string bundle;
    std::string folder;
};

SystemCertificates system_certificates(CURL* handle)
{
    SystemCertificates system;
    char* text = nullptr;
    if (curl_easy_getinfo(handle, CURLINFO_CAINFO, &text) == CURLE_OK && text)
        system.bundle = text;
    text = nullptr;
    if (curl_easy_getinfo(handle, CURLINFO_CAPATH, &text) == CURLE_OK && text)
        system.folder = text;
    return system;
}

X509_STORE* build_store(const SystemCertificates& system, const std::string& ca_file)
{
    X509_STORE* store = X509_STORE_new();
    if (!store)
        return nullptr;
    bool loaded = (!system.bundle.empty() && X509_STORE_load_file(store, system.bundle.c_str()) == 1) |
        (!system.folder.empty() && X509_STORE_load_path(store, system.folder.c_str()) == 1);
    if (!loaded)
        X509_STORE_set_default_paths(store);
    if (!ca_file.empty() && X509_STORE_load_file(store, ca_file.c_str()) != 1)
        log_unreadable_once(ca_file);
    ERR_clear_error();
    return store;
}

// Which version of a CA file a store was built from: a file replaced while the program
// runs (the service's certificate renewed) is loaded again.
std::string file_version(const std::string& path)
{
    struct stat st { };
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return {};
    return std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec) + ":" +
        std::to_string(st.st_size) + ":" + std::to_string(st.st_ino);
}

// The process's stores, one per CA file.
class SharedStores {
public:
    // A reference the caller frees.
    X509_STORE* get(const std::string& ca_file)
    {
        std::lock_guard lock(m_mutex);
        Entry& entry = m_stores[ca_file];
        std::string version = file_version(ca_file);
        if (!entry.store || entry.version != version) {
            X509_STORE_free(entry.store);
            entry.store = build_store(m_system, ca_file);
            entry.version = version;
        }
        if (entry.store)
            X509_STORE_up_ref(entry.store);
        return entry.store;
    }
    void learn_system_certificates(CURL* handle)
    {
        std::lock_guard lock(m_mutex);
        if (!m_system_known) {
            m_system = system_certificates(handle);
            m_system_known = true;
        }
    }

private:
    std::mutex m_mutex;
    bool m_system_known = false;
    SystemCertificates m_system;
    struct Entry {
        X509_STORE* store = nullptr;
        std::string version;
    };
    std::map<std::string, Entry> m_stores;
};

SharedStores& shared_stores()
{
    static auto* stores = new SharedStores; // never freed: a worker may still connect at exit
    return *stores;
}

// libcurl calls this with the connection's OpenSSL context before the handshake.
CURLcode use_shared_store(CURL*, void* ssl_context, void* ca_file_pointer)
{
    const auto& ca_file = *static_cast<const std::string*>(ca_file_pointer);
    if (X509_STORE* store = shared_stores().get(ca_file)) {
        SSL_CTX_set1_cert_store(static_cast<SSL_CTX*>(ssl_context), store);
        X509_STORE_free(store);
    }
    return CURLE_OK;
}

} // namespace

void prepare_trust_store(const std::string& ca_file)
{
    curl_global_once();
    if (CURL* handle = curl_easy_init()) {
        shared_stores().learn_system_certificates(handle);
        curl_easy_cleanup(handle);
    }
    if (X509_STORE* store = shared_stores().get(ca_file))
        X509_STORE_free(store);
}

void trust_ca_file_in_addition(CURL* handle, const std::string& ca_file)
{
    shared_stores().learn_system_certificates(handle);
    // libcurl loads nothing itself: the shared store replaces its empty one.
    curl_easy_setopt(handle, CURLOPT_CAINFO, nullptr);
    curl_easy_setopt(handle, CURLOPT_CAPATH, nullptr);
    curl_easy_setopt(handle, CURLOPT_SSL_CTX_FUNCTION, use_shared_store);
    curl_easy_setopt(handle, CURLOPT_SSL_CTX_DATA, &ca_file);
}

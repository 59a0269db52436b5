#include "ui/web/page_trust.h"

#include <filesystem>
#include <glib.h>
#include <optional>

#include "net/service_addresses.h"

namespace {

struct Parsed {
    std::string scheme;
    std::string host;
    int port = 0;
    std::string path; // decoded
};

int default_port(const std::string& scheme)
{
    return scheme == "https" ? 443 : scheme == "http" ? 80 : -1;
}

std::optional<Parsed> parse(const std::string& address)
{
    GUri* uri = g_uri_parse(address.c_str(), G_URI_FLAGS_NONE, nullptr);
    if (!uri)
        return std::nullopt;
    Parsed parsed;
    gchar* scheme = g_ascii_strdown(g_uri_get_scheme(uri), -1);
    parsed.scheme = scheme;
    g_free(scheme);
    if (const char* host = g_uri_get_host(uri)) {
        gchar* lower = g_ascii_strdown(host, -1);
        parsed.host = lower;
        g_free(lower);
    }
    parsed.port = g_uri_get_port(uri) > 0 ? g_uri_get_port(uri) : default_port(parsed.scheme);
    parsed.path = g_uri_get_path(uri);
    g_uri_unref(uri);
    return parsed;
}

std::string normal(const std::string& path)
{
    return std::filesystem::path(path).lexically_normal().string();
}

} // namespace

TrustedPages::TrustedPages(
    const Deployment& deployment, const std::string& skin_folder, const std::string& cache_file)
    : m_skin_folder(skin_folder.empty() ? "" : normal(skin_folder + "/")), m_cache_file(normal(cache_file))
{
    for (const std::string* base :
        {&deployment.web_http, &deployment.secure_http, &deployment.secure_https}) {
        std::optional<Parsed> parsed = parse(*base);
        if (parsed && (parsed->scheme == "http" || parsed->scheme == "https") && !parsed->host.empty())
            m_origins.push_back({parsed->scheme, parsed->host, parsed->port});
    }
}

bool TrustedPages::trusts(const std::string& address) const
{
    std::optional<Parsed> page = parse(address);
    if (!page)
        return false;
    if (page->scheme == "file") {
        if (!page->host.empty() && page->host != "localhost")
            return false;
        std::string path = normal(page->path);
        return path == m_cache_file || (!m_skin_folder.empty() && path.starts_with(m_skin_folder));
    }
    for (const Origin& origin : m_origins) {
        if (origin.scheme == page->scheme && origin.host == page->host && origin.port == page->port)
            return true;
    }
    return false;
}

std::vector<std::string> TrustedPages::script_patterns() const
{
    std::vector<std::string> patterns;
    for (const Origin& origin : m_origins)
        patterns.push_back(origin.scheme + "://" + origin.host + "/*");
    if (!m_skin_folder.empty())
        patterns.push_back(service_address::file_address(m_skin_folder) + "*");
    if (!m_cache_file.empty())
        patterns.push_back(
            service_address::file_address(std::filesystem::path(m_cache_file).parent_path().string()) + "/*");
    return patterns;
}

#pragma once
#include <string>
#include <vector>

#include "settings/deployment.h"

// The pages `window.external` is offered to: those of the deployment's web and secure
// hosts (same scheme, host and port), the skin's own local pages (files below its
// folder) and the cached main page. Every other page, file or origin is foreign.
class TrustedPages {
public:
    TrustedPages(const Deployment& deployment, const std::string& skin_folder, const std::string& cache_file);

    bool trusts(const std::string& address) const;

    // WebKit user-script URL patterns for the same pages: a first, coarser gate (any port
    // of a trusted host, any file of the cache folder); trusts() decides.
    std::vector<std::string> script_patterns() const;

private:
    struct Origin {
        std::string scheme;
        std::string host;
        int port = 0;
    };
    std::vector<Origin> m_origins;
    std::string m_skin_folder;
    std::string m_cache_file;
};

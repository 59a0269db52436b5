#include "settings/deployment.h"

#include <cstdlib>
#include <glib.h>
#include <mutex>

#include "log/log_dlg.h"
#include "settings/paths.h"

namespace {

void read_key(GKeyFile* file, const char* name, std::string& field)
{
    gchar* value = g_key_file_get_string(file, "service", name, nullptr);
    if (value) {
        field = value;
        g_free(value);
    }
}

std::string deployment_path()
{
    const char* overridden = std::getenv("KALVO_DEPLOYMENT");
    if (overridden && *overridden)
        return overridden;
    return paths::join(paths::packaged_data_dir(), "deployment.ini");
}

} // namespace

Deployment Deployment::load_from(const std::string& path, std::string* error)
{
    Deployment deployment;
    GKeyFile* file = g_key_file_new();
    GError* gerror = nullptr;
    if (!g_key_file_load_from_file(file, path.c_str(), G_KEY_FILE_NONE, &gerror)) {
        if (error)
            *error = gerror ? gerror->message : "unreadable";
        g_clear_error(&gerror);
        g_key_file_free(file);
        return deployment;
    }
    read_key(file, "web_http", deployment.web_http);
    read_key(file, "secure_http", deployment.secure_http);
    read_key(file, "secure_https", deployment.secure_https);
    read_key(file, "sip_domain", deployment.sip_domain);
    read_key(file, "gateway", deployment.gateway);
    read_key(file, "voicemail", deployment.voicemail);
    read_key(file, "ca_file", deployment.ca_file);
    g_key_file_free(file);
    return deployment;
}

const Deployment& Deployment::get()
{
    static Deployment deployment;
    static std::once_flag once;
    std::call_once(once, [] {
        std::string path = deployment_path();
        std::string error;
        deployment = load_from(path, &error);
        if (!error.empty())
            LogDlg::instance().append(
                "Deployment file " + path + " not used (" + error + "); using built-in service addresses");
    });
    return deployment;
}

std::string Deployment::host_of(const std::string& address)
{
    std::string rest = address;
    auto scheme = rest.find("://");
    if (scheme != std::string::npos)
        rest = rest.substr(scheme + 3);
    auto end = rest.find_first_of(":/?");
    return end == std::string::npos ? rest : rest.substr(0, end);
}

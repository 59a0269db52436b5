#include "settings/app_settings.h"

#include <map>
#include <mutex>

#include "log/log_dlg.h"
#include "settings/deployment.h"
#include "settings/password_cipher.h"
#include "settings/registry.h"
#include "settings/registry_store.h"

std::string settings_path(const std::string& value_name)
{
    return std::string(kSettingsKey) + "\\" + value_name;
}

namespace {

// Reads the stored values once; a value that is missing takes its default, which is
// written back with the others in one replace of the store when loading ends.
class ValueReader {
public:
    ValueReader() : m_values(registry_store::read_all(kSettingsKey)) { }

    const std::string& text(const char* name, const std::string& fallback)
    {
        auto found = m_values.find(name);
        if (found != m_values.end())
            return found->second;
        m_missing[name] = fallback;
        return m_values[name] = fallback;
    }
    int number(const char* name, int fallback)
    {
        return registry_int::decode(text(name, registry_int::encode(fallback)));
    }
    // A flag stored in any other form than "1" or "0" keeps its default.
    bool flag(const char* name, bool fallback)
    {
        return registry_binary::decode(text(name, registry_binary::encode(fallback))).value_or(fallback);
    }

    void write_missing()
    {
        if (!m_missing.empty())
            registry_store::write_all(kSettingsKey, m_missing);
    }

private:
    registry_store::Values m_values;
    registry_store::Values m_missing;
};

std::string decipher_password(const std::string& stored)
{
    auto password = password_cipher::decipher(stored);
    if (!password) {
        LogDlg::instance().append("Stored password is not in the enciphered form (" +
            std::to_string(stored.size()) + " characters); using an empty password");
        return {};
    }
    return *password;
}

// With "Remember me" off the password never reaches the store: the running program keeps
// it here until it ends, one per store file (tests run several stores in one process).
class SessionPasswords {
public:
    std::string get()
    {
        std::lock_guard lock(m_mutex);
        return m_passwords[registry_store::file_path()];
    }
    void set(const std::string& password)
    {
        std::lock_guard lock(m_mutex);
        m_passwords[registry_store::file_path()] = password;
    }

private:
    std::mutex m_mutex;
    std::map<std::string, std::string> m_passwords;
};

SessionPasswords& session_passwords()
{
    static SessionPasswords passwords;
    return passwords;
}

} // namespace

void AppSettings::load()
{
    const Deployment& deployment = Deployment::get();
    ValueReader reader;
    username = reader.text("username", "");
    std::string stored_password = decipher_password(reader.text("password", password_cipher::encipher("")));
    realm = reader.text("realm", deployment.sip_domain);
    identity = reader.text("identity", username + "@" + realm);
    proxy_server = reader.text("proxy_server", deployment.gateway);
    stun_server = reader.text("stun_server", deployment.gateway);
    splash_path = reader.text("splash_path", "splash.png");
    info_version = reader.number("info_version", 0);
    quality = reader.number("quality", 5);
    input_device = reader.number("input_device", 0);
    output_device = reader.number("output_device", 0);
    ring_device = reader.number("ring_device", 0);
    network_device = reader.number("network_device", 0);
    window_x = reader.number("window_x", 0);
    window_y = reader.number("window_y", 0);
    use_rport = reader.flag("use_rport", true);
    sre_ready = reader.flag("sre_ready", false);
    show_minimize = reader.flag("show_minimize", false);
    shown_wizard = reader.flag("shown_wizard", false);
    remember_user = reader.flag("remember_user", false);
    auto_login = reader.flag("auto_login", false);
    start_minimized = reader.flag("start_minimized", false);
    auto_start = reader.flag("auto_start", true);
    // A record of an earlier version may hold a password it was not to remember: it is
    // used, and leaves the store at the next save.
    password = remember_user || !stored_password.empty() ? stored_password : session_passwords().get();
    reader.write_missing();
}

void AppSettings::save() const
{
    session_passwords().set(remember_user ? "" : password);
    // One replace of the store: a crash during a save keeps the old record whole.
    registry_store::write_all(kSettingsKey,
        {
            {"username", username},
            {"password", password_cipher::encipher(remember_user ? password : "")},
            {"realm", realm},
            {"identity", username + "@" + realm},
            {"proxy_server", proxy_server},
            {"stun_server", stun_server},
            {"splash_path", splash_path},
            {"input_device", registry_int::encode(input_device)},
            {"quality", registry_int::encode(quality)},
            {"info_version", registry_int::encode(info_version)},
            {"output_device", registry_int::encode(output_device)},
            {"ring_device", registry_int::encode(ring_device)},
            {"network_device", registry_int::encode(network_device)},
            {"window_x", registry_int::encode(window_x)},
            {"window_y", registry_int::encode(window_y)},
            {"use_rport", registry_binary::encode(use_rport)},
            {"sre_ready", registry_binary::encode(sre_ready)},
            {"show_minimize", registry_binary::encode(show_minimize)},
            {"shown_wizard", registry_binary::encode(shown_wizard)},
            {"remember_user", registry_binary::encode(remember_user)},
            {"auto_login", registry_binary::encode(auto_login)},
            {"start_minimized", registry_binary::encode(start_minimized)},
            {"auto_start", registry_binary::encode(auto_start)},
        });
}

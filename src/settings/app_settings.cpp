#include "settings/app_settings.h"

#include "log/log_dlg.h"
#include "settings/deployment.h"
#include "settings/password_cipher.h"
#include "settings/registry.h"

std::string settings_path(const std::string& value_name)
{
    return std::string(kSettingsKey) + "\\" + value_name;
}

namespace {

std::string load_string(const char* name, const std::string& fallback)
{
    registry_string value(settings_path(name));
    if (!value.exists())
        value.set(fallback);
    return value.get();
}

int load_int(const char* name, int fallback)
{
    registry_int value(settings_path(name));
    if (!value.exists())
        value.set(fallback);
    return value.get();
}

bool load_bool(const char* name, bool fallback)
{
    registry_binary value(settings_path(name));
    if (!value.exists())
        value.set(fallback);
    return value.get();
}

std::string load_password()
{
    registry_string value(settings_path("password"));
    if (!value.exists())
        value.set(password_cipher::encipher(""));
    std::string stored = value.get();
    auto password = password_cipher::decipher(stored);
    if (!password) {
        LogDlg::instance().append("Stored password is not in the enciphered form (" + std::to_string(stored.size())
            + " characters); using an empty password");
        return {};
    }
    return *password;
}

void save_string(const char* name, const std::string& text) { registry_string(settings_path(name)).set(text); }
void save_int(const char* name, int number) { registry_int(settings_path(name)).set(number); }
void save_bool(const char* name, bool flag) { registry_binary(settings_path(name)).set(flag); }

} // namespace

void AppSettings::load()
{
    const Deployment& deployment = Deployment::get();
    username = load_string("username", "");
    password = load_password();
    realm = load_string("realm", deployment.sip_domain);
    identity = load_string("identity", username + "@" + realm);
    proxy_server = load_string("proxy_server", deployment.gateway);
    stun_server = load_string("stun_server", deployment.gateway);
    splash_path = load_string("splash_path", "splash.png");
    info_version = load_int("info_version", 0);
    quality = load_int("quality", 5);
    input_device = load_int("input_device", 0);
    output_device = load_int("output_device", 0);
    ring_device = load_int("ring_device", 0);
    network_device = load_int("network_device", 0);
    window_x = load_int("window_x", 0);
    window_y = load_int("window_y", 0);
    use_rport = load_bool("use_rport", true);
    sre_ready = load_bool("sre_ready", false);
    show_minimize = load_bool("show_minimize", false);
    shown_wizard = load_bool("shown_wizard", false);
    remember_user = load_bool("remember_user", false);
    auto_login = load_bool("auto_login", false);
    start_minimized = load_bool("start_minimized", false);
    auto_start = load_bool("auto_start", true);
}

void AppSettings::save() const
{
    save_string("username", username);
    save_string("password", password_cipher::encipher(password));
    save_string("realm", realm);
    save_string("identity", username + "@" + realm);
    save_string("proxy_server", proxy_server);
    save_string("stun_server", stun_server);
    save_string("splash_path", splash_path);
    save_int("input_device", input_device);
    save_int("quality", quality);
    save_int("info_version", info_version);
    save_int("output_device", output_device);
    save_int("ring_device", ring_device);
    save_int("network_device", network_device);
    save_int("window_x", window_x);
    save_int("window_y", window_y);
    save_bool("use_rport", use_rport);
    save_bool("sre_ready", sre_ready);
    save_bool("show_minimize", show_minimize);
    save_bool("shown_wizard", shown_wizard);
    save_bool("remember_user", remember_user);
    save_bool("auto_login", auto_login);
    save_bool("start_minimized", start_minimized);
    save_bool("auto_start", auto_start);
}

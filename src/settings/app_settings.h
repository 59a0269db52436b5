#pragma once
#include <string>

// The user's settings record under "Software\Kalvo". Every user builds its own record,
// loads it, changes fields and saves it; there is no shared settings object.
struct AppSettings {
    std::string identity;
    std::string username;
    std::string password;
    std::string realm;
    std::string proxy_server;
    std::string stun_server;
    std::string splash_path;
    int info_version = 0;
    int input_device = 0;
    int output_device = 0;
    int ring_device = 0;
    int network_device = 0;
    bool use_rport = false;
    bool sre_ready = false;
    bool show_minimize = false;
    bool shown_wizard = false;
    bool remember_user = false;
    bool auto_login = false;
    bool start_minimized = false;
    bool auto_start = false;
    int window_x = 0;
    int window_y = 0;
    int quality = 0;

    // Fills every field, first writing the default of every value that is missing.
    void load();
    // Writes every field; identity is always written as username + "@" + realm. With
    // remember_user off the stored password is empty and the running program keeps the
    // password in memory, where load() finds it.
    void save() const;
};

// The key every settings value lives under.
inline constexpr const char* kSettingsKey = "Software\\Kalvo";
// Full store path of a value under "Software\Kalvo".
std::string settings_path(const std::string& value_name);

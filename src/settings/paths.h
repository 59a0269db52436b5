#pragma once
#include <string>

// Where Kalvo keeps its files on a freedesktop system. Each function reads the
// environment afresh, so tests can point XDG folders at temporary directories.
namespace paths {

// $XDG_CONFIG_HOME/kalvo (default ~/.config/kalvo).
std::string config_dir();
// $XDG_DATA_HOME/kalvo (default ~/.local/share/kalvo): the default install_path.
std::string user_data_dir();
// $XDG_DATA_HOME (default ~/.local/share), without the kalvo folder.
std::string xdg_data_home();
// $XDG_CONFIG_HOME (default ~/.config), without the kalvo folder.
std::string xdg_config_home();
// $XDG_RUNTIME_DIR/kalvo, falling back to /tmp/kalvo-UID.
std::string runtime_dir();
// Creates runtime_dir() when missing and makes sure it is private: a real folder (not a
// link) owned by the user that nobody else may enter. False, with the reason in `error`,
// otherwise: the shared /tmp fallback may have been made by someone else.
bool prepare_runtime_dir(std::string& error);
// The packaged data folder: <prefix>/share/kalvo when the program runs installed as
// <prefix>/bin/kalvo, else the source tree (a run from the build folder).
std::string packaged_data_dir();
// The packaged skins folder (KALVO_SKINS_DIR overrides it).
std::string packaged_skins_dir();
// The start-up splash image of the shipped skin.
std::string packaged_splash_image();
// The full path of the running executable.
std::string executable_path();

// Creates a folder and its parents with mode 0700; true when it exists afterwards.
bool make_dirs(const std::string& path);
// Makes a folder and everything in it the user owns private to the user: folders 0700,
// files without any group or other permission (0600, or 0700 for programs). Symbolic
// links are neither followed nor changed.
void make_private(const std::string& folder);
// Writes a whole file (replacing its contents) that only the user may read: mode 0600.
bool write_private_file(const std::string& path, const std::string& contents);
// Joins two path pieces with exactly one "/".
std::string join(const std::string& a, const std::string& b);

} // namespace paths

#pragma once
#include <string>
#include <vector>

#include "settings/deployment.h"

// The service's main page, downloaded at sign-in into a local cache file with the skin's
// folder written into it, or shown live when that fails.
namespace main_page {

// Every "%%SKIN_PATH%%" replaced by the skin's folder address: file address of the skins
// folder + "/Kalvo/".
std::string substitute_skin_path(const std::string& page, const std::string& skins_folder);

std::string cache_file(const std::string& install_path);
// The cached page's address with the account in its query (digest, never the password).
std::string cached_address(
    const std::string& install_path, const std::string& user, const std::string& digest);
std::string live_address(const Deployment& deployment, const std::string& user, const std::string& digest);

// Writes the page and a line end to the cache file (creating its folder); false when
// the file cannot be written.
bool write_cache(const std::string& install_path, const std::string& page);

struct Choice {
    std::string address;
    std::vector<std::string> log; // log window lines, in order
};

// Downloads the page and picks the address to show: the cache file when the download and
// the write succeed, the live page otherwise.
Choice load(const std::string& user, const std::string& password, const std::string& install_path,
    const std::string& skins_folder, const Deployment& deployment);

} // namespace main_page

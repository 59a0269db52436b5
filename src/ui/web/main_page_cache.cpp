#include "ui/web/main_page_cache.h"

#include <fstream>

#include "net/http_request.h"
#include "net/md5_digest.h"
#include "net/service_addresses.h"
#include "net/service_requests.h"
#include "settings/paths.h"

namespace main_page {

std::string substitute_skin_path(const std::string& page, const std::string& skins_folder)
{
    static const std::string marker = "%%SKIN_PATH%%";
    const std::string replacement = service_address::file_address(skins_folder) + "/Kalvo/";
    std::string result;
    size_t start = 0;
    for (size_t at = page.find(marker); at != std::string::npos; at = page.find(marker, start)) {
        result.append(page, start, at - start);
        result += replacement;
        start = at + marker.size();
    }
    result.append(page, start, std::string::npos);
    return result;
}

std::string cache_file(const std::string& install_path)
{
    return paths::join(paths::join(install_path, "Cache"), "main.html");
}

std::string cached_address(
    const std::string& install_path, const std::string& user, const std::string& digest)
{
    return service_address::file_address(paths::join(install_path, "Cache")) +
        "/main.html?user=" + percent_encode(user) + "&pass=" + digest;
}

std::string live_address(const Deployment& deployment, const std::string& user, const std::string& digest)
{
    return deployment.secure_https + "/live/index.php?user=" + percent_encode(user) + "&pass=" + digest;
}

bool write_cache(const std::string& install_path, const std::string& page)
{
    paths::make_dirs(paths::join(install_path, "Cache"));
    std::ofstream file(cache_file(install_path), std::ios::binary | std::ios::trunc);
    if (!file)
        return false;
    file << page << '\n';
    return static_cast<bool>(file.flush());
}

Choice load(const std::string& user, const std::string& password, const std::string& install_path,
    const std::string& skins_folder, const Deployment& deployment)
{
    Choice choice;
    std::string digest = cMD5::hex_digest(password);
    HttpRequest request = main_page_request(user, password, deployment);
    choice.log.push_back("********** Trying to get the cache file");
    choice.log.push_back(service_address::mask_password_in_address(request.url));
    choice.address = live_address(deployment, user, digest);
    HttpReply reply = get_text(request);
    if (!reply.ok()) {
        choice.log.push_back("********** Could not get the cache file!");
        return choice;
    }
    choice.log.push_back("********** Got the cache file");
    if (write_cache(install_path, substitute_skin_path(reply.body, skins_folder)))
        choice.address = cached_address(install_path, user, digest);
    else
        choice.log.push_back("********** Could not write " + cache_file(install_path));
    return choice;
}

} // namespace main_page

#include "ui/web/res_lookup.h"

#include <gio/gio.h>
#include <strings.h>

namespace res_lookup {

bool is_res_address(const std::string& address)
{
    return address.size() >= 4 && strncasecmp(address.c_str(), "RES:", 4) == 0;
}

std::optional<std::string> resource_path(const std::string& address)
{
    if (!is_res_address(address))
        return std::nullopt;
    std::string wanted = address.substr(4);
    if (wanted.empty() || wanted.find('/') != std::string::npos)
        return std::nullopt;
    char** names = g_resources_enumerate_children(kFolder, G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
    std::optional<std::string> found;
    for (char** name = names; name && *name; ++name) {
        if (strcasecmp(*name, wanted.c_str()) == 0) {
            found = std::string(kFolder) + *name;
            break;
        }
    }
    g_strfreev(names);
    return found;
}

} // namespace res_lookup

#include "telephony/call_addressing.h"

namespace call_addressing {

std::string dial_address(const std::string& target, const std::string& sip_domain)
{
    if (target.find('@') != std::string::npos)
        return target;
    return target + "@" + sip_domain;
}

std::string remote_user(const std::string& identity)
{
    const std::string scheme = "sip:";
    std::size_t sip = identity.find(scheme);
    std::size_t at = identity.find('@');
    if (sip == std::string::npos || at == std::string::npos || at <= sip + 4)
        return identity;
    std::size_t user = sip + scheme.size();
    return identity.substr(user, at - user);
}

std::optional<int> dtmf_tone(char key)
{
    if ((key >= '0' && key <= '9') || key == '*' || key == '#')
        return static_cast<int>(key);
    return std::nullopt;
}

} // namespace call_addressing

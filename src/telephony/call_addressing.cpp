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

ServerAddress server_address(const std::string& server)
{
    std::string text = server;
    for (const char* scheme : {"sip:", "sips:"}) {
        if (text.rfind(scheme, 0) == 0)
            text.erase(0, std::string(scheme).size());
    }
    text = text.substr(0, text.find(';'));
    ServerAddress address;
    std::size_t colon = text.rfind(':');
    address.host = text.substr(0, colon);
    if (colon == std::string::npos)
        return address;
    std::string digits = text.substr(colon + 1);
    int port = 0;
    for (char digit : digits) {
        if (digit < '0' || digit > '9' || port > 65535)
            return address;
        port = port * 10 + (digit - '0');
    }
    if (!digits.empty() && port >= 1 && port <= 65535)
        address.port = port;
    return address;
}

std::optional<int> dtmf_tone(char key)
{
    if ((key >= '0' && key <= '9') || key == '*' || key == '#')
        return static_cast<int>(key);
    return std::nullopt;
}

} // namespace call_addressing

#include "telephony/sip_password.h"

std::string sip_password(const std::string& password)
{
    if (password.empty())
        return {};
    std::string derived = password + "_";
    for (std::size_t position : {2u, 3u, 0u, 1u}) {
        if (position < password.size())
            derived += password[position];
    }
    return derived;
}

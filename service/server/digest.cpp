#include "digest.h"

#include <cstdio>
#include <openssl/evp.h>

std::string password_digest(const std::string& password)
{
    unsigned char md[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(password.data(), password.size(), md, &length, EVP_md5(), nullptr);
    std::string hex;
    char byte[3];
    for (unsigned int i = 0; i < length; ++i) {
        std::snprintf(byte, sizeof byte, "%02X", md[i]);
        hex += byte;
    }
    return hex;
}

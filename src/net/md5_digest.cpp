#include "net/md5_digest.h"

#include <cstdio>
#include <cstring>
#include <nettle/md5.h>

std::string cMD5::hex_digest(const std::string& text)
{
    // The stored password is a C string: bytes after an embedded zero never counted.
    size_t length = std::strlen(text.c_str());
    md5_ctx context;
    md5_init(&context);
    md5_update(&context, length, reinterpret_cast<const uint8_t*>(text.data()));
    uint8_t digest[MD5_DIGEST_SIZE];
    md5_digest(&context, sizeof digest, digest);

    std::string hex;
    char pair[3];
    for (uint8_t byte : digest) {
        std::snprintf(pair, sizeof pair, "%02X", byte);
        hex += pair;
    }
    return hex;
}

#pragma once
#include <string>

// The password digest the service expects in its "p" and "pass" query keys.
class cMD5 {
public:
    // MD5 of the text's bytes up to its first zero byte, as 32 upper-case hexadecimal
    // digits (first digest byte first).
    static std::string hex_digest(const std::string& text);
};

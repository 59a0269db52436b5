#pragma once
#include <string>

// MD5 of the password as 32 upper-case hexadecimal digits, the form the
// program sends in the "p" and "pass" query keys.
std::string password_digest(const std::string& password);

#pragma once
#include <string>

// The password the SIP line authenticates with, derived from the account password:
// empty for an empty password, else the password, "_", then its 3rd, 4th, 1st and 2nd
// characters. A password shorter than four characters contributes only the characters
// it has, in the same order ("abc" gives "abc_cab").
std::string sip_password(const std::string& password);

#pragma once
#include <string>

// When the information window shows itself after a login.
namespace info_version {

// The leading decimal number of a text as atoi reads it (blanks, a sign, digits), held
// to the int range; 0 when the text does not start with one.
int parse(const std::string& text);

// After the first registration of a login: logs "Info dialog version is: <text>" and,
// when the stored `info_version` is lower than the offered one or the login reply asked
// for the window, stores the offered version and returns true (show the window).
bool take(const std::string& offered_text, bool show_requested);

} // namespace info_version

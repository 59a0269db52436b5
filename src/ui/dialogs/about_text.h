#pragma once
#include <string>

// The About window's line: "Version " and the product version with every ", " made "."
// ("4, 0, 0, 22" gives "Version 4.0.0.22").
std::string about_version_text(const std::string& product_version);

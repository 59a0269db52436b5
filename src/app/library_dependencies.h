#pragma once
#include <string>
#include <vector>

// The libraries an ELF shared library names as needed (its DT_NEEDED entries), in the
// order it names them. Empty when the file cannot be read or is not a 64-bit
// little-endian ELF file with a dynamic section.
std::vector<std::string> needed_libraries(const std::string& path);

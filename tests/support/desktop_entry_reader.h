#pragma once
#include <string>
#include <vector>

namespace test_support {

// A value of a desktop entry's [Desktop Entry] group as the desktop reads it (GLib's key
// file); empty when the file or the key is missing or the value does not parse.
std::string desktop_entry_value(const std::string& file, const std::string& key);

// The entry's Exec line split into arguments as the desktop splits it, "%%" read as "%"
// and field codes (%u) left in place.
std::vector<std::string> desktop_exec_arguments(const std::string& file);

} // namespace test_support

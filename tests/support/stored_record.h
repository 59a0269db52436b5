#pragma once
#include <map>
#include <optional>
#include <string>

namespace test_support {

// The program's values in registry.ini ("Software\Kalvo") as any key-file reader sees
// them; nullopt when the file does not parse.
std::optional<std::map<std::string, std::string>> stored_record();

} // namespace test_support

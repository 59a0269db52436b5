#pragma once
// Helpers shared by the fuzz targets.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz_support {

// The input as text (zero bytes included).
inline std::string text(const std::uint8_t* data, std::size_t size)
{
    return std::string(reinterpret_cast<const char*>(data), size);
}

// A private home for this process (HOME and the XDG folders under a new temporary
// folder), made on the first call; gives the folder.
const std::string& private_home();

// Replaces a file with the given bytes.
void write_file(const std::string& path, const std::string& bytes);

// The groups a Boost.Regex whole-text match of `pattern` (Perl syntax; with `dot_all`, "."
// also matches line ends) gives: `matched` false when it does not match, `known` false
// when the matcher gave up on the text (then there is nothing to compare with).
struct Oracle {
    bool known = true;
    bool matched = false;
    std::vector<std::string> groups;
};
Oracle regex_match(const char* pattern, const std::string& text, bool dot_all);
// The same for a search anywhere in the text.
Oracle regex_search(const char* pattern, const std::string& text);

// Stops the process when a check fails: the fuzzer reports it as a finding.
void check(bool condition, const char* what);

} // namespace fuzz_support

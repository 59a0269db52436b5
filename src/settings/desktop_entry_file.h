#pragma once
#include <string>

// What the per-user desktop entries Kalvo writes (link handler, log-in start) share: the
// quoting of an Exec argument and a write that leaves a file holding the same text alone.
namespace desktop_entry_file {

// One Exec argument as the desktop reads it back unchanged: bare when it holds no reserved
// character, else in double quotes, escaped for the Exec quoting and then for the value
// escapes every desktop entry string has; "%" doubled either way.
std::string exec_argument(const std::string& argument);

// The whole file; empty when it cannot be read.
std::string read(const std::string& path);

// Replaces the file (temporary file, then rename) unless it already holds `text`; true
// when the file holds `text` afterwards.
bool write_if_different(const std::string& path, const std::string& text);

} // namespace desktop_entry_file

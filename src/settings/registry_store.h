#pragma once
#include <functional>
#include <map>
#include <optional>
#include <string>

// The per-user store that stands in for the registry key HKEY_CURRENT_USER:
// one text file ($XDG_CONFIG_HOME/kalvo/registry.ini) with one group per key path
// ("Software\Kalvo") and one entry per value. The default (unnamed) value of a key is
// stored under the entry name "@".
//
// Every write re-reads the file under a process-wide mutex and an flock on a lock
// file, changes one value and replaces the file atomically (temporary file + rename),
// so no thread or process loses a value and a crash never leaves a torn file.
// A file that does not parse is moved aside to registry.ini.corrupt-TIMESTAMP.
namespace registry_store {

// Path of the store file for the current environment.
std::string file_path();

std::optional<std::string> read(const std::string& key, const std::string& name);
bool write(const std::string& key, const std::string& name, const std::string& value);
bool remove(const std::string& key, const std::string& name);

using Values = std::map<std::string, std::string>;
// Every value of one key, in one read.
Values read_all(const std::string& key);
// Several values of one key in one replace of the file: all of them land, or none.
bool write_all(const std::string& key, const Values& values);

// Receives one line for every recovery from a corrupt store (the log window by default).
void set_error_sink(std::function<void(const std::string&)> sink);

} // namespace registry_store

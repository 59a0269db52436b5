#pragma once
#include <ctime>
#include <string>

// The milestone log "kalvo.log" in the installation folder: one timestamped line per
// call, the file opened and closed for each line.
namespace log_file {

// "%04d-%02d-%02d %02d:%02d:%02d.%04d" of a local time with milliseconds.
std::string format_timestamp(const std::tm& local, int milliseconds);

// The folder kalvo.log is written to: the installation folder ("install_path") once the
// start-up has settled it, the current folder until then. Kept here rather than read from
// the settings store for every line.
void set_folder(const std::string& folder);
std::string folder();

// Path of kalvo.log under an installation folder.
std::string file_in(const std::string& install_path);

// Appends "timestamp message\n" in one write; a file that cannot be opened drops the line.
void write_line(const std::string& message);

} // namespace log_file

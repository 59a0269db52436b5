#pragma once
#include <ctime>
#include <string>

// The milestone log "kalvo.log" in the installation folder: one timestamped line per
// call, the file opened and closed for each line.
namespace log_file {

// "%04d-%02d-%02d %02d:%02d:%02d.%04d" of a local time with milliseconds.
std::string format_timestamp(const std::tm& local, int milliseconds);

// The installation folder ("install_path"); when the value is missing, "." is written
// into it first, so the line goes to the current folder.
std::string install_path_for_log();

// Path of kalvo.log under an installation folder.
std::string file_in(const std::string& install_path);

// Appends "timestamp message\n" in one write; a file that cannot be opened drops the line.
void write_line(const std::string& message);

} // namespace log_file

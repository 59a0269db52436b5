#pragma once
#include <string>

namespace command_line {

// The whole command line as one text, as the instance test forwards it and the command
// dispatcher reads it: the program path, then each argument after a blank; the argument
// following "/url", and any argument with a blank in it, in double quotes.
std::string build(int argc, const char* const* argv);

// True for a launch by the system's start-up entry: the whole text matches ".* /startup".
bool is_startup_launch(const std::string& text);

} // namespace command_line

#pragma once
#include <string>

// The run function: prepares the per-user start-up work, creates the main window and
// the splash window, and runs the interface loop. Returns the loop's exit code, or 0
// when the main window cannot be created.
int run(const std::string& command_line);

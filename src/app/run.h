#pragma once
#include <string>

#include "app/launcher_splash.h"

namespace single_instance {
class Server;
}

// The run function: prepares the per-user start-up work, creates the main window and
// the splash window, and runs the interface loop. Returns the loop's exit code, or 0
// when the main window cannot be created. Command lines of later starts reach the main
// window through `instance_server` once the window exists. The launcher's splash, when
// there is one, gives way to the program's own.
int run(const std::string& command_line, single_instance::Server& instance_server,
    LauncherSplash& launcher_splash);

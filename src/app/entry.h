#pragma once
#include <string>

#include "app/launcher_splash.h"
#include "app/single_instance.h"

// The program after the launcher: the launcher answered --version and --help, took the
// single-instance lock and listened for later starts while the program's libraries
// loaded, and may have put up a splash meanwhile. This carries on with the interface
// start-up and the run function.
int kalvo_main(int argc, char** argv, const std::string& command_line, single_instance::Launch launch,
    LauncherSplash splash);

// The name the launcher looks the entry up by in the program's library.
inline constexpr const char* kProgramEntryName = "kalvo_program_main";
using ProgramEntry = int (*)(int argc, char** argv, const std::string* command_line,
    single_instance::Launch* launch, LauncherSplash* splash);

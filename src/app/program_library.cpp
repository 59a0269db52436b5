// The program's shared library: everything but the launcher. Only this entry is exported.
#include "app/entry.h"

extern "C" __attribute__((visibility("default"))) int kalvo_program_main(int argc, char** argv,
    const std::string* command_line, single_instance::Launch* launch, LauncherSplash* splash)
{
    return kalvo_main(argc, argv, *command_line, std::move(*launch), *splash);
}

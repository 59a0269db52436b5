// The launcher, the `kalvo` executable. It needs nothing but the C library, so a later
// start hands its link to the running instance without loading the toolkit, the web
// engine or the SIP stack; the first start answers later starts while it loads them (the
// program's library, libkalvo-program.so), with the splash already up, and then hands
// over to the program.
#include <csignal>
#include <cstdio>
#include <dlfcn.h>
#include <mutex>
#include <pthread.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "app/command_line.h"
#include "app/entry.h"
#include "app/launcher_splash.h"
#include "app/library_dependencies.h"
#include "app/single_instance.h"
#include "settings/paths.h"
#include "ui/launch_splash/launch_splash.h"

namespace {

constexpr const char* kProgramLibrary = "libkalvo-program.so";

// The program's libraries: beside the executable in a build folder; <prefix>/lib/kalvo
// from <prefix>/bin installed.
std::string library_folder()
{
    std::string executable = paths::executable_path();
    std::string folder = executable.substr(0, executable.find_last_of('/') + 1);
    struct stat st { };
    if (::stat((folder + kProgramLibrary).c_str(), &st) == 0)
        return folder;
    return folder + "../lib/kalvo/";
}

// Loading the program takes a while: the user sees its splash at once instead. Without
// a display, or with a splash image that cannot be shown, the program's own splash is
// the first window, as before.
LauncherSplash show_splash(const std::string& folder)
{
    LauncherSplash splash;
    void* library = ::dlopen((folder + launch_splash::kLibrary).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return splash;
    auto show = reinterpret_cast<launch_splash::ShowFunction>(::dlsym(library, launch_splash::kShowName));
    auto close = reinterpret_cast<launch_splash::CloseFunction>(::dlsym(library, launch_splash::kCloseName));
    if (!show || !close)
        return splash;
    splash.close = close;
    splash.handle = show(paths::packaged_splash_image().c_str(), &splash.x, &splash.y);
    return splash;
}

ProgramEntry load_program(const std::string& folder, std::string& error)
{
    std::string path = folder + kProgramLibrary;
    // Loaded all at once, every library's symbols would be looked up through the whole
    // set of nearly three hundred; loaded one direct dependency at a time, each is bound
    // within its own, smaller set, which takes the dynamic loader about a quarter less
    // time. A dependency that does not load here is left to the program's own load,
    // which then says what is missing.
    for (const std::string& name : needed_libraries(path))
        ::dlopen(name.c_str(), RTLD_LAZY | RTLD_LOCAL);
    void* library = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!library) {
        error = ::dlerror();
        return nullptr;
    }
    auto entry = reinterpret_cast<ProgramEntry>(::dlsym(library, kProgramEntryName));
    if (!entry)
        error = path + ": no " + kProgramEntryName;
    return entry;
}

} // namespace

int main(int argc, char** argv)
{
    // Answered before anything opens the display, the settings store or the running instance.
    if (auto information = command_line::information_request(argc, argv)) {
        std::fputs(information->c_str(), stdout);
        return 0;
    }

    // Every file the program and its web engine's processes create is the user's alone.
    ::umask(077);

    std::string text = command_line::build(argc, argv);
    std::string error;
    switch (single_instance::acquire(error)) {
    case single_instance::Lock::HeldElsewhere:
        single_instance::forward(text);
        return 1;
    case single_instance::Lock::Unusable:
        std::fprintf(stderr, "kalvo: no private folder for the instance lock: %s\n", error.c_str());
        return 2;
    case single_instance::Lock::Taken:
        break;
    }
    // From the moment the lock is ours a termination request ends the program cleanly: it
    // waits until the program's handler is in place.
    sigset_t termination;
    sigemptyset(&termination);
    sigaddset(&termination, SIGTERM);
    sigaddset(&termination, SIGINT);
    pthread_sigmask(SIG_BLOCK, &termination, nullptr);

    single_instance::Launch launch;
    launch.listen_fd = single_instance::listen_socket(launch.listen_error);
    const std::string folder = library_folder();
    // The log-in start may end at once or stay in the tray: its splash is the program's affair.
    LauncherSplash splash = command_line::is_startup_launch(text) ? LauncherSplash {} : show_splash(folder);
    ProgramEntry entry = nullptr;
    {
        std::mutex arrived_mutex;
        single_instance::Listener listener(launch.listen_fd, [&](single_instance::Forwarded forwarded) {
            std::lock_guard lock(arrived_mutex);
            launch.arrived.push_back(std::move(forwarded));
        });
        entry = load_program(folder, error);
    }
    if (!entry) {
        std::fprintf(stderr, "kalvo: cannot load the program: %s\n", error.c_str());
        single_instance::stop_listening(launch.listen_fd);
        return 2;
    }
    return entry(argc, argv, &text, &launch, &splash);
}

#include "net/update_worker.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "base/messages.h"
#include "log/log_file.h"
#include "net/service_requests.h"
#include "settings/app_settings.h"
#include "settings/paths.h"
#include "settings/registry.h"

extern char** environ;

namespace {

void log_line(const std::string& text)
{
    log_file::write_line("LOGIN - " + text);
}

std::string installation_folder(const UpdateDownload& download)
{
    if (!download.install_path.empty())
        return download.install_path;
    std::string folder = registry_string(settings_path("install_path")).get();
    return folder.empty() ? paths::user_data_dir() : folder;
}

// Only a folder of this user that nobody else can write may hold a program we start.
bool folder_is_private(const std::string& folder)
{
    struct stat info { };
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    return info.st_uid == ::geteuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// Logs why the update could not be installed and gives the reason back for the user.
std::string failed(const std::string& reason)
{
    log_line("Update failed: " + reason);
    return reason;
}

std::string system_error(const std::string& what)
{
    return what + ": " + std::strerror(errno);
}

// Downloads into a new file (mode 0600, created exclusively) beside the target and moves
// it into place as an executable only when every byte has arrived and been written. The
// reason it failed; empty when the installer is in place.
std::string download_installer(
    const UpdateDownload& download, const std::string& folder, const std::string& target)
{
    std::string temporary = paths::join(folder, std::string(kInstallerName) + ".XXXXXX");
    int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return failed(system_error("the update file could not be created in " + folder));
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        std::string reason = failed(system_error("the update file could not be opened"));
        ::close(fd);
        ::unlink(temporary.c_str());
        return reason;
    }

    HttpReply reply =
        download_update(download.address, file, download.progress, download.deployment, download.stall_limit);
    std::string reason;
    if (!reply.ok())
        reason = failed("the download failed (" + reply.failure() + ")");
    if (reason.empty() && (std::fflush(file) != 0 || ::fsync(fd) != 0 || ::fchmod(fd, 0700) != 0))
        reason = failed(system_error("the update file could not be written"));
    if (std::fclose(file) != 0 && reason.empty())
        reason = failed(system_error("the update file could not be written"));
    if (reason.empty() && ::rename(temporary.c_str(), target.c_str()) != 0)
        reason = failed(system_error("the update file could not be moved into place"));
    if (!reason.empty())
        ::unlink(temporary.c_str());
    return reason;
}

// Starts the installer with the default environment, signal mask and dispositions and no
// descriptor but the standard ones; it is not waited for. The reason it could not be started; empty when it
// runs.
std::string start_installer(const std::string& path)
{
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    // The installer inherits no descriptor of the program but the standard three.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);

    std::string program = path;
    char* argv[] = {program.data(), nullptr};
    pid_t pid = 0;
    int error = ::posix_spawn(&pid, path.c_str(), &actions, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0)
        return failed(std::string("the installer could not be started: ") + std::strerror(error));
    log_line("Update installer started: " + path);
    return {};
}

} // namespace

void end_process_for_update(int code)
{
    // Other threads are still running: end without static destructors. kalvo.log is
    // closed after every line, so nothing is lost.
    std::fflush(nullptr);
    std::_Exit(code);
}

namespace update_worker {

void start(UpdateDownload download)
{
    std::thread([download = std::move(download)] { run(download); }).detach();
}

bool run(const UpdateDownload& download)
{
    std::string folder = installation_folder(download);
    std::string target = paths::join(folder, kInstallerName);
    log_line("Downloading update from " + download.address);

    std::string reason;
    paths::make_dirs(folder);
    if (!folder_is_private(folder)) {
        log_line("Update refused: " + folder + " is not a folder only this user can write");
        reason = "the folder " + folder + " is not one only you can write";
    } else {
        reason = download_installer(download, folder, target);
        if (reason.empty())
            reason = start_installer(target);
    }
    ui_thread::post_text(download.main_window, messages::UWM_UPDATE_DONE_MSG, reason);
    if (!reason.empty())
        return false;
    download.exit_process(0);
    return true;
}

} // namespace update_worker

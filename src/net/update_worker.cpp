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

// Downloads into a new file (mode 0600, created exclusively) beside the target and moves
// it into place as an executable only when every byte has arrived and been written.
bool download_installer(const UpdateDownload& download, const std::string& folder, const std::string& target)
{
    std::string temporary = paths::join(folder, std::string(kInstallerName) + ".XXXXXX");
    int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        log_line("Update file could not be created in " + folder + ": " + std::strerror(errno));
        return false;
    }
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        ::close(fd);
        ::unlink(temporary.c_str());
        log_line("Update file could not be opened: " + std::string(std::strerror(errno)));
        return false;
    }

    CURLcode code = download_update(download.address, file, download.progress, download.deployment);
    bool complete = code == CURLE_OK;
    if (!complete)
        log_line("Update download failed: " + std::string(curl_easy_strerror(code)));
    if (complete && (std::fflush(file) != 0 || ::fsync(fd) != 0 || ::fchmod(fd, 0700) != 0)) {
        log_line("Update file could not be written: " + std::string(std::strerror(errno)));
        complete = false;
    }
    if (std::fclose(file) != 0 && complete) {
        log_line("Update file could not be written: " + std::string(std::strerror(errno)));
        complete = false;
    }
    if (complete && ::rename(temporary.c_str(), target.c_str()) != 0) {
        log_line("Update file could not be moved into place: " + std::string(std::strerror(errno)));
        complete = false;
    }
    if (!complete)
        ::unlink(temporary.c_str());
    return complete;
}

// Starts the installer with the default environment, signal mask and dispositions; it
// is not waited for.
bool start_installer(const std::string& path)
{
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::string program = path;
    char* argv[] = {program.data(), nullptr};
    pid_t pid = 0;
    int error = ::posix_spawn(&pid, path.c_str(), nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        log_line("Update installer could not be started: " + std::string(std::strerror(error)));
        return false;
    }
    log_line("Update installer started: " + path);
    return true;
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

    bool started = false;
    paths::make_dirs(folder);
    if (!folder_is_private(folder))
        log_line("Update refused: " + folder + " is not a folder only this user can write");
    else if (download_installer(download, folder, target))
        started = start_installer(target);

    ui_thread::post(download.main_window, messages::UWM_UPDATE_DONE_MSG);
    download.exit_process(0);
    return started;
}

} // namespace update_worker

#include "settings/paths.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace paths {
namespace {

std::string env_or(const char* name, const std::string& fallback)
{
    const char* value = std::getenv(name);
    return (value && *value) ? std::string(value) : fallback;
}

std::string home()
{
    return env_or("HOME", "/tmp");
}

bool is_dir(const std::string& path)
{
    struct stat st { };
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// <prefix>/share/kalvo when the running executable is <prefix>/bin/kalvo and that folder
// exists, so an installed program finds its files from whatever prefix it was installed to.
std::string installed_data_dir()
{
    std::string executable = executable_path();
    auto slash = executable.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    std::string bin = executable.substr(0, slash);
    if (!bin.ends_with("/bin"))
        return {};
    std::string data = join(bin.substr(0, bin.size() - 3), "share/kalvo");
    return is_dir(data) ? data : std::string();
}

} // namespace

std::string join(const std::string& a, const std::string& b)
{
    if (a.empty())
        return b;
    if (b.empty())
        return a;
    bool a_slash = a.back() == '/';
    bool b_slash = b.front() == '/';
    if (a_slash && b_slash)
        return a + b.substr(1);
    if (a_slash || b_slash)
        return a + b;
    return a + "/" + b;
}

std::string xdg_config_home()
{
    return env_or("XDG_CONFIG_HOME", home() + "/.config");
}
std::string xdg_data_home()
{
    return env_or("XDG_DATA_HOME", home() + "/.local/share");
}
std::string config_dir()
{
    return join(xdg_config_home(), "kalvo");
}
std::string user_data_dir()
{
    return join(xdg_data_home(), "kalvo");
}

std::string runtime_dir()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return join(runtime, "kalvo");
    return "/tmp/kalvo-" + std::to_string(::getuid());
}

bool prepare_runtime_dir(std::string& error)
{
    std::string folder = runtime_dir();
    make_dirs(folder);
    struct stat st { };
    if (::lstat(folder.c_str(), &st) != 0) {
        error = "cannot create " + folder + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        error = folder + " is not a folder";
        return false;
    }
    if (st.st_uid != ::getuid()) {
        error = folder + " belongs to another user";
        return false;
    }
    if ((st.st_mode & 077) != 0) {
        error = folder + " is open to other users";
        return false;
    }
    return true;
}

std::string packaged_data_dir()
{
    std::string installed = installed_data_dir();
    return installed.empty() ? KALVO_SOURCE_DIR : installed;
}

std::string packaged_skins_dir()
{
    std::string overridden = env_or("KALVO_SKINS_DIR", "");
    if (!overridden.empty())
        return overridden;
    std::string installed = installed_data_dir();
    return installed.empty() ? join(KALVO_SOURCE_DIR, "skins") : join(installed, "Skins");
}

std::string packaged_splash_image()
{
    return join(packaged_skins_dir(), "Kalvo/splash.png");
}

std::string executable_path()
{
    char buffer[4096];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return {};
    return std::string(buffer, static_cast<size_t>(length));
}

bool make_dirs(const std::string& path)
{
    if (path.empty())
        return false;
    if (is_dir(path))
        return true;
    auto slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0)
        make_dirs(path.substr(0, slash));
    return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST ? is_dir(path) : false;
}

void make_private(const std::string& folder)
{
    auto tighten = [](const char* path, const struct stat* info, int kind, FTW*) {
        if (info->st_uid != ::geteuid() || kind == FTW_SL)
            return 0;
        if (kind == FTW_D)
            ::chmod(path, 0700);
        else if (kind == FTW_F && (info->st_mode & 077) != 0)
            ::chmod(path, info->st_mode & 0700);
        return 0; // one entry that cannot be changed does not stop the others
    };
    ::nftw(folder.c_str(), tighten, 16, FTW_PHYS);
}

bool write_private_file(const std::string& path, const std::string& contents)
{
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    // A file made by an earlier version keeps its mode through O_TRUNC: tightened here.
    bool ok = ::fchmod(fd, 0600) == 0;
    std::size_t written = 0;
    while (ok && written < contents.size()) {
        ssize_t n = ::write(fd, contents.data() + written, contents.size() - written);
        if (n <= 0)
            ok = false;
        else
            written += static_cast<std::size_t>(n);
    }
    return ::close(fd) == 0 && ok;
}

} // namespace paths

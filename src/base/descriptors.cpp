#include "base/descriptors.h"

#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <linux/close_range.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace descriptors {

void close_all_on_exec()
{
    if (::syscall(SYS_close_range, 3u, ~0u, CLOSE_RANGE_CLOEXEC) == 0)
        return;
    // Kernels before 5.11: one descriptor at a time.
    DIR* folder = ::opendir("/proc/self/fd");
    if (!folder)
        return;
    int own = ::dirfd(folder);
    while (dirent* entry = ::readdir(folder)) {
        int fd = std::atoi(entry->d_name);
        if (fd > 2 && fd != own)
            ::fcntl(fd, F_SETFD, ::fcntl(fd, F_GETFD) | FD_CLOEXEC);
    }
    ::closedir(folder);
}

} // namespace descriptors

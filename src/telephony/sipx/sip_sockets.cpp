#include "telephony/sipx/sip_sockets.h"

#include <cstdlib>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>

namespace {

int bound_port(int fd)
{
    sockaddr_storage address{};
    socklen_t size = sizeof address;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        return -1;
    if (address.ss_family == AF_INET)
        return ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<sockaddr_in6*>(&address)->sin6_port);
    return -1;
}

bool is_datagram_socket(int fd)
{
    struct stat info { };
    int type = 0;
    socklen_t size = sizeof type;
    return ::fstat(fd, &info) == 0 && S_ISSOCK(info.st_mode) &&
        ::getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &size) == 0 && type == SOCK_DGRAM;
}

} // namespace

std::vector<int> datagram_sockets_on_port(int port)
{
    std::vector<int> found;
    if (port <= 0)
        return found;
    DIR* folder = ::opendir("/proc/self/fd");
    if (!folder)
        return found;
    int own = ::dirfd(folder);
    while (dirent* entry = ::readdir(folder)) {
        int fd = std::atoi(entry->d_name);
        if (entry->d_name[0] != '.' && fd != own && is_datagram_socket(fd) && bound_port(fd) == port)
            found.push_back(fd);
    }
    ::closedir(folder);
    return found;
}

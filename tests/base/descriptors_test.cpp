#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/descriptors.h"

extern char** environ;

namespace {

// The descriptors a child started now finds open, as it lists them itself.
std::string child_descriptors()
{
    int out[2];
    EXPECT_EQ(::pipe2(out, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1); // handed over on purpose
    char shell[] = "/bin/sh", flag[] = "-c", list[] = "ls /proc/self/fd | tr '\\n' ' '";
    char* argv[] = {shell, flag, list, nullptr};
    pid_t pid = 0;
    EXPECT_EQ(::posix_spawn(&pid, shell, &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string text;
    char buffer[256];
    for (ssize_t got; (got = ::read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(got));
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return " " + text;
}

TEST(Descriptors, NoneReachesAChildProcessButWhatIsHandedOver)
{
    // As the SIP library opens its sockets; high enough not to be the one "ls" opens.
    int opened = ::socket(AF_INET, SOCK_DGRAM, 0);
    int socket = ::fcntl(opened, F_DUPFD, 40);
    ::close(opened);
    ASSERT_GE(socket, 40);
    std::string number = " " + std::to_string(socket) + " ";
    ASSERT_NE(child_descriptors().find(number), std::string::npos) << "inherited before";

    descriptors::close_all_on_exec();
    EXPECT_NE(::fcntl(socket, F_GETFD) & FD_CLOEXEC, 0);
    std::string listed = child_descriptors();
    EXPECT_EQ(listed.find(number), std::string::npos) << listed;
    EXPECT_NE(listed.find(" 1 "), std::string::npos) << "the output it was given is still there";
    ::close(socket);
}

} // namespace

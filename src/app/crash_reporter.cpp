#include "app/crash_reporter.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <execinfo.h>
#include <fcntl.h>
#include <unistd.h>

namespace crash_reporter {
namespace {

// Everything the handler needs is prepared before a crash: a signal handler may only
// use async-signal-safe calls.
char g_folder[1024];
char g_subject[256];
Handle* g_handle = nullptr;

void write_text(int fd, const char* text)
{
    [[maybe_unused]] auto written = ::write(fd, text, std::strlen(text));
}

void write_number(int fd, long value)
{
    char digits[24];
    int length = 0;
    if (value == 0)
        digits[length++] = '0';
    while (value > 0 && length < 23) {
        digits[length++] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    char text[24];
    for (int i = 0; i < length; ++i)
        text[i] = digits[length - 1 - i];
    text[length] = 0;
    write_text(fd, text);
}

void on_crash(int signal_number)
{
    char path[1200];
    std::snprintf(path, sizeof path, "%s/crash-%ld.txt", g_folder, static_cast<long>(std::time(nullptr)));
    int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd >= 0) {
        write_text(fd, "Subject: ");
        write_text(fd, g_subject);
        write_text(fd, "\nSignal: ");
        write_number(fd, signal_number);
        write_text(fd, " (");
        write_text(fd, sigabbrev_np(signal_number) ? sigabbrev_np(signal_number) : "?");
        write_text(fd, ")\nBacktrace:\n");
        void* frames[64];
        int count = ::backtrace(frames, 64);
        ::backtrace_symbols_fd(frames, count, fd);
        ::close(fd);
    }
    std::signal(signal_number, SIG_DFL);
    ::raise(signal_number);
}

} // namespace

const Handle* Install(const std::string& subject, const std::string& folder)
{
    if (g_handle)
        return g_handle;
    std::snprintf(g_folder, sizeof g_folder, "%s", folder.c_str());
    std::snprintf(g_subject, sizeof g_subject, "%s", subject.c_str());
    // Load the unwinder now: backtrace() may allocate on its first call.
    void* warm[1];
    ::backtrace(warm, 1);
    for (int signal_number : {SIGSEGV, SIGBUS, SIGFPE, SIGABRT})
        std::signal(signal_number, on_crash);
    g_handle = new Handle{subject, folder};
    return g_handle;
}

} // namespace crash_reporter

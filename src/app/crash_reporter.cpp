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

// Everything the handler needs is prepared before a crash, and the handler uses only
// async-signal-safe calls (open, write, close, time, raise), plus backtrace(), whose
// one unsafe part, loading the unwinder on its first call, is done at install time.
char g_folder[1024];
char g_subject[256];
Handle* g_handle = nullptr;

// The handler runs on a stack of its own, so a stack overflow is reported too.
constexpr size_t kAlternateStackBytes = 256 * 1024;

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGABRT};

const char* signal_name(int signal_number)
{
    switch (signal_number) {
    case SIGSEGV:
        return "SEGV";
    case SIGBUS:
        return "BUS";
    case SIGFPE:
        return "FPE";
    case SIGABRT:
        return "ABRT";
    default:
        return "?";
    }
}

void write_text(int fd, const char* text)
{
    [[maybe_unused]] auto written = ::write(fd, text, std::strlen(text));
}

// Decimal digits of a value into `out` (at least 21 bytes); returns `out`.
char* format_number(long value, char* out)
{
    char digits[21];
    int length = 0;
    do {
        digits[length++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0 && length < 20);
    for (int i = 0; i < length; ++i)
        out[i] = digits[length - 1 - i];
    out[length] = 0;
    return out;
}

// Appends `text` to the path being built; false when it does not fit.
bool append(char* path, size_t size, size_t& used, const char* text)
{
    size_t length = std::strlen(text);
    if (used + length >= size)
        return false;
    std::memcpy(path + used, text, length + 1);
    used += length;
    return true;
}

void on_crash(int signal_number)
{
    char path[1200];
    char number[24];
    size_t used = 0;
    path[0] = 0;
    bool fits = append(path, sizeof path, used, g_folder) && append(path, sizeof path, used, "/crash-") &&
        append(path, sizeof path, used, format_number(static_cast<long>(std::time(nullptr)), number)) &&
        append(path, sizeof path, used, ".txt");
    int fd = fits ? ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600) : -1;
    if (fd >= 0) {
        write_text(fd, "Subject: ");
        write_text(fd, g_subject);
        write_text(fd, "\nSignal: ");
        write_text(fd, format_number(signal_number, number));
        write_text(fd, " (");
        write_text(fd, signal_name(signal_number));
        write_text(fd, ")\nBacktrace:\n");
        void* frames[64];
        int count = ::backtrace(frames, 64);
        ::backtrace_symbols_fd(frames, count, fd);
        ::close(fd);
    }
    // SA_RESETHAND gave the signal its default action back: the process dies of it.
    ::raise(signal_number);
}

void install_alternate_stack()
{
    stack_t stack{};
    stack.ss_size = kAlternateStackBytes;
    stack.ss_sp = new char[kAlternateStackBytes]; // for the life of the process
    ::sigaltstack(&stack, nullptr);
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
    install_alternate_stack();
    struct sigaction action { };
    action.sa_handler = on_crash;
    action.sa_flags = SA_ONSTACK | SA_RESETHAND | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    for (int signal_number : kSignals)
        ::sigaction(signal_number, &action, nullptr);
    g_handle = new Handle{subject, folder};
    return g_handle;
}

} // namespace crash_reporter

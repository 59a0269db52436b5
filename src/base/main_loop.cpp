#include "base/main_loop.h"

#include <csignal>
#include <pthread.h>
#include <glib-unix.h>
#include <glib.h>
#include <utility>

namespace main_loop {
namespace {

constexpr unsigned kCloserPeriodMs = 20;

int g_exit_code = 0;
GMainLoop* g_loop = nullptr;
bool g_quit_requested = false;
unsigned g_closer_source = 0;

std::function<void()>& closer()
{
    static std::function<void()> installed;
    return installed;
}

gboolean on_terminate(gpointer)
{
    quit(0);
    return G_SOURCE_CONTINUE;
}

// Runs again while the outer loop has not returned: a handler that continues after its
// modal window closed may open another one.
gboolean close_nested(gpointer)
{
    if (closer())
        closer()();
    return G_SOURCE_CONTINUE;
}

} // namespace

void handle_termination_signals()
{
    static bool installed = false;
    if (std::exchange(installed, true))
        return;
    g_unix_signal_add(SIGTERM, on_terminate, nullptr);
    g_unix_signal_add(SIGINT, on_terminate, nullptr);
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
}

void set_nested_loop_closer(std::function<void()> installed)
{
    closer() = std::move(installed);
}

int run()
{
    // A quit that came before the loop started (during start-up) ends it at once.
    if (!g_quit_requested) {
        g_loop = g_main_loop_new(nullptr, FALSE);
        g_main_loop_run(g_loop);
        g_main_loop_unref(g_loop);
        g_loop = nullptr;
    }
    if (g_closer_source) {
        g_source_remove(g_closer_source);
        g_closer_source = 0;
    }
    g_quit_requested = false;
    return g_exit_code;
}

void quit(int exit_code)
{
    g_exit_code = exit_code;
    g_quit_requested = true;
    if (g_loop)
        g_main_loop_quit(g_loop);
    // Not called from here: quit may run inside a handler of the very window to close.
    if (!g_closer_source)
        g_closer_source = g_timeout_add(kCloserPeriodMs, close_nested, nullptr);
}

} // namespace main_loop

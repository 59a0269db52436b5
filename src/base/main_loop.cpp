#include "base/main_loop.h"

#include <csignal>
#include <glib-unix.h>
#include <glib.h>

namespace main_loop {
namespace {

int g_exit_code = 0;
GMainLoop* g_loop = nullptr;
bool g_quit_requested = false;

gboolean on_terminate(gpointer)
{
    quit(0);
    return G_SOURCE_CONTINUE;
}

} // namespace

void handle_termination_signals()
{
    g_unix_signal_add(SIGTERM, on_terminate, nullptr);
    g_unix_signal_add(SIGINT, on_terminate, nullptr);
}

int run()
{
    // A quit that came before the loop started (during start-up) ends it at once.
    if (g_quit_requested)
        return g_exit_code;
    g_loop = g_main_loop_new(nullptr, FALSE);
    g_main_loop_run(g_loop);
    g_main_loop_unref(g_loop);
    g_loop = nullptr;
    return g_exit_code;
}

void quit(int exit_code)
{
    g_exit_code = exit_code;
    g_quit_requested = true;
    if (g_loop)
        g_main_loop_quit(g_loop);
}

} // namespace main_loop

#include "support/display.h"

#include <gtkmm/main.h>

#include <chrono>
#include <cstdlib>

namespace test_support {

bool display_ready()
{
    static bool ready = [] {
        if (!std::getenv("DISPLAY"))
            return false;
        ::setenv("GDK_BACKEND", "x11", 1);
        if (!gtk_init_check(nullptr, nullptr))
            return false;
        Gtk::Main::init_gtkmm_internals();
        return true;
    }();
    return ready;
}

bool wait_for(const std::function<bool()>& condition, int milliseconds)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        g_main_context_iteration(nullptr, FALSE);
    }
    return true;
}

} // namespace test_support

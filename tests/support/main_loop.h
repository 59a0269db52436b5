#pragma once
#include <functional>

namespace test_support {

// Spins the default GLib main context (the interface thread's queue) until the condition
// holds; false when the time is up first.
bool run_main_loop_until(const std::function<bool()>& done, int timeout_ms = 5000);

} // namespace test_support

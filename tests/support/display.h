#pragma once
#include <functional>

namespace test_support {

// GTK started once on the test's display (X11 backend); false without a display.
bool display_ready();

// Runs the main loop until the condition holds (true) or the time is up (false).
bool wait_for(const std::function<bool()>& condition, int milliseconds = 3000);

} // namespace test_support

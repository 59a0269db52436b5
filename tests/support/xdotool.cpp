#include "support/xdotool.h"

#include <chrono>
#include <thread>

#include "support/child_process.h"

namespace test_support {

std::string xdotool(const std::string& arguments)
{
    std::string output;
    run_command("xdotool " + arguments + " 2>/dev/null", &output);
    return output;
}

void type_text(const std::string& text)
{
    xdotool("type --delay 20 " + shell_quote(text));
}

namespace {

std::string shown_window(const std::string& title)
{
    std::string ids = xdotool("search --onlyvisible --name '^" + title + "$'");
    return ids.substr(0, ids.find('\n'));
}

bool is_viewable(const std::string& window)
{
    std::string info;
    return run_command("xwininfo -id " + window, &info) == 0 && info.find("IsViewable") != std::string::npos;
}

bool wait_until_hidden(const std::string& window, int timeout_ms)
{
    for (int waited = 0; waited < timeout_ms; waited += 100) {
        if (!is_viewable(window))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

} // namespace

std::string wait_for_window(const std::string& title, int timeout_ms)
{
    for (int waited = 0; waited < timeout_ms; waited += 100) {
        if (std::string id = shown_window(title); !id.empty())
            return id;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return {};
}

bool wait_for_window_gone(const std::string& title, int timeout_ms)
{
    // A name search can come back empty while windows come and go (an X error midway),
    // so a window found is watched by its id until it is no longer viewable, and no
    // window counts only when two searches agree.
    for (int waited = 0; waited < timeout_ms; waited += 100) {
        std::string id = shown_window(title);
        if (!id.empty())
            return wait_until_hidden(id, timeout_ms - waited);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (shown_window(title).empty())
            return true;
    }
    return false;
}

void press_in(const std::string& window, const std::string& keys)
{
    xdotool("windowfocus --sync " + window + " key --delay 50 " + keys);
}

bool answer_window(const std::string& title, const std::string& keys)
{
    std::string id = wait_for_window(title, 2000);
    if (id.empty())
        return true;
    for (int attempt = 0; attempt < 10; ++attempt) {
        press_in(id, keys);
        if (wait_until_hidden(id, 1000))
            return true;
    }
    return false;
}

} // namespace test_support

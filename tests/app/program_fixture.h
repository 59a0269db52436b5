#pragma once
// The built kalvo run against its own local service, under the test's display, by a user
// of its own; the keyboard and windows are driven with xdotool as a person would.
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>

#include "support/child_process.h"
#include "support/local_service.h"
#include "support/test_paths.h"
#include "telephony/sipx/sipx.h"

class ProgramAgainstService : public ::testing::Test {
protected:
    explicit ProgramAgainstService(const char* address) : m_address(address) { }

    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs a display";
        m_service = std::make_unique<test_support::LocalService>(m_address);
        ASSERT_TRUE(m_service->running()) << m_service->start_output();
        ::setenv("KALVO_DEPLOYMENT", m_service->deployment_file().c_str(), 1);
        ::setenv(SIPX_ENV_BIND_ADDRESS, m_address, 1);
        ::setenv(SIPX_ENV_RECORD_FILE, (m_user.home() + "/speaker.wav").c_str(), 1);
    }

    std::string data_file(const std::string& name) const
    {
        return m_user.home() + "/.local/share/kalvo/" + name;
    }

    // A start of the program with a log of its own (each start begins a new kalvo.log).
    std::unique_ptr<test_support::ChildProcess> start_program()
    {
        ::unlink(data_file("kalvo.log").c_str());
        return std::make_unique<test_support::ChildProcess>(
            std::vector<std::string>{test_support::built_program("kalvo")});
    }

    std::string wait_for_log(const std::string& text, int timeout_ms = 20000)
    {
        return test_support::wait_for_text(data_file("kalvo.log"), text, timeout_ms);
    }

    // xdotool with the arguments; its output.
    static std::string xdotool(const std::string& arguments)
    {
        std::string output;
        test_support::run_command("xdotool " + arguments + " 2>/dev/null", &output);
        return output;
    }
    // Types into the window that has the keyboard.
    static void type_text(const std::string& text)
    {
        xdotool("type --delay 20 " + test_support::shell_quote(text));
    }
    // The id of the first window with exactly that title, waiting for it to appear; empty
    // when none came.
    static std::string wait_for_window(const std::string& title, int timeout_ms = 20000)
    {
        for (int waited = 0; waited < timeout_ms; waited += 100) {
            std::string ids = xdotool("search --onlyvisible --name '^" + title + "$'");
            if (!ids.empty())
                return ids.substr(0, ids.find('\n'));
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return {};
    }
    static bool wait_for_window_gone(const std::string& title, int timeout_ms = 10000)
    {
        for (int waited = 0; waited < timeout_ms; waited += 100) {
            if (xdotool("search --onlyvisible --name '^" + title + "$'").empty())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }
    // Gives a window the keyboard and presses keys in it.
    static void press_in(const std::string& window, const std::string& keys)
    {
        xdotool("windowfocus --sync " + window + " key --delay 50 " + keys);
    }

    test_support::IsolatedUser m_user;
    const char* m_address;
    std::unique_ptr<test_support::LocalService> m_service;
};

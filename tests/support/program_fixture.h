#pragma once
// The built kalvo run against its own local service, under the test's display, by a user
// of its own; the keyboard and windows are driven with xdotool as a person would.
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>

#include "settings/app_settings.h"
#include "support/child_process.h"
#include "support/display.h"
#include "support/local_service.h"
#include "support/test_account.h"
#include "support/test_paths.h"
#include "support/xdotool.h"
#include "telephony/sipx/sipx.h"

using test_support::answer_window;
using test_support::type_text;
using test_support::wait_for_window;
using test_support::wait_for_window_gone;
using test_support::xdotool;

class ProgramAgainstService : public ::testing::Test {
protected:
    explicit ProgramAgainstService(const char* address) : m_address(address) { }

    void SetUp() override
    {
        if (!test_support::display_available())
            GTEST_SKIP() << "needs a display";
        m_service = std::make_unique<test_support::LocalService>(m_address);
        ASSERT_TRUE(m_service->running()) << m_service->start_output();
        ::setenv("KALVO_DEPLOYMENT", m_service->deployment_file().c_str(), 1);
        ::setenv(SIPX_ENV_BIND_ADDRESS, m_address, 1);
        ::setenv(SIPX_ENV_RECORD_FILE, (m_user.home() + "/speaker.wav").c_str(), 1);
    }

    // alice's account kept with "remember me" and signing in by itself at every start; the
    // window's close button hides it without asking.
    static void remember_account()
    {
        test_support::store_test_account("alice", "wonderland");
        AppSettings settings;
        settings.load();
        settings.auto_login = settings.shown_wizard = settings.show_minimize = true;
        settings.save();
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

    std::string wait_for_log(const std::string& text, int timeout_ms = 20000, int times = 1)
    {
        return test_support::wait_for_text(data_file("kalvo.log"), text, timeout_ms, times);
    }

    test_support::IsolatedUser m_user;
    const char* m_address;
    std::unique_ptr<test_support::LocalService> m_service;
};

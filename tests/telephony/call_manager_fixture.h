#pragma once
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "fake_sipx.h"
#include "support/test_paths.h"
#include "telephony/call_manager.h"

// A call manager over the recording fake, with its own settings store and log.
class CallManagerTest : public ::testing::Test {
protected:
    CallManagerTest();

    // The log window's messages, oldest first.
    static std::vector<std::string> log_lines();
    // True when `expected` appear in `lines` in this order (other lines may lie between).
    static bool in_order(const std::vector<std::string>& lines, const std::vector<std::string>& expected);
    std::string log_file_text() const;

    // init and login as alice, then forget what that recorded.
    void sign_in();
    // A call in progress with the fake's next call handle (7).
    void place_a_call();

    bool deliver(SIPX_EVENT_CATEGORY category, void* record);
    bool call_event(
        SIPX_CALL call, SIPX_CALLSTATE_EVENT event, SIPX_CALLSTATE_CAUSE cause = CALLSTATE_CAUSE_NORMAL);
    bool line_event(SIPX_LINESTATE_EVENT event);
    bool notify(const void* content, std::size_t length);

    test_support::IsolatedUser m_user;
    std::string m_probed_address = "192.0.2.10";
    CallManager m_manager;
    const std::string m_domain;
};

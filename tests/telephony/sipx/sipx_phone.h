#pragma once
// A sipx instance driven by a test: its events recorded, waited for, and optionally
// answered from the engine thread.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "telephony/sipx/sipx.h"

struct RecordedEvent {
    SIPX_EVENT_CATEGORY category;
    int event = 0; // the record's event value
    int cause = 0;
    SIPX_CALL call = 0;
    SIPX_LINE line = 0;
    std::string text; // remote identity, NOTIFY body, mapped address, DTMF tone or keep-alive far end
};

class EventLog {
public:
    using Match = std::function<bool(const RecordedEvent&)>;

    static bool callback(SIPX_EVENT_CATEGORY category, void* info, void* user_data);

    // The first recorded event that matches, waiting up to the time-out for it.
    std::optional<RecordedEvent> wait_for(
        const Match& match, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Whether count matching events have arrived, waiting up to the time-out.
    bool wait_for_count(
        const Match& match, size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    std::vector<RecordedEvent> all();

    // Runs on the engine thread for each event, after it is recorded.
    std::function<void(const RecordedEvent&)> react;

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<RecordedEvent> m_events;
};

EventLog::Match call_event(SIPX_CALLSTATE_EVENT event);
EventLog::Match line_event(SIPX_LINESTATE_EVENT event);
EventLog::Match config_event(SIPX_CONFIG_EVENT event);
EventLog::Match keepalive_event(SIPX_KEEPALIVE_EVENT event);
EventLog::Match notify_containing(const std::string& text);

class SipxPhone {
public:
    // An instance bound to bind_address. play_file non-empty: the file audio mode with
    // that play file and record_file.
    explicit SipxPhone(const std::string& bind_address, const std::string& play_file = "",
        const std::string& record_file = "");
    ~SipxPhone();

    SIPX_INST inst() const { return m_inst; }
    bool ok() const { return m_inst != nullptr; }
    SIPX_LINE line() const { return m_line; }
    EventLog& events() { return m_events; }

    // Adds user@kalvo.test through proxy with the service's SIP password and registers.
    void login(const std::string& user, const std::string& sip_password, const std::string& proxy);
    // login, then wait for this line's LINESTATE_REGISTERED.
    bool sign_in(const std::string& user, const std::string& sip_password, const std::string& proxy);

private:
    SIPX_INST m_inst = nullptr;
    SIPX_LINE m_line = 0;
    EventLog m_events;
};

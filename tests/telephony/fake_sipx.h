#pragma once
#include <functional>
#include <string>
#include <vector>

#include "telephony/sipx/sipx.h"

// A recording stand-in for the SIP layer: every sipx function appends one line to
// `calls` ("sipxCallConnect 7 bob@kalvo.net") and answers from the fields below.
namespace fake_sipx {

struct State {
    std::vector<std::string> calls;

    // Answers.
    SIPX_RESULT initialize_result = SIPX_RESULT_SUCCESS;
    SIPX_RESULT connect_result = SIPX_RESULT_SUCCESS;
    SIPX_RESULT destroy_result = SIPX_RESULT_SUCCESS;
    SIPX_RESULT mute_result = SIPX_RESULT_SUCCESS;
    SIPX_RESULT levels_result = SIPX_RESULT_SUCCESS;
    SIPX_RESULT line_add_result = SIPX_RESULT_SUCCESS;
    SIPX_CALL next_call = 7;
    SIPX_LINE next_line = 3;
    SIPX_SUB next_sub = 11;
    std::string remote_id;
    std::vector<std::string> codecs;
    std::vector<SIPX_CONTACT_ADDRESS> contacts;
    std::vector<std::string> input_devices;
    std::vector<std::string> output_devices;
    int input_level = -100;
    int output_level = -100;
    // Text sipxEventToString writes (before cutting to the buffer); empty: a generated text.
    std::string event_text;
    // Run inside sipxCallDestroy, as an event the engine delivers meanwhile.
    std::function<void()> during_destroy;
    // Run once inside the next sipxLineRegister, the same way.
    std::function<void()> during_register;

    // What the call manager registered with sipxEventListenerAdd.
    SIPX_EVENT_CALLBACK_PROC callback = nullptr;
    void* user_data = nullptr;
    int instances_started = 0;
};

State& state();
// A fresh state: no calls recorded, default answers.
void reset();
// The recorded calls whose line starts with `prefix`.
std::vector<std::string> calls_starting(const std::string& prefix);
// Index of the first recorded call starting with `prefix`, or -1.
int position_of(const std::string& prefix);

SIPX_CONTACT_ADDRESS contact(const std::string& address, SIPX_CONTACT_TYPE type);

} // namespace fake_sipx

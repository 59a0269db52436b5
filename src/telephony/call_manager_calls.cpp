// The one call at a time: placing, answering, ending, hold, mute, tones and levels.
// Placing a call while one exists is refused; a second incoming call is refused as busy
// by the event handling.
#include <algorithm>

#include "log/log_dlg.h"
#include "settings/deployment.h"
#include "telephony/call_addressing.h"
#include "telephony/call_manager.h"

namespace {

constexpr std::size_t kRemoteIdSize = 256;
constexpr int kSilentLevel = -100;
constexpr int kFullLevel = 0;

} // namespace

SIPX_RESULT CallManager::destroy_current_call()
{
    SIPX_CALL destroyed = m_call;
    SIPX_CALL left = destroyed;
    m_ending = destroyed; // a caller arriving meanwhile is not refused as busy
    SIPX_RESULT result = sipxCallDestroy(&left);
    m_ending = SIPX_CALL_NULL;
    // An incoming call adopted by the engine thread meanwhile stays the current call.
    m_call.compare_exchange_strong(destroyed, left);
    return result;
}

bool CallManager::in_call()
{
    log_window("In call check");
    SIPX_CALL call = m_call;
    if (call != SIPX_CALL_NULL) {
        log_window("m_call != 0");
        log_window(std::to_string(call));
    }
    return call != SIPX_CALL_NULL;
}

void CallManager::place_call(const std::string& target)
{
    if (in_call()) {
        log_window("We're in a call");
        return;
    }
    if (target.empty()) {
        log_window("No number to call");
        return;
    }
    std::string address = call_addressing::dial_address(target, Deployment::get().sip_domain);
    log_window("Placing a call to:");
    log_window("Creating call");
    if (!m_logged_in)
        return;

    SIPX_CALL call = SIPX_CALL_NULL;
    sipxCallCreate(m_inst, m_line, &call);
    m_call = call;
    m_state = 1;
    log_window("Setting m_state to 1");
    log_window(address);
    if (sipxCallConnect(call, address.c_str(), 0, nullptr, nullptr, true, nullptr, nullptr) !=
        SIPX_RESULT_SUCCESS) {
        // A call that never started would block every later call: drop it.
        log_window("Could not connect the call to " + address);
        destroy_current_call();
        m_state = 0;
    }
}

void CallManager::end_call()
{
    if (m_call == SIPX_CALL_NULL) {
        log_window("No need to end this call, we're not active");
        return;
    }
    log_window("Ending call and setting m_call to 0");
    m_levels.stop();
    SIPX_CALL ending = m_call;
    SIPX_RESULT result = destroy_current_call();
    if (result == SIPX_RESULT_SUCCESS) {
        log_window("Destroyed call");
    } else {
        log_window("Error destroying call");
        if (result != SIPX_RESULT_INVALID_ARGS)
            return;
        // The stack no longer knows the handle: the call is gone, and keeping it would
        // refuse every later call.
        log_window("The SIP stack does not know call " + std::to_string(ending) + "; forgetting it");
        m_call.compare_exchange_strong(ending, SIPX_CALL_NULL);
    }
    m_state = 0;
    log_window(m_call != SIPX_CALL_NULL ? "m_call IS NOT 0!" : "m_call is 0");
}

void CallManager::answer()
{
    SIPX_CALL call = m_call;
    if (call == SIPX_CALL_NULL)
        return;
    log_window("Answering call");
    sipxCallAnswer(call, true);
    m_state = 1;
}

void CallManager::reject()
{
    m_levels.stop();
    sipxCallReject(m_call, 400, "Bad Request");
    destroy_current_call();
}

void CallManager::hold(bool on_hold)
{
    if (on_hold) {
        log_window("Placing call on hold");
        sipxCallHold(m_call, true);
    } else {
        sipxCallUnhold(m_call);
    }
}

void CallManager::mute(bool muted)
{
    if (sipxAudioMute(m_inst, muted) != SIPX_RESULT_SUCCESS)
        log_window(muted ? "Could not mute the microphone" : "Could not unmute the microphone");
}

void CallManager::start_tone(int tone, bool local, bool remote)
{
    log_window("Checking call state in start_tone");
    if (!in_call())
        return;
    if (tone < 0 || tone > 127 || !call_addressing::dtmf_tone(static_cast<char>(tone))) {
        log_window("Ignoring unknown DTMF tone " + std::to_string(tone));
        return;
    }
    log_window("********** Playing DTMF tone");
    sipxCallStartTone(m_call, static_cast<SIPX_TONE_ID>(tone), local, remote);
}

void CallManager::end_tone(int)
{
    log_window("Checking call state in end_tone");
    if (!in_call())
        return;
    log_window("********** Ending DTMF tone");
    sipxCallStopTone(m_call);
}

std::string CallManager::remote_user()
{
    char identity[kRemoteIdSize] = {};
    sipxCallGetRemoteID(m_call, identity, sizeof identity);
    identity[kRemoteIdSize - 1] = '\0'; // whatever the stack wrote, the text ends inside the buffer
    std::string text(identity);
    log_window(text);
    std::string user = call_addressing::remote_user(text);
    log_window(user);
    return user;
}

void CallManager::get_levels(int& input_level, int& output_level)
{
    int input = kSilentLevel;
    int output = kSilentLevel;
    SIPX_CALL call = m_call;
    if (call == SIPX_CALL_NULL || sipxCallGetAudioLevels(call, &input, &output) != SIPX_RESULT_SUCCESS) {
        input = kSilentLevel;
        output = kSilentLevel;
    }
    input_level = std::clamp(input, kSilentLevel, kFullLevel);
    output_level = std::clamp(output, kSilentLevel, kFullLevel);
}

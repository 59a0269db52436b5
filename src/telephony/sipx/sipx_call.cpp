// Calls: a handle per call, the core's call behind it once it is placed or offered.
#include <cstring>
#include <linphone/error_info.h>
#include <unistd.h>

#include "telephony/sipx/core_events.h"
#include "telephony/sipx/engine_thread.h"
#include "telephony/sipx/state_map.h"

namespace {

// Core calls whose handle was destroyed while the call still ran; they report
// DISCONNECTED and DESTROYED under that handle when the core finishes them.
std::map<LinphoneCall*, SIPX_CALL> g_destroying;
// The handle a call being placed right now belongs to (the core reports its first
// state before the invite returns).
SIPX_CALL g_connecting = 0;

void emit_call_state(SipxInstance* inst, SIPX_CALL handle, SIPX_LINE line, const std::string& remote,
    SIPX_CALLSTATE_EVENT event, SIPX_CALLSTATE_CAUSE cause)
{
    SIPX_CALLSTATE_INFO info{sizeof(SIPX_CALLSTATE_INFO), handle, line, event, cause, remote.c_str()};
    sipx_emit(inst, EVENT_CATEGORY_CALLSTATE, &info);
}

std::string remote_of(LinphoneCall* call)
{
    char* text = linphone_address_as_string(linphone_call_get_remote_address(call));
    std::string remote = text ? text : "";
    bctbx_free(text);
    return remote;
}

LinphoneCallParams* audio_only_params(LinphoneCore* core, LinphoneCall* call)
{
    LinphoneCallParams* params = linphone_core_create_call_params(core, call);
    linphone_call_params_enable_video(params, FALSE);
    return params;
}

void forget(SIPX_CALL handle)
{
    SipxCall* record = sipx_state::find_call(handle);
    if (!record)
        return;
    record->ring.reset();
    if (record->call)
        linphone_call_unref(record->call);
    sipx_state::remove_call(handle);
}

bool running(const SipxCall* record)
{
    return record->call && !record->ended;
}

} // namespace

SIPX_RESULT sipxCallCreate(SIPX_INST hInst, SIPX_LINE hLine, SIPX_CALL* phCall)
{
    if (!phCall)
        return sipx_refuse("sipxCallCreate", "no handle to fill");
    *phCall = 0;
    return sipx_with_instance("sipxCallCreate", hInst, [&](SipxInstance* inst) {
        SipxLine* line = sipx_state::find_line(hLine);
        if (hLine != 0 && (!line || line->inst != inst))
            return sipx_refuse("sipxCallCreate", "unknown line " + std::to_string(hLine));
        SipxCall record;
        record.inst = inst;
        record.line = hLine;
        *phCall = sipx_state::add_call(std::move(record));
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxCallConnect(SIPX_CALL hCall, const char* szAddress, SIPX_CONTACT_ID, SIPX_VIDEO_DISPLAY*,
    SIPX_SECURITY_ATTRIBUTES*, bool, SIPX_CALL_OPTIONS*, const char*)
{
    if (!szAddress || !*szAddress)
        return sipx_refuse("sipxCallConnect", "no address");
    std::string problem;
    if (!sipx_address_fits(szAddress, problem))
        return sipx_refuse("sipxCallConnect", "bad address: " + problem, SIPX_RESULT_BAD_ADDRESS);
    return sipx_with_call("sipxCallConnect", hCall, [&](SipxCall* record) {
        if (record->call)
            return sipx_refuse("sipxCallConnect", "the call is already connected", SIPX_RESULT_INVALID_STATE);
        LinphoneCore* core = record->inst->core;
        LinphoneAddress* target = linphone_core_interpret_url(core, sipx_uri(szAddress).c_str());
        if (!target)
            return sipx_refuse(
                "sipxCallConnect", std::string("bad address ") + szAddress, SIPX_RESULT_BAD_ADDRESS);
        if (!sipx_address_fits(target, problem)) {
            linphone_address_unref(target);
            return sipx_refuse("sipxCallConnect", "bad address: " + problem, SIPX_RESULT_BAD_ADDRESS);
        }
        if (SipxLine* line = sipx_state::find_line(record->line))
            linphone_core_set_default_account(core, line->account);
        LinphoneCallParams* params = audio_only_params(core, nullptr);
        g_connecting = hCall;
        record->remote = szAddress;
        LinphoneCall* call = linphone_core_invite_address_with_params(core, target, params);
        g_connecting = 0;
        linphone_call_params_unref(params);
        linphone_address_unref(target);
        record = sipx_state::find_call(hCall); // the callback may have destroyed it
        if (!call)
            return sipx_refuse("sipxCallConnect", "the core refused the call", SIPX_RESULT_FAILURE);
        if (record && !record->call)
            record->call = linphone_call_ref(call);
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxCallAccept(
    SIPX_CALL hCall, SIPX_VIDEO_DISPLAY*, SIPX_SECURITY_ATTRIBUTES*, SIPX_CALL_OPTIONS*, bool)
{
    return sipx_with_call("sipxCallAccept", hCall, [&](SipxCall* record) {
        if (!running(record) || linphone_call_get_state(record->call) != LinphoneCallStateIncomingReceived)
            return sipx_refuse("sipxCallAccept", "no offered call", SIPX_RESULT_INVALID_STATE);
        linphone_call_notify_ringing(record->call);
        // ALERTING follows after the current event has been handled.
        EngineThread::get().post([hCall] {
            SipxCall* rec = sipx_state::find_call(hCall);
            if (rec && rec->last_event == CALLSTATE_OFFERING && running(rec)) {
                rec->last_event = CALLSTATE_ALERTING;
                emit_call_state(
                    rec->inst, hCall, rec->line, rec->remote, CALLSTATE_ALERTING, CALLSTATE_CAUSE_NORMAL);
            }
        });
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxCallAnswer(SIPX_CALL hCall, bool)
{
    return sipx_with_call("sipxCallAnswer", hCall, [&](SipxCall* record) {
        if (!running(record) || linphone_call_get_dir(record->call) != LinphoneCallIncoming)
            return sipx_refuse("sipxCallAnswer", "no incoming call to answer", SIPX_RESULT_INVALID_STATE);
        LinphoneCallParams* params = audio_only_params(record->inst->core, record->call);
        int status = linphone_call_accept_with_params(record->call, params);
        linphone_call_params_unref(params);
        return status == 0 ? SIPX_RESULT_SUCCESS
                           : sipx_refuse("sipxCallAnswer", "the core refused", SIPX_RESULT_FAILURE);
    });
}

SIPX_RESULT sipxCallReject(SIPX_CALL hCall, int errorCode, const char* szErrorText)
{
    return sipx_with_call("sipxCallReject", hCall, [&](SipxCall* record) {
        if (!running(record) || linphone_call_get_state(record->call) != LinphoneCallStateIncomingReceived)
            return sipx_refuse("sipxCallReject", "no offered call", SIPX_RESULT_INVALID_STATE);
        int code = errorCode >= 400 && errorCode <= 699 ? errorCode : 400;
        LinphoneErrorInfo* error = linphone_factory_create_error_info(linphone_factory_get());
        linphone_error_info_set(error, "SIP", LinphoneReasonUnknown, code,
            szErrorText && *szErrorText ? szErrorText : "Bad Request", nullptr);
        linphone_call_decline_with_error_info(record->call, error);
        linphone_error_info_unref(error);
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxCallDestroy(SIPX_CALL* phCall)
{
    if (!phCall)
        return sipx_refuse("sipxCallDestroy", "no handle");
    SIPX_CALL handle = *phCall;
    SIPX_RESULT result = sipx_with_call("sipxCallDestroy", handle, [&](SipxCall* record) {
        SipxInstance* inst = record->inst;
        SIPX_LINE line = record->line;
        std::string remote = record->remote;
        if (running(record)) {
            LinphoneCall* call = linphone_call_ref(record->call);
            g_destroying[call] = handle;
            forget(handle);
            linphone_call_terminate(call); // DISCONNECTED and DESTROYED follow from the core
            linphone_call_unref(call);
        } else {
            forget(handle);
            EngineThread::get().post([inst, handle, line, remote] {
                if (sipx_state::find_instance(inst))
                    emit_call_state(inst, handle, line, remote, CALLSTATE_DESTROYED, CALLSTATE_CAUSE_NORMAL);
            });
        }
        return SIPX_RESULT_SUCCESS;
    });
    if (result == SIPX_RESULT_SUCCESS)
        *phCall = 0;
    return result;
}

SIPX_RESULT sipxCallHold(SIPX_CALL hCall, bool)
{
    return sipx_with_call("sipxCallHold", hCall, [&](SipxCall* record) {
        if (!running(record) || linphone_call_pause(record->call) != 0)
            return sipx_refuse("sipxCallHold", "the call cannot be held now", SIPX_RESULT_INVALID_STATE);
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxCallUnhold(SIPX_CALL hCall)
{
    return sipx_with_call("sipxCallUnhold", hCall, [&](SipxCall* record) {
        if (!running(record) || linphone_call_resume(record->call) != 0)
            return sipx_refuse("sipxCallUnhold", "the call is not held", SIPX_RESULT_INVALID_STATE);
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxCallGetRemoteID(SIPX_CALL hCall, char* szId, size_t iMaxLength)
{
    if (!szId || iMaxLength == 0)
        return sipx_refuse("sipxCallGetRemoteID", "no buffer");
    szId[0] = '\0';
    return sipx_with_call(
        "sipxCallGetRemoteID", hCall,
        [&](SipxCall* record) {
            const std::string& remote = record->remote;
            size_t n = std::min(remote.size(), iMaxLength - 1);
            std::memcpy(szId, remote.data(), n);
            szId[n] = '\0';
            return n < remote.size() ? SIPX_RESULT_INSUFFICIENT_BUFFER : SIPX_RESULT_SUCCESS;
        },
        SipxWork::Query);
}

SIPX_RESULT sipxCallStartTone(SIPX_CALL hCall, SIPX_TONE_ID toneId, bool bLocal, bool bRemote)
{
    int code = static_cast<int>(toneId);
    if (code <= 0 || code > 127 || !std::strchr("0123456789*#ABCD", code))
        return sipx_refuse("sipxCallStartTone", "not a DTMF tone: " + std::to_string(code));
    char dtmf = static_cast<char>(code);
    return sipx_with_call("sipxCallStartTone", hCall, [&](SipxCall* record) {
        if (!running(record))
            return sipx_refuse("sipxCallStartTone", "the call is not running", SIPX_RESULT_INVALID_STATE);
        if (bRemote && linphone_call_send_dtmf(record->call, dtmf) != 0)
            return sipx_refuse("sipxCallStartTone", "the tone could not be sent", SIPX_RESULT_FAILURE);
        if (bLocal)
            linphone_core_play_dtmf(record->inst->core, dtmf, -1);
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxCallStopTone(SIPX_CALL hCall)
{
    return sipx_with_call("sipxCallStopTone", hCall, [&](SipxCall* record) {
        linphone_core_stop_dtmf(record->inst->core);
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxCallAudioPlayFileStart(
    SIPX_CALL hCall, const char* szFile, bool bRepeat, bool bLocal, bool bRemote, bool, float)
{
    if (!szFile || access(szFile, R_OK) != 0)
        return sipx_refuse("sipxCallAudioPlayFileStart",
            std::string("cannot read the file ") + (szFile ? szFile : "(none)"));
    return sipx_with_call("sipxCallAudioPlayFileStart", hCall, [&](SipxCall* record) {
        SipxInstance* inst = record->inst;
        if (bLocal) {
            record->ring.reset();
            MSSndCard* card = nullptr;
            if (!inst->file_mode) {
                MSSndCardManager* cards =
                    ms_factory_get_snd_card_manager(linphone_core_get_ms_factory(inst->core));
                std::string device = inst->ringer_device;
                if (device.empty() && linphone_core_get_ringer_device(inst->core))
                    device = linphone_core_get_ringer_device(inst->core);
                card = ms_snd_card_manager_get_card(cards, device.c_str());
                if (!card)
                    card = ms_snd_card_manager_get_default_playback_card(cards);
                if (!card)
                    return sipx_refuse("sipxCallAudioPlayFileStart", "no ring device", SIPX_RESULT_FAILURE);
            }
            record->ring =
                LocalPlayback::start(linphone_core_get_ms_factory(inst->core), card, szFile, bRepeat);
            if (!record->ring)
                return sipx_refuse(
                    "sipxCallAudioPlayFileStart", std::string("cannot play ") + szFile, SIPX_RESULT_FAILURE);
        }
        if (bRemote) {
            if (!running(record))
                return sipx_refuse(
                    "sipxCallAudioPlayFileStart", "the call is not running", SIPX_RESULT_INVALID_STATE);
            LinphonePlayer* player = linphone_call_get_player(record->call);
            if (!player || linphone_player_open(player, szFile) != 0 || linphone_player_start(player) != 0)
                return sipx_refuse(
                    "sipxCallAudioPlayFileStart", std::string("cannot send ") + szFile, SIPX_RESULT_FAILURE);
            record->remote_file = true;
        }
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxCallAudioPlayFileStop(SIPX_CALL hCall)
{
    return sipx_with_call("sipxCallAudioPlayFileStop", hCall, [&](SipxCall* record) {
        record->ring.reset();
        if (record->remote_file && running(record)) {
            if (LinphonePlayer* player = linphone_call_get_player(record->call))
                linphone_player_close(player);
        }
        record->remote_file = false;
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxCallGetAudioLevels(SIPX_CALL hCall, int* piInputLevel, int* piOutputLevel)
{
    if (!piInputLevel || !piOutputLevel)
        return sipx_refuse("sipxCallGetAudioLevels", "no level to fill");
    return sipx_with_call(
        "sipxCallGetAudioLevels", hCall,
        [&](SipxCall* record) {
            if (!running(record))
                return sipx_refuse(
                    "sipxCallGetAudioLevels", "the call is not running", SIPX_RESULT_INVALID_STATE);
            auto scale = [](float db) { return static_cast<int>(std::clamp(db, -100.0f, 0.0f)); };
            *piInputLevel = scale(linphone_call_get_record_volume(record->call));
            *piOutputLevel = scale(linphone_call_get_play_volume(record->call));
            return SIPX_RESULT_SUCCESS;
        },
        SipxWork::Query);
}

void sipx_on_call_state(SipxInstance* inst, LinphoneCall* call, LinphoneCallState state)
{
    SIPX_CALL handle = sipx_state::call_of(call);
    if (!handle && g_connecting && linphone_call_get_dir(call) == LinphoneCallOutgoing) {
        handle = g_connecting;
        if (SipxCall* record = sipx_state::find_call(handle); record && !record->call)
            record->call = linphone_call_ref(call);
    }
    if (!handle) {
        auto dying = g_destroying.find(call);
        if (dying != g_destroying.end()) {
            // A destroyed handle: report how the core ends the call.
            if (state == LinphoneCallStateEnd || state == LinphoneCallStateError)
                emit_call_state(inst, dying->second, 0, "", CALLSTATE_DISCONNECTED,
                    call_cause_of(linphone_call_get_reason(call)));
            if (state == LinphoneCallStateReleased) {
                SIPX_CALL gone = dying->second;
                g_destroying.erase(dying);
                emit_call_state(inst, gone, 0, "", CALLSTATE_DESTROYED, CALLSTATE_CAUSE_NORMAL);
            }
            return;
        }
        if (state != LinphoneCallStateIncomingReceived)
            return;
        SipxCall record;
        record.inst = inst;
        record.line = sipx_state::line_of(linphone_core_get_default_account(inst->core));
        record.call = linphone_call_ref(call);
        handle = sipx_state::add_call(std::move(record));
    }
    SipxCall* record = sipx_state::find_call(handle);
    if (!record)
        return;
    if (state == LinphoneCallStateReleased) {
        // The handle lives on until sipxCallDestroy; the core's call is gone.
        record->ended = true;
        record->ring.reset();
        linphone_call_unref(record->call);
        record->call = nullptr;
        return;
    }
    if (state == LinphoneCallStateEnd || state == LinphoneCallStateError)
        record->ended = true;
    if (std::string known = remote_of(call); !known.empty())
        record->remote = known;
    auto mapped = map_call_state(state, linphone_call_get_reason(call), record->last_event);
    if (!mapped)
        return;
    record->last_event = mapped->event;
    SIPX_LINE line = record->line;
    std::string remote_copy = record->remote; // the callback may destroy the handle
    emit_call_state(inst, handle, line, remote_copy, mapped->event, mapped->cause);
}

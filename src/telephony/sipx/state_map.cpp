#include "telephony/sipx/state_map.h"

SIPX_CALLSTATE_CAUSE call_cause_of(LinphoneReason reason)
{
    switch (reason) {
    case LinphoneReasonNone:
        return CALLSTATE_CAUSE_NORMAL;
    case LinphoneReasonDeclined:
    case LinphoneReasonTemporarilyUnavailable:
    case LinphoneReasonNotAcceptable:
    case LinphoneReasonUnsupportedContent:
        return CALLSTATE_CAUSE_REQUEST_NOT_ACCEPTED;
    case LinphoneReasonBusy:
        return CALLSTATE_CAUSE_BUSY;
    case LinphoneReasonNotFound:
    case LinphoneReasonAddressIncomplete:
        return CALLSTATE_CAUSE_BAD_ADDRESS;
    case LinphoneReasonIOError:
    case LinphoneReasonServerTimeout:
        return CALLSTATE_CAUSE_NETWORK;
    case LinphoneReasonNotAnswered:
        return CALLSTATE_CAUSE_NO_RESPONSE;
    case LinphoneReasonUnauthorized:
    case LinphoneReasonForbidden:
        return CALLSTATE_CAUSE_AUTH;
    case LinphoneReasonMovedPermanently:
        return CALLSTATE_CAUSE_REDIRECTED;
    default:
        return CALLSTATE_CAUSE_UNKNOWN;
    }
}

std::optional<CallStateEvent> map_call_state(
    LinphoneCallState state, LinphoneReason reason, SIPX_CALLSTATE_EVENT last)
{
    auto once = [last](
                    SIPX_CALLSTATE_EVENT event, SIPX_CALLSTATE_CAUSE cause) -> std::optional<CallStateEvent> {
        if (event == last)
            return std::nullopt;
        return CallStateEvent{event, cause};
    };
    switch (state) {
    case LinphoneCallStateOutgoingProgress:
        return once(CALLSTATE_REMOTE_OFFERING, CALLSTATE_CAUSE_NORMAL);
    case LinphoneCallStateOutgoingRinging:
        return once(CALLSTATE_REMOTE_ALERTING, CALLSTATE_CAUSE_NORMAL);
    case LinphoneCallStateOutgoingEarlyMedia:
        return once(CALLSTATE_REMOTE_ALERTING, CALLSTATE_CAUSE_EARLY_MEDIA);
    case LinphoneCallStateIncomingReceived:
        return once(CALLSTATE_OFFERING, CALLSTATE_CAUSE_NORMAL);
    case LinphoneCallStateConnected:
    case LinphoneCallStateStreamsRunning:
        return once(CALLSTATE_CONNECTED, CALLSTATE_CAUSE_NORMAL);
    case LinphoneCallStatePaused:
        return once(CALLSTATE_HELD, CALLSTATE_CAUSE_NORMAL);
    case LinphoneCallStatePausedByRemote:
        return once(CALLSTATE_REMOTE_HELD, CALLSTATE_CAUSE_NORMAL);
    case LinphoneCallStateEnd:
    case LinphoneCallStateError:
        return once(CALLSTATE_DISCONNECTED, call_cause_of(reason));
    default:
        return std::nullopt;
    }
}

std::optional<LineStateEvent> map_registration_state(
    LinphoneRegistrationState state, LinphoneReason reason, bool registering)
{
    switch (state) {
    case LinphoneRegistrationProgress:
        return LineStateEvent{
            registering ? LINESTATE_REGISTERING : LINESTATE_UNREGISTERING, LINESTATE_CAUSE_NORMAL};
    case LinphoneRegistrationOk:
        return LineStateEvent{LINESTATE_REGISTERED, LINESTATE_CAUSE_NORMAL};
    case LinphoneRegistrationCleared:
        return LineStateEvent{LINESTATE_UNREGISTERED, LINESTATE_CAUSE_NORMAL};
    case LinphoneRegistrationFailed: {
        SIPX_LINESTATE_CAUSE cause = LINESTATE_CAUSE_UNKNOWN;
        if (reason == LinphoneReasonUnauthorized || reason == LinphoneReasonForbidden)
            cause = LINESTATE_CAUSE_NOT_AUTHORIZED;
        else if (reason == LinphoneReasonIOError)
            cause = LINESTATE_CAUSE_COULD_NOT_CONNECT;
        else if (reason == LinphoneReasonNoResponse || reason == LinphoneReasonServerTimeout)
            cause = LINESTATE_CAUSE_TIMEOUT;
        return LineStateEvent{registering ? LINESTATE_REGISTER_FAILED : LINESTATE_UNREGISTER_FAILED, cause};
    }
    default:
        return std::nullopt;
    }
}

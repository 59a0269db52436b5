#pragma once
// How the SIP core's call and registration states become sipx events.
#include <linphone/core.h>
#include <optional>

#include "telephony/sipx/sipx.h"

struct CallStateEvent {
    SIPX_CALLSTATE_EVENT event;
    SIPX_CALLSTATE_CAUSE cause;
};

// The event a core call state gives, given the event last reported for the call;
// nothing for states that report nothing (or would repeat the last event). Released is
// not mapped here: it ends the handle's life (see the call code).
std::optional<CallStateEvent> map_call_state(
    LinphoneCallState state, LinphoneReason reason, SIPX_CALLSTATE_EVENT last);

SIPX_CALLSTATE_CAUSE call_cause_of(LinphoneReason reason);

struct LineStateEvent {
    SIPX_LINESTATE_EVENT event;
    SIPX_LINESTATE_CAUSE cause;
};

// registering: whether the line wants to be registered (false while unregistering).
std::optional<LineStateEvent> map_registration_state(
    LinphoneRegistrationState state, LinphoneReason reason, bool registering);

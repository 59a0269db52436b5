#pragma once
#include "telephony/sipx/engine_thread.h"
#include "telephony/sipx/sipx_state.h"

// Connects the core's callbacks (calls, registrations, notifications) to the sipx events
// of the instance whose core it is.
void sipx_attach_core_callbacks(LinphoneCore* core);

// Work done on every engine tick for one instance: iterate its core, report lines whose
// registration waits longer than allowed, take the STUN outcome and run the keep-alives.
// Says how soon the instance needs the next tick.
TickNeeds sipx_tick(SipxInstance* inst);

// The UDP port the core's SIP transport uses (0 when it has none).
int sipx_udp_port(LinphoneCore* core);

// The instance a core belongs to, when it is still live.
SipxInstance* sipx_instance_of(LinphoneCore* core);

// Handlers of the core's reports, each in the file of its subject.
void sipx_on_call_state(SipxInstance* inst, LinphoneCall* call, LinphoneCallState state);
void sipx_on_registration_state(
    SipxInstance* inst, LinphoneAccount* account, LinphoneRegistrationState state);
void sipx_on_notify(SipxInstance* inst, LinphoneEvent* event, const LinphoneContent* body);
void sipx_check_register_waits(SipxInstance* inst);
void sipx_poll_stun(SipxInstance* inst);
// Reports the STUN outcome the instance knows (after a listener was added).
void sipx_report_stun(SipxInstance* inst);
void sipx_poll_keepalives(SipxInstance* inst);

#pragma once
#include <string>

#include "telephony/sipx/sipx.h"

// Names of the event values, for logs ("CALLSTATE_CONNECTED"); "UNKNOWN(n)" for a value
// that has no name.
std::string sipx_callstate_name(SIPX_CALLSTATE_EVENT event);
std::string sipx_callstate_cause_name(SIPX_CALLSTATE_CAUSE cause);
std::string sipx_linestate_name(SIPX_LINESTATE_EVENT event);
std::string sipx_linestate_cause_name(SIPX_LINESTATE_CAUSE cause);
std::string sipx_config_name(SIPX_CONFIG_EVENT event);
std::string sipx_category_name(SIPX_EVENT_CATEGORY category);

// The readable text of one event record, as sipxEventToString gives it.
std::string sipx_event_text(SIPX_EVENT_CATEGORY category, const void* event);

#include "telephony/sipx/event_text.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

template <typename T, size_t N> std::string name_of(const std::pair<T, const char*> (&table)[N], T value)
{
    for (auto& [key, name] : table)
        if (key == value)
            return name;
    return "UNKNOWN(" + std::to_string(static_cast<long>(value)) + ")";
}

const std::pair<SIPX_CALLSTATE_EVENT, const char*> kCallStates[] = {
    {CALLSTATE_UNKNOWN, "CALLSTATE_UNKNOWN"},
    {CALLSTATE_NEWCALL, "CALLSTATE_NEWCALL"},
    {CALLSTATE_DIALTONE, "CALLSTATE_DIALTONE"},
    {CALLSTATE_REMOTE_OFFERING, "CALLSTATE_REMOTE_OFFERING"},
    {CALLSTATE_REMOTE_ALERTING, "CALLSTATE_REMOTE_ALERTING"},
    {CALLSTATE_CONNECTED, "CALLSTATE_CONNECTED"},
    {CALLSTATE_BRIDGED, "CALLSTATE_BRIDGED"},
    {CALLSTATE_HELD, "CALLSTATE_HELD"},
    {CALLSTATE_REMOTE_HELD, "CALLSTATE_REMOTE_HELD"},
    {CALLSTATE_DISCONNECTED, "CALLSTATE_DISCONNECTED"},
    {CALLSTATE_OFFERING, "CALLSTATE_OFFERING"},
    {CALLSTATE_ALERTING, "CALLSTATE_ALERTING"},
    {CALLSTATE_DESTROYED, "CALLSTATE_DESTROYED"},
    {CALLSTATE_TRANSFER_EVENT, "CALLSTATE_TRANSFER_EVENT"},
};

const std::pair<SIPX_CALLSTATE_CAUSE, const char*> kCallCauses[] = {
    {CALLSTATE_CAUSE_UNKNOWN, "CALLSTATE_CAUSE_UNKNOWN"},
    {CALLSTATE_CAUSE_NORMAL, "CALLSTATE_CAUSE_NORMAL"},
    {CALLSTATE_CAUSE_TRANSFERRED, "CALLSTATE_CAUSE_TRANSFERRED"},
    {CALLSTATE_CAUSE_TRANSFER, "CALLSTATE_CAUSE_TRANSFER"},
    {CALLSTATE_CAUSE_CONFERENCE, "CALLSTATE_CAUSE_CONFERENCE"},
    {CALLSTATE_CAUSE_EARLY_MEDIA, "CALLSTATE_CAUSE_EARLY_MEDIA"},
    {CALLSTATE_CAUSE_REQUEST_NOT_ACCEPTED, "CALLSTATE_CAUSE_REQUEST_NOT_ACCEPTED"},
    {CALLSTATE_CAUSE_BAD_ADDRESS, "CALLSTATE_CAUSE_BAD_ADDRESS"},
    {CALLSTATE_CAUSE_BUSY, "CALLSTATE_CAUSE_BUSY"},
    {CALLSTATE_CAUSE_RESOURCE_LIMIT, "CALLSTATE_CAUSE_RESOURCE_LIMIT"},
    {CALLSTATE_CAUSE_NETWORK, "CALLSTATE_CAUSE_NETWORK"},
    {CALLSTATE_CAUSE_REDIRECTED, "CALLSTATE_CAUSE_REDIRECTED"},
    {CALLSTATE_CAUSE_NO_RESPONSE, "CALLSTATE_CAUSE_NO_RESPONSE"},
    {CALLSTATE_CAUSE_AUTH, "CALLSTATE_CAUSE_AUTH"},
    {CALLSTATE_CAUSE_SHUTDOWN, "CALLSTATE_CAUSE_SHUTDOWN"},
    {CALLSTATE_CAUSE_CANCEL, "CALLSTATE_CAUSE_CANCEL"},
};

const std::pair<SIPX_LINESTATE_EVENT, const char*> kLineStates[] = {
    {LINESTATE_UNKNOWN, "LINESTATE_UNKNOWN"},
    {LINESTATE_REGISTERING, "LINESTATE_REGISTERING"},
    {LINESTATE_REGISTERED, "LINESTATE_REGISTERED"},
    {LINESTATE_UNREGISTERING, "LINESTATE_UNREGISTERING"},
    {LINESTATE_UNREGISTERED, "LINESTATE_UNREGISTERED"},
    {LINESTATE_REGISTER_FAILED, "LINESTATE_REGISTER_FAILED"},
    {LINESTATE_UNREGISTER_FAILED, "LINESTATE_UNREGISTER_FAILED"},
    {LINESTATE_PROVISIONED, "LINESTATE_PROVISIONED"},
};

const std::pair<SIPX_LINESTATE_CAUSE, const char*> kLineCauses[] = {
    {LINESTATE_CAUSE_UNKNOWN, "LINESTATE_CAUSE_UNKNOWN"},
    {LINESTATE_CAUSE_NORMAL, "LINESTATE_CAUSE_NORMAL"},
    {LINESTATE_CAUSE_COULD_NOT_CONNECT, "LINESTATE_CAUSE_COULD_NOT_CONNECT"},
    {LINESTATE_CAUSE_NOT_AUTHORIZED, "LINESTATE_CAUSE_NOT_AUTHORIZED"},
    {LINESTATE_CAUSE_TIMEOUT, "LINESTATE_CAUSE_TIMEOUT"},
};

const std::pair<SIPX_CONFIG_EVENT, const char*> kConfigEvents[] = {
    {CONFIG_UNKNOWN, "CONFIG_UNKNOWN"},
    {CONFIG_STUN_SUCCESS, "CONFIG_STUN_SUCCESS"},
    {CONFIG_STUN_FAILURE, "CONFIG_STUN_FAILURE"},
};

const std::pair<SIPX_EVENT_CATEGORY, const char*> kCategories[] = {
    {EVENT_CATEGORY_CALLSTATE, "EVENT_CATEGORY_CALLSTATE"},
    {EVENT_CATEGORY_LINESTATE, "EVENT_CATEGORY_LINESTATE"},
    {EVENT_CATEGORY_INFO_STATUS, "EVENT_CATEGORY_INFO_STATUS"},
    {EVENT_CATEGORY_INFO, "EVENT_CATEGORY_INFO"},
    {EVENT_CATEGORY_SUB_STATUS, "EVENT_CATEGORY_SUB_STATUS"},
    {EVENT_CATEGORY_NOTIFY, "EVENT_CATEGORY_NOTIFY"},
    {EVENT_CATEGORY_CONFIG, "EVENT_CATEGORY_CONFIG"},
    {EVENT_CATEGORY_SECURITY, "EVENT_CATEGORY_SECURITY"},
    {EVENT_CATEGORY_MEDIA, "EVENT_CATEGORY_MEDIA"},
    {EVENT_CATEGORY_KEEPALIVE, "EVENT_CATEGORY_KEEPALIVE"},
};

std::string text_or_empty(const char* text)
{
    return text ? text : "";
}

} // namespace

std::string sipx_callstate_name(SIPX_CALLSTATE_EVENT e)
{
    return name_of(kCallStates, e);
}
std::string sipx_callstate_cause_name(SIPX_CALLSTATE_CAUSE c)
{
    return name_of(kCallCauses, c);
}
std::string sipx_linestate_name(SIPX_LINESTATE_EVENT e)
{
    return name_of(kLineStates, e);
}
std::string sipx_linestate_cause_name(SIPX_LINESTATE_CAUSE c)
{
    return name_of(kLineCauses, c);
}
std::string sipx_config_name(SIPX_CONFIG_EVENT e)
{
    return name_of(kConfigEvents, e);
}
std::string sipx_category_name(SIPX_EVENT_CATEGORY c)
{
    return name_of(kCategories, c);
}

std::string sipx_event_text(SIPX_EVENT_CATEGORY category, const void* event)
{
    if (!event)
        return sipx_category_name(category);
    switch (category) {
    case EVENT_CATEGORY_CALLSTATE: {
        auto* info = static_cast<const SIPX_CALLSTATE_INFO*>(event);
        return sipx_callstate_name(info->event) + "::" + sipx_callstate_cause_name(info->cause);
    }
    case EVENT_CATEGORY_LINESTATE: {
        auto* info = static_cast<const SIPX_LINESTATE_INFO*>(event);
        return sipx_linestate_name(info->event) + "::" + sipx_linestate_cause_name(info->cause);
    }
    case EVENT_CATEGORY_CONFIG:
        return sipx_config_name(static_cast<const SIPX_CONFIG_INFO*>(event)->event);
    case EVENT_CATEGORY_NOTIFY: {
        auto* info = static_cast<const SIPX_NOTIFY_INFO*>(event);
        return "NOTIFY::" + text_or_empty(info->szContentType) + " (" + std::to_string(info->nContentLength) +
            " bytes)";
    }
    case EVENT_CATEGORY_INFO_STATUS: {
        auto* info = static_cast<const SIPX_INFOSTATUS_INFO*>(event);
        return "INFO_STATUS::" + std::to_string(info->responseCode) + " " +
            text_or_empty(info->szResponseText);
    }
    case EVENT_CATEGORY_INFO: {
        auto* info = static_cast<const SIPX_INFO_INFO*>(event);
        return "INFO::" + text_or_empty(info->szContentType);
    }
    case EVENT_CATEGORY_MEDIA: {
        auto* info = static_cast<const SIPX_MEDIA_INFO*>(event);
        if (info->event == MEDIA_REMOTE_DTMF)
            return std::string("MEDIA_REMOTE_DTMF::") + static_cast<char>(info->toneId);
        return "MEDIA_UNKNOWN";
    }
    case EVENT_CATEGORY_KEEPALIVE: {
        auto* info = static_cast<const SIPX_KEEPALIVE_INFO*>(event);
        return std::string(info->event == KEEPALIVE_FEEDBACK ? "KEEPALIVE_FEEDBACK" : "KEEPALIVE_FAILURE") +
            "::" + text_or_empty(info->szRemoteAddress) + ":" + std::to_string(info->remotePort);
    }
    default:
        return sipx_category_name(category);
    }
}

const char* sipxEventToString(
    SIPX_EVENT_CATEGORY category, const void* pEvent, char* szBuffer, size_t nBuffer)
{
    if (!szBuffer || nBuffer == 0)
        return "";
    std::string text = sipx_event_text(category, pEvent);
    size_t n = std::min(text.size(), nBuffer - 1);
    std::memcpy(szBuffer, text.data(), n);
    szBuffer[n] = '\0';
    return szBuffer;
}

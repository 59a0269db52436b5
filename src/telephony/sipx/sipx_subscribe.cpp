// Subscriptions: NOTIFY bodies arrive as EVENT_CATEGORY_NOTIFY.
#include <linphone/event.h>

#include "telephony/sipx/core_events.h"

SIPX_RESULT sipxConfigSubscribe(SIPX_INST hInst, SIPX_LINE hLine, const char* szTargetUrl,
    const char* szEventType, const char* szAcceptType, SIPX_CONTACT_ID, SIPX_SUB* phSub)
{
    if (!phSub || !szTargetUrl || !*szTargetUrl || !szEventType || !*szEventType)
        return sipx_refuse("sipxConfigSubscribe", "no target, event type or handle");
    *phSub = 0;
    std::string problem;
    if (!sipx_address_fits(szTargetUrl, problem))
        return sipx_refuse("sipxConfigSubscribe", "bad address: " + problem, SIPX_RESULT_BAD_ADDRESS);
    return sipx_with_instance("sipxConfigSubscribe", hInst, [&](SipxInstance* inst) {
        SipxLine* line = sipx_state::find_line(hLine);
        if (hLine != 0 && (!line || line->inst != inst))
            return sipx_refuse("sipxConfigSubscribe", "unknown line " + std::to_string(hLine));
        LinphoneAddress* target =
            linphone_factory_create_address(linphone_factory_get(), sipx_uri(szTargetUrl).c_str());
        if (!target)
            return sipx_refuse(
                "sipxConfigSubscribe", std::string("bad target ") + szTargetUrl, SIPX_RESULT_BAD_ADDRESS);
        if (!sipx_address_fits(target, problem)) {
            linphone_address_unref(target);
            return sipx_refuse("sipxConfigSubscribe", "bad target: " + problem, SIPX_RESULT_BAD_ADDRESS);
        }
        if (line)
            linphone_core_set_default_account(inst->core, line->account);
        LinphoneEvent* event = linphone_core_create_subscribe(inst->core, target, szEventType, 3600);
        linphone_address_unref(target);
        if (!event)
            return sipx_refuse(
                "sipxConfigSubscribe", "the core refused the subscription", SIPX_RESULT_FAILURE);
        if (szAcceptType && *szAcceptType)
            linphone_event_add_custom_header(event, "Accept", szAcceptType);
        SipxSubscription sub;
        sub.inst = inst;
        sub.event = event; // the reference create_subscribe gave us
        *phSub = sipx_state::add_subscription(std::move(sub));
        linphone_event_send_subscribe(event, nullptr);
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxConfigUnsubscribe(SIPX_SUB hSub)
{
    return sipx_on_engine([&] {
        SipxSubscription* sub = sipx_state::find_subscription(hSub);
        if (!sub)
            return sipx_refuse("sipxConfigUnsubscribe", "unknown subscription " + std::to_string(hSub));
        linphone_event_terminate(sub->event);
        linphone_event_unref(sub->event);
        sipx_state::remove_subscription(hSub);
        return SIPX_RESULT_SUCCESS;
    });
}

void sipx_on_notify(SipxInstance* inst, LinphoneEvent* event, const LinphoneContent* body)
{
    // The body as its own zero-terminated copy: it may hold zeros or no terminator.
    std::string content;
    std::string type;
    if (body) {
        const uint8_t* buffer = linphone_content_get_buffer(body);
        size_t size = linphone_content_get_size(body);
        if (buffer && size > 0)
            content.assign(reinterpret_cast<const char*>(buffer), size);
        const char* major = linphone_content_get_type(body);
        const char* minor = linphone_content_get_subtype(body);
        if (major && *major)
            type = std::string(major) + "/" + (minor ? minor : "");
    }
    SIPX_NOTIFY_INFO info{};
    info.nSize = sizeof info;
    info.hSub = sipx_state::subscription_of(event);
    info.szNotiferUserAgent = "";
    info.szContentType = type.c_str();
    info.pContent = content.empty() ? nullptr : content.c_str();
    info.nContentLength = content.size();
    sipx_emit(inst, EVENT_CATEGORY_NOTIFY, &info);
}

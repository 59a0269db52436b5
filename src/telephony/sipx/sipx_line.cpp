// Lines: one account of the SIP core each, registered through the outbound proxy.
#include <cstring>

#include "telephony/sipx/core_events.h"
#include "telephony/sipx/event_text.h"
#include "telephony/sipx/state_map.h"

namespace {

// Registrar of an identity: "sip:" + its domain.
std::string registrar_of(const LinphoneAddress* identity)
{
    const char* domain = linphone_address_get_domain(identity);
    return std::string("sip:") + (domain ? domain : "");
}

void emit_line_state(SipxLine* line, SIPX_LINE handle, SIPX_LINESTATE_EVENT event, SIPX_LINESTATE_CAUSE cause)
{
    line->last_event = event;
    if (event == LINESTATE_REGISTERING || event == LINESTATE_UNREGISTERING) {
        line->registering_since = std::chrono::steady_clock::now();
        line->wait_reported = false;
    }
    SIPX_LINESTATE_INFO info{sizeof(SIPX_LINESTATE_INFO), handle, event, cause};
    sipx_emit(line->inst, EVENT_CATEGORY_LINESTATE, &info);
}

bool register_wanted(LinphoneAccount* account)
{
    return linphone_account_params_get_register_enabled(linphone_account_get_params(account));
}

} // namespace

SIPX_RESULT sipxLineAdd(
    SIPX_INST hInst, const char* szLineURL, SIPX_LINE* phLine, SIPX_CONTACT_ID /*contactId*/)
{
    if (!phLine || !szLineURL || !*szLineURL)
        return sipx_refuse("sipxLineAdd", "no line address or handle");
    *phLine = 0;
    std::string problem;
    if (!sipx_address_fits(szLineURL, problem))
        return sipx_refuse("sipxLineAdd", "bad line address: " + problem, SIPX_RESULT_BAD_ADDRESS);
    return sipx_with_instance("sipxLineAdd", hInst, [&](SipxInstance* inst) {
        LinphoneFactory* factory = linphone_factory_get();
        LinphoneAddress* identity = linphone_factory_create_address(factory, sipx_uri(szLineURL).c_str());
        if (!identity)
            return sipx_refuse(
                "sipxLineAdd", std::string("bad line address ") + szLineURL, SIPX_RESULT_BAD_ADDRESS);
        if (!sipx_address_fits(identity, problem)) {
            linphone_address_unref(identity);
            return sipx_refuse("sipxLineAdd", "bad line address: " + problem, SIPX_RESULT_BAD_ADDRESS);
        }
        LinphoneAccountParams* params = linphone_core_create_account_params(inst->core);
        linphone_account_params_set_identity_address(params, identity);
        // With an outbound proxy every request, REGISTER included, goes to it (the core
        // sends REGISTER to its server address and ignores routes for it); without one,
        // to the identity's domain.
        std::string server =
            inst->outbound_proxy.empty() ? registrar_of(identity) : sipx_uri(inst->outbound_proxy);
        if (!sipx_address_fits(server, problem) ||
            linphone_account_params_set_server_addr(params, server.c_str()) != 0) {
            sipx_log(
                "sipxLineAdd: bad outbound proxy " + inst->outbound_proxy + ", registering at the domain");
            linphone_account_params_set_server_addr(params, registrar_of(identity).c_str());
        } else if (!inst->outbound_proxy.empty()) {
            linphone_account_params_enable_outbound_proxy(params, TRUE);
        }
        linphone_account_params_set_expires(params, inst->register_expiration);
        linphone_account_params_set_register_enabled(params, FALSE);
        LinphoneAccount* account = linphone_core_create_account(inst->core, params);
        linphone_account_params_unref(params);
        SipxLine line;
        line.inst = inst;
        line.account = account;
        char* text = linphone_address_as_string_uri_only(identity);
        line.identity = text ? text : "";
        bctbx_free(text);
        linphone_address_unref(identity);
        if (linphone_core_add_account(inst->core, account) != 0) {
            linphone_account_unref(account);
            return sipx_refuse("sipxLineAdd", "the core refused the line", SIPX_RESULT_FAILURE);
        }
        linphone_core_set_default_account(inst->core, account);
        *phLine = sipx_state::add_line(std::move(line));
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxLineRemove(SIPX_LINE hLine)
{
    return sipx_with_line("sipxLineRemove", hLine, [&](SipxLine* line) {
        LinphoneCore* core = line->inst->core;
        if (line->auth) {
            linphone_core_remove_auth_info(core, line->auth);
            linphone_auth_info_unref(line->auth);
        }
        linphone_core_remove_account(core, line->account); // unregisters when registered
        linphone_account_unref(line->account);
        sipx_state::remove_line(hLine);
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxLineAddCredential(
    SIPX_LINE hLine, const char* szUserID, const char* szPasswd, const char* szRealm)
{
    if (!szUserID || !*szUserID)
        return sipx_refuse("sipxLineAddCredential", "no user id");
    // The user id goes into the Authorization header beside the line's own address.
    if (std::strlen(szUserID) > kMaxAddressText || (szRealm && std::strlen(szRealm) > kMaxAddressText))
        return sipx_refuse("sipxLineAddCredential",
            "user id or realm longer than " + std::to_string(kMaxAddressText) + " characters");
    return sipx_with_line("sipxLineAddCredential", hLine, [&](SipxLine* line) {
        LinphoneCore* core = line->inst->core;
        if (line->auth) {
            linphone_core_remove_auth_info(core, line->auth);
            linphone_auth_info_unref(line->auth);
        }
        const LinphoneAddress* identity =
            linphone_account_params_get_identity_address(linphone_account_get_params(line->account));
        const char* domain = identity ? linphone_address_get_domain(identity) : nullptr;
        line->auth = linphone_factory_create_auth_info(linphone_factory_get(), szUserID, nullptr,
            szPasswd ? szPasswd : "", nullptr, szRealm && *szRealm ? szRealm : nullptr, domain);
        linphone_core_add_auth_info(core, line->auth);
        return SIPX_RESULT_SUCCESS;
    });
}

SIPX_RESULT sipxLineRegister(SIPX_LINE hLine, bool bRegister)
{
    return sipx_with_line("sipxLineRegister", hLine, [&](SipxLine* line) {
        LinphoneAccountParams* params =
            linphone_account_params_clone(linphone_account_get_params(line->account));
        linphone_account_params_set_register_enabled(params, bRegister);
        linphone_account_params_set_expires(params, line->inst->register_expiration);
        bool was_wanted = register_wanted(line->account);
        linphone_account_set_params(line->account, params);
        linphone_account_params_unref(params);
        // Registering again while registered sends a fresh REGISTER.
        if (bRegister && was_wanted)
            linphone_account_refresh_register(line->account);
        return SIPX_RESULT_SUCCESS;
    });
}

void sipx_on_registration_state(SipxInstance* inst, LinphoneAccount* account, LinphoneRegistrationState state)
{
    SIPX_LINE handle = sipx_state::line_of(account);
    SipxLine* line = sipx_state::find_line(handle);
    if (!line || line->inst != inst)
        return; // a removed line finishing its unregistration
    auto mapped =
        map_registration_state(state, linphone_account_get_error(account), register_wanted(account));
    if (mapped)
        emit_line_state(line, handle, mapped->event, mapped->cause);
}

void sipx_check_register_waits(SipxInstance* inst)
{
    if (inst->register_wait_seconds <= 0)
        return;
    auto limit = std::chrono::seconds(inst->register_wait_seconds);
    auto now = std::chrono::steady_clock::now();
    for (SIPX_LINE handle : sipx_state::lines_of(inst)) {
        SipxLine* line = sipx_state::find_line(handle);
        if (line->last_event != LINESTATE_REGISTERING || line->wait_reported ||
            now - line->registering_since < limit)
            continue;
        line->wait_reported = true;
        sipx_log("no answer to REGISTER for " + line->identity + " within " +
            std::to_string(inst->register_wait_seconds) + " s");
        SIPX_LINESTATE_INFO info{
            sizeof(SIPX_LINESTATE_INFO), handle, LINESTATE_REGISTER_FAILED, LINESTATE_CAUSE_TIMEOUT};
        line->last_event = LINESTATE_REGISTER_FAILED;
        sipx_emit(inst, EVENT_CATEGORY_LINESTATE, &info);
    }
}

#include "telephony/sipx/sipx_state.h"

#include "log/log_file.h"
#include "telephony/sipx/engine_thread.h"

#include <algorithm>
#include <exception>
#include <set>

namespace {

std::set<SipxInstance*> g_instances;
std::map<SIPX_LINE, SipxLine> g_lines;
std::map<SIPX_CALL, SipxCall> g_calls;
std::map<SIPX_SUB, SipxSubscription> g_subs;
// Handles are never reused, so a stale handle cannot reach a newer object.
unsigned g_next_line = 1;
unsigned g_next_call = 1;
unsigned g_next_sub = 1;

template <typename Map>
typename Map::mapped_type* find_in(Map& map, typename Map::key_type key) {
    auto it = map.find(key);
    return it == map.end() ? nullptr : &it->second;
}

template <typename Map, typename Pred>
std::vector<typename Map::key_type> keys_where(const Map& map, Pred pred) {
    std::vector<typename Map::key_type> keys;
    for (auto& [key, value] : map)
        if (pred(value))
            keys.push_back(key);
    return keys;
}

} // namespace

namespace sipx_state {

SipxInstance* find_instance(SIPX_INST handle) {
    auto* inst = static_cast<SipxInstance*>(handle);
    return g_instances.count(inst) ? inst : nullptr;
}
std::vector<SipxInstance*> all_instances() { return {g_instances.begin(), g_instances.end()}; }
void add_instance(SipxInstance* inst) { g_instances.insert(inst); }
void remove_instance(SipxInstance* inst) { g_instances.erase(inst); }

SIPX_LINE add_line(SipxLine line) {
    SIPX_LINE handle = g_next_line++;
    g_lines.emplace(handle, std::move(line));
    return handle;
}
SipxLine* find_line(SIPX_LINE handle) { return find_in(g_lines, handle); }
void remove_line(SIPX_LINE handle) { g_lines.erase(handle); }
SIPX_LINE line_of(const LinphoneAccount* account) {
    for (auto& [handle, line] : g_lines)
        if (account && line.account == account)
            return handle;
    return 0;
}

SIPX_CALL add_call(SipxCall call) {
    SIPX_CALL handle = g_next_call++;
    g_calls.emplace(handle, std::move(call));
    return handle;
}
SipxCall* find_call(SIPX_CALL handle) { return find_in(g_calls, handle); }
void remove_call(SIPX_CALL handle) { g_calls.erase(handle); }
SIPX_CALL call_of(const LinphoneCall* call) {
    for (auto& [handle, record] : g_calls)
        if (call && record.call == call)
            return handle;
    return 0;
}

SIPX_SUB add_subscription(SipxSubscription sub) {
    SIPX_SUB handle = g_next_sub++;
    g_subs.emplace(handle, std::move(sub));
    return handle;
}
SipxSubscription* find_subscription(SIPX_SUB handle) { return find_in(g_subs, handle); }
void remove_subscription(SIPX_SUB handle) { g_subs.erase(handle); }
SIPX_SUB subscription_of(const LinphoneEvent* event) {
    for (auto& [handle, sub] : g_subs)
        if (event && sub.event == event)
            return handle;
    return 0;
}

std::vector<SIPX_LINE> lines_of(const SipxInstance* inst) {
    return keys_where(g_lines, [inst](const SipxLine& l) { return l.inst == inst; });
}
std::vector<SIPX_CALL> calls_of(const SipxInstance* inst) {
    return keys_where(g_calls, [inst](const SipxCall& c) { return c.inst == inst; });
}
std::vector<SIPX_SUB> subscriptions_of(const SipxInstance* inst) {
    return keys_where(g_subs, [inst](const SipxSubscription& s) { return s.inst == inst; });
}

} // namespace sipx_state

void sipx_emit(SipxInstance* inst, SIPX_EVENT_CATEGORY category, void* info) {
    if (!inst || !inst->callback)
        return;
    try {
        inst->callback(category, info, inst->user_data);
    } catch (const std::exception& e) {
        sipx_log(std::string("event callback threw: ") + e.what());
    } catch (...) {
        sipx_log("event callback threw an unknown exception");
    }
}

void sipx_log(const std::string& text) { log_file::write_line("SIPX - " + text); }

SIPX_RESULT sipx_refuse(const char* function, const std::string& why, SIPX_RESULT result) {
    sipx_log(std::string(function) + ": " + why);
    return result;
}

std::string sipx_uri(const std::string& address) {
    if (address.rfind("sip:", 0) == 0 || address.rfind("sips:", 0) == 0 ||
        address.find('<') != std::string::npos)
        return address;
    return "sip:" + address;
}

SIPX_RESULT sipx_on_engine(const std::function<SIPX_RESULT()>& body) {
    auto& engine = EngineThread::get();
    engine.hurry();
    return engine.call([&] { return body(); });
}

SIPX_RESULT sipx_with_instance(const char* function, SIPX_INST handle,
                               const std::function<SIPX_RESULT(SipxInstance*)>& body) {
    return sipx_on_engine([&] {
        SipxInstance* inst = sipx_state::find_instance(handle);
        return inst ? body(inst) : sipx_refuse(function, "unknown instance");
    });
}

SIPX_RESULT sipx_with_line(const char* function, SIPX_LINE handle,
                           const std::function<SIPX_RESULT(SipxLine*)>& body) {
    return sipx_on_engine([&] {
        SipxLine* line = sipx_state::find_line(handle);
        return line ? body(line) : sipx_refuse(function, "unknown line " + std::to_string(handle));
    });
}

SIPX_RESULT sipx_with_call(const char* function, SIPX_CALL handle,
                           const std::function<SIPX_RESULT(SipxCall*)>& body) {
    return sipx_on_engine([&] {
        SipxCall* call = sipx_state::find_call(handle);
        return call ? body(call) : sipx_refuse(function, "unknown call " + std::to_string(handle));
    });
}

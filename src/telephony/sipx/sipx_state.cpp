#include "telephony/sipx/sipx_state.h"

#include <exception>
#include <set>

#include "log/log_file.h"
#include "telephony/sipx/engine_thread.h"

namespace {

// Records by handle. Handles are never reused, so a stale handle cannot reach a newer
// object.
template <typename Record> class HandleTable {
public:
    unsigned add(Record record)
    {
        unsigned handle = m_next++;
        m_records.emplace(handle, std::move(record));
        return handle;
    }
    Record* find(unsigned handle)
    {
        auto it = m_records.find(handle);
        return it == m_records.end() ? nullptr : &it->second;
    }
    void remove(unsigned handle) { m_records.erase(handle); }

    // The handle of the record whose core object is this one, or 0.
    template <typename Object> unsigned handle_of(Object* Record::*member, const Object* object) const
    {
        for (auto& [handle, record] : m_records)
            if (object && record.*member == object)
                return handle;
        return 0;
    }
    std::vector<unsigned> handles_of(const SipxInstance* inst) const
    {
        std::vector<unsigned> handles;
        for (auto& [handle, record] : m_records)
            if (record.inst == inst)
                handles.push_back(handle);
        return handles;
    }

private:
    std::map<unsigned, Record> m_records;
    unsigned m_next = 1;
};

std::set<SipxInstance*> g_instances;
HandleTable<SipxLine> g_lines;
HandleTable<SipxCall> g_calls;
HandleTable<SipxSubscription> g_subs;

} // namespace

namespace sipx_state {

SipxInstance* find_instance(SIPX_INST handle)
{
    auto* inst = static_cast<SipxInstance*>(handle);
    return g_instances.count(inst) ? inst : nullptr;
}
std::vector<SipxInstance*> all_instances()
{
    return {g_instances.begin(), g_instances.end()};
}
void add_instance(SipxInstance* inst)
{
    g_instances.insert(inst);
}
void remove_instance(SipxInstance* inst)
{
    g_instances.erase(inst);
}

SIPX_LINE add_line(SipxLine line)
{
    return g_lines.add(std::move(line));
}
SipxLine* find_line(SIPX_LINE handle)
{
    return g_lines.find(handle);
}
void remove_line(SIPX_LINE handle)
{
    g_lines.remove(handle);
}
SIPX_LINE line_of(const LinphoneAccount* account)
{
    return g_lines.handle_of(&SipxLine::account, account);
}
std::vector<SIPX_LINE> lines_of(const SipxInstance* inst)
{
    return g_lines.handles_of(inst);
}

SIPX_CALL add_call(SipxCall call)
{
    return g_calls.add(std::move(call));
}
SipxCall* find_call(SIPX_CALL handle)
{
    return g_calls.find(handle);
}
void remove_call(SIPX_CALL handle)
{
    g_calls.remove(handle);
}
SIPX_CALL call_of(const LinphoneCall* call)
{
    return g_calls.handle_of(&SipxCall::call, call);
}
std::vector<SIPX_CALL> calls_of(const SipxInstance* inst)
{
    return g_calls.handles_of(inst);
}

SIPX_SUB add_subscription(SipxSubscription sub)
{
    return g_subs.add(std::move(sub));
}
SipxSubscription* find_subscription(SIPX_SUB handle)
{
    return g_subs.find(handle);
}
void remove_subscription(SIPX_SUB handle)
{
    g_subs.remove(handle);
}
SIPX_SUB subscription_of(const LinphoneEvent* event)
{
    return g_subs.handle_of(&SipxSubscription::event, event);
}
std::vector<SIPX_SUB> subscriptions_of(const SipxInstance* inst)
{
    return g_subs.handles_of(inst);
}

} // namespace sipx_state

void sipx_emit(SipxInstance* inst, SIPX_EVENT_CATEGORY category, void* info)
{
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

void sipx_log(const std::string& text)
{
    log_file::write_line("SIPX - " + text);
}

SIPX_RESULT sipx_refuse(const char* function, const std::string& why, SIPX_RESULT result)
{
    sipx_log(std::string(function) + ": " + why);
    return result;
}

std::string sipx_uri(const std::string& address)
{
    if (address.rfind("sip:", 0) == 0 || address.rfind("sips:", 0) == 0 ||
        address.find('<') != std::string::npos)
        return address;
    return "sip:" + address;
}

bool sipx_address_fits(const std::string& text, std::string& problem)
{
    if (text.size() <= kMaxAddressText)
        return true;
    problem = "the address is longer than " + std::to_string(kMaxAddressText) + " characters";
    return false;
}

bool sipx_address_fits(const LinphoneAddress* address, std::string& problem)
{
    char* text = linphone_address_as_string_uri_only(address);
    std::string written = text ? text : "";
    bctbx_free(text);
    return sipx_address_fits(written, problem);
}

SIPX_RESULT sipx_on_engine(const std::function<SIPX_RESULT()>& body, SipxWork work)
{
    auto& engine = EngineThread::get();
    if (work == SipxWork::Request)
        engine.hurry();
    try {
        return engine.call([&] { return body(); });
    } catch (...) {
        return SIPX_RESULT_FAILURE; // the engine logged it
    }
}

SIPX_RESULT sipx_with_instance(const char* function, SIPX_INST handle,
    const std::function<SIPX_RESULT(SipxInstance*)>& body, SipxWork work)
{
    return sipx_on_engine(
        [&] {
            SipxInstance* inst = sipx_state::find_instance(handle);
            return inst ? body(inst) : sipx_refuse(function, "unknown instance");
        },
        work);
}

SIPX_RESULT sipx_with_line(
    const char* function, SIPX_LINE handle, const std::function<SIPX_RESULT(SipxLine*)>& body, SipxWork work)
{
    return sipx_on_engine(
        [&] {
            SipxLine* line = sipx_state::find_line(handle);
            return line ? body(line) : sipx_refuse(function, "unknown line " + std::to_string(handle));
        },
        work);
}

SIPX_RESULT sipx_with_call(
    const char* function, SIPX_CALL handle, const std::function<SIPX_RESULT(SipxCall*)>& body, SipxWork work)
{
    return sipx_on_engine(
        [&] {
            SipxCall* call = sipx_state::find_call(handle);
            return call ? body(call) : sipx_refuse(function, "unknown call " + std::to_string(handle));
        },
        work);
}

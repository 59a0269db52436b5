#pragma once
// Inner state of the sipx layer: the instances and the handle tables. Everything here
// is touched only on the engine thread, so it needs no lock.
#include <chrono>
#include <functional>
#include <linphone/core.h>
#include <map>
#include <mediastreamer2/mediastream.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "telephony/sipx/local_playback.h"
#include "telephony/sipx/sip_options_probe.h"
#include "telephony/sipx/sipx.h"
#include "telephony/sipx/stun_probe.h"

struct SipxInstance;

struct SipxLine {
    SipxInstance* inst = nullptr;
    LinphoneAccount* account = nullptr; // owned reference
    std::string identity; // "sip:user@domain"
    LinphoneAuthInfo* auth = nullptr; // owned reference, also added to the core
    SIPX_LINESTATE_EVENT last_event = LINESTATE_UNKNOWN;
    std::chrono::steady_clock::time_point registering_since{};
    bool wait_reported = false; // the response-wait time-out was reported for this attempt
};

struct SipxCall {
    SipxInstance* inst = nullptr;
    SIPX_LINE line = 0;
    LinphoneCall* call = nullptr; // owned reference; null until connected or offered
    SIPX_CALLSTATE_EVENT last_event = CALLSTATE_UNKNOWN;
    std::unique_ptr<LocalPlayback> ring; // a file played locally for this call
    bool remote_file = false; // a file is played to the far end
    bool ended = false; // the SIP dialog is over
    std::string remote; // the far end's identity as last known
};

struct SipxSubscription {
    SipxInstance* inst = nullptr;
    LinphoneEvent* event = nullptr; // owned reference
};

// A SIP OPTIONS keep-alive (sipxConfigKeepAliveAdd).
struct SipxKeepAlive {
    std::string host;
    int port = 0;
    int period = 0; // seconds between requests while answered
    std::unique_ptr<SipOptionsProbe> probe; // the request on its way
    std::chrono::steady_clock::time_point next{};
    std::optional<bool> reported; // the outcome last reported: answered or not
    int failures = 0; // unanswered requests in a row
};

struct SipxInstance {
    LinphoneCore* core = nullptr;
    int tick_id = 0;
    std::string folder_name; // per-instance subfolder of the data and config folders

    SIPX_EVENT_CALLBACK_PROC callback = nullptr;
    void* user_data = nullptr;

    std::string bind_address; // "" for every interface
    bool file_mode = false;
    int register_expiration = 3600;
    int register_wait_seconds = 0; // 0: wait as long as the SIP timers do
    std::string outbound_proxy;

    // STUN.
    std::string stun_server;
    int stun_port = 0;
    int stun_keepalive = 0;
    std::unique_ptr<StunProbe> stun;
    std::chrono::steady_clock::time_point stun_next{};
    std::optional<bool> stun_reported;
    std::string mapped_ip;
    int mapped_port = 0;

    std::vector<std::unique_ptr<SipxKeepAlive>> keepalives;

    // The stack's SIP sockets, looked up again now and then (the stack may reopen them).
    std::vector<int> sip_sockets;
    std::chrono::steady_clock::time_point sip_sockets_checked{};

    // Requests of removed keep-alives, left to finish on their own threads.
    std::vector<std::unique_ptr<SipOptionsProbe>> retired_probes;

    // Device names handed out by the device functions (kept alive for the caller).
    std::vector<std::string> input_devices;
    std::vector<std::string> output_devices;
    std::string ringer_device; // "" for the core's ring device
};

namespace sipx_state {

// Live instances; a handle not in here is refused.
SipxInstance* find_instance(SIPX_INST handle);
std::vector<SipxInstance*> all_instances();
void add_instance(SipxInstance* inst);
void remove_instance(SipxInstance* inst);

SIPX_LINE add_line(SipxLine line);
SipxLine* find_line(SIPX_LINE handle);
void remove_line(SIPX_LINE handle);
// The line whose account this is, or 0.
SIPX_LINE line_of(const LinphoneAccount* account);

SIPX_CALL add_call(SipxCall call);
SipxCall* find_call(SIPX_CALL handle);
void remove_call(SIPX_CALL handle);
// The handle of a core call, or 0.
SIPX_CALL call_of(const LinphoneCall* call);

SIPX_SUB add_subscription(SipxSubscription sub);
SipxSubscription* find_subscription(SIPX_SUB handle);
void remove_subscription(SIPX_SUB handle);
SIPX_SUB subscription_of(const LinphoneEvent* event);

// Every handle of one instance, for un-initialising it.
std::vector<SIPX_LINE> lines_of(const SipxInstance* inst);
std::vector<SIPX_CALL> calls_of(const SipxInstance* inst);
std::vector<SIPX_SUB> subscriptions_of(const SipxInstance* inst);

} // namespace sipx_state

// Hands an event to the instance's callback (engine thread). An exception thrown by the
// callback is logged and stopped here, so it never unwinds through the SIP core.
void sipx_emit(SipxInstance* inst, SIPX_EVENT_CATEGORY category, void* info);

// One line in kalvo.log, prefixed "SIPX - ".
void sipx_log(const std::string& text);

// Logs why a sipx function refused its arguments and returns the result to give.
SIPX_RESULT sipx_refuse(
    const char* function, const std::string& why, SIPX_RESULT result = SIPX_RESULT_INVALID_ARGS);

// "user@domain" → "sip:user@domain"; texts that already carry a scheme or angle
// brackets are kept.
std::string sipx_uri(const std::string& address);

// Longest address text (as the stack writes it) a line, call or subscription may use.
// The stack formats addresses through a fixed 1024-byte buffer and reads the cut text
// back: a longer address loses its user part, and the stack then fails on the missing
// user while answering a digest challenge. Headers add parameters, hence the margin.
inline constexpr size_t kMaxAddressText = 512;
// Whether the stack can carry an address; when not, `problem` says why. The text is
// checked before it is parsed (the stack's parser takes minutes over a huge one), the
// address as the stack writes it (escapes make it longer).
bool sipx_address_fits(const std::string& text, std::string& problem);
bool sipx_address_fits(const LinphoneAddress* address, std::string& problem);

// What a sipx function does: a request keeps the engine iterating quickly for the answer
// that follows; a query (levels, names, devices) only reads.
enum class SipxWork { Request, Query };

// Runs a sipx function's body on the engine thread (inline when already there).
SIPX_RESULT sipx_on_engine(const std::function<SIPX_RESULT()>& body, SipxWork work = SipxWork::Request);

// Run a sipx function's body on the engine thread with the live object a handle names,
// or log and refuse an unknown handle.
SIPX_RESULT sipx_with_instance(const char* function, SIPX_INST handle,
    const std::function<SIPX_RESULT(SipxInstance*)>& body, SipxWork work = SipxWork::Request);
SIPX_RESULT sipx_with_line(const char* function, SIPX_LINE handle,
    const std::function<SIPX_RESULT(SipxLine*)>& body, SipxWork work = SipxWork::Request);
SIPX_RESULT sipx_with_call(const char* function, SIPX_CALL handle,
    const std::function<SIPX_RESULT(SipxCall*)>& body, SipxWork work = SipxWork::Request);

#pragma once
#include <map>
#include <mutex>
#include <string>

// Publishes each account's voice-mail summary to the registrar's presence
// notifier (SIP PUBLISH over UDP, Event: message-summary), which NOTIFYs the
// account's subscribers. Later publications for an account refresh the same
// entry (SIP-If-Match with the entity tag of the last answer).
class MwiPublisher {
public:
    MwiPublisher(std::string address, int sip_port, std::string domain);

    // The summary body the subscribers receive.
    static std::string summary_body(const std::string& voicemail_uri, int new_count, int old_count);

    // Sends the summary and waits for the final answer (at most ~2 s).
    // Returns false and fills `error` when there is no 2xx.
    bool publish(const std::string& user, int new_count, int old_count, std::string* error);

private:
    bool transact(const std::string& user, const std::string& body, const std::string& etag, int& status,
        std::string& new_etag, std::string* error);

    std::string m_address;
    int m_sip_port;
    std::string m_domain;
    std::mutex m_mutex; // one transaction at a time
    std::map<std::string, std::string> m_etags;
    unsigned m_sequence = 0;
};

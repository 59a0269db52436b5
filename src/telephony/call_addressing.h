#pragma once
#include <optional>
#include <string>

// Texts around a call: the address dialled, the caller's user name, the DTMF tone.
namespace call_addressing {

// A target containing "@" is dialled as it is; otherwise "@" and the SIP domain are appended.
std::string dial_address(const std::string& target, const std::string& sip_domain);

// The user part of a remote identity: the text between the first "sip:" and the first
// "@" when both exist and the "@" lies more than four characters after the "sip:";
// otherwise the whole identity.
std::string remote_user(const std::string& identity);

// Host and port of a SIP server text ("host", "host:port", "sip:host:port;transport=udp"):
// the port 5060 when none is given or it is not a number in 1-65535.
struct ServerAddress {
    std::string host;
    int port = 5060;
};
ServerAddress server_address(const std::string& server);

// The tone identifier of a DTMF key: its character code ('0'-'9' 48-57, '*' 42, '#' 35).
// Nothing for any other character.
std::optional<int> dtmf_tone(char key);

} // namespace call_addressing

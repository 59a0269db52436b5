#pragma once
#include <optional>
#include <string>
#include <vector>

// Small clients the service tests talk to the local service with.
namespace service_client {

struct HttpReply {
    bool transferred = false; // the transfer completed (any HTTP status)
    long status = 0;
    std::string body;
    std::string error;
};

// GET with libcurl. With `ca_file`, TLS peers are verified against that CA only.
HttpReply http_get(const std::string& url, const std::string& ca_file = {});

// Upper-case hexadecimal MD5 of the text, as the program sends passwords.
std::string md5_upper(const std::string& text);

// Runs a program with the arguments, its output into `log_file`; ends it after
// `timeout_ms`. Returns its exit status, or -1 when it had to be ended.
int run_program(const std::vector<std::string>& argv, const std::string& log_file, int timeout_ms);

// A STUN binding request from `local_address` (any port) to address:port. Returns the
// mapped "address:port" of the XOR-MAPPED-ADDRESS in the answer, and the port the
// request was sent from in `local_port`.
std::optional<std::string> stun_binding(
    const std::string& local_address, const std::string& address, int port, int* local_port);

// Sends RTP packets from local_address:local_port to address:port for up to
// `timeout_ms` and returns how many came back unchanged.
int rtp_echoed(const std::string& local_address, int local_port, const std::string& address, int port,
    int packets, int timeout_ms);

} // namespace service_client

#pragma once
#include <chrono>
#include <string>
#include <vector>

// Which local IPv4 interface reaches the voice service. The call manager runs the probe
// once before the SIP stack starts and binds to the address it returns.

// The dotted addresses of the machine's IPv4 interfaces in the kernel's order, at most
// 20 (loopback and interfaces that are down included). A failure to read the list is
// logged and gives an empty list.
std::vector<std::string> list_ipv4_interfaces();

// Sends the connection check to `probe_address` bound to each interface and returns the
// first interface in list order whose reply is exactly "OK", or "0.0.0.0" when none is.
// The interfaces are probed at the same time, so dead interfaces cost one time-out in
// all; the log lines still come out in list order, as if probed one after the other.
std::string probe_network(const std::vector<std::string>& interfaces, const std::string& probe_address);

// The same with a time-out per request other than the usual 5 seconds.
std::string probe_network(const std::vector<std::string>& interfaces, const std::string& probe_address,
    std::chrono::milliseconds timeout);

// The machine's interfaces against the deployment's connection-check address.
std::string probe_network();

// The result when no interface reaches the service.
inline constexpr const char* kNoInterface = "0.0.0.0";

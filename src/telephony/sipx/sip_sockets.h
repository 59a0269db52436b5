#pragma once
#include <vector>

// The process's datagram sockets bound to a local port: those the SIP stack reads, so
// that the engine can sleep until one of them has input.
std::vector<int> datagram_sockets_on_port(int port);

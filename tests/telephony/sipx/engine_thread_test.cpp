#include <arpa/inet.h>
#include <atomic>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "log/log_file.h"
#include "support/test_paths.h"
#include "telephony/sipx/engine_thread.h"
#include "telephony/sipx/sip_sockets.h"
#include "telephony/sipx/sipx_state.h"

namespace {

TEST(EngineThread, AThrowingTaskFailsItsCallerIsLoggedAndTheEngineGoesOn)
{
    test_support::TempDir folder;
    log_file::set_folder(folder.path());
    EngineThread engine;

    EXPECT_THROW(engine.call([]() -> int { throw std::runtime_error("no such call"); }), std::runtime_error);
    engine.post([] { throw std::logic_error("posted and lost"); });
    EXPECT_EQ(engine.call([] { return 7; }), 7);

    std::string log = test_support::read_file(log_file::file_in(folder.path()));
    EXPECT_NE(log.find("SIPX - engine task failed: no such call"), std::string::npos) << log;
    EXPECT_NE(log.find("SIPX - engine task failed: posted and lost"), std::string::npos) << log;

    // Through the sipx entry points the caller gets a failure result.
    EXPECT_EQ(sipx_on_engine([]() -> SIPX_RESULT { throw std::runtime_error("stack refused"); }),
        SIPX_RESULT_FAILURE);
    EXPECT_EQ(sipx_on_engine([] { return SIPX_RESULT_SUCCESS; }), SIPX_RESULT_SUCCESS);
}

// Between calls the engine sleeps as long as its ticks allow; input on a watched socket
// ticks it at once, and a socket left unread does not make it spin.
TEST(EngineThread, InputOnAWatchedSocketTicksAtOnceAndAnUnreadOneDoesNotSpin)
{
    int sockets[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_DGRAM, 0, sockets), 0);
    std::atomic<int> ticks{0};
    std::atomic<bool> drain{true};
    EngineThread engine;
    engine.add_tick([&]() -> TickNeeds {
        char byte;
        if (drain)
            while (::recv(sockets[0], &byte, 1, MSG_DONTWAIT) == 1) { }
        ++ticks;
        return {std::chrono::hours(1), {sockets[0]}};
    });
    auto wait_for_ticks = [&](int count) {
        for (int i = 0; i < 5000 && ticks < count; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return ticks.load();
    };
    // Ticks never exceed the watched input (an hour's period): each datagram brings one.
    ASSERT_GE(wait_for_ticks(1), 1);
    int before = ticks;
    ASSERT_EQ(::send(sockets[1], "x", 1, 0), 1);
    EXPECT_GE(wait_for_ticks(before + 1), before + 1);

    drain = false;
    before = ticks;
    ASSERT_EQ(::send(sockets[1], "y", 1, 0), 1);
    wait_for_ticks(before + 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    // The unread datagram ticks the engine at the idle period at most (15 in 300 ms), not
    // in a busy loop (thousands).
    EXPECT_LT(ticks.load() - before, 60);
    ::close(sockets[0]);
    ::close(sockets[1]);
}

TEST(SipSockets, OnlyTheDatagramSocketsOnThePortAreFound)
{
    int udp = ::socket(AF_INET, SOCK_DGRAM, 0);
    int tcp = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(udp, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    socklen_t size = sizeof address;
    ASSERT_EQ(::getsockname(udp, reinterpret_cast<sockaddr*>(&address), &size), 0);
    ASSERT_EQ(::bind(tcp, reinterpret_cast<sockaddr*>(&address), sizeof address), 0); // same number, TCP
    int port = ntohs(address.sin_port);

    EXPECT_EQ(datagram_sockets_on_port(port), std::vector<int>{udp});
    EXPECT_TRUE(datagram_sockets_on_port(port == 65535 ? 1 : port + 1).empty());
    EXPECT_TRUE(datagram_sockets_on_port(0).empty());
    ::close(udp);
    ::close(tcp);
}

} // namespace

// Side by side against one local service instance (Kamailio + echo responder on
// 127.0.0.76): time from login to registered and from placing a call to "echotest" to
// connected, for Kalvo's SIP layer and for baresip. Prints medians and the ratios.
//
//   telephony_latency [runs]      (default 7; needs service/servicectl and baresip)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "support/local_service.h"
#include "telephony/sipx/sipx.h"

namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

constexpr const char* kService = "127.0.0.76";
constexpr const char* kKalvoAddress = "127.0.0.78";
constexpr const char* kBaresipAddress = "127.0.0.77";
const auto kWait = std::chrono::seconds(10);

std::string g_work;

void write_tone(const std::string& path)
{
    std::ofstream out(path, std::ios::binary);
    auto put32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto put16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    const uint32_t samples = 8000 * 10;
    out.write("RIFF", 4), put32(36 + samples * 2), out.write("WAVEfmt ", 8), put32(16), put16(1), put16(1);
    put32(8000), put32(16000), put16(2), put16(16), out.write("data", 4), put32(samples * 2);
    for (uint32_t i = 0; i < samples; ++i)
        put16(static_cast<uint16_t>(static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440 * i / 8000.0))));
}

double median(std::vector<double> values)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// ---- Kalvo -------------------------------------------------------------------------

struct Waiter {
    std::mutex mutex;
    std::condition_variable changed;
    bool registered = false;
    bool connected = false;
    bool destroyed = false;

    static bool callback(SIPX_EVENT_CATEGORY category, void* info, void* user)
    {
        auto* self = static_cast<Waiter*>(user);
        std::lock_guard lock(self->mutex);
        if (category == EVENT_CATEGORY_LINESTATE &&
            static_cast<SIPX_LINESTATE_INFO*>(info)->event == LINESTATE_REGISTERED)
            self->registered = true;
        if (category == EVENT_CATEGORY_CALLSTATE) {
            auto event = static_cast<SIPX_CALLSTATE_INFO*>(info)->event;
            self->connected = self->connected || event == CALLSTATE_CONNECTED;
            self->destroyed = self->destroyed || event == CALLSTATE_DESTROYED;
        }
        self->changed.notify_all();
        return true;
    }

    bool wait(bool Waiter::*flag)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, kWait, [&] { return this->*flag; });
    }
    void reset()
    {
        std::lock_guard lock(mutex);
        registered = connected = destroyed = false;
    }
};

bool kalvo_runs(int runs, std::vector<double>& login_ms, std::vector<double>& call_ms)
{
    ::setenv(SIPX_ENV_PLAY_FILE, (g_work + "/tone.wav").c_str(), 1);
    ::setenv(SIPX_ENV_RECORD_FILE, (g_work + "/kalvo-echo.wav").c_str(), 1);
    SIPX_INST inst = nullptr;
    if (sipxInitialize(&inst, SIPX_PORT_AUTO, SIPX_PORT_DISABLE, SIPX_PORT_DISABLE, 9000, 32, "",
            kKalvoAddress, false, nullptr, nullptr, nullptr) != SIPX_RESULT_SUCCESS)
        return false;
    Waiter waiter;
    sipxConfigSetAudioCodecByName(inst, "SPEEX");
    sipxConfigEnableDnsSrv(false);
    sipxEventListenerAdd(inst, &Waiter::callback, &waiter);
    SIPX_LINE line = 0;
    bool ok = true;
    for (int i = 0; i < runs && ok; ++i) {
        waiter.reset();
        auto start = Clock::now();
        sipxConfigSetRegisterExpiration(inst, 1000);
        sipxConfigSetOutboundProxy(inst, (std::string(kService) + ":5060").c_str());
        if (line)
            sipxLineRemove(line);
        sipxLineAdd(inst, "alice@kalvo.test", &line, 0);
        sipxLineAddCredential(line, "alice", "wonderland_ndwo", "kalvo.test");
        sipxLineRegister(line, true);
        ok = waiter.wait(&Waiter::registered);
        login_ms.push_back(Ms(Clock::now() - start).count());

        SIPX_CALL call = 0;
        start = Clock::now();
        sipxCallCreate(inst, line, &call);
        sipxCallConnect(call, "echotest@kalvo.test", 0, nullptr, nullptr, true, nullptr, nullptr);
        ok = ok && waiter.wait(&Waiter::connected);
        call_ms.push_back(Ms(Clock::now() - start).count());
        sipxCallDestroy(&call);
        waiter.wait(&Waiter::destroyed);
    }
    sipxUnInitialize(inst, true);
    return ok;
}

// ---- baresip -----------------------------------------------------------------------

// baresip on a pseudo-terminal (its events are timely there); lines are read as they come.
class Baresip {
public:
    explicit Baresip(const std::string& config_dir)
    {
        m_pid = forkpty(&m_fd, nullptr, nullptr, nullptr);
        if (m_pid == 0) {
            execlp("baresip", "baresip", "-f", config_dir.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~Baresip()
    {
        if (m_pid > 0) {
            send("/quit\n");
            for (int i = 0; i < 100 && waitpid(m_pid, nullptr, WNOHANG) == 0; ++i)
                usleep(20000);
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_fd >= 0)
            close(m_fd);
    }
    bool started() const { return m_pid > 0; }
    void send(const std::string& text) { (void)!write(m_fd, text.data(), text.size()); }

    // The output read so far.
    const std::string& output() const { return m_output; }

    // Reads until the output holds text; false on time-out or end.
    bool wait_for(const std::string& text)
    {
        auto end = Clock::now() + kWait;
        while (Clock::now() < end) {
            if (m_output.find(text, m_seen) != std::string::npos) {
                m_seen = m_output.find(text, m_seen) + text.size();
                return true;
            }
            fd_set set;
            FD_ZERO(&set);
            FD_SET(m_fd, &set);
            timeval tv{0, 20000};
            if (select(m_fd + 1, &set, nullptr, nullptr, &tv) > 0) {
                char buffer[4096];
                ssize_t got = read(m_fd, buffer, sizeof buffer);
                if (got <= 0)
                    return false;
                m_output.append(buffer, static_cast<size_t>(got));
            }
        }
        return false;
    }

private:
    pid_t m_pid = -1;
    int m_fd = -1;
    std::string m_output;
    size_t m_seen = 0;
};

// baresip's own count in "registered successfully! (N ms)", or NAN.
double reported_registration_ms(const std::string& output)
{
    size_t at = output.rfind("registered successfully");
    size_t open = at == std::string::npos ? at : output.find('(', at);
    return open == std::string::npos ? NAN : std::atof(output.c_str() + open + 1);
}

bool baresip_runs(
    int runs, std::vector<double>& login_ms, std::vector<double>& own_login_ms, std::vector<double>& call_ms)
{
    std::string dir = g_work + "/baresip";
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/config")
        << "sip_listen " << kBaresipAddress << ":5062\n"
        << "net_interface " << kBaresipAddress << "\n"
        << "audio_player aubridge,nil\n"
        << "audio_source aufile," << g_work << "/tone.wav\n"
        << "module_path /usr/lib/baresip/modules\n"
        << "module stdio.so\nmodule g711.so\nmodule aufile.so\nmodule aubridge.so\n"
        << "module account.so\nmodule menu.so\n";
    std::ofstream(dir + "/accounts") << "<sip:bob@kalvo.test>;auth_pass=builder_ilbu;outbound=\"sip:"
                                     << kService << ":5060;lr\";regint=600\n";
    for (int i = 0; i < runs; ++i) {
        auto start = Clock::now();
        Baresip baresip(dir);
        if (!baresip.started() || !baresip.wait_for("registered successfully"))
            return false;
        login_ms.push_back(Ms(Clock::now() - start).count());
        if (baresip.wait_for(" ms)"))
            own_login_ms.push_back(reported_registration_ms(baresip.output()));
        start = Clock::now();
        baresip.send("/dial sip:echotest@kalvo.test\n");
        if (!baresip.wait_for("Call established"))
            return false;
        call_ms.push_back(Ms(Clock::now() - start).count());
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    char work_template[] = "/tmp/kalvo-bench-XXXXXX";
    if (!mkdtemp(work_template))
        return 1;
    g_work = work_template;
    // The layer's folders and PulseAudio's go under a throw-away home.
    ::setenv("HOME", g_work.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (g_work + "/config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (g_work + "/data").c_str(), 1);
    write_tone(g_work + "/tone.wav");

    std::vector<double> kalvo_login, kalvo_call, baresip_login, baresip_own_login, baresip_call;
    bool kalvo_ok = false, baresip_ok = false;
    {
        test_support::LocalService service(kService);
        if (!service.running()) {
            std::fprintf(stderr, "telephony_latency: the local service did not start\n");
            return 1;
        }
        kalvo_ok = kalvo_runs(runs, kalvo_login, kalvo_call);
        baresip_ok = baresip_runs(runs, baresip_login, baresip_own_login, baresip_call);
    }
    std::filesystem::remove_all(g_work);

    std::printf("runs: %d (medians, ms)\n", runs);
    std::printf("%-34s %10s %10s %8s\n", "", "Kalvo", "baresip", "ratio");
    auto row = [](const char* what, double kalvo, double baresip) {
        std::printf("%-34s %10.2f %10.2f %8.2f\n", what, kalvo, baresip, kalvo / baresip);
    };
    row("login -> registered", median(kalvo_login), median(baresip_login));
    row("  against baresip's own count", median(kalvo_login), median(baresip_own_login));
    row("place_call -> connected (echo)", median(kalvo_call), median(baresip_call));
    std::printf("(baresip's login time runs from its process start; its own count from its start of\n"
                " registering, in whole ms)\n");
    if (!kalvo_ok || !baresip_ok)
        std::fprintf(
            stderr, "telephony_latency: %s did not complete every run\n", kalvo_ok ? "baresip" : "Kalvo");
    return kalvo_ok && baresip_ok ? 0 : 1;
}

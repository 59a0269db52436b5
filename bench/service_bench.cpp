// The local service's answer times, as the program meets them: one service instance
// on 127.0.0.58 for the whole run; each request on a new libcurl handle (the program
// makes one handle per request); STUN binding round trips; start and stop of an
// instance on 127.0.0.59.
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <curl/curl.h>
#include <filesystem>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const std::string kAddress = "127.0.0.58";

std::string servicectl(const std::string& arguments)
{
    // Bench programs live in BUILD/bench/; servicectl finds the server in BUILD.
    const auto build = std::filesystem::canonical("/proc/self/exe").parent_path().parent_path();
    return "KALVO_BUILD_DIR=" + build.string() + " " KALVO_SOURCE_DIR "/service/servicectl " + arguments +
        " >/dev/null";
}

class Instance {
public:
    Instance(const std::string& address)
    {
        char pattern[] = "/tmp/kalvo-service-bench-XXXXXX";
        m_folder = ::mkdtemp(pattern);
        m_running = std::system(servicectl("start " + m_folder + " --address " + address).c_str()) == 0;
    }
    ~Instance()
    {
        std::system(servicectl("stop " + m_folder).c_str());
        std::filesystem::remove_all(m_folder);
    }
    bool running() const { return m_running; }
    std::string ca_file() const { return m_folder + "/ca.pem"; }

private:
    std::string m_folder;
    bool m_running = false;
};

Instance& service()
{
    static Instance instance(kAddress);
    return instance;
}

size_t discard(char*, size_t size, size_t count, void*)
{
    return size * count;
}

void get(benchmark::State& state, const std::string& url, bool verify)
{
    if (!service().running()) {
        state.SkipWithError("the service did not start");
        return;
    }
    for (auto _ : state) {
        CURL* curl = curl_easy_init();
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, discard);
        curl_easy_setopt(curl, CURLOPT_TIMEOUT, 10L);
        if (verify)
            curl_easy_setopt(curl, CURLOPT_CAINFO, service().ca_file().c_str());
        if (curl_easy_perform(curl) != CURLE_OK)
            state.SkipWithError("request failed");
        curl_easy_cleanup(curl);
    }
}

void VersionCheckHttps(benchmark::State& state)
{
    get(state,
        "https://" + kAddress + ":8443/live/check_version.php?u=alice&p=0C3D9E8B3C7B8E2B7A8E3E1C1E0D8A1B",
        true);
}
BENCHMARK(VersionCheckHttps)->Unit(benchmark::kMillisecond);

void ConnectionCheckHttp(benchmark::State& state)
{
    get(state, "http://" + kAddress + ":8080/client/check_connection.php", false);
}
BENCHMARK(ConnectionCheckHttp)->Unit(benchmark::kMillisecond);

void CachedMainPageHttps(benchmark::State& state)
{
    get(state,
        "https://" + kAddress +
            ":8443/live/index.php?cache=true&user=alice&pass=DD2E5D8F5B6F4C3B6F8C0A5D5F3E7E1B",
        true);
}
BENCHMARK(CachedMainPageHttps)->Unit(benchmark::kMillisecond);

void StunBinding(benchmark::State& state)
{
    if (!service().running()) {
        state.SkipWithError("the service did not start");
        return;
    }
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(3478);
    inet_pton(AF_INET, kAddress.c_str(), &to.sin_addr);
    const unsigned char request[20] = {
        0, 1, 0, 0, 0x21, 0x12, 0xA4, 0x42, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    char answer[512];
    for (auto _ : state) {
        sendto(fd, request, sizeof request, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
        pollfd wait{fd, POLLIN, 0};
        if (poll(&wait, 1, 1000) != 1 || recv(fd, answer, sizeof answer, 0) < 20)
            state.SkipWithError("no STUN answer");
    }
    close(fd);
}
BENCHMARK(StunBinding)->Unit(benchmark::kMicrosecond);

void StartAndStop(benchmark::State& state)
{
    for (auto _ : state) {
        Instance instance("127.0.0.59");
        if (!instance.running())
            state.SkipWithError("the service did not start");
    }
}
BENCHMARK(StartAndStop)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();

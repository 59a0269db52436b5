// Cost of the page bridge's plain C++ steps: one window.external call decoded and checked,
// and one kalvo: command text parsed (the dispatcher compiles its patterns on every call).
#include "ui/web/command_text.h"
#include "ui/web/external_methods.h"

#include <benchmark/benchmark.h>

namespace {

class NullHost : public ExternalHost {
public:
    void ShowWizard() override {}
    void OpenTab() override {}
    void CloseTab() override {}
    void ShowProfile() override {}
    void ShowHistory() override {}
    void ShowRegister() override {}
    void Logout() override {}
    void SetUsername(const std::string&) override {}
    void SetPassword(const std::string&) override {}
    bool ShowConfirm(const std::string&) override { return true; }
    void SendToTab(const std::string&) override {}
    void SendToMain(const std::string&) override {}
    void SetTab(const std::string&) override {}
    void StartDTMF(const std::string&) override {}
    void EndDTMF(const std::string&) override {}
};

void ExternalCall(benchmark::State& state)
{
    NullHost host;
    const std::string start = "StartDTMF\x01s5";
    for (auto _ : state) {
        auto call = decode_external_call(start);
        benchmark::DoNotOptimize(invoke_external(host, call->name, call->args));
    }
}
BENCHMARK(ExternalCall);

void LoginCommandText(benchmark::State& state)
{
    const std::string text = *command_text::wrap("kalvo://login/?u=alice&p=wonderland&s=false&a=false");
    for (auto _ : state) {
        benchmark::DoNotOptimize(command_text::parse(text));
        benchmark::DoNotOptimize(command_text::login_arguments(text));
    }
}
BENCHMARK(LoginCommandText);

} // namespace

BENCHMARK_MAIN();

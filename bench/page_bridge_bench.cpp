// Cost of the page bridge's plain C++ steps: one window.external call decoded and checked,
// and one kalvo: command text parsed (the dispatcher compiles its patterns on every call).
#include <benchmark/benchmark.h>

#include "support/null_external_host.h"
#include "ui/web/command_text.h"
#include "ui/web/external_methods.h"

namespace {

void ExternalCall(benchmark::State& state)
{
    test_support::NullExternalHost host;
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

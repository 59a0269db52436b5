// Cost of one settings load + save round trip and of one log-file line.
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "log/log_file.h"
#include "settings/app_settings.h"
#include "settings/registry.h"

namespace {

std::string make_home()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "kalvo-bench-XXXXXX").string();
    std::string home = ::mkdtemp(pattern.data());
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
    return home;
}

void SettingsLoadSave(benchmark::State& state)
{
    std::string home = make_home();
    AppSettings first;
    first.load(); // creates every value once
    for (auto _ : state) {
        AppSettings settings;
        settings.load();
        settings.window_x += 1;
        settings.save();
    }
    std::filesystem::remove_all(home);
}
BENCHMARK(SettingsLoadSave)->Unit(benchmark::kMillisecond);

void LogFileLine(benchmark::State& state)
{
    std::string home = make_home();
    registry_string(settings_path("install_path")).set(home);
    for (auto _ : state)
        log_file::write_line("LOGIN - Username is alice");
    std::filesystem::remove_all(home);
}
BENCHMARK(LogFileLine)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

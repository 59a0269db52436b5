// registry.ini as it may be found: loading takes defaults for what cannot be read, and
// what is then saved loads back the same.
#include "fuzz_support.h"
#include "settings/app_settings.h"
#include "settings/registry_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz_support::private_home();
    static bool quiet = [] {
        registry_store::set_error_sink([](const std::string&) {});
        return true;
    }();
    (void)quiet;
    fuzz_support::write_file(registry_store::file_path(), fuzz_support::text(data, size));
    AppSettings settings;
    settings.load();
    settings.save();
    AppSettings again;
    again.load();
    // The stored form holds 63 characters of a password, up to the first "|" or zero.
    const std::string& password = settings.password;
    bool storable =
        password.size() <= 63 && password.find_first_of(std::string("|\0", 2)) == std::string::npos;
    fuzz_support::check(again.username == settings.username && (!storable || again.password == password) &&
            again.auto_login == settings.auto_login && again.quality == settings.quality,
        "saved settings read back");
    return 0;
}

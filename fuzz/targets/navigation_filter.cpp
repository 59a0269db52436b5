// Navigations pages ask for, and scripts the program runs in them.
#include "ui/web/navigation_filter.h"

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string text = fuzz_support::text(data, size);
    for (bool permission : {false, true})
        decide_navigation(text, permission);
    bool needs = script_needs_permission(text);
    if (size <= 4096) {
        auto oracle = fuzz_support::regex_search("^window.location.href.*", text);
        fuzz_support::check(!oracle.known || oracle.matched == needs, "script pattern");
    }
    return 0;
}

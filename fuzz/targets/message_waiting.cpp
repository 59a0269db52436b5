// The message-waiting text: the hand-written reader must find the counts the documented
// pattern finds.
#include "telephony/message_waiting.h"

#include <climits>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string text = fuzz_support::text(data, size);
    std::string problem;
    std::optional<int> count = message_waiting::count(text, &problem);
    fuzz_support::check(!count || *count >= 0, "negative count");
    if (size > 2048)
        return 0;
    auto oracle = fuzz_support::regex_match(".*Voice-Message: ([0-9]+)/([0-9]+).*", text, true);
    if (!oracle.known)
        return 0;
    fuzz_support::check(oracle.matched == (count.has_value() || !problem.empty()), "match");
    if (count) {
        // Counts that fit: compare the sum the groups give.
        long long sum = std::stoll(oracle.groups[0]) + std::stoll(oracle.groups[1]);
        fuzz_support::check(sum == *count, "count");
    }
    return 0;
}

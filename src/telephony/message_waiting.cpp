#include "telephony/message_waiting.h"

#include <climits>
#include <cstring>

namespace message_waiting {

std::string body_text(const char* content, std::size_t length)
{
    if (!content)
        return {};
    // Bounded: a body without a terminating zero is never read past its length.
    return std::string(content, ::strnlen(content, length));
}

namespace {

// A decimal count that fits an int, or nothing.
std::optional<long long> decimal(const std::string& digits)
{
    long long value = 0;
    for (char digit : digits) {
        value = value * 10 + (digit - '0');
        if (value > INT_MAX)
            return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<int> count(const std::string& body, std::string* problem)
{
    // ".*Voice-Message: ([0-9]+)/([0-9]+).*" over the whole text: the greedy start picks the
    // last "Voice-Message: " followed by digits, "/" and digits; each group takes every digit.
    // Scanned by hand, in linear time, so no body makes the reading give up.
    const std::string key = "Voice-Message: ";
    auto digits_end = [&body](size_t from) {
        while (from < body.size() && body[from] >= '0' && body[from] <= '9')
            ++from;
        return from;
    };
    for (size_t at = body.rfind(key); at != std::string::npos;
         at = at ? body.rfind(key, at - 1) : std::string::npos) {
        size_t fresh_begin = at + key.size();
        size_t fresh_end = digits_end(fresh_begin);
        if (fresh_end == fresh_begin || fresh_end >= body.size() || body[fresh_end] != '/')
            continue;
        size_t old_begin = fresh_end + 1;
        size_t old_end = digits_end(old_begin);
        if (old_end == old_begin)
            continue;
        auto fresh = decimal(body.substr(fresh_begin, fresh_end - fresh_begin));
        auto old = decimal(body.substr(old_begin, old_end - old_begin));
        if (!fresh || !old || *fresh + *old > INT_MAX) {
            if (problem)
                *problem = "the message counts are out of range";
            return std::nullopt;
        }
        return static_cast<int>(*fresh + *old);
    }
    return std::nullopt;
}

} // namespace message_waiting

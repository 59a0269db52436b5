#include "telephony/message_waiting.h"

#include <boost/regex.hpp>
#include <climits>
#include <cstring>
#include <exception>

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
    static const boost::regex pattern(
        ".*Voice-Message: ([0-9]+)/([0-9]+).*", boost::regex::perl | boost::regex::mod_s);
    boost::smatch match;
    try {
        if (!boost::regex_match(body, match, pattern))
            return std::nullopt;
    } catch (const std::exception& error) {
        // Boost gives up on texts whose matching would take too long.
        if (problem)
            *problem = std::string("the body could not be matched: ") + error.what();
        return std::nullopt;
    }
    auto fresh = decimal(match[1].str());
    auto old = decimal(match[2].str());
    if (!fresh || !old || *fresh + *old > INT_MAX) {
        if (problem)
            *problem = "the message counts are out of range";
        return std::nullopt;
    }
    return static_cast<int>(*fresh + *old);
}

} // namespace message_waiting

#include "net/version_reply.h"

#include <cctype>
#include <climits>

VersionReply VersionReply::parse(const std::string& body)
{
    VersionReply reply;
    size_t start = 0;
    for (auto& line : reply.lines) {
        if (start > body.size())
            break;
        size_t end = body.find('\n', start);
        line = body.substr(start, end == std::string::npos ? std::string::npos : end - start);
        // Lines end at "\n" or "\r\n" alike.
        if (end != std::string::npos && !line.empty() && line.back() == '\r')
            line.pop_back();
        start = end == std::string::npos ? body.size() + 1 : end + 1;
    }
    return reply;
}

namespace {

// White space of the C locale, whatever locale the program runs in.
bool is_space(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string trim_right(std::string text)
{
    while (!text.empty() && is_space(text.back()))
        text.pop_back();
    return text;
}

std::string trim_left(std::string text)
{
    size_t first = 0;
    while (first < text.size() && is_space(text[first]))
        ++first;
    return text.substr(first);
}

} // namespace

int version_number(const std::string& text)
{
    std::string rest = trim_right(text);
    if (rest.empty())
        return 0;
    char separator = rest.find(',') != std::string::npos ? ',' : '.';
    if (rest.find(separator) == std::string::npos)
        return 0;
    rest = trim_left(rest);

    std::string joined;
    size_t at;
    while ((at = rest.find(separator)) != std::string::npos) {
        joined += rest.substr(0, at);
        rest = trim_left(rest.substr(at + 1));
    }
    joined += rest;

    // atoi of the joined text: optional sign, leading digits; clamped instead of overflowing.
    long long value = 0;
    size_t i = 0;
    bool negative = false;
    if (i < joined.size() && (joined[i] == '+' || joined[i] == '-'))
        negative = joined[i++] == '-';
    for (; i < joined.size() && std::isdigit(static_cast<unsigned char>(joined[i])); ++i) {
        value = value * 10 + (joined[i] - '0');
        if (value > INT_MAX)
            return negative ? INT_MIN : INT_MAX;
    }
    return static_cast<int>(negative ? -value : value);
}

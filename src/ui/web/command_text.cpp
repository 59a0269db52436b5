#include "ui/web/command_text.h"

#include <string_view>
#include <vector>

namespace command_text {
namespace {

// A hand-written matcher for the command patterns, all of the one form
//   .*?KEY(FIRST)LITERAL(.*)SEP(.*)...SEP(.*)"   over the whole text, "." matching line ends,
// where FIRST is either a run of characters other than `stop` (`[^&]+`, `[^/]+`) or `.*`.
// It gives the groups a backtracking matcher gives (lazy prefix: the first KEY that leads to
// a match; greedy groups: each separator at its last possible place) in linear time, so no
// text can make it give up or throw.
struct Pattern {
    std::string_view key;
    char stop = 0; // 0: the first group is `.*` and there is no literal
    std::string_view literal;
    std::vector<std::string_view> separators;
};

std::optional<std::vector<std::string>> match(std::string_view text, const Pattern& pattern)
{
    if (text.empty() || text.back() != '"')
        return std::nullopt;
    const std::string_view body = text.substr(0, text.size() - 1); // before the closing quote

    // The separators' last possible places, right to left; they do not depend on the key's
    // place, which only has to lie before the first of them.
    std::vector<size_t> places(pattern.separators.size());
    size_t limit = body.size();
    for (size_t i = pattern.separators.size(); i-- > 0;) {
        std::string_view separator = pattern.separators[i];
        if (limit < separator.size())
            return std::nullopt;
        size_t at = body.rfind(separator, limit - separator.size());
        if (at == std::string_view::npos)
            return std::nullopt;
        places[i] = at;
        limit = at;
    }

    size_t stop_at = 0; // the first `stop` at or after the current key's end
    for (size_t key = body.find(pattern.key); key != std::string_view::npos;
         key = body.find(pattern.key, key + 1)) {
        size_t first = key + pattern.key.size();
        size_t rest = first; // where the greedy groups begin
        size_t first_end = limit;
        if (pattern.stop) {
            if (stop_at < first)
                stop_at = body.find(pattern.stop, first);
            if (stop_at == std::string_view::npos)
                return std::nullopt; // no later key has a stop after it either
            if (stop_at == first || body.compare(stop_at, pattern.literal.size(), pattern.literal) != 0)
                continue;
            first_end = stop_at;
            rest = stop_at + pattern.literal.size();
        }
        if (rest > limit)
            continue;
        std::vector<std::string> groups;
        if (pattern.stop)
            groups.emplace_back(body.substr(first, first_end - first));
        size_t from = rest;
        for (size_t i = 0; i < places.size(); ++i) {
            groups.emplace_back(body.substr(from, places[i] - from));
            from = places[i] + pattern.separators[i].size();
        }
        groups.emplace_back(body.substr(from));
        return groups;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> wrap(const std::string& url)
{
    std::string text = std::string(kPrefix) + "\"" + url + "\"";
    if (text.size() >= kBufferSize)
        return std::nullopt;
    return text;
}

bool has_url_command(const std::string& text)
{
    static constexpr std::string_view kOpening = "/url \"kalvo:";
    std::size_t start = text.find(kOpening);
    return start != std::string::npos && text.find('"', start + kOpening.size()) != std::string::npos;
}

std::optional<Command> parse(const std::string& text)
{
    auto groups = match(text, {R"(/url "kalvo://)", '/', "/?", {}});
    if (!groups)
        return std::nullopt;
    return Command{(*groups)[0], (*groups)[1]};
}

std::optional<LoginArguments> login_arguments(const std::string& text)
{
    auto groups = match(text, {"u=", '&', "&p=", {"&s=", "&a="}});
    if (!groups)
        return std::nullopt;
    return LoginArguments{(*groups)[0], (*groups)[1], (*groups)[2] == "true", (*groups)[3] == "true"};
}

std::optional<MenuArguments> menu_arguments(const std::string& text)
{
    auto groups = match(text, {"t=", '&', "&x=", {"&y="}});
    if (!groups)
        return std::nullopt;
    return MenuArguments{(*groups)[0], (*groups)[1], (*groups)[2]};
}

std::optional<std::string> text_argument(const std::string& text)
{
    auto groups = match(text, {"s=", 0, "", {}});
    if (!groups)
        return std::nullopt;
    return (*groups)[0];
}

std::optional<std::string> url_argument(const std::string& text)
{
    auto groups = match(text, {"u=", 0, "", {}});
    if (!groups)
        return std::nullopt;
    return (*groups)[0];
}

} // namespace command_text

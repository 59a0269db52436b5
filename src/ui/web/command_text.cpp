#include "ui/web/command_text.h"

#include <boost/regex.hpp>
#include <string_view>

namespace command_text {
namespace {

// Whole-text matches in Perl syntax, where "." also matches line ends (page texts may
// carry them).
bool match(const std::string& text, const char* pattern, boost::smatch& groups)
{
    const boost::regex expression(pattern, boost::regex::perl | boost::regex::mod_s);
    return boost::regex_match(text, groups, expression);
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
    boost::smatch groups;
    if (!match(text, R"re(.*?/url "kalvo://([^/]+)/\?(.*)")re", groups))
        return std::nullopt;
    return Command{groups[1].str(), groups[2].str()};
}

std::optional<LoginArguments> login_arguments(const std::string& text)
{
    boost::smatch groups;
    if (!match(text, R"re(.*?u=([^&]+)&p=(.*)&s=(.*)&a=(.*)")re", groups))
        return std::nullopt;
    return LoginArguments{
        groups[1].str(), groups[2].str(), groups[3].str() == "true", groups[4].str() == "true"};
}

std::optional<MenuArguments> menu_arguments(const std::string& text)
{
    boost::smatch groups;
    if (!match(text, R"re(.*?t=([^&]+)&x=(.*)&y=(.*)")re", groups))
        return std::nullopt;
    return MenuArguments{groups[1].str(), groups[2].str(), groups[3].str()};
}

std::optional<std::string> text_argument(const std::string& text)
{
    boost::smatch groups;
    if (!match(text, R"re(.*?s=(.*)")re", groups))
        return std::nullopt;
    return groups[1].str();
}

std::optional<std::string> url_argument(const std::string& text)
{
    boost::smatch groups;
    if (!match(text, R"re(.*?u=(.*)")re", groups))
        return std::nullopt;
    return groups[1].str();
}

} // namespace command_text

// Command texts as pages, toast links and later starts hand them to the dispatcher: the
// hand-written matchers must give what the documented patterns give.
#include "ui/web/command_text.h"

#include <optional>

#include "fuzz_support.h"

namespace {

using fuzz_support::check;

void compare(
    const char* pattern, const std::string& text, const std::optional<std::vector<std::string>>& groups)
{
    fuzz_support::Oracle oracle = fuzz_support::regex_match(pattern, text, true);
    if (!oracle.known)
        return;
    check(oracle.matched == groups.has_value(), pattern);
    check(!groups || oracle.groups == *groups, pattern);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace command_text;
    std::string text = fuzz_support::text(data, size);
    auto command = parse(text);
    auto login = login_arguments(text);
    auto menu = menu_arguments(text);
    auto said = text_argument(text);
    auto address = url_argument(text);
    if (size > 2048) // the backtracking matcher is too slow to compare with beyond this
        return 0;
    using Groups = std::optional<std::vector<std::string>>;
    compare(R"re(.*?/url "kalvo://([^/]+)/\?(.*)")re", text,
        command ? Groups({command->name, command->query}) : std::nullopt);
    // The flags are compared as the words they were read from.
    fuzz_support::Oracle oracle =
        fuzz_support::regex_match(R"re(.*?u=([^&]+)&p=(.*)&s=(.*)&a=(.*)")re", text, true);
    if (oracle.known) {
        check(oracle.matched == login.has_value(), "login");
        if (login)
            check(oracle.groups[0] == login->user && oracle.groups[1] == login->password &&
                    (oracle.groups[2] == "true") == login->remember &&
                    (oracle.groups[3] == "true") == login->auto_login,
                "login groups");
    }
    compare(R"re(.*?t=([^&]+)&x=(.*)&y=(.*)")re", text,
        menu ? Groups({menu->type, menu->x, menu->y}) : std::nullopt);
    compare(R"re(.*?s=(.*)")re", text, said ? Groups({*said}) : std::nullopt);
    compare(R"re(.*?u=(.*)")re", text, address ? Groups({*address}) : std::nullopt);
    return 0;
}

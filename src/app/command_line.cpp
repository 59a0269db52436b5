#include "app/command_line.h"

#include <string_view>

#include "version.h"

namespace command_line {

std::string build(int argc, const char* const* argv)
{
    std::string text;
    bool quote_next = false;
    for (int i = 0; i < argc; ++i) {
        std::string argument = argv[i] ? argv[i] : "";
        bool quote = quote_next || argument.find(' ') != std::string::npos;
        if (i > 0)
            text += ' ';
        text += quote ? "\"" + argument + "\"" : argument;
        quote_next = argument == "/url";
    }
    return text;
}

bool is_startup_launch(const std::string& text)
{
    return text.ends_with(" /startup");
}

std::optional<std::string> information_request(int argc, const char* const* argv)
{
    if (argc < 2 || !argv[1])
        return std::nullopt;
    const std::string_view first = argv[1];
    if (first == "--version")
        return std::string("Kalvo ") + KALVO_VERSION_TEXT + "\n";
    if (first == "--help")
        return "Usage: kalvo [/url LINK | /startup | --version | --help]\n"
               "\n"
               "  (nothing)    start Kalvo, or bring the running Kalvo forward\n"
               "  /url LINK    carry out a kalvo: link in the running Kalvo (starting it first\n"
               "               when needed), e.g. kalvo /url \"kalvo://call/?echotest\"\n"
               "  /startup     the log-in start: ends at once unless \"Start Kalvo when I log in\"\n"
               "               is ticked, and stays in the tray with \"Minimize Kalvo when I log in\"\n"
               "  --version    print the version and end\n"
               "  --help       print this text and end\n";
    return std::nullopt;
}

} // namespace command_line

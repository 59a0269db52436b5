#include "app/command_line.h"

#include <string_view>

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

} // namespace command_line

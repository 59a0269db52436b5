#include "settings/desktop_entry_file.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace desktop_entry_file {

std::string exec_argument(const std::string& argument)
{
    // "%" starts a field code anywhere, so it is doubled. Launchers that split Exec at
    // blanks (xdg-open without a desktop) need a plain path bare; others go in quotes.
    std::string bare;
    bool needs_quotes = argument.empty();
    for (char c : argument) {
        bare += c;
        if (c == '%')
            bare += '%';
        if (std::strchr(" \t\n\r\"'\\><~|&;$*?#()`", c))
            needs_quotes = true;
    }
    if (!needs_quotes)
        return bare;
    // Two levels: inside the quotes " ` $ \ take a backslash; then the value, as every
    // desktop entry value, writes a backslash as two and control characters as escapes.
    std::string quoted = "\"";
    for (char c : bare) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += "\\\\";
        if (c == '\\')
            quoted += "\\\\";
        else if (c == '\n')
            quoted += "\\n";
        else if (c == '\t')
            quoted += "\\t";
        else if (c == '\r')
            quoted += "\\r";
        else
            quoted += c;
    }
    return quoted + "\"";
}

std::string read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool write_if_different(const std::string& path, const std::string& text)
{
    if (read(path) == text)
        return true;
    std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out)
            return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    std::remove(temporary.c_str());
    return false;
}

} // namespace desktop_entry_file

#include "settings/desktop_entry_file.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace desktop_entry_file {

std::string exec_quote(const std::string& argument)
{
    // Two levels: inside the quotes " ` $ \ take a backslash; then the value, as every
    // desktop entry value, writes a backslash as two and control characters as escapes.
    std::string quoted = "\"";
    for (char c : argument) {
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

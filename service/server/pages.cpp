#include "pages.h"

#include <fstream>
#include <sstream>

Pages::Pages(std::string folder) : m_folder(std::move(folder)) { }

std::string html_escape(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::optional<std::string> Pages::render(
    const std::string& name, const std::map<std::string, std::string>& values) const
{
    std::ifstream in(m_folder + "/" + name + ".html", std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    const std::string page = text.str();

    std::string out;
    size_t at = 0;
    while (true) {
        const auto open = page.find("{{", at);
        const auto close = open == std::string::npos ? open : page.find("}}", open + 2);
        if (close == std::string::npos) {
            out.append(page, at, std::string::npos);
            return out;
        }
        out.append(page, at, open - at);
        const auto value = values.find(page.substr(open + 2, close - open - 2));
        if (value != values.end())
            out += html_escape(value->second);
        at = close + 2;
    }
}

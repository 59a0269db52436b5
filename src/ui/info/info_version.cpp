#include "ui/info/info_version.h"

#include <cctype>
#include <climits>

#include "log/log_dlg.h"
#include "settings/app_settings.h"

namespace info_version {

int parse(const std::string& text)
{
    std::size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    // A service that sends a number too long for an int gets the nearest int, not
    // undefined behaviour.
    long long value = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    return value < INT_MIN ? INT_MIN : int(value);
}

bool take(const std::string& offered_text, bool show_requested)
{
    LogDlg::instance().append("Info dialog version is: " + offered_text);
    const int offered = parse(offered_text);
    AppSettings settings;
    settings.load();
    if (settings.info_version >= offered && !show_requested)
        return false;
    settings.info_version = offered;
    settings.save();
    return true;
}

} // namespace info_version

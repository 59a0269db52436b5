#include "ui/main/presentation_text.h"

#include <algorithm>
#include <cstdio>

#include "telephony/sipx/sipx.h"

namespace presentation {

std::string clock_text(int hour, int minute)
{
    int shown = hour == 0 ? 12 : hour > 12 ? hour - 12 : hour;
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d%s", shown, minute, hour < 12 ? "AM" : "PM");
    return text;
}

unsigned clock_delay_ms(int second, int millisecond)
{
    // A little past the change, so the timer never fires a moment too soon.
    constexpr int kPastTheMinuteMs = 20;
    int left = (60 - std::clamp(second, 0, 59)) * 1000 - std::clamp(millisecond, 0, 999) + kPastTheMinuteMs;
    return std::min(unsigned(left), kClockRecheckMs);
}

std::string voicemail_text(int count)
{
    return std::to_string(count) + " messages";
}

std::string script_string(const std::string& text)
{
    std::string quoted = "'";
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        switch (c) {
        case '\'':
            quoted += "\\'";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '<':
            quoted += (i + 1 < text.size() && text[i + 1] == '/') ? "<\\" : "<";
            break;
        default:
            quoted += c;
        }
    }
    return quoted + "'";
}

std::optional<std::string> call_script(int call_state_event, const std::string& remote_user)
{
    const char* state = nullptr;
    switch (call_state_event) {
    case CALLSTATE_OFFERING:
        state = "incoming";
        break;
    case CALLSTATE_REMOTE_OFFERING:
        state = "offering";
        break;
    case CALLSTATE_REMOTE_ALERTING:
        state = "ringing";
        break;
    case CALLSTATE_CONNECTED:
        state = "connected";
        break;
    case CALLSTATE_DISCONNECTED:
    case CALLSTATE_DESTROYED:
        return disconnected_script();
    default:
        return std::nullopt;
    }
    return "doCall(" + script_string(remote_user) + ", '" + state + "')";
}

std::string disconnected_script()
{
    return "doCall('', 'disconnected')";
}

std::string focus_script(int key_code)
{
    return "focusIfNone(" + std::to_string(key_code) + ");";
}

std::string level_script(bool input, int level)
{
    return std::string("showLevel('") + (input ? "in" : "out") + "'," + std::to_string(level) + ")";
}

std::string missed_call_toast(const std::string& caller)
{
    return "Missed call from " + html_text(caller);
}

std::string html_text(const std::string& text)
{
    std::string html;
    for (char c : text) {
        switch (c) {
        case '&':
            html += "&amp;";
            break;
        case '<':
            html += "&lt;";
            break;
        case '>':
            html += "&gt;";
            break;
        case '"':
            html += "&quot;";
            break;
        case '\'':
            html += "&#39;";
            break;
        default:
            html += c;
        }
    }
    return html;
}

std::string login_status_script(const std::string& text)
{
    return "loginStatus(" + script_string(text) + ")";
}

} // namespace presentation

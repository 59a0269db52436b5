#include "ui/wizard/wizard_rules.h"

#include <algorithm>
#include <glib.h>

namespace wizard_rules {

std::string limit_account_field(const std::string& text)
{
    // Whole characters only; a byte that does not start a UTF-8 character counts as one.
    std::size_t end = 0;
    for (std::size_t count = 0; count < kAccountFieldLimit && end < text.size(); ++count) {
        const gchar* at = text.data() + end;
        gunichar character = g_utf8_get_char_validated(at, static_cast<gssize>(text.size() - end));
        end = character < 0x110000 ? static_cast<std::size_t>(g_utf8_next_char(at) - text.data()) : end + 1;
    }
    return text.substr(0, end);
}

UsernameCheck username_check_outcome(const HttpReply& reply)
{
    if (!reply.ok())
        return UsernameCheck::NoConnection;
    return reply.body == "VALID" ? UsernameCheck::Valid : UsernameCheck::Invalid;
}

int device_selection(int stored_index, std::size_t count)
{
    if (stored_index < 0 || static_cast<std::size_t>(stored_index) >= count)
        return 0;
    return stored_index;
}

int level_bar_position(int level)
{
    return std::clamp(level + 100, 0, 100);
}

EchoEvent classify_echo_event(int code, int kind)
{
    if (kind == kLineEvent) {
        if (code == 21000)
            return EchoEvent::Registered;
        if (code == 24000)
            return EchoEvent::RegistrationFailed;
    } else if (kind == kCallEvent) {
        if (code == 2500 || code == 3000)
            return EchoEvent::Calling;
        if (code == 4000)
            return EchoEvent::Connected;
    }
    return EchoEvent::None;
}

} // namespace wizard_rules

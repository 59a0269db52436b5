#include "ui/options/options_rules.h"

#include <algorithm>

#include "net/version_reply.h"

namespace options_rules {

int allowed_quality(int position, const std::string& account_type)
{
    const int in_range = std::clamp(position, kLowestQuality, kHighestQuality);
    if (account_type != kProAccount && in_range > kHighestNonProQuality)
        return kHighestNonProQuality;
    return in_range;
}

std::optional<std::string> account_type_from_reply(const HttpReply& reply)
{
    if (!reply.ok())
        return std::nullopt;
    return VersionReply::parse(reply.body).account_type();
}

Outcome settings_on_ok(
    const AppSettings& loaded, const AppSettings& account_page, const AppSettings& audio_page)
{
    Outcome outcome{account_page, false};
    outcome.restart_needed = audio_page.input_device != loaded.input_device ||
        audio_page.output_device != loaded.output_device || audio_page.ring_device != loaded.ring_device;
    outcome.settings.input_device = audio_page.input_device;
    outcome.settings.output_device = audio_page.output_device;
    outcome.settings.ring_device = audio_page.ring_device;
    outcome.settings.quality = audio_page.quality;
    return outcome;
}

} // namespace options_rules

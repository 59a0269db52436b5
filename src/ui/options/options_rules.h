#pragma once
#include <optional>
#include <string>

#include "net/http_request.h"
#include "settings/app_settings.h"

// The options sheet's decisions, free of any window.
namespace options_rules {

inline constexpr int kLowestQuality = 1;
inline constexpr int kHighestQuality = 5;
// Quality levels above this one are for Pro accounts only.
inline constexpr int kHighestNonProQuality = 3;
inline constexpr const char* kProAccount = "pro";

// Where the quality slider may stand for an account type: positions above 3 come back to
// 3 unless the account is Pro; out-of-range positions are brought into 1-5.
int allowed_quality(int position, const std::string& account_type);

// The account type in the account-information reply (its sixth line); none when the
// request failed.
std::optional<std::string> account_type_from_reply(const HttpReply& reply);

// What OK stores: the account page's record with the audio page's devices and quality.
// `restart_needed` tells whether any device differs from the record loaded at opening.
struct Outcome {
    AppSettings settings;
    bool restart_needed = false;
};
Outcome settings_on_ok(
    const AppSettings& loaded, const AppSettings& account_page, const AppSettings& audio_page);

} // namespace options_rules

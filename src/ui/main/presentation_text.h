#pragma once
#include <optional>
#include <string>

// Texts the main window shows or runs in its pages, built without a display.
namespace presentation {

// "hh:mmAM" / "hh:mmPM" in 12-hour form: hour 0 reads 12, 13-23 read hour - 12.
std::string clock_text(int hour, int minute);

// Milliseconds from a time of day (its second and millisecond) until the clock text is due
// again: just after the minute changes, and at most kClockRecheckMs, so a clock set
// anew or a machine waking from sleep shows the right time within seconds.
inline constexpr unsigned kClockRecheckMs = 10000;
unsigned clock_delay_ms(int second, int millisecond);

// The waiting-message label: the count followed by " messages" (also for 1).
std::string voicemail_text(int count);
inline constexpr const char* kNoMessages = "No messages";

// A text as a single-quoted script string: quotes, backslashes and line ends escaped, and
// "</" broken so it cannot end a script element.
std::string script_string(const std::string& text);

// The page's call script for a call-state event ("doCall('alice', 'incoming')"); nothing
// for the events the page does not show. The disconnected form carries no user.
std::optional<std::string> call_script(int call_state_event, const std::string& remote_user);
std::string disconnected_script();

// The key filter's script: "focusIfNone(" + key code + ");".
std::string focus_script(int key_code);

// The level meter's scripts: "showLevel('in'," + level + ")".
std::string level_script(bool input, int level);

// The toast for a caller refused as busy: "Missed call from " and the caller, as HTML text.
std::string missed_call_toast(const std::string& caller);
// A text as HTML character data: "&", "<", ">", and both quotes as entities.
std::string html_text(const std::string& text);

// The main page's status line: "loginStatus('...')".
std::string login_status_script(const std::string& text);
inline constexpr const char* kSignedInStatus = "Signed in";
// The status line and the account-details label while the service does not answer.
inline constexpr const char* kOfflineStatus = "Offline - reconnecting...";

} // namespace presentation

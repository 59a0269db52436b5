#pragma once
#include <string>

#include "net/http_request.h"

// The setup wizard's decisions, free of any window.
namespace wizard_rules {

// The user name and password fields hold at most this many characters (UTF-8 characters,
// never cut in the middle).
inline constexpr std::size_t kAccountFieldLimit = 31;
std::string limit_account_field(const std::string& text);

enum class UsernameCheck { Valid, Invalid, NoConnection };
// Only a completed request whose body is exactly "VALID" accepts the account.
UsernameCheck username_check_outcome(const HttpReply& reply);

// The list entry that shows a stored device index: the index itself, or the first entry
// when the index is not one of the `count` names.
int device_selection(int stored_index, std::size_t count);

// A level in dB (-100 silence to 0 full) as a bar position 0-100.
int level_bar_position(int level);

// What a stack event means to the running echo test. Kind 0 is a line event, 1 a call event.
enum class EchoEvent { None, Registered, RegistrationFailed, Calling, Connected };
inline constexpr int kLineEvent = 0;
inline constexpr int kCallEvent = 1;
EchoEvent classify_echo_event(int code, int kind);

} // namespace wizard_rules

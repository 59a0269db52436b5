#pragma once
#include <cstddef>
#include <optional>
#include <string>

// Reading the voice-mail count out of a "message-summary" NOTIFY body.
namespace message_waiting {

// The body as text: up to its first zero byte, never more than `length` bytes.
// Null content gives an empty text.
std::string body_text(const char* content, std::size_t length);

// New plus old messages of the last "Voice-Message: NEW/OLD" line, when the whole text
// matches ".*Voice-Message: ([0-9]+)/([0-9]+).*" ("." also matching line breaks).
// Nothing when the text does not match; also nothing, with `problem` set, when a count
// does not fit an int.
std::optional<int> count(const std::string& body, std::string* problem = nullptr);

} // namespace message_waiting

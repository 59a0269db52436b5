#pragma once
#include <string>

// The one percent-encoding every query value the program writes goes through, and its
// reverse for the kalvo: links pages write. Both work on bytes and never depend on the
// locale.

// RFC 3986: ASCII letters, digits and "-._~" stay, every other byte becomes "%XX".
std::string percent_encode(const std::string& text);

// Undoes every "%XX" escape once, so "%2541" gives "%41". Escapes that would give a zero
// byte, or bytes that are not UTF-8, stay as written; a "%" without two hexadecimal
// digits after it is an ordinary character.
std::string percent_decode(const std::string& text);

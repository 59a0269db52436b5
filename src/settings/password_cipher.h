#pragma once
#include <optional>
#include <string>

// The reversible form in which the account password is stored: 63 characters padded
// with "|", a zero byte, enciphered with Blowfish (ECB, key "5E20F7A4") and written as
// 128 lower-case hexadecimal digits.
namespace password_cipher {

std::string encipher(const std::string& password);

// Reads a stored value. Fewer than 64 characters: an old plain password, returned as it
// is. 128 hexadecimal digits: deciphered. Anything else of 64 or more characters has no
// meaning and gives nullopt (the caller loads an empty password and logs it).
std::optional<std::string> decipher(const std::string& stored);

// One hexadecimal digit as the stored form is decoded: "0"-"9", "A"-"F", and any other
// character as its code minus 87 (so "a"-"f" give 10-15).
int hex_digit_value(char digit);

} // namespace password_cipher

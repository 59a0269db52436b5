#include "settings/password_cipher.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <nettle/blowfish.h>

namespace password_cipher {
namespace {

constexpr const char kKey[] = "5E20F7A4";
constexpr size_t kBlockBytes = 64;
constexpr size_t kTextLength = 63;

blowfish_ctx make_context()
{
    blowfish_ctx context{};
    blowfish_set_key(&context, sizeof kKey - 1, reinterpret_cast<const uint8_t*>(kKey));
    return context;
}

bool is_hex_digit(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

} // namespace

int hex_digit_value(char digit)
{
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'A' && digit <= 'F')
        return digit - 'A' + 10;
    return static_cast<unsigned char>(digit) - 87;
}

std::string encipher(const std::string& password)
{
    std::array<uint8_t, kBlockBytes> plain{};
    std::string padded = password.substr(0, kTextLength);
    padded.resize(kTextLength, '|');
    for (size_t i = 0; i < kTextLength; ++i)
        plain[i] = static_cast<uint8_t>(padded[i]);
    plain[kTextLength] = 0;

    std::array<uint8_t, kBlockBytes> enciphered{};
    blowfish_ctx context = make_context();
    blowfish_encrypt(&context, kBlockBytes, enciphered.data(), plain.data());

    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(kBlockBytes * 2);
    for (uint8_t byte : enciphered) {
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0x0F]);
    }
    return text;
}

std::optional<std::string> decipher(const std::string& stored)
{
    if (stored.size() < kBlockBytes)
        return stored;
    if (stored.size() != kBlockBytes * 2)
        return std::nullopt;
    for (char c : stored)
        if (!is_hex_digit(c))
            return std::nullopt;

    std::array<uint8_t, kBlockBytes> enciphered{};
    for (size_t i = 0; i < kBlockBytes; ++i)
        enciphered[i] =
            static_cast<uint8_t>(hex_digit_value(stored[2 * i]) * 16 + hex_digit_value(stored[2 * i + 1]));

    std::array<uint8_t, kBlockBytes> plain{};
    blowfish_ctx context = make_context();
    blowfish_decrypt(&context, kBlockBytes, plain.data(), enciphered.data());

    std::string text;
    for (uint8_t byte : plain) {
        if (byte == 0)
            break;
        text.push_back(static_cast<char>(byte));
    }
    auto bar = text.find('|');
    if (bar != std::string::npos)
        text.erase(bar);
    return text;
}

} // namespace password_cipher

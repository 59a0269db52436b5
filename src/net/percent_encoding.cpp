#include "net/percent_encoding.h"

#include <glib.h>
#include <vector>

namespace {

bool unreserved(unsigned char byte)
{
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
        byte == '-' || byte == '.' || byte == '_' || byte == '~';
}

int hex_value(char digit)
{
    if (digit >= '0' && digit <= '9')
        return digit - '0';
    if (digit >= 'A' && digit <= 'F')
        return digit - 'A' + 10;
    if (digit >= 'a' && digit <= 'f')
        return digit - 'a' + 10;
    return -1;
}

// The byte of an escape at `at`, or -1 when there is none.
int escape_at(const std::string& text, std::size_t at)
{
    if (at + 2 >= text.size() || text[at] != '%')
        return -1;
    int high = hex_value(text[at + 1]);
    int low = hex_value(text[at + 2]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

// Length of the UTF-8 character starting a run of decoded bytes, 0 when it is not one.
std::size_t utf8_length(const std::vector<unsigned char>& bytes, std::size_t at)
{
    unsigned char lead = bytes[at];
    std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (at + length > bytes.size())
        return 0;
    const gchar* start = reinterpret_cast<const gchar*>(bytes.data() + at);
    return g_utf8_validate_len(start, length, nullptr) ? length : 0;
}

} // namespace

std::string percent_encode(const std::string& text)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string encoded;
    for (unsigned char byte : text) {
        if (unreserved(byte)) {
            encoded += static_cast<char>(byte);
        } else {
            encoded += '%';
            encoded += digits[byte >> 4];
            encoded += digits[byte & 0x0F];
        }
    }
    return encoded;
}

std::string percent_decode(const std::string& text)
{
    std::string decoded;
    std::size_t at = 0;
    while (at < text.size()) {
        if (escape_at(text, at) < 0) {
            decoded += text[at++];
            continue;
        }
        // A run of escapes is decoded together: one character may take several.
        std::size_t start = at;
        std::vector<unsigned char> bytes;
        for (int byte; (byte = escape_at(text, at)) >= 0; at += 3)
            bytes.push_back(static_cast<unsigned char>(byte));
        for (std::size_t i = 0; i < bytes.size();) {
            std::size_t length = bytes[i] == 0 ? 0 : utf8_length(bytes, i);
            if (length == 0) {
                decoded.append(text, start + 3 * i, 3); // kept as written
                ++i;
                continue;
            }
            decoded.append(reinterpret_cast<const char*>(bytes.data() + i), length);
            i += length;
        }
    }
    return decoded;
}

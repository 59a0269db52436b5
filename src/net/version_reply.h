#pragma once
#include <array>
#include <string>

// The service's eight-line version reply, lines ending at "\n" or "\r\n". Lines a short
// reply lacks are empty.
struct VersionReply {
    std::array<std::string, 8> lines;

    const std::string& current_version() const { return lines[1]; }
    const std::string& download_address() const { return lines[2]; }
    const std::string& info_version() const { return lines[3]; }
    bool show_info() const { return lines[4] == "true"; }
    const std::string& account_type() const { return lines[5]; }
    const std::string& account_details() const { return lines[6]; }
    const std::string& outbound_proxy() const { return lines[7]; }

    static VersionReply parse(const std::string& body);
};

// The number a version text compares by: its pieces between separators ("," when the
// text has a comma, else ".") joined and read as a decimal number, leading digits only.
// "4, 0, 0, 22" gives 40022, "1.0.10.0" gives 10100; a text without separator gives 0.
int version_number(const std::string& text);

#pragma once
#include <optional>
#include <string>

// Command texts: the prefix "kalvo.exe /url " and a kalvo: URL in double quotes, the form
// in which pages, toast links and later starts hand commands to the dispatcher.
namespace command_text {

inline constexpr const char* kPrefix = "kalvo.exe /url ";
// The command buffer's size: a text is at most this long, including its end.
inline constexpr size_t kBufferSize = 8192;

// Wraps a URL as a command text; nullopt when the text would not fit the buffer.
std::optional<std::string> wrap(const std::string& url);

// True when the text carries a "/url" command ("/url" followed by a quoted kalvo: link).
bool has_url_command(const std::string& text);

struct Command {
    std::string name; // exact, case-sensitive ("login", "call", ...)
    std::string query; // everything after "/?" up to the closing quote
};
// `.*?/url "kalvo://([^/]+)/\?(.*)"` over the whole text.
std::optional<Command> parse(const std::string& text);

struct LoginArguments {
    std::string user;
    std::string password;
    bool remember = false;
    bool auto_login = false;
};
// `.*?u=([^&]+)&p=(.*)&s=(.*)&a=(.*)"`; the flags are true only for "true".
std::optional<LoginArguments> login_arguments(const std::string& text);

struct MenuArguments {
    std::string type;
    std::string x;
    std::string y;
};
// `.*?t=([^&]+)&x=(.*)&y=(.*)"`
std::optional<MenuArguments> menu_arguments(const std::string& text);

// `.*?s=(.*)"`
std::optional<std::string> text_argument(const std::string& text);
// `.*?u=(.*)"`
std::optional<std::string> url_argument(const std::string& text);

} // namespace command_text

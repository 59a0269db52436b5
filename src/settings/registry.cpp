#include "settings/registry.h"

#include <charconv>

#include "settings/registry_store.h"

registry_value::registry_value(const std::string& path)
{
    auto slash = path.find_last_of('\\');
    if (slash == std::string::npos) {
        m_value_name = path;
    } else {
        m_key_path = path.substr(0, slash);
        m_value_name = path.substr(slash + 1);
    }
}

bool registry_value::exists() const
{
    return registry_store::read(m_key_path, m_value_name).has_value();
}

std::string registry_value::read_text() const
{
    return registry_store::read(m_key_path, m_value_name).value_or(std::string());
}

bool registry_value::write_text(const std::string& text) const
{
    return registry_store::write(m_key_path, m_value_name, text);
}

std::string registry_string::get() const
{
    return read_text();
}

bool registry_string::set(const std::string& value) const
{
    return write_text(value);
}

int registry_int::get() const
{
    return decode(read_text());
}

int registry_int::decode(const std::string& text)
{
    long long value = 0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc())
        return 0;
    // Stored values are 32-bit; larger texts wrap as a DWORD read would.
    return static_cast<int>(static_cast<unsigned long long>(value) & 0xFFFFFFFFull);
}

std::string registry_int::encode(int value)
{
    return std::to_string(value);
}

bool registry_int::set(int value) const
{
    return write_text(encode(value));
}

bool registry_binary::get() const
{
    return decode(read_text()).value_or(false);
}

std::optional<bool> registry_binary::decode(const std::string& text)
{
    if (text == "1")
        return true;
    if (text == "0")
        return false;
    return std::nullopt;
}

std::string registry_binary::encode(bool value)
{
    return value ? "1" : "0";
}

bool registry_binary::set(bool value) const
{
    return write_text(encode(value));
}

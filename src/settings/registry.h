#pragma once
#include <optional>
#include <string>

// Typed accessors for one value of the per-user store. The path is split at its last
// backslash: the part before is the key path, the part after the value name, so a path
// ending in a backslash names the key's default value. No state is kept between
// operations: each get, set and exists reads or replaces the store.
class registry_value {
public:
    explicit registry_value(const std::string& path);
    virtual ~registry_value() = default;

    bool exists() const;
    const std::string& key_path() const { return m_key_path; }
    const std::string& value_name() const { return m_value_name; }

protected:
    std::string read_text() const;
    bool write_text(const std::string& text) const;

private:
    std::string m_value_name;
    std::string m_key_path;
};

// Text value; empty when it cannot be read.
class registry_string : public registry_value {
public:
    using registry_value::registry_value;
    std::string get() const;
    bool set(const std::string& value) const;
};

// 32-bit signed integer; 0 when it cannot be read.
class registry_int : public registry_value {
public:
    using registry_value::registry_value;
    int get() const;
    bool set(int value) const;

    // The stored text of a value and back (decimal; unreadable text reads as 0).
    static int decode(const std::string& text);
    static std::string encode(int value);
};

// Boolean stored as one byte; false when it cannot be read.
class registry_binary : public registry_value {
public:
    using registry_value::registry_value;
    bool get() const;
    bool set(bool value) const;

    // The written forms "1" and "0"; any other text is not a flag.
    static std::optional<bool> decode(const std::string& text);
    static std::string encode(bool value);
};

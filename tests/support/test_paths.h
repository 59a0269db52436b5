#pragma once
#include <string>

namespace test_support {

// A fresh temporary folder, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// Points HOME and the XDG folders at a fresh temporary folder for the object's lifetime,
// so a test sees an empty settings store and log folder.
class IsolatedUser {
public:
    IsolatedUser();
    ~IsolatedUser();
    const std::string& home() const { return m_home.path(); }

private:
    TempDir m_home;
    std::string m_saved[5];
};

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& text);
// How many times the text occurs in the contents (without overlaps).
int occurrences(const std::string& contents, const std::string& text);
inline bool holds(const std::string& contents, const std::string& text)
{
    return contents.find(text) != std::string::npos;
}
// Waits until the file holds the text (a log line a running program writes), `times` times;
// the last contents read, whether or not they hold it.
std::string wait_for_text(const std::string& path, const std::string& text, int timeout_ms, int times = 1);

// Path of a program built next to the tests (the kalvo executable, tools).
std::string built_program(const std::string& name);

} // namespace test_support

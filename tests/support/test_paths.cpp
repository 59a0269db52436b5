#include "support/test_paths.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace test_support {
namespace {
const char* const kVariables[5] = {
    "HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR", "XDG_CACHE_HOME"};
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "kalvo-test-XXXXXX").string();
    char* made = ::mkdtemp(pattern.data());
    m_path = made ? made : "/tmp";
}

TempDir::~TempDir()
{
    std::error_code ignored;
    if (m_path != "/tmp")
        std::filesystem::remove_all(m_path, ignored);
}

IsolatedUser::IsolatedUser()
{
    for (int i = 0; i < 5; ++i) {
        const char* value = std::getenv(kVariables[i]);
        m_saved[i] = value ? value : "";
    }
    ::setenv("HOME", m_home.path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", m_home.file(".config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", m_home.file(".local/share").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", m_home.file("run").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", m_home.file(".cache").c_str(), 1);
    std::filesystem::create_directories(m_home.file("run"));
}

IsolatedUser::~IsolatedUser()
{
    for (int i = 0; i < 5; ++i) {
        if (m_saved[i].empty())
            ::unsetenv(kVariables[i]);
        else
            ::setenv(kVariables[i], m_saved[i].c_str(), 1);
    }
}

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_file(const std::string& path, const std::string& text)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string built_program(const std::string& name)
{
    return std::string(KALVO_BINARY_DIR) + "/" + name;
}

int occurrences(const std::string& contents, const std::string& text)
{
    int count = 0;
    for (size_t at = contents.find(text); !text.empty() && at != std::string::npos;
         at = contents.find(text, at + text.size()))
        ++count;
    return count;
}

std::string wait_for_text(const std::string& path, const std::string& text, int timeout_ms, int times)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        std::string contents = read_file(path);
        if (occurrences(contents, text) >= times || std::chrono::steady_clock::now() >= deadline)
            return contents;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace test_support

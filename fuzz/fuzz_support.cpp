#include "fuzz_support.h"

#include <boost/regex.hpp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fuzz_support {

const std::string& private_home()
{
    // Kept until the process ends: the folder is removed at exit, after static objects.
    static const std::string* home = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "kalvo-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        std::filesystem::path root(pattern);
        ::setenv("HOME", root.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", (root / "cache").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", (root / "run").c_str(), 1);
        for (const char* folder : {"config/kalvo", "data/kalvo", "cache", "run"})
            std::filesystem::create_directories(root / folder);
        return new std::string(pattern);
    }();
    static const bool removed_at_exit = [] {
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(*home, ignored);
        });
        return true;
    }();
    (void)removed_at_exit;
    return *home;
}

void write_file(const std::string& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

namespace {

Oracle run(const char* pattern, const std::string& text, bool dot_all, bool whole)
{
    Oracle oracle;
    try {
        boost::regex::flag_type flags = boost::regex::perl;
        if (dot_all)
            flags |= boost::regex::mod_s;
        const boost::regex expression(pattern, flags);
        boost::smatch groups;
        oracle.matched = whole ? boost::regex_match(text, groups, expression)
                               : boost::regex_search(text, groups, expression);
        for (size_t i = 1; oracle.matched && i < groups.size(); ++i)
            oracle.groups.push_back(groups[i].str());
    } catch (const std::exception&) {
        oracle.known = false;
    }
    return oracle;
}

} // namespace

Oracle regex_match(const char* pattern, const std::string& text, bool dot_all)
{
    return run(pattern, text, dot_all, true);
}

Oracle regex_search(const char* pattern, const std::string& text)
{
    return run(pattern, text, false, false);
}

void check(bool condition, const char* what)
{
    if (condition)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

} // namespace fuzz_support

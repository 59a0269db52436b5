#include "log/log_file.h"

#include <chrono>
#include <cstdio>
#include <mutex>

namespace log_file {

std::string format_timestamp(const std::tm& local, int milliseconds)
{
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%04d", local.tm_year + 1900,
        local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, milliseconds);
    return text;
}

namespace {

std::mutex g_folder_mutex;
std::string g_folder = ".";

} // namespace

void set_folder(const std::string& folder)
{
    std::lock_guard guard(g_folder_mutex);
    g_folder = folder.empty() ? "." : folder;
}

std::string folder()
{
    std::lock_guard guard(g_folder_mutex);
    return g_folder;
}

std::string file_in(const std::string& install_path)
{
    if (!install_path.empty() && install_path.back() == '/')
        return install_path + "kalvo.log";
    return install_path + "/kalvo.log";
}

void write_line(const std::string& message)
{
    auto now = std::chrono::system_clock::now();
    std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    int milliseconds = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm local{};
    localtime_r(&seconds, &local);

    std::string line = format_timestamp(local, milliseconds) + " " + message + "\n";
    std::FILE* file = std::fopen(file_in(folder()).c_str(), "a");
    if (!file)
        return;
    std::fwrite(line.data(), 1, line.size(), file);
    std::fclose(file);
}

} // namespace log_file

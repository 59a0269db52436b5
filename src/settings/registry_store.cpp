#include "settings/registry_store.h"

#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <glib.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/paths.h"

namespace registry_store {
namespace {

std::mutex g_mutex;
std::function<void(const std::string&)> g_error_sink;

constexpr const char* kDefaultValueName = "@";

std::string entry_name(const std::string& name)
{
    return name.empty() ? kDefaultValueName : name;
}

void report(const std::string& line)
{
    if (g_error_sink)
        g_error_sink(line);
    else
        std::fprintf(stderr, "%s\n", line.c_str());
}

// Holds an exclusive flock on registry.ini.lock for the lifetime of the object.
class FileLock {
public:
    explicit FileLock(const std::string& path)
        : m_fd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600))
    {
        if (m_fd >= 0)
            ::flock(m_fd, LOCK_EX);
    }
    ~FileLock()
    {
        if (m_fd >= 0) {
            ::flock(m_fd, LOCK_UN);
            ::close(m_fd);
        }
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int m_fd;
};

std::string timestamp()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

// A settings record is a few kilobytes; a file far larger is not one, and reading it at
// every value read would stall the program.
constexpr off_t kMaxFileBytes = 4 * 1024 * 1024;

// g_key_file_load_from_file, refusing a file over the size limit as unreadable.
bool load_file(GKeyFile* file, const std::string& path, GKeyFileFlags flags, GError** error)
{
    struct stat st { };
    if (::stat(path.c_str(), &st) == 0 && st.st_size > kMaxFileBytes) {
        g_set_error(error, G_FILE_ERROR, G_FILE_ERROR_FAILED, "larger than %lld bytes",
            static_cast<long long>(kMaxFileBytes));
        return false;
    }
    return g_key_file_load_from_file(file, path.c_str(), flags, error);
}

// Loads the store into a new key file. A missing file gives an empty store; a file that
// does not parse is moved aside and reported, then the store starts empty.
GKeyFile* load_locked(const std::string& path)
{
    GKeyFile* file = g_key_file_new();
    GError* error = nullptr;
    if (load_file(file, path, G_KEY_FILE_KEEP_COMMENTS, &error))
        return file;
    bool missing = g_error_matches(error, G_FILE_ERROR, G_FILE_ERROR_NOENT);
    std::string message = error ? error->message : "unknown error";
    g_clear_error(&error);
    if (!missing) {
        std::string aside = path + ".corrupt-" + timestamp();
        std::rename(path.c_str(), aside.c_str());
        report("Settings store " + path + " could not be read (" + message + "); moved aside to " + aside +
            " and started with defaults");
    }
    g_key_file_free(file);
    return g_key_file_new();
}

bool save_locked(GKeyFile* file, const std::string& path)
{
    gsize length = 0;
    gchar* data = g_key_file_to_data(file, &length, nullptr);
    std::string temporary = path + ".tmp-" + std::to_string(::getpid());
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    bool ok = fd >= 0;
    size_t written = 0;
    while (ok && written < length) {
        ssize_t n = ::write(fd, data + written, length - written);
        if (n <= 0)
            ok = false;
        else
            written += static_cast<size_t>(n);
    }
    if (fd >= 0) {
        ok = ok && ::fsync(fd) == 0;
        ok = ::close(fd) == 0 && ok;
    }
    g_free(data);
    if (ok)
        ok = std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}

// A value's text as it was written, also when it is not UTF-8 (which
// g_key_file_get_string refuses): then the key file's escapes are undone here.
std::optional<std::string> get_text(GKeyFile* file, const std::string& key, const std::string& name)
{
    GError* error = nullptr;
    gchar* value = g_key_file_get_string(file, key.c_str(), name.c_str(), &error);
    if (value) {
        std::string text = value;
        g_free(value);
        return text;
    }
    bool not_utf8 = g_error_matches(error, G_KEY_FILE_ERROR, G_KEY_FILE_ERROR_UNKNOWN_ENCODING);
    g_clear_error(&error);
    gchar* raw = not_utf8 ? g_key_file_get_value(file, key.c_str(), name.c_str(), nullptr) : nullptr;
    if (!raw)
        return std::nullopt;
    std::string text;
    for (const gchar* c = raw; *c; ++c) {
        if (*c != '\\' || !c[1]) {
            text += *c;
            continue;
        }
        switch (*++c) {
        case 's':
            text += ' ';
            break;
        case 'n':
            text += '\n';
            break;
        case 't':
            text += '\t';
            break;
        case 'r':
            text += '\r';
            break;
        case '\\':
            text += '\\';
            break;
        default:
            text += '\\';
            text += *c;
            break;
        }
    }
    g_free(raw);
    return text;
}

template <typename Change> bool modify(Change change)
{
    std::lock_guard guard(g_mutex);
    std::string path = file_path();
    paths::make_dirs(paths::config_dir());
    FileLock lock(path + ".lock");
    GKeyFile* file = load_locked(path);
    bool changed = change(file);
    bool ok = !changed || save_locked(file, path);
    g_key_file_free(file);
    return ok;
}

} // namespace

std::string file_path()
{
    return paths::join(paths::config_dir(), "registry.ini");
}

std::optional<std::string> read(const std::string& key, const std::string& name)
{
    std::lock_guard guard(g_mutex);
    std::string path = file_path();
    // Reads need no flock: the file is only ever replaced whole by rename. A corrupt
    // file is recovered under the lock by the next write; here it simply reads as empty.
    GKeyFile* file = g_key_file_new();
    std::optional<std::string> result;
    if (load_file(file, path, G_KEY_FILE_NONE, nullptr)) {
        result = get_text(file, key, entry_name(name));
    } else {
        struct stat st { };
        if (::stat(path.c_str(), &st) == 0) {
            g_key_file_free(file);
            paths::make_dirs(paths::config_dir());
            FileLock lock(path + ".lock");
            g_key_file_free(load_locked(path));
            return std::nullopt;
        }
    }
    g_key_file_free(file);
    return result;
}

bool write(const std::string& key, const std::string& name, const std::string& value)
{
    return modify([&](GKeyFile* file) {
        g_key_file_set_string(file, key.c_str(), entry_name(name).c_str(), value.c_str());
        return true;
    });
}

Values read_all(const std::string& key)
{
    Values values;
    std::lock_guard guard(g_mutex);
    GKeyFile* file = g_key_file_new();
    if (load_file(file, file_path(), G_KEY_FILE_NONE, nullptr)) {
        gsize count = 0;
        gchar** names = g_key_file_get_keys(file, key.c_str(), &count, nullptr);
        for (gsize i = 0; names && i < count; ++i) {
            if (std::optional<std::string> value = get_text(file, key, names[i]))
                values[names[i] == std::string(kDefaultValueName) ? std::string() : std::string(names[i])] =
                    *value;
        }
        g_strfreev(names);
    }
    g_key_file_free(file);
    return values;
}

bool write_all(const std::string& key, const Values& values)
{
    return modify([&](GKeyFile* file) {
        for (const auto& [name, value] : values)
            g_key_file_set_string(file, key.c_str(), entry_name(name).c_str(), value.c_str());
        return !values.empty();
    });
}

bool remove(const std::string& key, const std::string& name)
{
    return modify([&](GKeyFile* file) {
        return g_key_file_remove_key(file, key.c_str(), entry_name(name).c_str(), nullptr) == TRUE;
    });
}

void set_error_sink(std::function<void(const std::string&)> sink)
{
    std::lock_guard guard(g_mutex);
    g_error_sink = std::move(sink);
}

} // namespace registry_store

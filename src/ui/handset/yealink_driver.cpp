#include "ui/handset/yealink_driver.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <memory>
#include <mutex>
#include <poll.h>
#include <set>
#include <sys/stat.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "log/log_dlg.h"
#include "ui/handset/handset_keys.h"

namespace {

constexpr const char* kDeviceName = "Yealink";
constexpr int kRetryMilliseconds = 1000;

// An opened input device.
struct Device {
    int fd = -1;
    libevdev* evdev = nullptr;
    std::string path;

    Device() = default;
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;
    ~Device()
    {
        if (evdev)
            libevdev_free(evdev);
        if (fd >= 0)
            ::close(fd);
    }
};

// Opens a device when it is the handset (any input device when `any_name`).
std::unique_ptr<Device> open_device(const std::string& path, bool any_name)
{
    auto device = std::make_unique<Device>();
    device->path = path;
    device->fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (device->fd < 0 || libevdev_new_from_fd(device->fd, &device->evdev) < 0)
        return nullptr;
    const char* name = libevdev_get_name(device->evdev);
    if (!any_name && (!name || !std::strstr(name, kDeviceName)))
        return nullptr;
    return device;
}

// The event device numbers under /dev/input, in ascending order.
std::vector<int> event_numbers()
{
    std::vector<int> numbers;
    DIR* dir = ::opendir("/dev/input");
    if (!dir)
        return numbers;
    while (dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (std::strncmp(name, "event", 5) != 0 || !name[5])
            continue;
        char* end = nullptr;
        long number = std::strtol(name + 5, &end, 10);
        if (*end == '\0' && number >= 0 && number < 100000)
            numbers.push_back(int(number));
    }
    ::closedir(dir);
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

// Device nodes already looked at and found not to be the handset (or not readable), so the
// search every second opens only new ones. A node made again (the device plugged in
// again, or its permissions changed) has a new identity and is looked at again.
class PassedOver {
public:
    static std::string identity(const std::string& path)
    {
        struct stat st { };
        if (::stat(path.c_str(), &st) != 0)
            return {};
        return path + ":" + std::to_string(st.st_ino) + ":" + std::to_string(st.st_rdev) + ":" +
            std::to_string(st.st_ctim.tv_sec) + "." + std::to_string(st.st_ctim.tv_nsec);
    }
    bool holds(const std::string& identity)
    {
        std::lock_guard lock(m_mutex);
        return m_identities.count(identity) > 0;
    }
    void add(std::string identity)
    {
        std::lock_guard lock(m_mutex);
        if (m_identities.size() > kMaxKept)
            m_identities.clear();
        m_identities.insert(std::move(identity));
    }

private:
    static constexpr size_t kMaxKept = 1024;
    std::mutex m_mutex;
    std::set<std::string> m_identities;
};

std::unique_ptr<Device> find_and_open()
{
    if (const char* chosen = std::getenv("KALVO_HANDSET_DEVICE"); chosen && *chosen)
        return open_device(chosen, true);
    static PassedOver passed_over; // the UI thread and the reader thread both search
    for (int number : event_numbers()) {
        std::string path = "/dev/input/event" + std::to_string(number);
        std::string identity = PassedOver::identity(path);
        if (identity.empty() || passed_over.holds(identity))
            continue;
        if (auto device = open_device(path, false))
            return device;
        passed_over.add(std::move(identity));
    }
    return nullptr;
}

// The open handset: its device (absent while unplugged), the registration and the reader.
class Reader {
public:
    Reader(std::unique_ptr<Device> device, YL_Callback callback, void* context)
        : m_device(std::move(device)), m_callback(callback), m_context(context),
          m_stop(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
    {
        m_thread = std::thread([this] { Run(); });
    }

    ~Reader()
    {
        m_stopping = true;
        const uint64_t one = 1;
        if (::write(m_stop, &one, sizeof one) < 0)
            LogDlg::instance().append("Yealink reader: stop signal failed"); // it ends at its next wake-up
        m_thread.join();
        ::close(m_stop);
    }

    bool on_reader_thread() const { return std::this_thread::get_id() == m_thread.get_id(); }

private:
    void Run()
    {
        while (!m_stopping) {
            if (!m_device) {
                if (Wait(-1, kRetryMilliseconds))
                    break;
                if ((m_device = find_and_open()))
                    LogDlg::instance().append("Yealink device attached again: " + m_device->path);
                continue;
            }
            if (Wait(m_device->fd, kRetryMilliseconds))
                break;
            if (!ReadEvents()) {
                LogDlg::instance().append("Yealink device removed: " + m_device->path);
                m_device.reset();
            }
        }
    }

    // Waits for the device (when given) or the time-out; true when asked to stop.
    bool Wait(int fd, int milliseconds)
    {
        pollfd fds[2] = {{m_stop, POLLIN, 0}, {fd, POLLIN, 0}};
        int ready = ::poll(fds, fd >= 0 ? 2 : 1, milliseconds);
        if (ready < 0 && errno != EINTR) {
            LogDlg::instance().append(std::string("Yealink reader stopped: ") + std::strerror(errno));
            return true;
        }
        return m_stopping || (fds[0].revents & POLLIN);
    }

    // Delivers every pending key press; false when the device is gone.
    bool ReadEvents()
    {
        input_event event{};
        unsigned flags = LIBEVDEV_READ_FLAG_NORMAL;
        for (;;) {
            int rc = libevdev_next_event(m_device->evdev, flags, &event);
            if (rc == LIBEVDEV_READ_STATUS_SYNC) {
                flags = LIBEVDEV_READ_FLAG_SYNC; // dropped events: resynchronise, deliver nothing
                continue;
            }
            if (rc == -EAGAIN) {
                if (flags == LIBEVDEV_READ_FLAG_SYNC) {
                    flags = LIBEVDEV_READ_FLAG_NORMAL;
                    continue;
                }
                return true;
            }
            if (rc != LIBEVDEV_READ_STATUS_SUCCESS)
                return false;
            if (flags == LIBEVDEV_READ_FLAG_SYNC)
                continue;
            if (int code = handset::key_code(event))
                m_callback(handset::kKeyEvent, code, m_context);
        }
    }

    std::unique_ptr<Device> m_device;
    const YL_Callback m_callback;
    void* const m_context;
    const int m_stop;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

std::mutex driver_mutex;
std::unique_ptr<Reader> reader; // guarded by driver_mutex

long open_handset(YL_Callback callback, void* context)
{
    if (!callback)
        return 0;
    std::lock_guard lock(driver_mutex);
    if (reader)
        return 1;
    auto device = find_and_open();
    if (!device)
        return 0;
    reader = std::make_unique<Reader>(std::move(device), callback, context);
    return 1;
}

long close_handset()
{
    std::unique_ptr<Reader> stopping;
    {
        std::lock_guard lock(driver_mutex);
        if (!reader)
            return 0;
        if (reader->on_reader_thread()) {
            LogDlg::instance().append("Yealink device cannot be closed from its own callback");
            return 0;
        }
        stopping = std::move(reader);
    }
    stopping.reset(); // joins the reader outside the lock
    return 1;
}

} // namespace

long YL_DeviceIoControl(long operation, YL_Callback callback, void* context, long, long, long)
{
    switch (operation) {
    case YL_OPEN:
        return open_handset(callback, context);
    case YL_CLOSE:
        return close_handset();
    default:
        return 0;
    }
}

namespace yealink {

std::string find_device()
{
    auto device = find_and_open();
    return device ? device->path : std::string();
}

} // namespace yealink

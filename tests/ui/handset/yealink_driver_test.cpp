#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <vector>

#include "support/test_paths.h"
#include "ui/handset/yealink_driver.h"

namespace {

// What the driver's callback received, for a waiting test.
struct Received {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::pair<long, long>> events;

    bool wait_for_count(std::size_t count)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(5), [&] { return events.size() >= count; });
    }
};

long record(long event, long key, void* context)
{
    auto* received = static_cast<Received*>(context);
    std::lock_guard lock(received->mutex);
    received->events.emplace_back(event, key);
    received->changed.notify_all();
    return 0;
}

// Sets or clears KALVO_HANDSET_DEVICE for one test.
class HandsetDeviceVariable {
public:
    explicit HandsetDeviceVariable(const std::string& value)
    {
        ::setenv("KALVO_HANDSET_DEVICE", value.c_str(), 1);
    }
    ~HandsetDeviceVariable() { ::unsetenv("KALVO_HANDSET_DEVICE"); }
};

TEST(YealinkDriver, NoHandsetMeansNoOpenAndNoCrash)
{
    test_support::TempDir dir;
    test_support::write_file(dir.file("not-a-device"), "plain text");
    Received received;
    for (std::string path : {dir.file("missing"), dir.file("not-a-device"), dir.path()}) {
        HandsetDeviceVariable device(path);
        EXPECT_EQ(YL_DeviceIoControl(YL_OPEN, record, &received, 0, 0, 0), 0) << path;
        EXPECT_EQ(yealink::find_device(), "") << path;
    }
    EXPECT_EQ(YL_DeviceIoControl(YL_CLOSE, nullptr, nullptr, 0, 0, 0), 0); // not open
    EXPECT_EQ(YL_DeviceIoControl(7, record, &received, 0, 0, 0), 0);
}

// A virtual handset made through uinput; absent when uinput cannot be used here.
class VirtualHandset {
public:
    VirtualHandset()
    {
        int fd = ::open("/dev/uinput", O_RDWR | O_CLOEXEC);
        if (fd < 0)
            return;
        ::close(fd);
        libevdev* description = libevdev_new();
        libevdev_set_name(description, "Yealink usb-p1k (virtual)");
        libevdev_enable_event_type(description, EV_KEY);
        for (unsigned code :
            {KEY_0, KEY_1, KEY_5, KEY_9, KEY_KPASTERISK, KEY_NUMERIC_POUND, KEY_ENTER, KEY_A})
            libevdev_enable_event_code(description, EV_KEY, code, nullptr);
        if (libevdev_uinput_create_from_device(description, LIBEVDEV_UINPUT_OPEN_MANAGED, &m_device) != 0)
            m_device = nullptr;
        libevdev_free(description);
        // Give the device node time to appear.
        for (int i = 0; m_device && i < 50 && ::access(node().c_str(), R_OK) != 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ~VirtualHandset()
    {
        if (m_device)
            libevdev_uinput_destroy(m_device);
    }
    bool usable() const { return m_device && ::access(node().c_str(), R_OK) == 0; }
    std::string node() const
    {
        const char* path = m_device ? libevdev_uinput_get_devnode(m_device) : nullptr;
        return path ? path : "";
    }
    void press(unsigned code)
    {
        for (int value : {1, 0}) {
            libevdev_uinput_write_event(m_device, EV_KEY, code, value);
            libevdev_uinput_write_event(m_device, EV_SYN, SYN_REPORT, 0);
        }
    }

private:
    libevdev_uinput* m_device = nullptr;
};

TEST(YealinkDriver, VirtualHandsetKeysReachTheCallbackInOrder)
{
    VirtualHandset handset;
    if (!handset.usable())
        GTEST_SKIP() << "uinput is not usable here";
    HandsetDeviceVariable device(handset.node());
    Received received;
    ASSERT_NE(YL_DeviceIoControl(YL_OPEN, record, &received, 0, 0, 0), 0);
    Received ignored;
    EXPECT_NE(YL_DeviceIoControl(YL_OPEN, record, &ignored, 0, 0, 0),
        0); // already open: the first registration stays

    for (unsigned code : {KEY_5, KEY_A, KEY_KPASTERISK, KEY_NUMERIC_POUND, KEY_0, KEY_ENTER})
        handset.press(code);
    ASSERT_TRUE(received.wait_for_count(5));
    EXPECT_EQ(received.events,
        (std::vector<std::pair<long, long>>{{11, 0x85}, {11, 0x8B}, {11, 0x8C}, {11, 0x80}, {11, 0x91}}));
    EXPECT_TRUE(ignored.events.empty());
    EXPECT_NE(YL_DeviceIoControl(YL_CLOSE, nullptr, nullptr, 0, 0, 0), 0);
}

TEST(YealinkDriver, HandsetIsFoundByNameAndPickedUpAgainAfterReplugging)
{
    auto handset = std::make_unique<VirtualHandset>();
    if (!handset->usable())
        GTEST_SKIP() << "uinput is not usable here";
    EXPECT_EQ(yealink::find_device(), handset->node());
    Received received;
    ASSERT_NE(YL_DeviceIoControl(YL_OPEN, record, &received, 0, 0, 0), 0);
    handset->press(KEY_1);
    ASSERT_TRUE(received.wait_for_count(1));

    handset.reset(); // unplugged
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    handset = std::make_unique<VirtualHandset>();
    ASSERT_TRUE(handset->usable());
    // The reader looks again every second; keep pressing until a key comes through.
    bool delivered = false;
    for (int i = 0; i < 40 && !delivered; ++i) {
        handset->press(KEY_9);
        std::unique_lock lock(received.mutex);
        delivered = received.changed.wait_for(
            lock, std::chrono::milliseconds(100), [&] { return received.events.size() >= 2; });
    }
    EXPECT_TRUE(delivered);
    EXPECT_EQ(received.events.back(), (std::pair<long, long>{11, 0x89}));
    EXPECT_NE(YL_DeviceIoControl(YL_CLOSE, nullptr, nullptr, 0, 0, 0), 0);
}

} // namespace

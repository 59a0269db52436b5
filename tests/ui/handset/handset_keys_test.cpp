#include <gtest/gtest.h>
#include <linux/input.h>

#include "ui/handset/handset_keys.h"

namespace {

TEST(HandsetKeys, KeyCodesRunTheirPageScripts)
{
    for (int digit = 0; digit <= 9; ++digit)
        EXPECT_EQ(handset::key_script(0x80 + digit), "buttonEvent(" + std::to_string(digit) + ")");
    EXPECT_EQ(handset::key_script(0x8B), "buttonEvent('*')");
    EXPECT_EQ(handset::key_script(0x8C), "buttonEvent('#')");
    EXPECT_EQ(handset::key_script(0x91), "doDial()");
    // Only the low byte is the key.
    EXPECT_EQ(handset::key_script(0x0185), "buttonEvent(5)");
    EXPECT_EQ(handset::key_script(0x7FFFFF91), "doDial()");
    EXPECT_EQ(handset::key_script(-1), ""); // low byte 0xFF
}

TEST(HandsetKeys, KeysThePageDoesNotUseRunNothing)
{
    for (int code : {0x00, 0x05, 0x7F, 0x8A, 0x8D, 0x8E, 0x8F, 0x90, 0x92, 0xFF, 0x100})
        EXPECT_EQ(handset::key_script(code), "") << std::hex << code;
}

input_event key(unsigned code, int value = 1, unsigned type = EV_KEY)
{
    input_event event{};
    event.type = static_cast<__u16>(type);
    event.code = static_cast<__u16>(code);
    event.value = value;
    return event;
}

TEST(HandsetKeys, InputKeyPressesBecomeHandsetCodes)
{
    // The three digit blocks an input device may report, each in its own order.
    const unsigned row[] = {KEY_0, KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6, KEY_7, KEY_8, KEY_9};
    const unsigned pad[] = {
        KEY_KP0, KEY_KP1, KEY_KP2, KEY_KP3, KEY_KP4, KEY_KP5, KEY_KP6, KEY_KP7, KEY_KP8, KEY_KP9};
    for (int digit = 0; digit <= 9; ++digit) {
        EXPECT_EQ(handset::key_code(key(row[digit])), 0x80 + digit) << digit;
        EXPECT_EQ(handset::key_code(key(pad[digit])), 0x80 + digit) << digit;
        EXPECT_EQ(handset::key_code(key(KEY_NUMERIC_0 + digit)), 0x80 + digit) << digit;
    }
    EXPECT_EQ(handset::key_code(key(KEY_KPASTERISK)), 0x8B);
    EXPECT_EQ(handset::key_code(key(KEY_NUMERIC_STAR)), 0x8B);
    EXPECT_EQ(handset::key_code(key(KEY_NUMERIC_POUND)), 0x8C);
    EXPECT_EQ(handset::key_code(key(KEY_ENTER)), 0x91);
    EXPECT_EQ(handset::key_code(key(KEY_KPENTER)), 0x91);
    // The handset's other keys stay in its range and run nothing.
    for (unsigned other : {KEY_BACKSPACE, KEY_UP, KEY_DOWN, KEY_ESC, KEY_PHONE}) {
        int code = handset::key_code(key(other));
        EXPECT_GE(code, 0x80);
        EXPECT_LE(code, 0x91);
        EXPECT_EQ(handset::key_script(code), "") << other;
    }
}

TEST(HandsetKeys, OnlyPressesOfKnownKeysCount)
{
    EXPECT_EQ(handset::key_code(key(KEY_5, 0)), 0); // release
    EXPECT_EQ(handset::key_code(key(KEY_5, 2)), 0); // auto-repeat
    EXPECT_EQ(handset::key_code(key(KEY_5, 1, EV_MSC)), 0);
    EXPECT_EQ(handset::key_code(key(SYN_REPORT, 0, EV_SYN)), 0);
    EXPECT_EQ(handset::key_code(key(KEY_A)), 0);
    EXPECT_EQ(handset::key_code(key(KEY_MAX)), 0);
}

} // namespace

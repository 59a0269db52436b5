#include "ui/handset/handset_keys.h"

#include <linux/input.h>

namespace handset {

std::string key_script(long lparam)
{
    const int code = int(lparam & 0xFF);
    if (code >= kDigit0 && code <= kDigit9)
        return "buttonEvent(" + std::to_string(code - kDigit0) + ")";
    switch (code) {
    case kStar:
        return "buttonEvent('*')";
    case kPound:
        return "buttonEvent('#')";
    case kDial:
        return "doDial()";
    default:
        return {};
    }
}

namespace {

int digit_key(unsigned code)
{
    // The number row, the keypad and the phone keypad each have their digits in a
    // different order or block.
    if (code >= KEY_1 && code <= KEY_9)
        return kDigit0 + int(code - KEY_1) + 1;
    if (code == KEY_0)
        return kDigit0;
    if (code >= KEY_NUMERIC_0 && code <= KEY_NUMERIC_9)
        return kDigit0 + int(code - KEY_NUMERIC_0);
    switch (code) {
    case KEY_KP0:
        return kDigit0 + 0;
    case KEY_KP1:
        return kDigit0 + 1;
    case KEY_KP2:
        return kDigit0 + 2;
    case KEY_KP3:
        return kDigit0 + 3;
    case KEY_KP4:
        return kDigit0 + 4;
    case KEY_KP5:
        return kDigit0 + 5;
    case KEY_KP6:
        return kDigit0 + 6;
    case KEY_KP7:
        return kDigit0 + 7;
    case KEY_KP8:
        return kDigit0 + 8;
    case KEY_KP9:
        return kDigit0 + 9;
    default:
        return 0;
    }
}

} // namespace

int key_code(const input_event& event)
{
    if (event.type != EV_KEY || event.value != 1)
        return 0;
    if (int digit = digit_key(event.code))
        return digit;
    switch (event.code) {
    case KEY_KPASTERISK:
    case KEY_NUMERIC_STAR:
        return kStar;
    case KEY_NUMERIC_POUND:
        return kPound;
    // The handset's other keys keep codes in its range; the page has no use for them.
    case KEY_BACKSPACE: // "C"
        return 0x8A;
    case KEY_UP:
        return 0x8D;
    case KEY_DOWN:
        return 0x8E;
    case KEY_ESC: // hang up
        return 0x8F;
    case KEY_PHONE: // lifting the receiver
        return 0x90;
    case KEY_ENTER:
    case KEY_KPENTER:
        return kDial;
    default:
        return 0;
    }
}

} // namespace handset

#pragma once
#include <string>

struct input_event;

// The handset's key codes and what they mean to the program.
namespace handset {

// The driver event that carries a key press; the key code is the low byte of its second value.
inline constexpr long kKeyEvent = 11;

enum KeyCode : int {
    kDigit0 = 0x80, // 0x80-0x89: the digits 0-9
    kDigit9 = 0x89,
    kStar = 0x8B,
    kPound = 0x8C,
    kDial = 0x91,
    kFirstKey = 0x80,
    kLastKey = 0x91,
};

// The page script a key press runs in the content page: "buttonEvent(5)",
// "buttonEvent('*')", "buttonEvent('#')" or "doDial()"; empty for keys the page does not
// use. Only the low byte of `lparam` counts.
std::string key_script(long lparam);

// The handset key code of a key press read from the input device; 0 for releases,
// repeats, other event types and keys the handset does not have.
int key_code(const input_event& event);

} // namespace handset

#pragma once

// The virtual-key code pages expect for a key (letters as upper-case ASCII, digits as
// ASCII, Enter 13, Backspace 8, arrows 37-40, keypad digits 96-105 ...); 0 for a key
// without one.
int virtual_key_code(unsigned keyval);

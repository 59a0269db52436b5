#pragma once
#include <string>

// The USB handset driver. The handset is an input device; a reader thread turns its key
// presses into calls of the registered callback with the key event (handset::kKeyEvent)
// and the key code (handset_keys.h), one at a time and in order.
//
// Operation kOpen finds the first /dev/input/event* whose name contains "Yealink" (or
// the device named by KALVO_HANDSET_DEVICE), starts the reader and registers the
// callback and its context; it returns non-zero when the handset was opened. While open,
// a further kOpen keeps the first registration and returns non-zero. When the handset
// is unplugged the registration stays and the reader looks for it again every second,
// so plugging it back in needs no new open.
// Operation kClose stops the reader and returns non-zero when it was open. It waits for
// a callback in progress, so it must not be called by the thread that callback waits
// for (the interface thread, when the callback sends to a window).
// Other operations return 0. The last three arguments are unused.
using YL_Callback = long (*)(long event, long key, void* context);

inline constexpr long YL_OPEN = 0;
inline constexpr long YL_CLOSE = 1;

long YL_DeviceIoControl(long operation, YL_Callback callback, void* context, long, long, long);

namespace yealink {

// The handset's device path as the open step would choose it; empty when none is attached.
std::string find_device();

} // namespace yealink

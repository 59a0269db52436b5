#pragma once

// Keeps the program's descriptors (SIP and media sockets, the instance socket, files)
// out of the processes it starts: the web engine starts its processes inheriting every
// descriptor that is not close-on-exec, and the SIP library opens its sockets without it.
namespace descriptors {

// Marks every descriptor above standard error close-on-exec. Safe from any thread; a
// descriptor a process is meant to inherit is handed over explicitly, which clears the
// mark in the child.
void close_all_on_exec();

} // namespace descriptors

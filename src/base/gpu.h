#pragma once

namespace gpu {

// True when the machine has a GPU render node (/dev/dri/renderD*). Without one, GL and
// accelerated compositing run on a software driver: memory and time for nothing the
// program draws.
bool present();

} // namespace gpu

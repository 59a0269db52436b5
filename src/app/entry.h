#pragma once

// The process entry: --version and --help, the single-instance test, interface start-up,
// the run function.
int kalvo_main(int argc, char** argv);

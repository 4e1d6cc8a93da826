// SPDX-License-Identifier: MIT
// The entry point of the installable component that holds the windows: the installed program
// loads it, with the runtime component beside it, from the system directory.
#include "VortleMain.h"

extern "C" __attribute__((visibility("default"))) int vortle_main(int argc, char** argv) {
    return vortleMain(argc, argv);
}

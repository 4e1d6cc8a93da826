// SPDX-License-Identifier: MIT
#include "VortleMain.h"

int main(int argc, char** argv) {
    return vortleMain(argc, argv);
}

// SPDX-License-Identifier: MIT
#pragma once

// The utility's start: the prefix, the splash window, the event loop. Returns the exit code.
int vortleMain(int argc, char** argv);

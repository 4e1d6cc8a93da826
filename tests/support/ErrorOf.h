// SPDX-License-Identifier: MIT
#pragma once

#include "host/core/RuntimeError.h"

#include <functional>

// The run-time error number a call raises, 0 when it raises none.
inline int errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const host::RuntimeError& error) {
        return error.number();
    }
    return 0;
}

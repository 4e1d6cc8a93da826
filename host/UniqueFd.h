// SPDX-License-Identifier: MIT
#pragma once

#include <unistd.h>

namespace host {

// Owns a POSIX file descriptor and closes it when it goes out of scope.
struct UniqueFd {
    int fd = -1;
    explicit UniqueFd(int descriptor) : fd(descriptor) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace host

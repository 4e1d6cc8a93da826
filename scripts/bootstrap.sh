# SPDX-License-Identifier: MIT
# Shared by ./run and ./test: install what is missing, configure and build.
# shellcheck shell=bash

# Debian packages the build, the program and the tests need.
VORTLE_PACKAGES=(
    cmake g++ make pkg-config        # the tool chain
    qt6-base-dev qt6-base-dev-tools  # Qt 6 Core, Gui, Widgets, Test and moc/rcc
    libxcb1-dev                      # asking the X11 window manager what it supports
    qt6-tools-dev qt6-l10n-tools     # Qt's CMake rules for translations, lupdate and lrelease
    libgl-dev                        # Qt's Gui headers want the GL headers
    qt6-qpa-plugins                  # the xcb and offscreen platforms
    fonts-dejavu-core                # a font where no desktop provides one
    fonts-liberation2                # Arial's metrics, which the forms are laid out for
    xvfb xauth                       # a real X server for the tests (xvfb-run)
    clang libclang-rt-14-dev         # libFuzzer for the record decoder
    clang-format git                 # ./test checks the sources' format
    xdg-utils                        # xdg-open behind "Open in Explorer"
    desktop-file-utils appstream     # validate the menu entry and the metainfo
    dpkg-dev                         # the Debian package's library dependencies
    lintian                          # the Debian package passes its checks
    xdotool                          # the end-to-end tests click the real program
    openbox x11-utils                # ... and place it under a real window manager (xwininfo, xprop)
    weston qt6-wayland               # ... and on a real Wayland compositor (its headless backend)
    dosfstools mtools fusefat        # a real FAT12 diskette image for the tests
    libfuse-dev                      # a slow medium of our own for the end-to-end tests
    dbus-daemon                      # a private bus for the disk service's stand-in
    qemu-system-x86 busybox-static   # a guest with Debian's kernel, for its vfat and exfat
    kmod exfatprogs                  # ... its modules' order, and exFAT images
    udisks2                          # ... and the desktop's disk service run in it
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        echo "error: need root (or sudo) to run: $*" >&2
        return 1
    fi
}

ensure_packages() {
    local missing=()
    for package in "${VORTLE_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    if ! as_root apt-get install -y --no-install-recommends "${missing[@]}"; then
        as_root apt-get update
        as_root apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}

# Builds everything, or only the targets named.
build_vortle() {
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    if [ $# -gt 0 ]; then
        cmake --build build -j"$(nproc)" --target "$@"
    else
        cmake --build build -j"$(nproc)"
    fi
}

#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the build into a temporary prefix and checks what lands there; builds the Debian
# package, checks its contents, unpacks it into a temporary root (the system's package database
# is never touched) and starts the program there from the menu entry's command.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" > /dev/null
for file in bin/vortle bin/vortle-setup share/applications/org.vortle.vortle.desktop \
            share/metainfo/org.vortle.vortle.metainfo.xml share/doc/vortle/ReadMe.txt \
            share/man/man1/vortle.1.gz share/man/man1/vortle-setup.1.gz share/doc/vortle/copyright share/doc/vortle/changelog.gz \
            lib/vortle/vortle-archive lib/vortle/dist/Vortle.ex_ lib/vortle/dist/ReadMe.tx_ \
            share/vortle/translations/vortle_de.qm \
            lib/vortle/dist/Comctl32.oc_ lib/vortle/dist/msvbvm50.dll \
            share/icons/hicolor/16x16/apps/org.vortle.vortle.png \
            share/icons/hicolor/32x32/apps/org.vortle.vortle.png \
            share/icons/hicolor/48x48/apps/org.vortle.vortle.png \
            share/icons/hicolor/256x256/apps/org.vortle.vortle.png share/vortle/screenshots/vortle-main.png \
            share/icons/hicolor/scalable/apps/org.vortle.vortle.svg; do
    [ -e "$work/prefix/$file" ] || { echo "missing after install: $file"; exit 1; }
done
desktop-file-validate "$work/prefix/share/applications/org.vortle.vortle.desktop"
appstreamcli validate --no-net "$work/prefix/share/metainfo/org.vortle.vortle.metainfo.xml"

(cd "$build" && cpack -B "$work/package" > "$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/package/vortle_*.deb)
dpkg-deb --contents "$deb" > "$work/contents"
grep -q './usr/bin/vortle$' "$work/contents"
grep -q './usr/lib/vortle/vortle-archive$' "$work/contents"
grep -q 'applications/org.vortle.vortle.desktop' "$work/contents"
dpkg-deb --field "$deb" Depends > "$work/depends"
grep -q 'libqt6widgets6' "$work/depends"
# No error and no warning of Debian's package checker (informational tags are allowed).
if command -v lintian > /dev/null; then
    lintian --tag-display-limit 0 "$deb" > "$work/lintian" 2>&1 || true
    if grep -E '^[EW]: ' "$work/lintian"; then
        echo "lintian has errors or warnings"
        exit 1
    fi
fi

dpkg-deb -x "$deb" "$work/root"
command=$(sed -n 's/^Exec=//p' "$work/root/usr/share/applications/org.vortle.vortle.desktop")
export XDG_DATA_HOME="$work/data" HOME="$work/home" QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME"
# The menu entry names the program as the system's PATH would find it.
PATH="$work/root/usr/bin:$PATH" $command &
pid=$!
for _ in $(seq 1 100); do
    [ -e "$XDG_DATA_HOME/vortle/drive_c/windows/system/VRTLSettings.dll" ] && break
    sleep 0.1
done
kill "$pid" 2>/dev/null || { echo "the unpacked program ended on its own"; exit 1; }
[ -e "$XDG_DATA_HOME/vortle/drive_c/windows/system/VRTLSettings.dll" ] || { echo "the unpacked program did not start"; exit 1; }
echo "unpacked with dpkg-deb and started as '$command'"

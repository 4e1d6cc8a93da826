#!/bin/sh
# SPDX-License-Identifier: MIT
# make-test-world.sh FOLDER: the tests' own desktop world. bin/ holds the machine's tools but
# the archive and file managers that the tests stand in for, share/ only the MIME database (what
# a file is), etc/ only an empty fstab: no desktop's defaults, no machine's mount points reach a test.
set -eu
world=$1
rm -rf "$world"
mkdir -p "$world/bin" "$world/share" "$world/etc" "$world/media"
: > "$world/etc/fstab" # no mount point of the machine's is drive A:'s
ln -s /usr/share/mime "$world/share/mime"
ln -s /usr/sbin/* "$world/bin/"
ln -sf /usr/bin/* "$world/bin/"
for program in file-roller ark engrampa xarchiver nautilus dolphin thunar pcmanfm nemo caja; do
    rm -f "$world/bin/$program"
done

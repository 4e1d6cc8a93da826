#!/bin/bash
# SPDX-License-Identifier: MIT
# run-in-guest.sh WORKDIR [--disk-service] COMMAND...: runs COMMAND as root in a guest that
# boots Debian's own kernel (linux-image-amd64, unpacked into WORKDIR, never installed) under
# qemu, with this machine's root shared read-only over 9p (the build tree included, wherever it
# is) and a tmpfs on /dev/shm for HOME and TMPDIR, so that the kernel's vfat and exfat serve the
# diskettes the command mounts. KVM where it works, software emulation otherwise. With
# --disk-service, the system bus, udevd, polkitd and udisks2 run in the guest before COMMAND, as
# on a desktop. Exits with the command's status; 77 (skipped) where the guest cannot be had.
set -uo pipefail
work=$(realpath -m "$1")
shift
disk_service=
if [ "${1:-}" = --disk-service ]; then
    disk_service=1
    shift
fi
skip() {
    echo "skipped: $*"
    exit 77
}
command -v qemu-system-x86_64 >/dev/null || skip "qemu-system-x86_64 is not installed"
busybox=$(command -v busybox) || skip "busybox is not installed"
if [ -n "$disk_service" ]; then
    for daemon in /usr/libexec/udisks2/udisksd /lib/systemd/systemd-udevd /usr/lib/polkit-1/polkitd; do
        [ -x "$daemon" ] || skip "$daemon is not installed"
    done
fi
mkdir -p "$work"

# The kernel of the linux-image-amd64 package, unpacked once.
if [ ! -f "$work/kernel.ready" ]; then
    rm -rf "$work/kernel" "$work"/*.deb
    image=$(apt-cache depends linux-image-amd64 2>/dev/null | sed -n 's/.*Depends: \(linux-image-[0-9].*\)/\1/p' | head -n1)
    [ -n "$image" ] || skip "no linux-image-amd64 package is known"
    (cd "$work" && apt-get download "$image" >/dev/null 2>&1) || skip "cannot fetch $image"
    dpkg-deb -x "$work"/"$image"_*.deb "$work/kernel" || skip "cannot unpack $image"
    touch "$work/kernel.ready"
fi
version=$(ls "$work/kernel/lib/modules" | head -n1)
vmlinuz="$work/kernel/boot/vmlinuz-$version"
[ -f "$vmlinuz" ] || skip "the kernel package holds no kernel"

# An initramfs of busybox, the modules for 9p, loop, vfat and exfat, and an init that mounts
# the host's root and runs what /proc/cmdline names.
initrd="$work/initrd-$version-$(md5sum < "$0" | cut -c1-12).cpio.gz"
if [ ! -f "$initrd" ]; then
    root="$work/initramfs"
    rm -rf "$root"
    mkdir -p "$root"/{bin,dev,proc,sys,host,modules}
    cp "$busybox" "$root/bin/busybox"
    depmod -b "$work/kernel" "$version" || skip "depmod failed"
    for module in virtio_pci virtio_blk 9pnet_virtio 9p loop vfat exfat nls_cp437 nls_ascii nls_iso8859-1 nls_utf8; do
        modprobe -d "$work/kernel" -S "$version" --show-depends "$module"
    done | awk '$1 == "insmod" && !seen[$2]++ { print $2 }' > "$work/modules.list"
    n=0
    while read -r module; do
        n=$((n + 1))
        cp "$module" "$root/modules/$(printf %02d $n)-$(basename "$module")"
    done < "$work/modules.list"
    cat > "$root/init" <<'INIT'
#!/bin/busybox sh
/bin/busybox --install -s /bin
echo vortle-guest-started
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
for module in /modules/*.ko; do insmod "$module"; done
mount -t 9p -o trans=virtio,version=9p2000.L,ro,msize=262144,cache=loose hostroot /host
mount -t tmpfs run /host/run
mount -t proc proc /host/proc
mount -t sysfs sys /host/sys
mkdir -p /dev/shm
mount -o bind /dev /host/dev
mount -t tmpfs shm /host/dev/shm
mount -t devpts devpts /host/dev/pts 2>/dev/null
script=$(sed -n 's/.*vortle\.run=\([^ ]*\).*/\1/p' /proc/cmdline)
chroot /host /bin/bash "$script"
echo "vortle-guest-exit: $?"
poweroff -f
INIT
    chmod +x "$root/init"
    (cd "$root" && find . | "$busybox" cpio -o -H newc 2>/dev/null | gzip -1) > "$initrd.part" &&
        mv "$initrd.part" "$initrd" || skip "cannot pack the initramfs"
fi

# What the guest runs, from a file on the shared root.
script="$work/run-$$.sh"
{
    echo "cd $(printf %q "$PWD")"
    echo "export HOME=/dev/shm TMPDIR=/dev/shm PATH=$(printf %q "${PATH:-/usr/bin:/bin}"):/usr/sbin:/sbin"
    env | grep -E '^(QT_|VORTLE_|XDG_DATA_DIRS|XDG_CONFIG_DIRS|LANG)' | sed 's/^/export /; s/=\(.*\)/="\1"/'
    if [ -n "$disk_service" ]; then
        # The desktop's disk service as a booted system has it; it mounts under /media.
        cat <<'SERVICE'
mount -t tmpfs media /media && mount -t tmpfs lib /var/lib && mkdir -p /run/dbus /run/udev || exit 1
dbus-daemon --system --fork --nopidfile || exit 1
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=/run/dbus/system_bus_socket
/lib/systemd/systemd-udevd --daemon && udevadm trigger --action=add && udevadm settle --timeout=60
/usr/lib/polkit-1/polkitd --no-debug >/dev/null 2>&1 &
/usr/libexec/udisks2/udisksd --no-debug >/dev/null 2>&1 &
for _ in $(seq 600); do
    gdbus introspect --system -d org.freedesktop.UDisks2 -o /org/freedesktop/UDisks2/Manager >/dev/null 2>&1 && break
    sleep 0.1
done
SERVICE
    fi
    printf '%q ' "$@"
    echo
} > "$script"

log="$work/console-$$.log"
guest=(-m 2048 -smp 2 -nographic -no-reboot -kernel "$vmlinuz" -initrd "$initrd"
    -append "console=ttyS0 panic=-1 quiet vortle.run=$script"
    -virtfs local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap
    -serial "file:$log" -monitor none -display none)
limit=${VORTLE_GUEST_TIMEOUT:-600}
# KVM where it works: a nested KVM can hang before the kernel says a word, so a guest that has
# not started within 20 s is stopped, the finding kept for this work folder, and software
# emulation takes over.
status=
if [ -w /dev/kvm ] && [ ! -f "$work/kvm.hangs" ]; then
    timeout "$limit" qemu-system-x86_64 -accel kvm "${guest[@]}" </dev/null &
    qemu=$!
    for _ in $(seq 200); do
        grep -q vortle-guest-started "$log" 2>/dev/null && break
        kill -0 $qemu 2>/dev/null || break
        sleep 0.1
    done
    if grep -q vortle-guest-started "$log" 2>/dev/null; then
        wait $qemu
        status=$?
    else
        kill $qemu 2>/dev/null
        wait $qemu
        echo "KVM did not start the guest; software emulation" | tee "$work/kvm.hangs"
    fi
fi
if [ -z "$status" ]; then
    timeout "$limit" qemu-system-x86_64 -accel tcg "${guest[@]}" </dev/null
    status=$?
fi
rm -f "$script"
tr -d '\r' < "$log"
result=$(tr -d '\r' < "$log" | sed -n 's/^vortle-guest-exit: \([0-9]*\)$/\1/p' | tail -n1)
rm -f "$log"
if [ -z "$result" ]; then
    [ $status -eq 124 ] && { echo "the guest did not end within 10 minutes"; exit 1; }
    skip "the guest did not start (qemu exited with $status)"
fi
exit "$result"

#!/bin/bash
# The first process of the guest that scripts/guest/run.sh boots; scripts/guest/image.sh puts
# it into the image as /sbin/vornakdsn-init. Mounts what a Debian system has and the two
# folders the host shares (the control folder, then the checkout at the path it has on the
# host), sets the clock from the host's, puts the folder that the control folder's "local"
# names on the guest's own disk (scripts/guest/inside/own-disk.sh of the checkout), runs
# scripts/guest/inside/command.sh of the checkout with its output on the second and third serial
# ports, and powers the guest off.
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
export HOME=/root LANG=C.UTF-8 TERM=dumb
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
mount -t tmpfs tmpfs /run
mount -t tmpfs tmpfs /tmp
mount -o remount,rw /
hostname vornakdsn-guest
ip link set lo up

share() {  # share TAG FOLDER
    mkdir -p "$2" && mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000,cache=loose "$1" "$2"
}
modprobe -a 9pnet_virtio 9p
if share control /run/control && share checkout "$(cat /run/control/checkout)"; then
    # Files on the shares carry the host's times, and the guest's clock falls behind the
    # host's by a little: a second ahead, no file is ever in the guest's future for make.
    touch /run/control/now && date -s "@$(($(stat -c %Y /run/control/now) + 1))" >/dev/null
    # Packages whose set-up needed 32-bit code that the host, making the image, could not run.
    [ -z "$(dpkg --audit)" ] || dpkg --configure -a >/dev/ttyS0 2>&1
    stty -F /dev/ttyS1 raw -echo
    stty -F /dev/ttyS2 raw -echo
    checkout=$(cat /run/control/checkout)
    if [ ! -s /run/control/local ] ||
        bash "$checkout/scripts/guest/inside/own-disk.sh" /dev/vdb \
            "$checkout/$(cat /run/control/local)" >/dev/ttyS2 2>&1 </dev/null; then
        bash "$checkout/scripts/guest/inside/command.sh" /run/control \
            >/dev/ttyS1 2>/dev/ttyS2 </dev/null
    fi
    sync
fi
echo o >/proc/sysrq-trigger
sleep 60

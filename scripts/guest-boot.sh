#!/bin/bash
# usage: scripts/guest-boot.sh GUEST DISK CONTROL kvm|tcg SECONDS
# Boots once the guest whose kernel and initramfs lie in GUEST (see guest-image.sh) from DISK
# (qcow2 or raw), sharing this checkout at its own path and the folder CONTROL, in which its
# first process finds the command to run (see guest-run.sh). The command's output comes on
# this standard output and error, the guest's console goes to CONTROL/console.log. The guest
# powers itself off when the command ends; it is ended after SECONDS, and when this script
# is (Ctrl-C included). Exits 0 when the guest powered off by itself.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
guest=$1 disk=$2 control=$3 accel=$4 seconds=$5

if [ "$accel" = kvm ]; then
    machine=(-accel kvm -cpu host)
else
    # Without SMAP: QEMU 7.2's plain emulation takes the stack reads of a 32-bit iret for
    # supervisor accesses, and every Wine process dies. Without 5-level paging it does less
    # on every system call.
    machine=(-accel tcg,thread=multi -cpu max,-smap,-la57)
fi
format=raw
[[ $disk != *.qcow2 ]] || format=qcow2
shares=()
for tag_folder in "checkout=$root" "control=$control"; do
    shares+=(-virtfs "local,path=${tag_folder#*=},mount_tag=${tag_folder%%=*},security_model=none,multidevs=remap")
done
# A file chardev opens its path again with an offset of its own, which would write over what
# this script's caller writes: the caller's own descriptors are handed over instead.
timeout -k 10 "$seconds" qemu-system-x86_64 -nodefaults -no-user-config -no-reboot \
    -display none -monitor none "${machine[@]}" -smp "$(nproc)" -m 6G \
    -kernel "$guest/vmlinuz" -initrd "$guest/initrd.img" \
    -append "root=/dev/vda rw console=ttyS0 quiet mitigations=off panic=-1 init=/sbin/vornakdsn-init" \
    -drive "file=$disk,if=virtio,format=$format,cache=unsafe" \
    "${shares[@]}" \
    -serial "file:$control/console.log" \
    -add-fd fd=3,set=1 -chardev file,id=output,path=/dev/fdset/1,append=on -serial chardev:output \
    -add-fd fd=4,set=2 -chardev file,id=errors,path=/dev/fdset/2,append=on -serial chardev:errors \
    3>&1 4>&2 &
qemu=$!
trap 'kill -TERM "$qemu" 2>/dev/null; wait "$qemu"' EXIT
trap 'exit 130' INT TERM
wait "$qemu"

#!/bin/bash
# usage: scripts/guest/boot.sh GUEST DISK CONTROL kvm|tcg SECONDS COMMAND [ARGUMENT...]
# Boots once the guest whose kernel and initramfs lie in GUEST (see image.sh) from DISK (qcow2
# or raw), sharing this checkout at its own path and the folder CONTROL, into which it writes
# COMMAND for the guest's first process (see inside/command.sh), with the caller's CTEST_* and
# VORNAKDSN_* settings (signing's aside); the guest runs it in the checkout and leaves its exit
# status in CONTROL/status. The command's output comes on this standard output and error, the
# guest's console goes to CONTROL/console.log. The guest powers itself off when the command
# ends; it is ended after SECONDS, and when this script is. When CONTROL/local names a folder
# of the checkout, GUEST/own.img is the guest's second disk, for that folder. Takes
# VORNAKDSN_GUEST_MEMORY (MiB; three quarters of what the host has free, at most 6144, unless
# set) and VORNAKDSN_GUEST_CPUS (all the host's unless set). Exits 0 when the guest powered
# off by itself, 124 when its time ran out, 130 on Ctrl-C and 143 on SIGTERM, having ended QEMU
# either way.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=scripts/release/lib.sh
. "$root/scripts/release/lib.sh"
guest=$1 disk=$2 control=$3 accel=$4 seconds=$5
rm -f "$control/status" "$control/output" "$control/errors"
printf '%s\0' "${@:6}" >"$control/command"
printf '%s' "$root" >"$control/checkout"
without_signing env -0 | grep -zE '^(CTEST|VORNAKDSN)_' >"$control/settings" || true

if [ "$accel" = kvm ]; then
    machine=(-accel kvm -cpu host)
else
    # Without SMAP: QEMU 7.2's plain emulation takes the stack reads of a 32-bit iret for
    # supervisor accesses, and every Wine process dies. Without 5-level paging it does less
    # on every system call.
    machine=(-accel tcg,thread=multi -cpu max,-smap,-la57)
fi
free=$(awk '$1 == "MemAvailable:" { print int($2 / 1024 * 3 / 4) }' /proc/meminfo)
memory=${VORNAKDSN_GUEST_MEMORY:-$((free < 6144 ? free : 6144))}
format=raw
[[ $disk != *.qcow2 ]] || format=qcow2
# QEMU reads a comma in an option's value as the end of it, and two as one.
value() {
    printf '%s' "${1//,/,,}"
}
own=()
[ ! -s "$control/local" ] ||
    own=(-drive "file=$(value "$guest/own.img"),if=virtio,format=raw,discard=unmap")
shares=()
for tag_folder in "checkout=$root" "control=$control"; do
    shares+=(-virtfs "local,path=$(value "${tag_folder#*=}"),mount_tag=${tag_folder%%=*},security_model=none,multidevs=remap")
done
copiers=()
finished=
# Set before anything starts, so that a signal at any point ends what has started. QEMU is the
# last thing started in the background, also when the signal came before its number was kept.
# Run by the signal's own trap: a second signal (the caller passes its own on) during an exit
# would end this script without its EXIT trap.
finish() {
    trap '' INT TERM
    [ -z "$finished" ] || return 0
    finished=yes
    local last=${!:-} pipe
    if [ -n "$last" ]; then
        kill -TERM "$last" 2>/dev/null || true
        wait "$last" 2>/dev/null || true
    fi
    # A copier whose pipe QEMU never opened waits for a writer: one comes and goes.
    for pipe in "$control/output" "$control/errors"; do
        if [ -p "$pipe" ]; then
            exec 5<>"$pipe"
            exec 5>&-
        fi
    done
    [ ${#copiers[@]} -eq 0 ] || wait "${copiers[@]}" || true
    rm -f "$control/output" "$control/errors"
}
trap finish EXIT
trap 'finish; exit 130' INT
trap 'finish; exit 143' TERM
# The output ports write into pipes that this script copies to its own standard output and
# error, whatever those are: QEMU can neither be handed a terminal nor share a file's offset.
mkfifo "$control/output" "$control/errors"
cat "$control/output" &
copiers=($!)
cat "$control/errors" >&2 &
copiers+=($!)
timeout -k 10 "$seconds" qemu-system-x86_64 -nodefaults -no-user-config -no-reboot \
    -display none -monitor none "${machine[@]}" -smp "${VORNAKDSN_GUEST_CPUS:-$(nproc)}" \
    -m "$memory" -kernel "$guest/vmlinuz" -initrd "$guest/initrd.img" \
    -append "root=/dev/vda rw console=ttyS0 quiet mitigations=off panic=-1 init=/sbin/vornakdsn-init" \
    -drive "file=$(value "$disk"),if=virtio,format=$format,cache=unsafe" "${own[@]}" \
    "${shares[@]}" \
    -serial "file:$(value "$control/console.log")" \
    -chardev "file,id=output,path=$(value "$control/output")" -serial chardev:output \
    -chardev "file,id=errors,path=$(value "$control/errors")" -serial chardev:errors &
qemu=$!
status=0
wait "$qemu" || status=$?
exit "$status"

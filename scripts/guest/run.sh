#!/bin/bash
# usage: scripts/guest/run.sh COMMAND [ARGUMENT...]
# Runs COMMAND (./run.sh or ./test.sh, with its arguments) in a Debian 12 guest under QEMU, on
# this very checkout shared into the guest at its own path, so that what it builds lands where
# it would here. Its output comes back on this standard output and error, and its exit status
# is this script's. The guest (see guest-image.sh) is made on first use; each run starts from
# it as made and leaves it so. KVM where /dev/kvm is usable and the guest runs 32-bit code
# with it (asked once and remembered beside the guest), plain emulation otherwise, or always
# with VORNAKDSN_GUEST_ACCEL=tcg. A run is ended after VORNAKDSN_GUEST_MINUTES (85).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
minutes=${VORNAKDSN_GUEST_MINUTES:-85}
[ $# -gt 0 ] || { echo "usage: scripts/guest/run.sh COMMAND [ARGUMENT...]" >&2; exit 2; }

guest=$("$root/scripts/guest/image.sh")
control=$(mktemp -d)
trap 'rm -rf "$control"' EXIT

# boot ACCEL SECONDS COMMAND...: one guest from a throwaway copy of the image.
boot() {
    rm -f "$control/disk.qcow2"
    qemu-img create -q -f qcow2 -F raw -b "$guest/root.img" "$control/disk.qcow2"
    "$root/scripts/guest/boot.sh" "$guest" "$control/disk.qcow2" "$control" "$@"
}

accel=tcg
if [ "${VORNAKDSN_GUEST_ACCEL:-auto}" != tcg ] && [ -r /dev/kvm ] && [ -w /dev/kvm ]; then
    if [ ! -e "$guest/kvm" ]; then
        # On a host that is itself a guest, KVM may abort at once or spin without booting.
        echo "guest: trying KVM (at most a minute)" >&2
        verdict=no
        if boot kvm 60 scripts/runs-32-bit.sh >/dev/null 2>&1 &&
            [ "$(cat "$control/status" 2>/dev/null)" = 0 ]; then
            verdict=yes
        fi
        echo "$verdict" >"$guest/kvm"
    fi
    [ "$(cat "$guest/kvm")" = no ] || accel=kvm
fi

echo "guest: booting ($accel; console in $control/console.log while it runs)" >&2
status=0
boot "$accel" $((minutes * 60)) "$@" || status=$?
[ "$status" != 130 ] || exit 130
if [ ! -s "$control/status" ]; then
    tail -n 20 "$control/console.log" >&2 2>/dev/null || true
    echo "guest: ended without the command's status (qemu: $status; $minutes-minute limit)" >&2
    exit 125
fi
exit "$(cat "$control/status")"

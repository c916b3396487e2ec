#!/bin/bash
# usage: scripts/guest/run.sh [--local FOLDER] COMMAND [ARGUMENT...]
# Runs COMMAND (a path in this checkout, with its arguments) in a Debian 12 guest under QEMU,
# on this very checkout shared into the guest at its own path, so that what it writes lands
# where it would here. Its output comes back on this standard output and error, and its exit
# status is this script's. The guest (see image.sh) is made on first use; each run starts
# from it as made and leaves it so. KVM where /dev/kvm is usable and the guest runs 32-bit code
# with it (asked once per host and remembered), plain emulation otherwise, or always with
# VORNAKDSN_GUEST_ACCEL=tcg. A run is ended after VORNAKDSN_GUEST_MINUTES (85). Ctrl-C ends it
# with 130 and SIGTERM with 143, the guest with it, and neither leaves a verdict on KVM.
# With --local, FOLDER of the checkout lies in the guest on a disk of the guest's own, kept
# beside it (see inside/own-disk.sh), not on the share: Wine there runs twice as fast, and what
# COMMAND leaves there (Wine prefixes that take minutes to make under emulation) is there on
# the next run, and never here. One run at a time has that disk; another waits.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=scripts/lib.sh
. "$root/scripts/lib.sh"
minutes=${VORNAKDSN_GUEST_MINUTES:-85}
local=
if [ "${1-}" = --local ] && [ $# -ge 2 ]; then
    local=$2
    shift 2
fi
[ $# -gt 0 ] || die 2 "usage: scripts/guest/run.sh [--local FOLDER] COMMAND [ARGUMENT...]"

# Also where the guest came ready from elsewhere.
command -v qemu-system-x86_64 qemu-img >/dev/null ||
    "$root/scripts/install-dependencies.sh" --guest-tools
guest=$("$root/scripts/guest/image.sh")
control=$(mktemp -d)
pending=
stop() {
    if [ -n "$pending" ]; then
        kill -TERM "$pending" 2>/dev/null || true
        wait "$pending" 2>/dev/null || true
    fi
    exit "$1"
}
trap 'rm -rf "$control"' EXIT
trap 'stop 130' INT
trap 'stop 143' TERM
# While it runs, the guest is in use: a build of another one does not remove it.
exec 8<"$guest/ready"
flock -s 8

# waited COMMAND...: COMMAND's status. Waited for in the background, so that a signal to this
# script is taken at once (and ends COMMAND).
waited() {
    local status=0
    "$@" &
    pending=$!
    wait "$pending" || status=$?
    pending=
    return "$status"
}

# boot ACCEL SECONDS COMMAND...: one guest from a throwaway copy of the image.
boot() {
    rm -f "$control/disk.qcow2"
    qemu-img create -q -f qcow2 -F raw -b "$guest/root.img" "$control/disk.qcow2"
    waited "$root/scripts/guest/boot.sh" "$guest" "$control/disk.qcow2" "$control" "$@"
}

# What KVM does depends on the host (a host that is itself a guest may abort at once or spin
# without booting), so the verdict is kept per host and kernel, not with the guest.
accel=tcg
cache=$(dirname "$guest")
host="$(cat /etc/machine-id 2>/dev/null) $(uname -r)"
if [ "${VORNAKDSN_GUEST_ACCEL:-auto}" != tcg ] && [ -r /dev/kvm ] && [ -w /dev/kvm ]; then
    verdict=$(awk -v host="$host" '$1 " " $2 == host { print $3 }' "$cache/kvm" 2>/dev/null || true)
    if [ -z "$verdict" ]; then
        echo "guest: trying KVM (at most a minute)" >&2
        status=0
        boot kvm 60 scripts/runs-32-bit.sh >/dev/null 2>&1 || status=$?
        verdict=no
        [ "$status" != 0 ] || [ "$(cat "$control/status" 2>/dev/null)" != 0 ] || verdict=yes
        echo "$host $verdict" >>"$cache/kvm"
    fi
    [ "$verdict" = no ] || accel=kvm
fi

if [ -n "$local" ]; then
    # Sparse: it takes on the host only what the guest has written.
    [ -e "$guest/own.img" ] || truncate -s 8G "$guest/own.img"
    exec 9<"$guest/own.img"
    if ! flock -xn 9; then
        echo "guest: waiting for another run to give up the guest's own disk" >&2
        # The lock taken on the shared descriptor is this script's.
        waited flock -x 9
    fi
    printf '%s' "$local" >"$control/local"
fi

echo "guest: booting ($accel; console in $control/console.log while it runs)" >&2
status=0
boot "$accel" $((minutes * 60)) "$@" || status=$?
if [ ! -s "$control/status" ]; then
    tail -n 20 "$control/console.log" >&2 2>/dev/null || true
    die 125 "ended without the command's status (qemu: $status; $minutes-minute limit)"
fi
exit "$(cat "$control/status")"

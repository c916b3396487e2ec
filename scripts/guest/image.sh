#!/bin/bash
# usage: scripts/guest/image.sh [--folder]
# Prints the folder of the Debian 12 guest that scripts/guest/run.sh boots (root.img,
# vmlinuz, initrd.img), building it first when it is missing: debootstrap, Debian's kernel,
# and what scripts/install-dependencies.sh --wine installs, fetched the way this machine's apt
# fetches (its mirrors and proxy, and http_proxy and https_proxy where set). Kept below
# VORNAKDSN_GUEST_CACHE (~/.cache/vornakdsn-guest unless set), in a folder named after this
# script and the files of the checkout that go into the guest (into_guest below), so that a
# change to any of them makes a new one; older ones are removed unless a run is using them.
# One build at a time: a second waits for the first and takes its guest. Progress goes to
# standard error. With --folder, only prints where the guest is or would be. Takes 2 to 15
# minutes.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=scripts/lib.sh
. "$root/scripts/lib.sh"
cache=${VORNAKDSN_GUEST_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vornakdsn-guest}
# What the guest holds of the checkout, below /opt/vornakdsn as here: the install script and
# what it sources, and the guest's first process.
into_guest=(scripts/install-dependencies.sh scripts/lib.sh scripts/release/lib.sh
            scripts/guest/inside/init.sh)
key=$(cd "$root" && sha256sum scripts/guest/image.sh "${into_guest[@]}" | sha256sum | cut -c1-16)
guest=$cache/guest-$key
if [ "${1-}" = --folder ] || [ -e "$guest/ready" ]; then
    echo "$guest"
    exit 0
fi

say() { echo "guest image: $*" >&2; }
[ "$(id -u)" -eq 0 ] || die 1 "making the guest takes root (debootstrap, chroot)"
# The mounts made for the chroot die with this script, however it ends, in a mount namespace
# of its own: left behind, a removal of the folder would go through them into the host's /dev.
# (Whose namespace process 1 has cannot be read in every container: this process marks itself.)
if [ "${vornakdsn_guest_mounts-}" != $$ ]; then
    vornakdsn_guest_mounts=$$ exec unshare --mount --propagation private "$0" "$@"
fi
mkdir -p "$cache"
exec 9>"$cache/lock"
if ! flock -n 9; then
    say "waiting for another build of the guest"
    flock 9
fi
if [ -e "$guest/ready" ]; then
    echo "$guest"
    exit 0
fi
"$root/scripts/install-dependencies.sh" --guest-tools >&2
# Built aside and renamed when whole: a build cut short is never taken for a guest. What a
# killed one left has nothing mounted in it any more.
rm -rf --one-file-system "$cache"/building.*
work=$(mktemp -d "$cache/building.XXXXXX")
log=$work/log
system=$work/root
# unmount: the host's /proc, /sys and /dev, bound into the chroot.
unmount() {
    local point
    for point in proc sys dev; do
        ! mountpoint -q "$system/$point" || umount -l "$system/$point"
    done
}
trap 'unmount; rm -rf --one-file-system "$work"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
# step TEXT COMMAND...: runs COMMAND with its output in the log, for 30 minutes at most, in
# the foreground, where Ctrl-C reaches it.
step() {
    say "$1 (log: $log)"
    if ! timeout --foreground -k 10 1800 "${@:2}" >>"$log" 2>&1; then
        tail -n 20 "$log" >&2
        say "failed: $1"
        return 1
    fi
}

# This machine's way to Debian, for the chroot too.
mirror=$(debian_mirror bookworm)
mirror=${mirror:-http://deb.debian.org/debian/}
security=$(debian_mirror bookworm-security)
security=${security:-http://deb.debian.org/debian-security/}
eval "$(apt-config shell http_proxy Acquire::http::Proxy https_proxy Acquire::https::Proxy)"
export http_proxy=${http_proxy-} https_proxy=${https_proxy-}
in_guest=(chroot "$system" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root
          DEBIAN_FRONTEND=noninteractive "http_proxy=$http_proxy" "https_proxy=$https_proxy")

# debootstrapped TRY: a mirror may fail once on its release file and answer a minute later.
debootstrapped() {
    step "1/5 Debian 12 with its kernel, by debootstrap from $mirror$1" \
        debootstrap --variant=minbase --include=linux-image-amd64,kmod,iproute2,procps \
        bookworm "$system" "$mirror"
}
if ! debootstrapped ""; then
    say "trying again in a minute"
    sleep 60
    rm -rf --one-file-system "$system"
    debootstrapped " (second try)" || exit 1
fi
for point in proc sys dev; do
    mount --bind "/$point" "$system/$point"
done
cat >"$system/etc/apt/sources.list" <<SOURCES
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb $security bookworm-security main
SOURCES
mkdir -p "$system/opt/vornakdsn"
(cd "$root" && cp --parents "${into_guest[@]}" "$system/opt/vornakdsn/")
# A host that cannot run 32-bit code cannot set up a few i386 packages here, which the guest
# does: only that is forgiven, not a package that is not even unpacked.
if ! step "2/5 the packages that the guest's part needs, from $mirror and $security" \
    "${in_guest[@]}" bash /opt/vornakdsn/scripts/install-dependencies.sh --wine; then
    ! "$root/scripts/runs-32-bit.sh" 2>/dev/null || die 1 "failed: the guest's packages"
    "$root/scripts/guest/unpacked.sh" "$system/var/lib/dpkg" \
        $(bash "$root/scripts/install-dependencies.sh" --wine --list) || exit 1
fi
"${in_guest[@]}" apt-get clean
unfinished=$("${in_guest[@]}" dpkg --audit || true)
chmod 755 "$system/opt/vornakdsn/scripts/guest/inside/init.sh"
ln -s /opt/vornakdsn/scripts/guest/inside/init.sh "$system/sbin/vornakdsn-init"
cp "$system"/boot/vmlinuz-* "$work/vmlinuz"
cp "$system"/boot/initrd.img-* "$work/initrd.img"
unmount

step "3/5 its disk" bash -c "truncate -s 8G '$work/root.img' &&
                             mkfs.ext4 -q -F -L vornakdsn -d '$system' '$work/root.img'" || exit 1
rm -rf --one-file-system "$system"
if [ -n "$unfinished" ]; then
    mkdir "$work/control"
    step "4/5 the rest of the packages' set-up, in the guest" "$root/scripts/guest/boot.sh" \
        "$work" "$work/root.img" "$work/control" tcg 1800 true && [ -s "$work/control/status" ] ||
        exit 1
    rm -rf "$work/control"
fi
say "5/5 in place"
touch "$work/ready"
mv "$work" "$guest"
# Older guests go, except one that a run is using (it holds its ready file shared).
for old in "$cache"/guest-*; do
    [ "$old" = "$guest" ] || flock -xn "$old/ready" rm -rf --one-file-system "$old" || true
done
say "ready in $guest"
echo "$guest"

#!/bin/bash
# usage: scripts/guest/image.sh [--folder]
# Prints the folder of the Debian 12 guest that scripts/guest/run.sh boots (root.img,
# vmlinuz, initrd.img), building it first when it is missing: debootstrap, Debian's kernel,
# and what scripts/install-dependencies.sh installs. Kept below VORNAKDSN_GUEST_CACHE
# (~/.cache/vornakdsn-guest unless set), in a folder named after this script, the install
# script and the guest's first process, so that a change to any of them makes a new one;
# older ones are removed. Progress goes to standard error. With --folder, only prints where
# the guest is or would be. Takes 2 to 15 minutes and about 3 GB.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=scripts/lib.sh
. "$root/scripts/lib.sh"
cache=${VORNAKDSN_GUEST_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vornakdsn-guest}
key=$(cat "$root"/scripts/{guest/image,install-dependencies,guest/inside/init}.sh | sha256sum | cut -c1-16)
guest=$cache/guest-$key
if [ "${1-}" = --folder ] || [ -e "$guest/ready" ]; then
    echo "$guest"
    exit 0
fi

say() { echo "guest image: $*" >&2; }
[ "$(id -u)" -eq 0 ] || die 1 "making the guest takes root (debootstrap, chroot)"
"$root/scripts/install-dependencies.sh" --guest-tools >&2

# Built aside and renamed when whole: a build cut short is never taken for a guest.
mkdir -p "$cache"
work=$(mktemp -d "$cache/building.XXXXXX")
mounted=()
clean() {
    local point
    for point in "${mounted[@]}"; do umount -l "$point" 2>/dev/null || true; done
    rm -rf "$work"
}
trap clean EXIT
trap 'exit 130' INT TERM
log=$work/log
system=$work/root
step() {  # step TEXT COMMAND...: runs COMMAND with its output in the log, for 30 minutes at most
    say "$1 (log: $log)"
    if ! timeout -k 10 1800 "${@:2}" >>"$log" 2>&1; then
        tail -n 20 "$log" >&2
        say "failed: $1"
        return 1
    fi
}
in_guest=(chroot "$system" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root
          DEBIAN_FRONTEND=noninteractive)

mirror=http://deb.debian.org/debian
step "1/6 Debian 12 with its kernel, by debootstrap" \
    debootstrap --variant=minbase --include=linux-image-amd64,kmod,iproute2,procps \
    bookworm "$system" "$mirror" || exit 1
for point in proc sys dev; do
    mount --bind "/$point" "$system/$point"
    mounted=("$system/$point" "${mounted[@]}")
done
cat >"$system/etc/apt/sources.list" <<SOURCES
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb $mirror bookworm-backports main
deb http://deb.debian.org/debian-security bookworm-security main
SOURCES
cp "$root/scripts/install-dependencies.sh" "$system/tmp/"
# The signing tool as these machines have it, from backports.
step "2/6 the signing tool, from backports" "${in_guest[@]}" bash -c \
    'apt-get update -q &&
     apt-get install -y -q --no-install-recommends -t bookworm-backports osslsigncode'
# A host that cannot run 32-bit code cannot set up a few i386 packages here: the guest does.
if ! step "3/6 the project's packages" "${in_guest[@]}" bash /tmp/install-dependencies.sh; then
    "$root/scripts/runs-32-bit.sh" 2>/dev/null && die 1 "failed: the project's packages"
fi
"${in_guest[@]}" apt-get clean
unfinished=$("${in_guest[@]}" dpkg --audit || true)
cp "$root/scripts/guest/inside/init.sh" "$system/sbin/vornakdsn-init"
chmod 755 "$system/sbin/vornakdsn-init"
cp "$system"/boot/vmlinuz-* "$work/vmlinuz"
cp "$system"/boot/initrd.img-* "$work/initrd.img"
for point in "${mounted[@]}"; do umount -l "$point"; done
mounted=()

step "4/6 its disk" bash -c "truncate -s 8G '$work/root.img' &&
                             mkfs.ext4 -q -F -L vornakdsn -d '$system' '$work/root.img'" || exit 1
rm -rf "$system"
if [ -n "$unfinished" ]; then
    mkdir "$work/control"
    step "5/6 the rest of the packages' set-up, in the guest" "$root/scripts/guest/boot.sh" \
        "$work" "$work/root.img" "$work/control" tcg 1800 true && [ -s "$work/control/status" ] ||
        exit 1
    rm -rf "$work/control"
fi
say "6/6 in place"
touch "$work/ready"
rm -rf "${cache:?}"/guest-*
mv "$work" "$guest"
say "ready in $guest"
echo "$guest"

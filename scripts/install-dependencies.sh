#!/bin/bash
# usage: scripts/install-dependencies.sh [JOB...] [--list]
# Installs, on Debian 12 as root, what the jobs need and the machine lacks, in one go. The jobs:
#   (none)         building and testing it all here
#   --program      building the program and the Windows helpers that running it needs
#   --run          that, and Wine to run it here (./run.sh)
#   --release      building, packaging, signing and checking a release (neither Wine nor
#                  32-bit code)
#   --build        that, and what builds and runs the tests that need no Wine
#   --wine         what runs the rest, under Wine (the guest's part, see scripts/guest/run.sh)
#   --guest-tools  what makes and boots that guest
# Quick when everything is there: it only asks dpkg. Run as another user, it only checks, and
# names what is missing with status 2. With --list, only prints the job's packages.
set -euo pipefail
# shellcheck source=scripts/lib.sh
. "$(dirname "$0")/lib.sh"
# shellcheck source=scripts/release/lib.sh
. "$(dirname "$0")/release/lib.sh"

program=(g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev cmake make)
release=("${release_tools[@]}" "${release_helpers[@]}")
build=("${release[@]}" googletest softhsm2 opensc gnutls-bin libengine-pkcs11-openssl ansible)
windows=(wine wine32:i386 wine64)
# The deployment recipes' play runs against stand-ins of the Windows modules: ansible-core alone.
wine=("${windows[@]}" xvfb xauth cmake ansible-core)
jobs=()
list=no
for argument in "$@"; do
    case $argument in
    --list) list=yes ;;
    --guest-tools | --program | --run | --release | --build | --wine) jobs+=("$argument") ;;
    *) die 2 "usage: scripts/install-dependencies.sh [--program | --run | --release | --build | --wine | --guest-tools]... [--list]" ;;
    esac
done
[ ${#jobs[@]} -gt 0 ] || jobs=(everything)
packages=()
for job in "${jobs[@]}"; do
    case $job in
    --guest-tools) packages+=(debootstrap qemu-system-x86 qemu-utils e2fsprogs) ;;
    --program) packages+=("${program[@]}") ;;
    --run) packages+=("${program[@]}" "${windows[@]}") ;;
    --release) packages+=("${release[@]}") ;;
    --build) packages+=("${build[@]}") ;;
    --wine) packages+=("${wine[@]}") ;;
    everything) packages+=("${build[@]}" "${wine[@]}") ;;
    esac
done
if [ "$list" = yes ]; then
    printf '%s\n' "${packages[@]}"
    exit 0
fi

# Releases are made and checked with osslsigncode 2.9 from bookworm-backports: bookworm's own
# 2.5 extracts a program's signature with a header that nothing can attach again.
wanted() {
    local version
    version=$(dpkg-query -W -f='${Status} ${Version}' "$1" 2>/dev/null) || return 1
    [[ $version == "install ok installed "* ]] || return 1
    [ "$1" != osslsigncode ] || dpkg --compare-versions "${version##* }" ge 2.9
}
missing=()
for package in "${packages[@]}"; do
    wanted "$package" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

[ "$(id -u)" -eq 0 ] ||
    die 2 "missing ${missing[*]}: as root, scripts/install-dependencies.sh $* installs them"
echo "installing: ${missing[*]}" >&2
if [[ " ${missing[*]} " == *" wine32:i386 "* ]] &&
    ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
# Backports from the mirror that apt already uses for bookworm.
if [[ " ${missing[*]} " == *" osslsigncode "* ]] && [ -z "$(debian_mirror bookworm-backports)" ]; then
    mirror=$(debian_mirror bookworm)
    [ -n "$mirror" ] || die 1 "apt has no source for Debian 12 (bookworm) to take backports from"
    echo "deb $mirror bookworm-backports main" >/etc/apt/sources.list.d/bookworm-backports.list
fi
export DEBIAN_FRONTEND=noninteractive
# A mirror caught mid-sync serves indexes that its release file does not match, for a while
# (or, behind a stale cache, for days). Without them apt-get install still refuses whatever
# the indexes it has cannot install consistently.
updated=yes
if ! apt-get update -q >&2; then
    echo "apt-get update failed; trying again in a minute" >&2
    sleep 60
    if ! apt-get update -q >&2; then
        echo "apt-get update failed again; installing from the indexes that apt has" >&2
        updated=no
    fi
fi
others=()
for package in "${missing[@]}"; do
    [ "$package" = osslsigncode ] || others+=("$package")
done
install=(apt-get install -y -q --no-install-recommends)
# Where a suite's index for one architecture is missing (bookworm-security's i386, say), its
# updates of the other cannot be matched, and a library wanted for both cannot be installed:
# bookworm's own versions, which it has for both, can.
status=0
[ ${#others[@]} -eq 0 ] || "${install[@]}" "${others[@]}" >&2 || status=$?
if [ "$status" -ne 0 ]; then
    [ "$updated" = no ] || exit "$status"
    echo "trying again with bookworm's own versions first" >&2
    "${install[@]}" -t bookworm "${others[@]}" >&2
fi
[ ${#others[@]} -eq ${#missing[@]} ] || "${install[@]}" -t bookworm-backports osslsigncode >&2

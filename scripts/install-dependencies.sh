#!/bin/bash
# usage: scripts/install-dependencies.sh [--guest-tools]
# Installs, on Debian 12 as root, whatever the build and the tests need and the machine lacks;
# with --guest-tools, what a host needs to run them in a guest instead (scripts/guest/run.sh).
# Quick when everything is there: it only asks dpkg.
set -euo pipefail

if [ "${1-}" = --guest-tools ]; then
    packages=(debootstrap qemu-system-x86 qemu-utils e2fsprogs)
else
    packages=(wine wine32:i386 wine64 g++-mingw-w64-i686-posix binutils-mingw-w64-i686 cmake make
              git xvfb xauth googletest wixl msitools faketime osslsigncode openssl softhsm2 opensc
              gnutls-bin libengine-pkcs11-openssl python3)
fi

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "install-dependencies.sh: missing ${missing[*]}; run as root to install them" >&2
    exit 1
fi
echo "installing: ${missing[*]}"
if [ "${1-}" != --guest-tools ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"

#!/bin/bash
# Installs, on Debian 12 as root, whatever the build and the tests need and the machine lacks.
# Quick when everything is there: it only asks dpkg.
set -euo pipefail

packages=(wine wine32:i386 wine64 g++-mingw-w64-i686-posix binutils-mingw-w64-i686 cmake xvfb xauth
          googletest wixl msitools faketime osslsigncode openssl softhsm2 opensc gnutls-bin
          libengine-pkcs11-openssl
          python3)

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
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"

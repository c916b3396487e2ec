#!/bin/bash
# usage: scripts/package.sh PROGRAM VERSION OUTPUT-FOLDER
# Writes into OUTPUT-FOLDER the program as vornakdsn.exe, the Windows Installer package
# vornakdsn-VERSION.msi that installs it, and SHA256SUMS for both. With VORNAKDSN_SIGN_PKCS12
# (a .p12/.pfx file) and VORNAKDSN_SIGN_PASSWORD set, the program is Authenticode-signed
# before it goes into the package, and the package is signed too.
set -euo pipefail
program=$(realpath "$1")
version=$2
out=$3
wxs=$(cd "$(dirname "$0")/../package" && pwd)/vornakdsn.wxs
msi=vornakdsn-$version.msi

signing=no
if [ -n "${VORNAKDSN_SIGN_PKCS12:-}" ] && [ -n "${VORNAKDSN_SIGN_PASSWORD:-}" ]; then
    signing=yes
elif [ -n "${VORNAKDSN_SIGN_PKCS12:-}${VORNAKDSN_SIGN_PASSWORD:-}" ]; then
    echo "package.sh: set both VORNAKDSN_SIGN_PKCS12 and VORNAKDSN_SIGN_PASSWORD, or neither" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The password goes to the signing tool in a file only this user can read, not on its
# command line, where any process could see it.
(umask 077 && printf '%s' "${VORNAKDSN_SIGN_PASSWORD:-}" >"$work/password")

sign() {
    osslsigncode sign -pkcs12 "$VORNAKDSN_SIGN_PKCS12" -readpass "$work/password" -h sha256 \
        -n vornakdsn -in "$1" -out "$work/signed" >/dev/null
    mv "$work/signed" "$1"
}

mkdir -p "$out"
cd "$out"
rm -f vornakdsn.exe vornakdsn-*.msi SHA256SUMS
cp "$program" vornakdsn.exe
[ "$signing" = no ] || sign vornakdsn.exe

# wixl finds the program the package names in the folder it runs in.
wixl -a x86 -D Version="$version" -o "$msi" "$wxs"
# wixl writes SecureCustomProperties itself and cannot be told to add to it. Listed there,
# DATABASEPATH reaches the installing service also when the install is a managed one.
secure=$(msiinfo export "$msi" Property | awk -F'\t' '$1 == "SecureCustomProperties" { print $2 }')
msibuild "$msi" -q "UPDATE Property SET Value = '${secure:+$secure;}DATABASEPATH' WHERE Property = 'SecureCustomProperties'"
[ "$signing" = no ] || sign "$msi"

sha256sum vornakdsn.exe "$msi" >SHA256SUMS
if [ "$signing" = no ]; then
    echo "not signed: set VORNAKDSN_SIGN_PKCS12 and VORNAKDSN_SIGN_PASSWORD to sign"
fi
echo "wrote $out: vornakdsn.exe $msi SHA256SUMS"

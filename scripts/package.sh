#!/bin/bash
# usage: scripts/package.sh PROGRAM VERSION OUTPUT-FOLDER
# Writes into OUTPUT-FOLDER the program as vornakdsn.exe, the Windows Installer package
# vornakdsn-VERSION.msi that installs it, and SHA256SUMS for both. Signs both, the program
# before it goes into the package, with one of two keys that the environment names:
#   a .p12/.pfx file: VORNAKDSN_SIGN_PKCS12, and its password in VORNAKDSN_SIGN_PASSWORD;
#   a key on a token or HSM: VORNAKDSN_SIGN_PKCS11_MODULE (its PKCS#11 library),
#     VORNAKDSN_SIGN_PKCS11_KEY (the key's PKCS#11 URI), VORNAKDSN_SIGN_CERT (the
#     certificate with its chain, PEM or DER), and the PIN in VORNAKDSN_SIGN_PASSWORD;
# and, with VORNAKDSN_SIGN_TIMESTAMP_URL (an RFC 3161 time-stamping server), time-stamps both
# signatures, so that they still verify after the certificate expires. Settings that are
# incomplete or contradict each other are refused, and a signature or time stamp that cannot
# be made fails the whole; either way OUTPUT-FOLDER is left without any of the three files.
set -euo pipefail
program=$(realpath "$1")
version=$2
out=$3
wxs=$(cd "$(dirname "$0")/../package" && pwd)/vornakdsn.wxs
msi=vornakdsn-$version.msi

# Whatever an earlier run left would pass for this run's result.
mkdir -p "$out"
rm -f "$out/vornakdsn.exe" "$out"/vornakdsn-*.msi "$out/SHA256SUMS"

refuse() {
    echo "package.sh: $*" >&2
    exit 1
}

p12=${VORNAKDSN_SIGN_PKCS12:-}
module=${VORNAKDSN_SIGN_PKCS11_MODULE:-}
key=${VORNAKDSN_SIGN_PKCS11_KEY:-}
cert=${VORNAKDSN_SIGN_CERT:-}
password=${VORNAKDSN_SIGN_PASSWORD:-}
timestamp_url=${VORNAKDSN_SIGN_TIMESTAMP_URL:-}
if [ -n "$p12" ] && [ -n "$module$key$cert" ]; then
    refuse "set either VORNAKDSN_SIGN_PKCS12 or the token's VORNAKDSN_SIGN_PKCS11_MODULE," \
           "VORNAKDSN_SIGN_PKCS11_KEY and VORNAKDSN_SIGN_CERT, not both"
elif [ -n "$p12" ]; then
    signing=pkcs12
    [ -n "$password" ] || refuse "VORNAKDSN_SIGN_PKCS12 needs its password in VORNAKDSN_SIGN_PASSWORD"
elif [ -n "$module$key" ]; then
    signing=pkcs11
    for name in VORNAKDSN_SIGN_PKCS11_MODULE VORNAKDSN_SIGN_PKCS11_KEY VORNAKDSN_SIGN_CERT; do
        [ -n "${!name:-}" ] || refuse "a token's key needs VORNAKDSN_SIGN_PKCS11_MODULE," \
                                      "VORNAKDSN_SIGN_PKCS11_KEY and VORNAKDSN_SIGN_CERT: $name is not set"
    done
    case $key in
    *pin-value=*) refuse "VORNAKDSN_SIGN_PKCS11_KEY holds a PIN: give it in VORNAKDSN_SIGN_PASSWORD" ;;
    esac
else
    signing=no
    for name in VORNAKDSN_SIGN_PASSWORD VORNAKDSN_SIGN_CERT VORNAKDSN_SIGN_TIMESTAMP_URL; do
        [ -z "${!name:-}" ] || refuse "$name is set, but no key to sign with: set" \
                                      "VORNAKDSN_SIGN_PKCS12, or VORNAKDSN_SIGN_PKCS11_MODULE and VORNAKDSN_SIGN_PKCS11_KEY"
    done
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The password or PIN goes to the signing tool in a file only this user can read, not on its
# command line, where any process could see it.
(umask 077 && printf '%s' "$password" >"$work/password")

sign() {
    local options=(-h sha256 -n vornakdsn -readpass "$work/password")
    if [ "$signing" = pkcs12 ]; then
        options+=(-pkcs12 "$p12")
    else
        options+=(-pkcs11module "$module" -key "$key" -certs "$cert")
    fi
    [ -z "$timestamp_url" ] || options+=(-ts "$timestamp_url")
    # A time-stamping server that accepts and never answers must not hold up the release.
    if ! timeout 300 osslsigncode sign "${options[@]}" -in "$1" -out "$work/signed" \
        >"$work/signing.log" 2>&1; then
        cat "$work/signing.log" >&2
        refuse "cannot sign $1${timestamp_url:+ with a time stamp from $timestamp_url}"
    fi
    mv "$work/signed" "$1"
}

cd "$work"
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

# The checksums last: a folder with SHA256SUMS holds a whole release.
cd - >/dev/null
mv "$work/vornakdsn.exe" "$work/$msi" "$out/"
mv "$work/SHA256SUMS" "$out/"
case $signing-$timestamp_url in
no-*) echo "not signed: set VORNAKDSN_SIGN_PKCS12, or a token's VORNAKDSN_SIGN_PKCS11_* variables, to sign" ;;
*-) echo "signed without a time stamp: the signatures stop verifying when the certificate expires" ;;
*) echo "signed, with time stamps from $timestamp_url" ;;
esac
echo "wrote $out: vornakdsn.exe $msi SHA256SUMS"

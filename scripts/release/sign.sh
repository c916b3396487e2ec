#!/bin/bash
# usage: scripts/release/sign.sh --check | FILE...
# Authenticode-signs each FILE (a program, a Windows Installer package or a PowerShell script,
# which gets a signature block at its end) in place, with one
# of two keys that the environment names:
#   a .p12/.pfx file: VORNAKDSN_SIGN_PKCS12, and its password in VORNAKDSN_SIGN_PASSWORD;
#   a key on a token or HSM: VORNAKDSN_SIGN_PKCS11_MODULE (its PKCS#11 library),
#     VORNAKDSN_SIGN_PKCS11_KEY (the key's PKCS#11 URI), VORNAKDSN_SIGN_CERT (the
#     certificate with its chain, PEM or DER), and the PIN in VORNAKDSN_SIGN_PASSWORD;
# and, with VORNAKDSN_SIGN_TIMESTAMP_URL (an RFC 3161 time-stamping server), time-stamps each
# signature, so that it still verifies after the certificate expires. A token whose key needs
# no PIN takes none; relative paths are taken from the folder the script is started in.
# Settings that are incomplete or contradict each other are refused, and a signature or time
# stamp that cannot be made, or that Windows would not accept (see check-signature.sh), fails,
# each with one line and status 1. With --check, only checks
# the settings and prints how files would be signed: unsigned, signed or timestamped.
set -euo pipefail
# shellcheck source=scripts/lib.sh
. "$(dirname "$0")/../lib.sh"
# shellcheck source=scripts/release/lib.sh
. "$(dirname "$0")/lib.sh"

p12=${VORNAKDSN_SIGN_PKCS12:-}
module=${VORNAKDSN_SIGN_PKCS11_MODULE:-}
key=${VORNAKDSN_SIGN_PKCS11_KEY:-}
cert=${VORNAKDSN_SIGN_CERT:-}
timestamp_url=${VORNAKDSN_SIGN_TIMESTAMP_URL:-}
# Only the signing tool is told the secret, and only through a file.
take_password
no_key="set VORNAKDSN_SIGN_PKCS12, or VORNAKDSN_SIGN_PKCS11_MODULE and VORNAKDSN_SIGN_PKCS11_KEY"
if [ -n "$p12" ] && [ -n "$module$key$cert" ]; then
    die 1 "set either VORNAKDSN_SIGN_PKCS12 or the token's VORNAKDSN_SIGN_PKCS11_MODULE," \
          "VORNAKDSN_SIGN_PKCS11_KEY and VORNAKDSN_SIGN_CERT, not both"
elif [ -n "$p12" ]; then
    signing=pkcs12
    [ -n "$password" ] || die 1 "VORNAKDSN_SIGN_PKCS12 needs its password in VORNAKDSN_SIGN_PASSWORD"
elif [ -n "$module$key" ]; then
    signing=pkcs11
    for name in VORNAKDSN_SIGN_PKCS11_MODULE VORNAKDSN_SIGN_PKCS11_KEY VORNAKDSN_SIGN_CERT; do
        [ -n "${!name:-}" ] || die 1 "a token's key needs VORNAKDSN_SIGN_PKCS11_MODULE," \
                                     "VORNAKDSN_SIGN_PKCS11_KEY and VORNAKDSN_SIGN_CERT: $name is not set"
    done
    case $key in
    *pin-value=*) die 1 "VORNAKDSN_SIGN_PKCS11_KEY holds a PIN: give it in VORNAKDSN_SIGN_PASSWORD" ;;
    esac
else
    signing=no
    [ -z "$password" ] || die 1 "VORNAKDSN_SIGN_PASSWORD is set, but no key to sign with: $no_key"
    for name in VORNAKDSN_SIGN_CERT VORNAKDSN_SIGN_TIMESTAMP_URL; do
        [ -z "${!name:-}" ] || die 1 "$name is set, but no key to sign with: $no_key"
    done
fi

# The signing tool runs in a folder of its own: a file named relative to where the script
# started is named by its full path. A module without a folder is the system's to find.
absolute() {
    local path
    [ -n "${!1}" ] || return 0
    path=$(realpath -e -- "${!1}" 2>/dev/null) || die 1 "$2 names '${!1}', which does not exist"
    printf -v "$1" '%s' "$path"
}
absolute p12 VORNAKDSN_SIGN_PKCS12
absolute cert VORNAKDSN_SIGN_CERT
[[ $module != */* ]] || absolute module VORNAKDSN_SIGN_PKCS11_MODULE

if [ "${1-}" = --check ]; then
    case $signing-$timestamp_url in
    no-*) echo unsigned ;;
    *-) echo signed ;;
    *) echo timestamped ;;
    esac
    exit 0
fi
[ "$signing" != no ] || die 1 "no key to sign with: $no_key"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The password or PIN goes to the signing tool in a file only this user can read, not on its
# command line, where any process could see it.
(umask 077 && printf '%s' "$password" >"$work/password")

options=(-h sha256 -n vornakdsn)
# A token whose key needs no PIN: an empty password file would be an error.
[ -z "$password" ] || options+=(-readpass "$work/password")
if [ "$signing" = pkcs12 ]; then
    options+=(-pkcs12 "$p12")
else
    options+=(-pkcs11module "$module" -key "$key" -certs "$cert")
fi
[ -z "$timestamp_url" ] || options+=(-ts "$timestamp_url")
for file in "$@"; do
    # Under its own name: osslsigncode tells a script by its extension.
    signed=$work/signed/${file##*/}
    mkdir -p "$work/signed"
    # A time-stamping server that accepts and never answers must not hold up the release.
    # No input: a token that wants a PIN it was not given must not wait for one.
    if ! (cd "$work" && timeout 300 osslsigncode sign "${options[@]}" -in "$(realpath "$file")" \
          -out "$signed" </dev/null >"$work/signing.log" 2>&1); then
        cat "$work/signing.log" >&2
        die 1 "cannot sign $file${timestamp_url:+ with a time stamp from $timestamp_url}"
    fi
    # A certificate that has expired or is not for code signing signs all the same: Windows
    # would refuse what it signed.
    if ! checked=$("$(dirname "$0")/check-signature.sh" "$signed"); then
        die 1 "the signature made on $file is not one Windows accepts:" \
              "$(sed -n 's/^fault: //p' <<<"$checked")"
    fi
    mv "$signed" "$file"
done

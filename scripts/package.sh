#!/bin/bash
# usage: scripts/package.sh PROGRAM VERSION OUTPUT-FOLDER
# Writes into OUTPUT-FOLDER the program as vornakdsn.exe, the Windows Installer package
# vornakdsn-VERSION.msi that installs it, build-info.txt (see build-info.sh) and SHA256SUMS
# for the program and the package. The same program and sources give the same package
# anywhere: its time stamps are SOURCE_DATE_EPOCH (the last commit's time unless the
# environment gives it), and its product and package codes follow its content. Signs both,
# the program before it goes into the package, with one of two keys that the environment names:
#   a .p12/.pfx file: VORNAKDSN_SIGN_PKCS12, and its password in VORNAKDSN_SIGN_PASSWORD;
#   a key on a token or HSM: VORNAKDSN_SIGN_PKCS11_MODULE (its PKCS#11 library),
#     VORNAKDSN_SIGN_PKCS11_KEY (the key's PKCS#11 URI), VORNAKDSN_SIGN_CERT (the
#     certificate with its chain, PEM or DER), and the PIN in VORNAKDSN_SIGN_PASSWORD;
# and, with VORNAKDSN_SIGN_TIMESTAMP_URL (an RFC 3161 time-stamping server), time-stamps both
# signatures, so that they still verify after the certificate expires. Settings that are
# incomplete or contradict each other are refused, and a signature or time stamp that cannot
# be made fails the whole; either way OUTPUT-FOLDER is left without any of its files. A token
# whose key needs no PIN takes none; relative paths are taken from the folder the script is
# started in.
set -euo pipefail
program=$(realpath "$1")
version=$2
out=$3
root=$(cd "$(dirname "$0")/.." && pwd)
wxs=$root/package/vornakdsn.wxs
msi=vornakdsn-$version.msi

# Whatever an earlier run left would pass for this run's result.
mkdir -p "$out"
out=$(realpath "$out")
rm -f "$out/vornakdsn.exe" "$out"/vornakdsn-*.msi "$out/build-info.txt" "$out/SHA256SUMS"

refuse() {
    echo "package.sh: $*" >&2
    exit 1
}

export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || true)}
[[ $SOURCE_DATE_EPOCH =~ ^[0-9]+$ ]] ||
    refuse "SOURCE_DATE_EPOCH is '$SOURCE_DATE_EPOCH', not seconds since 1970, and no commit gives it"

p12=${VORNAKDSN_SIGN_PKCS12:-}
module=${VORNAKDSN_SIGN_PKCS11_MODULE:-}
key=${VORNAKDSN_SIGN_PKCS11_KEY:-}
cert=${VORNAKDSN_SIGN_CERT:-}
password=${VORNAKDSN_SIGN_PASSWORD:-}
timestamp_url=${VORNAKDSN_SIGN_TIMESTAMP_URL:-}
# Only the signing tool is told the secret, and only through a file.
unset VORNAKDSN_SIGN_PASSWORD
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
    [ -z "$password" ] || refuse "VORNAKDSN_SIGN_PASSWORD is set, but no key to sign with: set" \
                                 "VORNAKDSN_SIGN_PKCS12, or VORNAKDSN_SIGN_PKCS11_MODULE and VORNAKDSN_SIGN_PKCS11_KEY"
    for name in VORNAKDSN_SIGN_CERT VORNAKDSN_SIGN_TIMESTAMP_URL; do
        [ -z "${!name:-}" ] || refuse "$name is set, but no key to sign with: set" \
                                      "VORNAKDSN_SIGN_PKCS12, or VORNAKDSN_SIGN_PKCS11_MODULE and VORNAKDSN_SIGN_PKCS11_KEY"
    done
fi

# The signing tool runs in a folder of its own: a file named relative to where the script
# started is named by its full path. A module without a folder is the system's to find.
absolute() {
    local path
    [ -n "${!1}" ] || return 0
    path=$(realpath -e -- "${!1}" 2>/dev/null) || refuse "$2 names '${!1}', which does not exist"
    printf -v "$1" '%s' "$path"
}
absolute p12 VORNAKDSN_SIGN_PKCS12
absolute cert VORNAKDSN_SIGN_CERT
[[ $module != */* ]] || absolute module VORNAKDSN_SIGN_PKCS11_MODULE

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The password or PIN goes to the signing tool in a file only this user can read, not on its
# command line, where any process could see it.
(umask 077 && printf '%s' "$password" >"$work/password")

sign() {
    local options=(-h sha256 -n vornakdsn)
    # A token whose key needs no PIN: an empty password file would be an error.
    [ -z "$password" ] || options+=(-readpass "$work/password")
    if [ "$signing" = pkcs12 ]; then
        options+=(-pkcs12 "$p12")
    else
        options+=(-pkcs11module "$module" -key "$key" -certs "$cert")
    fi
    [ -z "$timestamp_url" ] || options+=(-ts "$timestamp_url")
    # A time-stamping server that accepts and never answers must not hold up the release.
    # No input: a token that wants a PIN it was not given must not wait for one.
    if ! timeout 300 osslsigncode sign "${options[@]}" -in "$1" -out "$work/signed" \
        </dev/null >"$work/signing.log" 2>&1; then
        cat "$work/signing.log" >&2
        refuse "cannot sign $1${timestamp_url:+ with a time stamp from $timestamp_url}"
    fi
    mv "$work/signed" "$1"
}

# wixl and msibuild write the time they run into the package, and the cabinet keeps the
# program's time in local time: all of them run with the clock stopped at the source's time,
# in UTC.
at_source_time() {
    TZ=UTC LC_ALL=C faketime -f "$(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S')" "$@"
}
property() {
    msiinfo export "$msi" Property | tr -d '\r' | awk -F'\t' -v name="$1" '$1 == name { print $2 }'
}
# A code of the package's own, named by TEXT within the upgrade code's namespace.
name_uuid() {
    python3 -c 'import sys, uuid
print("{%s}" % str(uuid.uuid5(uuid.UUID(sys.argv[1]), sys.argv[2])).upper())' "$1" "$2"
}
set_summary() {
    at_source_time msibuild "$msi" -s "vornakdsn $version" vornakdsn "Intel;1033" "$1"
}

cd "$work"
cp "$program" vornakdsn.exe
[ "$signing" = no ] || sign vornakdsn.exe
touch -d "@$SOURCE_DATE_EPOCH" vornakdsn.exe

# wixl finds the program the package names in the folder it runs in. It would draw the
# product code at random: a fixed one stands in until the content is known.
placeholder=00000000-0000-0000-0000-000000000000
at_source_time wixl -a x86 -D Version="$version" -D ProductCode="$placeholder" -o "$msi" "$wxs"
# wixl writes SecureCustomProperties itself and cannot be told to add to it. Listed there,
# DATABASEPATH reaches the installing service also when the install is a managed one.
secure=$(property SecureCustomProperties)
at_source_time msibuild "$msi" -q "UPDATE Property SET Value = '${secure:+$secure;}DATABASEPATH' WHERE Property = 'SecureCustomProperties'"
# wixl writes every string as REG_SZ; the event log's EventMessageFile is a REG_EXPAND_SZ,
# which a value that starts with "#%" is.
at_source_time msibuild "$msi" -q "UPDATE Registry SET Value = '#%[#vornakdsn.exe]' WHERE Name = 'EventMessageFile'"
# Another build of this same version replaces an installed one as a newer version does:
# wixl's upgrade row leaves the version itself out, so the row is made again with it
# (attribute 0x200). Attributes is part of the table's key: the row is replaced, not updated.
upgrade_code=$(property UpgradeCode)
at_source_time msibuild "$msi" \
    -q "DELETE FROM Upgrade WHERE ActionProperty = 'WIX_UPGRADE_DETECTED'" \
    -q "INSERT INTO Upgrade (UpgradeCode, VersionMax, Attributes, ActionProperty) VALUES ('$upgrade_code', '$version', 513, 'WIX_UPGRADE_DETECTED')"
# The codes follow the package's whole content, the program's signature included: Windows
# refuses a package whose product code is installed under another package code, so two
# packages that differ in any byte never share one.
set_summary "{$placeholder}"
digest=$(sha256sum "$msi" | cut -c1-64)
at_source_time msibuild "$msi" -q "UPDATE Property SET Value = '$(name_uuid "$upgrade_code" "ProductCode $digest")' WHERE Property = 'ProductCode'"
set_summary "$(name_uuid "$upgrade_code" "PackageCode $digest")"
[ "$signing" = no ] || sign "$msi"
sha256sum vornakdsn.exe "$msi" >SHA256SUMS
"$root/scripts/build-info.sh" >build-info.txt

# The checksums last: a folder with SHA256SUMS holds a whole release.
cd - >/dev/null
mv "$work/vornakdsn.exe" "$work/$msi" "$work/build-info.txt" "$out/"
mv "$work/SHA256SUMS" "$out/"
case $signing-$timestamp_url in
no-*) echo "not signed: set VORNAKDSN_SIGN_PKCS12, or a token's VORNAKDSN_SIGN_PKCS11_* variables, to sign" ;;
*-) echo "signed without a time stamp: the signatures stop verifying when the certificate expires" ;;
*) echo "signed, with time stamps from $timestamp_url" ;;
esac
echo "wrote $out: vornakdsn.exe $msi build-info.txt SHA256SUMS"

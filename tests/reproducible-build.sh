#!/bin/bash
# usage: reproducible-build.sh SOURCE-DIR WORK
# Makes releases (scripts/release.sh) of two copies of the checkout below WORK, in different
# folders, whose files have different times, in different time zones, and checks that they
# are the same bytes, with no folder's name in the program; then that verify-release.sh says
# match for an unsigned and a signed release, and mismatch for one with a changed byte.
set -uo pipefail
# shellcheck source=tests/lib.sh
. "$(dirname "$0")/lib.sh"
source_dir=$(realpath "$1")
work=$(mkdir -p "$2" && realpath "$2")
rm -rf "${work:?}"/*

copy() {
    mkdir -p "$work/$1/vornakdsn"
    tar -C "$source_dir" --exclude=./build -cf - . | tar -C "$work/$1/vornakdsn" -xf -
    echo "$work/$1/vornakdsn"
}
one=$(copy one)
two=$(copy second-folder)
find "$two" -exec touch -h -d '2001-02-03 04:05:06' {} +

name_case same_bytes
TZ=UTC "$one/scripts/release.sh" >/dev/null 2>"$work/one.errors" || fail "$(cat "$work/one.errors")"
TZ=Pacific/Kiritimati LC_ALL=C.UTF-8 "$two/scripts/release.sh" >/dev/null 2>"$work/two.errors" ||
    fail "$(cat "$work/two.errors")"
for file in vornakdsn.exe vornakdsn-1.0.0.msi build-info.txt SHA256SUMS; do
    cmp -s "$one/build/release/$file" "$two/build/release/$file" || fail "the two $file differ"
done
grep -aq -e "$work" -e "$source_dir" "$one/build/release/vornakdsn.exe" &&
    fail "a build folder's name is in the program"
tally

# verifies FOLDER STATUS LINES...: verify-release.sh in the first copy says exactly LINES of
# FOLDER and ends with STATUS.
verifies() {
    local folder=$1 expected=$2 status=0 said
    shift 2
    said=$("$one/scripts/verify-release.sh" "$folder" 2>&1) || status=$?
    [ "$status" = "$expected" ] || fail "verify-release.sh ended with $status, not $expected"
    [ "$said" = "$(printf '%s\n' "$@")" ] || fail "verify-release.sh said: $said"
}

name_case verified
verifies "$two/build/release" 0 "match: vornakdsn.exe" "match: vornakdsn-1.0.0.msi" "match: SHA256SUMS"
tally

# Signed in the other copy, with the key file named relative to where it starts.
name_case signed_verified
cd "$work"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=vornakdsn release signer' \
    -addext extendedKeyUsage=codeSigning -keyout key.pem -out cert.pem 2>/dev/null
openssl pkcs12 -export -inkey key.pem -in cert.pem -passout pass:throwaway -out signer.p12
VORNAKDSN_SIGN_PKCS12=signer.p12 VORNAKDSN_SIGN_PASSWORD=throwaway "$two/scripts/release.sh" \
    >/dev/null 2>"$work/signed.errors" || fail "$(cat "$work/signed.errors")"
cp -r "$two/build/release" signed
signer='signed by /CN=vornakdsn release signer'
verifies signed 0 "match: vornakdsn.exe, $signer" "match: vornakdsn-1.0.0.msi, $signer" \
    "match: SHA256SUMS"
tally

name_case changed_byte
cp -r signed changed
printf '\x01' | dd of=changed/vornakdsn.exe bs=1 seek=1024 conv=notrunc 2>/dev/null
verifies changed 1 "mismatch: vornakdsn.exe: 1 of its bytes differ, the first at offset 1024 ($signer)" \
    "match: vornakdsn-1.0.0.msi, $signer" "match: SHA256SUMS"
tally

summary

#!/bin/bash
# usage: reproducible-build.sh SOURCE-DIR WORK
# Makes releases (scripts/release/make.sh) of two copies of the checkout below WORK, in different
# folders, whose files have different times, in different time zones, and checks that they
# are the same bytes, with no folder's name in the program; then what scripts/release/verify.sh says of
# genuine releases, unsigned and signed, and of releases it refuses to compare, and what
# scripts/release/compare.sh says of releases tampered with, against one rebuild of the program,
# each in its one line.
set -uo pipefail
# shellcheck source=tests/lib.sh
. "$(dirname "$0")/lib.sh"
source_dir=$(realpath "$1")
work=$(mkdir -p "$2" && realpath "$2")
rm -rf "${work:?}"/*

# Each copy holds the checkout as one commit, the same in both, so that a release of it can
# be checked also where the checkout has changes.
copy() {
    local copy=$work/$1/vornakdsn
    mkdir -p "$copy"
    tar -C "$source_dir" --exclude=./build -cf - . | tar -C "$copy" -xf -
    git -C "$copy" add -A
    GIT_AUTHOR_DATE=@1700000000 GIT_COMMITTER_DATE=@1700000000 git -C "$copy" -c user.name=test \
        -c user.email=test@example.invalid commit -q --allow-empty -m "the checkout as tested"
    echo "$copy"
}
one=$(copy one)
two=$(copy second-folder)
find "$two" -exec touch -h -d '2001-02-03 04:05:06' {} +

name_case same_bytes
TZ=UTC "$one/scripts/release/make.sh" >/dev/null 2>"$work/one.errors" || fail "$(cat "$work/one.errors")"
TZ=Pacific/Kiritimati LC_ALL=C.UTF-8 "$two/scripts/release/make.sh" >/dev/null 2>"$work/two.errors" ||
    fail "$(cat "$work/two.errors")"
for file in "$one"/build/release/*; do
    cmp -s "$file" "$two/build/release/${file##*/}" || fail "the two ${file##*/} differ"
done
grep -aq -e "$work" -e "$source_dir" "$one/build/release/vornakdsn.exe" &&
    fail "a build folder's name is in the program"
tally

# expect_said SCRIPT STATUS LINE...: SCRIPT, which left $status and $said, ended with STATUS
# and said each LINE.
expect_said() {
    local script=$1 expected=$2 line
    shift 2
    [ "$status" = "$expected" ] || fail "$script ended with $status, not $expected: $said"
    for line in "$@"; do
        grep -qxF -- "$line" <<<"$said" || fail "$script did not say '$line' but: $said"
    done
}

# verifies FOLDER STATUS LINE...: release/verify.sh in the first copy ends with STATUS and says
# each LINE, of FOLDER below WORK.
verifies() {
    local status=0 said
    said=$(cd "$work" && CXXFLAGS=-fno-inline "$one/scripts/release/verify.sh" "$1" 2>&1) ||
        status=$?
    expect_said release/verify.sh "${@:2}"
}

# compares FOLDER STATUS LINE...: as verifies, with release/compare.sh and the program rebuilt
# once below, for the releases that only differ from it.
compares() {
    local status=0 said
    cp "$work/rebuilt.exe" "$work/compared.exe"
    said=$(cd "$work" && "$one/scripts/release/compare.sh" "$1" compared.exe "$version" 2>&1) ||
        status=$?
    expect_said release/compare.sh "${@:2}"
}
name_case rebuilt
version=$("$one/scripts/release/build-program.sh" "$work/rebuilt.exe") ||
    fail "cannot rebuild the program"
set_up_done

# A build/ configured with other flags, and CXXFLAGS in the environment, change nothing.
name_case verified
CXXFLAGS=-fno-inline cmake -S "$one" -B "$one/build" -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_TOOLCHAIN_FILE="$one/cmake/mingw-i686.cmake" -DVORNAKDSN_TESTS=OFF >/dev/null
cp -r "$two/build/release" "$work/unsigned"
verifies unsigned 0 "match: build-info.txt, commit $(git -C "$one" rev-parse HEAD)" \
    "match: vornakdsn.exe" "match: vornakdsn-$version.msi" "match: intune-detection.ps1" \
    "match: startup.cmd" "match: SHA256SUMS"
tally

# Signed in the other copy, with the key file named relative to where it starts.
name_case signed_verified
cd "$work"
# certificate NAME USE [TIME]: NAME.pem and NAME.key, self-signed for two days from TIME (now).
certificate() {
    local at=()
    [ -z "${3-}" ] || at=(faketime "$3")
    "${at[@]}" openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=$1" \
        -addext extendedKeyUsage="$2" -keyout "$1.key" -out "$1.pem" 2>/dev/null
}
certificate signer codeSigning
openssl pkcs12 -export -inkey signer.key -in signer.pem -passout pass:throwaway -out signer.p12
VORNAKDSN_SIGN_PKCS12=signer.p12 VORNAKDSN_SIGN_PASSWORD=throwaway "$two/scripts/release/make.sh" \
    >/dev/null 2>"$work/signed.errors" || fail "$(cat "$work/signed.errors")"
cp -r "$two/build/release" signed
# signed_by FILE NAME: the line that names the self-signed NAME.pem as a signer of FILE.
signed_by() {
    local serial fingerprint
    serial=$(openssl x509 -in "$2.pem" -noout -serial | sed 's/^.*=//')
    fingerprint=$(openssl x509 -in "$2.pem" -noout -fingerprint -sha256 | sed 's/^.*=//')
    echo "signer: $1: subject CN=$2, issuer CN=$2, serial $serial, SHA-256 $fingerprint"
}
verifies signed 0 "match: vornakdsn.exe" "match: vornakdsn-$version.msi" "match: SHA256SUMS" \
    "match: configmgr-discovery.ps1" "$(signed_by vornakdsn.exe signer)" \
    "$(signed_by configmgr-discovery.ps1 signer)"
tally

# tampered NAME FROM: NAME, a copy of the release FROM to tamper with.
tampered() {
    name_case "$1"
    cp -r "$2" "$1"
}
sums() {
    (cd "$1" && sha256sum vornakdsn.exe vornakdsn-$version.msi $(ls "$one/deployment") >SHA256SUMS)
}
# msi_signed FOLDER OSSLSIGNCODE-WORDS...: the package's signature made anew. (attach-signature
# fails on a chain it does not trust, and writes the file all the same.)
msi_signed() {
    osslsigncode "${@:2}" -in "$1/vornakdsn-$version.msi" -out "$1/new.msi" >/dev/null 2>&1
    mv "$1/new.msi" "$1/vornakdsn-$version.msi" && sums "$1"
}
# by_hand NAME KEY [TIME]: a release signed with KEY.key as no release script signs, at TIME.
by_hand() {
    local at=()
    [ -z "${3-}" ] || at=(faketime "$3")
    tampered "$1" unsigned
    "${at[@]}" osslsigncode sign -h sha256 -key "$2.key" -certs "$2.pem" \
        -in unsigned/vornakdsn.exe -out "$1.exe" >/dev/null
    "$one/scripts/release/package.sh" "$1.exe" "$version" "$1" >/dev/null
    msi_signed "$1" "${at[@]}" sign -h sha256 -key "$2.key" -certs "$2.pem"
}
not_over_file='its signature does not verify over the file (CN=signer)'

tampered changed_byte unsigned
printf '\x01' | dd of=changed_byte/vornakdsn.exe bs=1 seek=1024 conv=notrunc 2>/dev/null
sums changed_byte
compares changed_byte 1 "mismatch: vornakdsn.exe: 1 of its bytes differ, the first at offset 1024"
tally

tampered changed_signed_byte signed
printf '\x01' | dd of=changed_signed_byte/vornakdsn.exe bs=1 seek=1024 conv=notrunc 2>/dev/null
compares changed_signed_byte 1 "mismatch: vornakdsn.exe: $not_over_file"
tally
tampered changed_signed_script signed
sed -i '1s/^#/;/' changed_signed_script/intune-detection.ps1
sums changed_signed_script
compares changed_signed_script 1 "mismatch: intune-detection.ps1: $not_over_file"
tally

# The package's signature from another build of the same version, by the same key.
tampered transplanted signed
VORNAKDSN_SIGN_PKCS12=signer.p12 VORNAKDSN_SIGN_PASSWORD=throwaway SOURCE_DATE_EPOCH=1 \
    "$one/scripts/release/package.sh" signed/vornakdsn.exe "$version" other >/dev/null
osslsigncode extract-signature -in other/vornakdsn-$version.msi -out other.signature >/dev/null
osslsigncode remove-signature -in signed/vornakdsn-$version.msi -out bare.msi >/dev/null
msi_signed transplanted attach-signature -sigin other.signature -in bare.msi
compares transplanted 1 "mismatch: vornakdsn-$version.msi: $not_over_file"
tally

certificate expired codeSigning '2020-01-01 00:00:00'
by_hand expired expired '2020-01-02 00:00:00'
compares expired 1 "mismatch: vornakdsn.exe: its signer's certificate (CN=expired) expired on 2020-01-03 and the signature has no time stamp: Windows calls it invalid"
tally

certificate web serverAuth
by_hand web_certificate web
compares web_certificate 1 "mismatch: vornakdsn.exe: it is signed with a certificate that is not for code signing (CN=web)"
tally

# A second signature, nested in the first, is named too.
certificate second codeSigning
tampered nested signed
msi_signed nested sign -nest -h sha256 -key second.key -certs second.pem
compares nested 0 "match: vornakdsn-$version.msi" \
    "$(signed_by vornakdsn-$version.msi second)"
tally

tampered blob signed
msi_signed blob add -addUnauthenticatedBlob
compares blob 1 "mismatch: vornakdsn-$version.msi: its signature carries unsigned data besides time stamps and signatures (1.3.6.1.4.1.42921.1.2.1)"
tally

tampered extra_file unsigned
touch extra_file/odbccp32.dll
compares extra_file 1 "mismatch: odbccp32.dll: no release holds it; run nothing from this folder"
tally

tampered missing_file unsigned
rm missing_file/SHA256SUMS
verifies missing_file 2 "release/verify.sh: $work/missing_file has no SHA256SUMS"
tally

tampered other_commit unsigned
sed -i "s/^commit .*/commit $(printf '%040d' 7)/" other_commit/build-info.txt
verifies other_commit 2 "release/verify.sh: the release was built from commit $(printf '%040d' 7), this checkout is $(git -C "$one" rev-parse HEAD): git checkout $(printf '%040d' 7) (with no changes) and run this again"
tally

# As sha256sum -c reads it: other order, line ends and mode still match.
tampered sums_reordered unsigned
tac unsigned/SHA256SUMS | sed 's/  / */; s/$/\r/' >sums_reordered/SHA256SUMS
compares sums_reordered 0 "match: SHA256SUMS"
tally

summary

#!/bin/bash
# usage: scripts/release/compare.sh FOLDER PROGRAM VERSION
# Compares the release in FOLDER with this checkout's rebuild of it: PROGRAM, the program that
# build-program.sh built (changed in place), the package of VERSION built from it at the
# release's time (its build-info.txt's SOURCE_DATE_EPOCH), and the checkout's deployment
# recipes. Prints one line per file: match, or
# mismatch with what differs (each byte for byte, a signed one with its
# signature put on the rebuilt file, so that no key is needed; and each signature checked as
# Windows checks it), each signer's certificate, and which of them this machine's CA file does
# not vouch for (trusting them is the reader's decision). Whether build-info.txt names this
# checkout is verify.sh's to say. Exits 0 when every file matches and every signature holds, 1
# on a mismatch, 2 when it cannot compare.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=scripts/lib.sh
. "$root/scripts/lib.sh"
# shellcheck source=scripts/release/lib.sh
. "$root/scripts/release/lib.sh"
[ $# -eq 3 ] || die 2 "usage: scripts/release/compare.sh FOLDER PROGRAM VERSION"
folder=$1 program=$2 msi=vornakdsn-$3.msi
SOURCE_DATE_EPOCH=$(awk '$1 == "SOURCE_DATE_EPOCH" { print $2 }' "$folder/build-info.txt" 2>/dev/null)
[[ $SOURCE_DATE_EPOCH =~ ^[0-9]+$ ]] || die 2 "$folder/build-info.txt does not say when the release was built"
export SOURCE_DATE_EPOCH
failures=0
mismatch() {
    echo "mismatch: $*"
    failures=$((failures + 1))
}

# What a release is: these files and nothing else.
recipes=()
for recipe in "$root"/deployment/*; do
    recipes+=("${recipe##*/}")
done
given_msi=
for name in "$folder"/* "$folder"/.[!.]*; do
    [ -e "$name" ] || continue
    [[ " ${recipes[*]} " != *" ${name##*/} "* ]] || continue
    case ${name##*/} in
    vornakdsn.exe | build-info.txt | SHA256SUMS) ;;
    vornakdsn-*.msi) given_msi=${name##*/} ;;
    *) mismatch "${name##*/}: no release holds it; run nothing from this folder" ;;
    esac
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# compare NAME REBUILT-FILE: whether FOLDER/NAME, its signature sound, is REBUILT-FILE with
# that signature put on it (in place).
compare() {
    local given=$folder/$1 rebuilt=$2 checked status=0 differing
    checked=$("$root/scripts/release/check-signature.sh" "$given") || status=$?
    case $status in
    0)
        # Neither writes over a file that is there. attach-signature checks the chain as it
        # attaches, and writes the file whatever it finds; only the bytes are looked at here.
        rm -f "$work/signature" "$work/attached"
        osslsigncode extract-signature -in "$given" -out "$work/signature" >/dev/null 2>&1
        osslsigncode attach-signature -sigin "$work/signature" -in "$rebuilt" \
            -out "$work/attached" >/dev/null 2>&1
        if [ ! -s "$work/attached" ]; then
            mismatch "$1: its signature cannot be put on the rebuilt file"
            return
        fi
        mv "$work/attached" "$rebuilt"
        ;;
    1)
        mismatch "$1: $(sed -n 's/^fault: //p' <<<"$checked")"
        return
        ;;
    esac
    if cmp -s "$given" "$rebuilt"; then
        echo "match: $1"
    elif [ "$(stat -c %s "$given")" != "$(stat -c %s "$rebuilt")" ]; then
        mismatch "$1: $(stat -c %s "$given") bytes, rebuilt $(stat -c %s "$rebuilt")"
    else
        differing=$(cmp -l "$given" "$rebuilt" | awk 'NR == 1 { first = $1 - 1 } END { print NR, first }')
        mismatch "$1: ${differing% *} of its bytes differ, the first at offset ${differing#* }"
    fi
    sed -n "s/^signer: /signer: $1: /p; s/^untrusted: /note: $1: /p" <<<"$checked"
}

compare vornakdsn.exe "$program"
# The package holds the program as released, signature and all.
if [ "$given_msi" != "$msi" ]; then
    mismatch "${given_msi:-the package}: this checkout builds $msi"
else
    without_signing "$root/scripts/release/package.sh" "$program" "$3" "$work/package" \
        >/dev/null || die 2 "cannot build the package"
    compare "$msi" "$work/package/$msi"
fi
for recipe in "${recipes[@]}"; do
    if [ ! -f "$folder/$recipe" ]; then
        mismatch "$recipe: the release lacks it"
        continue
    fi
    cp "$root/deployment/$recipe" "$work/$recipe"
    compare "$recipe" "$work/$recipe"
done

# As sha256sum -c reads it: each file once, by name and hash, in any order or form.
names=$(tr -d '\r' <"$folder/SHA256SUMS" | sed -nE 's/^[0-9a-fA-F]{64} [ *](.*)$/\1/p' | sort)
if [ "$names" = "$(printf '%s\n' vornakdsn.exe "$msi" "${recipes[@]}" | sort)" ] &&
    (cd "$folder" && tr -d '\r' <SHA256SUMS | sha256sum --check --strict --quiet >/dev/null 2>&1); then
    echo "match: SHA256SUMS"
else
    mismatch "SHA256SUMS: it does not give exactly vornakdsn.exe, $msi and the recipes with their hashes"
fi

[ "$failures" -eq 0 ]

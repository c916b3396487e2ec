#!/bin/bash
# usage: scripts/release/verify.sh FOLDER
# Checks a release against this checkout: rebuilds it here, in a folder of its own, and
# compares. FOLDER must hold exactly vornakdsn.exe, vornakdsn-X.Y.Z.msi, build-info.txt and
# SHA256SUMS, built from this checkout's commit. Prints a line for build-info.txt, then one per
# file: match, or mismatch with what differs (the program and the package byte for byte, a
# signed one with its signature put on the rebuilt file, so that no key is needed; and each
# signature checked as Windows checks it), each signer's certificate, and which of them this
# machine's CA file does not vouch for (trusting them is the reader's decision). Needs neither
# root nor Wine: only what scripts/install-dependencies.sh --release installs.
# Exits 0 when every file matches and every signature holds, 1 on a mismatch, 2 when it cannot
# compare (missing tools, a release of another commit, a file that is not there).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=scripts/lib.sh
. "$root/scripts/lib.sh"
# shellcheck source=scripts/release/lib.sh
. "$root/scripts/release/lib.sh"
[ $# -eq 1 ] || die 2 "usage: scripts/release/verify.sh FOLDER"
folder=$(realpath -e -- "$1" 2>/dev/null) && [ -d "$folder" ] || die 2 "no folder $1"
"$root/scripts/install-dependencies.sh" --release || exit 2

# What a release is: these four files and nothing else.
msi=$(cd "$folder" && ls vornakdsn-*.msi 2>/dev/null)
[ "$(wc -w <<<"$msi")" = 1 ] || die 2 "$folder holds no one vornakdsn-X.Y.Z.msi"
for name in vornakdsn.exe build-info.txt SHA256SUMS; do
    [ -f "$folder/$name" ] || die 2 "$folder has no $name"
done
failures=0
mismatch() {
    echo "mismatch: $*"
    failures=$((failures + 1))
}

# The release's own commit and time; the same commit here, or nothing to compare with.
info=$folder/build-info.txt
built_from=$(awk '$1 == "commit" { print $2 }' "$info")
SOURCE_DATE_EPOCH=$(awk '$1 == "SOURCE_DATE_EPOCH" { print $2 }' "$info")
[[ $built_from =~ ^[0-9a-f]{40}(\+changes)?$ ]] && [[ $SOURCE_DATE_EPOCH =~ ^[0-9]+$ ]] ||
    die 2 "$info does not say which commit and time the release was built from"
export SOURCE_DATE_EPOCH
here=$("$root/scripts/release/build-info.sh") || die 2 "cannot tell what this checkout is"
checkout=$(awk '$1 == "commit" { print $2 }' <<<"$here")
[[ $built_from != *+changes ]] ||
    die 2 "the release was built from changes that no commit holds: nothing can rebuild it"
[ "$built_from" = "$checkout" ] ||
    die 2 "the release was built from commit $built_from, this checkout is $checkout:" \
          "git checkout $built_from (with no changes) and run this again"
echo "match: build-info.txt, commit $built_from"
while read -r name there ours; do
    echo "note: the release was built with $name $there; this machine has ${ours:-none}:" \
         "the bytes may differ for that alone"
done < <(join -a 1 <(sort "$info") <(sort <<<"$here") |
         awk '$1 != "SOURCE_DATE_EPOCH" && $1 != "commit" && $2 != $3')

for name in "$folder"/* "$folder"/.[!.]*; do
    [ -e "$name" ] || continue
    case ${name##*/} in
    vornakdsn.exe | "$msi" | build-info.txt | SHA256SUMS) ;;
    *) mismatch "${name##*/}: no release holds it; run nothing from this folder" ;;
    esac
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
version=$("$root/scripts/release/build-program.sh" "$work/vornakdsn.exe") ||
    die 2 "cannot build the program"

# compare NAME REBUILT: whether FOLDER/NAME, its signature sound, is REBUILT with that
# signature put on it (in place).
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

compare vornakdsn.exe "$work/vornakdsn.exe"
# The package holds the program as released, signature and all.
if [ "$msi" != "vornakdsn-$version.msi" ]; then
    mismatch "$msi: this checkout builds vornakdsn-$version.msi"
else
    without_signing "$root/scripts/release/package.sh" "$work/vornakdsn.exe" "$version" "$work/rebuilt" \
        >/dev/null || die 2 "cannot build the package"
    compare "$msi" "$work/rebuilt/$msi"
fi

# As sha256sum -c reads it: each of the two files once, by name and hash, in any order or form.
names=$(tr -d '\r' <"$folder/SHA256SUMS" | sed -nE 's/^[0-9a-fA-F]{64} [ *](.*)$/\1/p' | sort)
if [ "$names" = "$(printf '%s\n' vornakdsn.exe "$msi" | sort)" ] &&
    (cd "$folder" && tr -d '\r' <SHA256SUMS | sha256sum --check --strict --quiet >/dev/null 2>&1); then
    echo "match: SHA256SUMS"
else
    mismatch "SHA256SUMS: it does not give exactly vornakdsn.exe and $msi with their hashes"
fi

[ "$failures" -eq 0 ] || exit 1

#!/bin/bash
# usage: scripts/verify-release.sh FOLDER
# Checks a release against this checkout: rebuilds it here and compares it with the files in
# FOLDER, the program and the package byte for byte; a signed one with its signature put on
# the rebuilt file, so that no key is needed; and SHA256SUMS. Prints one line per file, match
# or mismatch with what differs, and names the certificate that signed each signed file
# (whether to trust it is the reader's call). Says first where the release was built from
# another commit or with other tools than these (build-info.txt). Exits 0 only when every
# file matches, 1 when one does not, 2 when it cannot compare.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/lib.sh
. "$root/scripts/lib.sh"
[ $# -eq 1 ] || die 2 "usage: scripts/verify-release.sh FOLDER"
folder=$(realpath -e -- "$1" 2>/dev/null) || die 2 "no folder $1"
msi=$(cd "$folder" && ls vornakdsn-*.msi 2>/dev/null) || true
[ -f "$folder/vornakdsn.exe" ] && [ -f "$folder/SHA256SUMS" ] && [ "$(wc -w <<<"$msi")" = 1 ] ||
    die 2 "$folder holds no release: it needs vornakdsn.exe, one vornakdsn-X.Y.Z.msi and SHA256SUMS"

# The release's own time, and what it was built from and with.
info=$folder/build-info.txt
if [ -f "$info" ]; then
    SOURCE_DATE_EPOCH=$(awk '$1 == "SOURCE_DATE_EPOCH" { print $2 }' "$info")
    export SOURCE_DATE_EPOCH
    while read -r name there here; do
        if [ "$name" = commit ]; then
            echo "note: the release was built from commit $there; this checkout is $here"
        else
            echo "note: the release was built with $name $there; this machine has ${here:-none}:" \
                 "the bytes may differ for that alone"
        fi
    done < <(join -a 1 <(sort "$info") <("$root/scripts/release/build-info.sh" | sort) |
             awk '$1 != "SOURCE_DATE_EPOCH" && $2 != $3')
else
    echo "note: $folder has no build-info.txt: rebuilt at this checkout's commit time"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
version=$("$root/scripts/release/build-program.sh")
cp "$root/build/vornakdsn.exe" "$work/vornakdsn.exe"

failures=0
# signer FILE: the subject of the certificate that signed FILE, as its signature's own
# certificates (work/certificates.pem) name it.
signer() {
    { osslsigncode verify -CAfile "$work/certificates.pem" -in "$1" 2>/dev/null || true; } |
        awk '/^Signer.s certificate:/ { found = 1 }
             found && /Subject:/ { sub(/^[ \t]*Subject: */, ""); print; exit }'
}
# compare NAME REBUILT: says whether FOLDER/NAME is REBUILT, after putting the signature of
# FOLDER/NAME, where it has one, on REBUILT (in place).
compare() {
    local given=$folder/$1 rebuilt=$2 by= differing
    if osslsigncode extract-signature -in "$given" -out "$work/signature" >/dev/null 2>&1; then
        openssl pkcs7 -inform DER -in "$work/signature" -print_certs \
            -out "$work/certificates.pem" 2>/dev/null || true
        # It checks the signature as it attaches it, against a CA file that must be there
        # to be read (not every machine has the system's): the signature's own
        # certificates serve. Whether they are trusted is not this script's question, and
        # the file is written either way.
        rm -f "$work/attached"
        osslsigncode attach-signature -CAfile "$work/certificates.pem" \
            -TSA-CAfile "$work/certificates.pem" -sigin "$work/signature" -in "$rebuilt" \
            -out "$work/attached" >/dev/null 2>&1 || true
        rm -f "$work/signature"
        if [ ! -s "$work/attached" ]; then
            echo "mismatch: $1: its signature cannot be put on the rebuilt file"
            failures=$((failures + 1))
            return
        fi
        mv "$work/attached" "$rebuilt"
        # Read where the signature fits its file, also where the given one was changed.
        by=$(signer "$rebuilt")
    fi
    if cmp -s "$given" "$rebuilt"; then
        echo "match: $1${by:+, signed by $by}"
        return
    fi
    failures=$((failures + 1))
    if [ "$(stat -c %s "$given")" != "$(stat -c %s "$rebuilt")" ]; then
        echo "mismatch: $1: $(stat -c %s "$given") bytes, rebuilt $(stat -c %s "$rebuilt")"
        return
    fi
    differing=$({ cmp -l "$given" "$rebuilt" || true; } |
                awk 'NR == 1 { first = $1 - 1 } END { print NR, first }')
    echo "mismatch: $1: ${differing% *} of its bytes differ, the first at offset" \
         "${differing#* }${by:+ (signed by $by)}"
}

compare vornakdsn.exe "$work/vornakdsn.exe"
# The package holds the program as released, signature and all.
env -u VORNAKDSN_SIGN_PKCS12 -u VORNAKDSN_SIGN_PKCS11_MODULE -u VORNAKDSN_SIGN_PKCS11_KEY \
    -u VORNAKDSN_SIGN_CERT -u VORNAKDSN_SIGN_PASSWORD -u VORNAKDSN_SIGN_TIMESTAMP_URL \
    "$root/scripts/release/package.sh" "$work/vornakdsn.exe" "$version" "$work/rebuilt" >/dev/null
if [ "$msi" != "vornakdsn-$version.msi" ]; then
    echo "mismatch: $msi: this checkout builds vornakdsn-$version.msi"
    failures=$((failures + 1))
else
    compare "$msi" "$work/rebuilt/$msi"
fi
# Of the files as compared: the package now carries the release's signature.
(cd "$work/rebuilt" && sha256sum vornakdsn.exe "$msi" >SHA256SUMS 2>/dev/null) || true
compare SHA256SUMS "$work/rebuilt/SHA256SUMS"

[ "$failures" -eq 0 ] || exit 1

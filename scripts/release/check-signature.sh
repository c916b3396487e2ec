#!/bin/bash
# usage: scripts/release/check-signature.sh FILE
# Checks the Authenticode signature of FILE (a program, a Windows Installer package or a
# PowerShell script) as Windows would take it, and says so in lines that start with what they
# are:
#   fault: TEXT       the signature is not one to rely on (at most one line; status 1)
#   signer: TEXT      each signer, nested signatures included: subject, issuer, serial number
#                     and SHA-256 fingerprint of its certificate
#   untrusted: TEXT   a signer whose chain this machine's CA file does not lead to, or that
#                     cannot be built at all from the certificates here (a signature that
#                     carries its certificate alone, issued by an organisation's own root);
#                     whether to trust it is the reader's decision, and no fault
# A signature that does not verify over the file, unsigned data in it besides time stamps and
# nested signatures, a certificate not for code signing, and one that has expired where the
# signature has no time stamp, are faults. Status 0: signed and sound; 1: a fault; 3: FILE is
# not signed.
set -euo pipefail
file=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
system_cas=/etc/ssl/certs/ca-certificates.crt

osslsigncode extract-signature -in "$file" -out "$work/signature" >/dev/null 2>&1 || exit 3
fault() {
    echo "fault: $*"
    exit 1
}
signers=$(/usr/bin/python3 "$here/signers.py" "$work/signature" "$work" 2>/dev/null) ||
    fault "its signature cannot be read"
# What the signature vouches for is checked with its own certificates as the authority:
# whether they deserve trust is another question, asked below.
cat "$work/certificates.pem" >"$work/authorities.pem"
[ ! -r "$system_cas" ] || cat "$system_cas" >>"$work/authorities.pem"
verify=(osslsigncode verify -CAfile "$work/authorities.pem" -TSA-CAfile "$work/authorities.pem"
        -ignore-cdp -ignore-crl -in "$file")

name() {
    openssl x509 -in "$work/signer-$1.pem" -noout -nameopt RFC2253 -"$2" | sed "s/^$2=//"
}
now=$(date +%s)
# osslsigncode checks a signer's signature only once it has built its chain: where the chain
# cannot be built, the digest that the signature gives, and the signature itself, are checked
# here, so that a signer this machine cannot vouch for is not taken for a broken signature.
chainless=()
# Of the file, osslsigncode prints each digest that the signature gives (a program's, a script's
# message digest; a package's DigitalSignature) as "Current", and its own as "Calculated".
file_digests_match() {
    awk -F' *: *' '/^(Current|Calculated) / { split($1, words, " "); name = $1
                                              sub(/^[A-Za-z]+ /, "", name); sub(/ +$/, "", $2)
                                              value[words[1], name] = $2; names[name] = 1 }
                   END { for (name in names) {
                             if (value["Current", name] == "") continue
                             if (value["Current", name] != value["Calculated", name]) exit 1
                             found = 1 }
                         exit !found }' <<<"$1"
}
signs_over_its_digest() {  # NUMBER DIGEST VERIFY-OUTPUT
    local algorithm=${2%-*}
    grep -q 'unable to get \(local \)\?issuer certificate' <<<"$3" && file_digests_match "$3" &&
        [ "$2" = "$algorithm-matches" ] &&
        openssl x509 -in "$work/signer-$1.pem" -noout -pubkey >"$work/public-$1.pem" &&
        openssl dgst "-$algorithm" -verify "$work/public-$1.pem" -signature "$work/signature-$1.bin" \
            "$work/signed-$1.der" >/dev/null 2>&1
}
while read -r number stamped use not_before not_after digest unexpected; do
    subject=$(name "$number" subject)
    [ "$unexpected" = - ] ||
        fault "its signature carries unsigned data besides time stamps and signatures ($unexpected)"
    [ "$use" = code-signing ] ||
        fault "it is signed with a certificate that is not for code signing ($subject)"
    # The digest and the structure, at a time when the signer's certificate was valid; the
    # time stamp, where there is one, at its own time. osslsigncode counts signatures from 0.
    if ! verified=$("${verify[@]}" -index $((number - 1)) -ignore-timestamp \
                    -time $((not_before + 1)) 2>&1); then
        signs_over_its_digest "$number" "$digest" "$verified" ||
            fault "its signature does not verify over the file ($subject)"
        chainless+=("$number")
    fi
    # A time stamp is checked along with its signer's chain.
    [ "$stamped" = untimestamped ] || [[ " ${chainless[*]} " == *" $number "* ]] ||
        "${verify[@]}" -index $((number - 1)) >/dev/null 2>&1 ||
        fault "its time stamp does not verify ($subject)"
    [ "$stamped" = timestamped ] || [ "$now" -le "$not_after" ] ||
        fault "its signer's certificate ($subject) expired on $(date -u -d "@$not_after" '+%Y-%m-%d')" \
              "and the signature has no time stamp: Windows calls it invalid"
done <<<"$signers"

while read -r number _; do
    fingerprint=$(openssl x509 -in "$work/signer-$number.pem" -noout -fingerprint -sha256 |
                  sed 's/^.*=//')
    echo "signer: subject $(name "$number" subject), issuer $(name "$number" issuer)," \
         "serial $(name "$number" serial), SHA-256 $fingerprint"
    if [[ " ${chainless[*]} " == *" $number "* ]]; then
        echo "untrusted: the chain of $(name "$number" subject) cannot be built from its" \
             "signature and $system_cas, so neither can its time stamp be checked"
    elif [ ! -r "$system_cas" ]; then
        echo "untrusted: this machine has no CA file ($system_cas) to trust $(name "$number" subject) by"
    elif ! openssl verify -CAfile "$system_cas" -untrusted "$work/certificates.pem" \
        -no_check_time -purpose any "$work/signer-$number.pem" >/dev/null 2>&1; then
        echo "untrusted: no authority in $system_cas vouches for $(name "$number" subject)"
    fi
done <<<"$signers"
